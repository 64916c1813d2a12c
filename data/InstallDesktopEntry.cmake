# Runs at install time: writes the desktop entry with the absolute path of the installed binary
# in Exec= and installs it. The caller sets DEWLIGHT_ENTRY_TEMPLATE, DEWLIGHT_ENTRY_STAGED,
# DEWLIGHT_BINDIR and DEWLIGHT_APPLICATIONS_DIR.
set(binary "${DEWLIGHT_BINDIR}/dewlight")
if(NOT IS_ABSOLUTE "${binary}")
    set(binary "${CMAKE_INSTALL_PREFIX}/${binary}")
endif()

# An Exec= argument holding a reserved character is quoted, with \ " ` and $ escaped inside the
# quotes; a literal % is doubled wherever it stands; then the value's own escape doubles each
# backslash.
string(REPLACE "%" "%%" DEWLIGHT_EXEC "${binary}")
string(REGEX MATCH "[] \t\n\"'\\><~|&;$*?#()`[]" reserved "${DEWLIGHT_EXEC}")
if(reserved)
    string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" DEWLIGHT_EXEC "${DEWLIGHT_EXEC}")
    set(DEWLIGHT_EXEC "\"${DEWLIGHT_EXEC}\"")
endif()
string(REPLACE "\\" "\\\\" DEWLIGHT_EXEC "${DEWLIGHT_EXEC}")

configure_file("${DEWLIGHT_ENTRY_TEMPLATE}" "${DEWLIGHT_ENTRY_STAGED}" @ONLY)
set(destination "${DEWLIGHT_APPLICATIONS_DIR}")
if(NOT IS_ABSOLUTE "${destination}")
    set(destination "${CMAKE_INSTALL_PREFIX}/${destination}")
endif()
file(INSTALL "${DEWLIGHT_ENTRY_STAGED}" DESTINATION "${destination}")

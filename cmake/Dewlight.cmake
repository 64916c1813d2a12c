include(GoogleTest)

# Tests never see the user's real folders, session bus or display.
set(DEWLIGHT_TEST_HOME ${CMAKE_BINARY_DIR}/test-home)
set(DEWLIGHT_TEST_ENVIRONMENT
    "HOME=${DEWLIGHT_TEST_HOME}"
    "XDG_CONFIG_HOME=${DEWLIGHT_TEST_HOME}/config"
    "XDG_DATA_HOME=${DEWLIGHT_TEST_HOME}/data"
    "XDG_STATE_HOME=${DEWLIGHT_TEST_HOME}/state"
    "XDG_CACHE_HOME=${DEWLIGHT_TEST_HOME}/cache"
    "XDG_RUNTIME_DIR=${DEWLIGHT_TEST_HOME}/runtime"
    "DBUS_SESSION_BUS_ADDRESS=disabled:"
    "QT_QPA_PLATFORM=offscreen"
    "LC_ALL=C.UTF-8"
    "TZ=UTC")

# dewlight_add_test(<name> SOURCES <files...> LIBS <targets...> [WRAPPER <command...>] [PICTURES])
# One GoogleTest binary; each of its cases becomes a ctest entry. WRAPPER runs each case inside
# a command (for example dbus-run-session ... --). PICTURES: the binary compares pictures with
# the references in tests/pictures/ (tests/support/PictureReference.h), writes what fails to its
# build folder, and its cases carry the label "pictures", which scripts/update-pictures.sh runs.
function(dewlight_add_test name)
    cmake_parse_arguments(ARG "PICTURES" "" "SOURCES;LIBS;WRAPPER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    # gtest_discover_tests hands a list-valued ENVIRONMENT property on split, so that only its
    # first entry took effect: a launcher in front of the binary sets the environment instead.
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
        ${CMAKE_COMMAND} -E env ${DEWLIGHT_TEST_ENVIRONMENT} ${ARG_WRAPPER})
    if(ARG_PICTURES)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/PictureReference.cpp)
        target_compile_definitions(${name} PRIVATE
            DEWLIGHT_PICTURE_REFERENCES="${PROJECT_SOURCE_DIR}/tests/pictures"
            DEWLIGHT_TEST_OUTPUT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS pictures)
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
    endif()
endfunction()

# dewlight_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
function(dewlight_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

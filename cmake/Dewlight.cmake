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

# dewlight_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest binary; each of its cases becomes a ctest entry.
function(dewlight_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    # The test binary runs (for discovery too) under `cmake -E env`: the GoogleTest module
    # splits a list given as the ENVIRONMENT property, which left every variable but the first
    # unset (the tests then saw the real session, display and home).
    set_target_properties(${name} PROPERTIES
        CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${DEWLIGHT_TEST_ENVIRONMENT}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# dewlight_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
function(dewlight_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

include(GoogleTest)

# orvj_add_test(NAME name SOURCES a.cpp ... [GUI] [FULL] [LIBS lib ...] [ENVIRONMENT VAR=value ...])
# One test executable per dialog, or per kind of file or rule with the fixture its cases share.
# GUI tests link the widgets library and run headless on the offscreen platform. ENVIRONMENT
# adds to the test environment below, a variable given again taking the later value.
#
# Each GoogleTest case is its own CTest test, named "<name>.<Suite>.<Case>", so that ctest -j
# spreads the cases of one program over the cores and `ctest -R <name>` still runs a program's
# cases. The cases are listed when ctest starts (the program run with --gtest_list_tests, again
# only after it was rebuilt), not at build time, so a sanitizer build lists them with the
# sanitizer options of the test run. A cross build cannot run its programs here: there each
# program stays one test, run whole (scripts/windows-check.sh runs them under Wine).
function(orvj_add_test)
    cmake_parse_arguments(T "GUI;FULL" "NAME" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    # The core-only build has the Qt-free tests only (FULL: a test that needs Qt or SQLite
    # although it has no window).
    if(ORVJ_CORE_ONLY AND (T_GUI OR T_FULL))
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    if(T_GUI)
        target_sources(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gui_main.cpp)
        target_link_libraries(${T_NAME} PRIVATE orvj_gui orvj_test_support Qt6::Test
                                                GTest::gtest GTest::gmock)
    else()
        target_link_libraries(${T_NAME} PRIVATE orvj_core GTest::gtest GTest::gtest_main
                                                GTest::gmock)
    endif()
    target_link_libraries(${T_NAME} PRIVATE orvj_test_platform)
    if(T_LIBS)
        target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
    endif()
    target_compile_definitions(${T_NAME} PRIVATE
        ORVJ_SAMPLE_HOME="${ORVJ_HOME_DIR}"
        ORVJ_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    set(environment QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 ORVJ_HOME=
                    ${T_ENVIRONMENT})
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
        set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 300)
        return()
    endif()
    gtest_discover_tests(${T_NAME}
        TEST_PREFIX "${T_NAME}."
        TEST_LIST ${T_NAME}_TESTS
        NO_PRETTY_VALUES
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300)
    # The environment is a list, which the listing script would take apart: it is set on the
    # listed cases by a script of its own that ctest reads after the list.
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_environment.cmake")
    file(WRITE "${script}"
         "if(${T_NAME}_TESTS)\n"
         "    set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES ENVIRONMENT [==[${environment}]==])\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()

# orvj_add_test(NAME name SOURCES a.cpp ... [GUI] [LIBS lib ...])
# One test executable per dialog, or per kind of file or rule with the fixture its cases share.
# GUI tests link the widgets library and run headless on the offscreen platform.
function(orvj_add_test)
    cmake_parse_arguments(T "GUI;FULL" "NAME" "SOURCES;LIBS" ${ARGN})
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
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;ORVJ_HOME="
        TIMEOUT 300)
endfunction()

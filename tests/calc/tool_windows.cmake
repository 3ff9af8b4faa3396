# The tool windows' logic, without any toolkit.
add_executable(tool_window_logic_tests
    ${CMAKE_CURRENT_LIST_DIR}/tool_window_saturation_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tool_window_converter_test.cpp
)
target_link_libraries(tool_window_logic_tests PRIVATE humidora_calc GTest::gtest_main)
gtest_discover_tests(tool_window_logic_tests)

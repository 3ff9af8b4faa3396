# The ambient-air calculation and the main window's logic, on the control model (no toolkit).
add_executable(ambient_tests
    ambient_inputs_test.cpp
    ambient_routes_test.cpp
    ambient_outputs_test.cpp
    ambient_failure_test.cpp
    ambient_window_test.cpp
)
target_link_libraries(ambient_tests PRIVATE humidora_calc GTest::gtest_main)
gtest_discover_tests(ambient_tests)

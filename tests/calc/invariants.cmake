# Physical invariants of the calculation over a grid of states. The invariant checks themselves are
# shared with the fuzz targets (fuzz/ambient_invariants.h).
add_executable(invariants_tests invariants_test.cpp)
target_include_directories(invariants_tests PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
target_link_libraries(invariants_tests PRIVATE humidora_calc GTest::gtest_main)
gtest_discover_tests(invariants_tests)

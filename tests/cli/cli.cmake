# humidora-cli run as a program: outputs, JSON and exit statuses.
add_executable(cli_tests
    ${CMAKE_CURRENT_LIST_DIR}/cli_process.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_front_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/saturation_cli_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/convert_cli_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/state_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/state_files_test.cpp
)
target_link_libraries(cli_tests PRIVATE humidora_calc Qt6::Core GTest::gtest)
target_compile_definitions(cli_tests PRIVATE HUMIDORA_CLI_PATH="$<TARGET_FILE:humidora-cli>")
add_dependencies(cli_tests humidora-cli)
# Save-failure helpers shared with the tests of the file layer.
target_include_directories(cli_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../io)
gtest_discover_tests(cli_tests)

# The File menu's commands on the real main window, offscreen; the save-failure helpers are shared with
# the tests of the file layer.
add_executable(file_commands_test ${CMAKE_CURRENT_LIST_DIR}/file_commands_test.cpp)
set_target_properties(file_commands_test PROPERTIES AUTOMOC ON)
target_include_directories(file_commands_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../io)
target_link_libraries(file_commands_test PRIVATE humidora_ui Qt6::Test)
add_test(NAME file_commands_test COMMAND file_commands_test)
set_tests_properties(file_commands_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

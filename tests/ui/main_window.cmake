# The main window, its menus and the desktop-services layer, driven through real widgets offscreen.
set(HUMIDORA_UI_TEST_ENVIRONMENT QT_QPA_PLATFORM=offscreen)

function(humidora_main_window_test name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE humidora_ui Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${HUMIDORA_UI_TEST_ENVIRONMENT}")
endfunction()

humidora_main_window_test(form_ambient_test ${CMAKE_CURRENT_LIST_DIR}/form_ambient_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_ambient_testing.h)
humidora_main_window_test(form_ambient_menus_test ${CMAKE_CURRENT_LIST_DIR}/form_ambient_menus_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_ambient_testing.h)
humidora_main_window_test(desktop_services_test ${CMAKE_CURRENT_LIST_DIR}/desktop_services_test.cpp)

# The window against the command line's state, and the desktop program itself.
if(TARGET humidora-cli)
    humidora_main_window_test(form_ambient_program_test ${CMAKE_CURRENT_LIST_DIR}/form_ambient_program_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/form_ambient_testing.h)
    target_compile_definitions(form_ambient_program_test PRIVATE
        HUMIDORA_CLI="$<TARGET_FILE:humidora-cli>" HUMIDORA_PROGRAM="$<TARGET_FILE:humidora>")
    add_dependencies(form_ambient_program_test humidora-cli humidora)
endif()

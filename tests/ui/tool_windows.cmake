# The tool windows driven through their widgets, without a display.
foreach(window form_saturation form_unit_convertor)
    add_executable(${window}_tests ${CMAKE_CURRENT_LIST_DIR}/${window}_test.cpp)
    set_target_properties(${window}_tests PROPERTIES AUTOMOC ON)
    target_link_libraries(${window}_tests PRIVATE humidora_ui Qt6::Test)
    add_test(NAME ${window}_tests COMMAND ${window}_tests)
    set_tests_properties(${window}_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endforeach()

# humidora-cli, the command-line front end: Qt Core and the calculation, never a window. A subcommand is
# one source file here and one row of the table in commands.h.
add_library(humidora_cli_lib STATIC
    ${CMAKE_CURRENT_LIST_DIR}/cli_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/saturation_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/convert_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/state_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/state_files.cpp
)
target_include_directories(humidora_cli_lib PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(humidora_cli_lib PUBLIC humidora_calc Qt6::Core)
# Calculation files and the PDF report of `state`: Qt Gui for the report, drawn offscreen; never Widgets.
target_link_libraries(humidora_cli_lib PUBLIC humidora_io)

add_executable(humidora-cli ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(humidora-cli PRIVATE humidora_cli_lib)
install(TARGETS humidora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

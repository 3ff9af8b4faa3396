# The File menu's commands: calculation files and the report, through humidora_io.
target_sources(humidora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/file_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_commands.h
)
target_link_libraries(humidora_ui PUBLIC humidora_io)

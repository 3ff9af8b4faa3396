# The main window, its about window, the desktop-services layer and the desktop program.
target_sources(humidora_ui PRIVATE
    form_ambient.cpp
    form_ambient.h
    form_about.cpp
    form_about.h
    desktop_services.cpp
    desktop_services.h
)
# Help documents are also looked up in the installed data folder.
set_source_files_properties(desktop_services.cpp PROPERTIES
    COMPILE_DEFINITIONS "HUMIDORA_DATA_DIR=\"${CMAKE_INSTALL_FULL_DATADIR}/humidora\"")
# The about picture is a resource of humidora_assets, made by the build-time tools configured after
# this directory; the generator expression resolves once every target is known.
target_link_libraries(humidora_ui PRIVATE $<TARGET_NAME_IF_EXISTS:humidora_assets>)

add_executable(humidora WIN32 main.cpp)
target_link_libraries(humidora PRIVATE humidora_ui)
install(TARGETS humidora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The main window, its about window, the desktop-services layer and the desktop program.
target_sources(humidora_ui PRIVATE
    desktop_services.cpp
    desktop_services.h
)
# Help documents are also looked up in the installed data folder.
set_source_files_properties(desktop_services.cpp PROPERTIES
    COMPILE_DEFINITIONS "HUMIDORA_DATA_DIR=\"${CMAKE_INSTALL_FULL_DATADIR}/humidora\"")

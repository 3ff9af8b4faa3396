# One keystroke in the main window, with the widget updates (and optionally the repaint), offscreen.
if(TARGET humidora_ui)
    add_executable(humidora_window_bench window_bench.cpp)
    target_link_libraries(humidora_window_bench PRIVATE humidora_ui Qt6::Test benchmark::benchmark)
endif()

# The ambient-air calculation, one file per phase, and the main window's toolkit-free logic.
target_sources(humidora_calc PRIVATE
    calculate_ambient.cpp
    ambient_arithmetic.cpp
    ambient_limits.cpp
    ambient_inputs.cpp
    saturation_ranges.cpp
    humidity_routes.cpp
    humidity_outputs.cpp
    other_properties.cpp
    composition_listing.cpp
    out_of_range_report.cpp
    ambient_window.cpp
)

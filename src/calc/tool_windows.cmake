# The logic of the two tool windows: the saturation window and the unit converter.
target_sources(humidora_calc PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/saturation_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit_converter.cpp
)

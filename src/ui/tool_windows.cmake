# The two tool windows: saturation condition of water and the unit converter.
target_sources(humidora_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/form_saturation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_saturation.h
    ${CMAKE_CURRENT_LIST_DIR}/form_unit_convertor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/form_unit_convertor.h
    ${CMAKE_CURRENT_LIST_DIR}/tool_window_support.h
)

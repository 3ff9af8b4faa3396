# Calculation files and the report. The report tests read the PDF back with poppler's pdftotext and
# pdfinfo; the test main runs a QGuiApplication on the offscreen platform.
add_executable(io_tests
    ${CMAKE_CURRENT_LIST_DIR}/io_test_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/calculation_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/round_trip_test.cpp
)
target_link_libraries(io_tests PRIVATE humidora_io GTest::gtest)
gtest_discover_tests(io_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

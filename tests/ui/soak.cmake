# Soak test of the main window offscreen: a shortened run in the suite (HUMIDORA_SOAK_EVENTS sets the
# length; the full soak is 100000 events). Under the sanitizers, where it also proves the run leak-free,
# a shorter one keeps the job's time in bounds.
add_executable(soak_test ${CMAKE_CURRENT_LIST_DIR}/soak_test.cpp ${CMAKE_CURRENT_LIST_DIR}/form_ambient_testing.h)
set_target_properties(soak_test PROPERTIES AUTOMOC ON)
target_include_directories(soak_test PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
target_link_libraries(soak_test PRIVATE humidora_ui Qt6::Test)
set(HUMIDORA_SOAK_CTEST_EVENTS 3000)
if(HUMIDORA_SANITIZE)
    set(HUMIDORA_SOAK_CTEST_EVENTS 1000)
endif()
add_test(NAME soak_test COMMAND soak_test)
set_tests_properties(soak_test PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HUMIDORA_SOAK_EVENTS=${HUMIDORA_SOAK_CTEST_EVENTS}" TIMEOUT 900)

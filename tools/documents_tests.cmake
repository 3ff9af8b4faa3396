# Tests of the documents, the about picture and the renderer.
find_program(HUMIDORA_PDFTOTEXT pdftotext REQUIRED)
find_program(HUMIDORA_PDFINFO pdfinfo REQUIRED)
find_program(HUMIDORA_PDFIMAGES pdfimages REQUIRED)

add_test(NAME documents_rendered
    COMMAND ${CMAKE_COMMAND} "-DGUIDE=${HUMIDORA_USERS_GUIDE_PDF}" "-DBROCHURE=${HUMIDORA_BROCHURE_PDF}"
        "-DPICTURE=${HUMIDORA_ABOUT_PNG}" "-DPDFTOTEXT=${HUMIDORA_PDFTOTEXT}" "-DPDFINFO=${HUMIDORA_PDFINFO}"
        -P ${CMAKE_CURRENT_SOURCE_DIR}/check_documents.cmake)
add_test(NAME render_docs_manual
    COMMAND ${CMAKE_COMMAND} "-DRENDER_DOCS=$<TARGET_FILE:render_docs>"
        "-DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/render_docs_manual" "-DPICTURE=${HUMIDORA_ABOUT_PNG}"
        "-DPDFTOTEXT=${HUMIDORA_PDFTOTEXT}" "-DPDFINFO=${HUMIDORA_PDFINFO}" "-DPDFIMAGES=${HUMIDORA_PDFIMAGES}"
        -P ${CMAKE_CURRENT_SOURCE_DIR}/check_render_docs.cmake)

add_executable(about_picture_test about_picture_test.cpp)
set_target_properties(about_picture_test PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(about_picture_test PRIVATE humidora_assets Qt6::Gui Qt6::Test)
add_test(NAME about_picture_test COMMAND about_picture_test)

add_executable(users_guide_test users_guide_test.cpp)
set_target_properties(users_guide_test PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(users_guide_test PRIVATE humidora_calc Qt6::Core Qt6::Test)
target_compile_definitions(users_guide_test PRIVATE
    "HUMIDORA_USERS_GUIDE=\"${PROJECT_SOURCE_DIR}/docs/users_guide.md\"")
add_test(NAME users_guide_test COMMAND users_guide_test)

set_tests_properties(documents_rendered render_docs_manual about_picture_test users_guide_test
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS documents)

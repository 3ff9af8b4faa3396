# Checks the documents and the picture that the build made:
#   cmake -DGUIDE=... -DBROCHURE=... -DPICTURE=... -DPDFTOTEXT=... -DPDFINFO=... -P check_documents.cmake
# Each PDF must be a readable A4 document with its title, its key phrases, no Markdown left over and no
# line running into the margin;
# the brochure may have at most two pages; the picture must be a 348 x 341 PNG.

include(${CMAKE_CURRENT_LIST_DIR}/pdf_checks.cmake)

# pdfinfo fields of a PDF: Title, Pages and page size.
function(check_pdf_info pdf title min_pages max_pages)
    pdf_info("${pdf}" info)
    if(NOT info MATCHES "Title: +${title}\n")
        message(FATAL_ERROR "${pdf}: title is not '${title}':\n${info}")
    endif()
    if(NOT info MATCHES "Pages: +([0-9]+)")
        message(FATAL_ERROR "${pdf}: no page count:\n${info}")
    endif()
    set(pages ${CMAKE_MATCH_1})
    if(pages LESS min_pages OR pages GREATER max_pages)
        message(FATAL_ERROR "${pdf}: ${pages} pages, expected ${min_pages} to ${max_pages}")
    endif()
    # A4 is 595.276 x 841.89 points.
    if(NOT info MATCHES "Page size: +595(\\.[0-9]+)? x 84[12](\\.[0-9]+)? pts")
        message(FATAL_ERROR "${pdf}: not A4:\n${info}")
    endif()
    message(STATUS "${pdf}: ${pages} pages")
endfunction()

function(check_phrases pdf)
    pdf_text("${pdf}" 0 0 text)
    flatten_text("${text}" flat)
    foreach(phrase IN LISTS ARGN)
        string(FIND "${flat}" "${phrase}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${pdf}: phrase '${phrase}' not found")
        endif()
    endforeach()
    check_no_markdown("${pdf}" "${text}")
    check_right_margin("${pdf}")
endfunction()

foreach(file GUIDE BROCHURE PICTURE)
    if(NOT EXISTS "${${file}}")
        message(FATAL_ERROR "missing: ${${file}}")
    endif()
endforeach()

check_pdf_info("${GUIDE}" "Humidora 1.1 User's Guide" 10 60)
check_phrases("${GUIDE}"
    "Humidora 1.1 User's Guide" "Contents" "Relative Humidity" "Humidity Ratio" "Dew Point Temperature"
    "Wet Bulb Temperature" "Partial Pressure of Water in Air" "IAPWS" "Hyland-Wexler" "Customized"
    "Saturation Condition of Water" "Unit Convertor" "humidora-cli" "Out of Range" "< min"
    "The quantity which has been indicated" "9.8638" "1609.34" ".0098833" "13.864" "17.888" "Page 1 of")
check_pdf_info("${BROCHURE}" "Humidora 1.1 Brochure" 1 2)
check_phrases("${BROCHURE}" "Humidora 1.1" "Relative" "IAPWS" "Hyland-Wexler" "humidora-cli" "Metric"
    "British")

# PNG: the 8-byte signature, then the IHDR chunk whose first eight data bytes are width and height.
file(READ "${PICTURE}" header LIMIT 24 HEX)
if(NOT header MATCHES "^89504e470d0a1a0a0000000d49484452")
    message(FATAL_ERROR "${PICTURE}: not a PNG file")
endif()
string(SUBSTRING "${header}" 32 8 width_hex)
string(SUBSTRING "${header}" 40 8 height_hex)
math(EXPR width "0x${width_hex}")
math(EXPR height "0x${height_hex}")
if(NOT width EQUAL 348 OR NOT height EQUAL 341)
    message(FATAL_ERROR "${PICTURE}: ${width} x ${height} pixels, expected 348 x 341")
endif()

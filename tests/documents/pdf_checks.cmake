# Helpers of the document checks: text and properties of a PDF through poppler's pdftotext and pdfinfo
# (PDFTOTEXT and PDFINFO hold their paths).

# pdfinfo output of a PDF.
function(pdf_info pdf out)
    execute_process(COMMAND "${PDFINFO}" "${pdf}" RESULT_VARIABLE status OUTPUT_VARIABLE info ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${pdf}: pdfinfo failed (${status}): ${error}")
    endif()
    set(${out} "${info}" PARENT_SCOPE)
endfunction()

# Text of pages first..last of a PDF (0 0: every page), in reading order with the page layout kept.
function(pdf_text pdf first last out)
    set(range)
    if(first GREATER 0)
        set(range -f ${first} -l ${last})
    endif()
    execute_process(COMMAND "${PDFTOTEXT}" -layout -enc UTF-8 ${range} "${pdf}" -
        RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${pdf}: pdftotext failed (${status}): ${error}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The text with every run of blanks and line breaks made one blank, so that phrases match across lines.
function(flatten_text text out)
    string(ASCII 12 form_feed)
    string(REGEX REPLACE "[ \t\r\n${form_feed}]+" " " flat "${text}")
    set(${out} "${flat}" PARENT_SCOPE)
endfunction()

# Fails when Markdown syntax shows in the rendered text: heading marks or table pipes at the start of a
# line, fences, emphasis marks, link syntax, table rules or raw HTML.
function(check_no_markdown pdf text)
    string(ASCII 12 form_feed)
    string(REPLACE "${form_feed}" "\n" text "${text}")
    foreach(pattern "\n[ \t]*#+ [^\n]*" "\n[ \t]*\\|[^\n]*" "[^\n]*```[^\n]*" "[^\n]*\\*\\*[^\n]*"
            "[^\n]*\\]\\([^\n]*" "[^\n]*:?---+:?[ ]*\\|[^\n]*" "[^\n]*<(br|p|div|span)[ />][^\n]*" "[^\n]*&nbsp;[^\n]*")
        string(REGEX MATCH "${pattern}" found "\n${text}")
        if(found)
            string(STRIP "${found}" found)
            message(FATAL_ERROR "${pdf}: Markdown left in the text: '${found}'")
        endif()
    endforeach()
endfunction()

# Fails when a word of the PDF reaches into the right margin of an A4 page laid out with 22 mm side
# margins (a line that ran out of its box or off the text column).
function(check_right_margin pdf)
    execute_process(COMMAND "${PDFTOTEXT}" -bbox "${pdf}" - RESULT_VARIABLE status OUTPUT_VARIABLE boxes
        ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${pdf}: pdftotext -bbox failed (${status}): ${error}")
    endif()
    # 595.28 pt page width less 62.36 pt of margin, and half a point for rounding.
    string(REGEX MATCHALL "xMax=\"[0-9.]+\"[^>]*>[^<]*" words "${boxes}")
    foreach(word IN LISTS words)
        string(REGEX MATCH "xMax=\"([0-9.]+)\"[^>]*>([^<]*)" ignored "${word}")
        set(x_max "${CMAKE_MATCH_1}")
        set(text "${CMAKE_MATCH_2}")
        string(REGEX REPLACE "\\..*" "" x_whole "${x_max}")
        if(x_whole GREATER 533)
            message(FATAL_ERROR "${pdf}: '${text}' reaches into the right margin (x = ${x_max} pt)")
        endif()
    endforeach()
endfunction()

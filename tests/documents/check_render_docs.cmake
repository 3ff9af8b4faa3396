# Checks the document renderer on a generated manual of many sections:
#   cmake -DRENDER_DOCS=... -DWORK_DIR=... -DPICTURE=any.png -DPDFTOTEXT=... -DPDFINFO=... -DPDFIMAGES=...
#         -P check_render_docs.cmake
# - every Markdown construct the documents use comes out as formatted text, without Markdown syntax;
# - a command too long for the text column keeps its line, in a smaller type, inside the margins;
# - the table of contents gives, for every section, the page on which its heading stands;
# - no page ends with a heading whose text starts on the next page, and no text stands twice;
# - every page carries the footer "Page n of N";
# - two runs give byte-identical files, dated by SOURCE_DATE_EPOCH;
# - a picture is embedded from the picture folder;
# - a missing input, a missing picture or a wrong command line fails without writing anything.

include(${CMAKE_CURRENT_LIST_DIR}/pdf_checks.cmake)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/pictures")
file(COPY_FILE "${PICTURE}" "${WORK_DIR}/pictures/chart.png")

# The manual: a title, an introduction, then sections of 1 to 7 paragraphs, some with a table, a list, a
# command or a note, so that headings fall at every height of a page.
set(words "Alpha;Bravo;Charlie;Delta;Echo;Foxtrot;Golf;Hotel;India;Juliett;Kilo;Lima;Mike;November;Oscar;Papa;Quebec;Romeo;Sierra;Tango;Uniform;Victor;Whiskey;Xray;Yankee;Zulu;Amber;Basalt;Cobalt;Dune")
list(APPEND words "Ember;Fjord;Garnet;Harbor;Iris;Jasper;Krypton;Lagoon;Meadow;Nickel;Onyx;Prairie;Quartz;Ridge;Summit;Tundra;Umber;Valley;Willow;Xenon;Yarrow;Zephyr;Anvil;Beacon;Canyon;Delta;Estuary;Falcon;Glacier;Horizon")
set(paragraph "The ambient state is recalculated after every edit of an input box; computed boxes are \
locked and shown on a cyan background, and a refused input turns red until it is corrected.")
set(markdown "# Fixture Manual\n\n![A chart](chart.png)\n\nAn introduction with **bold**, *italic*, \
`inline code` and a [link](https://www.humidora.example).\n\n")
set(sections 60)
foreach(index RANGE 1 ${sections})
    math(EXPR word_index "${index} - 1")
    list(GET words ${word_index} word)
    if(index LESS 10)
        set(number "0${index}")
    else()
        set(number "${index}")
    endif()
    string(APPEND markdown "## Section ${number} ${word}\n\n")
    math(EXPR paragraphs "(${index} * 5) % 7 + 1")
    foreach(p RANGE 1 ${paragraphs})
        math(EXPR long "(${index} + ${p}) % 3")
        if(long EQUAL 0)
            string(APPEND markdown "${paragraph}\n\n")
        else()
            string(APPEND markdown "A short paragraph of one line.\n\n")
        endif()
    endforeach()
    math(EXPR kind "${index} % 4")
    if(kind EQUAL 0)
        string(APPEND markdown "| Unit key | Factor |\n|---|---:|\n| `mm H2O` | 9.8638 |\n| `mile` | 1609.34 |\n\n")
    elseif(kind EQUAL 1)
        string(APPEND markdown "- first item ${word}\n- second item ${word}\n\n")
    elseif(kind EQUAL 2)
        string(APPEND markdown "```\nhumidora-cli convert --quantity Length --from mile --to ft 1\n```\n\n")
    else()
        string(APPEND markdown "> Note: a unit change never converts a typed number.\n\n")
    endif()
endforeach()
string(APPEND markdown "## Appendix\n\nA command longer than the text column at the normal type size:\n\n\
```\nhumidora-cli state --temperature 30 --dew-point 20 --humidity-ratio-unit \"(g moisture)/(kg dry air)\" --json\n```\n")
set(input "${WORK_DIR}/manual.md")
file(WRITE "${input}" "${markdown}")

function(render output)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=1700000000
        "${RENDER_DOCS}" --contents --images "${WORK_DIR}/pictures" "${input}" "${output}" "Fixture Manual"
        RESULT_VARIABLE status ERROR_VARIABLE error)
    if(NOT status EQUAL 0 OR NOT EXISTS "${output}")
        message(FATAL_ERROR "render_docs failed (${status}): ${error}")
    endif()
endfunction()

set(pdf "${WORK_DIR}/manual.pdf")
render("${pdf}")
pdf_info("${pdf}" info)
string(REGEX MATCH "Pages: +([0-9]+)" ignored "${info}")
set(pages ${CMAKE_MATCH_1})
if(pages LESS 4)
    message(FATAL_ERROR "expected a manual of several pages, got ${pages}")
endif()

pdf_text("${pdf}" 0 0 all_text)
check_no_markdown("${pdf}" "${all_text}")
flatten_text("${all_text}" flat)
foreach(phrase "An introduction with bold, italic, inline code and a link." "mm H2O" "9.8638" "first item Echo"
        "humidora-cli convert --quantity Length --from mile --to ft 1" "a unit change never converts")
    string(FIND "${flat}" "${phrase}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "phrase '${phrase}' not in the rendered text")
    endif()
endforeach()

# Commands keep their lines whole (a smaller type rather than a broken line), and nothing runs into the
# right margin.
if(NOT all_text MATCHES "humidora-cli state --temperature 30 --dew-point 20 --humidity-ratio-unit \"\\(g moisture\\)/\\(kg dry air\\)\" --json")
    message(FATAL_ERROR "the long command is broken over two lines")
endif()
check_right_margin("${pdf}")

# The picture is embedded once, in its own pixels.
execute_process(COMMAND "${PDFIMAGES}" -list "${pdf}" OUTPUT_VARIABLE images RESULT_VARIABLE status)
string(REGEX MATCHALL "\n +1 +[0-9]+ +image +348 +341 " embedded "${images}")
list(LENGTH embedded embedded_count)
if(NOT status EQUAL 0 OR NOT embedded_count EQUAL 1)
    message(FATAL_ERROR "expected the 348 x 341 picture once on page 1:\n${images}")
endif()

# Per page: footer, the last line above it, and the sections whose headings stand there. The contents
# name every heading once before its own occurrence, so a heading's page is where its second
# occurrence lies.
set(contents_text "")
foreach(page RANGE 1 ${pages})
    pdf_text("${pdf}" ${page} ${page} text)
    if(NOT text MATCHES "Fixture Manual +Page ${page} of ${pages}")
        message(FATAL_ERROR "page ${page}: no footer 'Page ${page} of ${pages}'")
    endif()
    string(REGEX REPLACE "\n[^\n]*Page ${page} of ${pages}.*" "" body "${text}")
    string(REGEX REPLACE "[ \t\r\n]+$" "" body "${body}")
    string(REGEX MATCH "[^\n]*$" last_line "${body}")
    if(page LESS pages AND last_line MATCHES "^[ \t]*Section [0-9][0-9] [A-Za-z]+[ \t]*$")
        message(FATAL_ERROR "page ${page} ends with the heading '${last_line}'")
    endif()
    string(REGEX MATCHALL "Section [0-9][0-9] [A-Za-z]+" found "${text}")
    foreach(heading IN LISTS found)
        string(MAKE_C_IDENTIFIER "${heading}" key)
        if(NOT DEFINED count_${key})
            set(count_${key} 0)
        endif()
        math(EXPR count_${key} "${count_${key}} + 1")
        if(count_${key} EQUAL 2)
            set(page_of_${key} ${page})
        endif()
    endforeach()
    if(page LESS_EQUAL 2)
        string(APPEND contents_text "${text}")
    endif()
endforeach()

if(NOT contents_text MATCHES "Contents")
    message(FATAL_ERROR "no table of contents on the first pages")
endif()
string(REGEX MATCHALL "Section [0-9][0-9] [A-Za-z]+ +[0-9]+" entries "${contents_text}")
list(LENGTH entries entry_count)
if(NOT entry_count EQUAL sections)
    message(FATAL_ERROR "the contents list ${entry_count} sections, expected ${sections}")
endif()
foreach(entry IN LISTS entries)
    string(REGEX MATCH "^(Section [0-9][0-9] [A-Za-z]+) +([0-9]+)$" ignored "${entry}")
    set(heading "${CMAKE_MATCH_1}")
    set(listed ${CMAKE_MATCH_2})
    string(MAKE_C_IDENTIFIER "${heading}" key)
    # Once in the contents, once in the body: a third copy would be text hidden at a page's foot.
    if(NOT count_${key} EQUAL 2)
        message(FATAL_ERROR "heading '${heading}' occurs ${count_${key}} times, expected 2")
    endif()
    if(NOT listed EQUAL page_of_${key})
        message(FATAL_ERROR "contents give page ${listed} for '${heading}', it stands on page ${page_of_${key}}")
    endif()
endforeach()

# Reproducible: the same bytes again, with the creation date of SOURCE_DATE_EPOCH (2023-11-14 22:13:20 UTC).
set(again "${WORK_DIR}/again.pdf")
render("${again}")
file(SHA256 "${pdf}" first_hash)
file(SHA256 "${again}" second_hash)
if(NOT first_hash STREQUAL second_hash)
    message(FATAL_ERROR "two renderings of the same input differ")
endif()
file(STRINGS "${pdf}" dates REGEX "/CreationDate")
if(NOT dates MATCHES "D:20231114221320Z")
    message(FATAL_ERROR "creation date is not SOURCE_DATE_EPOCH: ${dates}")
endif()

# Failures: nothing is written.
set(missing_output "${WORK_DIR}/missing.pdf")
execute_process(COMMAND "${RENDER_DOCS}" "${WORK_DIR}/no-such-file.md" "${missing_output}"
    RESULT_VARIABLE status ERROR_VARIABLE error)
if(status EQUAL 0 OR EXISTS "${missing_output}" OR NOT error MATCHES "cannot read")
    message(FATAL_ERROR "a missing input must fail without output (status ${status}): ${error}")
endif()
execute_process(COMMAND "${RENDER_DOCS}" "${input}" "${missing_output}" RESULT_VARIABLE status ERROR_VARIABLE error)
if(status EQUAL 0 OR EXISTS "${missing_output}" OR NOT error MATCHES "chart.png, which is not a picture")
    message(FATAL_ERROR "a picture that is not there must fail without output (status ${status}): ${error}")
endif()
execute_process(COMMAND "${RENDER_DOCS}" "${input}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 2)
    message(FATAL_ERROR "a command line without OUTPUT.pdf must be a usage error (2), got ${status}")
endif()

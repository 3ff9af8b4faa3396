# Writes the manual page of a program from its own --help and --version through help2man, compressed:
#   cmake -DPROGRAM=... -DHELP2MAN=... -DNAME="one-line description" -DOUTPUT=page.1.gz [-DSEE_ALSO=other(1)]
#         [-DWITH_COMMANDS=ON] -P make_manual.cmake
# WITH_COMMANDS adds a section COMMANDS with the --help of every command the program's help lists under
# "Commands:", so that the page documents every option. The date of the page is SOURCE_DATE_EPOCH when set
# (reproducible builds).

function(run out)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${status}): ${error}")
    endif()
    set(${out} "${output}" PARENT_SCOPE)
endfunction()

# Text as roff that stands as it is: backslashes and minus signs escaped, no line read as a request.
function(roff_verbatim text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

get_filename_component(program_name "${PROGRAM}" NAME)
set(work "${OUTPUT}.work")
file(MAKE_DIRECTORY "${work}")
set(include "")
if(WITH_COMMANDS)
    run(help "${PROGRAM}" --help)
    string(REGEX MATCH "\nCommands:\n(( +[^\n]*\n)+)" ignored "${help}")
    string(REPLACE "\n" ";" lines "${CMAKE_MATCH_1}")
    string(APPEND include "[COMMANDS]\n")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "^ +([a-z][a-z0-9-]*)" ignored "${line}")
        set(command ${CMAKE_MATCH_1})
        if(NOT command)
            continue()
        endif()
        run(command_help "${PROGRAM}" ${command} --help)
        roff_verbatim("${command_help}" command_help)
        string(APPEND include ".SS ${command}\n.nf\n${command_help}.fi\n")
    endforeach()
endif()
if(SEE_ALSO)
    string(REGEX REPLACE "^([^(]+)\\(([0-9])\\)$" ".BR \\1 (\\2)" see_also "${SEE_ALSO}")
    string(APPEND include "[SEE ALSO]\n${see_also}\n")
endif()
file(WRITE "${work}/include.h2m" "${include}")

run(ignored "${HELP2MAN}" --no-info --name=${NAME} --include=${work}/include.h2m --output=${work}/page.1
    "${PROGRAM}")
execute_process(COMMAND gzip -9 -n -c "${work}/page.1" OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip of ${program_name}'s manual page failed")
endif()
file(REMOVE_RECURSE "${work}")

# Writes the man page of vellarion-cli from the program's own help, so that
# it always says what the program does: help2man turns `--help` and
# `--version` into the page, and a COMMANDS section gives each subcommand's
# own `--help`.
#
#   cmake -DCLI=path/to/vellarion-cli -DHELP2MAN=path/to/help2man
#         -DOUTPUT=vellarion-cli.1 -P ManPage.cmake

foreach(variable CLI HELP2MAN OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "ManPage.cmake needs -D${variable}=...")
    endif()
endforeach()

# Text shown as it is in roff: backslashes doubled as \e, and a line that
# starts with a dot or an apostrophe is no request.
function(roff_literal text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The page is English, whatever the language of the machine that builds it
# (the program's help speaks the environment's).
set(ENV{LANGUAGE} "en")

execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} --help failed (${status})")
endif()

# The subcommands are the lines of the "Subcommands:" list.
string(REGEX REPLACE ".*\nSubcommands:\n" "" listed "${help}")
string(REGEX MATCHALL "(^|\n)  [a-z][a-z0-9-]*" names "${listed}")
set(commands "")
foreach(name IN LISTS names)
    string(STRIP "${name}" name)
    list(APPEND commands "${name}")
endforeach()
if(NOT commands)
    message(FATAL_ERROR "no subcommands in the help of ${CLI}")
endif()

set(include "[COMMANDS]\nEach command shows this with \\fBvellarion-cli\\fR \\fIcommand\\fR \\fB--help\\fR.\n")
foreach(command IN LISTS commands)
    execute_process(COMMAND "${CLI}" ${command} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} ${command} --help failed (${status})")
    endif()
    roff_literal("${text}" text)
    string(APPEND include ".SS ${command}\n.nf\n${text}.fi\n")
endforeach()

get_filename_component(directory "${OUTPUT}" DIRECTORY)
set(includeFile "${directory}/vellarion-cli.h2m")
file(WRITE "${includeFile}" "${include}")
execute_process(
    COMMAND "${HELP2MAN}" --no-info --no-discard-stderr --section=1
            "--name=back up and restore web browsers' settings and data"
            "--include=${includeFile}" "--output=${OUTPUT}" "${CLI}"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man failed (${status})")
endif()

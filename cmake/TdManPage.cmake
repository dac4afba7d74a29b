# cmake -DPROGRAM=<exe> -DNAME=<program name> -DSUMMARY=<one line> -DOUT=<page.1.gz>
#       -DHELP2MAN=<help2man> [-DCOMMANDS=<"mirror;history import;...">] -P TdManPage.cmake
# A manual page made from the program's own --help (and each command's, for torquedesk-cli),
# so the two cannot say different things. The help's last line names the data folder of the
# run that made the page, which means nothing on another computer: it is left out.
get_filename_component(dir ${OUT} DIRECTORY)
set(work ${dir}/${NAME}.work)
file(MAKE_DIRECTORY ${work}/bin)

# help2man runs a program by its name; the stand-in filters the build's own data folder.
set(wrapper ${work}/bin/${NAME})
file(WRITE ${wrapper} "#!/bin/sh\nASAN_OPTIONS=detect_leaks=0 \"${PROGRAM}\" \"$@\" | grep -v '^Data folder: '\n")
file(CHMOD ${wrapper} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(roff_escape text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(include ${work}/include.h2m)
set(include_option)
if(COMMANDS)
  file(WRITE ${include} "")
  set(include_option --include=${include})
  file(APPEND ${include} "[COMMAND OPTIONS]\n")
  foreach(command ${COMMANDS})
    separate_arguments(words UNIX_COMMAND "${command}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=QT_QPA_PLATFORM ASAN_OPTIONS=detect_leaks=0
                            ${PROGRAM} ${words} --help
                    OUTPUT_VARIABLE help RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${NAME} ${command} --help failed (${rc})")
    endif()
    # The data folder's rule is told once, in the program's own section.
    string(REGEX REPLACE "\nWithout --data-dir.*$" "\n" help "${help}")
    string(REGEX REPLACE "^Usage: [^\n]*\n" "" help "${help}")
    roff_escape("${help}" help)
    file(APPEND ${include} ".SS \"${NAME} ${command}\"\n.nf\n${help}\n.fi\n")
  endforeach()
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=QT_QPA_PLATFORM
          ${HELP2MAN} --no-info --section=1 --name=${SUMMARY} ${include_option} --output=${work}/${NAME}.1 ${wrapper}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${NAME} (${rc})")
endif()
# -n: no name or time stamp in the archive, so the package is the same from one build to the next.
execute_process(COMMAND gzip -9 -n -c ${work}/${NAME}.1 OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${NAME}")
endif()

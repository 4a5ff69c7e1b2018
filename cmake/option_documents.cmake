# Fills the tavrin-label manual page and bash completion with what the program's option
# tables say, so neither can fall behind the program. Run by the build (cmake -P) with
# PROGRAM, VERSION, MAN_IN, MAN_OUT, COMPLETION_IN and COMPLETION_OUT.
foreach(format man bash)
  execute_process(COMMAND ${PROGRAM} --dump-options ${format} OUTPUT_VARIABLE dumped RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${PROGRAM} --dump-options ${format} failed: ${failed}")
  endif()
  set(TAVRIN_LABEL_${format}_OPTIONS "${dumped}")
endforeach()
set(PROJECT_VERSION ${VERSION})
set(TAVRIN_LABEL_OPTIONS "${TAVRIN_LABEL_man_OPTIONS}")
set(TAVRIN_LABEL_COMPLETION_TABLES "${TAVRIN_LABEL_bash_OPTIONS}")
configure_file(${MAN_IN} ${MAN_OUT} @ONLY)
configure_file(${COMPLETION_IN} ${COMPLETION_OUT} @ONLY)

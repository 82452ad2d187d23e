# Runs the page-drafting example over a drawing of three pages, offscreen,
# answered by its autopilot: "ページ製図" must print page 0 and its page file,
# Cancel nothing (exit 1).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${TOOL} new --store ${WORK} --pages 3
  OUTPUT_VARIABLE drawing RESULT_VARIABLE made OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "cannot make the store: ${made}")
endif()
set(ENV{QT_QPA_PLATFORM} offscreen)

set(ENV{VEXA_AUTOPILOT} ok)
execute_process(COMMAND ${HOST} ${WORK} ${drawing} OUTPUT_VARIABLE chosen RESULT_VARIABLE result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0 OR NOT chosen STREQUAL "0 ${drawing}/pagefile.000")
  message(FATAL_ERROR "ページ製図: exit ${result}, printed '${chosen}'")
endif()

set(ENV{VEXA_AUTOPILOT} cancel)
execute_process(COMMAND ${HOST} ${WORK} ${drawing} OUTPUT_VARIABLE chosen RESULT_VARIABLE result)
if(NOT result EQUAL 1 OR NOT chosen STREQUAL "")
  message(FATAL_ERROR "Cancel: exit ${result}, printed '${chosen}'")
endif()

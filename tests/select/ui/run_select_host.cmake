# Runs the example host over a store with one drawing, offscreen, answered by
# its autopilot: OK must print the drawing's folder, Cancel nothing (exit 1).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${TOOL} new --store ${WORK} --title 見本図面
  OUTPUT_VARIABLE drawing RESULT_VARIABLE made OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "cannot make the store: ${made}")
endif()
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_CONFIG_HOME} ${WORK}/config)

set(ENV{VEXA_AUTOPILOT} ok)
execute_process(COMMAND ${HOST} ${WORK} OUTPUT_VARIABLE chosen RESULT_VARIABLE result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0 OR NOT chosen STREQUAL drawing)
  message(FATAL_ERROR "OK: exit ${result}, printed '${chosen}', expected '${drawing}'")
endif()

set(ENV{VEXA_AUTOPILOT} cancel)
execute_process(COMMAND ${HOST} ${WORK} OUTPUT_VARIABLE chosen RESULT_VARIABLE result)
if(NOT result EQUAL 1 OR NOT chosen STREQUAL "")
  message(FATAL_ERROR "Cancel: exit ${result}, printed '${chosen}'")
endif()

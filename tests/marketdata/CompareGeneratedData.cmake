# Runs the data generators into a fresh folder and compares their output
# with the files committed in data/.
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})

foreach(job "STRATEGIES_TOOL;strategies.txt;DEFAULT.STG" "CHAIN_TOOL;sample-chain.txt;SAMPLE.opt")
  list(GET job 0 tool)
  list(GET job 1 source)
  list(GET job 2 name)
  execute_process(COMMAND ${${tool}} ${TOOLS_DIR}/${source} ${OUT_DIR}/${name}
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Generating ${name} failed (${rc}): ${err}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT_DIR}/${name} ${DATA_DIR}/${name}
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "data/${name} is not what tools/${source} gives: run the target tw_regenerate_data "
                        "and commit the result, or undo the change to the list or the generator.")
  endif()
  message(STATUS "data/${name} matches tools/${source}")
endforeach()

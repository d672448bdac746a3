# Runs one script case with the pellix tool and compares output and exit status with the expected ones.
# Called as: cmake -DPELLIX=<tool> -DCASE=<dir>/<name>.fb -P RunScriptCase.cmake
get_filename_component(case_directory ${CASE} DIRECTORY)
get_filename_component(case_name ${CASE} NAME_WE)
set(base ${case_directory}/${case_name})

set(arguments run ${case_name}.fb)
if(EXISTS ${base}.cmd)
  file(READ ${base}.cmd command_line)
  string(STRIP "${command_line}" command_line)
  string(REPLACE "FILE" "${case_name}.fb" command_line "${command_line}")
  separate_arguments(arguments UNIX_COMMAND "${command_line}")
endif()

set(expected_status 0)
if(EXISTS ${base}.status)
  file(READ ${base}.status expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()
set(expected_output "")
if(EXISTS ${base}.out)
  file(READ ${base}.out expected_output)
endif()

# The default run is repeated on the tree-walking interpreter ("walk"): both must give what the case expects.
# A case with a command line of its own runs only that (a walk FILE line asks for the walker alone).
set(runs "${arguments}")
if(NOT EXISTS ${base}.cmd)
  set(runs "${runs};|;walk;${case_name}.fb")
endif()

set(run_arguments "")
foreach(word ${runs} |)
  if(NOT word STREQUAL "|")
    list(APPEND run_arguments ${word})
    continue()
  endif()
  string(JOIN " " shown_arguments ${run_arguments})
  execute_process(COMMAND ${PELLIX} ${run_arguments}
    WORKING_DIRECTORY ${case_directory}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  if(NOT "${status}" STREQUAL "${expected_status}")
    message(FATAL_ERROR "pellix ${shown_arguments}: exit status ${status}, expected ${expected_status}\n"
                        "output:\n${output}\nstandard error:\n${errors}")
  endif()
  if(NOT "${output}" STREQUAL "${expected_output}")
    message(FATAL_ERROR "pellix ${shown_arguments}: output differs.\n--- expected\n${expected_output}\n--- got\n${output}\n---")
  endif()
  set(run_arguments "")
endforeach()

# The layering check run over a small tree: "low" climbs to "high" and, by an
# angle include, to "sub", a library in a folder inside its own; "high"
# includes only downwards.
set(layers "low=low,high=high,sub=low/sub")
execute_process(
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${DATA} -DLAYERS=${layers} -P ${SCRIPT}
  RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_VARIABLE output)

if(result EQUAL 0)
  message(FATAL_ERROR "climbing includes passed the check:\n${output}")
endif()
foreach(expected
    "src/low/Low.h: low includes high/High.h of high, which is listed after it"
    "src/low/Low.cpp: low includes low/sub/Sub.h of sub, which is listed after it"
    "2 include(s) climb")
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing \"${expected}\" in:\n${output}")
  endif()
endforeach()
string(FIND "${output}" "src/high/" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "a downward include was reported:\n${output}")
endif()

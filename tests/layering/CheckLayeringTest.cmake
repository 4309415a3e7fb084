# The layering check run over a small tree, once for each way it can fail and
# once where everything holds. "low" climbs to "high" and, by an angle include,
# to "sub", a library in a folder inside its own; "high" includes "low" and
# "base" downwards; "spare" includes "base". A folder left out of LAYERS is
# no library, so each run sees only the libraries it names.

# Runs the check over LAYERS and fails unless it passed as PASS says and its
# output holds every text of EXPECTED and none of ABSENT.
function(check what)
  cmake_parse_arguments(ARG "" "LAYERS;PASS" "EXPECTED;ABSENT" ${ARGN})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${DATA} -DLAYERS=${ARG_LAYERS} -P ${SCRIPT}
    RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_VARIABLE output)
  if(ARG_PASS AND NOT result EQUAL 0)
    message(FATAL_ERROR "${what}: the check failed:\n${output}")
  elseif(NOT ARG_PASS AND result EQUAL 0)
    message(FATAL_ERROR "${what}: the check passed:\n${output}")
  endif()
  foreach(expected IN LISTS ARG_EXPECTED)
    string(FIND "${output}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${what}: missing \"${expected}\" in:\n${output}")
    endif()
  endforeach()
  foreach(absent IN LISTS ARG_ABSENT)
    string(FIND "${output}" "${absent}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${what}: unexpected \"${absent}\" in:\n${output}")
    endif()
  endforeach()
endfunction()

check("includes that climb"
  LAYERS "base=base=,low=low=,high=high=base+low,sub=low/sub="
  PASS FALSE
  EXPECTED
    "src/low/Low.h: low includes high/High.h of high, which is listed after it"
    "src/low/Low.cpp: low includes low/sub/Sub.h of sub, which is listed after it"
    "2 include(s) climb the layers of src/CMakeLists.txt, 0 include(s) of libraries missing from DEPS, 0 DEPS name(s)"
  ABSENT "src/high/")

check("an include of a library DEPS do not list"
  LAYERS "base=base=,high=high=Qt6::Gui"
  PASS FALSE
  EXPECTED
    "src/high/HighBase.cpp: high includes base/Base.h of base, which the DEPS of high in src/high/CMakeLists.txt do not list"
    "0 include(s) climb the layers of src/CMakeLists.txt, 1 include(s) of libraries missing from DEPS, 0 DEPS name(s)")

check("a library in DEPS never included"
  LAYERS "base=base=,spare=spare=base,high=high=base+spare"
  PASS FALSE
  EXPECTED
    "src/high/CMakeLists.txt: the DEPS of high list spare, whose headers no file of high includes"
    "0 include(s) climb the layers of src/CMakeLists.txt, 0 include(s) of libraries missing from DEPS, 1 DEPS name(s)")

# Qt stands for every library outside the tree: DEPS may name it freely.
check("includes downwards, each of a library in DEPS"
  LAYERS "base=base=,spare=spare=base,high=high=base+Qt6::Gui"
  PASS TRUE
  EXPECTED "Layers and DEPS kept: base < spare < high")

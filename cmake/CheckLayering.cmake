# Fails when a file under src/ includes a header of a library listed after its
# own in src/CMakeLists.txt (that order is the layering, lowest first), when it
# includes a header of a library its own library's DEPS do not list, or when
# a library's DEPS list one of ours that none of its files includes: DEPS name
# exactly the libraries whose headers a library includes.
#
#   cmake -DSOURCE_DIR=<src> -DLAYERS=<name=folder=dep+dep,...> -P CheckLayering.cmake
#
# LAYERS names every library in that order with its folder under src/ and its
# DEPS joined by '+'. A DEPS entry that is no library of LAYERS (Qt, threads)
# is outside the check, and so is an include of a folder that is none.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "CheckLayering.cmake needs SOURCE_DIR and LAYERS")
endif()

string(REPLACE "," ";" layers "${LAYERS}")
set(names "")
set(folders "")
foreach(layer IN LISTS layers)
  string(REPLACE "=" ";" fields "${layer}")
  list(GET fields 0 name)
  list(GET fields 1 folder)
  list(APPEND names "${name}")
  list(APPEND folders "${folder}")
  set(deps "")
  list(LENGTH fields fieldCount)
  if(fieldCount GREATER 2)
    list(GET fields 2 deps)
    string(REPLACE "+" ";" deps "${deps}")
  endif()
  set("deps_${name}" "${deps}")
endforeach()

set(climbs 0)
set(unlisted 0)
set(unused 0)
list(LENGTH names count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET names ${index} name)
  list(GET folders ${index} folder)
  set(included "")
  set(listed "${deps_${name}}")
  # A library is the files of its own folder; a folder inside it is another.
  file(GLOB files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  list(SORT files)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH path "${SOURCE_DIR}" "${file}")
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" header
             "${line}")
      get_filename_component(headerFolder "${header}" DIRECTORY)
      list(FIND folders "${headerFolder}" target)
      if(target EQUAL -1 OR target EQUAL index)
        continue()
      endif()
      list(GET names ${target} other)
      list(APPEND included "${other}")
      if(target GREATER index)
        message("src/${path}: ${name} includes ${header} of ${other}, which is listed after it")
        math(EXPR climbs "${climbs} + 1")
      elseif(NOT other IN_LIST listed)
        message("src/${path}: ${name} includes ${header} of ${other}, "
                "which the DEPS of ${name} in src/${folder}/CMakeLists.txt do not list")
        math(EXPR unlisted "${unlisted} + 1")
      endif()
    endforeach()
  endforeach()
  foreach(dep IN LISTS listed)
    if(dep IN_LIST names AND NOT dep IN_LIST included)
      message("src/${folder}/CMakeLists.txt: the DEPS of ${name} list ${dep}, "
              "whose headers no file of ${name} includes")
      math(EXPR unused "${unused} + 1")
    endif()
  endforeach()
endforeach()

if(climbs GREATER 0 OR unlisted GREATER 0 OR unused GREATER 0)
  # On one line of its own: an error's text would be wrapped.
  message("${climbs} include(s) climb the layers of src/CMakeLists.txt, "
          "${unlisted} include(s) of libraries missing from DEPS, "
          "${unused} DEPS name(s) of libraries never included")
  message(FATAL_ERROR "The layering or the DEPS of src/ do not hold (see above).")
endif()
list(JOIN names " < " order)
message(STATUS "Layers and DEPS kept: ${order}")

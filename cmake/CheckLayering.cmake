# Fails when a file under src/ includes a header of a library listed after its
# own in src/CMakeLists.txt: that order is the layering, lowest first.
#
#   cmake -DSOURCE_DIR=<src> -DLAYERS=<name=folder,...> -P CheckLayering.cmake
#
# LAYERS names every library in that order with its folder under src/.
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "CheckLayering.cmake needs SOURCE_DIR and LAYERS")
endif()

string(REPLACE "," ";" layers "${LAYERS}")
set(names "")
set(folders "")
foreach(layer IN LISTS layers)
  string(REPLACE "=" ";" pair "${layer}")
  list(GET pair 0 name)
  list(GET pair 1 folder)
  list(APPEND names "${name}")
  list(APPEND folders "${folder}")
endforeach()

set(climbs 0)
list(LENGTH names count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET names ${index} name)
  list(GET folders ${index} folder)
  # A library is the files of its own folder; a folder inside it is another.
  file(GLOB files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" header
             "${line}")
      get_filename_component(headerFolder "${header}" DIRECTORY)
      list(FIND folders "${headerFolder}" target)
      if(target GREATER index)
        list(GET names ${target} above)
        file(RELATIVE_PATH path "${SOURCE_DIR}" "${file}")
        message("src/${path}: ${name} includes ${header} of ${above}, which is listed after it")
        math(EXPR climbs "${climbs} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(climbs GREATER 0)
  message(FATAL_ERROR "${climbs} include(s) climb the layers of src/CMakeLists.txt")
endif()
list(JOIN names " < " order)
message(STATUS "Layers kept: ${order}")

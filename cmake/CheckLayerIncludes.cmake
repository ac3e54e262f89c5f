# Run by CTest (test "layering.includes"):
#   cmake -DSOURCE_DIR=<source root> -DLAYERS=<area;...> -P CheckLayerIncludes.cmake
# LAYERS lists the engine areas from the bottom layer up. Fails, naming every offending line, when
# a file under engine/<area>/ includes a header of an area at a higher level, or of the shell or
# the game, which sit above all of them.
if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<dir> -DLAYERS=<areas> -P CheckLayerIncludes.cmake")
endif()

set(above_all shell game)
set(violations "")
list(LENGTH LAYERS count)
math(EXPR last "${count} - 1")
foreach(level RANGE ${last})
  list(GET LAYERS ${level} area)
  file(GLOB_RECURSE files ${SOURCE_DIR}/engine/${area}/*.h ${SOURCE_DIR}/engine/${area}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][a-z_]+/")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "include[ \t]*[<\"]([a-z_]+)/")
        continue()
      endif()
      set(included ${CMAKE_MATCH_1})
      list(FIND LAYERS ${included} includedLevel)
      list(FIND above_all ${included} top)
      if(includedLevel GREATER level OR top GREATER_EQUAL 0)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        string(STRIP "${line}" line)
        list(APPEND violations "  ${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "An engine area includes an area above it (order from the bottom: ${LAYERS}):\n${text}\n"
                      "Declare what the area needs of its owner as a host interface in its own headers.")
endif()
message(STATUS "layering: every engine area includes only itself and the areas below it")

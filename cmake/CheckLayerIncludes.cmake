# Run by CTest (test "layering.includes"):
#   cmake -DSOURCE_DIR=<source root> -DLAYERS=<area;...> [-DGAME_LAYERS=<level;...>
#         -DGAME_CHECKED=<area;...>] -P CheckLayerIncludes.cmake
# LAYERS lists the engine areas from the bottom layer up. Fails, naming every offending line, when
# a file under engine/<area>/ includes a header of an area at a higher level, or of the shell or
# the game, which sit above all of them.
# GAME_LAYERS lists the game's areas (game/<area>/) from the bottom up; areas that stand side by
# side share one level, joined by "+" (gameplay+farm), and may not include each other either.
# GAME_CHECKED names the game areas held to that order: a file of one of them fails when it
# includes "game/<other>/..." of its own level or above.
if(NOT SOURCE_DIR OR NOT LAYERS)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<dir> -DLAYERS=<areas> -P CheckLayerIncludes.cmake")
endif()

# Sets level_<tree>_<area> for every area of an order written bottom up, "+" joining areas of one
# level.
macro(read_levels tree order)
  list(LENGTH ${order} count)
  math(EXPR last "${count} - 1")
  foreach(level RANGE ${last})
    list(GET ${order} ${level} entry)
    string(REPLACE "+" ";" members "${entry}")
    foreach(member IN LISTS members)
      set(level_${tree}_${member} ${level})
    endforeach()
  endforeach()
endmacro()

# Appends to <out> every include in <tree>/<area>/ of "<prefix><other>/..." where <other> is an
# area of its own level or above, or one of the names in <always_above>. With unknown_is_above, an
# included area that is in no level counts as above too (within the game every area is ordered;
# below the engine, "sys/" or "GLES/" are not ours).
function(find_upward_includes out tree prefix area unknown_is_above always_above)
  set(found "")
  file(GLOB_RECURSE files ${SOURCE_DIR}/${tree}/${area}/*.h ${SOURCE_DIR}/${tree}/${area}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]${prefix}[a-z_]+/")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "include[ \t]*[<\"]${prefix}([a-z_]+)/" OR CMAKE_MATCH_1 STREQUAL area)
        continue()
      endif()
      set(included ${CMAKE_MATCH_1})
      list(FIND always_above ${included} aboveAll)
      if(aboveAll GREATER_EQUAL 0)
        set(upward TRUE)
      elseif(DEFINED level_${tree}_${included})
        if(level_${tree}_${included} LESS level_${tree}_${area})
          set(upward FALSE)
        else()
          set(upward TRUE)
        endif()
      else()
        set(upward ${unknown_is_above})
      endif()
      if(upward)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        string(STRIP "${line}" line)
        list(APPEND found "  ${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
  set(${out} ${${out}} ${found} PARENT_SCOPE)
endfunction()

set(violations "")
read_levels(engine LAYERS)
foreach(area IN LISTS LAYERS)
  find_upward_includes(violations engine "" ${area} FALSE "shell;game")
endforeach()
if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "An engine area includes an area above it (order from the bottom: ${LAYERS}):\n${text}\n"
                      "Declare what the area needs of its owner as a host interface in its own headers.")
endif()
message(STATUS "layering: every engine area includes only itself and the areas below it")

if(NOT GAME_LAYERS)
  return()
endif()
read_levels(game GAME_LAYERS)
foreach(area IN LISTS GAME_CHECKED)
  if(NOT DEFINED level_game_${area})
    message(FATAL_ERROR "layering: the checked game area ${area} is not in the order ${GAME_LAYERS}")
  endif()
  find_upward_includes(violations game "game/" ${area} TRUE "")
endforeach()
if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "A game area includes an area beside or above it (order from the bottom: ${GAME_LAYERS}):\n"
                      "${text}\nDeclare what the area needs of the game object as a host interface in its own headers.")
endif()
message(STATUS "layering: the game areas ${GAME_CHECKED} include only themselves and the areas below them")

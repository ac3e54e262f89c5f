# How the resource pak is assembled from generated and hand-written content.
#
# Every piece of content is written by a build-time command into the stage folder, which mirrors
# the pak: the member `ui\ui_iphone\ui_main.txt` is the file `${COBBLE_PAK_STAGE}/ui/ui_iphone/ui_main.txt`.
# A content folder registers its commands with cobble_pak_content(); content/CMakeLists.txt then
# writes the pak from the stage once every registered command has run.

set(COBBLE_PAK_STAGE ${CMAKE_BINARY_DIR}/content/stage)
# Where the game looks for its common pak, relative to the directory of the built program.
set(COBBLE_PAK_OUTPUT ${CMAKE_BINARY_DIR}/app/native/assets/_game_bb.pak)

# cobble_pak_content(<name> COMMAND <cmd> [COMMAND <cmd> ...] DEPENDS <files or targets...>)
# Runs the commands (which write below ${COBBLE_PAK_STAGE}) whenever a dependency changes; the
# step's stamp becomes an input of the pak. A step owns the stage sub-folders it writes and
# should clear them first, so a renamed or removed source leaves nothing stale behind.
function(cobble_pak_content name)
  cmake_parse_arguments(PARSE_ARGV 1 A "" "" "DEPENDS")
  set(stamp ${CMAKE_BINARY_DIR}/content/stamps/${name}.stamp)
  # Everything that is not DEPENDS is the command list, kept with its COMMAND keywords.
  set(commands ${A_UNPARSED_ARGUMENTS})
  add_custom_command(OUTPUT ${stamp}
                     ${commands}
                     COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
                     DEPENDS ${A_DEPENDS}
                     COMMENT "content: ${name}"
                     VERBATIM)
  add_custom_target(content_${name} DEPENDS ${stamp})
  set_property(GLOBAL APPEND PROPERTY COBBLE_PAK_STAMPS ${stamp})
  set_property(GLOBAL APPEND PROPERTY COBBLE_PAK_TARGETS content_${name})
endfunction()

# How the resource pak is assembled from generated and hand-written content.
#
# Every piece of content is written by a build-time command into the stage folder, which mirrors
# the pak: the member `ui\ui_iphone\ui_main.txt` is the file `${COBBLE_PAK_STAGE}/ui/ui_iphone/ui_main.txt`.
# A content folder registers its commands with cobble_pak_content() (or copies text sources with
# cobble_pak_files()); content/CMakeLists.txt then writes the pak from the stage once every
# registered command has run.
#
# COBBLE_CONTENT switches the whole pipeline off: the ThreadSanitizer build only runs threaded
# tests and the fuzz build only fuzzes, so neither needs the pak. Both functions then do nothing.

set(_cobble_content_default ON)
if(COBBLE_ONLY_THREADED_TESTS OR COBBLE_FUZZ)
  set(_cobble_content_default OFF)
endif()
option(COBBLE_CONTENT "Build the game's resource pak (content/) and its checks" ${_cobble_content_default})

set(COBBLE_CONTENT_DIR ${CMAKE_BINARY_DIR}/content)
set(COBBLE_PAK_STAGE ${COBBLE_CONTENT_DIR}/stage)
# Where the game looks for its common pak, relative to the directory of the built program.
set(COBBLE_PAK_OUTPUT ${CMAKE_BINARY_DIR}/app/native/assets/_game_bb.pak)
# The content phase this tree delivers; the checker skips code references of later phases.
set(COBBLE_CONTENT_PHASE D CACHE STRING "Content phase the pak is complete for (A, B, C or D)")

# cobble_pak_content(<name> COMMAND <cmd> [COMMAND <cmd> ...] DEPENDS <files or targets...>)
# Runs the commands (which write below ${COBBLE_PAK_STAGE}) whenever a dependency changes; the
# step's stamp becomes an input of the pak. A step owns the stage sub-folders it writes and
# should clear them first, so a renamed or removed source leaves nothing stale behind.
# Intermediate files belong below ${COBBLE_CONTENT_DIR}: the determinism test replays every step
# with that folder moved elsewhere and compares the paks.
function(cobble_pak_content name)
  if(NOT COBBLE_CONTENT)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 A "" "" "DEPENDS")
  set(stamp ${COBBLE_CONTENT_DIR}/stamps/${name}.stamp)
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
  _cobble_pak_record_replay(${name} ${commands})
endfunction()

# cobble_pak_files(<name> <pak path> <source file> [<pak path> <source file> ...])
# Copies text sources into the stage unchanged, for folders several steps share by kind (such as
# Data/): the step writes only its own files, and removes the files it wrote last time (its
# manifest) first, so a file dropped from the list does not linger in the pak. Pak paths use '/'.
function(cobble_pak_files name)
  if(NOT COBBLE_CONTENT)
    return()
  endif()
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR odd "${count} % 2")
  if(count EQUAL 0 OR odd)
    message(FATAL_ERROR "cobble_pak_files(${name}): give pairs of pak path and source file")
  endif()
  set(listing "")
  set(sources "")
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET pairs ${i} member)
    list(GET pairs ${j} source)
    get_filename_component(source ${source} ABSOLUTE)
    string(APPEND listing "${member}|${source}\n")
    list(APPEND sources ${source})
  endforeach()
  set(list_file ${COBBLE_CONTENT_DIR}/lists/${name}.files)
  file(WRITE ${list_file}.new "${listing}")
  # Rewritten only when it changes, so an unchanged list does not rerun the step.
  configure_file(${list_file}.new ${list_file} COPYONLY)
  cobble_pak_content(${name}
                     COMMAND ${CMAKE_COMMAND} -DSTAGE=${COBBLE_PAK_STAGE} -DLIST=${list_file} -DNAME=${name}
                             -P ${CMAKE_SOURCE_DIR}/cmake/CobbleStageCopy.cmake
                     DEPENDS ${sources} ${list_file} ${CMAKE_SOURCE_DIR}/cmake/CobbleStageCopy.cmake)
endfunction()

# Appends the step's commands to the replay script that the determinism test runs: each command
# becomes an execute_process with the content folder and the pak path as placeholders, and a
# program given by its target name becomes that target's file.
function(_cobble_pak_record_replay name)
  set(script "# step ${name}\n")
  set(current "")
  foreach(arg IN LISTS ARGN)
    if(arg STREQUAL "COMMAND")
      if(current)
        string(APPEND script "_cobble_replay(${name} ${current})\n")
      endif()
      set(current "")
      set(first TRUE)
      continue()
    endif()
    if(first AND TARGET "${arg}")
      set(arg "$<TARGET_FILE:${arg}>")
    endif()
    set(first FALSE)
    string(REPLACE "${COBBLE_PAK_OUTPUT}" "__COBBLE_PAK__" arg "${arg}")
    string(REPLACE "${COBBLE_CONTENT_DIR}" "__COBBLE_CONTENT__" arg "${arg}")
    string(APPEND current " [==[${arg}]==]")
  endforeach()
  if(current)
    string(APPEND script "_cobble_replay(${name} ${current})\n")
  endif()
  set_property(GLOBAL APPEND_STRING PROPERTY COBBLE_PAK_REPLAY "${script}")
endfunction()

# Called last (content/CMakeLists.txt): writes the replay script with the pak step at its end.
# Run it as `cmake -DCONTENT=<dir> -DPAK=<file> -P <script>`; <dir> stands in for the content
# folder (stage included) and must not be the build's own.
function(cobble_pak_write_replay_script pak_command_args)
  get_property(steps GLOBAL PROPERTY COBBLE_PAK_REPLAY)
  set(pak_args "")
  foreach(arg IN LISTS pak_command_args)
    if(TARGET "${arg}")
      set(arg "$<TARGET_FILE:${arg}>")
    endif()
    string(REPLACE "${COBBLE_PAK_OUTPUT}" "__COBBLE_PAK__" arg "${arg}")
    string(REPLACE "${COBBLE_CONTENT_DIR}" "__COBBLE_CONTENT__" arg "${arg}")
    string(APPEND pak_args " [==[${arg}]==]")
  endforeach()
  set(header [==[
# Generated: replays every content step into ${CONTENT} and writes the pak to ${PAK}.
cmake_minimum_required(VERSION 3.25)
if(NOT CONTENT OR NOT PAK)
  message(FATAL_ERROR "give -DCONTENT=<folder> -DPAK=<file>")
endif()
# The content folder's inputs (lists written when the build was configured, and whatever the
# steps keep between them) come along; the stage, the stamps and the manifests start empty.
file(GLOB_RECURSE _files LIST_DIRECTORIES false RELATIVE "@BUILT@" "@BUILT@/*")
foreach(_f IN LISTS _files)
  if(NOT _f MATCHES "^(stage|stage\\.manifests|stamps)/" AND NOT _f MATCHES "(^|/)CMakeFiles/")
    get_filename_component(_d "${CONTENT}/${_f}" DIRECTORY)
    file(MAKE_DIRECTORY "${_d}")
    file(COPY_FILE "@BUILT@/${_f}" "${CONTENT}/${_f}")
  endif()
endforeach()
file(MAKE_DIRECTORY "${CONTENT}/stage")
macro(_cobble_replay step)
  set(_cmd ${ARGN})
  string(REPLACE "__COBBLE_CONTENT__" "${CONTENT}" _cmd "${_cmd}")
  string(REPLACE "__COBBLE_PAK__" "${PAK}" _cmd "${_cmd}")
  execute_process(COMMAND ${_cmd} RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "content step ${step} failed (${_rc}): ${_cmd}")
  endif()
endmacro()
]==])
  string(REPLACE "@BUILT@" "${COBBLE_CONTENT_DIR}" header "${header}")
  file(GENERATE OUTPUT ${COBBLE_CONTENT_DIR}/replay.cmake
       CONTENT "${header}${steps}_cobble_replay(pak ${pak_args})\n")
endfunction()

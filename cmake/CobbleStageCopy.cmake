# Copies one content step's text sources into the stage (see cobble_pak_files in
# CobbleContent.cmake). Run as a script:
#   cmake -DSTAGE=<stage folder> -DLIST=<pairs file> -DNAME=<step> -P CobbleStageCopy.cmake
# The pairs file holds "pak/path|source" lines. The files the step wrote last time are listed in
# <stage>.manifests/<step>.txt; they are removed first, so a dropped source leaves no stale member.
if(NOT STAGE OR NOT LIST OR NOT NAME)
  message(FATAL_ERROR "CobbleStageCopy: give -DSTAGE, -DLIST and -DNAME")
endif()
set(manifest "${STAGE}.manifests/${NAME}.txt")
if(EXISTS "${manifest}")
  file(STRINGS "${manifest}" previous)
  foreach(member IN LISTS previous)
    file(REMOVE "${STAGE}/${member}")
  endforeach()
endif()
file(STRINGS "${LIST}" pairs)
set(written "")
foreach(pair IN LISTS pairs)
  string(FIND "${pair}" "|" bar)
  string(SUBSTRING "${pair}" 0 ${bar} member)
  math(EXPR from "${bar} + 1")
  string(SUBSTRING "${pair}" ${from} -1 source)
  get_filename_component(folder "${STAGE}/${member}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${source}" "${STAGE}/${member}" ONLY_IF_DIFFERENT)
  string(APPEND written "${member}\n")
endforeach()
file(MAKE_DIRECTORY "${STAGE}.manifests")
file(WRITE "${manifest}" "${written}")

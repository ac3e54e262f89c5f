# Small helpers so every area, test, fuzz target and benchmark is declared the same way.

# add_subdirectory for each folder that exists yet, so the tree can grow area by area.
function(cobble_add_subdirectories)
  foreach(dir IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()

# cobble_library(<area> SOURCES ... [DEPS ...])
# One static library per area: include/ is its public face, src/ stays private.
function(cobble_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  # An area that has no sources yet still gives a target, so others can link to it.
  set(empty ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
  if(NOT EXISTS ${empty})
    file(WRITE ${empty} "// generated: keeps the library non-empty\n")
  endif()
  add_library(${name} STATIC ${A_SOURCES} ${empty})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                      PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

# cobble_test(<name> SOURCES ... [DEPS ...] [THREADED] [LABELS ...] [COST n])
# A GoogleTest executable whose cases CTest discovers. THREADED marks suites that also run
# under ThreadSanitizer. COST marks slow suites: a parallel run starts them first, so that a
# fresh build tree (no timings of an earlier run yet) does not end waiting on them alone.
function(cobble_test name)
  cmake_parse_arguments(A "THREADED" "COST" "SOURCES;DEPS;LABELS" ${ARGN})
  # In a ThreadSanitizer build the other suites still exist as targets (so their folders can
  # configure them further) but are neither built by default nor registered with CTest.
  set(skip OFF)
  if(COBBLE_ONLY_THREADED_TESTS AND NOT A_THREADED)
    set(skip ON)
  endif()
  if(skip)
    add_executable(${name} EXCLUDE_FROM_ALL ${A_SOURCES})
  else()
    add_executable(${name} ${A_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE COBBLE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             COBBLE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(skip)
    return()
  endif()
  set(labels ${A_LABELS})
  if(A_THREADED)
    list(APPEND labels threaded)
  endif()
  # No test writes into the user's own save folder: a test that saves and reads back points the
  # game at a scratch folder of its own; this only catches the saves nobody looks at.
  set(properties ENVIRONMENT "COBBLE_SAVE_DIR=${CMAKE_BINARY_DIR}/test-saves")
  if(A_COST)
    list(APPEND properties COST ${A_COST})
  endif()
  if(labels)
    # Escaped, so several labels stay one property value.
    string(REPLACE ";" "\\;" labels "${labels}")
    list(APPEND properties LABELS "${labels}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# cobble_fuzz(<name> SOURCES ... [DEPS ...])
# The seed corpus, if any, lives in fuzz/corpus/<name>/. With COBBLE_FUZZ the target links
# libFuzzer and lands in <build>/fuzz-bin for `make fuzz`; otherwise a plain driver replays the
# seeds (plus a few fixed inputs), so every test run proves the target builds and survives them.
function(cobble_fuzz name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(COBBLE_ONLY_THREADED_TESTS)
    add_executable(${name} EXCLUDE_FROM_ALL ${A_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    target_link_libraries(${name} PRIVATE ${A_DEPS})
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  if(COBBLE_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-bin)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    if(COBBLE_TESTS)
      add_test(NAME fuzz_replay.${name} COMMAND ${name} ${corpus})
    endif()
  endif()
endfunction()

# cobble_bench(<name> SOURCES ... [DEPS ...])
function(cobble_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE COBBLE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             COBBLE_BINARY_DIR="${CMAKE_BINARY_DIR}")
endfunction()

# cobble_check_layer_links(<area>...)
# The engine areas from the bottom layer up. Stops the configure when an area's library links the
# library of an area at its own level or above, or any other project library than the platform
# layer; the platform layer itself may link none. With every edge pointing down there is no cycle.
function(cobble_check_layer_links)
  set(layers ${ARGN})
  if(TARGET cobble_platform)
    get_target_property(libs cobble_platform LINK_LIBRARIES)
    foreach(lib IN LISTS libs)
      if(lib MATCHES "cobble_")
        message(FATAL_ERROR "layering: cobble_platform links ${lib}; the platform layer needs nothing of the engine")
      endif()
    endforeach()
  endif()
  list(LENGTH layers count)
  math(EXPR last "${count} - 1")
  foreach(level RANGE ${last})
    list(GET layers ${level} area)
    if(NOT TARGET cobble_${area})
      continue()
    endif()
    get_target_property(libs cobble_${area} LINK_LIBRARIES)
    foreach(lib IN LISTS libs)
      if(NOT lib MATCHES "cobble_([a-z_]+)")
        continue()
      endif()
      set(other ${CMAKE_MATCH_1})
      list(FIND layers ${other} otherLevel)
      if(other STREQUAL "platform" OR (otherLevel GREATER_EQUAL 0 AND otherLevel LESS level))
        continue()
      endif()
      message(FATAL_ERROR "layering: cobble_${area} links cobble_${other}, which is not below it "
                          "(order from the bottom: ${layers}); declare a host interface instead")
    endforeach()
  endforeach()
endfunction()

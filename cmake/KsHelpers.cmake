# Small helpers shared by the module CMakeLists files.

function(ks_add_subdirectory_if_present dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()

# Adds every direct subfolder of DIR that has a CMakeLists.txt, so modules can
# bring their own tests, fuzz targets and benchmarks without editing a shared
# list.
function(ks_add_all_subdirectories)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# ks_add_unit_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABEL integration] [TIMEOUT s]
#                  [LAUNCHER command...])
# The label and timeout go to the test discovery itself, because the test
# names exist only after the build. A Windows test program is one ctest test
# that runs under the emulator (wine64), so its prefix starts once; LAUNCHER
# (Windows only) runs first and is given the emulator and the program.
function(ks_add_unit_test name)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS;LAUNCHER" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ks_test_support GTest::gtest GTest::gmock
                                        GTest::gtest_main)
  if(WIN32)
    if(T_LAUNCHER)
      add_test(NAME ${name}
               COMMAND ${T_LAUNCHER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
    else()
      add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABEL};windows" TIMEOUT ${T_TIMEOUT}
                         ENVIRONMENT "KS_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
                                  ENVIRONMENT "KS_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# ks_add_fuzz_target(NAME SOURCES f.cpp LIBS lib1 [CORPUS dir])
# Registers two tests: a replay of the seed corpus and a short bounded fuzz run.
set(KS_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs in the test suite")
function(ks_add_fuzz_target name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT KS_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  if(NOT F_CORPUS)
    set(F_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  add_test(NAME ${name}.replay COMMAND $<TARGET_FILE:${name}> -runs=0 ${F_CORPUS})
  add_test(NAME ${name}.fuzz
           COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                   sh -c "mkdir -p '${work}' && exec \"$0\" -max_total_time=${KS_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 '${work}' '${F_CORPUS}'" $<TARGET_FILE:${name}>)
  set_tests_properties(${name}.replay ${name}.fuzz PROPERTIES LABELS fuzz)
endfunction()

# Helpers shared by every folder: one library per layer folder, tests, fuzzers and benchmarks.

set(ORBEX_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # g++ 12 reports false overlaps and bounds inside libstdc++'s own string and vector code
  # once it inlines deeply (-O3): -Wrestrict, -Warray-bounds and -Wstringop-* there say nothing about our
  # code. Real out-of-bounds accesses are caught by the sanitizer build and the fuzzers.
  list(APPEND ORBEX_WARNINGS -Wno-restrict -Wno-array-bounds -Wno-stringop-overread
                             -Wno-stringop-overflow)
endif()
if(ORBEX_WERROR)
  list(APPEND ORBEX_WARNINGS -Werror)
endif()
# Only the compilers get the warning flags; the resource compiler does not know them.
set(ORBEX_WARNINGS "$<$<COMPILE_LANGUAGE:C,CXX>:${ORBEX_WARNINGS}>")

set(ORBEX_SAN_FLAGS "")
if(ORBEX_SANITIZE AND NOT ORBEX_WINDOWS)
  set(ORBEX_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_compile_options(${ORBEX_SAN_FLAGS})
  add_link_options(${ORBEX_SAN_FLAGS})
endif()
# The threaded core (threads and their hand-over, the receive buffer) under ThreadSanitizer: a
# build of its own, since it cannot be combined with AddressSanitizer.
if(ORBEX_TSAN AND NOT ORBEX_WINDOWS)
  if(ORBEX_SANITIZE)
    message(FATAL_ERROR "ORBEX_TSAN and ORBEX_SANITIZE exclude each other")
  endif()
  set(ORBEX_SAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${ORBEX_SAN_FLAGS})
  add_link_options(${ORBEX_SAN_FLAGS})
endif()

if(ORBEX_WINDOWS)
  # Declarations up to Windows 7 (0x0601), so that the calls of later systems the program
  # looks up at run time are declared; the program itself calls the ANSI (*A) entry points.
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX WIN32_LEAN_AND_MEAN)
endif()

# orbex_library(<name> [PORTABLE <src>...] [WINDOWS <src>...] [DEPS <target>...])
# PORTABLE sources are window-free and build everywhere; WINDOWS sources only in the Windows
# build. A library with no source for the current build becomes an INTERFACE library.
function(orbex_library name)
  cmake_parse_arguments(A "" "" "PORTABLE;WINDOWS;DEPS;WINDOWS_DEPS" ${ARGN})
  set(srcs ${A_PORTABLE})
  set(deps ${A_DEPS})
  if(ORBEX_WINDOWS)
    list(APPEND srcs ${A_WINDOWS})
    list(APPEND deps ${A_WINDOWS_DEPS})
  endif()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_compile_options(${name} PRIVATE ${ORBEX_WARNINGS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${deps})
    if(NOT ORBEX_FAST_PIXELS)
      target_compile_definitions(${name} PUBLIC ORBEX_NO_FAST_PIXELS=1)
    endif()
    # The fuzzers steer by the coverage of the code they call: the libraries are instrumented
    # too (the fuzzer runtime itself is linked only into the fuzz targets).
    if(ORBEX_FUZZ AND NOT ORBEX_WINDOWS)
      target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${deps})
  endif()
endfunction()

# orbex_test(<name> SOURCES <src>... [DEPS <target>...] [WINDOWS_ONLY] [GUI] [TIMEOUT s])
# A GoogleTest executable registered as one ctest test. Portable tests run natively and,
# in the Windows build, under Wine as well. GUI tests share the one virtual display and run
# one at a time.
function(orbex_test name)
  cmake_parse_arguments(A "WINDOWS_ONLY;GUI" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  if(A_WINDOWS_ONLY AND NOT ORBEX_WINDOWS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${ORBEX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${A_DEPS} orbex_testmain)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(ORBEX_WINDOWS)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT})
  if(A_GUI)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display LABELS gui)
  endif()
endfunction()

# orbex_test_path(<var> <path>)
# A host path as the tests open it: in the Windows build they run under Wine, which maps the
# host's root to drive Z:.
function(orbex_test_path var path)
  if(ORBEX_WINDOWS)
    set(${var} "Z:${path}" PARENT_SCOPE)
  else()
    set(${var} "${path}" PARENT_SCOPE)
  endif()
endfunction()

# orbex_fixture_skins(<test> <script> <subdir> <define> <skin>...): the fixture skins <script>
# writes at build time into <subdir> of the current binary folder (a folder per skin), made
# before <test> builds and named to it by the macro <define> (the folder as the test reads it).
# Nothing where <test> is not built.
function(orbex_fixture_skins test script subdir define)
  if(NOT TARGET ${test})
    return()
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${subdir})
  set(outputs)
  foreach(skin ${ARGN})
    list(APPEND outputs ${out}/${skin}/Options.dat)
  endforeach()
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND python3 ${script} ${out}
    DEPENDS ${script} ${PROJECT_SOURCE_DIR}/tests/fixtures/skins/make_skins.py
    COMMENT "Writing the fixture skins of ${test}"
    VERBATIM)
  add_custom_target(${test}_skins DEPENDS ${outputs})
  orbex_test_path(path ${out})
  target_compile_definitions(${test} PRIVATE ${define}="${path}")
  add_dependencies(${test} ${test}_skins)
endfunction()

# orbex_fuzz(<name> SOURCES <src>... [DEPS <target>...])
# A libFuzzer target (clang, sanitizer build) plus a replay runner that builds everywhere.
function(orbex_fuzz name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(ORBEX_WINDOWS)
    return()
  endif()
  if(ORBEX_FUZZ)
    add_executable(${name} ${A_SOURCES})
    target_compile_options(${name} PRIVATE ${ORBEX_WARNINGS} -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${A_DEPS})
    set_property(GLOBAL APPEND PROPERTY ORBEX_FUZZ_TARGETS ${name})
  endif()
  add_executable(${name}_replay ${A_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_compile_options(${name}_replay PRIVATE ${ORBEX_WARNINGS})
  target_link_libraries(${name}_replay PRIVATE ${A_DEPS})
  # The replay runner feeds the seed corpus and every kept crasher through the target, so the
  # findings of earlier fuzz runs stay fixed in every build.
  if(EXISTS ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
endfunction()

# orbex_bench(<name> SOURCES <src>... [DEPS <target>...]): Google Benchmark natively; in the
# Windows build the same sources link the small timing harness of bench/harness (run them
# under Wine). Built only with ORBEX_BENCH; never part of the tests.
function(orbex_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ORBEX_BENCH)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${ORBEX_WARNINGS})
  if(ORBEX_WINDOWS)
    target_link_libraries(${name} PRIVATE ${A_DEPS} orbex_benchharness)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
  else()
    target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
  endif()
endfunction()

# orbex_layer(<name> [WINDOWS_ONLY] [DEPS <target>...] [WINDOWS_DEPS <target>...])
# The library of one layer folder: every *.cpp of the folder is window-free and builds
# everywhere; every *.cpp under its win/ subfolder uses the Windows API and builds only for
# Windows. A WINDOWS_ONLY layer (the framework's controls, the skinned controls and forms) has
# no window-free part, so its units sit in the folder itself. Files are found by glob, so
# adding a unit needs no edit here.
function(orbex_layer name)
  cmake_parse_arguments(A "WINDOWS_ONLY" "" "DEPS;WINDOWS_DEPS" ${ARGN})
  if(A_WINDOWS_ONLY)
    set(portable "")
    file(GLOB windows CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
                                        ${CMAKE_CURRENT_SOURCE_DIR}/*.rc)
  else()
    file(GLOB portable CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB windows CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp
                                        ${CMAKE_CURRENT_SOURCE_DIR}/win/*.rc)
  endif()
  orbex_library(${name} PORTABLE ${portable} WINDOWS ${windows}
                DEPS ${A_DEPS} WINDOWS_DEPS ${A_WINDOWS_DEPS})
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt, so that each layer's
# tests, fuzzers and benchmarks live in a folder of their own without editing a shared list.
function(orbex_add_subfolders)
  file(GLOB subs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(s ${subs})
    if(IS_DIRECTORY ${s} AND EXISTS ${s}/CMakeLists.txt)
      add_subdirectory(${s})
    endif()
  endforeach()
endfunction()

# orbex_use_main_form(<target> <rc file>)
# The target's resource script includes the main form as the build writes it
# ("generated/TMainForm.txt" in the build tree, with the stored skins' packed data; see
# resources/CMakeLists.txt): rebuild the script when that form changes.
function(orbex_use_main_form target rc)
  add_dependencies(${target} orbex_main_form)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR})
  get_source_file_property(deps ${rc} OBJECT_DEPENDS)
  if(NOT deps)
    set(deps)
  endif()
  list(APPEND deps ${CMAKE_BINARY_DIR}/generated/TMainForm.txt)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${deps}")
endfunction()

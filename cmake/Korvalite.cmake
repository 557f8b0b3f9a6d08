# Build helpers shared by every folder of the project.
#
#   korvalite_library(NAME SOURCES ... [LINK ...] [WINDOWS_ONLY])
#       A static library of ours. In the native tree with benchmarks on, a second copy
#       NAME_fast is built without sanitizers for the benchmarks (LINK entries that are
#       our own libraries are mapped to their _fast copies).
#   korvalite_native_test(NAME SOURCES ... [LINK ...])
#       A GoogleTest program of the native tree, under ASan and UBSan.
#   korvalite_windows_test(NAME SOURCES ... [LINK ...])
#       A GoogleTest program of the win64 tree, run under Wine by CTest.
#   korvalite_sources(OUT TARGET ...)
#       The source files of our libraries, as absolute paths, for a program that compiles them
#       again with options of its own (a ThreadSanitizer build).
#   korvalite_static_runtime(TARGET)
#       Links libgcc, libstdc++ and winpthread statically into a Windows binary so it
#       imports only Windows system DLLs.

include(GoogleTest)

add_library(korvalite_flags INTERFACE)
# Model arithmetic must follow the written single-precision order: no contraction into
# fused multiply-adds, no fast-math.
target_compile_options(korvalite_flags INTERFACE -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)
target_include_directories(korvalite_flags INTERFACE ${CMAKE_SOURCE_DIR})
if(WIN32)
  target_compile_definitions(korvalite_flags INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                       _WIN32_WINNT=0x0601)
endif()

add_library(korvalite_sanitize INTERFACE)
if(KORVALITE_SANITIZE)
  target_compile_options(korvalite_sanitize INTERFACE -fsanitize=address,undefined
                                                      -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(korvalite_sanitize INTERFACE -fsanitize=address,undefined)
endif()

set_property(GLOBAL PROPERTY KORVALITE_LIBRARIES "")

function(_korvalite_fast_links out)
  get_property(ours GLOBAL PROPERTY KORVALITE_LIBRARIES)
  set(result "")
  foreach(l IN LISTS ARGN)
    if(l IN_LIST ours)
      list(APPEND result ${l}_fast)
    else()
      list(APPEND result ${l})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(korvalite_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  # Our libraries also go into the native plug-in, a shared object.
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${name} PUBLIC korvalite_flags korvalite_sanitize ${A_LINK})
  set_property(GLOBAL APPEND PROPERTY KORVALITE_LIBRARIES ${name})
  if(KORVALITE_NATIVE AND KORVALITE_BENCH)
    _korvalite_fast_links(fast_links ${A_LINK})
    add_library(${name}_fast STATIC EXCLUDE_FROM_ALL ${A_SOURCES})
    target_compile_options(${name}_fast PRIVATE -O2)
    target_link_libraries(${name}_fast PUBLIC korvalite_flags ${fast_links})
  endif()
endfunction()

function(korvalite_sources out)
  set(result "")
  foreach(target IN LISTS ARGN)
    get_target_property(sources ${target} SOURCES)
    get_target_property(folder ${target} SOURCE_DIR)
    foreach(s IN LISTS sources)
      cmake_path(ABSOLUTE_PATH s BASE_DIRECTORY ${folder})
      list(APPEND result ${s})
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(korvalite_static_runtime target)
  if(WIN32)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

if(KORVALITE_LINUX_RELEASE)
  # The release tree has no GoogleTest programs.
elseif(KORVALITE_NATIVE)
  find_package(GTest REQUIRED)
else()
  find_package(GTest CONFIG REQUIRED)
endif()

function(korvalite_native_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LINK" ${ARGN})
  if(NOT KORVALITE_NATIVE)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE korvalite_flags korvalite_sanitize ${A_LINK} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
endfunction()

function(korvalite_windows_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LINK" ${ARGN})
  if(KORVALITE_NATIVE)
    return()
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE korvalite_flags ${A_LINK} GTest::gtest GTest::gtest_main)
  korvalite_static_runtime(${name})
  # One CTest entry per program: discovering test names would start Wine once more per program.
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS windows TIMEOUT ${A_TIMEOUT})
endfunction()

# A Google Benchmark program of the native tree, built from the _fast (unsanitized) libraries.
function(korvalite_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;LINK" ${ARGN})
  _korvalite_fast_links(fast_links ${A_LINK})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE -O2)
  target_link_libraries(${name} PRIVATE korvalite_flags ${fast_links} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  add_dependencies(benchmarks ${name})
endfunction()

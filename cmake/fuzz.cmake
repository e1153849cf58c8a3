# The fuzz targets (fuzz/) are a project of their own, built with clang for libFuzzer
# and the sanitizers while the rest of the host build uses the default compiler. When
# clang is installed, the main build builds them and the test run runs each target
# over its checked-in corpus (fuzz/corpus/<name>/), which takes seconds; a timed
# campaign is scripts/fuzz.sh.
find_program(KESTRO_CLANGXX NAMES clang++ clang++-14)
if(NOT KESTRO_CLANGXX)
  message(STATUS "clang++ not found: the fuzz targets are left out (scripts/setup.sh installs clang)")
  return()
endif()

set(KESTRO_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(fuzz
  SOURCE_DIR ${KESTRO_ROOT}/fuzz
  BINARY_DIR ${KESTRO_FUZZ_DIR}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${KESTRO_CLANGXX}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

file(GLOB _kestro_fuzz_sources CONFIGURE_DEPENDS ${KESTRO_ROOT}/fuzz/*_fuzz.cpp)
foreach(_source IN LISTS _kestro_fuzz_sources)
  get_filename_component(_target ${_source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" _name ${_target})
  # -runs=0: run every corpus input once and generate none; a crash or a failed check
  # leaves its input in the fuzz build directory.
  add_test(NAME fuzz.${_name}
           COMMAND ${KESTRO_FUZZ_DIR}/${_target} -runs=0 ${KESTRO_ROOT}/fuzz/corpus/${_name}
           WORKING_DIRECTORY ${KESTRO_FUZZ_DIR})
endforeach()

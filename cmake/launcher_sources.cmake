# The launcher's sources, sorted by convention: files ending in _win32.cpp call the
# Windows API; every other file is portable and is also compiled natively for the unit
# tests. The entry point and the freestanding runtime support belong to the
# executable only.
get_filename_component(KESTRO_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(KESTRO_LAUNCHER_DIR "${KESTRO_ROOT}/launcher")

file(GLOB _kestro_all CONFIGURE_DEPENDS "${KESTRO_LAUNCHER_DIR}/*/*.cpp")
set(KESTRO_LAUNCHER_ENTRY_SOURCES
    "${KESTRO_LAUNCHER_DIR}/startup/entry_win32.cpp"
    "${KESTRO_LAUNCHER_DIR}/common/freestanding_runtime.cpp")
set(KESTRO_LAUNCHER_PORTABLE_SOURCES)
set(KESTRO_LAUNCHER_WIN32_SOURCES)
foreach(_file IN LISTS _kestro_all)
  if(_file IN_LIST KESTRO_LAUNCHER_ENTRY_SOURCES)
    continue()
  elseif(_file MATCHES "_win32\\.cpp$")
    list(APPEND KESTRO_LAUNCHER_WIN32_SOURCES "${_file}")
  else()
    list(APPEND KESTRO_LAUNCHER_PORTABLE_SOURCES "${_file}")
  endif()
endforeach()

# The shared portable library (format/): the block format, PE reading and writing, and
# the rules the launcher and the build tool must apply alike (version order, integer
# reading). The launcher compiles only what it reads with; the tool, everything, with
# the file access of the system it is built for.
set(KESTRO_FORMAT_LAUNCHER_SOURCES "${KESTRO_ROOT}/format/block_reader.cpp" "${KESTRO_ROOT}/format/version_order.cpp"
    "${KESTRO_ROOT}/format/decimal_number.cpp")
set(KESTRO_FORMAT_SOURCES ${KESTRO_FORMAT_LAUNCHER_SOURCES} "${KESTRO_ROOT}/format/block_writer.cpp"
    "${KESTRO_ROOT}/format/pe_checksum.cpp" "${KESTRO_ROOT}/format/pe_layout.cpp"
    "${KESTRO_ROOT}/format/resource_section.cpp")
if(WIN32)
  list(APPEND KESTRO_FORMAT_SOURCES "${KESTRO_ROOT}/format/native_file_windows.cpp")
else()
  list(APPEND KESTRO_FORMAT_SOURCES "${KESTRO_ROOT}/format/native_file_posix.cpp")
endif()
set(KESTRO_INCLUDE_DIRS "${KESTRO_ROOT}" "${KESTRO_LAUNCHER_DIR}")

# The published JNI headers of the host's JDK (Debian's OpenJDK), with our own
# machine-dependent half for 64-bit Windows in front of them. Nothing else of a JDK is
# compiled in.
file(GLOB _kestro_jni_headers "/usr/lib/jvm/java-*-openjdk-*/include/jni.h")
if(NOT _kestro_jni_headers)
  message(FATAL_ERROR "jni.h not found: install openjdk-17-jdk-headless (scripts/setup.sh)")
endif()
list(GET _kestro_jni_headers 0 _kestro_jni_header)
get_filename_component(_kestro_jni_dir "${_kestro_jni_header}" DIRECTORY)
set(KESTRO_JNI_INCLUDE_DIRS "${KESTRO_LAUNCHER_DIR}/vm/jni" "${_kestro_jni_dir}")
# That JDK's home: the tests compile their Java fixtures with it and run them in it.
get_filename_component(KESTRO_HOST_JDK "${_kestro_jni_dir}" DIRECTORY)

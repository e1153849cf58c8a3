# Avian, a small Java VM with the JNI invocation API, cross-built from a source snapshot
# into a Windows jvm.dll: the test bench's real in-process VM. A test fixture only,
# never shipped. It is built once in build/avian/, and again only when the snapshot (or
# the recipe) changes, with the Java code that runs on it compiled against its class
# library. Without a snapshot none of it is built and the tests that need it skip.
#
# The snapshot: the cache variable KESTRO_AVIAN_SNAPSHOT when set, else the environment
# variable of that name, else third_party/avian/ of this tree.
set(KESTRO_AVIAN_SNAPSHOT "" CACHE FILEPATH
    "Avian source snapshot (.tar.gz) for the real-VM tests; empty: $ENV{KESTRO_AVIAN_SNAPSHOT} or third_party/avian")
if(KESTRO_AVIAN_SNAPSHOT)
  set(_kestro_avian_snapshot ${KESTRO_AVIAN_SNAPSHOT})
elseif(DEFINED ENV{KESTRO_AVIAN_SNAPSHOT})
  set(_kestro_avian_snapshot $ENV{KESTRO_AVIAN_SNAPSHOT})
else()
  set(_kestro_avian_snapshot ${KESTRO_ROOT}/third_party/avian/avian-0871979b.tar.gz)
endif()

# Read by the tests: the directory of the built VM, or empty with the reason why not.
set(KESTRO_AVIAN_DIR "")
set(KESTRO_AVIAN_UNAVAILABLE "")
set(_kestro_mingw_root /usr/x86_64-w64-mingw32)
if(NOT EXISTS ${_kestro_avian_snapshot})
  set(KESTRO_AVIAN_UNAVAILABLE "no Avian snapshot at ${_kestro_avian_snapshot} (KESTRO_AVIAN_SNAPSHOT names one)")
elseif(NOT EXISTS ${_kestro_mingw_root}/lib/libz.a)
  set(KESTRO_AVIAN_UNAVAILABLE "no mingw zlib for Avian (${_kestro_mingw_root}/lib/libz.a): run scripts/setup.sh")
endif()
if(KESTRO_AVIAN_UNAVAILABLE)
  message(STATUS "Real-VM tests skip: ${KESTRO_AVIAN_UNAVAILABLE}")
  return()
endif()
message(STATUS "Real-VM tests use Avian from ${_kestro_avian_snapshot}")

set(KESTRO_AVIAN_DIR ${CMAKE_BINARY_DIR}/avian)
set(_avian ${KESTRO_AVIAN_DIR})
set(_avian_classpath ${_avian}/classpath.jar)
# The snapshot's content, not its time stamp, decides: a checkout that only touches it
# rewrites the same digest, which then keeps its time and the VM stays built.
add_custom_command(OUTPUT ${_avian}/snapshot.sha256
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_avian}
  COMMAND ${CMAKE_COMMAND} -E sha256sum ${_kestro_avian_snapshot} > ${_avian}/snapshot.sha256.new
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_avian}/snapshot.sha256.new ${_avian}/snapshot.sha256
  DEPENDS ${_kestro_avian_snapshot}
  VERBATIM)
add_custom_command(OUTPUT ${_avian}/jvm.dll ${_avian_classpath}
  COMMAND ${KESTRO_ROOT}/cmake/build_avian.sh ${_kestro_avian_snapshot} ${KESTRO_LAUNCHER_DIR}/vm/jni/jni_md.h
          ${_kestro_mingw_root} ${KESTRO_HOST_JDK} ${_avian}
  DEPENDS ${_avian}/snapshot.sha256 ${KESTRO_ROOT}/cmake/build_avian.sh ${KESTRO_LAUNCHER_DIR}/vm/jni/jni_md.h
  COMMENT "Building Avian's jvm.dll (interpreter) from ${_kestro_avian_snapshot}"
  VERBATIM)

# Java 8 class files checked against Avian's class library, so that using anything it
# lacks fails the build instead of a test run. Not linted: javac's note that source 8 is
# old (options), and raw uses of Avian's Method, which is generic there (rawtypes).
set(_avian_javac ${KESTRO_HOST_JDK}/bin/javac -source 8 -target 8 -bootclasspath ${_avian_classpath}
    -encoding UTF-8 -Xlint:all,-options,-rawtypes -Werror)

# The runtime library, compiled once more against Avian's classes: what it uses must exist
# there too. The jars themselves stay compiled by java/ for every Java 8 runtime.
file(GLOB_RECURSE _avian_runtime_sources CONFIGURE_DEPENDS ${KESTRO_ROOT}/java/src/*.java)
add_custom_command(OUTPUT ${_avian}/runtime_library_checked
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_avian}/runtime_library_classes
  COMMAND ${_avian_javac} -d ${_avian}/runtime_library_classes ${_avian_runtime_sources}
  COMMAND ${CMAKE_COMMAND} -E touch ${_avian}/runtime_library_checked
  DEPENDS ${_avian_runtime_sources} ${_avian_classpath}
  COMMENT "Checking the Java runtime library against Avian's class library"
  VERBATIM)

# jar NAME: the sources (absolute) compiled against Avian's classes and the class path
# `cp` (may be empty), into build/avian/NAME.jar.
function(kestro_avian_jar name cp)
  set(classes ${_avian}/${name}_classes)
  set(cp_option)
  if(cp)
    set(cp_option -cp ${cp})
  endif()
  add_custom_command(OUTPUT ${_avian}/${name}.jar
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${classes}
    COMMAND ${_avian_javac} ${cp_option} -d ${classes} ${ARGN}
    COMMAND ${KESTRO_HOST_JDK}/bin/jar --create --file ${_avian}/${name}.jar -C ${classes} .
    DEPENDS ${ARGN} ${cp} ${_avian_classpath}
    VERBATIM)
endfunction()

# The example application of examples/hello, and the test bench's application for the
# real VM (it uses InstanceHandover of the runtime library).
set(_hello ${KESTRO_ROOT}/examples/hello)
file(GLOB _avian_greeting_sources CONFIGURE_DEPENDS ${_hello}/greeting/src/com/example/greeting/*.java)
file(GLOB _avian_hello_sources CONFIGURE_DEPENDS ${_hello}/src/com/example/hello/*.java)
kestro_avian_jar(greeting "" ${_avian_greeting_sources})
kestro_avian_jar(hello ${_avian}/greeting.jar ${_avian_hello_sources})
kestro_avian_jar(real_vm_app ${CMAKE_BINARY_DIR}/tool/kestro-runtime.jar
                 ${KESTRO_ROOT}/tests/fixtures/java/com/kestro/testing/RealVmApp.java)

add_custom_target(avian ALL DEPENDS ${_avian}/jvm.dll ${_avian}/runtime_library_checked ${_avian}/greeting.jar
                                    ${_avian}/hello.jar ${_avian}/real_vm_app.jar)
add_dependencies(avian kestro_runtime_jar)

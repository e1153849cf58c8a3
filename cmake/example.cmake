# The example application of examples/hello, compiled by the host's JDK for Java 8:
# hello.jar (its manifest, manifest.txt, names the main class and the class path for
# kestro init), which its configuration includes, and lib/greeting.jar, which lies beside
# the launcher (build/examples/hello/). ./scripts/example.sh and the tests of kestro run
# build hello.exe from them.
set(_example_src ${CMAKE_SOURCE_DIR}/examples/hello)
set(_example_out ${CMAKE_BINARY_DIR}/examples/hello)
file(GLOB_RECURSE _greeting_sources CONFIGURE_DEPENDS ${_example_src}/greeting/src/*.java)
file(GLOB_RECURSE _hello_sources CONFIGURE_DEPENDS ${_example_src}/src/*.java)
add_custom_command(OUTPUT ${_example_out}/lib/greeting.jar ${_example_out}/hello.jar
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_example_out}/classes
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_example_out}/lib
  COMMAND ${KESTRO_HOST_JDK}/bin/javac --release 8 -encoding UTF-8 -d ${_example_out}/classes/greeting ${_greeting_sources}
  COMMAND ${KESTRO_HOST_JDK}/bin/jar --create --file ${_example_out}/lib/greeting.jar -C ${_example_out}/classes/greeting .
  COMMAND ${KESTRO_HOST_JDK}/bin/javac --release 8 -encoding UTF-8 -cp ${_example_out}/lib/greeting.jar
          -d ${_example_out}/classes/hello ${_hello_sources}
  COMMAND ${KESTRO_HOST_JDK}/bin/jar --create --file ${_example_out}/hello.jar --manifest ${_example_src}/manifest.txt
          -C ${_example_out}/classes/hello .
  DEPENDS ${_greeting_sources} ${_hello_sources} ${_example_src}/manifest.txt VERBATIM)
add_custom_target(example_jars DEPENDS ${_example_out}/lib/greeting.jar ${_example_out}/hello.jar)
add_custom_target(example DEPENDS kestro example_jars)

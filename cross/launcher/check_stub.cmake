# After the stub is linked: prints its stripped size and fails the build when the stub
# outgrows its budget or when the link brought in the C++ exception runtime or the
# threads library. Either comes in silently through one library function that the
# freestanding runtime does not replace, and costs tens of kilobytes in every launcher.
#
# -DFILE=stub -DMAP=the linker's map file -DBUDGET=bytes -DOBJDUMP=objdump for PE files
get_filename_component(name "${FILE}" NAME)
file(SIZE "${FILE}" size)
message(STATUS "${name}: ${size} bytes (stripped), budget ${BUDGET}")
if(size GREATER BUDGET)
  message(FATAL_ERROR "${name} is ${size} bytes, over its budget of ${BUDGET} bytes (KESTRO_STUB_BUDGET, "
                      "cross/launcher/CMakeLists.txt); the map file ${MAP} shows what the link brought in")
endif()

# The map's memory map lists every symbol the link kept (the part before it lists
# archive members whose sections may all have been dropped again).
file(READ "${MAP}" map)
string(FIND "${map}" "Linker script and memory map" start)
if(start LESS 0)
  message(FATAL_ERROR "${MAP}: no memory map in the linker's map file")
endif()
string(SUBSTRING "${map}" ${start} -1 map)
string(REGEX REPLACE "\nLOAD [^\n]*" "" map "${map}")  # the libraries searched, used or not
# mingw's own printf (mingw_pformat, with its floating-point conversion) comes with any
# snprintf of the C++ library; the stub formats with the Microsoft C runtime's alone.
set(forbidden "__cxa_[a-z_]+|_Unwind_[A-Za-z_]+|__gxx_personality[a-z0-9_]*|__emutls[a-z_]*|_ZN[0-9A-Za-z_]*emergency_pool[0-9A-Za-z_]*|pthread_[a-z_]+|libwinpthread[^ \n]*|libgcc_eh[^ \n]*|__mingw_pformat")
string(REGEX MATCHALL "[ (/](${forbidden})" found "${map}")
list(TRANSFORM found REPLACE "^[ (/]" "")
list(REMOVE_DUPLICATES found)

# Imports: the C++ runtime and the threads library are linked statically, never loaded.
execute_process(COMMAND "${OBJDUMP}" -p "${FILE}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${FILE} failed")
endif()
string(REGEX MATCHALL "DLL Name: (libwinpthread|libgcc_s|libstdc)[^\n]*" imports "${headers}")
list(APPEND found ${imports})

if(found)
  list(SUBLIST found 0 12 shown)
  list(JOIN shown ", " shown)
  message(FATAL_ERROR "${name} contains the C++ exception runtime, the threads library or a second printf (${shown}); "
                      "the map file ${MAP} names the object that needed it. Define the missing form in "
                      "launcher/common/freestanding_runtime.cpp or avoid the library call.")
endif()

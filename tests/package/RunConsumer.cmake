# Installs the built library into a fresh prefix, then builds and runs a
# consumer against it twice: through the CMake package and through pkg-config.
# Variables: BUILD_DIR (the library's build tree), SOURCE_DIR (this folder),
# WORK_DIR (scratch space).
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

# CMake package.
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/cmake-build" -G Ninja
    "-DCMAKE_PREFIX_PATH=${prefix}")
run(${CMAKE_COMMAND} --build "${WORK_DIR}/cmake-build")
run("${WORK_DIR}/cmake-build/consumer")
if(NOT last_output MATCHES "consumer ok")
  message(FATAL_ERROR "Unexpected output of the CMake consumer:\n${last_output}")
endif()

# pkg-config.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs mintu_utilities
  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pkg-config does not know mintu_utilities")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(c++ "${SOURCE_DIR}/consumer.cpp" -o "${WORK_DIR}/consumer-pc" ${flags}
    "-Wl,-rpath,${prefix}/lib")
run("${WORK_DIR}/consumer-pc")
if(NOT last_output MATCHES "consumer ok")
  message(FATAL_ERROR "Unexpected output of the pkg-config consumer:\n${last_output}")
endif()

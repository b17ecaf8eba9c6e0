# Installs the library into a fresh prefix and uses it from outside: README's C++ blocks through
# the CMake package (CMakeLists.txt here), C++20 through pkg-config, the installed mintu.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE result
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B build -G Ninja "-DCMAKE_PREFIX_PATH=${prefix}"
    "-DREADME=${README}")
run(${CMAKE_COMMAND} --build build)
run("${WORK_DIR}/build/readme-0")  # there is a block at all

# The package must not force its own C++ standard; no rpath: found through LD_LIBRARY_PATH.
set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
run(pkg-config --cflags --libs mintu_utilities)
separate_arguments(flags UNIX_COMMAND "${last_output}")
file(WRITE "${WORK_DIR}/cxx20.cpp" "#include \"mintu/mintu.h\"\nstatic_assert(__cplusplus >= 202002L);\n"
  "int main() { return Mintu::Version(\"1.0\") < Mintu::Version(\"2.0\") ? 0 : 1; }\n")
run(c++ -std=c++20 cxx20.cpp -o cxx20 ${flags})
run(${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${prefix}/lib" "${WORK_DIR}/cxx20")

# The installed mintu finds the sample installation under its own prefix.
set(sample "${prefix}/share/mintu/sample-install/root1/installed-only.txt")
if(EXISTS "${prefix}/bin/mintu")
  file(WRITE "${sample}" "")
  run(${CMAKE_COMMAND} -E env --unset=ORVANE "${prefix}/bin/mintu" find installed-only.txt)
  if(NOT last_output STREQUAL "${sample}\n")
    message(FATAL_ERROR "Installed mintu: ${last_output}")
  endif()
endif()

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
    "-DCMAKE_CXX_COMPILER=${CXX}" "-DREADME=${README}")
run(${CMAKE_COMMAND} --build build)
run("${WORK_DIR}/build/readme-0")  # there is a block at all
# The tour's component, written where the blocks ran, is valid against the SPIRIT 1.4 schema.
if(SCHEMA)
  run(xmllint --noout --schema "${SCHEMA}/index.xsd" "${WORK_DIR}/build/fifo.xml")
endif()

# The package must not force its own C++ standard; no rpath: found through LD_LIBRARY_PATH.
# Its library folder is a plain one, as it lands in programs' run-time paths.
set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
run(pkg-config --libs-only-L mintu_utilities)
if(NOT last_output MATCHES "^-L${prefix}/lib *\n$")
  message(FATAL_ERROR "pkg-config library folder: ${last_output}")
endif()
run(pkg-config --cflags --libs mintu_utilities)
separate_arguments(flags UNIX_COMMAND "${last_output}")
file(WRITE "${WORK_DIR}/cxx20.cpp" "#include \"mintu/mintu.h\"\nstatic_assert(__cplusplus >= 202002L);\n"
  "int main() { return Mintu::Version(\"1.0\") < Mintu::Version(\"2.0\") ? 0 : 1; }\n")
run(${CXX} -std=c++20 cxx20.cpp -o cxx20 ${flags})
run(${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${prefix}/lib" "${WORK_DIR}/cxx20")

# Every installed header compiles in a translation unit of its own, in C++17 and C++20, with
# the compiler of this build (the suite runs with GCC and with clang).
file(GLOB headers RELATIVE "${prefix}/include" "${prefix}/include/mintu/*.h" "${prefix}/include/port/*.h")
foreach(header IN LISTS headers)
  file(WRITE "${WORK_DIR}/header.cpp" "#include \"${header}\"\n")
  foreach(standard 17 20)
    run(${CXX} -std=c++${standard} -fsyntax-only -Wall -Wextra -Werror "-I${prefix}/include"
        header.cpp)
  endforeach()
endforeach()

# The installed mintu finds the sample installation under its own prefix.
set(sample "${prefix}/share/mintu/sample-install/root1/installed-only.txt")
if(EXISTS "${prefix}/bin/mintu")
  file(WRITE "${sample}" "")
  run(${CMAKE_COMMAND} -E env --unset=ORVANE "${prefix}/bin/mintu" find installed-only.txt)
  if(NOT last_output STREQUAL "${sample}\n")
    message(FATAL_ERROR "Installed mintu: ${last_output}")
  endif()
endif()

# Built inside a user's own tree (FetchContent, add_subdirectory): once, with the first compiler.
if(SUBPROJECT)
  run(${CMAKE_COMMAND} -S "${SOURCE_DIR}/subproject" -B subproject -G Ninja
      "-DCMAKE_CXX_COMPILER=${CXX}" "-DMINTU_SOURCE_DIR=${MINTU_SOURCE_DIR}")
  run(${CMAKE_COMMAND} --build subproject --target user)
  run("${WORK_DIR}/subproject/user")
endif()

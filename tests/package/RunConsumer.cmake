# Installs the built library into a fresh prefix, then builds every C++ block
# of README.md against it through the CMake package and runs it; builds a
# program through pkg-config; runs the installed mintu. Variables: BUILD_DIR
# (the library's build tree), SOURCE_DIR (this folder), WORK_DIR (scratch
# space), README (the README.md to check).
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE result
    OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

# A block without main() is wrapped into one; its #include lines stay in front.
file(READ "${README}" readme)
set(count 0)
while(readme MATCHES "```cpp\n")
  string(FIND "${readme}" "```cpp\n" start)
  math(EXPR start "${start} + 7")
  string(SUBSTRING "${readme}" ${start} -1 readme)
  string(FIND "${readme}" "```" end)
  string(SUBSTRING "${readme}" 0 ${end} block)
  string(SUBSTRING "${readme}" ${end} -1 readme)
  math(EXPR count "${count} + 1")
  if(NOT block MATCHES "int main\\(")
    string(REGEX MATCHALL "#include[^\n]*\n" includes "${block}")
    string(REGEX REPLACE "#include[^\n]*\n" "" body "${block}")
    string(REPLACE ";" "" includes "${includes}")
    set(block "${includes}int main() {\n${body}return 0;\n}\n")
  endif()
  file(WRITE "${WORK_DIR}/blocks/readme-${count}.cpp" "${block}")
endwhile()
if(count EQUAL 0)
  message(FATAL_ERROR "No C++ block found in ${README}")
endif()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/cmake-build" -G Ninja
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DBLOCKS=${WORK_DIR}/blocks")
run(${CMAKE_COMMAND} --build "${WORK_DIR}/cmake-build")
foreach(i RANGE 1 ${count})
  run("${WORK_DIR}/cmake-build/readme-${i}")
endforeach()

# pkg-config, for a consumer that chooses C++20: the package must not force its
# own standard. Without an rpath the loader finds the libraries through LD_LIBRARY_PATH.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
run(${PKG_CONFIG} --cflags --libs mintu_utilities)
separate_arguments(flags UNIX_COMMAND "${last_output}")
file(WRITE "${WORK_DIR}/cxx20.cpp" "#include \"mintu/mintu.h\"\n"
  "static_assert(__cplusplus >= 202002L, \"the consumer's -std=c++20 was overridden\");\n"
  "int main() { return Mintu::Version(\"1.0\") < Mintu::Version(\"2.0\") ? 0 : 1; }\n")
run(c++ -std=c++20 "${WORK_DIR}/cxx20.cpp" -o "${WORK_DIR}/cxx20" ${flags})
run(${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${prefix}/lib" "${WORK_DIR}/cxx20")

# The installed mintu finds the sample installation under its own prefix,
# run from elsewhere, whatever became of the build tree it came from.
if(EXISTS "${prefix}/bin/mintu")
  set(sample "${prefix}/share/mintu/sample-install")
  file(WRITE "${sample}/root1/installed-only.txt" "")
  foreach(command "find;installed-only.txt" "java")
    run(${CMAKE_COMMAND} -E env --unset=ORVANE "${prefix}/bin/mintu" ${command})
    string(FIND "${last_output}" "${sample}/" at)
    if(NOT at EQUAL 0)
      message(FATAL_ERROR "Installed mintu ${command}: ${last_output}")
    endif()
  endforeach()
endif()

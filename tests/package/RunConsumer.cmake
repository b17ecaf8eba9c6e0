# Installs the built library into a fresh prefix, then builds and runs a
# consumer against it twice: through the CMake package and through pkg-config.
# Then builds every C++ block of README.md the same way, and runs the installed
# mintu. Variables: BUILD_DIR (the library's build tree), SOURCE_DIR (this
# folder), WORK_DIR (scratch space), README (the README.md to check).
cmake_minimum_required(VERSION 3.25)
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

# A consumer that chooses C++20: the package must not force its own standard.
file(WRITE "${WORK_DIR}/cxx20.cpp" "#include \"mintu/mintu.h\"\n"
  "static_assert(__cplusplus >= 202002L, \"the consumer's -std=c++20 was overridden\");\n"
  "int main() { return Mintu::Version(\"1.0\") < Mintu::Version(\"2.0\") ? 0 : 1; }\n")
separate_arguments(pc_flags UNIX_COMMAND "${flags}")
run(c++ -std=c++20 "${WORK_DIR}/cxx20.cpp" -o "${WORK_DIR}/cxx20" ${pc_flags})
# Without an rpath the loader finds the libraries through LD_LIBRARY_PATH.
run(${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${prefix}/lib" "${WORK_DIR}/cxx20")

# Every C++ block of the README builds and runs against the package. A block
# without main() is wrapped into one; its #include lines stay in front.
file(READ "${README}" readme)
set(count 0)
while(TRUE)
  string(FIND "${readme}" "```cpp\n" start)
  if(start EQUAL -1)
    break()
  endif()
  math(EXPR start "${start} + 7")
  string(SUBSTRING "${readme}" ${start} -1 readme)
  string(FIND "${readme}" "```" end)
  string(SUBSTRING "${readme}" 0 ${end} block)
  string(SUBSTRING "${readme}" ${end} -1 readme)
  math(EXPR count "${count} + 1")
  string(FIND "${block}" "int main(" has_main)
  if(has_main EQUAL -1)
    string(REGEX MATCHALL "#include[^\n]*\n" includes "${block}")
    string(REGEX REPLACE "#include[^\n]*\n" "" body "${block}")
    string(REPLACE ";" "" includes "${includes}")
    set(block "${includes}int main() {\n${body}return 0;\n}\n")
  endif()
  file(WRITE "${WORK_DIR}/readme-${count}.cpp" "${block}")
  run(c++ -std=c++17 "${WORK_DIR}/readme-${count}.cpp" -o "${WORK_DIR}/readme-${count}"
      ${pc_flags} "-Wl,-rpath,${prefix}/lib")
  execute_process(COMMAND "${WORK_DIR}/readme-${count}" WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "README C++ block ${count} exits with ${result}")
  endif()
endwhile()
if(count EQUAL 0)
  message(FATAL_ERROR "No C++ block found in ${README}")
endif()

# The installed mintu finds the sample installation under its own prefix,
# run from elsewhere, whatever became of the build tree it came from.
if(EXISTS "${prefix}/bin/mintu")
  set(sample "${prefix}/share/mintu/sample-install")
  file(WRITE "${sample}/root1/installed-only.txt" "")
  foreach(command "find;installed-only.txt" "java")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=ORVANE "${prefix}/bin/mintu" ${command}
      WORKING_DIRECTORY "${WORK_DIR}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(FIND "${out}" "${sample}/" at)
    if(NOT result EQUAL 0 OR NOT at EQUAL 0)
      message(FATAL_ERROR "Installed mintu ${command} (${result}): ${out}${err}")
    endif()
  endforeach()
endif()

# Warnings and sanitizers live in INTERFACE targets that our own targets link
# PRIVATE, so consumers of the installed package never inherit them.
add_library(mintu_warnings INTERFACE)
if(MSVC)
  target_compile_options(mintu_warnings INTERFACE /W4)
  if(MINTU_WERROR)
    target_compile_options(mintu_warnings INTERFACE /WX)
  endif()
else()
  target_compile_options(mintu_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wformat=2)
  if(MINTU_WERROR)
    target_compile_options(mintu_warnings INTERFACE -Werror)
  endif()
endif()

add_library(mintu_sanitizers INTERFACE)
if(MINTU_SANITIZE)
  target_compile_options(mintu_sanitizers INTERFACE -fsanitize=address,undefined
                                                    -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(mintu_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
if(MINTU_TSAN)
  target_compile_options(mintu_sanitizers INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(mintu_sanitizers INTERFACE -fsanitize=thread)
endif()

# The two libraries also refuse implicit conversions that may change a value
# (sizes to int, signed to unsigned): their inputs come from outside.
add_library(mintu_library_warnings INTERFACE)
if(NOT MSVC)
  target_compile_options(mintu_library_warnings INTERFACE -Wconversion -Wsign-conversion)
endif()

# Applies both to one of our own targets.
function(mintu_target_defaults target)
  target_link_libraries(${target} PRIVATE mintu_warnings mintu_sanitizers)
endfunction()

# The same for the two libraries, with their stricter warnings.
function(mintu_library_defaults target)
  mintu_target_defaults(${target})
  target_link_libraries(${target} PRIVATE mintu_library_warnings)
endfunction()

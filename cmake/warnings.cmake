# One interface target carries the warning and sanitizer flags; every target links it.
add_library(tavrin_flags INTERFACE)
target_compile_options(tavrin_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wimplicit-fallthrough)
if(TAVRIN_WERROR)
  target_compile_options(tavrin_flags INTERFACE -Werror)
endif()
if(TAVRIN_SANITIZE)
  target_compile_options(tavrin_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(tavrin_flags INTERFACE -fsanitize=address,undefined)
endif()

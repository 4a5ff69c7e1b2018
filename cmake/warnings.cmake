# One interface target carries the warning and sanitizer flags; every target links it.
add_library(tavrin_flags INTERFACE)
target_compile_options(tavrin_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wimplicit-fallthrough)
# GCC 12's libstdc++ string code trips -Wrestrict (GCC bug 105329) at -O2, and
# -Wnull-dereference fires on inlined library code there too: both are false alarms in
# optimised builds, so they would only make warnings-as-errors fail for nothing.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(tavrin_flags INTERFACE -Wno-restrict)
endif()
if(TAVRIN_WERROR)
  target_compile_options(tavrin_flags INTERFACE -Werror)
endif()
if(TAVRIN_SANITIZE)
  target_compile_options(tavrin_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(tavrin_flags INTERFACE -fsanitize=address,undefined)
endif()

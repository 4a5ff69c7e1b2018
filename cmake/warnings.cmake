# One interface target carries the warning and sanitizer flags; every target links it.
add_library(tavrin_flags INTERFACE)
target_compile_options(tavrin_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wimplicit-fallthrough)
# At -O2 GCC 12 reports -Wrestrict, -Warray-bounds and -Wstringop-overflow/-overread inside inlined
# libstdc++ string and vector code that is correct (GCC bugs 105329, 107852 and kin);
# -Wnull-dereference likewise. They would only make warnings-as-errors fail for nothing;
# out-of-bounds access is caught by the sanitizer build instead.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(tavrin_flags INTERFACE -Wno-restrict -Wno-array-bounds -Wno-stringop-overflow
    -Wno-stringop-overread)
endif()
if(TAVRIN_WERROR)
  target_compile_options(tavrin_flags INTERFACE -Werror)
endif()
if(TAVRIN_SANITIZE)
  target_compile_options(tavrin_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(tavrin_flags INTERFACE -fsanitize=address,undefined)
endif()

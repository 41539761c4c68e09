# One INTERFACE target carries the language standard and warning flags for every target.
add_library(velmora_flags INTERFACE)
target_compile_features(velmora_flags INTERFACE cxx_std_20)
target_compile_options(velmora_flags INTERFACE -Wall -Wextra)
# GCC 12 at -O3 reports std::string assignments from literals as overlapping
# copies (a known false -Wrestrict); the Release build would drown in them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(velmora_flags INTERFACE $<$<CONFIG:Release>:-Wno-restrict>)
endif()

option(VELMORA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VELMORA_SANITIZE)
  target_compile_options(velmora_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(velmora_flags INTERFACE -fsanitize=address,undefined)
endif()

option(VELMORA_TSAN "Build with ThreadSanitizer (scripts/tsan)" OFF)
if(VELMORA_TSAN)
  if(VELMORA_SANITIZE)
    message(FATAL_ERROR "VELMORA_TSAN and VELMORA_SANITIZE cannot be combined")
  endif()
  target_compile_options(velmora_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(velmora_flags INTERFACE -fsanitize=thread)
endif()

option(VELMORA_WERROR "Treat warnings as errors" OFF)
if(VELMORA_WERROR)
  target_compile_options(velmora_flags INTERFACE -Werror)
endif()

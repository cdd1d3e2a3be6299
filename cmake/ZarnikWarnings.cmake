# Warnings are errors in every project target; third-party headers come in as SYSTEM.
add_library(zarnik_warnings INTERFACE)
target_compile_options(zarnik_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wconversion -Wcast-align
  -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)

if(ZARNIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

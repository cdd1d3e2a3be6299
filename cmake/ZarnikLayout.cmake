# The build tree mirrors the install tree (bin/, lib/zarnik/), so one run path finds the
# project's shared libraries from either place, and a module loaded at run time by its bare
# name ("vopusb") is found beside the port library. The libraries are private to Zarnik: they
# live in a folder of their own, out of the system's library search path.
set(ZARNIK_LIBDIR lib/zarnik)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${ZARNIK_LIBDIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_BUILD_WITH_INSTALL_RPATH ON)
# Programs sit one folder below the top (bin/, tests/); libraries find each other beside
# themselves (a run path serves only the direct dependencies of the file that carries it).
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${ZARNIK_LIBDIR}")

# Gives every shared library made in `dir` and below the run path of its own folder.
function(zarnik_set_library_run_paths dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
      set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    zarnik_set_library_run_paths(${subdir})
  endforeach()
endfunction()

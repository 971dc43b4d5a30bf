# Dotpress for hosts built with CMake:
#
#   find_package(Dotpress 4.1 CONFIG REQUIRED)      # CMAKE_PREFIX_PATH names the unpacked package
#   target_link_libraries(host PRIVATE Dotpress::Dotpress)
#
# Dotpress::Dotpress is Dotpress.dll of the host's architecture (x86 for a 32-bit build, x64 for
# a 64-bit one), with the import library of the host's toolchain (Dotpress.lib for Visual Studio
# and other MSVC-compatible linkers, libDotpress.dll.a for mingw-w64) and include/dotpress.h.
# $<TARGET_FILE:Dotpress::Dotpress> is the DLL to ship beside the host's program.
get_filename_component(_dotpress_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(Dotpress_FOUND FALSE)
  set(Dotpress_NOT_FOUND_MESSAGE "Dotpress.dll is a Windows library; this build targets ${CMAKE_SYSTEM_NAME}.")
  return()
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_dotpress_arch x64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(_dotpress_arch x86)
else()
  set(Dotpress_FOUND FALSE)
  set(Dotpress_NOT_FOUND_MESSAGE
      "Dotpress: enable C or C++ before find_package(Dotpress), so that the architecture is known.")
  return()
endif()
# The import library a linker of the MSVC kind reads, or the one GNU ld reads.
if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
  set(_dotpress_implib Dotpress.lib)
else()
  set(_dotpress_implib libDotpress.dll.a)
endif()

foreach(_dotpress_file "${_dotpress_arch}/Dotpress.dll" "${_dotpress_arch}/${_dotpress_implib}"
                       "include/dotpress.h")
  if(NOT EXISTS "${_dotpress_root}/${_dotpress_file}")
    set(Dotpress_FOUND FALSE)
    set(Dotpress_NOT_FOUND_MESSAGE "Dotpress: ${_dotpress_root}/${_dotpress_file} is missing.")
    return()
  endif()
endforeach()

if(NOT TARGET Dotpress::Dotpress)
  add_library(Dotpress::Dotpress SHARED IMPORTED)
  set_target_properties(Dotpress::Dotpress PROPERTIES
    IMPORTED_LOCATION "${_dotpress_root}/${_dotpress_arch}/Dotpress.dll"
    IMPORTED_IMPLIB "${_dotpress_root}/${_dotpress_arch}/${_dotpress_implib}"
    INTERFACE_INCLUDE_DIRECTORIES "${_dotpress_root}/include")
endif()

unset(_dotpress_file)
unset(_dotpress_implib)
unset(_dotpress_arch)
unset(_dotpress_root)

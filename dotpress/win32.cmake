# Dotpress.dll: the library's objects, the one static LibraryObject, the entry point, the
# resources and the export list. Hosts link the import library libDotpress.dll.a next to it.
enable_language(RC)

# Dotpress.def names the exports with their 32-bit __stdcall sizes (Name@N). The 64-bit build
# has no such decoration, so it links against a copy of the list with the sizes taken off.
set(DOTPRESS_DEF ${CMAKE_CURRENT_SOURCE_DIR}/resources/Dotpress.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DOTPRESS_DEF})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(DOTPRESS_LINK_DEF ${DOTPRESS_DEF})
  # Beside the DLL as on x86_64, where scripts/package.sh takes it from.
  configure_file(${DOTPRESS_DEF} ${CMAKE_CURRENT_BINARY_DIR}/Dotpress.def COPYONLY)
else()
  file(READ ${DOTPRESS_DEF} def_text)
  string(REGEX REPLACE "(Imp[A-Za-z]+)@[0-9]+" "\\1" def_text "${def_text}")
  set(DOTPRESS_LINK_DEF ${CMAKE_CURRENT_BINARY_DIR}/Dotpress.def)
  file(CONFIGURE OUTPUT ${DOTPRESS_LINK_DEF} CONTENT "${def_text}" @ONLY)
endif()

# Linking the object library directly brings in its objects and its usage requirements
# (include paths, DOTPRESS_BUILDING, the seam's system libraries).
add_library(Dotpress SHARED
  core/library_instance_static.cpp
  core/dll_entry.cpp
  resources/Dotpress.rc
  ${DOTPRESS_LINK_DEF})
target_link_libraries(Dotpress PRIVATE dotpress_objects)
target_include_directories(Dotpress PRIVATE ${DOTPRESS_GENERATED_DIR})
target_compile_options(Dotpress PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
# Nothing but system DLLs at run time: the compiler's C, C++ and thread runtimes are linked in.
target_link_options(Dotpress PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(Dotpress PROPERTIES
  PREFIX ""
  OUTPUT_NAME Dotpress
  IMPORT_PREFIX lib
  IMPORT_SUFFIX .dll.a
  LINK_DEPENDS ${DOTPRESS_LINK_DEF})

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The DLL exports the plain names (--kill-at). The import library ld would write alongside
  # carries those plain names too, which a 32-bit caller of a __stdcall function (it looks for
  # _Name@N) cannot resolve; dlltool builds the right one from the decorated list and replaces it.
  target_link_options(Dotpress PRIVATE -Wl,--kill-at)
  add_custom_command(TARGET Dotpress POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${DOTPRESS_DEF} -D Dotpress.dll
            -l $<TARGET_LINKER_FILE:Dotpress>
    VERBATIM)
endif()

# Dotpress.lib, the import library for hosts built with the MSVC toolchain (Visual Studio's
# link.exe, lld-link), from the same list as the DLL. On i686, -k keeps the symbols decorated
# (_ImpAbrirImpresora@236, as an MSVC caller of a __stdcall function asks for) while each import
# names the plain export.
find_program(DOTPRESS_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(msvc_machine i386)
else()
  set(msvc_machine i386:x86-64)
endif()
set(DOTPRESS_MSVC_IMPORT_LIBRARY ${CMAKE_CURRENT_BINARY_DIR}/Dotpress.lib)
add_custom_command(OUTPUT ${DOTPRESS_MSVC_IMPORT_LIBRARY}
  COMMAND ${DOTPRESS_LLVM_DLLTOOL} -m ${msvc_machine} -k -d ${DOTPRESS_LINK_DEF} -D Dotpress.dll
          -l ${DOTPRESS_MSVC_IMPORT_LIBRARY}
  DEPENDS ${DOTPRESS_LINK_DEF}
  VERBATIM)
add_custom_target(dotpress_msvc_import_library ALL DEPENDS ${DOTPRESS_MSVC_IMPORT_LIBRARY})

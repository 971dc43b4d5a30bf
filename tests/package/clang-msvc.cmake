# A toolchain of the MSVC kind for the package test's CMake consumer: clang for the MSVC ABI
# (set DOTPRESS_MSVC_TARGET to i686-pc-windows-msvc or x86_64-pc-windows-msvc), linking with
# lld-link. There is no Windows SDK or C runtime here, so the consumer is only configured with
# it: find_package(Dotpress) must then choose Dotpress.lib, the import library of that kind.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${DOTPRESS_MSVC_TARGET})
set(CMAKE_LINKER lld-link)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

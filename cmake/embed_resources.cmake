# Writes the compiled resources of Dotpress.rc (a .res file) into a C++ source as a byte array, so
# that the native library carries them as the DLL carries its resource section.
#   cmake -DIN=Dotpress.res -DOUT=compiled_resources.cpp -P embed_resources.cmake
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUT} "// Generated from Dotpress.rc at build time; do not edit.
#include <cstddef>
#include <cstdint>

namespace dotpress {
extern const uint8_t compiledResources[];
extern const size_t compiledResourcesSize;
const uint8_t compiledResources[] = {
    ${bytes}
};
const size_t compiledResourcesSize = ${size};
} // namespace dotpress
")

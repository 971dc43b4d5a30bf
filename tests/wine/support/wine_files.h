// Paths and files as a test under Wine sees them: the build folder it was started for, Linux
// paths turned into the Windows ones Wine maps them to, and whole files read back.
#pragma once

#include <string>

namespace winetest {

// UTF-8 to UTF-16 and back, for Linux paths and environment values.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

// The Windows name of an absolute Linux path on Wine's drive Z:, which maps the Linux root:
// "/tmp/x/job.ps" becomes "Z:\tmp\x\job.ps". A relative path only has its slashes turned.
std::wstring winePath(const std::string& linuxPath);

// The build folder of the binaries under test, from DOTPRESS_TEST_DIR: the Linux path, and the
// Windows one. Both are empty when the variable is not set.
std::string testDirLinux();
std::wstring testDir();
// A file of that folder, by its name.
std::wstring outputPath(const wchar_t* name);

// The whole content of a file, byte for byte; empty when it cannot be opened.
std::string readFile(const std::wstring& path);
bool fileExists(const std::wstring& path);
// True when the file is gone afterwards, whether or not it was there.
bool removeFile(const std::wstring& path);

} // namespace winetest

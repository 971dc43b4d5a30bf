// portfix takes its whole command line, after the program name, as one argument.
#pragma once

namespace portfix {

// The text behind the program name and the blanks that follow it, as Windows hands it to WinMain:
// a program name in quotes runs to the closing quote, one without quotes to the first blank.
// Blanks inside the argument and quotes around it are kept. Never null.
const char* argumentOf(const char* commandLine);

} // namespace portfix

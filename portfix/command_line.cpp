#include "portfix/command_line.h"

namespace portfix {

namespace {

// Windows treats every control character as a blank here, not only space and tab.
bool isBlank(char c) {
    return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

} // namespace

const char* argumentOf(const char* commandLine) {
    if (!commandLine) {
        return "";
    }
    const char* at = commandLine;
    if (*at == '"') {
        ++at;
        while (*at != '\0' && *at != '"') {
            ++at;
        }
        if (*at == '"') {
            ++at;
        }
    } else {
        while (*at != '\0' && !isBlank(*at)) {
            ++at;
        }
    }
    while (isBlank(*at)) {
        ++at;
    }
    return at;
}

} // namespace portfix

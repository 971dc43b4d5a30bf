#include "portfix/profile_entry.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace portfix {

namespace {

constexpr char kOldSpooler[] = "winspl16";

// How far back each time-out scan looks.
constexpr std::ptrdiff_t kScanWidth = 4;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

int decimalAt(const char* text, size_t at, size_t length) {
    while (at < length && isBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < length && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < length && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) {
            value = INT_MAX;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

namespace {

// Position of the first comma among the kScanWidth characters ending at `from`, looking
// backwards, or -1. Positions before the start of the entry are not looked at.
std::ptrdiff_t commaBackwardsFrom(const char* text, std::ptrdiff_t from) {
    for (std::ptrdiff_t at = from; at > from - kScanWidth && at >= 0; --at) {
        if (text[at] == ',') {
            return at;
        }
    }
    return -1;
}

bool fits(int written) {
    return written >= 0 && static_cast<size_t>(written) < kEntrySize;
}

const char* orEmpty(const char* text) {
    return text ? text : "";
}

} // namespace

size_t boundedLength(const char* text, size_t limit) {
    size_t n = 0;
    while (text && n < limit && text[n] != '\0') {
        ++n;
    }
    return n;
}

bool namesOldSpooler(const char* entry, const char* argument) {
    if (!entry || !argument || argument[0] == '\0') {
        return false;
    }
    return std::strncmp(entry, kOldSpooler, std::strlen(argument)) == 0;
}

TimeOuts timeOutsOf(const char* entry, size_t length) {
    TimeOuts result;
    if (!entry) {
        return result;
    }
    const auto last = static_cast<std::ptrdiff_t>(length) - 1;
    std::ptrdiff_t next = last - kScanWidth;
    std::ptrdiff_t comma = commaBackwardsFrom(entry, last);
    if (comma >= 0) {
        result.transmissionRetry = decimalAt(entry, static_cast<size_t>(comma) + 1, length);
        next = comma - 1;
    }
    comma = commaBackwardsFrom(entry, next);
    if (comma >= 0) {
        result.deviceNotSelected = decimalAt(entry, static_cast<size_t>(comma) + 1, length);
    }
    return result;
}

bool buildDevicesEntry(char (&buffer)[kEntrySize], const char* argument, const char* port) {
    return fits(std::snprintf(buffer, kEntrySize, "%s,%s", orEmpty(argument), orEmpty(port)));
}

bool buildPrinterPortsEntry(char (&buffer)[kEntrySize], const char* argument, const char* port,
                            TimeOuts timeOuts) {
    return fits(std::snprintf(buffer, kEntrySize, "%s,%s,%d,%d", orEmpty(argument), orEmpty(port),
                              timeOuts.deviceNotSelected, timeOuts.transmissionRetry));
}

} // namespace portfix

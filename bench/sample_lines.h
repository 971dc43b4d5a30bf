// The lines both line benchmarks print, natively and under Wine: 64 Spanish lines of about 36
// Windows-1252 bytes, accents and signs included, so that every line goes through the table.
#pragma once

#include <string>
#include <vector>

namespace benchlines {

inline std::vector<std::string> sampleLines() {
    const char* words[] = {"biblioteca",
                           "lectura",
                           "p\xe1gina",
                           "cap\xedtulo",
                           "Mar\xed"
                           "a",
                           "ma\xf1"
                           "ana",
                           "\xbfqu\xe9?",
                           "braille",
                           "(nota)",
                           "$12"};
    std::vector<std::string> out;
    for (int i = 0; i < 64; ++i) {
        std::string line;
        for (int w = 0; line.size() < 36; ++w) {
            line += words[(i + w * 3) % 10];
            line += ' ';
        }
        out.push_back(line);
    }
    return out;
}

// The same lines cut to `length` bytes.
inline std::vector<std::string> sampleLines(size_t length) {
    std::vector<std::string> out = sampleLines();
    for (std::string& line : out) {
        line.resize(length, ' ');
    }
    return out;
}

} // namespace benchlines

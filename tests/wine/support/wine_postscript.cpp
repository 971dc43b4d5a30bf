#include "wine_postscript.h"

#include <sstream>

namespace winetest {

std::vector<std::vector<std::string>> glyphsPerPage(const std::string& postscript) {
    std::vector<std::vector<std::string>> pages;
    std::istringstream lines(postscript);
    std::string line;
    const std::string show = " glyphshow";
    while (std::getline(lines, line)) {
        if (line.rfind("%%Page: ", 0) == 0) {
            pages.emplace_back();
        } else if (!pages.empty() && line.size() > show.size() + 1 && line[0] == '/' &&
                   line.compare(line.size() - show.size(), show.size(), show) == 0) {
            pages.back().push_back(line.substr(1, line.size() - show.size() - 1));
        }
    }
    return pages;
}

std::vector<std::vector<int>> lineStartsPerPage(const std::string& postscript) {
    std::vector<std::vector<int>> pages;
    std::istringstream lines(postscript);
    for (std::string line, word; std::getline(lines, line);) {
        std::istringstream words(line);
        int x = 0, y = 0;
        if (line.rfind("%%Page: ", 0) == 0) {
            pages.emplace_back();
        } else if (!pages.empty() && words >> x >> y >> word && word == "moveto") {
            pages.back().push_back(x);
        }
    }
    return pages;
}

} // namespace winetest

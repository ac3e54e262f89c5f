#include "soundgen/SoundTables.h"

#include <algorithm>

namespace soundgen {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<std::string> SoundFilesOfTable(std::string_view text, std::initializer_list<std::string_view> keys,
                                           std::string_view prefix) {
    std::vector<std::string> files;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, line.find("//"));
        const std::size_t split = line.find_first_of("=:");
        if (split == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, split));
        std::string_view value = Trim(line.substr(split + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.empty() || std::find(keys.begin(), keys.end(), key) == keys.end()) continue;
        std::string file = std::string(prefix) + std::string(value);
        std::replace(file.begin(), file.end(), '\\', '/');
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
    return files;
}

}  // namespace soundgen

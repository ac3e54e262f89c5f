#include "contentcheck/DataTables.h"

#include <cstring>

namespace contentcheck {

std::vector<TSyntaxFault> CheckValueSyntax(std::string_view text) {
    std::vector<TSyntaxFault> faults;
    int line = 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view row = text.substr(start, end - start);
        bool quoted = false, separated = false;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const char c = row[i];
            if (c == '/' && i + 1 < row.size() && row[i + 1] == '/') {
                if (quoted) faults.push_back({line, "\"//\" inside double quotes starts a comment"});
                break;
            }
            if (c == '"') {
                quoted = !quoted;
            } else if (!quoted && (c == '=' || c == ':')) {
                if (separated) {
                    faults.push_back(
                        {line, std::string("a value holding '") + c + "' must be written in double quotes"});
                    break;
                }
                separated = true;
            }
        }
        // CR LF ends one line, as the parser counts.
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
        ++line;
    }
    return faults;
}

std::string FormatSignature(std::string_view text) {
    std::string signature;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t j = i + 1;
        if (j < text.size() && text[j] == '%') {
            signature += "%%";
            i = j;
            continue;
        }
        // Flags, width, precision and length modifiers, then the conversion character.
        while (j < text.size() && std::strchr("-+ #0123456789.hlLqjzt", text[j]) != nullptr) ++j;
        signature += '%';
        if (j < text.size()) signature += text[j];
        i = j;
    }
    return signature.empty() ? "-" : signature;
}

}  // namespace contentcheck

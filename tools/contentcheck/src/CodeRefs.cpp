#include "contentcheck/CodeRefs.h"

#include <sstream>

namespace contentcheck {
namespace {

struct TKind {
    const char* name;
    int minArgs;
    int maxArgs;  // -1: any number from minArgs on
};

constexpr TKind kKinds[] = {
    {"path", 1, 1},     {"image", 2, 2},   {"set", 3, 3},     {"effect", 2, 2},  {"pfdkey", 1, 1},
    {"sound", 1, 1},    {"music", 2, 2},   {"font", 2, 2},    {"text", 2, 2},    {"root", 1, 1},
    {"runs", 2, -1},    {"reach", 2, -1},  {"inside", 2, -1}, {"direct", 2, -1}, {"nested", 1, -1},
    {"special", 1, -1}, {"caption", 2, 2}, {"fullbar", 1, 1}, {"tabs", 2, 2},    {"frames", 2, 2},
    {"recthit", 1, -1},
};

const TKind* FindKind(const std::string& name) {
    for (const TKind& k : kKinds)
        if (name == k.name) return &k;
    return nullptr;
}

}  // namespace

std::vector<TCodeRef> ParseCodeRefs(std::string_view text, std::string_view name, std::vector<std::string>& errors) {
    std::vector<TCodeRef> rows;
    std::istringstream in{std::string(text)};
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> columns;
        for (std::string word; words >> word;) columns.push_back(word);
        if (columns.empty()) continue;
        const std::string where = std::string(name) + ":" + std::to_string(number) + ": ";
        const TKind* kind = FindKind(columns[0]);
        if (kind == nullptr) {
            errors.push_back(where + "unknown kind '" + columns[0] + "'");
            continue;
        }
        const std::string& phase = columns.back();
        if (columns.size() < 2 || phase.size() != 1 || phase[0] < 'A' || phase[0] > 'D') {
            errors.push_back(where + "the last column must be the phase A, B, C or D");
            continue;
        }
        const int args = static_cast<int>(columns.size()) - 2;
        if (args < kind->minArgs || (kind->maxArgs >= 0 && args > kind->maxArgs)) {
            errors.push_back(where + "'" + columns[0] + "' takes " + std::to_string(kind->minArgs) +
                             (kind->maxArgs < 0                ? " or more"
                              : kind->maxArgs != kind->minArgs ? " to " + std::to_string(kind->maxArgs)
                                                               : "") +
                             " arguments, not " + std::to_string(args));
            continue;
        }
        TCodeRef row;
        row.kind = columns[0];
        row.args.assign(columns.begin() + 1, columns.end() - 1);
        row.phase = phase[0];
        row.line = number;
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace contentcheck

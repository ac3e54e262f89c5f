// Reading set blocks and effect files, and matching them against the table.
#include "imagegen/Checks.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace imagegen {

namespace {

std::string Trim(std::string_view s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return std::string(s.substr(a, b - a));
}

std::string Unquote(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

// The game's data-file line rules: "//" starts a comment anywhere, the first '=' or ':' outside
// quotes splits key from value. False for a line without a separator.
bool SplitProperty(std::string_view raw, std::string& line, std::string& key, std::string& value) {
    if (const std::size_t c = raw.find("//"); c != std::string_view::npos) raw = raw.substr(0, c);
    line = Trim(raw);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (!quoted && (line[i] == '=' || line[i] == ':')) {
            key = Trim(std::string_view(line).substr(0, i));
            value = Trim(std::string_view(line).substr(i + 1));
            return true;
        }
    }
    return false;
}

// Blank- or comma-separated parts, quotes kept together.
std::vector<std::string> Parts(const std::string& value) {
    std::vector<std::string> parts;
    std::string cur;
    bool quoted = false;
    for (char ch : value) {
        if (ch == '"') quoted = !quoted;
        if (!quoted && (ch == ',' || std::isspace(static_cast<unsigned char>(ch)))) {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

template <typename F>
void ForEachLine(std::string_view text, F&& f) {
    int number = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        f(text.substr(pos, end - pos), number);
        pos = end + 1;
    }
}

}  // namespace

bool ReadSpriteSets(std::string_view text, const std::string& name, std::vector<TSetUse>& out, std::string& error) {
    out.clear();
    error.clear();
    bool inBlock = false, hasFile = false;
    TSetUse current;
    ForEachLine(text, [&](std::string_view raw, int number) {
        if (!error.empty()) return;
        std::string line, key, value;
        const bool property = SplitProperty(raw, line, key, value);
        const std::string where = name + ":" + std::to_string(number);
        if (line == "end" && inBlock) {
            if (!hasFile) error = current.where + ": set " + current.name + " has no file line";
            out.push_back(current);
            inBlock = false;
            return;
        }
        if (!property) return;
        if (!inBlock) {
            if (key != "set") return;
            const std::vector<std::string> parts = Parts(value);
            if (parts.empty()) return;
            if (parts.size() > 1) {
                error = where + ": set " + parts[0] + " is of kind " + parts[1] + "; only one-sheet sets are drawn";
                return;
            }
            current = TSetUse();
            current.name = Unquote(parts[0]);
            current.where = where;
            inBlock = true;
            hasFile = false;
            return;
        }
        if (key == "file") {
            const std::vector<std::string> parts = Parts(value);
            if (parts.empty()) return;
            current.file = Unquote(parts[0]);
            current.frames = parts.size() >= 2 ? std::atoi(parts[1].c_str()) : 1;
            current.perRow = parts.size() >= 3 ? std::atoi(parts[2].c_str()) : current.frames;
            hasFile = true;
        }
    });
    if (error.empty() && inBlock) error = current.where + ": set " + current.name + " is not closed by end";
    return error.empty();
}

bool ReadEffectStrip(std::string_view text, const std::string& name, TStripUse& out, std::string& error) {
    out = TStripUse();
    out.where = name;
    bool sprites = false, count = false, perRow = false;
    ForEachLine(text, [&](std::string_view raw, int) {
        std::string line, key, value;
        if (!SplitProperty(raw, line, key, value)) return;
        if (key == "ParticleSprites") {
            out.file = Unquote(value);
            sprites = true;
        } else if (key == "ParticleNumSprites") {
            out.frames = std::atoi(value.c_str());
            count = true;
        } else if (key == "ParticleNumSpritesPerRow") {
            out.perRow = std::atoi(value.c_str());
            perRow = true;
        }
    });
    if (!sprites || !count || !perRow) {
        error = name + ": needs ParticleSprites, ParticleNumSprites and ParticleNumSpritesPerRow";
        return false;
    }
    return true;
}

bool CheckUses(const std::vector<TImageSpec>& table, const std::vector<TSetUse>& sets,
               const std::vector<TStripUse>& strips, std::string& error) {
    std::map<std::string, const TImageSpec*> images;
    for (const TImageSpec& spec : table) images[NormalisedImagePath(spec.path)] = &spec;
    std::vector<std::string> problems;
    const auto match = [&](const std::string& what, const std::string& file, int frames, int perRow) {
        const auto it = images.find(NormalisedImagePath(file));
        if (it == images.end()) {
            problems.push_back(what + " names " + file + ", which the image table does not draw");
            return;
        }
        const TSheetLayout& l = it->second->layout;
        if (l.frames != frames || l.perRow != perRow) {
            problems.push_back(what + " cuts " + file + " into " + std::to_string(frames) + " frames, " +
                               std::to_string(perRow) + " per row; the table draws " + std::to_string(l.frames) + ", " +
                               std::to_string(l.perRow) + " per row");
        }
    };
    std::map<std::string, std::string> declared;
    for (const TSetUse& set : sets) {
        if (const auto [it, fresh] = declared.emplace(set.name, set.where); !fresh) {
            problems.push_back(set.where + ": set " + set.name + " is already declared at " + it->second);
        }
        match(set.where + ": set " + set.name, set.file, set.frames, set.perRow);
    }
    for (const TStripUse& strip : strips) {
        if (strip.frames != strip.perRow) {
            problems.push_back(strip.where +
                               ": the strip must be one row (ParticleNumSpritesPerRow = ParticleNumSprites)");
        }
        match(strip.where, strip.file, strip.frames, strip.perRow);
    }
    error.clear();
    for (const std::string& p : problems) error += (error.empty() ? "" : "\n") + p;
    return problems.empty();
}

}  // namespace imagegen

// Reading the image table.
#include "imagegen/ImageTable.h"

#include <cctype>
#include <charconv>
#include <set>

namespace imagegen {

namespace {

// Splits a line into blank-separated words; a word may be quoted (key="a b" keeps its blanks).
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& why) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        // A word that starts with '#' starts a comment; '#' inside a word (colour=#RRGGBB) does not.
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i])))) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else {
                word += line[i];
            }
            ++i;
        }
        if (quoted) {
            why = "unclosed quote";
            return false;
        }
        words.push_back(word);
    }
    return true;
}

bool ParseInt(std::string_view text, int& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

// "A<sep>B" with two positive integers.
bool ParsePair(std::string_view text, char sep, int& a, int& b) {
    const std::size_t at = text.find(sep);
    return at != std::string_view::npos && ParseInt(text.substr(0, at), a) && ParseInt(text.substr(at + 1), b) &&
           a > 0 && b > 0;
}

bool ParseKind(std::string_view text, EImageKind& kind) {
    if (text == "rgba") {
        kind = EImageKind::Rgba;
    } else if (text == "rgb") {
        kind = EImageKind::Rgb;
    } else if (text == "neutral") {
        kind = EImageKind::Neutral;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ParseImageTable(std::string_view text, const std::string& name, std::vector<TImageSpec>& out, std::string& error,
                     bool (*knownRecipe)(std::string_view)) {
    out.clear();
    std::set<std::string> seen;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        std::vector<std::string> words;
        std::string why;
        const auto fail = [&](const std::string& reason) {
            error = name + ":" + std::to_string(lineNumber) + ": " + reason;
            return false;
        };
        if (!SplitWords(line, words, why)) return fail(why);
        if (words.empty()) continue;
        if (words.size() < 5) return fail("expected: path WxH frames/perrow kind recipe [key=value ...]");
        TImageSpec spec;
        spec.line = lineNumber;
        spec.path = words[0];
        if (!ParsePair(words[1], 'x', spec.layout.frameWidth, spec.layout.frameHeight))
            return fail("bad frame size '" + words[1] + "'");
        if (!ParsePair(words[2], '/', spec.layout.frames, spec.layout.perRow) ||
            spec.layout.perRow > spec.layout.frames)
            return fail("bad layout '" + words[2] + "' (frames/per row, per row <= frames)");
        if (!ParseKind(words[3], spec.kind)) return fail("bad kind '" + words[3] + "' (rgba, rgb or neutral)");
        spec.recipe = words[4];
        if (knownRecipe != nullptr && !knownRecipe(spec.recipe)) return fail("no recipe '" + spec.recipe + "'");
        for (std::size_t i = 5; i < words.size(); ++i) {
            const std::size_t eq = words[i].find('=');
            if (eq == std::string::npos || eq == 0) return fail("argument '" + words[i] + "' is not key=value");
            spec.args[words[i].substr(0, eq)] = words[i].substr(eq + 1);
        }
        if (!seen.insert(NormalisedImagePath(spec.path)).second) return fail("image " + spec.path + " listed twice");
        out.push_back(std::move(spec));
    }
    return true;
}

std::string ImageFileName(const TImageSpec& spec) {
    std::string file = spec.path;
    for (char& c : file)
        if (c == '\\') c = '/';
    return file + ".png";
}

std::string NormalisedImagePath(std::string_view path) {
    std::string out;
    for (char c : path) out += c == '/' ? '\\' : c;
    if (out.size() > 4 && out.compare(out.size() - 4, 4, ".png") == 0) out.resize(out.size() - 4);
    return out;
}

}  // namespace imagegen

#pragma once
// Small readings of template and style values shared by the record keys, the template reader and
// the style-table reader. Private to engine/ui.

#include "core/CommonString.h"
#include "core/Parser.h"

namespace ui_text {

using Text = CommonStringRS<50>;

inline bool Is(const Text& text, const char* word) { return text.IsEqual(word); }

// A name value: one pair of surrounding double quotes removed.
inline CommonString NameOf(const Text& value) { return CommonString(Parser::ExtractName(value).GetData()); }

inline int IntOf(const Text& text) { return Parser::AToI(text.GetData()); }

// "center" -> 1, farWord ("right" or "bottom") -> 2, anything else -> 0.
inline unsigned char AlignWord(const Text& value, const char* farWord) {
    if (Is(value, "center")) return 1;
    if (Is(value, farWord)) return 2;
    return 0;
}

// Reads up to three colour parts into r, g, b; false (nothing changed) with fewer than three.
bool ReadColor(const Text& value, unsigned char& r, unsigned char& g, unsigned char& b);

// An "effect" value: one character is a number (outside the table it becomes 0), a longer value
// an effect name (quotes removed). given is true for a number and for a known name.
int ReadEffect(const Text& value, bool& given);

}  // namespace ui_text

#include <optional>
#include <vector>

class IFile;
class IFileHost;

namespace ui_text {

// The whole file from its start; empty for a null file or one that cannot be read.
std::vector<char> ReadWholeFile(IFile* file);
// The whole file at path as the game's memory files find it (in the paks); nothing when there is no
// game or the file cannot be opened.
std::optional<std::vector<char>> ReadGameFile(IFileHost* game, const CommonString& path);

}  // namespace ui_text

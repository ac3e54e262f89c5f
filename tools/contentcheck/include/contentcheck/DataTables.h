// Rules on the raw text of the data files that the game's readers cannot see, since their parser
// has already cut or dropped the characters concerned: a "//" inside quotes and an unquoted ':'
// or '=' in a value; and the printf conversions a text holds, which the checker compares with
// what the code supplies. The tables themselves are read by the game's own managers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace contentcheck {

// One finding of the raw syntax check: a value with "//" inside double quotes (the parser cuts
// the line there), or a value holding ':' or '=' outside quotes (the parser drops them).
struct TSyntaxFault {
    int line = 0;
    std::string why;
};
std::vector<TSyntaxFault> CheckValueSyntax(std::string_view text);

// The printf conversions of a text in order, "%%" included, e.g. "%s%d" or "%d%%"; "-" for none.
std::string FormatSignature(std::string_view text);

}  // namespace contentcheck

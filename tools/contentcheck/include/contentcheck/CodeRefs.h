// The list of names the game's code looks up in the pak (content/code_refs.txt), read into rows.
// The file's own header comment describes the kinds; this reader only splits lines into a kind,
// its arguments and the content phase, and refuses rows it cannot read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace contentcheck {

struct TCodeRef {
    std::string kind;               // "path", "image", "set", ...
    std::vector<std::string> args;  // the columns between the kind and the phase
    char phase = 'A';               // 'A' .. 'D'
    int line = 0;                   // 1-based, for messages
};

// Reads the rows of `text`; `name` is used in the messages of `errors`. Comment lines ('#') and
// blank lines are skipped. A row needs a known kind, the arguments that kind takes and a phase
// A..D as its last column; anything else becomes an error "name:line: why" and no row.
[[nodiscard]] std::vector<TCodeRef> ParseCodeRefs(std::string_view text, std::string_view name,
                                                  std::vector<std::string>& errors);

}  // namespace contentcheck

// Reading the game's text data files (arenas, yards and their objects, bird sounds): the file is
// opened from the paks as a memory file and its logical lines go one by one to the reader's own
// line handler. Main thread, like the readers.
#pragma once

#include <functional>

#include "core/CommonString.h"
#include "core/Parser.h"

class CGameBase;
class IFile;

// Opens `path` in the paks (read mode) and hands the open file to `read`; false without a game,
// when the file cannot be made or opened, or when `read` says so.
[[nodiscard]] bool ReadPakDataFile(CGameBase* game, const CommonString& path, const std::function<bool(IFile*)>& read);

// A number of a data file as Parser::AToI reads it, except that one past an int is not wrapped
// into another value: it becomes INT_MAX (INT_MIN when negative), which every bound refuses.
[[nodiscard]] int DataFileInt(const char* text);

// Puts "member: " and the formatted text (what is wrong with the member) into `failure`; false,
// for the checks that refuse a table at start-up.
__attribute__((format(printf, 3, 4))) bool RefuseDataFile(CommonString& failure, const char* member, const char* format,
                                                          ...);

// Hands every logical line of a file or an in-memory input to `line` until it returns false;
// true when every line was taken.
template <class Source, class LineHandler>
[[nodiscard]] bool ForEachDataLine(Source& source, LineHandler&& line) {
    CommonStringRS<50> text;
    while (Parser::GetNextLine(source, text))
        if (!line(text)) return false;
    return true;
}

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

// Hands every logical line of a file or an in-memory input to `line` until it returns false;
// true when every line was taken.
template <class Source, class LineHandler>
[[nodiscard]] bool ForEachDataLine(Source& source, LineHandler&& line) {
    CommonStringRS<50> text;
    while (Parser::GetNextLine(source, text))
        if (!line(text)) return false;
    return true;
}

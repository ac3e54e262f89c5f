// Parser: the reader of the one line syntax every text data file uses (sprite sets, particle
// effects, UI templates and styles, the sound table, arenas, yards, quests, the shop catalogue).
//
// A reader pulls one logical line at a time with GetNextLine, splits it into a name and a value
// with ReadPropertyFromString and interprets the name itself: the parser knows no keywords. A
// line without '=' or ':' comes back as a value with an empty name (block keywords such as
// "end"). Values are split into lists with GetSubStringsArray, unquoted with ExtractName and
// converted with AToI, AToF and AToF16.
//
// The syntax:
//  - LF and CR each end a line; blank lines and leading blanks (space, TAB) are skipped.
//  - "//" starts a comment to the end of the line, also inside double quotes; a '/' followed by
//    anything else is text, and a '/' that is the file's last byte is dropped.
//  - A NUL byte ends a line's text like "//" does (text never holds a zero byte).
//  - Trailing blanks are removed, never a line's first character.
//  - Nothing limits the length of a line; every read stays inside the input.
//
// Everything is stateless and reports nothing: malformed numbers convert to 0. Any thread may
// call it on data no other thread is changing.
#pragma once

#include <span>

#include "core/Common.h"
#include "core/CommonString.h"

class IFile;
class IMemFile;

// A whole data file in memory, read one logical line at a time from `cursor`. The bytes stay
// the caller's and are only read; `name` is there for the reader's own messages.
struct TParseInput {
    const char* bytes = nullptr;
    int size = 0;
    int cursor = 0;         // offset of the next byte to scan; outside 0..size reads as the end
    const char* name = "";  // the file's name, for messages
    int lineStart = -1;     // offset of the last line GetNextLine returned; -1 before the first
};

// An input over `bytes`, its cursor at the start, named `name` (null reads as ""). Bytes past
// what an int counts are left out, so a huge buffer reads as its first 2 GiB, never as garbage.
TParseInput ParseInputOf(std::span<const char> bytes, const char* name);

class Parser {
public:
    // The decoding entry every reading path shares: the next logical line of `input` (trailing
    // blanks removed) into `line`, 1; or 0 at the end of the input with `line` unchanged.
    static int GetNextLine(TParseInput& input, CommonStringRS<50>& line);
    // The 1-based physical line of `input` that holds byte `offset` (CR LF counts as one line
    // end), for messages such as "name:line".
    static int LineNumberAt(const TParseInput& input, int offset);

    // The same over a file: a memory file with a buffer is scanned in place and its cursor moved
    // past the line; any other file is read one byte at a time. 0 at the end or for a null file.
    static int GetNextLine(IFile* file, CommonStringRS<50>& line);
    // One raw line (trailing blanks kept) from a memory file's buffer at its cursor; empty at the
    // end, for a null file or for a file without a buffer.
    static CommonStringRS<50> ReadNextLineFromMemFile(IMemFile* file);
    // The same from any file, one ReadData byte at a time; look-ahead bytes are given back with
    // Seek(-n, FileSeek::Current) so the position matches the memory path's cursor.
    static CommonStringRS<50> ReadNextLineFromFile(IFile* file);

    // Splits a line at the first '=' or ':' outside double quotes into `name` and `value`;
    // further separators outside quotes are dropped from the value, quotes stay, blanks before
    // the value and trailing blanks go. A line that is no property line becomes the value with an
    // empty name. 0 for an empty line, else 1.
    static int ReadPropertyFromString(const CommonStringRS<50>& line, CommonStringRS<50>& name,
                                      CommonStringRS<50>& value);
    // 1 when the line has at least 2 characters and an '=' or ':' comes before any "//".
    static int IsPropertyString(const CommonStringRS<50>& line);

    // Splits `value` at spaces and commas outside double quotes (runs count as one; TAB is text;
    // quotes stay) into the first `maxCount` entries of `parts`, emptying them first. Parts past
    // maxCount are ignored.
    static void GetSubStringsArray(const CommonStringRS<50>& value, int maxCount, CommonStringRS<50>* parts);
    // The same, and `count` = the number of parts found (at most maxCount).
    static void GetSubStringsArrayVar(const CommonStringRS<50>& value, int maxCount, CommonStringRS<50>* parts,
                                      int& count);

    // RemoveStartEndSymbol with the double quote as both symbols.
    static CommonStringRS<50> ExtractName(const CommonStringRS<50>& text);
    // Drops a trailing `last` if present, then a leading `first` if present.
    static CommonStringRS<50> RemoveStartEndSymbol(const CommonStringRS<50>& text, char first, char last);
    // Drops trailing spaces and TABs, but never the first character.
    static CommonStringRS<50> RemoveLastSpaces(const CommonStringRS<50>& text);

    // Decimal integer with an optional leading '-', read from the right end over its trailing
    // digits: "x12" gives 12, "12x" gives 0; null, "" and "-" give 0; overflow wraps.
    static int AToI(const char* text);
    // AToI(text) != 0.
    static bool AToB(const char* text);
    // Decimal with an optional '-' and at most one '.', as 24.8 fixed point rounded to nearest
    // (halves away from zero): "1.5" gives 384, "1.2.3" and "1.5x" give 0. The value is shifted
    // left by `shift` bits first; a shift outside 0..31 is ignored. Results beyond 32 bits are
    // clamped when there is a '.', and wrap otherwise.
    static FIXED_FLOAT AToF(const char* text, int shift = 0);
    // The same as 16.16 fixed point: "0.5" gives 32768.
    static FIXED_FLOAT_16 AToF16(const char* text, int shift = 0);
};

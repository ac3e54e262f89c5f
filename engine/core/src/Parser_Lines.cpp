// Line reading: one scanner shared by the in-memory path and the byte-at-a-time file path.

#include <algorithm>
#include <climits>

#include "ParserText.h"
#include "core/File.h"
#include "core/MemFile.h"
#include "core/Parser.h"

namespace {

constexpr int kEnd = -1;

bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }
bool IsBlank(int c) { return c == ' ' || c == '\t'; }

// The bytes of an in-memory file from a cursor. Callers check that the cursor is in range.
struct TBufferSource {
    const unsigned char* bytes;
    int size;
    int position;
    int Next() { return position < size ? bytes[position++] : kEnd; }
    void Back(int count) { position -= count; }
    int Position() const { return position; }
};

// Any file, one ReadData byte at a time; bytes given back are sought back over.
struct TFileSource {
    IFile* file;
    int Next() {
        unsigned char c = 0;
        return file->ReadData(&c, 1) == 1 ? c : kEnd;
    }
    void Back(int count) { file->Seek(-count, FileSeek::Current); }
    int Position() const { return -1; }
};

// Reads one raw logical line (no trailing-blank removal) into `text` and returns the source
// position of its first character (-1 when none or when the source cannot tell).
//
// The source is left just after the LF or CR that ended the line, at the first '/' of a "//"
// that ended it (the next call skips that comment), at a NUL that ended it (the same), or at
// the end. Bytes are only ever taken from the source, so nothing past the input is read.
template <class TSource>
int ScanLine(TSource& source, CParserText& text) {
    int start = -1;
    // Find the first character of the line.
    bool inComment = false;
    for (;;) {
        const int c = source.Next();
        if (c == kEnd) return -1;
        if (IsLineEnd(c)) {
            inComment = false;
            continue;
        }
        if (inComment || IsBlank(c)) continue;
        if (c == '\0') {
            inComment = true;
            continue;
        }
        if (c == '/') {
            const int next = source.Next();
            if (next == kEnd) return -1;  // a lone '/' as the last byte is dropped
            if (next == '/') {
                inComment = true;
                continue;
            }
            // The byte after the '/' is looked at again below, so a line end right after it still
            // ends the line.
            source.Back(1);
        }
        start = source.Position() < 0 ? -1 : source.Position() - 1;
        text.Add(static_cast<char>(c));
        break;
    }
    // Collect up to the line end, a comment, a NUL or the end of the input.
    for (;;) {
        const int c = source.Next();
        if (c == kEnd || IsLineEnd(c)) return start;
        if (c == '\0') {
            source.Back(1);
            return start;
        }
        if (c == '/') {
            const int next = source.Next();
            if (next == kEnd) return start;  // a '/' that is the last byte is dropped
            if (next == '/') {
                source.Back(2);
                return start;
            }
            source.Back(1);
        }
        text.Add(static_cast<char>(c));
    }
}

// Trailing spaces and TABs go, but never the first character.
void TrimTrailingBlanks(CParserText& text) {
    while (text.Length() > 1 && IsBlank(text.Last())) text.DropLast();
}

// True when the input has no more bytes to scan; a cursor outside the buffer counts as the end,
// so a file sought past either end never makes the scanner touch bytes outside it.
bool AtEnd(const TParseInput& input) {
    return input.bytes == nullptr || input.size <= 0 || input.cursor < 0 || input.cursor >= input.size;
}

// Applies the logical-line rules to a raw line: 1 with the trimmed line, 0 to skip it.
bool FinishLine(CParserText& raw, CommonStringRS<50>& line) {
    TrimTrailingBlanks(raw);
    CommonStringRS<50> trimmed = raw.ToString();
    const char* data = trimmed.GetData();
    // The scanner already consumes comments; a "//" line could only come from a changed scanner.
    if (trimmed.Length() >= 2 && data[0] == '/' && data[1] == '/') return false;
    line = trimmed;
    return true;
}

}  // namespace

int Parser::GetNextLine(TParseInput& input, CommonStringRS<50>& line) {
    for (;;) {
        if (AtEnd(input)) return 0;
        TBufferSource source{reinterpret_cast<const unsigned char*>(input.bytes), input.size, input.cursor};
        CParserText raw;
        const int start = ScanLine(source, raw);
        input.cursor = source.position;
        if (raw.Empty()) return 0;
        if (FinishLine(raw, line)) {
            input.lineStart = start;
            return 1;
        }
    }
}

int Parser::LineNumberAt(const TParseInput& input, int offset) {
    int line = 1;
    const int end = offset < input.size ? offset : input.size;
    for (int i = 0; input.bytes && i < end; ++i) {
        const char c = input.bytes[i];
        if (c == '\n' || (c == '\r' && !(i + 1 < input.size && input.bytes[i + 1] == '\n'))) ++line;
    }
    return line;
}

int Parser::GetNextLine(IFile* file, CommonStringRS<50>& line) {
    if (!file) return 0;
    // Only IMemFile implementations answer 1 (the interface's contract), so the cast is safe.
    IMemFile* memory = file->IsMemoryFile() == 1 ? static_cast<IMemFile*>(file) : nullptr;
    if (memory && memory->GetBuffer()) {
        TParseInput input;
        input.bytes = static_cast<const char*>(memory->GetBuffer());
        input.size = memory->GetSize();
        input.cursor = memory->GetCurPos();
        if (AtEnd(input)) return 0;
        const int result = GetNextLine(input, line);
        memory->Seek(input.cursor, FileSeek::Start);
        return result;
    }
    for (;;) {
        TFileSource source{file};
        CParserText raw;
        ScanLine(source, raw);
        if (raw.Empty()) return 0;
        if (FinishLine(raw, line)) return 1;
    }
}

CommonStringRS<50> Parser::ReadNextLineFromMemFile(IMemFile* file) {
    if (!file || !file->GetBuffer()) return CommonStringRS<50>();
    TParseInput input;
    input.bytes = static_cast<const char*>(file->GetBuffer());
    input.size = file->GetSize();
    input.cursor = file->GetCurPos();
    if (AtEnd(input)) return CommonStringRS<50>();
    TBufferSource source{reinterpret_cast<const unsigned char*>(input.bytes), input.size, input.cursor};
    CParserText raw;
    ScanLine(source, raw);
    file->Seek(source.position, FileSeek::Start);
    return raw.ToString();
}

CommonStringRS<50> Parser::ReadNextLineFromFile(IFile* file) {
    if (!file) return CommonStringRS<50>();
    TFileSource source{file};
    CParserText raw;
    ScanLine(source, raw);
    return raw.ToString();
}

TParseInput ParseInputOf(std::span<const char> bytes, const char* name) {
    TParseInput input;
    input.bytes = bytes.data();
    input.size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    input.name = name != nullptr ? name : "";
    return input;
}

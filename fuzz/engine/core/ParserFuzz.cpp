// Feeds arbitrary bytes to the data-file parser the way readers use it, and checks that the
// in-place decoder and the byte-at-a-time file path read the same lines to the same positions.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/File.h"
#include "core/Parser.h"

namespace {

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

// A plain (non-memory) file over the input, so GetNextLine takes its byte path.
class CByteFile : public IFile {
public:
    CByteFile(const std::uint8_t* data, std::size_t size) : data_(data), size_(static_cast<long>(size)) {}
    int Open(IFileHost*, const char*, unsigned) override { return 1; }
    int IsOpened() override { return 1; }
    int Close() override { return 1; }
    int GetSize() override { return static_cast<int>(size_); }
    int Seek(long offset, int mode) override {
        const long base = (mode & FileSeek::Start) ? 0 : (mode & FileSeek::Current) ? position_ : size_;
        if (base + offset < 0 || base + offset > size_) return 0;
        position_ = base + offset;
        return 1;
    }
    int ReadData(void* buffer, int count) override {
        const long moved = count < size_ - position_ ? count : size_ - position_;
        if (moved <= 0) return 0;
        std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(moved));
        position_ += moved;
        return static_cast<int>(moved);
    }
    int WriteData(const void*, int) override { return -1; }
    int WriteInt(int) override { return -1; }
    int ReadInt(int* v) override { return ReadData(v, 4); }
    int WriteUInt(unsigned) override { return -1; }
    int ReadUInt(unsigned* v) override { return ReadData(v, 4); }
    int WriteByte(unsigned char) override { return -1; }
    int ReadByte(unsigned char* v) override { return ReadData(v, 1); }
    int WriteWord(unsigned short) override { return -1; }
    int ReadWord(unsigned short* v) override { return ReadData(v, 2); }
    int GetCurPos() override { return static_cast<int>(position_); }
    int Delete(const char*) override { return -1; }

private:
    const std::uint8_t* data_;
    long size_;
    long position_ = 0;
};

void CheckLine(const CommonStringRS<50>& line) {
    FUZZ_CHECK(line.Length() > 0);
    const char* text = line.GetData();
    FUZZ_CHECK(static_cast<int>(std::strlen(text)) == line.Length());
    for (int i = 0; i < line.Length(); ++i) FUZZ_CHECK(text[i] != '\n' && text[i] != '\r');
    FUZZ_CHECK(text[0] != ' ' && text[0] != '\t');
    FUZZ_CHECK(line.Length() == 1 || (text[line.Length() - 1] != ' ' && text[line.Length() - 1] != '\t'));
}

// What a reader does with one line: split it, split the value into a list, convert the parts.
void UseLine(const CommonStringRS<50>& line) {
    CommonStringRS<50> name;
    CommonStringRS<50> value;
    FUZZ_CHECK(Parser::ReadPropertyFromString(line, name, value) == 1);
    constexpr int kMaxParts = 6;
    CommonStringRS<50> parts[kMaxParts];
    int count = -1;
    Parser::GetSubStringsArrayVar(value, kMaxParts, parts, count);
    FUZZ_CHECK(count >= 0 && count <= kMaxParts);
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(parts[i].Length() > 0);
        CommonStringRS<50> unquoted = Parser::ExtractName(parts[i]);
        (void)Parser::AToI(unquoted.GetData());
        (void)Parser::AToF(parts[i].GetData(), 0);
        (void)Parser::AToF16(parts[i].GetData(), 0);
    }
    (void)Parser::AToI(name.GetData());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    TParseInput input = ParseInputOf({reinterpret_cast<const char*>(data), size}, "fuzz");
    CByteFile file(data, size);

    CommonStringRS<50> fromBuffer;
    CommonStringRS<50> fromFile;
    int previousCursor = 0;
    for (;;) {
        const int gotBuffer = Parser::GetNextLine(input, fromBuffer);
        const int gotFile = Parser::GetNextLine(&file, fromFile);
        FUZZ_CHECK(gotBuffer == gotFile);
        if (!gotBuffer) break;
        CheckLine(fromBuffer);
        FUZZ_CHECK(fromBuffer == fromFile.GetData());
        FUZZ_CHECK(input.cursor > previousCursor && input.cursor <= input.size);
        FUZZ_CHECK(file.GetCurPos() == input.cursor);
        FUZZ_CHECK(input.lineStart >= previousCursor && input.lineStart < input.cursor);
        previousCursor = input.cursor;
        UseLine(fromBuffer);
    }
    // Once per input: counting line numbers scans from the start.
    if (input.lineStart >= 0) FUZZ_CHECK(Parser::LineNumberAt(input, input.lineStart) >= 1);
    return 0;
}

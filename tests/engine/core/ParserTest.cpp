#include "core/Parser.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/MemFile.h"
#include "core/iPhoneFile.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

std::string Str(const CommonStringRS<50>& s) { return s.GetData() ? std::string(s.GetData()) : ""; }

// Every logical line of `bytes` through the in-place decoding entry.
Lines LinesFromBuffer(const std::string& bytes) {
    // An exact-size heap copy so that the sanitizers catch any read past the input.
    std::vector<char> copy(bytes.begin(), bytes.end());
    TParseInput input;
    input.bytes = copy.data();
    input.size = static_cast<int>(copy.size());
    Lines lines;
    CommonStringRS<50> line;
    while (Parser::GetNextLine(input, line)) lines.push_back(Str(line));
    return lines;
}

// A memory file holding a malloc copy of `bytes`.
void FillMemoryFile(CMemoryFile& file, const std::string& bytes) {
    void* block = std::malloc(bytes.size() ? bytes.size() : 1);
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    ASSERT_EQ(file.Attach(block, static_cast<int>(bytes.size())), 1);
}

// Every logical line through GetNextLine(IFile*), recording the file position after each call.
Lines LinesFromFile(IFile& file, std::vector<int>* positions) {
    Lines lines;
    CommonStringRS<50> line;
    while (Parser::GetNextLine(&file, line)) {
        lines.push_back(Str(line));
        positions->push_back(file.GetCurPos());
    }
    return lines;
}

class ParserFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("cobble-parser-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A disk file opened for reading on `bytes`: the byte-at-a-time path.
    std::string WriteFile(const std::string& bytes) {
        const std::string path = (dir_ / ("f" + std::to_string(count_++))).string();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path dir_;
    int count_ = 0;
};

struct TLineCase {
    const char* why;
    std::string bytes;
    Lines lines;
};

const std::string kLongLine(5000, 'q');

const TLineCase kLineCases[] = {
    {"property line", "a = b\n", {"a = b"}},
    {"CR LF pair leaves an empty line that is skipped", "a\r\nb\r\n", {"a", "b"}},
    {"CR alone ends a line", "a\rb\rc", {"a", "b", "c"}},
    {"last line without a line end", "first\nlast", {"first", "last"}},
    {"empty input", "", {}},
    {"only comments", "// one\n  //two\r\n\t// three", {}},
    {"blank and comment lines skipped, trailing note cut", "  \t  // c\n\nx // note\n", {"x"}},
    {"comment ends the value", "a = x//y\n", {"a = x"}},
    {"quotes do not protect //", "a = \"x//y\"\n", {"a = \"x"}},
    {"slash followed by text is text", "a/b\n/x\n", {"a/b", "/x"}},
    {"slash before a line end stays and the line still ends", "a/\nb", {"a/", "b"}},
    {"slash as the last byte is dropped", "x/", {"x"}},
    {"lone slash file", "/", {}},
    {"slash then blank", " / \n", {"/"}},
    {"three slashes start a comment", "a///b\nc", {"a", "c"}},
    {"NUL ends the line's text", std::string("ab\0cd\nef", 8), {"ab", "ef"}},
    {"NUL at a line start makes it a comment", std::string("\0zz\nq", 5), {"q"}},
    {"trailing blanks removed", "  tail  \t\n", {"tail"}},
    {"single character line", "x\n", {"x"}},
    {"blank-only lines yield nothing", "\t\t\n   \n", {}},
    {"line far longer than any buffer", kLongLine + "\nz", {kLongLine, "z"}},
    {"block keywords", "sprite\n name = a\nend\n", {"sprite", "name = a", "end"}},
    {"high bytes are text", "n = \xC3\xA9t\xE9\n", {"n = \xC3\xA9t\xE9"}},
};

TEST(ParserLines, BufferEntryFollowsTheLineRules) {
    for (const auto& c : kLineCases) EXPECT_EQ(LinesFromBuffer(c.bytes), c.lines) << c.why;
}

TEST_F(ParserFileTest, MemoryAndBytePathsAgreeOnLinesAndPositions) {
    for (const auto& c : kLineCases) {
        CMemoryFile memory;
        FillMemoryFile(memory, c.bytes);
        std::vector<int> memoryPositions;
        EXPECT_EQ(LinesFromFile(memory, &memoryPositions), c.lines) << "memory path: " << c.why;

        CiPhoneFile disk;
        const std::string path = WriteFile(c.bytes);
        ASSERT_EQ(disk.Open(nullptr, path.c_str(), FileMode::Read), 1);
        std::vector<int> diskPositions;
        EXPECT_EQ(LinesFromFile(disk, &diskPositions), c.lines) << "byte path: " << c.why;
        EXPECT_EQ(diskPositions, memoryPositions) << "positions after each line: " << c.why;
    }
}

TEST_F(ParserFileTest, RawReadsKeepTrailingBlanksAndStopBeforeAComment) {
    const std::string bytes = "  ab  //c\nd \n";
    CMemoryFile memory;
    FillMemoryFile(memory, bytes);
    CiPhoneFile disk;
    const std::string path = WriteFile(bytes);
    ASSERT_EQ(disk.Open(nullptr, path.c_str(), FileMode::Read), 1);

    struct TRawStep {
        const char* line;
        int position;
    };
    const TRawStep steps[] = {{"ab  ", 6}, {"d ", 13}, {"", 13}};
    for (const auto& step : steps) {
        EXPECT_EQ(Str(Parser::ReadNextLineFromMemFile(&memory)), step.line);
        EXPECT_EQ(memory.GetCurPos(), step.position) << step.line;
        EXPECT_EQ(Str(Parser::ReadNextLineFromFile(&disk)), step.line);
        EXPECT_EQ(disk.GetCurPos(), step.position) << step.line;
    }
}

TEST(ParserLines, NullFilesAndCursorsOutsideTheInputReadAsTheEnd) {
    CommonStringRS<50> line("unchanged");
    EXPECT_EQ(Parser::GetNextLine(static_cast<IFile*>(nullptr), line), 0);
    EXPECT_EQ(Str(Parser::ReadNextLineFromFile(nullptr)), "");
    EXPECT_EQ(Str(Parser::ReadNextLineFromMemFile(nullptr)), "");
    CMemoryFile closed;
    EXPECT_EQ(Parser::GetNextLine(&closed, line), 0) << "a memory file without a buffer";

    const char bytes[] = {'a', '\n', 'b'};
    for (int cursor : {-1, 3, 100}) {
        TParseInput input;
        input.bytes = bytes;
        input.size = 3;
        input.cursor = cursor;
        EXPECT_EQ(Parser::GetNextLine(input, line), 0) << "cursor " << cursor;
    }
    EXPECT_EQ(Str(line), "unchanged");
}

TEST(ParserLines, LineStartsGiveMessageLineNumbers) {
    const std::string bytes = "a\r\nb\rc\n\n// note\nd";
    TParseInput input = ParseInputOf(bytes, "test.txt");
    std::vector<int> numbers;
    CommonStringRS<50> line;
    while (Parser::GetNextLine(input, line)) numbers.push_back(Parser::LineNumberAt(input, input.lineStart));
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 6}));
}

TEST(ParserLines, AnInputOverBytesStartsAtTheirStartWithItsName) {
    const std::string bytes = "first\nsecond";
    TParseInput named = ParseInputOf(bytes, "a.txt");
    EXPECT_EQ(named.bytes, bytes.data());
    EXPECT_EQ(named.size, 12);  // "first", LF, "second"
    EXPECT_EQ(named.cursor, 0);
    EXPECT_STREQ(named.name, "a.txt");
    CommonStringRS<50> line;
    ASSERT_EQ(Parser::GetNextLine(named, line), 1);
    EXPECT_EQ(Str(line), "first");
    EXPECT_STREQ(ParseInputOf(bytes, nullptr).name, "") << "messages never print a null name";
    TParseInput empty = ParseInputOf({}, "none");
    EXPECT_EQ(Parser::GetNextLine(empty, line), 0);
}

struct TPropertyCase {
    const char* line;
    int result;
    const char* name;
    const char* value;
    const char* why;
};

TEST(ParserProperties, LinesSplitIntoNameAndValue) {
    const TPropertyCase cases[] = {
        {"a = b:c", 1, "a", "bc", "later separators are dropped from the value"},
        {"a = \"b:c\"", 1, "a", "\"b:c\"", "a quoted separator stays, with the quotes"},
        {"end", 1, "", "end", "a keyword is a value line"},
        {"=", 1, "", "=", "one character is never a property line"},
        {"\"x:y\"", 1, "\"x:y\"", "", "a quoted text with a separator is all name"},
        {"a =    ", 1, "a", "", "a value of only blanks is empty"},
        {"name: v1 = v2", 1, "name", "v1  v2", "blanks around a dropped separator stay"},
        {"a:b", 1, "a", "b", "colon separator"},
        {"key\t=\tval\t", 1, "key", "val", "TABs around the separator"},
        {"x // a=b", 1, "", "x // a=b", "a separator after // does not make a property line"},
        {"", 0, "", "", "an empty line"},
        {"ab", 1, "", "ab", "no separator"},
        {"\"a=b\" = c", 1, "\"a=b\"", "c", "a quoted name keeps its separator"},
    };
    for (const auto& c : cases) {
        CommonStringRS<50> name("stale");
        CommonStringRS<50> value("stale");
        EXPECT_EQ(Parser::ReadPropertyFromString(CommonStringRS<50>(c.line), name, value), c.result) << c.why;
        EXPECT_EQ(Str(name), c.name) << c.why;
        EXPECT_EQ(Str(value), c.value) << c.why;
    }
    EXPECT_EQ(Str(Parser::ExtractName(CommonStringRS<50>("\"b:c\""))), "b:c");
}

TEST(ParserProperties, LongNamesAndValuesAreKeptWhole) {
    const std::string name(70, 'n');
    const std::string value(300, 'v');
    CommonStringRS<50> gotName;
    CommonStringRS<50> gotValue;
    ASSERT_EQ(Parser::ReadPropertyFromString(CommonStringRS<50>((name + " = " + value).c_str()), gotName, gotValue), 1);
    EXPECT_EQ(Str(gotName), name);
    EXPECT_EQ(Str(gotValue), value);
}

struct TListCase {
    const char* value;
    int maxCount;
    Lines parts;  // the first maxCount entries afterwards
    int count;
    const char* why;
};

TEST(ParserLists, ValuesSplitAtSpacesAndCommasOutsideQuotes) {
    const TListCase cases[] = {
        {"1, 2,,3  4", 3, {"1", "2", "3"}, 3, "the walk stops at the limit"},
        {"1, 2,,3  4", 10, {"1", "2", "3", "4", "", "", "", "", "", ""}, 4, "runs count as one"},
        {"", 2, {"", ""}, 0, "empty value"},
        {" , ,", 2, {"", ""}, 0, "only separators"},
        {"\"a b\",c", 3, {"\"a b\"", "c", ""}, 2, "quotes protect and stay"},
        {"a\tb c", 2, {"a\tb", "c"}, 2, "TAB is not a separator"},
        {"a b", 1, {"a"}, 1, "limit of one"},
        {"a", 1, {"a"}, 1, "exactly the limit"},
        {",x,", 2, {"x", ""}, 1, "leading and trailing separators"},
    };
    for (const auto& c : cases) {
        std::vector<CommonStringRS<50>> parts(static_cast<std::size_t>(c.maxCount) + 1, CommonStringRS<50>("junk"));
        int count = -1;
        Parser::GetSubStringsArrayVar(CommonStringRS<50>(c.value), c.maxCount, parts.data(), count);
        EXPECT_EQ(count, c.count) << c.why;
        Lines got;
        for (int i = 0; i < c.maxCount; ++i) got.push_back(Str(parts[static_cast<std::size_t>(i)]));
        EXPECT_EQ(got, c.parts) << c.why;
        EXPECT_EQ(Str(parts.back()), "junk") << "nothing past maxCount is touched: " << c.why;

        std::vector<CommonStringRS<50>> plain(static_cast<std::size_t>(c.maxCount));
        Parser::GetSubStringsArray(CommonStringRS<50>(c.value), c.maxCount, plain.data());
        EXPECT_EQ(Str(plain[0]), c.parts[0]) << c.why;
    }
    int count = -1;
    Parser::GetSubStringsArrayVar(CommonStringRS<50>("a b"), 0, nullptr, count);
    EXPECT_EQ(count, 0);
}

struct TTextCase {
    CommonStringRS<50> (*operation)(const CommonStringRS<50>&);
    const char* text;
    const char* result;
};

TEST(ParserText, QuotesAndTrailingBlanksAreTrimmed) {
    const auto extract = &Parser::ExtractName;
    const auto trim = &Parser::RemoveLastSpaces;
    const TTextCase cases[] = {
        {extract, "\"b:c\"", "b:c"},
        {extract, "abc", "abc"},
        {extract, "\"", ""},
        {extract, "\"abc", "abc"},
        {extract, "abc\"", "abc"},
        {extract, "", ""},
        {extract, "\"\"\"", "\""},
        {trim, "  ", " "},
        {trim, "a \t ", "a"},
        {trim, "\t", "\t"},
        {trim, "", ""},
        {trim, " a", " a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Str(c.operation(CommonStringRS<50>(c.text))), c.result) << "'" << c.text << "'";
    EXPECT_EQ(Str(Parser::RemoveStartEndSymbol(CommonStringRS<50>("(x)"), '(', ')')), "x");
    EXPECT_EQ(Str(Parser::RemoveStartEndSymbol(CommonStringRS<50>("x)("), '(', ')')), "x)(");
}

TEST(ParserNumbers, IntegersReadTheirTrailingDigits) {
    struct TIntCase {
        const char* text;
        int value;
    };
    const TIntCase cases[] = {
        {"42", 42},
        {"-7", -7},
        {"x12", 12},
        {"1-2", 2},
        {"12x", 0},
        {"+5", 5},
        {" 5", 5},
        {"", 0},
        {"-", 0},
        {nullptr, 0},
        {"--5", -5},
        {"0", 0},
        {"-0", 0},
        {"4294967297", 1},          // 2^32 + 1 wraps to 1
        {"2147483648", INT32_MIN},  // 2^31 wraps to the most negative value
    };
    for (const auto& c : cases) EXPECT_EQ(Parser::AToI(c.text), c.value) << (c.text ? c.text : "null");
    EXPECT_FALSE(Parser::AToB("0"));
    EXPECT_TRUE(Parser::AToB("2"));
    EXPECT_FALSE(Parser::AToB("yes")) << "booleans are numbers, not words";
}

TEST(ParserNumbers, FixedPointRoundsHalfAwayFromZero) {
    struct TFixedCase {
        const char* text;
        int shift;
        int fixed8;
        int fixed16;
    };
    // Expected values: value x 256 and x 65536 rounded half away from zero, by hand.
    const TFixedCase cases[] = {
        {"1.5", 0, 384, 98304},
        {"-0.25", 0, -64, -16384},
        {"2", 0, 512, 131072},
        {".5", 0, 128, 32768},
        {"3.", 0, 768, 196608},
        {"1.2.3", 0, 0, 0},
        {"1.5x", 0, 0, 0},
        {"1.50", 0, 384, 98304},
        {"-1", 0, -256, -65536},
        {"", 0, 0, 0},
        {"-", 0, 0, 0},
        {nullptr, 0, 0, 0},
        {"0.001953125", 0, 1, 128},  // exactly half of 1/256 rounds up
        {"-0.001953125", 0, -1, -128},
        {"0.001", 0, 0, 66},      // 0.256 and 65.536
        {"x1.5", 0, 384, 98304},  // the scan stops at the first other character
        {"3", 1, 1536, 393216},   // shifted before scaling
        {"1.5", 1, 768, 196608},
        {"99999999.5", 0, INT32_MAX, INT32_MAX},  // clamped, not undefined
    };
    for (const auto& c : cases) {
        const char* label = c.text ? c.text : "null";
        EXPECT_EQ(Parser::AToF(c.text, c.shift), c.fixed8) << label << " shift " << c.shift;
        EXPECT_EQ(Parser::AToF16(c.text, c.shift), c.fixed16) << label << " shift " << c.shift;
    }
}

TEST_F(ParserFileTest, ReaderLoopOverADataFile) {
    // A small data file the way readers walk one: keywords open and close blocks.
    const std::string bytes =
        "// effects\r\n"
        "effect spark\r\n"
        "  texture = \"Effects\\spark.png\"   // the atlas\r\n"
        "  colours: 255, 128 ,64\r\n"
        "end\r\n";
    CMemoryFile file;
    FillMemoryFile(file, bytes);
    CommonStringRS<50> line, name, value;
    Lines seen;
    while (Parser::GetNextLine(&file, line)) {
        ASSERT_EQ(Parser::ReadPropertyFromString(line, name, value), 1);
        seen.push_back(Str(name) + "|" + Str(value));
    }
    EXPECT_EQ(seen, (Lines{"|effect spark", "texture|\"Effects\\spark.png\"", "colours|255, 128 ,64", "|end"}));
    CommonStringRS<50> parts[4];
    int count = 0;
    Parser::GetSubStringsArrayVar(CommonStringRS<50>("255, 128 ,64"), 4, parts, count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(Parser::AToI(parts[0].GetData()) + Parser::AToI(parts[1].GetData()) + Parser::AToI(parts[2].GetData()),
              255 + 128 + 64);
    EXPECT_EQ(Str(Parser::ExtractName(CommonStringRS<50>("\"Effects\\spark.png\""))), "Effects\\spark.png");
}

}  // namespace

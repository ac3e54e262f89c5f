#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "PakFixtures.h"
#include "core/LocManager2.h"
#include "core/MemFile.h"

using namespace paktest;

namespace {

// Row 1: ids (the third with a blank before it); row 2: display names; then texts. Rows end in
// CR LF or LF, the last one without a line end. "\\n" here is a backslash and an n in the file.
const std::string kCsv =
    "Key,enUS,deDE, frFR\r\n"
    ",English,Deutsch,Francais\r\n"
    "ID_Hello,Hello,Hallo,Bonjour\r\n"
    "ID_Quoted,\"a, b\",\"x \"\"y\"\" z\",q\n"
    "ID_Escape,line1\\nline2,tab\\there,back\\xslash\n"
    "  ID_Trim  ,  padded text  ,\t,\n"
    "ID_Dup,first,erst\n"
    ",orphan text,waise\n"
    "ID_Short\n"
    "ID_Multi,\"two\nlines,\\tend \",\"ab\"cd\n"
    "ID_Plain,say \"hi\",\n"
    "ID_Dup,second,zweit";

void LoadInto(CMemoryFile& f, const std::string& text) {
    void* block = std::malloc(text.size() + 1);
    std::memcpy(block, text.data(), text.size());
    ASSERT_EQ(f.Attach(block, static_cast<int>(text.size())), 1);
}

std::string S(const CommonString& s) { return s.GetDataConst() ? s.GetDataConst() : ""; }

class LocManager2Test : public ::testing::Test {
protected:
    void SetUp() override { LoadInto(csv, kCsv); }

    CPakTestGame game;
    CLocManager2 loc{&game};
    CMemoryFile csv;
};

TEST_F(LocManager2Test, ReadsTheHeaderRowsAsTheyStand) {
    ASSERT_EQ(loc.ReadLanguageIDs(&csv), 1);
    EXPECT_EQ(loc.GetLanguageCount(), 3);
    EXPECT_EQ(S(loc.GetLangID(0)), "enUS");
    EXPECT_EQ(S(loc.GetLangID(1)), "deDE");
    EXPECT_EQ(S(loc.GetLangID(2)), " frFR") << "header cells are not trimmed";
    EXPECT_EQ(S(loc.GetLangDisplayName(1)), "Deutsch");
    EXPECT_EQ(S(loc.GetLangID(-1)), "");
    EXPECT_EQ(S(loc.GetLangID(3)), "");
    EXPECT_EQ(S(loc.GetLangDisplayName(3)), "");
}

TEST_F(LocManager2Test, TextsOfOneColumnFollowTheCsvRules) {
    struct TCase {
        const char* key;
        const char* en;
        const char* de;
        const char* why;
    };
    const TCase cases[] = {
        {"ID_Hello", "Hello", "Hallo", "plain cells"},
        {"ID_Quoted", "a, b", "x \"y\" z", "a quoted comma stays, doubled quotes read as one"},
        {"ID_Escape", "line1\r\nline2", "tab\there", "\\n is CR LF, \\t is TAB"},
        {"ID_Trim", "padded text", "", "keys and texts are trimmed"},
        {"ID_Dup", "second", "zweit", "a key in two rows gives the later row"},
        {"ID_Short", "", "", "a missing column gives an empty text"},
        {"ID_Multi", "two\nlines,\tend", "abcd", "LF inside quotes; text after a closing quote"},
        {"ID_Plain", "say \"hi\"", "", "a quote inside a cell is a character"},
        {"ID_Absent", "", "", "an unknown key"},
        {"", "", "", "the empty key"},
    };
    for (const char* id : {"enUS", "deDE"}) {
        ASSERT_EQ(loc.ReadCSVFile(&csv, id), 1);
        EXPECT_EQ(loc.GetStringCount(), 9) << "every row with a key, the empty-key row left out";
        for (const TCase& c : cases)
            EXPECT_EQ(S(loc.LoadString(c.key)), std::strcmp(id, "enUS") == 0 ? c.en : c.de) << id << ": " << c.why;
    }
    EXPECT_EQ(S(loc.LoadString(nullptr)), "");
}

TEST_F(LocManager2Test, BackslashBeforeAnyOtherCharacterStays) {
    ASSERT_EQ(loc.ReadCSVFile(&csv, "Key"), 1) << "column 0 is never a text column";
    EXPECT_EQ(S(loc.LoadString("ID_Hello")), "");
    CMemoryFile f;
    LoadInto(f, "k,fr\nn,x\nID,back\\xslash\\\n");
    ASSERT_EQ(loc.ReadCSVFile(&f, "fr"), 1);
    EXPECT_EQ(S(loc.LoadString("ID")), "back\\xslash\\");
}

TEST_F(LocManager2Test, AnIdWithoutItsOwnColumnGivesEmptyTexts) {
    ASSERT_EQ(loc.ReadCSVFile(&csv, "frFR"), 1) << "the header cell ' frFR' does not match";
    EXPECT_EQ(loc.GetStringCount(), 9);
    EXPECT_EQ(S(loc.LoadString("ID_Hello")), "");
}

TEST_F(LocManager2Test, OffsetsWalkTheTableInFileOrder) {
    ASSERT_EQ(loc.ReadCSVFile(&csv, "enUS"), 1);
    EXPECT_EQ(S(loc.LoadString("ID_Hello", 1)), "a, b");
    EXPECT_EQ(S(loc.LoadString("ID_Quoted", -1)), "Hello");
    EXPECT_EQ(S(loc.LoadString("ID_Hello", -1)), "") << "before the first row";
    EXPECT_EQ(S(loc.LoadString("ID_Dup", 1)), "") << "the later ID_Dup is the last row";
    EXPECT_EQ(S(loc.LoadString("ID_Absent", 0)), "");
}

TEST_F(LocManager2Test, LanguagesSwitchThroughTheGamesPaks) {
    CScratchDir dir;
    game.m_Paks.m_pCommonPak = game.OpenPak(dir.Path("common.pak"), {Member("Lang\\texts.csv", ToBytes(kCsv))});
    ASSERT_NE(game.m_Paks.m_pCommonPak, nullptr);

    loc.SetCurrentLanguage(0);
    EXPECT_EQ(loc.GetCurrentLanguage(), -1) << "nothing before Init";
    EXPECT_EQ(loc.Init("Lang\\missing.csv", 200), 0);
    ASSERT_EQ(loc.Init("Lang\\texts.csv", 200), 1);
    loc.SetCurrentLanguage(1);
    EXPECT_EQ(loc.GetCurrentLanguage(), 1);
    EXPECT_EQ(S(loc.LoadString("ID_Hello")), "Hallo");
    loc.SetCurrentLanguage(0);
    EXPECT_EQ(S(loc.LoadString("ID_Hello")), "Hello");
    loc.SetCurrentLanguage(3);
    loc.SetCurrentLanguage(-1);
    EXPECT_EQ(loc.GetCurrentLanguage(), 0) << "indexes outside the list do nothing";

    // The file vanishes: the table empties, the language stays.
    delete game.m_Paks.m_pCommonPak;
    game.m_Paks.m_pCommonPak = game.OpenPak(dir.Path("other.pak"), {Member("x", ToBytes("x"))});
    loc.SetCurrentLanguage(1);
    EXPECT_EQ(loc.GetCurrentLanguage(), 0);
    EXPECT_EQ(S(loc.LoadString("ID_Hello")), "");
}

// What makes a table no whole table: named by Init's damage note, which the game refuses to
// start on; the table is still read as the format says.
TEST_F(LocManager2Test, InitNotesATableThatIsEmptyGarbageOrCutShort) {
    struct TCase {
        std::string text;
        const char* damage;  // "" when whole
        const char* why;
    } const cases[] = {
        {kCsv + "\n", "", "the fixture with its last line break"},
        {",enUS\n,English\nID_A,a\n", "", "one language"},
        {",enUS\n,English\nID_A,a\n" + std::string(1, '\0') + "junk", "", "a zero byte after the last line break"},
        {"\x89PNG\r\n\x1a\n this is no picture \x89PNG\r\n",
         "no language id in its first row: the file is empty or not a text table", "bytes of another kind of file"},
        {"Key, \t,\n,English\nID_A,a\n", "no language id in its first row: the file is empty or not a text table",
         "only blanks after the key column"},
        {",enUS\n,English\n", "", "the header rows alone: a table without texts yet"},
        {",enUS\n,English\n,orphan\n", "", "a row without a key is skipped, not damage"},
        {",enUS\n,English\nID_A,a\nID_AchStatueCatsDesc0,Buy the Wooden Kittens in Appl",
         "its last row ends without a line break: the file is cut short", "cut inside the last text"},
        {",enUS\n,English\nID_A,\"a\nb", "its last row ends without a line break: the file is cut short",
         "cut inside a quoted text"},
    };
    CScratchDir dir;
    int n = 0;
    for (const TCase& c : cases) {
        delete game.m_Paks.m_pCommonPak;
        game.m_Paks.m_pCommonPak =
            game.OpenPak(dir.Path("t" + std::to_string(n++) + ".pak"), {Member("Lang\\texts.csv", ToBytes(c.text))});
        ASSERT_NE(game.m_Paks.m_pCommonPak, nullptr) << c.why;
        CLocManager2 table(&game);
        ASSERT_EQ(table.Init("Lang\\texts.csv", 200), 1) << c.why;
        EXPECT_EQ(S(table.GetTableDamage()), c.damage) << c.why;
    }
    EXPECT_EQ(S(DescribeLocCsvDamage("", 0)), "no language id in its first row: the file is empty or not a text table");
}

TEST_F(LocManager2Test, DefaultLanguageWithoutAFile) {
    ASSERT_EQ(loc.InitWithDefuaultLanguage(200), 1);
    EXPECT_EQ(S(loc.GetLangID(0)), "enUS");
    EXPECT_EQ(S(loc.GetLangDisplayName(0)), "English");
    loc.SetCurrentLanguage(0);
    EXPECT_EQ(loc.GetCurrentLanguage(), -1) << "no file to read texts from";
}

TEST_F(LocManager2Test, BufferlessFilesAreRefused) {
    CMemoryFile closed;
    EXPECT_EQ(loc.ReadLanguageIDs(&closed), 0);
    EXPECT_EQ(loc.ReadCSVFile(&closed, "enUS"), 0);
    EXPECT_EQ(loc.ReadLanguageIDs(nullptr), 0);
}

TEST_F(LocManager2Test, AZeroByteEndsTheData) {
    CMemoryFile f;
    LoadInto(f, std::string("k,en\nn,E\nA,one\n", 15) + std::string(1, '\0') + "B,two\n");
    ASSERT_EQ(loc.ReadCSVFile(&f, "en"), 1);
    EXPECT_EQ(S(loc.LoadString("A")), "one");
    EXPECT_EQ(S(loc.LoadString("B")), "");
}

TEST(CropStartEndSpaces, TrimsSpacesAndTabsOnly) {
    struct TCase {
        const char* in;
        const char* out;
    };
    const TCase cases[] = {{"  a b  ", "a b"}, {"\t\tx\t", "x"}, {"   ", ""}, {"", ""}, {"\na\n", "\na\n"}};
    for (const TCase& c : cases) {
        EXPECT_EQ(S(CropStartEndSpaces(CommonString(c.in))), c.out) << "[" << c.in << "]";
        const CommonStringRS<50> rs = CropStartEndSpaces(CommonStringRS<50>(c.in));
        EXPECT_EQ(std::string(rs.GetData() ? rs.GetData() : ""), c.out) << "[" << c.in << "]";
    }
}

}  // namespace

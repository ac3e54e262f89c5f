#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PakFixtures.h"
#include "core/MemFile.h"
#include "core/QuorvanUtils.h"
#include "core/ZipElementFile.h"
#include "core/ZipFile.h"

using namespace paktest;

namespace {

// Reads entry `index` whole; the code of ReadFile in *rc.
Bytes ReadEntry(CBBZipFileReader& reader, int index, int* rc) {
    long length = 0;
    *rc = reader.get_FileLength(index, &length);
    if (*rc != ZipResult::Ok) return {};
    Bytes out(static_cast<std::size_t>(length) + 1);
    *rc = reader.ReadFile(index, out.data());
    out.resize(static_cast<std::size_t>(length));
    return out;
}

Bytes ReadByName(CBBZipFileReader& reader, const char* name) {
    int index = -1;
    EXPECT_EQ(reader.IndexFromName(name, &index), ZipResult::Ok) << name;
    if (index < 0) return {};
    int rc = 0;
    Bytes out = ReadEntry(reader, index, &rc);
    EXPECT_EQ(rc, ZipResult::Ok) << name;
    return out;
}

class ZipFileTest : public ::testing::Test {
protected:
    int InitOnBytes(const Bytes& pak) {
        const std::string path = dir.Path("t.pak");
        EXPECT_TRUE(WriteFile(path, pak));
        return reader.Init(path.c_str());
    }

    CScratchDir dir;
    CPakTestGame game;
    CBBZipFileReader reader{&game};
};

TEST_F(ZipFileTest, EveryMemberOfAWriterPakReadsBackByItsBackslashPath) {
    const std::vector<pakwriter::TPakMember> members = {
        Member("Data\\sfx.txt", ToBytes("click = ui_click.wav\nend\n")),
        Member("i_vga\\ui\\button.png", Pattern(70000, 1), false),
        Member("Lang\\texts.csv", ToBytes(std::string(5000, 'x') + "tail")),
        Member("empty.txt", {}, true),
        Member("empty_stored.txt", {}, false),
        Member("Sound_BB\\music.ogg", Pattern(3000, 2), false),
    };
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak(members)), ZipResult::Ok);

    long count = 0;
    ASSERT_EQ(reader.get_FilesCount(&count), ZipResult::Ok);
    EXPECT_EQ(count, static_cast<long>(members.size()));
    for (std::size_t i = 0; i < members.size(); ++i) {
        SCOPED_TRACE(members[i].name);
        int index = -1;
        ASSERT_EQ(reader.IndexFromName(members[i].name.c_str(), &index), ZipResult::Ok);
        EXPECT_EQ(index, static_cast<int>(i));
        char name[128];
        ASSERT_EQ(reader.get_FileName(index, name), ZipResult::Ok);
        EXPECT_STREQ(name, members[i].name.c_str());
        EXPECT_EQ(ReadByName(reader, name), members[i].data);
    }
    int index = -1;
    EXPECT_EQ(reader.IndexFromName("Data\\missing.txt", &index), ZipResult::NotFound);
    EXPECT_EQ(reader.IndexFromName("data\\sfx.txt", &index), ZipResult::NotFound) << "case-sensitive";
}

TEST_F(ZipFileTest, ForwardSlashNamesAreStoredWithBackslashesAndOnlyFoundThatWay) {
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({Member("Data/arenas.txt", ToBytes("arena 1"))})), ZipResult::Ok);
    int index = -1;
    EXPECT_EQ(reader.IndexFromName("Data/arenas.txt", &index), ZipResult::NotFound);
    EXPECT_EQ(ReadByName(reader, "Data\\arenas.txt"), ToBytes("arena 1"));
}

TEST_F(ZipFileTest, DuplicateNamesFindTheFirstInDirectoryOrder) {
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({Member("a.txt", ToBytes("first")), Member("b.txt", ToBytes("b")),
                                               Member("a.txt", ToBytes("second"))})),
              ZipResult::Ok);
    int index = -1;
    ASSERT_EQ(reader.IndexFromName("a.txt", &index), ZipResult::Ok);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(ReadByName(reader, "a.txt"), ToBytes("first"));
}

// Thousands of look-alike names, a late duplicate and names whose engine hashes are equal ("Ba"
// and "Aq": 66 x 16 + 97 = 65 x 16 + 113) must each find their own first entry; a name sharing a
// present name's hash ("CQ") must not.
TEST_F(ZipFileTest, ManyNamesAndEqualHashesEachFindTheirFirstEntry) {
    std::vector<pakwriter::TPakMember> members;
    for (int i = 0; i < 3000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "i_vga\\set%02d\\frame_%04d.png", i % 40, i);
        members.push_back(Member(name, ToBytes(std::to_string(i)), false));
    }
    members.push_back(Member("Ba", ToBytes("Ba"), false));
    members.push_back(Member("Aq", ToBytes("Aq"), false));
    members.push_back(Member(members[7].name, ToBytes("late duplicate"), false));
    ASSERT_EQ(CBBZipFileReader::CalculateHashCode("Ba"), CBBZipFileReader::CalculateHashCode("Aq"));
    ASSERT_EQ(CBBZipFileReader::CalculateHashCode("Ba"), CBBZipFileReader::CalculateHashCode("CQ"));
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak(members)), ZipResult::Ok);
    for (std::size_t i = 0; i + 1 < members.size(); ++i) {
        int index = -1;
        ASSERT_EQ(reader.IndexFromName(members[i].name.c_str(), &index), ZipResult::Ok) << members[i].name;
        ASSERT_EQ(index, static_cast<int>(i)) << members[i].name;
    }
    int index = -1;
    ASSERT_EQ(reader.IndexFromName(members[7].name.c_str(), &index), ZipResult::Ok);
    EXPECT_EQ(ReadByName(reader, members[7].name.c_str()), ToBytes("7")) << "the first of two wins";
    for (const char* absent : {"CQ", "i_vga\\set07\\frame_0007.PNG", "i_vga/set07/frame_0007.png", "", "B"}) {
        EXPECT_EQ(reader.IndexFromName(absent, &index), ZipResult::NotFound) << absent;
    }
}

// Names of equal engine hash that a look-up must still tell apart: a common folder with the last
// two bytes differing ("set\\Ba", "set\\Aq"), a common extension and last byte with the first two
// differing ("Ba.png", "Aq.png"), and a name that begins another of a different length (1 x 16 +
// (-15) = 1: byte 0xF1 counts as -15). Each pair's other name comes first in the directory, so a
// look-up that took it for a match would answer its index.
TEST_F(ZipFileTest, EqualHashesSharingAFolderAnEndingOrABeginningFindTheirOwnEntry) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"set\\Aq", "set\\Ba"}, {"Aq.png", "Ba.png"}, {"\x01\xf1", "\x01"}, {"\x02", "\x02\xe2"}};
    std::vector<pakwriter::TPakMember> members;
    for (const auto& [first, second] : pairs) {
        ASSERT_EQ(CBBZipFileReader::CalculateHashCode(first.c_str()),
                  CBBZipFileReader::CalculateHashCode(second.c_str()))
            << first;
        members.push_back(Member(first, ToBytes("data of " + first), false));
        members.push_back(Member(second, ToBytes("data of " + second), false));
    }
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak(members)), ZipResult::Ok);
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string& name = members[i].name;
        int index = -1;
        ASSERT_EQ(reader.IndexFromName(name.c_str(), &index), ZipResult::Ok) << i;
        EXPECT_EQ(index, static_cast<int>(i)) << i;
        EXPECT_EQ(ReadByName(reader, name.c_str()), ToBytes("data of " + name)) << i;
    }
    int index = -1;
    for (const char* absent : {"set\\CQ", "CQ.png", "\x01\xf1\xf1x"}) {
        EXPECT_EQ(reader.IndexFromName(absent, &index), ZipResult::NotFound) << absent;
    }
}

TEST_F(ZipFileTest, DataDescriptorEntriesReadWithTheDirectorySizes) {
    auto deflated = Member("Data\\big.txt", ToBytes(std::string(20000, 'q') + "end"));
    deflated.dataDescriptor = true;
    auto stored = Member("Sound_BB\\m.wav", Pattern(777, 3), false);
    stored.dataDescriptor = true;
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({deflated, stored})), ZipResult::Ok);
    EXPECT_EQ(ReadByName(reader, "Data\\big.txt"), deflated.data);
    EXPECT_EQ(ReadByName(reader, "Sound_BB\\m.wav"), stored.data);
}

TEST_F(ZipFileTest, PythonZipfilePakWithForwardSlashesAndDataDescriptorsReads) {
    // Made by an independent writer: Python's zipfile on an unseekable stream writes data
    // descriptors and zero sizes in the local headers.
    const std::string script = dir.Path("mk.py");
    {
        std::ofstream py(script);
        py << "import sys, zipfile\n"
              "class Unseekable:\n"
              "    def __init__(self, f): self.f = f\n"
              "    def write(self, b): return self.f.write(b)\n"
              "    def flush(self): self.f.flush()\n"
              "out, comment = sys.argv[1], sys.argv[2]\n"
              "with open(out, 'wb') as raw:\n"
              "    with zipfile.ZipFile(Unseekable(raw), 'w') as z:\n"
              "        z.writestr(zipfile.ZipInfo('Data/a.txt'), b'alpha\\n' * 500, zipfile.ZIP_DEFLATED)\n"
              "        z.writestr(zipfile.ZipInfo('Sound_BB/m.bin'), bytes(range(256)) * 4, zipfile.ZIP_STORED)\n"
              "        z.writestr(zipfile.ZipInfo('Lang/texts.csv'), b'id,enUS\\n', zipfile.ZIP_DEFLATED)\n"
              "        z.comment = comment.encode()\n";
    }
    const std::string plain = dir.Path("plain.zip");
    const std::string commented = dir.Path("commented.zip");
    ASSERT_EQ(std::system(("python3 " + script + " " + plain + " ''").c_str()), 0);
    ASSERT_EQ(std::system(("python3 " + script + " " + commented + " 'made by python'").c_str()), 0);

    ASSERT_EQ(reader.Init(plain.c_str()), ZipResult::Ok);
    std::string alpha;
    for (int i = 0; i < 500; ++i) alpha += "alpha\n";
    EXPECT_EQ(ReadByName(reader, "Data\\a.txt"), ToBytes(alpha));
    Bytes ramp;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 256; ++i) ramp.push_back(static_cast<std::uint8_t>(i));
    EXPECT_EQ(ReadByName(reader, "Sound_BB\\m.bin"), ramp);
    EXPECT_EQ(ReadByName(reader, "Lang\\texts.csv"), ToBytes("id,enUS\n"));

    CBBZipFileReader second(&game);
    EXPECT_EQ(second.Init(commented.c_str()), ZipResult::OpenFailed) << "a trailing comment hides the end record";
}

TEST_F(ZipFileTest, EmptyPakInitialisesButHoldsNothing) {
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({})), ZipResult::Ok);
    int index = 0;
    long count = 0;
    unsigned char out[4];
    EXPECT_EQ(reader.IndexFromName("a", &index), ZipResult::NoEntries);
    EXPECT_EQ(reader.get_FilesCount(&count), ZipResult::NoFiles);
    EXPECT_EQ(reader.ReadFile(0, out), ZipResult::NoEntries);
    EXPECT_EQ(reader.Close(), ZipResult::BadFormat) << "nothing was held";
}

TEST_F(ZipFileTest, ArgumentAndStateErrors) {
    CBBZipFileReader fresh(&game);
    unsigned char out[16];
    long value = 0;
    int index = 0;
    char name[128];
    EXPECT_EQ(fresh.IndexFromName("a", &index), ZipResult::NoEntries);
    EXPECT_EQ(fresh.ReadFile(0, out), ZipResult::NoEntries);
    EXPECT_EQ(fresh.get_FileLength(0, &value), ZipResult::NoEntries);
    EXPECT_EQ(fresh.Close(), ZipResult::BadFormat);

    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({Member("a", ToBytes("abc")), Member("b", ToBytes("de"))})),
              ZipResult::Ok);
    struct TCase {
        int rc;
        int expected;
        const char* why;
    };
    const TCase cases[] = {
        {reader.IndexFromName(nullptr, &index), ZipResult::NullArgument, "null name"},
        {reader.IndexFromName("a", nullptr), ZipResult::NullArgument, "null index"},
        {reader.ReadFile(0, nullptr), ZipResult::NullArgument, "null buffer"},
        {reader.get_FileLength(0, nullptr), ZipResult::NullArgument, "null length"},
        {reader.get_FileName(0, nullptr), ZipResult::NullArgument, "null name buffer"},
        {reader.get_FilesCount(nullptr), ZipResult::NullArgument, "null count"},
        {reader.ReadFileOffset(0, nullptr), ZipResult::NullArgument, "null offset"},
        {reader.ReadFile(-1, out), ZipResult::BadIndex, "index -1"},
        {reader.ReadFile(2, out), ZipResult::BadIndex, "index == count"},
        {reader.get_FileLength(2, &value), ZipResult::BadIndex, "length past the end"},
        {reader.get_FileName(-1, name), ZipResult::BadIndex, "name before the start"},
        {reader.ReadFileOffset(5, &value), ZipResult::BadIndex, "offset past the end"},
    };
    for (const TCase& c : cases) EXPECT_EQ(c.rc, c.expected) << c.why;

    EXPECT_EQ(reader.Close(), ZipResult::Ok);
    EXPECT_EQ(reader.IndexFromName("a", &index), ZipResult::NoEntries) << "closed";
}

// Damaged paks: each row breaks one thing and names the code Init or ReadFile must give.
struct TDamage {
    const char* why;
    int initCode;
    int readCode;  // of ReadFile(0) when Init succeeds
    void (*damage)(Bytes& pak);
};

const Bytes kStoredContent = ToBytes("stored member content");
const Bytes kDeflatedContent = ToBytes(std::string(4000, 'z') + "deflated tail");

Bytes DamageFixture(bool deflate) {
    return pakwriter::BuildPak(
        {Member("first", deflate ? kDeflatedContent : kStoredContent, deflate), Member("second", ToBytes("2"), false)});
}

std::size_t Central(const Bytes& b, int n) { return FindSignature(b, kZipDirFileSignature, n); }
std::size_t EndRecord(const Bytes& b) { return b.size() - 22; }

const TDamage kInitDamage[] = {
    {"shorter than an end record", ZipResult::OpenFailed, 0, [](Bytes& b) { b.resize(21); }},
    {"truncated pak loses its end record", ZipResult::OpenFailed, 0, [](Bytes& b) { b.erase(b.end() - 7, b.end()); }},
    {"end record signature", ZipResult::OpenFailed, 0, [](Bytes& b) { b[EndRecord(b)] ^= 1; }},
    {"directory larger than the pak", ZipResult::OpenFailed, 0,
     [](Bytes& b) { Put32(b, EndRecord(b) + 12, static_cast<std::uint32_t>(b.size())); }},
    {"directory size 0xFFFFFFFF", ZipResult::OpenFailed, 0, [](Bytes& b) { Put32(b, EndRecord(b) + 12, 0xFFFFFFFFu); }},
    {"central header signature", ZipResult::BadFormat, 0, [](Bytes& b) { b[Central(b, 1)] = 'X'; }},
    {"more entries than the directory holds", ZipResult::BadFormat, 0, [](Bytes& b) { Put16(b, EndRecord(b) + 8, 3); }},
    {"entry count the size cannot hold", ZipResult::BadFormat, 0, [](Bytes& b) { Put16(b, EndRecord(b) + 8, 60000); }},
    {"name runs past the directory", ZipResult::BadFormat, 0, [](Bytes& b) { Put16(b, Central(b, 1) + 28, 100); }},
    {"extra field runs past the directory", ZipResult::BadFormat, 0,
     [](Bytes& b) { Put16(b, Central(b, 1) + 30, 50); }},
    {"comment runs past the directory", ZipResult::BadFormat, 0, [](Bytes& b) { Put16(b, Central(b, 0) + 32, 9000); }},
    {"directory cut short (size shrunk)", ZipResult::BadFormat, 0,
     [](Bytes& b) { Put32(b, EndRecord(b) + 12, Get32(b, EndRecord(b) + 12) - 3); }},
    {"fewer entries than the directory holds", ZipResult::BadFormat, 0,
     [](Bytes& b) { Put16(b, EndRecord(b) + 8, 1); }},
    {"no entries but a directory", ZipResult::BadFormat, 0, [](Bytes& b) { Put16(b, EndRecord(b) + 8, 0); }},
};

TEST_F(ZipFileTest, DamagedDirectoriesFailInitWithTheirCodes) {
    for (const TDamage& d : kInitDamage) {
        SCOPED_TRACE(d.why);
        Bytes pak = DamageFixture(false);
        d.damage(pak);
        CBBZipFileReader r(&game);
        const std::string path = dir.Path("damaged.pak");
        ASSERT_TRUE(WriteFile(path, pak));
        EXPECT_EQ(r.Init(path.c_str()), d.initCode);
        int index = 0;
        EXPECT_EQ(r.IndexFromName("first", &index), ZipResult::NoEntries) << "a failed Init holds nothing";
    }
}

TEST_F(ZipFileTest, NamesOf128BytesOrMoreAreRefused) {
    const std::string longest(127, 'n');
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({Member(longest, ToBytes("ok"))})), ZipResult::Ok);
    EXPECT_EQ(ReadByName(reader, longest.c_str()), ToBytes("ok"));

    CBBZipFileReader r(&game);
    const std::string path = dir.Path("long.pak");
    ASSERT_TRUE(WriteFile(path, pakwriter::BuildPak({Member(std::string(128, 'n'), ToBytes("x"))})));
    EXPECT_EQ(r.Init(path.c_str()), ZipResult::BadFormat);
}

TEST_F(ZipFileTest, MissingPathsFailInit) {
    EXPECT_EQ(reader.Init(""), ZipResult::OpenFailed);
    EXPECT_EQ(reader.Init(dir.Path("absent.pak").c_str()), ZipResult::OpenFailed);
    CBBZipFileReader noGame(nullptr);
    EXPECT_EQ(noGame.Init(dir.Path("absent.pak").c_str()), ZipResult::NoMemory) << "no disk file to be had";
}

const TDamage kReadDamage[] = {
    {"local header signature", ZipResult::Ok, ZipResult::BadFormat, [](Bytes& b) { b[0] = 'Q'; }},
    {"local header offset past the pak", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, Central(b, 0) + 42, 0x7FFFFFF0u); }},
    {"stored sizes disagree (compressed larger)", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, 18, Get32(b, 18) + 5); }},
    {"stored sizes disagree (compressed smaller)", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, 18, Get32(b, 18) - 5); }},
    {"unknown method", ZipResult::Ok, ZipResult::BadMethod, [](Bytes& b) { Put16(b, 8, 12); }},
    {"one stored byte changed", ZipResult::Ok, ZipResult::BadFormat, [](Bytes& b) { b[30 + 5 + 3] ^= 0x20; }},
    {"CRC in the directory changed", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, Central(b, 0) + 16, Get32(b, Central(b, 0) + 16) ^ 1); }},
    {"encrypted (local flag)", ZipResult::Ok, ZipResult::BadMethod, [](Bytes& b) { Put16(b, 6, 1); }},
    {"encrypted (directory flag)", ZipResult::Ok, ZipResult::BadMethod,
     [](Bytes& b) { Put16(b, Central(b, 0) + 8, 1); }},
    {"strong encryption (local flag)", ZipResult::Ok, ZipResult::BadMethod, [](Bytes& b) { Put16(b, 6, 0x41); }},
};

const TDamage kDeflateDamage[] = {
    {"deflate stream cut short", ZipResult::Ok, ZipResult::BadFormat, [](Bytes& b) { Put32(b, 18, Get32(b, 18) / 2); }},
    {"entry longer than the stream gives", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, Central(b, 0) + 24, Get32(b, Central(b, 0) + 24) + 10); }},
    {"entry shorter than the stream gives", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, Central(b, 0) + 24, Get32(b, Central(b, 0) + 24) - 10); }},
    {"compressed size past the end of the pak", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, 18, 0x7FFFFFFFu); }},
    {"garbage instead of deflate data", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { std::memset(&b[30 + 5], 0xFF, 16); }},
    {"CRC in the directory changed", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, Central(b, 0) + 16, Get32(b, Central(b, 0) + 16) ^ 0x80000000u); }},
    {"length over the deflate bound for its packed size", ZipResult::Ok, ZipResult::BadFormat,
     [](Bytes& b) { Put32(b, Central(b, 0) + 24, Get32(b, 18) * 1033); }},
    {"encrypted (directory flag)", ZipResult::Ok, ZipResult::BadMethod,
     [](Bytes& b) { Put16(b, Central(b, 0) + 8, 1); }},
};

void CheckReadDamage(CPakTestGame& game, CScratchDir& dir, const TDamage& d, bool deflate) {
    SCOPED_TRACE(d.why);
    Bytes pak = DamageFixture(deflate);
    d.damage(pak);
    CBBZipFileReader r(&game);
    const std::string path = dir.Path("damaged.pak");
    ASSERT_TRUE(WriteFile(path, pak));
    ASSERT_EQ(r.Init(path.c_str()), d.initCode);
    long length = 0;
    ASSERT_EQ(r.get_FileLength(0, &length), ZipResult::Ok);
    // A guard zone after the entry's length catches any write past it.
    Bytes out(static_cast<std::size_t>(length) + 64, 0xA5);
    EXPECT_EQ(r.ReadFile(0, out.data()), d.readCode);
    for (std::size_t i = static_cast<std::size_t>(length); i < out.size(); ++i) ASSERT_EQ(out[i], 0xA5) << i;
    int rc = 0;
    EXPECT_EQ(ReadEntry(r, 1, &rc), ToBytes("2")) << "the other entry is unharmed";
}

TEST_F(ZipFileTest, DamagedStoredEntriesFailTheirRead) {
    for (const TDamage& d : kReadDamage) CheckReadDamage(game, dir, d, false);
}

TEST_F(ZipFileTest, DamagedDeflatedEntriesFailTheirRead) {
    for (const TDamage& d : kDeflateDamage) CheckReadDamage(game, dir, d, true);
}

// How many times `needle` stands in `text`.
int Occurrences(const std::string& text, const std::string& needle) {
    int n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

TEST_F(ZipFileTest, ADamagedMemberIsToldOnceWithThePakTheMemberAndTheReason) {
    struct TCase {
        const char* why;
        bool deflate;
        void (*damage)(Bytes& pak);
        const char* reason;
    } const cases[] = {
        {"one stored byte changed", false, [](Bytes& b) { b[30 + 5 + 3] ^= 0x20; }, "CRC-32 mismatch"},
        {"the directory's CRC of a deflated member changed", true,
         [](Bytes& b) { Put32(b, Central(b, 0) + 16, Get32(b, Central(b, 0) + 16) ^ 1); }, "CRC-32 mismatch"},
        {"an unknown method", false, [](Bytes& b) { Put16(b, 8, 12); }, "compression method 12 is not supported"},
        {"stored sizes that disagree", false, [](Bytes& b) { Put32(b, 18, Get32(b, 18) - 5); },
         "size mismatch: stored 16 bytes for 21"},
        {"a length no deflate stream of its size gives", true,
         [](Bytes& b) { Put32(b, Central(b, 0) + 24, Get32(b, 18) * 2100); }, "cannot inflate from"},
        {"a deflate stream cut short", true, [](Bytes& b) { Put32(b, 18, Get32(b, 18) / 2); },
         "deflated data does not inflate"},
        {"a member over the size limit", false, [](Bytes& b) { Put32(b, Central(b, 0) + 24, 0x7FFFFFF0u); },
         "more than the 67108864 a member may have"},
        {"a local header past the end", false, [](Bytes& b) { Put32(b, Central(b, 0) + 42, 0x7FFFFFF0u); },
         "local header"},
        {"an encrypted member", false, [](Bytes& b) { Put16(b, 6, 1); }, "is encrypted"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        Bytes pak = DamageFixture(c.deflate);
        c.damage(pak);
        const std::string path = dir.Path("told.pak");
        ASSERT_TRUE(WriteFile(path, pak));
        CBBZipFileReader r(&game);
        ASSERT_EQ(r.Init(path.c_str()), ZipResult::Ok);
        Bytes out(1 << 16);
        ::testing::internal::CaptureStderr();
        EXPECT_NE(r.ValidateEntry(0) == ZipResult::Ok && r.ReadFile(0, out.data()) == ZipResult::Ok, true);
        EXPECT_NE(r.ReadFile(0, out.data()), ZipResult::Ok) << "a second read fails again";
        EXPECT_EQ(r.ReadFile(1, out.data()), ZipResult::Ok) << "the other member is sound";
        const std::string log = ::testing::internal::GetCapturedStderr();
        const std::string line = "pak: " + path + ": first: ";
        EXPECT_EQ(Occurrences(log, line), 1) << log;
        EXPECT_NE(log.find(c.reason), std::string::npos) << log;
        EXPECT_EQ(log.find("second"), std::string::npos) << log;
    }
}

TEST_F(ZipFileTest, AStoredMemberReadInPlaceIsToldWhenItsBytesAreDamaged) {
    Bytes pak = DamageFixture(false);
    pak[30 + 5 + 3] ^= 0x20;
    const std::string path = dir.Path("common.pak");
    ASSERT_TRUE(WriteFile(path, pak));
    game.m_Paks.m_pCommonPak = new CBBZipFileReader(&game);
    ASSERT_EQ(game.m_Paks.m_pCommonPak->Init(path.c_str()), ZipResult::Ok);
    ::testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 2; ++attempt) {
        CZipElementFile member;
        EXPECT_EQ(member.Open(&game, "first", FileMode::Read), 0);
    }
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Occurrences(log, "pak: " + path + ": first: CRC-32 mismatch"), 1) << log;
}

TEST_F(ZipFileTest, AFailedInitSaysWhatIsWrongWithThePak) {
    struct TCase {
        const char* why;
        void (*make)(Bytes& pak);  // null: no file at all
        const char* reason;
    } const cases[] = {
        {"no file", nullptr, "is missing"},
        {"an empty file", [](Bytes& b) { b.clear(); }, "is empty"},
        {"shorter than an end record", [](Bytes& b) { b.resize(21); }, "is truncated: 21 bytes are too few"},
        {"the end record cut off", [](Bytes& b) { b.erase(b.end() - 7, b.end()); }, "no zip end record"},
        {"more directory than file before the end record",
         [](Bytes& b) { Put32(b, EndRecord(b) + 12, static_cast<std::uint32_t>(b.size())); },
         "is truncated: its directory"},
        {"a damaged directory", [](Bytes& b) { b[Central(b, 1)] = 'X'; }, "is damaged: its directory"},
        {"an end record that counts too many members", [](Bytes& b) { Put16(b, EndRecord(b) + 8, 60000); },
         "is damaged: its end record counts 60000 members"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string path = dir.Path("broken.pak");
        std::filesystem::remove(path);
        if (c.make != nullptr) {
            Bytes pak = DamageFixture(false);
            c.make(pak);
            ASSERT_TRUE(WriteFile(path, pak));
        }
        CBBZipFileReader r(&game);
        ::testing::internal::CaptureStderr();
        EXPECT_NE(r.Init(path.c_str()), ZipResult::Ok);
        const std::string log = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(r.GetInitFailure().find(c.reason), std::string::npos) << r.GetInitFailure();
        EXPECT_EQ(log, "") << "the owner tells it, once";
    }
    CBBZipFileReader sound(&game);
    ASSERT_EQ(sound.Init(dir.Path("broken.pak").c_str()) == ZipResult::Ok, false);
    ASSERT_TRUE(WriteFile(dir.Path("sound.pak"), DamageFixture(false)));
    ASSERT_EQ(sound.Init(dir.Path("sound.pak").c_str()), ZipResult::Ok);
    EXPECT_EQ(sound.GetInitFailure(), "") << "a success forgets the last failure";
}

TEST_F(ZipFileTest, ReadFileOffsetPointsAtTheStoredBytesInThePak) {
    const Bytes content = Pattern(300, 9);
    const Bytes pak = pakwriter::BuildPak({Member("x\\first", ToBytes("abc")), Member("x\\music", content, false)});
    ASSERT_EQ(InitOnBytes(pak), ZipResult::Ok);
    int index = -1;
    ASSERT_EQ(reader.IndexFromName("x\\music", &index), ZipResult::Ok);
    long offset = -1;
    ASSERT_EQ(reader.ReadFileOffset(index, &offset), ZipResult::Ok);
    ASSERT_GE(offset, 0);
    ASSERT_LE(static_cast<std::size_t>(offset) + content.size(), pak.size());
    EXPECT_EQ(Bytes(pak.begin() + offset, pak.begin() + offset + static_cast<long>(content.size())), content);
}

TEST_F(ZipFileTest, InitOverAMemoryFileReadsLikeTheDisk) {
    const Bytes pak = pakwriter::BuildPak({Member("a\\b", Pattern(5000, 4)), Member("c", ToBytes("cc"), false)});
    auto* mem = new CMemoryFile();
    void* block = std::malloc(pak.size());
    std::memcpy(block, pak.data(), pak.size());
    ASSERT_EQ(mem->Attach(block, static_cast<int>(pak.size())), 1);
    ASSERT_EQ(reader.InitFromFile(mem, "mem.pak"), ZipResult::Ok);
    EXPECT_EQ(ReadByName(reader, "a\\b"), Pattern(5000, 4));
    EXPECT_EQ(ReadByName(reader, "c"), ToBytes("cc"));
}

TEST_F(ZipFileTest, InitAgainDropsTheOldIndex) {
    ASSERT_EQ(InitOnBytes(pakwriter::BuildPak({Member("old", ToBytes("1"))})), ZipResult::Ok);
    const std::string second = dir.Path("second.pak");
    ASSERT_TRUE(WriteFile(second, pakwriter::BuildPak({Member("new", ToBytes("2"))})));
    ASSERT_EQ(reader.Init(second.c_str()), ZipResult::Ok);
    int index = -1;
    EXPECT_EQ(reader.IndexFromName("old", &index), ZipResult::NotFound);
    EXPECT_EQ(ReadByName(reader, "new"), ToBytes("2"));
}

TEST(ZipHash, MatchesTheEngineHashOverSignedCharacters) {
    const char* names[] = {"",
                           "a",
                           "Data\\sfx.txt",
                           "i_vga\\ui\\a_very_long_name_that_wraps_the_hash.png",
                           "\xC3\xA9t\xC3\xA9",
                           "\xFF\x80\x7F"};
    for (const char* n : names) {
        SCOPED_TRACE(n);
        EXPECT_EQ(CBBZipFileReader::CalculateHashCode(n), GetHashCode(n));
        EXPECT_EQ(CBBZipFileReader::CalculateHashCodeLen(n, static_cast<int>(std::strlen(n))), GetHashCode(n));
    }
    // PJW over signed characters, by hand: 'a' = 97; "\xFF" = -1 gives 0xFFFFFFFF & 0x7FFFFFFF
    // after the top nibble is folded: h = 0xFFFFFFFF, g = 0xF0000000, h ^= 0xF0, h &= ~g.
    EXPECT_EQ(CBBZipFileReader::CalculateHashCodeLen("a", 1), 97u);
    EXPECT_EQ(CBBZipFileReader::CalculateHashCodeLen("\xFF", 1), 0x0FFFFF0Fu);
    EXPECT_EQ(CBBZipFileReader::CalculateHashCodeLen("abc", 0), 0u);
}

TEST(ZipDirectoryPath, KeepsTheDirectoryPartOfThePakPath) {
    CPakTestGame game;
    struct TCase {
        const char* path;
        const char* directory;
    };
    const TCase cases[] = {
        {"app/native/assets/_game_bb.pak", "app/native/assets/"}, {"paks\\x.pak", "paks\\"}, {"/abs.pak", "/"}};
    for (const TCase& c : cases) {
        CBBZipFileReader r(&game);
        (void)r.Init(c.path);  // the pak need not exist for its path to be kept
        EXPECT_STREQ(r.GetZipDirectory().GetDataConst(), c.directory) << c.path;
    }
}

}  // namespace

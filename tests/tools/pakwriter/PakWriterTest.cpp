// The pak writer is checked against independent readers: zlib's inflate for the deflated
// streams and Python's zipfile for whole paks (names, methods, flags, comment, CRCs).
#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "pakwriter/PakWriter.h"
#include "testsupport/RunCommand.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

class PakWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("cobble_pakwriter_" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
        std::ofstream py(Path("inspect.py"));
        // Prints one line per member: name|method|flags|size|crc-ok, then the comment. testzip
        // re-reads every member and checks its CRC.
        py << "import sys, zipfile, zlib\n"
              "z = zipfile.ZipFile(sys.argv[1])\n"
              "bad = z.testzip()\n"
              "for i in z.infolist():\n"
              "    data = z.read(i)\n"
              "    print('%s|%d|%d|%d|%08x' % (i.filename, i.compress_type, i.flag_bits, len(data), "
              "zlib.crc32(data)))\n"
              "print('comment=' + z.comment.decode())\n"
              "print('bad=' + str(bad))\n";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    std::string Path(const std::string& leaf) const { return (root / leaf).string(); }

    std::string Inspect(const std::string& pak) {
        return RunCommand("python3 " + Path("inspect.py") + " " + pak + " 2>&1");
    }

    static std::string Line(const std::string& name, int method, int flags, const Bytes& data) {
        char crc[16];
        std::snprintf(crc, sizeof crc, "%08lx", crc32(0L, data.data(), static_cast<uInt>(data.size())));
        return name + "|" + std::to_string(method) + "|" + std::to_string(flags) + "|" + std::to_string(data.size()) +
               "|" + crc + "\n";
    }

    fs::path root;
};

Bytes Inflate(const Bytes& packed, std::size_t expected) {
    Bytes out(expected + 1);
    z_stream zs{};
    EXPECT_EQ(inflateInit2(&zs, -15), Z_OK);
    zs.next_in = const_cast<Bytef*>(packed.data());
    zs.avail_in = static_cast<uInt>(packed.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    inflateEnd(&zs);
    return out;
}

TEST_F(PakWriterTest, DeflateRawIsARawDeflateStream) {
    for (const std::string& text : {std::string(), std::string("a"), std::string(100000, 'r') + "x"}) {
        const Bytes data = ToBytes(text);
        EXPECT_EQ(Inflate(pakwriter::DeflateRaw(data), data.size()), data) << text.size();
    }
}

TEST_F(PakWriterTest, PakReadsBackInAnIndependentZipReader) {
    const Bytes big = ToBytes(std::string(30000, 'b') + "end");
    std::vector<pakwriter::TPakMember> members(5);
    members[0] = {"Data\\sfx.txt", ToBytes("click\n"), true, false, -1};
    members[1] = {"Sound_BB\\music.ogg", big, false, false, -1};
    members[2] = {"dd\\deflated", big, true, true, -1};
    members[3] = {"dd\\stored", ToBytes("stored with descriptor"), false, true, -1};
    members[4] = {"empty", {}, true, false, -1};
    pakwriter::TPakOptions options;
    options.comment = "a note";
    const std::string pak = Path("t.pak");
    ASSERT_TRUE(pakwriter::WriteBytesToFile(pak, pakwriter::BuildPak(members, options)));
    const std::string expected = Line("Data\\sfx.txt", 8, 0, members[0].data) + Line("Sound_BB\\music.ogg", 0, 0, big) +
                                 Line("dd\\deflated", 8, 8, big) + Line("dd\\stored", 0, 8, members[3].data) +
                                 Line("empty", 8, 0, {}) + "comment=a note\nbad=None\n";
    EXPECT_EQ(Inspect(pak), expected);
}

TEST_F(PakWriterTest, DuplicateNamesAndMethodOverridesAreWrittenAsGiven) {
    std::vector<pakwriter::TPakMember> members(3);
    members[0] = {"same", ToBytes("one"), true, false, -1};
    members[1] = {"same", ToBytes("two"), false, false, -1};
    members[2] = {"odd", ToBytes("raw"), true, false, 12};
    const Bytes pak = pakwriter::BuildPak(members);
    // End record: entry count at 8, directory size at 12, directory offset at 16.
    const std::size_t end = pak.size() - 22;
    EXPECT_EQ(pak[end + 8], 3);
    const std::uint32_t dirOffset = pak[end + 16] | (pak[end + 17] << 8) | (pak[end + 18] << 16);
    const std::uint32_t dirSize = pak[end + 12] | (pak[end + 13] << 8) | (pak[end + 14] << 16);
    EXPECT_EQ(dirOffset + dirSize, end) << "the directory ends where the end record begins";
    // The third central header names method 12 over the stored bytes "raw".
    const std::size_t third = dirOffset + (46 + 4) * 2;
    EXPECT_EQ(pak[third + 10], 12);
    EXPECT_EQ(pak[third + 20], 3) << "compressed size";
}

TEST_F(PakWriterTest, NameChecksFollowTheFormatLimits) {
    struct TCase {
        std::size_t count;
        std::size_t longestName;
        pakwriter::EPakNames expected;
        const char* why;
    };
    const TCase cases[] = {
        {0, 0, pakwriter::EPakNames::Empty, "a pak without members"},
        {1, 127, pakwriter::EPakNames::Ok, "the longest name the reader keeps"},
        {3, 128, pakwriter::EPakNames::NameTooLong, "one byte too long for a signed length byte"},
        {65535, 1, pakwriter::EPakNames::Ok, "the most members a 16-bit count holds"},
        {65536, 1, pakwriter::EPakNames::TooManyMembers, "one member too many"},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> names(c.count, "n");
        if (c.count > 0) names[c.count - 1] = std::string(c.longestName, 'x');
        std::size_t offender = 99;
        EXPECT_EQ(pakwriter::CheckPakNames(names, &offender), c.expected) << c.why;
        if (c.expected == pakwriter::EPakNames::NameTooLong) {
            EXPECT_EQ(offender, c.count - 1) << c.why;
        }
    }
}

TEST_F(PakWriterTest, StoredExtensionsAreMatchedWithoutCase) {
    struct TCase {
        const char* name;
        bool stored;
    };
    const TCase cases[] = {
        {"Sound_BB\\startmenu.ogg", true},
        {"i_vga\\ui\\logo.PNG", true},
        {"Data\\sfx.txt", false},
        {"i_vga\\fonts\\sans_b10.fdb", false},
        {"ogg", false},
        {"x.png.txt", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(pakwriter::HasExtension(c.name, pakwriter::kStoredExtensions), c.stored) << c.name;
}

TEST_F(PakWriterTest, SortByNameIsBytewiseAndStable) {
    std::vector<pakwriter::TPakMember> members(5);
    members[0].name = "b";
    members[1].name = "a\\z";
    members[2].name = "B";
    members[3].name = "b";
    members[3].data = ToBytes("second b");
    members[4].name = "\xe9";  // above every ASCII name when bytes compare unsigned
    pakwriter::SortByName(members);
    std::vector<std::string> order;
    for (const auto& m : members) order.push_back(m.name);
    EXPECT_EQ(order, (std::vector<std::string>{"B", "a\\z", "b", "b", "\xe9"}));
    EXPECT_EQ(members[3].data, ToBytes("second b")) << "equal names keep their order";
}

TEST_F(PakWriterTest, ToPakNameTurnsSlashesIntoBackslashes) {
    EXPECT_EQ(pakwriter::ToPakName("Data/ui/main.txt"), "Data\\ui\\main.txt");
    EXPECT_EQ(pakwriter::ToPakName("plain"), "plain");
}

#ifdef PAKWRITER_EXE
TEST_F(PakWriterTest, CommandLineWritesATreeSortedWithStoredMusicAndImages) {
    fs::create_directories(root / "content" / "Data");
    fs::create_directories(root / "content" / "Sound_BB");
    std::ofstream(root / "content" / "Data" / "a.txt") << "alpha";
    std::ofstream(root / "content" / "Sound_BB" / "m.OGG") << "music bytes";
    std::ofstream(root / "content" / "Sound_BB" / "s.wav") << "wave bytes";
    std::ofstream(root / "content" / "logo.png") << "png bytes";
    std::ofstream(root / "extra.bin") << "extra";
    std::ofstream(root / "list.txt") << "# comment\n\n" << Path("extra.bin") << "=Data/renamed.bin\n";
    const std::string pak = Path("out.pak");
    int status = -1;
    RunCommand(std::string(PAKWRITER_EXE) + " -o " + pak + " -C " + Path("content") + " --store-ext .wav . -l " +
                   Path("list.txt"),
               &status);
    ASSERT_EQ(status, 0);
    // Sorted by name across the directory and the list; .ogg and .png stored without asking.
    EXPECT_EQ(Inspect(pak), Line("Data\\a.txt", 8, 0, ToBytes("alpha")) +
                                Line("Data\\renamed.bin", 8, 0, ToBytes("extra")) +
                                Line("Sound_BB\\m.OGG", 0, 0, ToBytes("music bytes")) +
                                Line("Sound_BB\\s.wav", 0, 0, ToBytes("wave bytes")) +
                                Line("logo.png", 0, 0, ToBytes("png bytes")) + "comment=\nbad=None\n");
}

TEST_F(PakWriterTest, CommandLineGivesTheSameBytesWhateverTheInputOrderAndFileTimes) {
    // The same members made in two different orders, a second apart, and named in two orders.
    for (const char* dir : {"one", "two"}) {
        fs::create_directories(root / dir / "sub");
        const bool reversed = std::string(dir) == "two";
        const char* leaves[] = {"sub/z.txt", "a.png", "m.txt"};
        for (int i = 0; i < 3; ++i) std::ofstream(root / dir / leaves[reversed ? 2 - i : i]) << "content " << i % 2;
        fs::last_write_time(root / dir / "a.png",
                            fs::file_time_type::clock::now() - std::chrono::hours(reversed ? 5 : 1));
    }
    int status = -1;
    RunCommand(std::string(PAKWRITER_EXE) + " -o " + Path("one.pak") + " -C " + Path("one") + " .", &status);
    ASSERT_EQ(status, 0);
    RunCommand(std::string(PAKWRITER_EXE) + " -o " + Path("two.pak") + " -C " + Path("two") + " m.txt sub a.png",
               &status);
    ASSERT_EQ(status, 0);
    Bytes one, two;
    ASSERT_TRUE(pakwriter::ReadFileBytes(Path("one.pak"), one));
    ASSERT_TRUE(pakwriter::ReadFileBytes(Path("two.pak"), two));
    EXPECT_EQ(one, two);
}

TEST_F(PakWriterTest, CommandLineRefusesWhatTheFormatCannotHold) {
    std::ofstream(Path("f.txt")) << "x";
    fs::create_directories(root / "empty");
    {
        std::ofstream list(Path("many.txt"));
        for (int i = 0; i <= 65535; ++i) list << Path("f.txt") << "=m" << i << "\n";
    }
    struct TCase {
        std::string args;
        const char* message;
        const char* why;
    };
    const TCase cases[] = {
        {"-C " + Path("empty") + " .", "no input files", "an empty input"},
        {"", "no input files", "no input at all"},
        {Path("f.txt") + "=" + std::string(128, 'n'), "member name of 128 bytes", "a name the reader cannot keep"},
        {"-l " + Path("many.txt"), "65536 members", "a member count the end record cannot hold"},
    };
    for (const TCase& c : cases) {
        int status = -1;
        const std::string pak = Path("refused.pak");
        const std::string err = RunCommand(std::string(PAKWRITER_EXE) + " -o " + pak + " " + c.args + " 2>&1", &status);
        EXPECT_EQ(status, 1) << c.why;
        EXPECT_NE(err.find(c.message), std::string::npos) << c.why << ": " << err;
        EXPECT_FALSE(fs::exists(pak)) << c.why;
    }
    int status = -1;
    RunCommand(std::string(PAKWRITER_EXE) + " -o " + Path("ok.pak") + " " + Path("f.txt") + "=" + std::string(127, 'n'),
               &status);
    EXPECT_EQ(status, 0) << "127 bytes is the longest name allowed";
}

TEST_F(PakWriterTest, CommandLineWritesTheAwkwardForms) {
    std::ofstream(Path("f.txt")) << "forward";
    const std::string pak = Path("odd.pak");
    int status = -1;
    RunCommand(std::string(PAKWRITER_EXE) + " -o " + pak + " --forward-slashes --data-descriptor --comment hello " +
                   Path("f.txt") + "=Data/f.txt " + Path("f.txt") + "=Data/f.txt",
               &status);
    ASSERT_EQ(status, 0);
    const std::string line = Line("Data/f.txt", 8, 8, ToBytes("forward"));
    EXPECT_EQ(Inspect(pak), line + line + "comment=hello\nbad=None\n");

    const std::string cut = Path("cut.pak");
    RunCommand(std::string(PAKWRITER_EXE) + " -o " + cut + " --truncate 40 " + Path("f.txt") + "=x", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(fs::file_size(cut), 40u);
}

TEST_F(PakWriterTest, CommandLineErrorsAndHelp) {
    std::ofstream(Path("f.txt")) << "x";
    struct TCase {
        std::string args;
        int status;
        const char* why;
    };
    const TCase cases[] = {
        {"--help", 0, "help"},
        {Path("f.txt"), 2, "no output"},
        {"-o " + Path("x.pak") + " --bogus", 2, "unknown option"},
        {"-o " + Path("x.pak") + " --truncate -3", 2, "bad byte count"},
        {"-o " + Path("x.pak") + " " + Path("missing.txt"), 1, "missing input"},
        {"-o " + Path("no/such/dir/x.pak") + " " + Path("f.txt"), 1, "unwritable output"},
    };
    for (const TCase& c : cases) {
        int status = -1;
        const std::string out = RunCommand(std::string(PAKWRITER_EXE) + " " + c.args + " 2>/dev/null", &status);
        EXPECT_EQ(status, c.status) << c.why;
        if (c.status == 0) {
            EXPECT_NE(out.find("Usage: pakwriter -o OUT.pak"), std::string::npos);
        }
    }
}
#endif

}  // namespace

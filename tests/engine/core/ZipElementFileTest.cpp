#include <gtest/gtest.h>

#include <string>

#include "PakFixtures.h"
#include "core/ZipElementFile.h"

using namespace paktest;

namespace {

class ZipElementFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        pakPath = dir.Path("common.pak");
        // The music member sits between two others, so a read past either of its ends would
        // pick up their bytes.
        game.m_Paks.m_pCommonPak =
            game.OpenPak(pakPath, {Member("before", Pattern(100, 1), false),
                                   Member("Sound_BB\\music.ogg", music, false), Member("after", Pattern(100, 2), false),
                                   Member("Data\\packed.txt", ToBytes(std::string(500, 'p')))});
        ASSERT_NE(game.m_Paks.m_pCommonPak, nullptr);
        ASSERT_EQ(member.Open(&game, "Sound_BB\\music.ogg", FileMode::Read), 1);
    }

    Bytes Read(int count) {
        Bytes out(static_cast<std::size_t>(count) + 16, 0);
        const int n = member.ReadData(out.data(), count);
        EXPECT_GE(n, 0);
        out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return out;
    }

    Bytes Slice(std::size_t from, std::size_t to) const { return Bytes(music.begin() + from, music.begin() + to); }

    CScratchDir dir;
    CPakTestGame game;
    std::string pakPath;
    const Bytes music = Pattern(1000, 7);
    CZipElementFile member;
};

TEST_F(ZipElementFileTest, ReadsTheStoredMemberInPlaceAndStopsAtItsEnd) {
    EXPECT_TRUE(member.IsOpened());
    EXPECT_EQ(member.GetSize(), 1000);
    EXPECT_EQ(Read(600), Slice(0, 600));
    EXPECT_EQ(member.GetCurPos(), 600);
    EXPECT_EQ(Read(600), Slice(600, 1000)) << "only the bytes up to the member's end";
    EXPECT_EQ(Read(10), Bytes{}) << "0 at the end";
}

TEST_F(ZipElementFileTest, SeeksCountInsideTheMemberAndAreClampedToIt) {
    struct TCase {
        long offset;
        int mode;
        long expected;
        const char* why;
    };
    const TCase cases[] = {
        {-4, FileSeek::End, 996, "a negative offset counts back from the end"},
        {250, FileSeek::Start, 250, "from the start"},
        {-50, FileSeek::Current, 200, "back from the current position"},
        {5000, FileSeek::Start, 1000, "past the end stops at the end"},
        {-5000, FileSeek::Current, 0, "before the start stops at the start"},
        {10, FileSeek::End, 1000, "a positive end offset would pass the end"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(member.Seek(c.offset, c.mode), 1) << c.why;
        EXPECT_EQ(member.GetCurPos(), c.expected) << c.why;
        const std::size_t from = static_cast<std::size_t>(c.expected);
        EXPECT_EQ(Read(4), Slice(from, std::min<std::size_t>(from + 4, 1000))) << c.why;
        ASSERT_EQ(member.Seek(c.expected, FileSeek::Start), 1);
    }
}

TEST_F(ZipElementFileTest, TypedReadsAndRefusedWrites) {
    ASSERT_EQ(member.Seek(-2, FileSeek::End), 1);
    int value = 0;
    EXPECT_EQ(member.ReadInt(&value), 2) << "two bytes left";
    EXPECT_EQ(member.WriteInt(42), 0);
    EXPECT_EQ(member.WriteData("abc", 3), 0);
    EXPECT_EQ(member.Delete(pakPath.c_str()), -1);
    member.Close();
    EXPECT_EQ(ReadFile(pakPath),
              pakwriter::BuildPak({Member("before", Pattern(100, 1), false),
                                   Member("Sound_BB\\music.ogg", music, false), Member("after", Pattern(100, 2), false),
                                   Member("Data\\packed.txt", ToBytes(std::string(500, 'p')))}))
        << "the pak is unchanged";
}

TEST_F(ZipElementFileTest, ClosedMemberAnswersWithFailureValues) {
    member.Close();
    unsigned char b = 0;
    EXPECT_FALSE(member.IsOpened());
    EXPECT_EQ(member.GetSize(), 0);
    EXPECT_EQ(member.ReadData(&b, 1), -1);
    EXPECT_EQ(member.ReadByte(&b), -1);
    EXPECT_EQ(member.Seek(0, FileSeek::Start), 0);
}

TEST_F(ZipElementFileTest, OpenRules) {
    CZipElementFile f;
    EXPECT_EQ(f.Open(&game, "Sound_BB\\music.ogg", FileMode::Read | FileMode::Exist), 1);
    EXPECT_FALSE(f.IsOpened()) << "an existence test opens nothing";
    EXPECT_EQ(f.Open(&game, "Sound_BB/music.ogg", FileMode::Read), 0);
    EXPECT_EQ(f.Open(&game, "Data\\packed.txt", FileMode::Read), 0) << "a deflated member cannot be read in place";
    EXPECT_FALSE(f.IsOpened());

    game.m_Paks.m_bPakMode = false;
    EXPECT_EQ(f.Open(&game, "before", FileMode::Read), 1) << "the pak mode is not consulted";
    delete game.m_Paks.m_pCommonPak;
    game.m_Paks.m_pCommonPak = nullptr;
    EXPECT_EQ(f.Open(&game, "before", FileMode::Read), 0) << "no common pak, no member file";
}

TEST_F(ZipElementFileTest, MembersOfTheOptionalPakOpenThroughItsOwnPath) {
    const std::string optional = dir.Path("extra.pak");
    ASSERT_TRUE(WriteFile(optional, pakwriter::BuildPak({Member("Sound_BB\\extra.wav", ToBytes("RIFFdata"), false)})));
    ASSERT_NE(game.SetOptionalPak(optional), nullptr);
    CZipElementFile f;
    ASSERT_EQ(f.Open(&game, "Sound_BB\\extra.wav", FileMode::Read), 1);
    char out[16] = {};
    EXPECT_EQ(f.ReadData(out, 16), 8);
    EXPECT_EQ(std::string(out, 8), "RIFFdata");
}

TEST_F(ZipElementFileTest, AMemberClaimingToRunPastThePakIsRefused) {
    const std::string path = dir.Path("lying.pak");
    Bytes pak = pakwriter::BuildPak({Member("m", Pattern(64, 3), false)});
    const std::size_t central = FindSignature(pak, kZipDirFileSignature);
    Put32(pak, central + 20, 1u << 20);  // compressed and uncompressed size: 1 MiB
    Put32(pak, central + 24, 1u << 20);
    ASSERT_TRUE(WriteFile(path, pak));
    ASSERT_NE(game.SetOptionalPak(path), nullptr);
    CZipElementFile f;
    EXPECT_EQ(f.Open(&game, "m", FileMode::Read), 0);
}

TEST_F(ZipElementFileTest, AMemberWhoseBytesDoNotMatchTheirCrcIsRefusedAtOpen) {
    struct TCase {
        const char* why;
        std::size_t fromData;  // the byte changed, counted from the member's first byte
    };
    const TCase cases[] = {{"first byte", 0}, {"a byte in the middle", 20000}, {"last byte", 39999}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string name = "Sound_BB\\long.ogg";
        Bytes pak = pakwriter::BuildPak({Member(name, Pattern(40000, 5), false)});
        pak[30 + name.size() + c.fromData] ^= 0x01;  // the data follows the 30-byte local header and the name
        const std::string path = dir.Path("damaged.pak");
        ASSERT_TRUE(WriteFile(path, pak));
        ASSERT_NE(game.SetOptionalPak(path), nullptr);
        CZipElementFile f;
        EXPECT_EQ(f.Open(&game, name.c_str(), FileMode::Read), 0);
        EXPECT_FALSE(f.IsOpened());
    }
}

}  // namespace

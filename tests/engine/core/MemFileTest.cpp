#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "PakFixtures.h"
#include "core/MemFile.h"

using namespace paktest;

namespace {

// A memory file holding a copy of `bytes`.
void Load(CMemoryFile& f, const Bytes& bytes) {
    void* block = std::malloc(bytes.size() ? bytes.size() : 1);
    if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
    ASSERT_EQ(f.Attach(block, static_cast<int>(bytes.size())), 1);
}

const Bytes kTen = ToBytes("0123456789");

TEST(MemFileSeek, MovesByTheMemoryFileRulesAndClampsIntoTheBuffer) {
    struct TCase {
        long start;
        long offset;
        int mode;
        int expected;
        const char* why;
    };
    const TCase cases[] = {
        {0, 3, FileSeek::Start, 3, "from the start"},
        {3, 2, FileSeek::Current, 5, "from the cursor"},
        {0, 4, FileSeek::End, 6, "end counts back by a positive offset"},
        {0, 0, FileSeek::End, 10, "end itself"},
        {0, 7, 0, 7, "no bit counts from the start"},
        {2, 5, FileSeek::Start | FileSeek::End, 5, "start wins over end"},
        {5, 1, FileSeek::Current | FileSeek::End, 6, "current wins over end"},
        {0, 100, FileSeek::Start, 10, "past the end stops at the end"},
        {4, -20, FileSeek::Current, 0, "before the start stops at the start"},
        {0, -5, FileSeek::End, 10, "a negative end offset would pass the end"},
        {0, 30, FileSeek::End, 0, "a large end offset would pass the start"},
    };
    for (const TCase& c : cases) {
        CMemoryFile f;
        Load(f, kTen);
        ASSERT_EQ(f.Seek(c.start, FileSeek::Start), 1);
        EXPECT_EQ(f.Seek(c.offset, c.mode), 1) << c.why;
        EXPECT_EQ(f.GetCurPos(), c.expected) << c.why;
    }
}

TEST(MemFileReadWrite, ReadsWhatIsLeftAndWritesOnlyWhatFitsWhole) {
    CMemoryFile f;
    Load(f, kTen);
    char out[8] = {};
    ASSERT_EQ(f.Seek(6, FileSeek::Start), 1);
    EXPECT_EQ(f.ReadData(out, 5), 4);
    EXPECT_EQ(std::string(out, 4), "6789");
    EXPECT_EQ(f.ReadData(out, 5), 0) << "at the end";
    ASSERT_EQ(f.Seek(50, FileSeek::Start), 1);
    EXPECT_EQ(f.ReadData(out, 1), 0) << "a seek past the end reads nothing";

    ASSERT_EQ(f.Seek(6, FileSeek::Start), 1);
    EXPECT_EQ(f.WriteData("ABCDE", 5), -1);
    EXPECT_EQ(f.GetCurPos(), 6) << "a refused write leaves the cursor";
    EXPECT_EQ(std::string(static_cast<char*>(f.GetBuffer()), 10), "0123456789");
    EXPECT_EQ(f.WriteData("ABCD", 4), 4);
    EXPECT_EQ(std::string(static_cast<char*>(f.GetBuffer()), 10), "012345ABCD");
    EXPECT_EQ(f.WriteByte('x'), -1);
}

TEST(MemFileReadWrite, TypedTransfersAreLittleEndianAndPartialAtTheEnd) {
    CMemoryFile f;
    ASSERT_EQ(f.Create(11), 1);
    EXPECT_EQ(f.WriteInt(0x01020304), 4);
    EXPECT_EQ(f.WriteWord(0xA1B2), 2);
    EXPECT_EQ(f.WriteByte(0x7F), 1);
    EXPECT_EQ(f.WriteUInt(0xDEADBEEFu), 4);
    EXPECT_EQ(f.WriteByte(1), -1) << "full";
    const unsigned char expected[] = {4, 3, 2, 1, 0xB2, 0xA1, 0x7F, 0xEF, 0xBE, 0xAD, 0xDE};
    EXPECT_EQ(std::memcmp(f.GetBuffer(), expected, sizeof expected), 0);

    ASSERT_EQ(f.Seek(0, FileSeek::Start), 1);
    int i = 0;
    unsigned short w = 0;
    unsigned char b = 0;
    unsigned int u = 0;
    EXPECT_EQ(f.ReadInt(&i), 4);
    EXPECT_EQ(i, 0x01020304);
    EXPECT_EQ(f.ReadWord(&w), 2);
    EXPECT_EQ(w, 0xA1B2);
    EXPECT_EQ(f.ReadByte(&b), 1);
    EXPECT_EQ(f.ReadUInt(&u), 4);
    EXPECT_EQ(u, 0xDEADBEEFu);
    ASSERT_EQ(f.Seek(2, FileSeek::End), 1);
    u = 0;
    EXPECT_EQ(f.ReadUInt(&u), 2) << "only two bytes left";
}

TEST(MemFileLifecycle, AttachDetachCreateAndClose) {
    CMemoryFile f;
    EXPECT_FALSE(f.IsOpened());
    EXPECT_EQ(f.IsMemoryFile(), 1);
    EXPECT_EQ(f.CheckCRC(0x1234), 1) << "memory files are not verified";
    Load(f, kTen);
    EXPECT_TRUE(f.IsOpened());
    EXPECT_EQ(f.GetSize(), 10);
    void* block = f.Detach();
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(f.IsOpened());
    EXPECT_EQ(f.GetSize(), 0);
    EXPECT_EQ(std::memcmp(block, "0123456789", 10), 0);
    std::free(block);  // the caller owns a detached block

    ASSERT_EQ(f.Create(0), 1);
    EXPECT_TRUE(f.IsOpened()) << "an empty buffer is still a buffer";
    EXPECT_EQ(f.WriteByte(1), -1);
    f.Close();
    EXPECT_FALSE(f.IsOpened());
    EXPECT_EQ(f.ReadData(&block, 1), 0);
    EXPECT_EQ(f.WriteData("a", 1), -1);
}

class MemFileOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        game.m_Paks.m_pCommonPak = game.OpenPak(
            dir.Path("common.pak"),
            {Member("Data\\common.txt", ToBytes("common")), Member("Data\\both.txt", ToBytes("from common"))});
        game.m_Paks.m_pResolutionPak = game.OpenPak(
            dir.Path("res.pak"),
            {Member("Data\\res.txt", ToBytes("resolution")), Member("Data\\both.txt", ToBytes("from res"))});
        game.m_Paks.m_pOptionalPak = game.OpenPak(dir.Path("opt.pak"), {Member("Data\\opt.txt", ToBytes("optional"))});
        ASSERT_NE(game.m_Paks.m_pCommonPak, nullptr);
        ASSERT_NE(game.m_Paks.m_pResolutionPak, nullptr);
        ASSERT_NE(game.m_Paks.m_pOptionalPak, nullptr);
    }

    std::string OpenText(const char* name) {
        CMemoryFile f;
        if (!f.Open(&game, name, FileMode::Read)) return "<none>";
        return std::string(static_cast<char*>(f.GetBuffer()), static_cast<std::size_t>(f.GetSize()));
    }

    CScratchDir dir;
    CPakTestGame game;
};

TEST_F(MemFileOpenTest, SearchesCommonThenResolutionThenOptionalPak) {
    game.m_Paks.m_bSinglePak = false;
    EXPECT_EQ(OpenText("Data\\common.txt"), "common");
    EXPECT_EQ(OpenText("Data\\both.txt"), "from common");
    EXPECT_EQ(OpenText("Data\\res.txt"), "resolution");
    EXPECT_EQ(OpenText("Data\\opt.txt"), "optional");
    EXPECT_EQ(OpenText("Data/common.txt"), "<none>") << "names are not converted";
    EXPECT_EQ(OpenText("Data\\absent.txt"), "<none>");
}

TEST_F(MemFileOpenTest, SinglePakSwitchSkipsTheResolutionPak) {
    game.m_Paks.m_bSinglePak = true;
    EXPECT_EQ(OpenText("Data\\res.txt"), "<none>");
    EXPECT_EQ(OpenText("Data\\opt.txt"), "optional");
}

TEST_F(MemFileOpenTest, AMissingReaderOnTheRoadEndsTheSearch) {
    game.m_Paks.m_bSinglePak = false;
    delete game.m_Paks.m_pResolutionPak;
    game.m_Paks.m_pResolutionPak = nullptr;
    EXPECT_EQ(OpenText("Data\\common.txt"), "common");
    EXPECT_EQ(OpenText("Data\\opt.txt"), "<none>");
    delete game.m_Paks.m_pCommonPak;
    game.m_Paks.m_pCommonPak = nullptr;
    EXPECT_EQ(OpenText("Data\\common.txt"), "<none>");
}

TEST_F(MemFileOpenTest, ExistenceTestInPakModeLoadsNothing) {
    CMemoryFile f;
    EXPECT_EQ(f.Open(&game, "Data\\common.txt", FileMode::Read | FileMode::Exist), 1);
    EXPECT_FALSE(f.IsOpened());
    EXPECT_EQ(f.Open(&game, "Data\\absent.txt", FileMode::Read | FileMode::Exist), 0);
}

TEST_F(MemFileOpenTest, OffPakModeReadsTheDiskAndTheExistenceTestLoadsTheWholeFile) {
    game.m_Paks.m_bPakMode = false;
    const std::string path = dir.Path("disk.txt");
    ASSERT_TRUE(WriteFile(path, ToBytes("on the disk")));
    CMemoryFile f;
    ASSERT_EQ(f.Open(&game, path.c_str(), FileMode::Read | FileMode::Exist), 1);
    ASSERT_TRUE(f.IsOpened());
    EXPECT_EQ(std::string(static_cast<char*>(f.GetBuffer()), static_cast<std::size_t>(f.GetSize())), "on the disk");
    EXPECT_EQ(f.Open(&game, "Data\\common.txt", FileMode::Read), 0) << "no pak look-up off pak mode";
    EXPECT_FALSE(f.IsOpened());
}

TEST_F(MemFileOpenTest, OpenOnDiskExistenceTestKeepsTheDiskFileUntilClose) {
    const std::string path = dir.Path("kept.txt");
    ASSERT_TRUE(WriteFile(path, ToBytes("x")));
    CMemoryFile f;
    EXPECT_EQ(f.OpenOnDisk(&game, path.c_str(), FileMode::Read | FileMode::Exist), 1);
    EXPECT_FALSE(f.IsOpened());
    EXPECT_EQ(f.OpenOnDisk(&game, dir.Path("absent").c_str(), FileMode::Read), 0);
    EXPECT_EQ(f.OpenOnDisk(nullptr, path.c_str(), FileMode::Read), 0) << "no game, no disk file";
}

TEST_F(MemFileOpenTest, DamagedMemberFailsTheOpenAndLeavesTheFileClosed) {
    const std::string path = dir.Path("bad.pak");
    Bytes pak = pakwriter::BuildPak({Member("bad", ToBytes(std::string(3000, 'b')))});
    Put32(pak, 18, Get32(pak, 18) / 2);  // cut the deflate stream in the local header
    ASSERT_TRUE(WriteFile(path, pak));
    ASSERT_NE(game.SetOptionalPak(path), nullptr);
    CMemoryFile f;
    EXPECT_EQ(f.Open(&game, "bad", FileMode::Read), 0);
    EXPECT_FALSE(f.IsOpened());
}

// Flushes go through a disk file the test makes.
class CFailingDiskMemoryFile : public CMemoryFile {
public:
    explicit CFailingDiskMemoryFile(std::function<IFile*()> makeDiskFile) : makeDiskFile(std::move(makeDiskFile)) {}

protected:
    IFile* CreateDiskFile(IFileHost*) override { return makeDiskFile(); }

private:
    std::function<IFile*()> makeDiskFile;
};

TEST(MemFileFlush, WritesUpToTheCursorAndCreatesTheDirectory) {
    CScratchDir dir;
    CPakTestGame game;
    const std::string path = dir.Path("save/dir/global.opt");
    CMemoryFile f;
    ASSERT_EQ(f.Create(15000), 1);
    ASSERT_EQ(f.WriteData("player data", 11), 11);
    EXPECT_EQ(f.FlushDataToFile(&game, path.c_str()), 1);
    EXPECT_EQ(ReadFile(path), ToBytes("player data"));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(MemFileFlush, NothingToWriteFailsAndLeavesTheOldFile) {
    CScratchDir dir;
    CPakTestGame game;
    const std::string path = dir.Path("global.opt");
    ASSERT_TRUE(WriteFile(path, ToBytes("previous")));
    CMemoryFile f;
    ASSERT_EQ(f.Create(100), 1);
    EXPECT_EQ(f.FlushDataToFile(&game, path.c_str()), 0);
    EXPECT_EQ(ReadFile(path), ToBytes("previous"));
    CMemoryFile closed;
    EXPECT_EQ(closed.FlushDataToFile(&game, path.c_str()), 0);
}

TEST(MemFileFlush, AFailingDiskFailsTheFlushAndKeepsThePreviousFile) {
    struct TCase {
        IFile* (*makeDiskFile)();
        const char* why;
    } const cases[] = {
        {[]() -> IFile* { return new CShortWriteFile(6, false); }, "the write reports the short count"},
        {[]() -> IFile* { return new CShortWriteFile(6, true); }, "the loss shows only on the disk"},
        {[]() -> IFile* { return new CLateFailingCloseFile(); }, "the close reports a late write error"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        CScratchDir dir;
        CPakTestGame game;
        const std::string path = dir.Path("global.opt");
        ASSERT_TRUE(WriteFile(path, ToBytes("previous save")));
        CFailingDiskMemoryFile f(c.makeDiskFile);
        ASSERT_EQ(f.Create(64), 1);
        ASSERT_EQ(f.WriteData("a newer and longer save", 23), 23);
        EXPECT_EQ(f.FlushDataToFile(&game, path.c_str()), 0);
        EXPECT_EQ(ReadFile(path), ToBytes("previous save"));
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    }
}

}  // namespace

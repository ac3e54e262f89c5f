#include "core/iPhoneFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fresh directory per test, removed afterwards.
class DiskFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("cobble-diskfile-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const char* name) const { return (dir_ / name).string(); }

    static void WriteBytes(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

// Bitwise CRC-16/X-25 with the result's bytes exchanged, written from the algorithm's
// description, independent of the engine's routine.
unsigned short ReferenceCrc(const std::string& bytes) {
    if (bytes.empty()) return 0;
    unsigned crc = 0xFFFF;
    for (unsigned char byte : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ (byte >> bit)) & 1) != 0;
            crc >>= 1;
            if (mix) crc ^= 0x8408;
        }
    }
    crc = ~crc & 0xFFFF;
    return static_cast<unsigned short>(((crc >> 8) | (crc << 8)) & 0xFFFF);
}

struct TOpenCase {
    unsigned mode;
    bool exists;                         // "abc" is on the disk before Open
    int opened;                          // Open's result
    int writeResult;                     // WriteData of "XY" after Open (-1: not writable)
    std::optional<std::string> content;  // the file afterwards; nullopt: not on the disk
    const char* why;
};

TEST_F(DiskFileTest, ModeBitsChooseTheStreamMode) {
    const TOpenCase cases[] = {
        {0, false, 0, -1, std::nullopt, "no bits: nothing is touched"},
        {8, false, 0, -1, std::nullopt, "existence bit alone is ignored by the disk file"},
        {8, true, 0, -1, "abc", "existence bit alone does not open an existing file"},
        {1, true, 1, 2, "XY", "write truncates"},
        {5, true, 1, 2, "XY", "write with append creates or truncates"},
        {5, false, 1, 2, "XY", "write with append creates"},
        {2, true, 1, -1, "abc", "read does not write"},
        {3, true, 1, -1, "abc", "read wins over write"},
        {10, true, 1, -1, "abc", "read with existence bit reads"},
        {2, false, 0, -1, std::nullopt, "read of a missing file fails"},
        {4, true, 1, 2, "abcXY", "append alone appends"},
        {6, true, 1, 2, "abcXY", "append overrides read"},
        {4, false, 1, 2, "XY", "append creates a missing file"},
    };
    int row = 0;
    for (const auto& c : cases) {
        const std::string path = PathOf(("case" + std::to_string(row++)).c_str());
        if (c.exists) WriteBytes(path, "abc");
        CiPhoneFile file;
        testing::internal::CaptureStderr();
        EXPECT_EQ(file.Open(nullptr, path.c_str(), c.mode), c.opened) << c.why;
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(file.IsOpened() != 0, c.opened == 1) << c.why;
        EXPECT_EQ(file.WriteData("XY", 2), c.writeResult) << c.why;
        file.Close();
        EXPECT_EQ(file.IsOpened(), 0) << c.why;
        if (c.content) {
            EXPECT_EQ(ReadBytes(path), *c.content) << c.why;
        } else {
            EXPECT_FALSE(fs::exists(path)) << c.why;
        }
    }
}

TEST_F(DiskFileTest, FailedOpenReportsThePathAndTheSystemError) {
    const std::string path = PathOf("missing.dat");
    CiPhoneFile file;
    testing::internal::CaptureStderr();
    EXPECT_EQ(file.Open(nullptr, path.c_str(), FileMode::Read), 0);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed,
              "fopen failed: FileName = '" + path + "'\n" + "(Error #2 generated: 'No such file or directory')\n\n");
    EXPECT_EQ(file.IsOpened(), 0);
}

TEST_F(DiskFileTest, AFileThatMayBeMissingIsNotReportedWhenItIs) {
    const std::string missing = PathOf("missing.dat");
    CiPhoneFile file;
    testing::internal::CaptureStderr();
    EXPECT_EQ(file.Open(nullptr, missing.c_str(), FileMode::Read | FileMode::MayBeMissing), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a missing file is no news";
    testing::internal::CaptureStderr();
    EXPECT_EQ(file.Open(nullptr, PathOf("").c_str(), FileMode::Write | FileMode::MayBeMissing), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "") << "other failures are still reported";
    WriteBytes(missing, "abc");
    EXPECT_EQ(file.Open(nullptr, missing.c_str(), FileMode::Read | FileMode::MayBeMissing), 1);
    EXPECT_EQ(file.Close(), 1);
}

TEST_F(DiskFileTest, CloseReportsWhatTheDiskRefused) {
    CiPhoneFile file;
    // /dev/full takes every write into the stream's buffer and refuses it when it is flushed.
    ASSERT_EQ(file.Open(nullptr, "/dev/full", FileMode::Write | FileMode::Append), 1);
    ASSERT_EQ(file.WriteData("saved", 5), 5) << "buffered: the loss shows only at close";
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.IsOpened(), 0) << "the stream is gone all the same";
    EXPECT_EQ(file.Close(), 1) << "nothing open: nothing lost";
}

TEST_F(DiskFileTest, SeekBitsPickTheOriginInOrder) {
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes.push_back(static_cast<char>(i));
    const std::string path = PathOf("hundred.bin");
    WriteBytes(path, bytes);
    CiPhoneFile file;
    ASSERT_EQ(file.Open(nullptr, path.c_str(), FileMode::Read), 1);

    struct TSeekCase {
        long offset;
        int mode;
        int result;
        int position;
        const char* why;
    };
    const TSeekCase cases[] = {
        {-22, FileSeek::End, 1, 78, "negative offset counts back from the end"},
        {10, FileSeek::Start, 1, 10, "from the start"},
        {5, FileSeek::Current, 1, 15, "from the current position"},
        {-3, FileSeek::Current, 1, 12, "backwards from the current position"},
        {3, 0, 1, 3, "no bit counts from the start"},
        {7, FileSeek::Start | FileSeek::End, 1, 7, "start wins over end"},
        {2, FileSeek::Current | FileSeek::End, 1, 9, "current wins over end"},
        {0, FileSeek::End, 1, 100, "to the end"},
        {-1, FileSeek::Start, 0, 100, "before the start fails and stays put"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(file.Seek(c.offset, c.mode), c.result) << c.why;
        EXPECT_EQ(file.GetCurPos(), c.position) << c.why;
    }
    ASSERT_EQ(file.Seek(-22, FileSeek::End), 1);
    unsigned char value = 0;
    EXPECT_EQ(file.ReadByte(&value), 1);
    EXPECT_EQ(value, 78);
    EXPECT_EQ(file.GetSize(), 100);
    EXPECT_EQ(file.GetCurPos(), 79) << "GetSize keeps the position";
}

TEST_F(DiskFileTest, ClosedFileFailsEveryOperation) {
    CiPhoneFile file;
    int i = 0;
    unsigned u = 0;
    unsigned short w = 0;
    unsigned char b = 0;
    char buffer[4];
    EXPECT_EQ(file.Seek(0, FileSeek::Start), 0);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.GetCurPos(), -1);
    EXPECT_EQ(file.ReadData(buffer, 4), -1);
    EXPECT_EQ(file.WriteData(buffer, 4), -1);
    EXPECT_EQ(file.ReadInt(&i), -1);
    EXPECT_EQ(file.ReadUInt(&u), -1);
    EXPECT_EQ(file.ReadWord(&w), -1);
    EXPECT_EQ(file.ReadByte(&b), -1);
    EXPECT_EQ(file.WriteInt(1), -1);
    EXPECT_EQ(file.WriteUInt(1), -1);
    EXPECT_EQ(file.WriteWord(1), -1);
    EXPECT_EQ(file.WriteByte(1), -1);
    EXPECT_EQ(file.CheckCRC(0), 0) << "a closed file has no bytes to read";
    file.Close();  // closing twice is harmless
    EXPECT_EQ(file.IsOpened(), 0);
}

TEST_F(DiskFileTest, TypedTransfersAreLittleEndianAndShortReadsCountBytes) {
    const std::string path = PathOf("typed.bin");
    {
        CiPhoneFile file;
        ASSERT_EQ(file.Open(nullptr, path.c_str(), FileMode::Write | FileMode::Append), 1);
        EXPECT_EQ(file.WriteInt(0x04030201), 4);
        EXPECT_EQ(file.WriteInt(-2), 4);
        EXPECT_EQ(file.WriteUInt(0xA1B2C3D4u), 4);
        EXPECT_EQ(file.WriteWord(0xBEEF), 2);
        EXPECT_EQ(file.WriteByte(0x7F), 1);
    }
    const std::string expected("\x01\x02\x03\x04\xFE\xFF\xFF\xFF\xD4\xC3\xB2\xA1\xEF\xBE\x7F", 15);
    ASSERT_EQ(ReadBytes(path), expected);

    CiPhoneFile file;
    ASSERT_EQ(file.Open(nullptr, path.c_str(), FileMode::Read), 1);
    EXPECT_EQ(file.GetSize(), 15);
    int i = 0;
    unsigned u = 0;
    unsigned short w = 0;
    unsigned char b = 0;
    EXPECT_EQ(file.ReadInt(&i), 4);
    EXPECT_EQ(i, 0x04030201);
    EXPECT_EQ(file.ReadInt(&i), 4);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(file.ReadUInt(&u), 4);
    EXPECT_EQ(u, 0xA1B2C3D4u);
    EXPECT_EQ(file.ReadWord(&w), 2);
    EXPECT_EQ(w, 0xBEEF);
    EXPECT_EQ(file.ReadByte(&b), 1);
    EXPECT_EQ(b, 0x7F);
    EXPECT_EQ(file.ReadByte(&b), 0) << "the end of the file is not an error";

    ASSERT_EQ(file.Seek(-3, FileSeek::End), 1);
    EXPECT_EQ(file.ReadInt(&i), 3) << "a read that hits the end gives the smaller count";
    char rest[8];
    EXPECT_EQ(file.ReadData(rest, 8), 0);
    EXPECT_EQ(file.ReadData(rest, -1), -1) << "a negative count is refused";
}

TEST_F(DiskFileTest, ReopeningReleasesThePreviousStream) {
    const std::string first = PathOf("first.txt");
    const std::string second = PathOf("second.txt");
    WriteBytes(first, "one");
    WriteBytes(second, "second");
    CiPhoneFile file;
    ASSERT_EQ(file.Open(nullptr, first.c_str(), FileMode::Read), 1);
    ASSERT_EQ(file.Open(nullptr, second.c_str(), FileMode::Read), 1);
    EXPECT_EQ(file.GetSize(), 6);
    EXPECT_EQ(file.Open(nullptr, nullptr, FileMode::Read), 0) << "a null name is refused";
}

TEST_F(DiskFileTest, DeleteRemovesAPathIndependentlyOfTheStream) {
    const std::string path = PathOf("doomed.txt");
    WriteBytes(path, "x");
    CiPhoneFile file;  // never opened
    EXPECT_EQ(file.Delete(path.c_str()), 0);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(file.Delete(path.c_str()), -1) << "a missing path";
    EXPECT_EQ(file.Delete(nullptr), -1);
}

TEST_F(DiskFileTest, CheckCrcCoversTheFirstSizeModulo65536Bytes) {
    std::string big(70000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    struct TCrcCase {
        std::string bytes;
        unsigned short crc;
        const char* why;
    };
    const TCrcCase cases[] = {
        {"123456789", 0x6E90, "the standard check input"},
        {"abc", 0x259E, "a short text"},
        {"", 0, "an empty file sums to 0"},
        {std::string(65536, 'z'), 0, "a multiple of 65536 counts no bytes"},
        {big, ReferenceCrc(big.substr(0, 70000 - 65536)), "70000 bytes count only the first 4464"},
    };
    int row = 0;
    for (const auto& c : cases) {
        const std::string path = PathOf(("crc" + std::to_string(row++)).c_str());
        WriteBytes(path, c.bytes);
        CiPhoneFile file;
        ASSERT_EQ(file.Open(nullptr, path.c_str(), FileMode::Read), 1) << c.why;
        EXPECT_EQ(file.CheckCRC(c.crc), 1) << c.why;
        EXPECT_EQ(file.GetCurPos(), 0) << "back at the start: " << c.why;
        EXPECT_EQ(file.CheckCRC(static_cast<unsigned short>(c.crc ^ 0x0100)), 0) << c.why;
    }
    EXPECT_EQ(ReferenceCrc("123456789"), 0x6E90) << "the reference agrees with the known check value";

    // The check reads from the current position, so a file not at its start comes up short.
    const std::string path = PathOf("crc-mid");
    WriteBytes(path, "123456789");
    CiPhoneFile file;
    ASSERT_EQ(file.Open(nullptr, path.c_str(), FileMode::Read), 1);
    ASSERT_EQ(file.Seek(1, FileSeek::Start), 1);
    EXPECT_EQ(file.CheckCRC(0x6E90), 0);
}

}  // namespace

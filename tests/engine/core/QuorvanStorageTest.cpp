#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PakFixtures.h"
#include "core/MemFile.h"
#include "core/MultiRecordFile.h"
#include "core/QuorvanStorage.h"

using namespace paktest;

namespace {

struct TRecord {
    int id;
    std::string name;
    std::string data;
};

void Add32(Bytes& b, std::int64_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
}

// The file layout written out by hand: count, (size, offset) pairs, then id, name length,
// name and data per block, the first block right after the table.
Bytes RecordFileBytes(const std::vector<TRecord>& records) {
    Bytes b;
    Add32(b, static_cast<std::int64_t>(records.size()));
    std::int64_t offset = 4 + 8 * static_cast<std::int64_t>(records.size());
    for (const TRecord& r : records) {
        Add32(b, static_cast<std::int64_t>(r.data.size()));
        Add32(b, offset);
        offset += 8 + static_cast<std::int64_t>(r.name.size() + r.data.size());
    }
    for (const TRecord& r : records) {
        Add32(b, r.id);
        Add32(b, static_cast<std::int64_t>(r.name.size()));
        b.insert(b.end(), r.name.begin(), r.name.end());
        b.insert(b.end(), r.data.begin(), r.data.end());
    }
    return b;
}

// A memory file whose cursor stands after `text`, as a serializer leaves it.
std::unique_ptr<CMemoryFile> Source(const std::string& text) {
    auto f = std::make_unique<CMemoryFile>();
    EXPECT_EQ(f->Create(static_cast<unsigned>(text.size()) + 32), 1);
    EXPECT_EQ(f->WriteData(text.data(), static_cast<int>(text.size())), static_cast<int>(text.size()));
    return f;
}

std::string Text(IMemFile* f) {
    if (f == nullptr) return "<null>";
    std::string s(static_cast<char*>(f->GetBuffer()), static_cast<std::size_t>(f->GetSize()));
    delete f;
    return s;
}

// CRC-16/X-25 with its bytes exchanged, bit by bit: an independent account of the check sum.
unsigned short Crc16Swapped(const std::uint8_t* p, std::size_t n) {
    if (n == 0) return 0;
    unsigned crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0x8408 : crc >> 1;
    }
    crc = ~crc & 0xFFFF;
    return static_cast<unsigned short>(((crc & 0xFF) << 8) | (crc >> 8));
}

unsigned short ChunkedSum(const Bytes& b) {
    unsigned short sum = 0;
    for (std::size_t at = 0; at < b.size(); at += 4096)
        sum = static_cast<unsigned short>(sum + Crc16Swapped(&b[at], std::min<std::size_t>(4096, b.size() - at)));
    return sum;
}

class StorageTest : public ::testing::Test {
protected:
    CScratchDir dir;
    CPakTestGame game;
    std::string path = dir.Path("saveresume.dat");
    unsigned short crcOfNothing = 0;  // the check sum a missing file has
};

TEST_F(StorageTest, RecordsRoundTripAndTheFileHasTheDocumentedLayout) {
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    EXPECT_EQ(storage.WriteRecord(100, Source("arena round").get(), "Meadow"), 1);
    EXPECT_EQ(storage.WriteRecord(10001, Source("yard state").get(), "Yard 1"), 1);
    EXPECT_EQ(storage.WriteRecord(7, Source("").get(), ""), 1);

    EXPECT_EQ(ReadFile(path),
              RecordFileBytes({{100, "Meadow", "arena round"}, {10001, "Yard 1", "yard state"}, {7, "", ""}}));
    EXPECT_EQ(Text(storage.ReadRecord(100)), "arena round");
    EXPECT_EQ(Text(storage.ReadRecord(10001)), "yard state");
    EXPECT_EQ(Text(storage.ReadRecord(7)), "");
    EXPECT_EQ(Text(storage.ReadRecord(8)), "<null>");
    EXPECT_EQ(storage.IsRecordEmpty(100), 0);
    EXPECT_EQ(storage.IsRecordEmpty(101), 1);
    EXPECT_STREQ(storage.GetRecordName(10001).GetDataConst(), "Yard 1");
    EXPECT_STREQ(storage.GetRecordName(5).GetDataConst(), "EMPTY");
    EXPECT_FALSE(std::filesystem::exists(path + "2")) << "no temporary file is left behind";
}

TEST_F(StorageTest, WritingAnIdAgainReplacesItAndDeleteRemovesIt) {
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    EXPECT_EQ(storage.WriteRecord(5, Source("first").get(), "a"), 1);
    EXPECT_EQ(storage.WriteRecord(6, Source("other").get(), "b"), 1);
    EXPECT_EQ(storage.WriteRecord(5, Source("second data").get(), "c"), 1);
    EXPECT_EQ(ReadFile(path), RecordFileBytes({{6, "b", "other"}, {5, "c", "second data"}}));
    storage.DeleteRecord(6);
    EXPECT_EQ(ReadFile(path), RecordFileBytes({{5, "c", "second data"}}));
    storage.DeleteRecord(5);
    EXPECT_EQ(ReadFile(path), RecordFileBytes({})) << "a file saved with no records holds a count of 0";
}

TEST_F(StorageTest, MissingFileIsAnEmptySet) {
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    EXPECT_EQ(storage.IsRecordEmpty(1), 1);
    EXPECT_EQ(Text(storage.ReadRecord(1)), "<null>");
    EXPECT_FALSE(std::filesystem::exists(path)) << "reading saves nothing";
}

// Malformed files: each opens as an empty set (and nothing is read outside it).
struct TMalformed {
    const char* why;
    Bytes (*make)();
};

Bytes Valid() { return RecordFileBytes({{1, "one", "data one"}, {2, "two", "data two"}}); }

const TMalformed kMalformed[] = {
    {"count 0", [] { return RecordFileBytes({}); }},
    {"count 100",
     [] {
         Bytes b = Valid();
         Put32(b, 0, 100);
         return b;
     }},
    {"count 101",
     [] {
         Bytes b = Valid();
         Put32(b, 0, 101);
         return b;
     }},
    {"negative count",
     [] {
         Bytes b = Valid();
         Put32(b, 0, 0xFFFFFFFFu);
         return b;
     }},
    {"size 0 and offset 0",
     [] {
         Bytes b = Valid();
         Put32(b, 12, 0);
         Put32(b, 16, 0);
         return b;
     }},
    {"negative size",
     [] {
         Bytes b = Valid();
         Put32(b, 4, static_cast<std::uint32_t>(-5));
         return b;
     }},
    {"offset inside the table",
     [] {
         Bytes b = Valid();
         Put32(b, 8, 12);
         return b;
     }},
    {"record runs past the file",
     [] {
         Bytes b = Valid();
         Put32(b, 12, 1000);
         return b;
     }},
    {"offset past the file",
     [] {
         Bytes b = Valid();
         Put32(b, 16, 5000);
         return b;
     }},
    {"name of 99 bytes",
     [] {
         return RecordFileBytes({{1, std::string(99, 'n'), "d"}});
     }},
    {"negative name length",
     [] {
         Bytes b = Valid();
         Put32(b, 20 + 4, 0xFFFFFFFFu);
         return b;
     }},
    {"name runs past the file",
     [] {
         Bytes b = Valid();
         Put32(b, 20 + 4, 60);
         return b;
     }},
    {"table cut short",
     [] {
         Bytes b = Valid();
         b.resize(10);
         return b;
     }},
    {"block cut short",
     [] {
         Bytes b = Valid();
         b.erase(b.end() - 3, b.end());
         return b;
     }},
};

TEST_F(StorageTest, MalformedFilesOpenEmpty) {
    for (const TMalformed& m : kMalformed) {
        SCOPED_TRACE(m.why);
        ASSERT_TRUE(WriteFile(path, m.make()));
        CQuorvanMultiRecordFile file(&game);
        ASSERT_EQ(file.OpenMultiRecordFile(path.c_str(), nullptr), 1);
        EXPECT_EQ(file.IsRecordEmpty(1), 1);
        EXPECT_EQ(file.IsRecordEmpty(2), 1);
        EXPECT_EQ(file.ReadRecord(1), nullptr);
    }
}

TEST_F(StorageTest, NinetyNineRecordsOpenWhole) {
    std::vector<TRecord> records;
    for (int i = 0; i < 99; ++i) records.push_back({i * 3, "r" + std::to_string(i), std::string(i, 'a' + i % 26)});
    ASSERT_TRUE(WriteFile(path, RecordFileBytes(records)));
    CQuorvanMultiRecordFile file(&game);
    ASSERT_EQ(file.OpenMultiRecordFile(path.c_str(), nullptr), 1);
    for (const TRecord& r : records) EXPECT_EQ(Text(file.ReadRecord(r.id)), r.data) << r.id;
    // The set is full: a new id is refused, a present one may be replaced.
    EXPECT_EQ(file.WriteRecord(1000, Source("new").get(), "new"), 0);
    EXPECT_EQ(file.WriteRecord(3, Source("replaced").get(), "r1"), 1);
    ASSERT_EQ(file.CloseMultiRecordFile(nullptr), 1);
    records.erase(records.begin() + 1);
    records.push_back({3, "r1", "replaced"});
    EXPECT_EQ(ReadFile(path), RecordFileBytes(records)) << "untouched records are copied from the old file";
}

TEST_F(StorageTest, NamesTooLongToReadBackAreRefusedOnWrite) {
    CQuorvanMultiRecordFile file(&game);
    ASSERT_EQ(file.OpenMultiRecordFile(path.c_str(), nullptr), 1);
    EXPECT_EQ(file.AddNewRecord(1, Source("x").get(), CommonString(std::string(99, 'n').c_str())), 0);
    EXPECT_EQ(file.AddNewRecord(2, Source("y").get(), CommonString(std::string(98, 'n').c_str())), 1);
    ASSERT_EQ(file.CloseMultiRecordFile(nullptr), 1);
    ASSERT_EQ(file.OpenMultiRecordFile(path.c_str(), nullptr), 1);
    EXPECT_EQ(Text(file.ReadRecord(2)), "y");
}

TEST_F(StorageTest, CheckSumIsVerifiedAtOpenAndStoredAtClose) {
    unsigned short crc = 0;
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), &crc);
    EXPECT_EQ(storage.IsRecordEmpty(1), 1) << "a missing file passes a check sum of 0";
    EXPECT_EQ(storage.WriteRecord(1, Source(std::string(9000, 'c')).get(), "big"), 1);  // spans three 4,096-byte chunks
    EXPECT_EQ(crc, ChunkedSum(ReadFile(path)));
    EXPECT_EQ(crc, GetFileCRC(&game, path.c_str()));
    EXPECT_EQ(Text(storage.ReadRecord(1)), std::string(9000, 'c'));

    crc = static_cast<unsigned short>(crc + 1);
    EXPECT_EQ(storage.IsRecordEmpty(1), 1) << "a mismatch deletes the file";
    EXPECT_FALSE(std::filesystem::exists(path));
}

// A record file whose saves go to a disk that fills up after `budget` bytes.
class CShortDiskRecordFile : public CQuorvanMultiRecordFile {
public:
    CShortDiskRecordFile(IFileHost* game, long budget, bool silent)
        : CQuorvanMultiRecordFile(game), budget(budget), silent(silent) {}
    IFile* CreateDiskFile() override { return new CShortWriteFile(budget, silent); }

private:
    long budget;
    bool silent;
};

class CShortDiskStorage : public CQuorvanStorage {
public:
    CShortDiskStorage(IFileHost* game, long budget, bool silent)
        : CQuorvanStorage(game), budget(budget), silent(silent) {}

protected:
    CQuorvanMultiRecordFile* CreateRecordFile() override { return new CShortDiskRecordFile(nullptr, budget, silent); }

private:
    long budget;
    bool silent;
};

TEST_F(StorageTest, ASaveThatFailsHalfWayLeavesThePreviousFileIntactAndReadable) {
    {
        CQuorvanStorage storage(&game);
        storage.SetPathAndCRC(path.c_str(), nullptr);
        EXPECT_EQ(storage.WriteRecord(100, Source("saved round").get(), "Meadow"), 1);
        EXPECT_EQ(storage.WriteRecord(200, Source("saved yard").get(), "Yard"), 1);
    }
    const Bytes before = ReadFile(path);
    for (const long budget : {0L, 3L, 30L, 60L}) {
        for (const bool silent : {false, true}) {
            SCOPED_TRACE(std::to_string(budget) + (silent ? " silent" : " reported"));
            CShortDiskStorage failing(&game, budget, silent);
            failing.SetPathAndCRC(path.c_str(), nullptr);
            EXPECT_EQ(failing.WriteRecord(100, Source(std::string(500, 'N')).get(), "Meadow"), 0) << "the save failed";
            EXPECT_EQ(ReadFile(path), before);
            EXPECT_FALSE(std::filesystem::exists(path + "2"));
        }
    }
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    EXPECT_EQ(Text(storage.ReadRecord(100)), "saved round");
    EXPECT_EQ(Text(storage.ReadRecord(200)), "saved yard");
}

class CLateFailingRecordFile : public CQuorvanMultiRecordFile {
public:
    using CQuorvanMultiRecordFile::CQuorvanMultiRecordFile;
    IFile* CreateDiskFile() override { return new CLateFailingCloseFile(); }
};

class CLateFailingStorage : public CQuorvanStorage {
public:
    using CQuorvanStorage::CQuorvanStorage;

protected:
    CQuorvanMultiRecordFile* CreateRecordFile() override { return new CLateFailingRecordFile(nullptr); }
};

TEST_F(StorageTest, ASaveWhoseCloseFailsFailsAndKeepsThePreviousFile) {
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    ASSERT_EQ(storage.WriteRecord(100, Source("saved round").get(), "Meadow"), 1);
    const Bytes before = ReadFile(path);
    CLateFailingStorage failing(&game);
    failing.SetPathAndCRC(path.c_str(), nullptr);
    EXPECT_EQ(failing.WriteRecord(100, Source("a newer round").get(), "Meadow"), 0);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + "2"));
}

TEST_F(StorageTest, AFirstSaveMakesTheMissingSaveFolder) {
    const std::string fresh = dir.Path("profiles/slot1/saveresume.dat");
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(fresh.c_str(), nullptr);
    EXPECT_EQ(storage.WriteRecord(100, Source("arena round").get(), "Meadow"), 1);
    EXPECT_EQ(ReadFile(fresh), RecordFileBytes({{100, "Meadow", "arena round"}}));
    EXPECT_EQ(Text(storage.ReadRecord(100)), "arena round");
}

TEST_F(StorageTest, AMissingFileIsNoNews) {
    for (unsigned short* crcPointer : {static_cast<unsigned short*>(nullptr), &crcOfNothing}) {
        SCOPED_TRACE(crcPointer ? "with a check sum" : "without a check sum");
        CQuorvanStorage storage(&game);
        storage.SetPathAndCRC(path.c_str(), crcPointer);
        testing::internal::CaptureStderr();
        EXPECT_EQ(storage.IsRecordEmpty(100), 1);
        EXPECT_STREQ(storage.GetRecordName(100).GetDataConst(), "EMPTY");
        EXPECT_EQ(Text(storage.ReadRecord(100)), "<null>");
        storage.DeleteRecord(100);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
}

TEST_F(StorageTest, AddingNeedsAnOpenSetAndAWholeSource) {
    CQuorvanMultiRecordFile file(&game);
    EXPECT_EQ(file.AddNewRecord(1, Source("x").get(), "n"), 0) << "not open";
    EXPECT_EQ(file.IsRecordEmpty(1), 1);
    EXPECT_STREQ(file.GetRecordName(1).GetDataConst(), "EMPTY");
    ASSERT_EQ(file.OpenMultiRecordFile(path.c_str(), nullptr), 1);
    EXPECT_EQ(file.AddNewRecord(1, nullptr, "n"), 0);
}

TEST_F(StorageTest, StorageWithoutDiskFilesReportsTheFileAsUnopenable) {
    CQuorvanStorage plain(nullptr);  // no game: no disk files at all
    plain.SetPathAndCRC(path.c_str(), nullptr);
    EXPECT_STREQ(plain.GetRecordName(1).GetDataConst(), "...");
    EXPECT_EQ(plain.IsRecordEmpty(1), 1);
    EXPECT_EQ(plain.ReadRecord(1), nullptr);
}

}  // namespace

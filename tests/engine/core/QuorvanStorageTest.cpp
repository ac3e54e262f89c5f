#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PakFixtures.h"
#include "core/MemFile.h"
#include "core/MultiRecordFile.h"
#include "core/QuorvanStorage.h"
#include "core/iPhoneFile.h"
#include "testsupport/SaveFaults.h"

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

// Damaged files: a bad count or a table past the end loses every record, a bad entry or block
// only its own record; the file itself is not touched by an open.
struct TDamaged {
    const char* why;
    Bytes (*make)();
    bool keepsOne, keepsTwo;
};

Bytes Valid() { return RecordFileBytes({{1, "one", "data one"}, {2, "two", "data two"}}); }

const TDamaged kDamaged[] = {
    {"count 100",
     [] {
         Bytes b = Valid();
         Put32(b, 0, 100);
         return b;
     },
     false, false},
    {"count 101",
     [] {
         Bytes b = Valid();
         Put32(b, 0, 101);
         return b;
     },
     false, false},
    {"negative count",
     [] {
         Bytes b = Valid();
         Put32(b, 0, 0xFFFFFFFFu);
         return b;
     },
     false, false},
    {"size 0 and offset 0 in the second entry",
     [] {
         Bytes b = Valid();
         Put32(b, 12, 0);
         Put32(b, 16, 0);
         return b;
     },
     true, false},
    {"negative size in the first entry",
     [] {
         Bytes b = Valid();
         Put32(b, 4, static_cast<std::uint32_t>(-5));
         return b;
     },
     false, true},
    {"first offset inside the table",
     [] {
         Bytes b = Valid();
         Put32(b, 8, 12);
         return b;
     },
     false, true},
    {"second record runs past the file",
     [] {
         Bytes b = Valid();
         Put32(b, 12, 1000);
         return b;
     },
     true, false},
    {"second offset past the file",
     [] {
         Bytes b = Valid();
         Put32(b, 16, 5000);
         return b;
     },
     true, false},
    {"name of 99 bytes",
     [] {
         return RecordFileBytes({{1, std::string(99, 'n'), "d"}});
     },
     false, false},
    {"negative name length in the first block",
     [] {
         Bytes b = Valid();
         Put32(b, 20 + 4, 0xFFFFFFFFu);
         return b;
     },
     false, true},
    {"first name runs past the file",
     [] {
         Bytes b = Valid();
         Put32(b, 20 + 4, 60);
         return b;
     },
     false, true},
    {"two records with one id",
     [] {
         return RecordFileBytes({{1, "one", "data one"}, {1, "two", "data two"}});
     },
     true, false},
    {"table cut short",
     [] {
         Bytes b = Valid();
         b.resize(10);
         return b;
     },
     false, false},
    {"cut inside the count",
     [] {
         return Bytes{1, 0};
     },
     false, false},
    {"an empty file", [] { return Bytes{}; }, false, false},
    {"second block cut short",
     [] {
         Bytes b = Valid();
         b.erase(b.end() - 3, b.end());
         return b;
     },
     true, false},
};

TEST_F(StorageTest, DamagedFilesKeepTheRecordsThatReadWhole) {
    for (const TDamaged& m : kDamaged) {
        SCOPED_TRACE(m.why);
        const Bytes bytes = m.make();
        ASSERT_TRUE(WriteFile(path, bytes));
        CQuorvanMultiRecordFile file(&game);
        ASSERT_EQ(file.OpenMultiRecordFile(path.c_str(), nullptr), 1);
        EXPECT_EQ(file.report.state, ERecordFileState::kDamaged);
        EXPECT_FALSE(file.report.problem.empty());
        EXPECT_EQ(Text(file.ReadRecord(1)), m.keepsOne ? "data one" : "<null>");
        EXPECT_EQ(Text(file.ReadRecord(2)), m.keepsTwo ? "data two" : "<null>");
        file.CloseWithoutSaving();
        EXPECT_EQ(ReadFile(path), bytes) << "an open alone changes nothing";
    }
    // A file saved with no records is whole, not damaged.
    ASSERT_TRUE(WriteFile(path, RecordFileBytes({})));
    CQuorvanMultiRecordFile empty(&game);
    ASSERT_EQ(empty.OpenMultiRecordFile(path.c_str(), nullptr), 1);
    EXPECT_EQ(empty.report.state, ERecordFileState::kWhole);
    EXPECT_EQ(empty.IsRecordEmpty(1), 1);
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

// A disk whose reads of one file fail: its open with `openErrno`, or every read once `readBudget`
// bytes of it were read, as a refused permission or a bad sector does.
struct TReadFaults {
    std::string target;
    int openErrno = 0;
    long readBudget = -1;  // -1: reads never fail
};

class CReadFaultFile : public CiPhoneFile {
public:
    explicit CReadFaultFile(TReadFaults* faults) : faults(faults) {}
    int Open(IFileHost* host, const char* name, unsigned mode) override {
        watched = faults->target == name && (mode & FileMode::Read) != 0;
        if (watched && faults->openErrno != 0) {
            errno = faults->openErrno;
            return 0;
        }
        return CiPhoneFile::Open(host, name, mode);
    }
    int ReadData(void* buffer, int count) override {
        if (watched && faults->readBudget >= 0) {
            if (faults->readBudget < count) {
                faults->readBudget = 0;
                errno = EIO;
                return -1;
            }
            faults->readBudget -= count;
        }
        return CiPhoneFile::ReadData(buffer, count);
    }

private:
    TReadFaults* faults;
    bool watched = false;
};

class CReadFaultRecordFile : public CQuorvanMultiRecordFile {
public:
    CReadFaultRecordFile(IFileHost* game, TReadFaults* faults) : CQuorvanMultiRecordFile(game), faults(faults) {}
    IFile* CreateDiskFile() override { return new CReadFaultFile(faults); }

private:
    TReadFaults* faults;
};

class CReadFaultStorage : public CQuorvanStorage {
public:
    explicit CReadFaultStorage(TReadFaults* faults) : CQuorvanStorage(nullptr), faults(faults) {}

protected:
    CQuorvanMultiRecordFile* CreateRecordFile() override { return new CReadFaultRecordFile(nullptr, faults); }

private:
    TReadFaults* faults;
};

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(StorageTest, AFileThatCannotBeReadRunsEmptyAndIsNeverWrittenOverInThatRun) {
    const Bytes whole = Valid();
    // An open reads the count and table (20 bytes), then each block's head and name (11 bytes
    // each here); a record's data is read after that.
    const struct {
        const char* why;
        int openErrno;
        long readBudget;
    } cases[] = {{"permission denied", EACCES, -1},         {"an I/O error at open", EIO, -1},
                 {"a read error in the count", 0, 2},       {"a read error in the table", 0, 9},
                 {"a read error in a block's head", 0, 24}, {"a read error in a record's data", 0, 44}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(WriteFile(path, whole));
        TReadFaults faults{path, c.openErrno, c.readBudget};
        CReadFaultStorage storage(&faults);
        storage.SetPathAndCRC(path.c_str(), nullptr);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Text(storage.ReadRecord(1)), "<null>") << "the run goes on as if there were no records";
        EXPECT_EQ(storage.WriteRecord(2, Source("a new yard").get(), "two"), 0);
        // The disk mends, the run goes on: still nothing is written over the file.
        faults = TReadFaults{};
        EXPECT_EQ(storage.WriteRecord(3, Source("a round").get(), "three"), 0);
        storage.DeleteRecord(1);
        EXPECT_EQ(Text(storage.ReadRecord(1)), "<null>");
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Occurrences(log, path + ": cannot be read"), 1u) << log;
        EXPECT_NE(log.find("record two (id 2) was not saved"), std::string::npos) << log;
        EXPECT_NE(log.find("record three (id 3) was not saved"), std::string::npos) << log;
        EXPECT_EQ(ReadFile(path), whole);
        EXPECT_EQ(FolderNames(dir.Path("")), std::vector<std::string>{"saveresume.dat"})
            << "nothing kept aside or left";
        // The next run reads every record.
        CQuorvanStorage next(&game);
        next.SetPathAndCRC(path.c_str(), nullptr);
        EXPECT_EQ(Text(next.ReadRecord(1)), "data one");
        EXPECT_EQ(Text(next.ReadRecord(2)), "data two");
    }
}

TEST_F(StorageTest, ADamagedFileIsKeptAsideUnderANumberOfItsOwnAndItsWholeRecordsGoOn) {
    Bytes first = Valid();
    Put32(first, 16, 5000);  // the second entry points past the end
    Bytes second = Valid();
    Put32(second, 0, 100);  // a bad count: nothing can be read
    const struct {
        const Bytes& bytes;
        const char* kept;
        const char* one;
    } runs[] = {{first, ".damaged.1", "data one"}, {second, ".damaged.2", "<null>"}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.kept);
        ASSERT_TRUE(WriteFile(path, run.bytes));
        CQuorvanStorage storage(&game);
        storage.SetPathAndCRC(path.c_str(), nullptr);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Text(storage.ReadRecord(1)), run.one);
        EXPECT_EQ(storage.WriteRecord(7, Source("a later save").get(), "seven"), 1);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Occurrences(log, "it is kept as " + path + run.kept), 1u) << log;
        EXPECT_EQ(ReadFile(path + run.kept), run.bytes);
        EXPECT_EQ(Text(storage.ReadRecord(1)), run.one);
        EXPECT_EQ(Text(storage.ReadRecord(2)), "<null>");
        EXPECT_EQ(Text(storage.ReadRecord(7)), "a later save");
    }
    EXPECT_EQ(ReadFile(path + ".damaged.1"), first) << "the second damaged file did not replace the first";
    EXPECT_FALSE(std::filesystem::exists(path + "2"));
}

TEST_F(StorageTest, ADamagedFileThatCannotBeKeptAsideIsNotWrittenOver) {
    Bytes damaged = Valid();
    Put32(damaged, 16, 5000);
    ASSERT_TRUE(WriteFile(path, damaged));
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    testing::internal::CaptureStderr();
    SetRenameFails(true);
    EXPECT_EQ(storage.WriteRecord(7, Source("a later save").get(), "seven"), 0);
    SetRenameFails(false);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("record seven (id 7) could not be saved: the damaged file could not be kept aside as " + path +
                       ".damaged.1"),
              std::string::npos)
        << log;
    EXPECT_EQ(ReadFile(path), damaged);
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged.1"));
    EXPECT_FALSE(std::filesystem::exists(path + "2"));
}

TEST_F(StorageTest, ARefusedRecordIsNamedAndKeptAsideBeforeItIsDropped) {
    ASSERT_TRUE(WriteFile(path, Valid()));
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(storage.DropDamagedRecord(1, "its body was refused"), 1);
    EXPECT_EQ(storage.DropDamagedRecord(9, "absent"), 0) << "nothing to drop, nothing kept";
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("record one (id 1) was refused (its body was refused); the file as it was is kept as " + path +
                       ".damaged.1"),
              std::string::npos)
        << log;
    EXPECT_EQ(ReadFile(path + ".damaged.1"), Valid());
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged.2"));
    EXPECT_EQ(ReadFile(path), RecordFileBytes({{2, "two", "data two"}}));
}

TEST_F(StorageTest, ATemporaryFileLeftByAnInterruptedSaveIsRemovedOrUsedAtStart) {
    const Bytes older = RecordFileBytes({{1, "one", "older"}});
    const Bytes newer = RecordFileBytes({{1, "one", "newer"}});
    Bytes cut = newer;
    cut.resize(cut.size() - 2);
    const struct {
        const char* why;
        const Bytes* file;  // null: no file under the name
        const Bytes& temp;
        const char* after;
    } cases[] = {{"the file is there: the rename never happened", &older, newer, "older"},
                 {"no file, a whole new one waits", nullptr, newer, "newer"},
                 {"no file, a cut one waits", nullptr, cut, "<null>"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::filesystem::remove(path);
        if (c.file != nullptr) {
            ASSERT_TRUE(WriteFile(path, *c.file));
        }
        ASSERT_TRUE(WriteFile(path + "2", c.temp));
        CQuorvanStorage storage(&game);
        storage.SetPathAndCRC(path.c_str(), nullptr);
        testing::internal::CaptureStderr();
        storage.RecoverAtStart();
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find(path + "2"), std::string::npos) << log;
        EXPECT_FALSE(std::filesystem::exists(path + "2"));
        EXPECT_EQ(Text(storage.ReadRecord(1)), c.after);
    }
}

}  // namespace

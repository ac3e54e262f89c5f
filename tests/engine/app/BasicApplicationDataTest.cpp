#include "app/BasicApplicationData.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestGame.h"
#include "core/MemFile.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/SaveFaults.h"
#include "testsupport/ScratchDir.h"
#include "testsupport/SettingsPartBytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The settings part as the layout table gives it, with settings that differ from every default.
Bytes SettingsPart(const std::string& tag = "BasicDataEnd") { return SettingsPartBytes(TSettingsFixture(), tag); }

void ExpectSettingsOfThePart(const CBasicApplicationData& d) {
    EXPECT_FALSE(d.m_bSoundOn);
    EXPECT_EQ(d.m_nEffectsVolume, 73);
    EXPECT_TRUE(d.m_bMusicOn);
    EXPECT_EQ(d.m_nMusicVolume, 12);
    EXPECT_TRUE(d.m_bSilence);
    EXPECT_EQ(d.m_nOrientationMode, -2);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(d.m_ControlCodes[i], i * 3 - 7) << i;
        EXPECT_EQ(d.m_ControlFlags[i], i % 5 == 1) << i;
    }
}

TEST(BasicApplicationData, FourCharactersPackFirstIntoTheLowestByte) {
    EXPECT_EQ(Convert4CharToInt("APPS"), 0x53505041);
    EXPECT_EQ(Convert4CharToInt("DRVE"), 0x45565244);
    EXPECT_EQ(Convert4CharToInt("APPSLONGER"), 0x53505041) << "only the first four count";
    EXPECT_EQ(Convert4CharToInt("AB"), 0x4241) << "a short text stops at its end";
    EXPECT_EQ(Convert4CharToInt(nullptr), 0);
}

TEST(BasicApplicationData, SettingsPartReadsFromHandMadeBytesAndWritesTheSameBytes) {
    const Bytes golden = SettingsPart();
    CBasicApplicationData data;
    ASSERT_EQ(data.ReadAppDataFromBytes(golden, "golden"), 1);
    ExpectSettingsOfThePart(data);

    CMemoryFile out;
    ASSERT_EQ(out.Create(1000), 1);
    data.m_uBasicVersion = 9;
    ASSERT_EQ(data.Serialize(&out, true), 1);
    EXPECT_EQ(data.m_uBasicVersion, 1u) << "always written as version 1";
    const auto* written = static_cast<const std::uint8_t*>(out.GetBuffer());
    EXPECT_EQ(Bytes(written, written + out.GetCurPos()), golden);
}

TEST(BasicApplicationData, SettingsPartFailsOnAnotherTagOrAnEarlyEnd) {
    CBasicApplicationData data;
    EXPECT_EQ(data.ReadAppDataFromBytes(SettingsPart("BasicDataEnD"), "tag"), 0);
    EXPECT_EQ(data.ReadAppDataFromBytes(SettingsPart("BasicData"), "short tag"), 0);
    const Bytes golden = SettingsPart();
    // Cut in the version, in the controls, in the tag's length and in its text.
    for (std::size_t cut : {std::size_t{2}, std::size_t{100}, golden.size() - 14, golden.size() - 1}) {
        SCOPED_TRACE(cut);
        CBasicApplicationData cutData;
        EXPECT_EQ(cutData.ReadAppDataFromBytes(std::span(golden).first(cut), "cut"), 0);
    }
}

// Raw records expected at fixed offsets: the block as it lies in memory, bools padded to 4.
Bytes RawSettingsRecord() {
    CByteBuilder b;
    b.Raw("APPS").Byte(1).Zeros(3).Int(35).Byte(0).Zeros(3).Int(65).Byte(1).Zeros(3);
    for (int i = 0; i < 32; ++i) b.Int(i == 4 ? 99 : 0);
    for (int i = 0; i < 32; ++i) b.Byte(i == 6 ? 1 : 0);
    b.Int(2).Raw("APPE");
    return b.bytes;
}

void SetRawSettings(CBasicApplicationData& d) {
    d.m_bSoundOn = true;
    d.m_nEffectsVolume = 35;
    d.m_bMusicOn = false;
    d.m_nMusicVolume = 65;
    d.m_bSilence = true;
    d.m_ControlCodes[4] = 99;
    d.m_ControlFlags[6] = true;
    d.m_nOrientationMode = 2;
}

// A derived block of plain data that the raw method copies whole.
class CRawBlockData : public CBasicApplicationData {
public:
    CRawBlockData() {
        m_pDerivedBlockStart = &block.start;
        m_pDerivedBlockEnd = &block.end;
    }
    struct {
        int start = Convert4CharToInt("DRVS");
        int value = 0;
        int end = Convert4CharToInt("DRVE");
    } block;
};

TEST(BasicApplicationData, RawRecordsHoldTheSettingsAtTheirMemoryOffsets) {
    CRawBlockData data;
    SetRawSettings(data);
    data.block.value = 0x01020304;
    CMemoryFile out;
    ASSERT_EQ(out.Create(1000), 1);
    ASSERT_EQ(data.WriteAppData(static_cast<IFile*>(&out)), 1);
    const Bytes expected = CByteBuilder().Raw(RawSettingsRecord()).Raw("DRVS").Int(0x01020304).Raw("DRVE").bytes;
    const auto* written = static_cast<const std::uint8_t*>(out.GetBuffer());
    ASSERT_EQ(Bytes(written, written + out.GetCurPos()), expected);

    CRawBlockData back;
    out.Seek(0, FileSeek::Start);
    ASSERT_EQ(back.ReadAppData(static_cast<IFile*>(&out)), 1);
    EXPECT_EQ(back.m_nEffectsVolume, 35);
    EXPECT_FALSE(back.m_bMusicOn);
    EXPECT_TRUE(back.m_bSilence);
    EXPECT_EQ(back.m_ControlCodes[4], 99);
    EXPECT_TRUE(back.m_ControlFlags[6]);
    EXPECT_EQ(back.m_nOrientationMode, 2);
    EXPECT_EQ(back.block.value, 0x01020304);

    CMemoryFile full;
    ASSERT_EQ(full.Create(static_cast<unsigned>(expected.size() - 1)), 1);
    EXPECT_EQ(data.WriteAppData(static_cast<IFile*>(&full)), 0) << "a write that does not fit fails";
}

TEST(BasicApplicationData, DamagedRawRecordsChangeNothingAndKeepTheSignatures) {
    const Bytes good = CByteBuilder().Raw(RawSettingsRecord()).Raw("DRVS").Int(5).Raw("DRVE").bytes;
    struct TDamage {
        const char* why;
        std::size_t at;  // byte overwritten with 'x'; the size means "cut one byte short"
    } damages[] = {{"start signature", 0},
                   {"end signature", 189},
                   {"derived start", 192},
                   {"derived end", 201},
                   {"cut short", good.size()}};
    for (const TDamage& d : damages) {
        SCOPED_TRACE(d.why);
        Bytes bytes = good;
        if (d.at < bytes.size())
            bytes[d.at] = 'x';
        else
            bytes.pop_back();
        CMemoryFile in;
        void* block = std::malloc(bytes.size());
        std::memcpy(block, bytes.data(), bytes.size());
        in.Attach(block, static_cast<int>(bytes.size()));
        CRawBlockData data;
        data.block.value = 77;
        EXPECT_EQ(data.ReadAppData(static_cast<IFile*>(&in)), 0);
        EXPECT_EQ(data.m_nEffectsVolume, 50) << "settings untouched";
        EXPECT_EQ(data.block.value, 77);
        EXPECT_EQ(data.m_nStartSignature, Convert4CharToInt("APPS"));
        EXPECT_EQ(data.m_nEndSignature, Convert4CharToInt("APPE"));
        EXPECT_EQ(data.block.start, Convert4CharToInt("DRVS"));
        EXPECT_EQ(data.block.end, Convert4CharToInt("DRVE"));
    }
}

// The serializer path with a derived part of `extra` bytes, so a save can be made as large as a
// test needs; `failSerialize` makes the derived part fail.
class CSerializedData : public CBasicApplicationData {
public:
    int GetSerializeMethod() override { return 1; }
    int Serialize(IFile* file, bool writing) override {
        if (!CBasicApplicationData::Serialize(file, writing)) return 0;
        if (failSerialize) return 0;
        int count = static_cast<int>(extra.size());
        if (writing) return file->WriteInt(count) == 4 && file->WriteData(extra.data(), count) == count;
        if (file->ReadInt(&count) != 4 || count < 0 || count > file->GetSize()) return 0;
        extra.resize(static_cast<std::size_t>(count));
        return file->ReadData(extra.data(), count) == count;
    }
    Bytes extra;
    bool failSerialize = false;
};

// How reading one file of the disk goes wrong.
enum class EReadFault { kNone, kPermissionDenied, kReadError };

// A disk file that cannot open, or cannot read, the one file at `target`; every other file is the
// real disk's.
class CUnreadableDiskFile : public CiPhoneFile {
public:
    CUnreadableDiskFile(EReadFault fault, std::string target) : m_Fault(fault), m_Target(std::move(target)) {}
    int Open(IFileHost* game, const char* name, unsigned mode) override {
        m_bTarget = name != nullptr && m_Target == name;
        if (m_bTarget && m_Fault == EReadFault::kPermissionDenied) {
            errno = EACCES;
            return 0;
        }
        return CiPhoneFile::Open(game, name, mode);
    }
    int ReadData(void* buffer, int count) override {
        if (m_bTarget && m_Fault == EReadFault::kReadError) {
            errno = EIO;
            return -1;
        }
        return CiPhoneFile::ReadData(buffer, count);
    }

private:
    EReadFault m_Fault;
    std::string m_Target;
    bool m_bTarget = false;
};

class CSaveGame : public CTestGame {
public:
    explicit CSaveGame(const std::string& saveDir) { m_SaveDir = saveDir; }
    bool CreateApplicationData() override {
        m_pAppData = data = new CSerializedData();
        return true;
    }
    IFile* CreateFileObject() override {
        if (readFault != EReadFault::kNone) return new CUnreadableDiskFile(readFault, m_SaveDir + "global.opt");
        if (writeBudget < 0) return CTestGame::CreateFileObject();
        return new CFailingDiskFile(writeBudget);
    }
    CSerializedData* data = nullptr;
    long writeBudget = -1;  // below 0: the real disk
    EReadFault readFault = EReadFault::kNone;
};

class AppDataFileTest : public ::testing::Test {
protected:
    CScratchDir dir;
    std::string saveDir = dir.Path("data") + "/";
    std::string path = saveDir + "global.opt";

    // A save of the given settings volume and derived bytes through a fresh game.
    void Save(int volume, const Bytes& extra) {
        CSaveGame game(saveDir);
        ASSERT_TRUE(game.CreateApplicationData());
        game.data->m_nEffectsVolume = volume;
        game.data->extra = extra;
        ASSERT_EQ(game.SaveAppData(), 1);
    }
    // What a fresh game loads at start-up.
    void ExpectLoads(int volume, const Bytes& extra) {
        CSaveGame game(saveDir);
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(game.LoadOrCreateDefaultAppData());
        ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(game.m_bAppDataCreatedFresh);
        EXPECT_EQ(game.GetVolume(), volume);
        EXPECT_EQ(game.data->extra, extra);
    }
};

TEST_F(AppDataFileTest, SaveCreatesTheSaveFolderAndLoadReadsItBack) {
    ASSERT_FALSE(std::filesystem::exists(saveDir));
    Save(33, {1, 2, 3});
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    ExpectLoads(33, {1, 2, 3});
}

TEST_F(AppDataFileTest, DataLargerThanTheOldFixedBufferIsSaved) {
    Bytes big(40000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    Save(41, big);
    EXPECT_EQ(ReadAll(path).size(), SettingsPart().size() + 4 + big.size());
    ExpectLoads(41, big);
}

TEST_F(AppDataFileTest, MissingOrDamagedFileLoadsAsFreshDefaults) {
    CSaveGame none(saveDir);
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(none.LoadOrCreateDefaultAppData());
    EXPECT_TRUE(none.m_bAppDataCreatedFresh);

    WriteAll(path, SettingsPart("other"));
    CSaveGame damaged(saveDir);
    ASSERT_TRUE(damaged.LoadOrCreateDefaultAppData());
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(damaged.m_bAppDataCreatedFresh);
    EXPECT_EQ(damaged.GetVolume(), 50);
    EXPECT_NE(log.find("appdata: " + path + ": damaged near byte"), std::string::npos) << log;
}

TEST_F(AppDataFileTest, AFileThatIsThereButCannotBeReadIsNeverSavedOverInThatRun) {
    const struct {
        EReadFault fault;
        const char* why;
    } cases[] = {{EReadFault::kPermissionDenied, "permission denied"}, {EReadFault::kReadError, "a read error"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Save(20, {9, 9});
        const Bytes previous = ReadAll(path);
        {
            CSaveGame game(saveDir);
            game.readFault = c.fault;
            ::testing::internal::CaptureStderr();
            ASSERT_TRUE(game.LoadOrCreateDefaultAppData());
            const std::string log = ::testing::internal::GetCapturedStderr();
            EXPECT_NE(log.find("appdata: " + path + ": cannot be read"), std::string::npos) << log;
            EXPECT_TRUE(game.m_bAppDataCreatedFresh);
            EXPECT_EQ(game.GetVolume(), 50) << "the run goes on with the defaults";
            game.data->m_nEffectsVolume = 90;
            EXPECT_EQ(game.SaveAppData(), 0);
            EXPECT_EQ(game.SaveAppData(), 0) << "nor at a later save of the same run";
        }
        EXPECT_EQ(ReadAll(path), previous);
        for (const auto& entry : std::filesystem::directory_iterator(saveDir))
            EXPECT_EQ(entry.path().filename(), "global.opt") << "nothing was kept aside or left behind";
        ExpectLoads(20, {9, 9});
    }
}

TEST_F(AppDataFileTest, EachDamagedFileIsKeptUnderANumberOfItsOwn) {
    const Bytes first = SettingsPart("first damage");
    const Bytes second = SettingsPart("second damage");
    const struct {
        const Bytes& bytes;
        const char* kept;
    } runs[] = {{first, ".damaged.1"}, {second, ".damaged.2"}};
    for (const auto& run : runs) {
        WriteAll(path, run.bytes);
        CSaveGame game(saveDir);
        ::testing::internal::CaptureStderr();
        ASSERT_TRUE(game.LoadOrCreateDefaultAppData());
        EXPECT_TRUE(game.m_bAppDataCreatedFresh);
        EXPECT_EQ(game.SaveAppData(), 1);
        const std::string log = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find("it is kept as " + path + run.kept), std::string::npos) << log;
    }
    EXPECT_EQ(ReadAll(path + ".damaged.1"), first) << "the second damaged file did not replace the first";
    EXPECT_EQ(ReadAll(path + ".damaged.2"), second);
    ExpectLoads(50, {});
}

TEST_F(AppDataFileTest, ADamagedFileThatCannotBeKeptAsideIsNotSavedOver) {
    const Bytes damaged = SettingsPart("damage");
    WriteAll(path, damaged);
    CSaveGame game(saveDir);
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(game.LoadOrCreateDefaultAppData());
    SetRenameFails(true);
    EXPECT_EQ(game.SaveAppData(), 0);
    EXPECT_EQ(game.SaveAppData(), 0) << "a later save tries again and again writes nothing";
    SetRenameFails(false);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("could not be kept as " + path + ".damaged.1"), std::string::npos) << log;
    EXPECT_EQ(ReadAll(path), damaged);
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged.1"));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(AppDataFileTest, AFailedSaveReportsZeroAndLeavesThePreviousFileReadable) {
    Save(20, {9, 9});
    const Bytes previous = ReadAll(path);
    const long fileSize = static_cast<long>(previous.size()) + 2;
    struct TFailure {
        std::string why;
        long writeBudget;
        bool failRename;
        bool failSerialize;
    };
    std::vector<TFailure> failures = {{"the rename fails", -1, true, false}, {"serialisation fails", -1, false, true}};
    // The disk fills at every byte of the new file in turn.
    for (long budget = 0; budget < fileSize; ++budget)
        failures.push_back({"the disk fills after " + std::to_string(budget) + " bytes", budget, false, false});
    for (const TFailure& f : failures) {
        SCOPED_TRACE(f.why);
        CSaveGame game(saveDir);
        ASSERT_TRUE(game.CreateApplicationData());
        game.data->m_nEffectsVolume = 90;
        game.data->extra = {1, 2, 3, 4};
        game.data->failSerialize = f.failSerialize;
        game.writeBudget = f.writeBudget;
        SetRenameFails(f.failRename);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(game.SaveAppData(), 0);
        ::testing::internal::GetCapturedStderr();
        SetRenameFails(false);
        EXPECT_EQ(ReadAll(path), previous);
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
        ExpectLoads(20, {9, 9});
    }
}

TEST_F(AppDataFileTest, RawMethodSavesAndLoadsTheSettingsRecordThroughTheSameFile) {
    CSaveGame game(saveDir);
    CBasicApplicationData* raw = new CBasicApplicationData();
    game.m_pAppData = raw;
    SetRawSettings(*raw);
    ASSERT_EQ(game.SaveAppData(), 1);
    EXPECT_EQ(ReadAll(path), RawSettingsRecord());

    CBasicApplicationData back;
    ASSERT_EQ(back.ReadAppData(static_cast<CGameBase*>(&game)), 1);
    EXPECT_EQ(back.m_nMusicVolume, 65);
    EXPECT_EQ(back.m_nOrientationMode, 2);
}

}  // namespace

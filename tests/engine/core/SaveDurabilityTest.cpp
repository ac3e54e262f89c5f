// A save must survive a power cut: the finished temporary file reaches the disk before it is
// renamed over the old one, and the folder reaches the disk after the rename, so that the disk
// never holds an empty or half-written file under the save's name. The journal of the test
// program's renames and flushes (testsupport/SaveFaults.h) shows the order each writer keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PakFixtures.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "testsupport/SaveFaults.h"

using namespace paktest;

namespace {

struct TWriter {
    const char* why;
    const char* leaf;       // the saved file
    const char* tempLeaf;   // what the writer writes first
    std::function<int(CPakTestGame&, const std::string& path, const std::string& text)> save;
};

int SaveThroughMemoryFile(CPakTestGame& game, const std::string& path, const std::string& text) {
    CMemoryFile file;
    if (file.Create(static_cast<unsigned>(text.size())) != 1) return 0;
    if (file.WriteData(text.data(), static_cast<int>(text.size())) != static_cast<int>(text.size())) return 0;
    return file.FlushDataToFile(&game, path.c_str());
}

int SaveThroughStorage(CPakTestGame& game, const std::string& path, const std::string& text) {
    CMemoryFile source;
    if (source.Create(static_cast<unsigned>(text.size())) != 1) return 0;
    (void)source.WriteData(text.data(), static_cast<int>(text.size()));
    CQuorvanStorage storage(&game);
    storage.SetPathAndCRC(path.c_str(), nullptr);
    return storage.WriteRecord(100, &source, "Meadow");
}

const TWriter kWriters[] = {
    {"a memory file flushed to the disk (player data, news cache)", "global.opt", "global.opt.tmp",
     &SaveThroughMemoryFile},
    {"the record file of the game in progress", "saveresume.dat", "saveresume.dat2", &SaveThroughStorage},
};

TEST(SaveDurability, TheTemporaryFileIsFlushedBeforeTheRenameAndTheFolderAfterIt) {
    for (const TWriter& w : kWriters) {
        SCOPED_TRACE(w.why);
        CScratchDir dir;
        CPakTestGame game;
        const std::string folder = std::filesystem::canonical(dir.root).string();
        const std::string path = folder + "/" + w.leaf;
        const std::string temp = folder + "/" + w.tempLeaf;
        ASSERT_EQ(w.save(game, path, "first"), 1);
        StartFileJournal();
        const int saved = w.save(game, path, "second");
        const std::vector<std::string> journal = StopFileJournal();
        ASSERT_EQ(saved, 1);
        const std::vector<std::string> expected = {"fsync " + temp, "rename " + temp + " -> " + path,
                                                   "fsync " + folder};
        EXPECT_EQ(journal, expected);
    }
}

TEST(SaveDurability, AFlushThatFailsKeepsThePreviousFileAndRemovesTheTemporaryOne) {
    for (const TWriter& w : kWriters) {
        SCOPED_TRACE(w.why);
        CScratchDir dir;
        CPakTestGame game;
        const std::string path = dir.Path(w.leaf);
        ASSERT_EQ(w.save(game, path, "the player's progress"), 1);
        const Bytes before = ReadFile(path);
        SetFsyncFails(true);
        ::testing::internal::CaptureStderr();
        const int saved = w.save(game, path, "newer progress that never reached the disk");
        const std::string log = ::testing::internal::GetCapturedStderr();
        SetFsyncFails(false);
        EXPECT_EQ(saved, 0);
        EXPECT_EQ(ReadFile(path), before);
        EXPECT_FALSE(std::filesystem::exists(dir.Path(w.tempLeaf)));
        EXPECT_NE(log.find("could not be flushed to the disk"), std::string::npos) << log;
    }
}

}  // namespace

// The application object's optional pak, read back through memory files over its paks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestGame.h"
#include "core/MemFile.h"
#include "core/ZipFile.h"
#include "pakwriter/PakWriter.h"
#include "testsupport/ScratchDir.h"

namespace {

class GameBasePaksTest : public ::testing::Test {
protected:
    void SetUp() override {
        game.m_Paks.m_pCommonPak = OpenPak("common.pak", "Data\\common.txt", "common");
        game.m_Paks.m_pOptionalPak = OpenPak("opt.pak", "Data\\opt.txt", "optional");
        ASSERT_NE(game.m_Paks.m_pCommonPak, nullptr);
        ASSERT_NE(game.m_Paks.m_pOptionalPak, nullptr);
    }

    // Writes a pak of one member and opens a reader on it; null when Init fails.
    CBBZipFileReader* OpenPak(const std::string& file, const std::string& name, const std::string& text) {
        const std::string path = WritePak(file, name, text);
        auto* reader = new CBBZipFileReader(&game);
        if (reader->Init(path.c_str()) != ZipResult::Ok) {
            delete reader;
            return nullptr;
        }
        return reader;
    }

    std::string WritePak(const std::string& file, const std::string& name, const std::string& text) {
        pakwriter::TPakMember member;
        member.name = name;
        member.data.assign(text.begin(), text.end());
        const std::string path = dir.Path(file);
        EXPECT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak({member})));
        return path;
    }

    std::string OpenText(const char* name) {
        CMemoryFile f;
        if (!f.Open(&game, name, FileMode::Read)) return "<none>";
        return std::string(static_cast<char*>(f.GetBuffer()), static_cast<std::size_t>(f.GetSize()));
    }

    CScratchDir dir;
    CTestGame game;
};

TEST_F(GameBasePaksTest, InitOptionalGamePackReplacesTheReaderOrLeavesNone) {
    const std::string path = WritePak("opt2.pak", "Data\\opt2.txt", "two");
    ASSERT_NE(game.InitOptionalGamePack(path.c_str()), nullptr);
    EXPECT_EQ(OpenText("Data\\opt2.txt"), "two");
    EXPECT_EQ(OpenText("Data\\opt.txt"), "<none>");
    EXPECT_EQ(game.InitOptionalGamePack(dir.Path("absent.pak").c_str()), nullptr);
    EXPECT_EQ(game.m_Paks.m_pOptionalPak, nullptr);
}

}  // namespace

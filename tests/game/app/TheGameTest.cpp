#include <gtest/gtest.h>

#include <string>

#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"

namespace {

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

TEST(TheGame, DirectoriesAndPakNamesAreTheGamesFixedRelativePaths) {
    CTestTheGame game;
    EXPECT_EQ(Text(game.GetImagesDirectory()), "i_vga\\");
    EXPECT_EQ(Text(game.GetSoundsDirectory()), "Sound_BB\\");
    EXPECT_EQ(Text(game.GetUIDirectory()), "ui\\ui_iphone\\");
    EXPECT_EQ(Text(game.GetCommonUIDirectory()), "ui\\");
    EXPECT_EQ(Text(game.GetLevelsDirectory()), "Levels\\");
    EXPECT_EQ(Text(game.GetCommonGamePackName()), "app/native/assets/_game_bb.pak");
    EXPECT_EQ(Text(game.GetResolutionSpecificGamePackName()), "_game.pak");
}

TEST(TheGame, SaveDirectoryIsTheMachinesSaveFolder) {
    CScratchSaveFolder saves;
    CTestTheGame game;
    EXPECT_EQ(Text(game.GetSaveDirectory()), saves.Folder());
}

TEST(TheGame, ImagesDirectoryIsWorkedOutOnceAndKept) {
    CTestTheGame game;
    EXPECT_EQ(Text(game.GetImagesDirectory()), "i_vga\\");
    // Leaving pak mode later does not change the directory already worked out.
    game.m_Paks.m_bPakMode = false;
    EXPECT_EQ(Text(game.GetImagesDirectory()), "i_vga\\");
    CTestTheGame loose;
    loose.m_Paks.m_bPakMode = false;
    EXPECT_EQ(Text(loose.GetImagesDirectory()), "images_vga\\");
}

TEST(TheGame, ResolutionIdSwitchesAt360LogicalPixels) {
    CTestTheGame game;
    struct TCase {
        int w, h, id;
    } cases[] = {{320, 480, 18}, {359, 480, 18}, {360, 480, 22}, {384, 640, 22}};
    for (const TCase& c : cases) EXPECT_EQ(game.GetResolutionId(c.w, c.h), c.id) << c.w << "x" << c.h;
}

TEST(TheGame, StartsWithNoParticleEffectDeclaredAndNoShopTabOffsets) {
    CTestTheGame game;
    for (int index : game.m_ParticleEffectIndex) EXPECT_EQ(index, -1);
    for (int offset : game.m_ShopTabOffsets) EXPECT_EQ(offset, -1000);
    EXPECT_EQ(game.m_nShopCurrentTab, 0);
}

}  // namespace

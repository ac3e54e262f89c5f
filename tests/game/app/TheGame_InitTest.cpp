// The game object's construction and its resource declarations, each against a pak written by
// the test with just the files that declaration reads.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/GlobalConstants.h"
#include "audio/SoundManager.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/farm/BirdSoundsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/screens/LoaderScreen.h"
#include "pakwriter/PakWriter.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "platform/Pcm.h"
#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/GlesTestContext.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/StubSoundSystem.h"
#include "testsupport/TestTheGame.h"
#include "ui/UILayout.h"

namespace {

using mediatest::Bytes;
using mediatest::ToBytes;
using TMembers = std::vector<std::pair<std::string, Bytes>>;

// A sprite-set description file declaring one single-image set per name.
Bytes SpriteFile(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += "set = " + name + "\n    file = \"sprites\\" + name + "\"\nend\n";
    return ToBytes(text);
}

std::vector<std::string> SetNames(const CSpriteSetManager* manager) {
    std::vector<std::string> names;
    for (int i = 0; manager != nullptr && i < manager->GetNumSpriteSets(); ++i)
        names.push_back(manager->GetSpriteSetAt(i)->m_Name.GetDataConst());
    return names;
}

class TheGameStartUp : public ::testing::Test {
protected:
    void Mount(const TMembers& members) { mediatest::SetCommonPak(game, dir.Path("game.pak"), members); }

    CScratchDir dir;
    CTestTheGame game;
};

TEST_F(TheGameStartUp, ConstructionPortraitReleasedPixelsAndThirtyFixedSteps) {
    EXPECT_EQ(game.m_Screen.m_nOrientationMode, 0);
    EXPECT_EQ(game.m_Screen.m_nOrientationAngle, 0) << "the portrait angle is taken at once";
    EXPECT_TRUE(game.m_RenderSwitches.m_bReleasePixelsAfterUpload);
    EXPECT_EQ(game.m_nFrameRate, 30);
    EXPECT_EQ(game.m_uFramePeriodMs, 30u);
    EXPECT_TRUE(game.m_bFixedStep);
    EXPECT_FALSE(game.m_bInitCompleted);
}

struct TResolutionRow {
    int screenW, screenH;
    int gameW, gameH;
    bool doubleResolution;
    int resolutionId;
    const char* why;
};

TEST(TheGameResolution, PortraitGameSizeTwoTimesImagesAndResolutionId) {
    const TResolutionRow rows[] = {
        {320, 480, 320, 480, false, 18, "the base size: 2:3 exactly, short side below 480"},
        {768, 1280, 320, 533, true, 18, "the default display: 1280 x 320 / 768"},
        {1280, 768, 320, 533, true, 18, "sides taken by length, not by order"},
        {720, 1280, 320, 568, true, 18, "a long phone"},
        {640, 960, 320, 480, true, 18, "2:3 at twice the size"},
        {768, 1024, 360, 480, true, 22, "squarer than 2:3: 480 high, 768 x 480 / 1024 wide"},
        {480, 640, 360, 480, true, 22, "a short side of exactly 480 takes 2x images"},
        {1024, 1024, 480, 480, true, 22, "square"},
        {479, 719, 320, 480, false, 18, "just longer than 2:3: 719 x 320 / 479 = 480.3"},
    };
    for (const TResolutionRow& r : rows) {
        SCOPED_TRACE(r.why);
        CTestTheGame game;
        int w = 0, h = 0;
        EXPECT_TRUE(game.SelectAndroidInGameResolution(r.screenW, r.screenH, w, h));
        EXPECT_EQ(w, r.gameW);
        EXPECT_EQ(h, r.gameH);
        EXPECT_EQ(game.m_RenderSwitches.m_bDoubleResolution, r.doubleResolution);
        EXPECT_EQ(game.GetResolutionId(w, h), r.resolutionId);
    }
}

TEST(TheGameResolution, LandscapeTakesTheEnginesRule) {
    CTestTheGame game;
    game.SetIPhoneOrientation(1, true);
    int w = 0, h = 0;
    EXPECT_TRUE(game.SelectAndroidInGameResolution(768, 1280, w, h));
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 768 * 480 / 1280);
    EXPECT_TRUE(game.m_RenderSwitches.m_bDoubleResolution);
}

TEST_F(TheGameStartUp, ParticleEffectsAreDeclaredInTableOrder) {
    ASSERT_TRUE(game.DefineParticleSystems());
    const std::pair<const char*, const char*> expected[] = {
        {"MarbleTrace", "Effects\\MarbleTrace.pfd"},
        {"ScoreEffect", "Effects\\ScoreEffect.pfd"},
        {"BombExplosion", "Effects\\BombExplosion.pfd"},
        {"XRayCenter", "Effects\\XRayCenter.pfd"},
        {"ColorBomb", "Effects\\ColorBombEffect.pfd"},
        {"ObjectBuy", "Effects\\yard_object_buy.pfd"},
        {"EmoLove", "Effects\\emo_love.pfd"},
        {"RobotHeal", "Effects\\robot_heal.pfd"},
        {"Intro1", "Effects\\Intro1.pfd"},
        {"StarBlinks", "Effects\\StarBlinks.pfd"},
        {"StartMenuLogo", "Effects\\startmenulogo.pfd"},
        {"ChickenJump", "Effects\\chicken_jump.pfd"},
        {"LawnMower", "Effects\\lawnmower.pfd"},
    };
    ASSERT_EQ(game.m_pParticleManager->GetNumParticleSystems(), 13);
    for (int i = 0; i < 13; ++i) {
        const CQuorvanParticleSystem2* system = game.m_pParticleManager->GetParticleSystemAt(i);
        EXPECT_STREQ(system->GetName().GetData(), expected[i].first);
        EXPECT_STREQ(system->GetFileName().GetDataConst(), expected[i].second);
        EXPECT_EQ(game.m_ParticleEffectIndex[i], i);
    }
    // A second declaration replaces the manager rather than adding to it.
    ASSERT_TRUE(game.DefineParticleSystems());
    EXPECT_EQ(game.m_pParticleManager->GetNumParticleSystems(), 13);
    EXPECT_EQ(game.m_ParticleEffectIndex[12], 12);
}

TEST_F(TheGameStartUp, FrameRateReachesEveryParticleSystem) {
    ASSERT_TRUE(game.DefineParticleSystems());
    game.SetFpsControlCobblebrooks(60, true, true);
    EXPECT_EQ(game.m_uFramePeriodMs, 15u);
    for (int i = 0; i < game.m_pParticleManager->GetNumParticleSystems(); ++i)
        EXPECT_EQ(game.m_pParticleManager->GetParticleSystemAt(i)->GetFPS(), 60 << 16) << i;
    game.SetFpsControlCobblebrooks(30, true, true);
    EXPECT_EQ(game.m_pParticleManager->GetParticleSystemAt(0)->GetFPS(), 30 << 16);
}

TEST_F(TheGameStartUp, UISpriteSetsComeFromBothFilesOrNone) {
    Mount({{"ui\\ui_sprites.txt", SpriteFile({"HudCoin", "HudXP"})}, {"ui\\ui_sprites2.txt", SpriteFile({"Panel"})}});
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    EXPECT_EQ(SetNames(game.m_pSpriteSetManager), (std::vector<std::string>{"HudCoin", "HudXP", "Panel"}));
    // Declaring again starts from a new manager.
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    EXPECT_EQ(game.m_pSpriteSetManager->GetNumSpriteSets(), 3);

    Mount({{"ui\\ui_sprites.txt", SpriteFile({"HudCoin"})}});
    EXPECT_FALSE(game.DefineSpriteSets_UI()) << "the second file is required too";
}

TEST_F(TheGameStartUp, TheRestOfTheSpriteFilesStopAtTheFirstMissingOne) {
    EXPECT_FALSE(game.DefineSpriteSets_TheRest()) << "no manager yet";
    Mount({{"ui\\ui_sprites.txt", SpriteFile({"Ui"})},
           {"ui\\ui_sprites2.txt", SpriteFile({})},
           {"ui\\game_sprites.txt", SpriteFile({"Marble"})},
           {"ui\\chicken_sprites.txt", SpriteFile({"Hen"})},
           {"ui\\shop_sprites.txt", SpriteFile({"ShopBar"})},
           {"ui\\farm_obj_sprites.txt", SpriteFile({"Fence"})}});
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    ASSERT_TRUE(game.DefineSpriteSets_TheRest());
    EXPECT_EQ(SetNames(game.m_pSpriteSetManager),
              (std::vector<std::string>{"Ui", "Marble", "Hen", "ShopBar", "Fence"}));

    Mount({{"ui\\ui_sprites.txt", SpriteFile({"Ui"})},
           {"ui\\ui_sprites2.txt", SpriteFile({})},
           {"ui\\game_sprites.txt", SpriteFile({"Marble"})},
           {"ui\\chicken_sprites.txt", SpriteFile({"Hen"})},
           {"ui\\farm_obj_sprites.txt", SpriteFile({"Fence"})}});
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    EXPECT_FALSE(game.DefineSpriteSets_TheRest());
    EXPECT_EQ(SetNames(game.m_pSpriteSetManager), (std::vector<std::string>{"Ui", "Marble", "Hen"}))
        << "nothing after the missing shop file is read";
}

TEST_F(TheGameStartUp, SoundTableIsReadFromTheDataFolder) {
    Mount({{"Data\\sfx.txt", ToBytes("sfx = SFX_A\nfile = a.wav\nend\nsfx = SFX_B\nfile = b.wav\nend\n")}});
    ASSERT_TRUE(game.DefineSounds());
    ASSERT_NE(game.m_pSoundManager, nullptr);
    EXPECT_EQ(game.m_pSoundManager->GetNumSoundFX(), 2);
    Mount({});
    EXPECT_FALSE(game.DefineSounds());
}

// Records the stream paths it is asked for; fails the one named `refused`.
class CStreamRecorder : public CStubSoundSystem {
public:
    int LoadStream(const char* fileName) override {
        paths.emplace_back(fileName);
        if (paths.back() == refused) return -1;
        return 40 + static_cast<int>(paths.size());
    }
    std::vector<std::string> paths;
    std::string refused;
};

TEST_F(TheGameStartUp, MusicStreamsLoadTheSixTracksInOrder) {
    EXPECT_FALSE(game.InitMusicStreams()) << "no sound system";
    auto* sound = new CStreamRecorder;
    game.m_pSoundSystem = sound;
    ASSERT_TRUE(game.InitMusicStreams());
    EXPECT_EQ(sound->paths, (std::vector<std::string>{"Sound_BB\\gameplay1.ogg", "Sound_BB\\gameplay2.ogg",
                                                      "Sound_BB\\gameplay3.ogg", "Sound_BB\\startmenu.ogg",
                                                      "Sound_BB\\yard1.ogg", "Sound_BB\\round_stats.ogg"}));
    for (int track = 0; track < kMusicTrackCount; ++track) EXPECT_EQ(g_cs_OGG_LoadedIndexes[track], 41 + track);

    sound->paths.clear();
    sound->refused = "Sound_BB\\gameplay3.ogg";
    EXPECT_FALSE(game.InitMusicStreams());
    EXPECT_EQ(sound->paths.size(), 3u) << "no track after the failed one is asked for";
    EXPECT_EQ(g_cs_OGG_LoadedIndexes[2], -1);
    for (int& id : g_cs_OGG_LoadedIndexes) id = -1;
}

TEST_F(TheGameStartUp, ResumeStorageWritesSaveResumeDatInTheSaveFolder) {
    CScratchSaveFolder saves;
    ASSERT_TRUE(game.InitSaveResumeStorage());
    CMemoryFile record;
    ASSERT_TRUE(record.Create(16));
    ASSERT_EQ(record.WriteInt(7), 4);
    EXPECT_EQ(game.m_pSaveResumeStorage->WriteRecord(3, &record, CommonString("arena_x")), 1);
    EXPECT_TRUE(std::filesystem::exists(saves.Path("saveresume.dat")));
}

TEST_F(TheGameStartUp, SpriteSetReferencesByName) {
    Mount({{"ui\\ui_sprites.txt", SpriteFile({"Dot"})},
           {"ui\\ui_sprites2.txt", SpriteFile({})},
           {"i_vga\\sprites\\Dot.png", mediatest::EncodePng(mediatest::MakeImage(2, 2, {255, 0, 0, 255}))}});
    ASSERT_TRUE(game.DefineSpriteSets_UI());
    CSpriteSet* slot = reinterpret_cast<CSpriteSet*>(&game);  // anything: the call must overwrite it
    EXPECT_EQ(game.AddSpriteSetRef(slot, "Missing"), 0);
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(game.AddSpriteSetRef(slot, "Dot"), 1);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->GetRefCount(), 1);
    CSpriteSet* dot = slot;
    game.ReleaseSpriteSetRef(slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(dot->GetRefCount(), 0);
    game.ReleaseSpriteSetRef(slot);  // an empty slot is left alone
}

TEST_F(TheGameStartUp, ShopTabOffsetsReset) {
    game.m_ShopTabOffsets[2] = 44;
    game.m_nShopCurrentTab = 5;
    game.ResetShopTabOffsets();
    for (int offset : game.m_ShopTabOffsets) EXPECT_EQ(offset, -1000);
    EXPECT_EQ(game.m_nShopCurrentTab, 0);
}

// A game whose common pak is a file of the test's own, so that tests running side by side never
// share one; everything else is the game's.
class CStartUpGame : public CTestTheGame {
public:
    explicit CStartUpGame(const std::string& pak) : m_PakPath(pak) {}
    CommonString GetCommonGamePackName() override { return CommonString(m_PakPath.c_str()); }
    std::string m_PakPath;
};

// The whole start-up against a pak holding what it reads: texts, styles with font record 3, the
// UI sprite files and the sound table; on a GL back buffer, as the game runs.
class TheGameInit : public ::testing::Test {
protected:
    void SetUp() override {
        platform::PcmUseBackend(platform::PcmBackendKind::None);
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
    }
    void TearDown() override { platform::PcmUseBackend(platform::PcmBackendKind::Auto); }

    static Bytes Png(int w, int h) { return mediatest::EncodePng(mediatest::MakeImage(w, h, {200, 200, 200, 255})); }
    static TMembers StartUpPak() {
        static const fontbaker::TBakedFont font = fonttest::Bake(12);
        std::string styles;
        for (const char* id : {"FontSmall", "FontButtonNormal", "FontBig", "FontDebug"})
            styles += std::string("font = ") + id + "\n    file = \"fonts\\a.fdb\"\nend\n";
        TMembers members = {
            {"Lang\\texts.csv", ToBytes("Key,enUS\n,English\n")},
            {"ui\\ui_iphone\\game_styles.txt", ToBytes(styles)},
            {"ui\\ui_sprites.txt", SpriteFile({"HudCoin"})},
            {"ui\\ui_sprites2.txt", SpriteFile({})},
            {"Data\\sfx.txt", ToBytes("sfx = SFX_A\nfile = a.wav\nend\n")},
            {"Data\\bird_sounds.txt", ToBytes("bird = bird1\n    eat = cluck.wav\nend\n")},
            // What the loader screen draws its intro with.
            {"i_vga\\ui\\logo.png", Png(8, 8)},
            {"i_vga\\particles\\flare.png", Png(8, 8)},
            {"i_vga\\particles\\p_star.png", Png(4, 4)},
            {"Effects\\StarBlinks.pfd", ToBytes("ParticleSprites = particles\\p_star\n"
                                                "ParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n")}};
        for (auto& m : fonttest::FontMembers(font, "i_vga\\fonts\\a", fontbaker::EForm::RgbaPng)) members.push_back(m);
        return members;
    }
    // The pak without the members whose names start with one of `without`.
    std::string WritePak(const std::vector<std::string>& without = {}) {
        std::vector<pakwriter::TPakMember> list;
        for (const auto& [name, data] : StartUpPak()) {
            bool drop = false;
            for (const std::string& prefix : without) drop = drop || name.starts_with(prefix);
            if (drop) continue;
            pakwriter::TPakMember m;
            m.name = name;
            m.data = data;
            list.push_back(m);
        }
        const std::string path = dir.Path("game" + std::to_string(serial++) + ".pak");
        EXPECT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak(list)));
        return path;
    }
    Bytes ReadSave(const char* name = "global.opt") const {
        std::ifstream in(saves.Path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    mediatest::CHeadlessGl gl{32, 32};
    CScratchSaveFolder saves;
    CScratchDir dir;
    int serial = 0;
};

TEST_F(TheGameInit, AWholeStartUpBuildsEveryServiceAndRecentresTheTexts) {
    CStartUpGame game(WritePak());
    ASSERT_TRUE(game.Init(400, 600));
    EXPECT_TRUE(game.m_bInitCompleted);
    EXPECT_EQ(game.m_nFailingStage, 0);
    EXPECT_NE(game.m_pRotatorScaler, nullptr);
    EXPECT_EQ(game.m_pSoundSystem, nullptr) << "no sound device: the game runs silent";
    EXPECT_EQ(game.m_pSpriteSetManager->GetNumSpriteSets(), 1);
    EXPECT_EQ(game.m_pParticleManager->GetNumParticleSystems(), 13);
    EXPECT_EQ(game.m_pSoundManager->GetNumSoundFX(), 2) << "the table's effect and the bird's call";
    EXPECT_NE(game.m_pBirdSoundsManager, nullptr);
    EXPECT_NE(game.m_pSaveResumeStorage, nullptr);
    EXPECT_NE(game.m_pUILayout->GetFontAt(3)->font, nullptr);
    EXPECT_EQ(game.m_RenderSwitches.m_nRendererKind, kRendererGLES);
    EXPECT_EQ(game.m_Screen.m_pBackBuffer->m_Width, 400);
    // Width 400 has the table of id 22 (centre 180); the texts centre on the real screen.
    EXPECT_EQ(game.GetCurrentResolutionId(), 22);
    EXPECT_EQ(GC.m_nTextCenterX, 200);
    ASSERT_NE(game.m_pLoaderScreen, nullptr) << "the start-up ends on the loader screen";
    EXPECT_EQ(game.GetActiveObjectPtr(), game.m_pLoaderScreen);
}

struct TFailureCase {
    std::vector<std::string> without;
    int stage;  // the engine's failing stage; 0 for a step of the game's own
    const char* why;
};

TEST_F(TheGameInit, EachMissingInputEndsTheStartUpAtItsStage) {
    const TFailureCase cases[] = {
        {{""}, kStageCommonPakOpen, "no pak at all"},
        {{"ui\\ui_iphone\\game_styles.txt"}, kStageUILayout, "no style table"},
        {{"Lang\\"}, kStageFonts, "no text table"},
        {{"i_vga\\fonts\\"}, kStageFonts, "no start-up font"},
        {{"ui\\ui_sprites2.txt"}, 0, "no second UI sprite file"},
        {{"Data\\sfx.txt"}, 0, "no sound table"},
        {{"Data\\bird_sounds.txt"}, 0, "no bird sounds"},
        {{"i_vga\\ui\\logo"}, 0, "the loader screen has no logo"},
        {{"Effects\\StarBlinks"}, 0, "nor its star effect"},
    };
    for (const TFailureCase& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string pak =
            c.without == std::vector<std::string>{""} ? dir.Path("absent.pak") : WritePak(c.without);
        CStartUpGame game(pak);
        EXPECT_FALSE(game.Init(320, 480));
        EXPECT_EQ(game.m_nFailingStage, c.stage);
        EXPECT_FALSE(game.m_bInitCompleted);
    }
}

TEST_F(TheGameInit, UnreadablePlayerDataStartsFreshAndAFailedStartUpLeavesItAlone) {
    const Bytes damaged = {'n', 'o', 't', ' ', 'a', ' ', 's', 'a', 'v', 'e'};
    std::ofstream(saves.Path("global.opt"), std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
    {
        CStartUpGame game(WritePak({"Data\\sfx.txt"}));
        EXPECT_FALSE(game.Init(320, 480));
        EXPECT_TRUE(game.m_bAppDataCreatedFresh) << "stage 2 went on with the defaults";
        EXPECT_NE(game.GetAppData(), nullptr);
    }
    EXPECT_EQ(ReadSave(), damaged) << "no defaults were saved over the file that could not be read";

    {
        CStartUpGame game(WritePak());
        ASSERT_TRUE(game.Init(320, 480));
        EXPECT_TRUE(game.m_bAppDataCreatedFresh);
        ASSERT_EQ(game.CreateNewUserProfile(), 0);
    }
    // After a completed start-up the player's new data is what the exit keeps, and the damaged
    // file is kept aside, not written over.
    EXPECT_EQ(ReadSave("global.opt.damaged.1"), damaged);
    {
        CStartUpGame again(WritePak());
        ASSERT_TRUE(again.Init(320, 480));
        EXPECT_FALSE(again.m_bAppDataCreatedFresh);
        EXPECT_EQ(again.GetAppData()->m_Profiles.count, 1);
        ASSERT_EQ(again.CreateNewUserProfile(), 1) << "the second profile";
    }
    // A readable file is saved over as usual: what was kept aside stays the damaged one.
    EXPECT_EQ(ReadSave("global.opt.damaged.1"), damaged);
    EXPECT_FALSE(std::filesystem::exists(saves.Path("global.opt.damaged.2")));
}

TEST_F(TheGameInit, AFirstStartKeepsNothingAside) {
    {
        CStartUpGame game(WritePak());
        ASSERT_TRUE(game.Init(320, 480));
        EXPECT_TRUE(game.m_bAppDataCreatedFresh);
    }
    EXPECT_FALSE(ReadSave().empty());
    EXPECT_FALSE(std::filesystem::exists(saves.Path("global.opt.damaged.1")));
}

}  // namespace

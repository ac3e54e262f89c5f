// The game's fonts against a pak of fonts baked by the test: the start-up font, the loader's
// steps, the eight cached fonts with their space widths, and the reload on a language change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/LocManager2.h"
#include "game/progress/ApplicationData.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/TestTheGame.h"
#include "text/BitmapFont.h"
#include "ui/UILayout.h"

namespace {

using mediatest::Bytes;
using mediatest::ToBytes;
using TMembers = std::vector<std::pair<std::string, Bytes>>;

constexpr const char* kTexts = "Key,enUS,deDE,ruRU\n,English,Deutsch,Russian\nID_HELLO,Hello,Hallo,Privet\n";

// Style records in file order; record 3 is the one the start-up loads.
constexpr const char* kStyles =
    "font = FontSmall\n    file = \"fonts\\a.fdb\"\n    add_width = 0\nend\n"
    "font = FontButtonNormal\n    file = \"fonts\\a.fdb\"\nend\n"
    "font = FontBig\n    file = \"fonts\\a.fdb\"\n    add_width = 3\n    add_height = -2\nend\n"
    "font = FontDebug\n    file = \"fonts\\a.fdb\"\nend\n"
    "font = FontVerySmall\n    file = \"fonts\\a.fdb\"\nend\n"
    "font = FontScores\n    file = \"fonts\\a.fdb\"\nend\n"
    "style = st_debug\n    font = FontDebug\n    color = 1, 2, 3\nend\n"
    "style = st_big\n    font = FontBig\n    color = 1, 2, 3\nend\n";

class TheGameFonts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        plain = new fontbaker::TBakedFont(fonttest::Bake(12));
        russian = new fontbaker::TBakedFont(fonttest::Bake(20));
    }
    static void TearDownTestSuite() {
        delete plain;
        delete russian;
    }

    // The pak: texts, styles, the plain font and, unless left out, the "ruRU" glyph image.
    void Mount(bool withRussian = true, const char* styles = kStyles) {
        TMembers members = {{"Lang\\texts.csv", ToBytes(kTexts)}, {"ui\\ui_iphone\\game_styles.txt", ToBytes(styles)}};
        for (auto& m : fonttest::FontMembers(*plain, "i_vga\\fonts\\a", fontbaker::EForm::RgbaPng))
            members.push_back(m);
        if (withRussian)
            for (auto& m : fonttest::FontMembers(*russian, "i_vga\\fonts\\a_ruRU", fontbaker::EForm::RgbaPng))
                members.push_back(m);
        mediatest::SetCommonPak(game, dir.Path("fonts.pak"), members);
    }
    // The start-up's two steps, at a stored language index.
    bool StartUp(int language) {
        EXPECT_TRUE(game.CreateApplicationData());
        game.GetAppData()->m_nLanguageIndex = language;
        return game.InitUILayout() && game.ReLoadFonts();
    }
    // Every record loaded as the loader does it, then the last step.
    bool LoadAll() {
        for (int i = 0; i < game.m_pUILayout->GetFontCount(); ++i)
            if (!game.LoadFont(i)) return false;
        return game.ReLoadFontsLastStep() != 0;
    }
    CBitmapFontText* RecordFont(int i) { return game.m_pUILayout->GetFontAt(i)->font; }
    // The baked cell height tells the two font files apart.
    static int CellOf(const fontbaker::TBakedFont& f) { return f.cellHeight; }
    static int Advance(const fontbaker::TBakedFont& f, char c) {
        const fontbaker::TAbc& abc = f.abc[static_cast<unsigned char>(c)];
        return static_cast<int>((static_cast<long long>(abc.b) + abc.c) / 4);
    }

    static inline fontbaker::TBakedFont* plain = nullptr;
    static inline fontbaker::TBakedFont* russian = nullptr;
    CScratchDir dir;
    CTestTheGame game;
};

TEST_F(TheGameFonts, StartUpLoadsTheLocalisationAndFontThreeOnly) {
    Mount();
    ASSERT_TRUE(StartUp(1));
    ASSERT_NE(game.m_pLocManager, nullptr);
    EXPECT_EQ(game.m_pLocManager->GetCurrentLanguage(), 1);
    EXPECT_STREQ(game.m_pLocManager->LoadString("ID_HELLO").GetDataConst(), "Hallo");
    EXPECT_NE(RecordFont(3), nullptr);
    for (int i : {0, 1, 2, 4}) EXPECT_EQ(RecordFont(i), nullptr) << i;
    EXPECT_EQ(game.m_pUILayout->GetStyleById(CommonString("st_debug"))->font, RecordFont(3));
}

TEST_F(TheGameFonts, AStoredLanguageTheTableLacksFallsBackToTheFirst) {
    Mount();
    ASSERT_TRUE(StartUp(7));
    EXPECT_EQ(game.m_pLocManager->GetCurrentLanguage(), 0);
    EXPECT_EQ(game.GetAppData()->m_nLanguageIndex, 0) << "the fallback is stored";
}

TEST_F(TheGameFonts, StartUpFailsWithoutTextsStylesOrItsFont) {
    mediatest::SetCommonPak(game, dir.Path("none.pak"), {{"ui\\ui_iphone\\game_styles.txt", ToBytes(kStyles)}});
    EXPECT_FALSE(StartUp(0)) << "no texts";
    CTestTheGame noStyles;
    mediatest::SetCommonPak(noStyles, dir.Path("nostyles.pak"), {{"Lang\\texts.csv", ToBytes(kTexts)}});
    EXPECT_EQ(noStyles.InitUILayout(), 0);
    CTestTheGame noFont;
    mediatest::SetCommonPak(
        noFont, dir.Path("nofont.pak"),
        {{"Lang\\texts.csv", ToBytes(kTexts)}, {"ui\\ui_iphone\\game_styles.txt", ToBytes(kStyles)}});
    ASSERT_EQ(noFont.InitUILayout(), 1);
    EXPECT_FALSE(noFont.ReLoadFonts());
}

TEST_F(TheGameFonts, LoadFontKeepsLoadedRecordsAndAcceptsIndexesOutsideTheTable) {
    EXPECT_EQ(game.LoadFont(0), 0) << "no style table";
    Mount();
    ASSERT_TRUE(StartUp(0));
    CBitmapFontText* three = RecordFont(3);
    EXPECT_EQ(game.LoadFont(3), 1);
    EXPECT_EQ(RecordFont(3), three) << "a loaded record is not loaded again";
    EXPECT_EQ(game.LoadFont(game.m_pUILayout->GetFontCount()), 1);
    EXPECT_EQ(game.LoadFont(-1), 1);
    ASSERT_EQ(game.LoadFont(2), 1);
    EXPECT_EQ(RecordFont(2)->m_nLetterSpacing, 3);
    EXPECT_EQ(RecordFont(2)->m_nHeightAdjustment, -2);
    ASSERT_EQ(game.LoadFont(0), 1);
    EXPECT_EQ(RecordFont(0)->m_nLetterSpacing, 0) << "add_width 0 is a spacing of 0";
    EXPECT_EQ(RecordFont(0)->m_nHeightAdjustment, 0);
}

TEST_F(TheGameFonts, LastStepCachesTheNamedFontsWithTheirSpaceWidths) {
    Mount();
    ASSERT_TRUE(StartUp(0));
    EXPECT_EQ(game.ReLoadFontsLastStep(), 0) << "FontSmall is not loaded yet";
    ASSERT_TRUE(LoadAll());
    EXPECT_EQ(game.m_Fonts[kGameFontSmall], RecordFont(0));
    EXPECT_EQ(game.m_Fonts[kGameFontButton], RecordFont(1));
    EXPECT_EQ(game.m_Fonts[kGameFontBig], RecordFont(2));
    EXPECT_EQ(game.m_Fonts[kGameFontDebug], RecordFont(3));
    EXPECT_EQ(game.m_Fonts[kGameFontVerySmall], RecordFont(4));
    EXPECT_EQ(game.m_Fonts[kGameFontScores], RecordFont(5));
    EXPECT_EQ(game.GetDebugFont(), RecordFont(3));
    for (int missing : {kGameFontCoins, kGameFontLifes})
        EXPECT_EQ(game.m_Fonts[missing], nullptr) << "no record of that id: left alone";
    // Each font's space is the advance of its own character; the scores font keeps the loaded
    // font's own space, the advance of '_'.
    ASSERT_NE(Advance(*plain, '_'), Advance(*plain, 'I')) << "the fixture must tell the rules apart";
    ASSERT_NE(Advance(*plain, 't'), Advance(*plain, 'I'));
    ASSERT_NE(Advance(*plain, 'i'), Advance(*plain, 'I'));
    const struct {
        int record;
        char spaceAs;
    } spaces[] = {{0, 't'}, {1, 'I'}, {2, 'I'}, {3, 'I'}, {4, 'i'}, {5, '_'}};
    for (const auto& s : spaces)
        EXPECT_EQ(RecordFont(s.record)->GetSpaceWidth(), Advance(*plain, s.spaceAs)) << "record " << s.record;
    EXPECT_EQ(game.GetFontById(CommonString("FontBig")), RecordFont(2));
    EXPECT_EQ(game.GetFontById(CommonString("FontCoins")), nullptr);

    CTestTheGame empty;
    mediatest::SetCommonPak(empty, dir.Path("empty.pak"), {{"ui\\ui_iphone\\game_styles.txt", ToBytes("")}});
    EXPECT_EQ(empty.InitUILayout(), 0) << "a table without fonts is refused as it is read";
    EXPECT_STREQ(empty.m_StartUpFailure.GetDataConst(),
                 "ui\\ui_iphone\\game_styles.txt is damaged: no font record (\"font = ID\" up to \"end\"): the file "
                 "is empty or not a style table");
    EXPECT_EQ(empty.ReLoadFontsLastStep(), 0) << "and the last step finds no font either";
}

TEST_F(TheGameFonts, RussianTriesItsOwnGlyphImageFirst) {
    Mount();
    ASSERT_TRUE(StartUp(2));
    EXPECT_EQ(RecordFont(3)->GetCellHeight(), CellOf(*russian));
}

TEST_F(TheGameFonts, RussianWithoutItsOwnGlyphImageTakesThePlainOne) {
    Mount(false);
    ASSERT_TRUE(StartUp(2));
    EXPECT_EQ(RecordFont(3)->GetCellHeight(), CellOf(*plain));
}

TEST_F(TheGameFonts, ALanguageSwitchReloadsOnlyToOrFromRussian) {
    Mount();
    ASSERT_TRUE(StartUp(0));
    ASSERT_TRUE(LoadAll());
    CBitmapFontText* before = RecordFont(2);

    game.m_pLocManager->SetCurrentLanguage(1);
    EXPECT_EQ(game.ReLoadAllFontsOnLanguageChanged(0, 1), 1);
    EXPECT_EQ(RecordFont(2), before) << "English to German keeps every font";

    game.m_pLocManager->SetCurrentLanguage(2);
    ASSERT_EQ(game.ReLoadAllFontsOnLanguageChanged(1, 2), 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(RecordFont(i)->GetCellHeight(), CellOf(*russian)) << i;
    EXPECT_EQ(game.m_Fonts[kGameFontBig], RecordFont(2)) << "the cached fonts are the new ones";
    EXPECT_EQ(RecordFont(2)->m_nLetterSpacing, 3);

    game.m_pLocManager->SetCurrentLanguage(0);
    ASSERT_EQ(game.ReLoadAllFontsOnLanguageChanged(2, 0), 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(RecordFont(i)->GetCellHeight(), CellOf(*plain)) << i;
}

TEST_F(TheGameFonts, AReloadThatFailsLeavesNoFontPointingAtADeletedOne) {
    // After the first load the second record comes to name a font that exists in no form.
    Mount();
    ASSERT_TRUE(StartUp(0));
    ASSERT_TRUE(LoadAll());
    game.m_pUILayout->GetFontAt(1)->file = CommonString("fonts\\gone.fdb");
    game.m_pLocManager->SetCurrentLanguage(2);
    EXPECT_EQ(game.ReLoadAllFontsOnLanguageChanged(0, 2), 0);
    for (CBitmapFontText* font : game.m_Fonts) EXPECT_EQ(font, nullptr);
    for (int i = 0; i < game.m_pUILayout->GetStyleCount(); ++i) {
        CBitmapFontText* font = game.m_pUILayout->GetStyleAt(i)->font;
        bool owned = font == nullptr;
        for (int r = 0; r < game.m_pUILayout->GetFontCount(); ++r) owned = owned || font == RecordFont(r);
        EXPECT_TRUE(owned) << "style " << i << " points at a font no record holds";
    }
}

}  // namespace

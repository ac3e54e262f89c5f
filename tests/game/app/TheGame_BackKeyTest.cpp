// The back key (OnGraffitiChar(8)) on each screen, with and without its dialogs, against a test
// template: which button is pressed and by whom, when the screen goes back, and when nothing
// happens. Then the keys a desktop keyboard types (OnTypedKey): the name entry's own keyboard,
// and nothing elsewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RootOnlyScreens.h"
#include "game/progress/ApplicationData.h"
#include "game/screens/GroupSetLoader.h"
#include "game/screens/PlayerDialogs.h"
#include "testsupport/GlTestGame.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/ScratchSaveFolder.h"
#include "testsupport/TestTheGame.h"
#include "ui/GameDialog.h"
#include "ui/WidgetMakers.h"

namespace {

using mediatest::ToBytes;

// Every screen's root; the dialogs the table looks for, each opened by an action of its own name.
std::string Template() {
    std::string t;
    for (const char* root : {"root_START_MENU", "root_play", "root_about", "root_ach", "root_leaders", "root_quests",
                             "root_upgrades", "root_buy", "root_yard", "root_GAMEPLAY_NoAds", "root_screen_loader"})
        t += std::string("root = ") + root + "\nend\n";
    for (const char* dialog : {"dlg_modal", "dlg_pause", "dlg_pause_withads", "dlg_level_failed2", "dlg_StartMenuRoot",
                               "dlg_QuitConfirm", "dlg_InAppWait", "dlg_review"})
        t += std::string("dialog = ") + dialog + "\nend\naction = open_" + dialog + "\n create = " + dialog + "\nend\n";
    // The name entry is made only with its keyboard, name, warning and OK button.
    std::vector<std::string> keys = {"btn_Space", "btn_BkSpace", "btn_NameOk"};
    for (char c = 'A'; c <= 'Z'; ++c) keys.push_back(std::string("btn_") + c);
    t += "dialog = dlg_EnterName\n child = txt_Name\n end\n child = txt_duplicate_name\n end\n";
    for (const std::string& key : keys) t += " child = " + key + "\n end\n";
    t += "end\naction = open_dlg_EnterName\n create = dlg_EnterName\nend\n";
    t += "text = txt_Name\n caption = \"Ann\"\nend\ntext = txt_duplicate_name\n caption = \"taken\"\nend\n";
    for (const std::string& key : keys) t += "button = " + key + "\nend\n";
    t += "action = \"acnConfirmQuit\"\n create = dlg_QuitConfirm\nend\n";
    return t;
}

std::vector<std::string> g_Log;

// Notes the clicks a screen hears (with the dialog that passed one on) and its back actions.
template <class W>
class TBackLogged : public W {
public:
    using W::W;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        if (code == XMSG_CLICK) {
            std::string line = std::string("click ") + XIdText(wparam);
            if (auto* dialog = dynamic_cast<XWidget*>(sender); dialog != nullptr && dialog != this)
                line += std::string(" via ") + dialog->GetRecord()->name.GetDataConst();
            g_Log.push_back(line);
            return 1;
        }
        return W::OnMessage(sender, code, wparam, lparam);
    }
    void DoBackAction() override {
        g_Log.push_back("back");
        W::DoBackAction();
    }
};

class CLoggedRound : public TBackLogged<CRootOnlyRound> {
public:
    using TBackLogged<CRootOnlyRound>::TBackLogged;
    void Pause() override { g_Log.push_back("pause"); }
    // The back key asks the round statistics only for their id; their own class needs the art.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override {
        if (record != nullptr && record->name == "dlg_level_failed2")
            return InitOrFreeWidget(new XGameDialog(this, m_pTemplate, record, placement));
        return TBackLogged<CRootOnlyRound>::CreateAndInitChild(record, placement);
    }
};

// The group loader on a root without its progress widgets.
class CBareGroupLoader : public CXGroupSetLoader {
public:
    using CXGroupSetLoader::CXGroupSetLoader;
    int OnInitElement() override { return InitRoot(CommonString("ui_main.txt"), "root_screen_loader"); }
};

class CBackKeyGame : public CTestTheGame {
public:
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        switch (kind) {
            case EScreen::Gameplay:
                return new CLoggedRound(this);
            case EScreen::StartMenu:
                return new TBackLogged<CRootOnlyStartMenu>(this);
            case EScreen::Play:
                return new TBackLogged<CRootOnlyPlay>(this);
            case EScreen::Farm:
                return new TBackLogged<CRootOnlyYard>(this);
            case EScreen::FarmShop:
                return new TBackLogged<CRootOnlyFarmShop>(this);
            case EScreen::Achievements:
                return new TBackLogged<CRootOnlyAch>(this);
            case EScreen::Leaderboards:
                return new TBackLogged<CRootOnlyLeaders>(this, a);
            case EScreen::Quests:
                return new TBackLogged<CRootOnlyQuests>(this, a, b);
            case EScreen::Upgrades:
                return new TBackLogged<CRootOnlyUpgrades>(this);
            case EScreen::About:
                return new TBackLogged<CRootOnlyAbout>(this);
            case EScreen::GroupLoader:
                return new CBareGroupLoader(this);
            default:
                return CTheGame::NewScreen(kind, a, b);
        }
    }
};

std::string EntryText(CXEditName* entry) {
    const CommonString text = entry->GetText();
    return std::string(text.Length() > 0 ? text.GetDataConst() : "");
}

struct TBackCase {
    const char* why;
    std::function<bool(CTheGame&)> open;
    std::vector<const char*> dialogs;  // opened on the screen first, in order
    std::vector<std::string> log;
};

class TheGameBackKey : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL context";
        g_Log.clear();
        // The wait dialog needs its spoke image.
        mediatest::SetCommonPak(game, dir.Path("ui.pak"),
                                {{"ui\\ui_iphone\\ui_main.txt", ToBytes(Template())},
                                 {"i_vga\\particles\\line_circle.png",
                                  mediatest::EncodePng(mediatest::MakeImage(8, 20, {255, 255, 255, 255}))}});
        ASSERT_NE(MakeGlTestScreen(&game, 320, 480), nullptr);
    }
    // Opens a screen, lets its curtain rise and opens its dialogs: the screen.
    XGameRoot* Open(const TBackCase& c) {
        EXPECT_TRUE(c.open(game));
        auto* screen = dynamic_cast<XGameRoot*>(game.GetActiveObjectPtr());
        for (int i = 0; i < 16; ++i) game.RunProcess();
        for (const char* dialog : c.dialogs)
            EXPECT_EQ(screen->XDialog::DoAction(CommonString((std::string("open_") + dialog).c_str())), 1) << dialog;
        g_Log.clear();
        return screen;
    }
    // Opens the start menu with its name entry: the entry.
    CXEditName* OpenNameEntry() {
        XGameRoot* menu = Open({"", [](CTheGame& g) { return g.RunStartMenu(); }, {"dlg_EnterName"}, {}});
        return menu ? dynamic_cast<CXEditName*>(menu->FindChildWithWidgetId("dlg_EnterName")) : nullptr;
    }

    mediatest::CHeadlessGl gl{32, 32};
    CScratchSaveFolder saves;
    CScratchDir dir;
    CBackKeyGame game;
};

TEST_F(TheGameBackKey, TheTableOfScreensAndDialogs) {
    const auto round = [](CTheGame& g) { return g.RunGamePlaySurvival(); };
    const auto menu = [](CTheGame& g) { return g.RunStartMenu(); };
    const TBackCase cases[] = {
        {"a round without a dialog pauses", round, {}, {"pause"}},
        {"the pause dialog presses its menu button", round, {"dlg_pause"}, {"click btn_pause_menu"}},
        {"so does the pause dialog with ads", round, {"dlg_pause_withads"}, {"click btn_pause_menu"}},
        {"a pause over the round statistics: the pause wins",
         round,
         {"dlg_level_failed2", "dlg_pause"},
         {"click btn_pause_menu"}},
        {"the round statistics continue",
         round,
         {"dlg_level_failed2"},
         {"click btn_failed_continue via dlg_level_failed2"}},
        {"another modal dialog of a round: nothing", round, {"dlg_modal"}, {}},
        {"the start menu asks whether to quit", menu, {"dlg_StartMenuRoot"}, {}},
        {"elsewhere in the start menu: back", menu, {}, {"back"}},
        {"the review question in place of the panel: back", menu, {"dlg_review"}, {"back"}},
        {"play screen", [](CTheGame& g) { return g.RunPlayScreen(); }, {}, {"click btn_arenas_menu"}},
        {"play screen, dialog open", [](CTheGame& g) { return g.RunPlayScreen(); }, {"dlg_modal"}, {"back"}},
        {"yard", [](CTheGame& g) { return g.RunFarmWindowScreen(); }, {}, {"click btn_CloseShop"}},
        {"yard, dialog open", [](CTheGame& g) { return g.RunFarmWindowScreen(); }, {"dlg_modal"}, {"back"}},
        {"farm shop", [](CTheGame& g) { return g.RunFarmShopScreen(); }, {}, {"click btn_buy_close"}},
        {"farm shop, dialog open", [](CTheGame& g) { return g.RunFarmShopScreen(); }, {"dlg_modal"}, {"back"}},
        {"achievements", [](CTheGame& g) { return g.RunAchScreen(); }, {}, {"click btn_AchievementsOK"}},
        {"achievements, dialog open", [](CTheGame& g) { return g.RunAchScreen(); }, {"dlg_modal"}, {}},
        {"leaderboards", [](CTheGame& g) { return g.RunLeadersScreen(1001); }, {}, {"click btn_LeaderboardOK"}},
        {"leaderboards, dialog open", [](CTheGame& g) { return g.RunLeadersScreen(1001); }, {"dlg_modal"}, {}},
        {"quests", [](CTheGame& g) { return g.RunQuestsScreen(0, 1001); }, {}, {"click btn_quests_ok"}},
        {"quests, dialog open", [](CTheGame& g) { return g.RunQuestsScreen(0, 1001); }, {"dlg_modal"}, {"back"}},
        {"boosts", [](CTheGame& g) { return g.RunUpgradesScreen(); }, {}, {"click btn_boosts_menu"}},
        {"boosts, dialog open", [](CTheGame& g) { return g.RunUpgradesScreen(); }, {"dlg_modal"}, {"back"}},
        {"about", [](CTheGame& g) { return g.RunAboutScreen(); }, {}, {"click btn_CreditsClose"}},
        {"about, dialog open", [](CTheGame& g) { return g.RunAboutScreen(); }, {"dlg_modal"}, {}},
        {"the wait dialog holds the key back", [](CTheGame& g) { return g.RunPlayScreen(); }, {"dlg_InAppWait"}, {}},
        {"the loader ignores it", [](CTheGame& g) { return g.RunGroupSetLoader(); }, {}, {}},
    };
    for (const TBackCase& c : cases) {
        SCOPED_TRACE(c.why);
        XGameRoot* screen = Open(c);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(game.OnGraffitiChar(kBackKey), 1);
        EXPECT_EQ(g_Log, c.log);
    }
}

TEST_F(TheGameBackKey, OnTheNameEntryItDeletesALetter) {
    ASSERT_TRUE(game.CreateApplicationData());
    CApplicationData* data = game.GetAppData();
    ASSERT_EQ(data->AddUserProfile(), 0);
    data->SetUserName(0, CommonString("Ann"));
    CXEditName* entry = OpenNameEntry();
    ASSERT_NE(entry, nullptr);
    const auto name = [entry] { return EntryText(entry); };
    ASSERT_EQ(name(), "Ann") << "the entry shows the current player's name";
    EXPECT_EQ(game.OnGraffitiChar(kBackKey), 1);
    EXPECT_EQ(name(), "An");
    EXPECT_TRUE(g_Log.empty()) << "the entry keeps its backspace to itself";
}

TEST_F(TheGameBackKey, TypedKeysOnTheNameEntryPressItsOwnKeyboard) {
    ASSERT_TRUE(game.CreateApplicationData());
    ASSERT_EQ(game.GetAppData()->AddUserProfile(), 0);
    CXEditName* entry = OpenNameEntry();
    ASSERT_NE(entry, nullptr);
    const auto name = [entry] { return EntryText(entry); };
    ASSERT_EQ(name(), "") << "a new player's entry starts empty";
    // Return on an empty name: OK is hidden, so nothing is pressed.
    EXPECT_EQ(game.OnTypedKey('\r'), 1);
    EXPECT_TRUE(g_Log.empty());
    // The case is the entry's: a capital first and after the name is emptied, small letters
    // after one, whatever case was typed.
    struct TStep {
        int code;
        const char* name;
    } steps[] = {{'a', "A"},   {'D', "Ad"}, {'a', "Ada"}, {' ', "Ada "}, {'l', "Ada l"}, {'\b', "Ada "}, {'\b', "Ada"},
                 {'\b', "Ad"}, {'\b', "A"}, {'\b', ""},   {'\b', ""},    {'z', "Z"},     {'Q', "Zq"}};
    for (const TStep& step : steps) {
        EXPECT_EQ(game.OnTypedKey(step.code), 1) << step.code;
        EXPECT_EQ(name(), step.name) << "after " << step.code;
    }
    EXPECT_TRUE(g_Log.empty()) << "the keys stay inside the entry";
    // With OK shown, Return presses it, and the entry hands it up as it does a finger's press.
    EXPECT_EQ(game.OnTypedKey('\r'), 1);
    EXPECT_EQ(g_Log, (std::vector<std::string>{"click btn_NameOk via dlg_EnterName"}));
}

TEST_F(TheGameBackKey, TypedKeysElsewhereDoNothing) {
    ASSERT_TRUE(game.CreateApplicationData());
    const auto menu = [](CTheGame& g) { return g.RunStartMenu(); };
    const TBackCase cases[] = {
        {"the start menu's panel", menu, {"dlg_StartMenuRoot"}, {}},
        {"the quit question", menu, {"dlg_StartMenuRoot", "dlg_QuitConfirm"}, {}},
        {"the play screen", [](CTheGame& g) { return g.RunPlayScreen(); }, {}, {}},
        {"a round", [](CTheGame& g) { return g.RunGamePlaySurvival(); }, {}, {}},
    };
    for (const TBackCase& c : cases) {
        SCOPED_TRACE(c.why);
        XGameRoot* screen = Open(c);
        ASSERT_NE(screen, nullptr);
        for (const int code : {'a', 'Z', ' ', '\b', '\r'}) EXPECT_EQ(game.OnTypedKey(code), 1) << code;
        EXPECT_TRUE(g_Log.empty());
        EXPECT_EQ(screen->FindChildWithWidgetId("dlg_QuitConfirm") != nullptr, c.dialogs.size() == 2)
            << "no key opened or closed the quit question";
    }
}

TEST_F(TheGameBackKey, TheStartMenuQuitQuestionOpensAndASecondBackLeavesWithTheDataSaved) {
    ASSERT_TRUE(game.CreateApplicationData());
    XGameRoot* menu = Open({"", [](CTheGame& g) { return g.RunStartMenu(); }, {"dlg_StartMenuRoot"}, {}});
    // The menu panel saved once when it opened; the quit question itself saves nothing.
    std::filesystem::remove(saves.Path("global.opt"));
    ASSERT_EQ(game.OnGraffitiChar(kBackKey), 1);
    EXPECT_NE(menu->FindChildWithWidgetId("dlg_QuitConfirm"), nullptr) << "acnConfirmQuit ran on the start menu";
    EXPECT_FALSE(std::filesystem::exists(saves.Path("global.opt")));
    EXPECT_EQ(game.OnGraffitiChar(kBackKey), 0);
    EXPECT_TRUE(std::filesystem::exists(saves.Path("global.opt")));
}

TEST_F(TheGameBackKey, OtherKeysAreNotTheBackKey) {
    ASSERT_TRUE(game.RunPlayScreen());
    for (const int code : std::vector<int>{0, 7, 9, 27, 'a', '\r'}) EXPECT_EQ(game.OnGraffitiChar(code), 0) << code;
    EXPECT_TRUE(g_Log.empty());
}

TEST_F(TheGameBackKey, OnlyTypedCharactersAreTypedKeys) {
    ASSERT_TRUE(game.CreateApplicationData());
    ASSERT_EQ(game.GetAppData()->AddUserProfile(), 0);
    XGameRoot* menu = Open({"", [](CTheGame& g) { return g.RunStartMenu(); }, {"dlg_EnterName"}, {}});
    auto* entry = dynamic_cast<CXEditName*>(menu->FindChildWithWidgetId("dlg_EnterName"));
    ASSERT_NE(entry, nullptr);
    // Around the letters' ranges, digits, the back key's code and DEL: no key of the entry.
    for (const int code : std::vector<int>{0, '0', '9', '@', '[', '`', '{', 127, '\t', '\n', '\b' + 256})
        EXPECT_EQ(game.OnTypedKey(code), 0) << code;
    EXPECT_EQ(entry->GetText().Length(), 0);
    EXPECT_TRUE(g_Log.empty());
}

}  // namespace

// The player, name and language dialogs on the start menu built from the real pak, and the
// welcome text's format taken from a template of the test's own.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FrontEndTestGame.h"
#include "core/LocManager2.h"
#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/progress/ArenaManager.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/StartMenu.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/TemplateReader.h"
#include "ui/WidgetMakers.h"

namespace {

std::string Caption(XWidget* widget) {
    auto* button = dynamic_cast<XButton*>(widget);
    if (button == nullptr) return "(missing)";
    return button->GetCaption().Length() > 0 ? button->GetCaption().GetDataConst() : "";
}

class PlayerDialogsTest : public FrontEndTest {
protected:
    CXStartMenu2* OpenMenu() {
        EXPECT_TRUE(game.RunStartMenu());
        return game.m_pStartMenu;
    }
    template <class T>
    T* Open(CXStartMenu2* menu, const char* action, const char* id) {
        EXPECT_EQ(menu->DoAction(CommonString("ui_main.txt"), CommonString(action)), 1) << action;
        return FindDialogAs<T>(menu, id);
    }
    static void Press(XDialog* dialog, const char* id) { dialog->OnMessage(dialog, XMSG_CLICK, XIdParam(id), 0); }
    static std::string Typed(CXEditName* entry) {
        const CommonString text = entry->GetText();
        return text.Length() > 0 ? text.GetDataConst() : "";
    }
};

TEST_F(PlayerDialogsTest, TypingCapitalisesTheFirstLetterAndStopsAtTenCharacters) {
    CXStartMenu2* menu = OpenMenu();
    auto* entry = FindDialogAs<CXEditName>(menu, "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    XWidget* ok = entry->FindChildWithWidgetId("btn_NameOk");
    EXPECT_TRUE(entry->IsShiftOn()) << "an empty name starts with a capital";
    EXPECT_EQ(Caption(entry->FindChildWithWidgetId("btn_Q")), "Q");
    EXPECT_FALSE(ok->IsVisible()) << "no OK for an empty name";

    for (const char* key : {"btn_M", "btn_A", "btn_Space", "btn_Z"}) Press(entry, key);
    EXPECT_EQ(Typed(entry), "Ma z");
    EXPECT_FALSE(entry->IsShiftOn());
    EXPECT_EQ(Caption(entry->FindChildWithWidgetId("btn_Q")), "q") << "the keys show small letters";
    EXPECT_TRUE(ok->IsVisible());
    Press(entry, "btnShift");
    Press(entry, "btn_Y");
    EXPECT_EQ(Typed(entry), "Ma zY") << "shift gives one capital";
    for (const char* key : {"btn_B", "btn_C", "btn_D", "btn_E", "btn_F", "btn_G"}) Press(entry, key);
    EXPECT_EQ(Typed(entry), "Ma zYbcdef") << "ten characters at most";

    for (int i = 0; i < 9; ++i) Press(entry, "btn_BkSpace");
    EXPECT_EQ(Typed(entry), "M");
    EXPECT_FALSE(entry->IsShiftOn());
    Press(entry, "btn_BkSpace");
    EXPECT_EQ(Typed(entry), "");
    EXPECT_TRUE(entry->IsShiftOn()) << "empty again: capitals again";
    Press(entry, "btn_BkSpace");
    EXPECT_EQ(Typed(entry), "");
}

TEST_F(PlayerDialogsTest, AnotherPlayersNameIsTakenButTheOwnNameAndOtherCasesAreNot) {
    AddPlayer("Ann");
    AddPlayer("Bo");
    CXStartMenu2* menu = OpenMenu();
    auto* entry = Open<CXEditName>(menu, "acn_players_2_edit", "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    XWidget* ok = entry->FindChildWithWidgetId("btn_NameOk");
    XWidget* taken = entry->FindChildWithWidgetId("txt_duplicate_name");
    EXPECT_EQ(Typed(entry), "Bo") << "the entry starts from the current name";
    EXPECT_TRUE(ok->IsVisible()) << "a player may keep their own name";
    EXPECT_FALSE(taken->IsVisible());

    Press(entry, "btn_BkSpace");
    Press(entry, "btn_BkSpace");
    for (const char* key : {"btn_A", "btn_N", "btn_N"}) Press(entry, key);
    ASSERT_EQ(Typed(entry), "Ann");
    EXPECT_FALSE(ok->IsVisible());
    EXPECT_TRUE(taken->IsVisible());
    Press(entry, "btn_BkSpace");
    Press(entry, "btn_BkSpace");
    Press(entry, "btn_BkSpace");
    Press(entry, "btnShift");
    Press(entry, "btn_A");  // empty again turned capitals on; the shift key turned them off
    Press(entry, "btn_N");
    Press(entry, "btn_N");
    ASSERT_EQ(Typed(entry), "ann");
    EXPECT_TRUE(ok->IsVisible()) << "names differ by case";
    EXPECT_FALSE(taken->IsVisible());
}

TEST_F(PlayerDialogsTest, ANameOfBlanksOnlyGetsNoOkAndTheHintStandsInItsPlaceOnTheFirstRun) {
    // The first start: no cancel button, so the hint fills OK's place until a letter is typed.
    CXStartMenu2* menu = OpenMenu();
    auto* entry = FindDialogAs<CXEditName>(menu, "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    ASSERT_FALSE(entry->IsCancelShown());
    XWidget* ok = entry->FindChildWithWidgetId("btn_NameOk");
    XWidget* hint = entry->FindChildWithWidgetId("txt_name_hint");
    ASSERT_NE(hint, nullptr);
    struct TCase {
        std::vector<const char*> keys;  // pressed from an empty name
        const char* typed;
        bool ok;
    } cases[] = {
        {{}, "", false},
        {{"btn_Space"}, " ", false},
        {{"btn_Space", "btn_Space", "btn_Space"}, "   ", false},
        {{"btn_Space", "btn_A"}, " a", true},  // the blank used up the capital
        {{"btn_B", "btn_Space"}, "B ", true},
        {{"btn_Space", "btn_C", "btn_BkSpace"}, " ", false},
    };
    for (const TCase& c : cases) {
        while (Typed(entry).size() > 0) Press(entry, "btn_BkSpace");
        for (const char* key : c.keys) Press(entry, key);
        ASSERT_EQ(Typed(entry), c.typed);
        EXPECT_EQ(ok->IsVisible(), c.ok) << "\"" << c.typed << "\"";
        EXPECT_EQ(hint->IsVisible(), !c.ok) << "\"" << c.typed << "\"";
        EXPECT_FALSE(entry->FindChildWithWidgetId("txt_duplicate_name")->IsVisible());
    }
    // OK and the hint share their place: the hint's middle lies inside OK's rectangle.
    const TCoordRect2D h = hint->GetDrawingRect(), o = ok->GetDrawingRect();
    EXPECT_GE(h.y + h.height / 2, o.y);
    EXPECT_LE(h.y + h.height / 2, o.y + o.height);
}

TEST_F(PlayerDialogsTest, WithACancelButtonNoHintShows) {
    AddPlayer("Ann");
    AddPlayer("Bo");
    CXStartMenu2* menu = OpenMenu();
    auto* entry = Open<CXEditName>(menu, "acn_players_2_edit", "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->IsCancelShown());
    Press(entry, "btn_BkSpace");
    Press(entry, "btn_BkSpace");
    ASSERT_EQ(Typed(entry), "");
    EXPECT_FALSE(entry->FindChildWithWidgetId("btn_NameOk")->IsVisible());
    EXPECT_FALSE(entry->FindChildWithWidgetId("txt_name_hint")->IsVisible()) << "the cancel button shares its row";
}

TEST_F(PlayerDialogsTest, ThePlayersListShowsEachPlayerThenOneNewPlayerRow) {
    AddPlayer("Ann");
    AddPlayer("");
    Data().m_nCurrentProfile = 0;
    CXStartMenu2* menu = OpenMenu();
    auto* list = Open<CXPlayers>(menu, "acn_show_players", "dlg_Players");
    ASSERT_NE(list, nullptr);
    struct TRow {
        std::string caption;
        bool player, edit, empty;
    };
    const TRow rows[] = {{"Ann", true, true, false}, {" ", true, true, false}, {g_strNewPlayer, true, false, false},
                         {"", false, false, true},   {"", false, false, true}, {"", false, false, true}};
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i + 1);
        XWidget* player = list->FindChildWithWidgetId(("btn_player_" + n).c_str());
        SCOPED_TRACE(n);
        EXPECT_EQ(player->IsVisible(), rows[i].player);
        if (rows[i].player) {
            EXPECT_EQ(Caption(player), rows[i].caption);
        }
        EXPECT_EQ(list->FindChildWithWidgetId(("btn_player_edit_" + n).c_str())->IsVisible(), rows[i].edit);
        EXPECT_EQ(list->FindChildWithWidgetId(("btn_player_delete_" + n).c_str())->IsVisible(), rows[i].edit);
        EXPECT_EQ(list->FindChildWithWidgetId(("txt_player_empty_" + n).c_str())->IsVisible(), rows[i].empty);
    }
    EXPECT_STREQ(g_strNewPlayer, "New Player..");

    Press(list, "btn_player_2");
    EXPECT_EQ(Data().m_nCurrentProfile, 1) << "a row picks its player";
}

TEST_F(PlayerDialogsTest, WithSixPlayersEveryRowIsAPlayer) {
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) AddPlayer(name);
    CXStartMenu2* menu = OpenMenu();
    auto* list = Open<CXPlayers>(menu, "acn_show_players", "dlg_Players");
    ASSERT_NE(list, nullptr);
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(Caption(list->FindChildWithWidgetId(("btn_player_" + n).c_str())), std::string(1, 'A' + i - 1));
        EXPECT_TRUE(list->FindChildWithWidgetId(("btn_player_delete_" + n).c_str())->IsVisible());
        EXPECT_FALSE(list->FindChildWithWidgetId(("txt_player_empty_" + n).c_str())->IsVisible());
    }
}

TEST_F(PlayerDialogsTest, ANewPlayerFromTheListCanBeCancelledAgain) {
    AddPlayer("Ann");
    CXStartMenu2* menu = OpenMenu();
    auto* list = Open<CXPlayers>(menu, "acn_show_players", "dlg_Players");
    ASSERT_NE(list, nullptr);
    Press(list, "btn_player_2");
    ASSERT_EQ(Data().m_Profiles.count, 2);
    EXPECT_EQ(Data().m_nCurrentProfile, 1);
    auto* entry = FindDialogAs<CXEditName>(menu, "dlg_EnterName");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->m_bNewProfile);
    EXPECT_TRUE(entry->IsCancelShown()) << "the second player may change their mind";
    menu->OnMessage(entry, XMSG_CLICK, XIdParam("btn_NameCancel"), 0);
    EXPECT_EQ(Data().m_Profiles.count, 1);
    EXPECT_EQ(Name(0), "Ann");
}

TEST_F(PlayerDialogsTest, RemovingAPlayerDeletesTheirKeptGamesFirstThenThePlayer) {
    game.m_pArenaManager = new CArenaManager(&game);
    ASSERT_EQ(game.m_pArenaManager->ReadFile(CommonString("Data\\arenas.txt")), 1);
    AddPlayer("Ann");
    AddPlayer("Bo");
    const int annRecord = game.SR_GetRecordId_OfArena(0, CommonString("arena1"));
    const int boRecord = game.SR_GetRecordId_OfArena(1, CommonString("arena1"));
    ASSERT_NE(annRecord, boRecord);
    for (int id : {annRecord, boRecord}) {
        CMemoryFile file;
        ASSERT_TRUE(file.Create(8));
        ASSERT_EQ(file.WriteInt(id), 4);
        ASSERT_EQ(game.m_pSaveResumeStorage->WriteRecord(id, &file, CommonString("round")), 1);
    }
    Data().m_nCurrentProfile = 0;
    CXStartMenu2* menu = OpenMenu();
    auto* confirm = Open<CXRemovePlayer>(menu, "acn_players_2_delete", "dlg_remove_user");
    ASSERT_NE(confirm, nullptr);
    auto* name = dynamic_cast<XText*>(confirm->FindChildWithWidgetId("txt_remove_user_name"));
    EXPECT_STREQ(name->GetCaption().GetDataConst(), "Ann");
    Press(confirm, "btn_remove_user_ok");
    ASSERT_EQ(Data().m_Profiles.count, 1);
    EXPECT_EQ(Name(0), "Bo");
    EXPECT_TRUE(game.m_pSaveResumeStorage->IsRecordEmpty(annRecord));
    EXPECT_FALSE(game.m_pSaveResumeStorage->IsRecordEmpty(boRecord)) << "the other player's round is kept";
}

TEST_F(PlayerDialogsTest, TheLanguageDialogTicksOneBoxAndPostsOnlyARealChange) {
    AddPlayer("Ann");
    CXStartMenu2* menu = OpenMenu();
    auto* dialog = Open<CXLanguageDialog>(menu, "acn_show_lang", "dlg_lang");
    ASSERT_NE(dialog, nullptr);
    const int languages = game.GetLocManager()->GetLanguageCount();
    ASSERT_GE(languages, 1);
    for (int i = 1; i <= 4; ++i) {
        auto* box = dynamic_cast<XCheckBox*>(dialog->FindChildWithWidgetId(("chk_lang_" + std::to_string(i)).c_str()));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->IsVisible(), i <= languages) << "boxes beyond the languages are hidden";
        if (i <= languages) {
            EXPECT_EQ(box->IsChecked(), i == 1);
        }
    }
    dialog->OnMessage(dialog, XMSG_CHECK_TOGGLED, XIdParam("chk_lang_1"), 0);
    EXPECT_TRUE(dynamic_cast<XCheckBox*>(dialog->FindChildWithWidgetId("chk_lang_1"))->IsChecked())
        << "tapping the ticked box keeps it ticked";
    Press(dialog, "btn_lang_ok");
    EXPECT_TRUE(game.posts.empty()) << "the same language: nothing to switch";

    // A stored language the list no longer shows: choosing the first switches to it.
    Data().m_nLanguageIndex = languages;
    dialog = Open<CXLanguageDialog>(menu, "acn_show_lang", "dlg_lang");
    ASSERT_NE(dialog, nullptr);
    dialog->OnMessage(dialog, XMSG_CHECK_TOGGLED, XIdParam("chk_lang_1"), 1);
    EXPECT_EQ(dialog->GetSelection(), 0);
    Press(dialog, "btn_lang_ok");
    EXPECT_EQ(game.posts, (std::vector<CRealPakGame::TPost>{{MSG_LANGUAGE_CHANGED, languages, 0}}));
}

// The welcome text's template caption is a translator's text: only its "%s" takes the name.
TEST(WelcomeText, TheTemplateTextIsFilledInNeverTrustedAsAFormat) {
    CTestTheGame game;
    ASSERT_TRUE(game.CreateApplicationData());
    CApplicationData* data = game.GetAppData();
    data->SetUserName(data->AddUserProfile(), CommonString("Sam"));
    const std::string text =
        "dialog = d\n child = txt_Welcome\n end\nend\n"
        "text = txt_Welcome\n caption = \"Hi %s %s %n %d 100%%\"\nend\n";
    CTemplateReader reader;
    std::unique_ptr<TTemplate> templ(reader.ReadTemplateFromBytes({text.data(), text.size()}, "welcome.txt"));
    ASSERT_NE(templ, nullptr);
    XWidget* dialog = MakeAndInitWidget(MakeWidget<XGameDialog>, &game, templ.get(), templ->GetWidget("d"), nullptr);
    ASSERT_NE(dialog, nullptr);
    auto* welcome = dynamic_cast<CXPlayersButtonText*>(dialog->FindChildWithWidgetId("txt_Welcome"));
    ASSERT_NE(welcome, nullptr);
    EXPECT_STREQ(welcome->GetCaption().GetDataConst(), "Hi Sam %s %n %d 100%");
    data->SetUserName(0, CommonString(""));
    welcome->ShowPlayerName(data->GetUserName(0));
    EXPECT_STREQ(welcome->GetCaption().GetDataConst(), "Hi   %s %n %d 100%") << "an empty name reads as a blank";
    SAFE_FREE_XELEMENT(dialog);
}

}  // namespace

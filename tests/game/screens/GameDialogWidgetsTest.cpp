// The game object's side of the game widgets: the children of a game dialog made under the real
// game take the game's rows first (rows whose class is still to come make the generic widget),
// then the framework's; the sound manager and rotator the widgets use are the game's own.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>

#include "audio/SoundManager.h"
#include "game/news/NewsWidgets.h"
#include "game/screens/AddCoinsButton.h"
#include "game/screens/PlayerDialogs.h"
#include "render/ImageRotatorScaler.h"
#include "testsupport/TestTheGame.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/TemplateReader.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

TEST(GameDialogWidgetsTest, TheGameDialogUnderTheGameTakesTheGamesRowsFirst) {
    CTestTheGame game;
    const std::string text =
        "dialog = d\n modal = children\n child = btn_startmenu_news\n end\n child = btn_can_buy_addcoins\n end\n"
        " child = txt_Welcome\n end\n child = btn_player_2\n end\n child = btn_other\n end\n"
        " child = btn_play_upgrades\n end\nend\n"
        "button = btn_startmenu_news\nend\nbutton = btn_can_buy_addcoins\nend\ntext = txt_Welcome\nend\n"
        "button = btn_player_2\nend\nbutton = btn_other\nend\nbutton = btn_play_upgrades\nend\n";
    CTemplateReader reader;
    std::unique_ptr<TTemplate> templ(reader.ReadTemplateFromBytes({text.data(), text.size()}, "game.txt"));
    XWidget* dialog = MakeAndInitWidget(MakeWidget<XGameDialog>, &game, templ.get(), templ->GetWidget("d"), nullptr);
    ASSERT_NE(dialog, nullptr);
    struct TCase {
        const char* id;
        const std::type_info& type;
    };
    const TCase cases[] = {
        {"btn_startmenu_news", typeid(CXNewsButton)},
        {"btn_can_buy_addcoins", typeid(CXAddCoinsButton)},
        {"txt_Welcome", typeid(CXPlayersButtonText)},
        {"btn_player_2", typeid(XRectButton)},
        {"btn_other", typeid(XGameButton)},
        // The play screen makes its boosts badge itself; a game dialog has no row for it.
        {"btn_play_upgrades", typeid(XGameButton)},
    };
    for (const TCase& c : cases) {
        XWidget* widget = dialog->FindChildWithWidgetId(c.id);
        ASSERT_NE(widget, nullptr) << c.id;
        EXPECT_EQ(typeid(*widget), c.type) << c.id;
    }
    EXPECT_FALSE(game.GameDialogWidgetMakers().empty());
    SAFE_FREE_XELEMENT(dialog);

    // The game deletes both.
    game.m_pSoundManager = new CSoundManager(&game);
    game.m_pRotatorScaler = new CQuorvanImageRotatorScaler(&game, 360);
    IElementHost& host = game;
    EXPECT_EQ(host.GetSoundManager(), game.m_pSoundManager);
    EXPECT_EQ(host.GetRotatorScaler(), game.m_pRotatorScaler);
}

}  // namespace

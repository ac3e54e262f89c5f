// The game's rows of the game dialog's factory. A row whose game class is not written yet makes
// the framework's widget of its kind; the class, once it exists, takes its row's maker.
#include "game/screens/GameDialogWidgets.h"

#include "game/news/NewsWidgets.h"
#include "game/screens/AddCoinsButton.h"
#include "game/screens/PlayerDialogs.h"
#include "ui/GameButton.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"

namespace {

const TWidgetMakerRow kGameDialogGameRows[] = {
    {kWidgetButton, "btn_startmenu_news", MakeWidget<CXNewsButton>},
    {kWidgetButton, "btn_Boosts_AddCoins", MakeWidget<CXAddCoinsButton>},
    {kWidgetButton, "btn_can_buy_addcoins", MakeWidget<CXAddCoinsButton>},
    {kWidgetText, "txt_Welcome", MakeWidget<CXPlayersButtonText>},
    {kWidgetText, "txt_sm_change_player", MakeWidget<CXPlayersButtonText>},
};

}  // namespace

std::span<const TWidgetMakerRow> GameDialogGameRows() { return kGameDialogGameRows; }

// The game's rows of the game dialog's factory and of the screen roots'. A row whose game class is
// not written yet makes the framework's widget of its kind; the class, once it exists, takes its
// row's maker.
#include "game/screens/GameDialogWidgets.h"

#include <new>

#include "game/farm/FarmDefs.h"
#include "game/farm/FarmProgress.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/news/NewsWidgets.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/AddCoinsButton.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/RoundStatsDialog.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/StatsDialog.h"
#include "game/widgets/InAppWaitDlg.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/GameProgress.h"
#include "ui/GameStretchImage.h"
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

// The round statistics, given the round that is running.
XWidget* MakeRoundStatsDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement) {
    IProgressHost* host = ProgressHostOf(ScreensGameOf(parent));
    auto* round = dynamic_cast<CXGameplaySurvival*>(host != nullptr ? host->GetRunningRound() : nullptr);
    return new (std::nothrow) CXRoundStatsDialog(parent, templ, record, placement, round);
}

// The first matching row wins, and a record no row takes is built as the dialog's own class. A
// row whose class is not written yet makes the game widget of its kind until its class takes the
// row.
const TWidgetMakerRow kScreenGameRows[] = {
    {kWidgetButton, "btn_startmenu_news", MakeWidget<CXNewsButton>},
    {kWidgetButton, nullptr, MakeWidget<XGameButton>},
    {kWidgetDialog, "dlg_news", MakeWidget<CXNewsDialog>},
    {kWidgetDialog, "dlg_EnterName", MakeWidget<CXEditName>},
    {kWidgetDialog, "dlg_Players", MakeWidget<CXPlayers>},
    {kWidgetDialog, "dlg_remove_user", MakeWidget<CXRemovePlayer>},
    {kWidgetDialog, "dlg_lang", MakeWidget<CXLanguageDialog>},
    {kWidgetDialog, "dlg_level_failed2", MakeRoundStatsDialog},
    {kWidgetDialog, "dlg_addcoins", MakeWidget<CXAddCoinsFullScreenContainerDlg>},
    {kWidgetDialog, "dlg_InAppWait", MakeWidget<CXInAppWaitDlg>},
    {kWidgetDialog, "dlg_stats", MakeWidget<CXStatsDialog>},
    {kWidgetDialog, nullptr, MakeWidget<XGameDialog>},
    {kWidgetProgress, "pb_birds", MakeFarmProgress<kCategoryBirds>},
    {kWidgetProgress, "pb_plants", MakeFarmProgress<kCategoryPlants>},
    {kWidgetProgress, "pb_comfort", MakeFarmProgress<kCategoryComfort>},
    {kWidgetProgress, "pb_decor", MakeFarmProgress<kCategoryDecor>},
    {kWidgetProgress, nullptr, MakeWidget<XGameProgress>},
    {kWidgetImage, "img_DlgBg2", MakeWidget<XGameStretchImage>},
    {kWidgetImage, "img_bg", MakeWidget<XGameStretchImage>},
};

}  // namespace

std::span<const TWidgetMakerRow> GameDialogGameRows() { return kGameDialogGameRows; }

std::span<const TWidgetMakerRow> ScreenGameRows() { return kScreenGameRows; }

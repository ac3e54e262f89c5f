// The purchases offered from the round statistics: the confirm and cannot-buy dialogs for the
// object its quest list chose, and the hand-off of a confirmed purchase to the yard, which buys
// the pending object on its next frame (as the quests screen and the farm shop hand theirs off).
#include <cstring>
#include <new>

#include "game/app/TheGame.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "game/screens/RoundStatsDialog.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

bool IsId(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

}  // namespace

XWidget* CXGameplaySurvival::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    auto* stats = dynamic_cast<CXRoundStatsDialog*>(m_pRoundStatsDialog);
    const int mode =
        record != nullptr && record->kind == kWidgetDialog ? ConfirmBuyModeOf(record->name.GetDataConst()) : -1;
    if (stats == nullptr || (mode != kConfirmBuy && mode != kCannotBuy))
        return XGameRoot::CreateAndInitChild(record, placement);
    return InitOrFreeWidget(new (std::nothrow) CXConfirmBuyDialog(this, m_pTemplate, record, placement,
                                                                  stats->GetChosenObject().GetDataConst(), mode));
}

bool CXGameplaySurvival::AnswerRoundStatsPurchase(XWPARAM wparam) {
    CTheGame* game = TheGame();
    if (IsId(wparam, "btn_confirm_buy_yes")) {
        auto* stats = dynamic_cast<CXRoundStatsDialog*>(m_pRoundStatsDialog);
        TUserProfile* profile = Profile();
        if (stats == nullptr || game == nullptr || profile == nullptr) return stats != nullptr;
        profile->m_CurrentYard = stats->GetChosenYard();
        game->m_PendingPurchaseName = stats->GetChosenObject();
        PostGameMessage(MSG_RUN_FARM);
        return true;
    }
    if (IsId(wparam, "btn_can_buy_addcoins")) {
        if (game == nullptr) return false;
        game->m_PendingStartAction = CommonString("acn_addcoins_on");
        PostGameMessage(MSG_RUN_PLAY_SCREEN);
        return true;
    }
    return false;
}

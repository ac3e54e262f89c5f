// The purchases offered from the round statistics: the confirm and cannot-buy dialogs for the
// object its quest list chose, and the hand-off of a confirmed purchase to the yard, which buys
// the pending object on its next frame (as the quests screen and the farm shop hand theirs off).
#include <cstring>
#include <new>

#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/RoundStatsOffer.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

bool IsId(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

}  // namespace

XWidget* CXGameplaySurvival::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    auto* stats = dynamic_cast<IRoundStatsOffer*>(m_pRoundStatsDialog);
    const int mode =
        record != nullptr && record->kind == kWidgetDialog ? ConfirmBuyModeOf(record->name.GetDataConst()) : -1;
    if (stats == nullptr || (mode != kConfirmBuy && mode != kCannotBuy))
        return XGameRoot::CreateAndInitChild(record, placement);
    return InitOrFreeWidget(new (std::nothrow) CXConfirmBuyDialog(this, m_pTemplate, record, placement,
                                                                  stats->GetChosenObject().GetDataConst(), mode));
}

bool CXGameplaySurvival::AnswerRoundStatsPurchase(XWPARAM wparam) {
    IGameplayHost* host = Host();
    if (IsId(wparam, "btn_confirm_buy_yes")) {
        auto* stats = dynamic_cast<IRoundStatsOffer*>(m_pRoundStatsDialog);
        TUserProfile* profile = Profile();
        if (stats == nullptr || host == nullptr || profile == nullptr) return stats != nullptr;
        profile->m_CurrentYard = stats->GetChosenYard();
        host->OpenYardToBuy(stats->GetChosenObject());
        return true;
    }
    if (IsId(wparam, "btn_can_buy_addcoins")) {
        if (host == nullptr) return false;
        host->OpenCoinShopOnPlayScreen();
        return true;
    }
    return false;
}

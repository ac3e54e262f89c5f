// Delivery of the screen-switch message a screen root holds once its curtain has fallen: a round
// needs the "gameplay" sprite sets and the farm its own, each loaded by the group loader screen
// unless it is loaded already.
#include "game/app/TheGame.h"
#include "game/progress/UserProfile.h"
#include "game/screens/GroupSetLoader.h"
#include "game/screens/LoaderScreen.h"
#include "sprites/SpriteSetManager.h"

namespace {

// Sends a copied message as the root's own non-deferring send would, without the root: to its
// target, or without one to the root's parent, the game object.
void Deliver(CTheGame* game, CXElement* sender, const TSavedMessage& message) {
    CXElement* target = message.target != nullptr ? message.target : game;
    (void)target->OnMessage(sender, message.code, message.wparam, message.lparam);
}

// Opens the group loader for the group and parks the message in it; without a loader the game
// cannot go on and ends.
void LoadGroupThenDeliver(CTheGame* game, const TSavedMessage& message, const char* caption, const char* group) {
    if (!game->RunGroupSetLoader()) {
        game->ReportScreenFailure(CommonString("the group loader for ") + CommonString(group));
        game->SetFinished(kFinishAbort);
        return;
    }
    game->m_pGroupSetLoader->SetCaptionText(caption);
    game->m_pGroupSetLoader->SetGroupName(group);
    game->m_pGroupSetLoader->SetupSavedMessage(message.target, message.code, message.wparam, message.lparam,
                                               message.deferred);
}

}  // namespace

void CTheGame::DeliverScreenSwitch(CXElement* sender, const TSavedMessage& message) {
    // Opening the group loader, or delivering the message, deletes every open screen and the
    // sender among them: it is only passed on as the sender, which no receiver reads once the
    // screens are gone.
    CTheGame* const game = this;
    CXElement* const self = sender;
    if (message.code == 0) return;

    // The finishing screen is the group loader itself, which re-posts the message it was given.
    if (game->m_pGroupSetLoader != nullptr) {
        Deliver(game, self, message);
        return;
    }
    switch (message.code) {
        case MSG_RUN_NEW_GAME:
        case MSG_RUN_TUTORIAL:
        case MSG_RESUME_ARENA:
            UnloadSritesSetsWithGroupName(game, CommonString("farm"));
            game->ClearFarmObjectCache();
            game->m_bFarmGroupLoaded = false;
            game->m_CachedYardName = CommonString("");
            if (game->m_bGameplayGroupLoaded)
                Deliver(game, self, message);
            else
                LoadGroupThenDeliver(game, message, "Loading Game", "gameplay");
            return;
        case MSG_RUN_FARM: {
            UnloadSritesSetsWithGroupName(game, CommonString("gameplay"));
            game->m_bGameplayGroupLoaded = false;
            const TUserProfile* profile = game->GetCurrentProfile();
            if (game->m_bFarmGroupLoaded && profile != nullptr && game->m_CachedYardName == profile->m_CurrentYard)
                Deliver(game, self, message);
            else
                LoadGroupThenDeliver(game, message, "Loading Farm", "farm");
            return;
        }
        default:
            Deliver(game, self, message);
    }
}

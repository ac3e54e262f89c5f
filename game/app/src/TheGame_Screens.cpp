// Screen switching: the game messages, the deferral of a switch behind the screen's curtain, the
// screen runners with their one creation routine, the per-frame update and drawing of the open
// screen, the input gate while a curtain runs, and what the screens ask of the game object.
#include <cstdio>
#include <new>
#include <vector>

#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/app/TheGame.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/gameplay/GameplayTutorial.h"
#include "game/news/AdsEngine.h"
#include "game/news/NewsManager.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/AwardManager.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UpgradeManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/AboutScreen.h"
#include "game/screens/AchScreen.h"
#include "game/screens/FarmShopScreen.h"
#include "game/screens/GroupSetLoader.h"
#include "game/screens/LeadersScreen.h"
#include "game/screens/LoaderScreen.h"
#include "game/screens/PlayScreen.h"
#include "game/screens/QuestsScreen.h"
#include "game/screens/StartMenu.h"
#include "game/screens/UpgradesScreen.h"
#include "game/widgets/GameRoot.h"
#include "sprites/SpriteSetManager.h"
#include "ui/ScrollDialog.h"
#include "ui/TabControl.h"

namespace {

// The topmost child that is a screen root, or null.
XGameRoot* TopmostScreenRoot(CXElement& game) {
    for (int i = game.GetChildCount() - 1; i >= 0; --i)
        if (XGameRoot* root = AsGameRoot(game.GetChildPtrAt(i))) return root;
    return nullptr;
}

bool AnyCurtainRunning(CXElement& game) {
    for (int i = 0; i < game.GetChildCount(); ++i)
        if (XGameRoot* root = AsGameRoot(game.GetChildPtrAt(i)); root != nullptr && root->IsTransitionRunning())
            return true;
    return false;
}

}  // namespace

XGameRoot* CTheGame::NewScreen(EScreen kind, int a, int b) {
    switch (kind) {
        case EScreen::Gameplay:
            return new (std::nothrow) CXGameplaySurvival(this);
        case EScreen::Tutorial:
            return new (std::nothrow) CXGameplayTutorial(this);
        case EScreen::StartMenu:
            return new (std::nothrow) CXStartMenu2(this);
        case EScreen::Loader:
            return new (std::nothrow) CXLoaderScreen(this);
        case EScreen::About:
            return new (std::nothrow) CXAboutScreen(this);
        case EScreen::Play:
            return new (std::nothrow) CXPlayScreen(this);
        case EScreen::Farm:
            return new (std::nothrow) CXFarmWindow(this);
        case EScreen::FarmShop:
            return new (std::nothrow) CXFarmShopScreen(this);
        case EScreen::GroupLoader:
            return new (std::nothrow) CXGroupSetLoader(this);
        case EScreen::Achievements:
            return new (std::nothrow) CXAchScreen(this);
        case EScreen::Leaderboards:
            return new (std::nothrow) CXLeadersScreen(this, a);
        case EScreen::Quests:
            return new (std::nothrow) CXQuestsScreen(this, a, b);
        case EScreen::Upgrades:
            return new (std::nothrow) CXUpgradesScreen(this);
    }
    return nullptr;
}

// The one creation routine behind the runners: every open screen goes, the new one is made (its
// constructor links it in as the active child) and built; one that fails is removed again.
namespace {

// Keeps what a screen that could not be built says of itself before it goes.
void NoteFailedScreen(CTheGame& game, const XGameRoot* screen) {
    game.m_FailedScreenRoot = screen != nullptr ? screen->GetRootName() : CommonString();
    game.m_FailedScreenWhy = screen == nullptr                   ? CommonString("there is no memory for it")
                             : screen->GetFailure().Length() > 0 ? screen->GetFailure()
                                                                 : CommonString("it could not be set up");
}

}  // namespace

template <class W>
bool CTheGame::RunXWidget(W*& slot, EScreen kind, int a, int b) {
    SafeDeleteChildren();
    slot = static_cast<W*>(NewScreen(kind, a, b));
    if (slot == nullptr) {
        NoteFailedScreen(*this, nullptr);
        return false;
    }
    if (!slot->OnInitElement()) {
        NoteFailedScreen(*this, slot);
        SAFE_FREE_XELEMENT(slot);
        return false;
    }
    return true;
}

bool CTheGame::RunStartMenu() {
    SafeDeleteChildren();
    m_pStartMenu = static_cast<CXStartMenu2*>(NewScreen(EScreen::StartMenu, 0, 0));
    if (m_pStartMenu == nullptr) {
        NoteFailedScreen(*this, nullptr);
        return false;
    }
    // The counters' icons are looked up even when the menu then fails to build.
    m_pHudCoinSet = m_pSpriteSetManager != nullptr ? m_pSpriteSetManager->GetSpriteSetNamed("HudCoin") : nullptr;
    if (m_pHudCoinSet != nullptr) m_pHudXPSet = m_pSpriteSetManager->GetSpriteSetNamed("HudXP");
    if (!m_pStartMenu->OnInitElement()) {
        NoteFailedScreen(*this, m_pStartMenu);
        SAFE_FREE_XELEMENT(m_pStartMenu);
        return false;
    }
    return true;
}

CommonString CTheGame::FailedScreenText() const {
    return CommonString("the screen ") +
           (m_FailedScreenRoot.Length() > 0 ? m_FailedScreenRoot : CommonString("(no root)")) +
           CommonString(" could not be opened: ") +
           (m_FailedScreenWhy.Length() > 0 ? m_FailedScreenWhy : CommonString("(no detail)"));
}

void CTheGame::ReportScreenFailure(const CommonString& asker) {
    // The run ends at the next turn of the loop; a second failure on the way is not told again.
    if (!HasRunFailed())
        std::fprintf(stderr, "game: %s: %s\n", asker.GetDataConst(), FailedScreenText().GetDataConst());
    SetRunFailed();
    SetFinished(kFinishGameEnds);
}

bool CTheGame::RunGamePlaySurvival() { return RunXWidget(m_pGameplayScreen, EScreen::Gameplay); }
bool CTheGame::RunLoader() { return RunXWidget(m_pLoaderScreen, EScreen::Loader); }
bool CTheGame::RunAboutScreen() { return RunXWidget(m_pAboutScreen, EScreen::About); }

// The tutorial names itself the running tutorial while it exists.
bool CTheGame::RunGameplayTutorial() { return RunXWidget(m_pGameplayScreen, EScreen::Tutorial); }

bool CTheGame::RunPlayScreen() { return RunXWidget(m_pPlayScreen, EScreen::Play); }
bool CTheGame::RunFarmWindowScreen() { return RunXWidget(m_pFarmWindow, EScreen::Farm); }
bool CTheGame::RunFarmShopScreen() { return RunXWidget(m_pFarmShopScreen, EScreen::FarmShop); }
bool CTheGame::RunGroupSetLoader() { return RunXWidget(m_pGroupSetLoader, EScreen::GroupLoader); }
bool CTheGame::RunAchScreen() { return RunXWidget(m_pAchScreen, EScreen::Achievements); }

bool CTheGame::RunLeadersScreen(int returnMessage) {
    return RunXWidget(m_pLeadersScreen, EScreen::Leaderboards, returnMessage);
}

bool CTheGame::RunQuestsScreen(int firstTab, int returnMessage) {
    return RunXWidget(m_pQuestsScreen, EScreen::Quests, firstTab, returnMessage);
}

bool CTheGame::RunUpgradesScreen() { return RunXWidget(m_pUpgradesScreen, EScreen::Upgrades); }

void CTheGame::SafeDeleteChildren() {
    SAFE_FREE_XELEMENT(m_pGameplayScreen);
    SAFE_FREE_XELEMENT(m_pStartMenu);
    // The tutorial is the gameplay screen, gone with it.
    m_pTutorialScreen = nullptr;
    SAFE_FREE_XELEMENT(m_pLoaderScreen);
    SAFE_FREE_XELEMENT(m_pAboutScreen);
    SAFE_FREE_XELEMENT(m_pPlayScreen);
    SAFE_FREE_XELEMENT(m_pFarmWindow);
    SAFE_FREE_XELEMENT(m_pFarmShopScreen);
    SAFE_FREE_XELEMENT(m_pGroupSetLoader);
    SAFE_FREE_XELEMENT(m_pAchScreen);
    SAFE_FREE_XELEMENT(m_pLeadersScreen);
    SAFE_FREE_XELEMENT(m_pQuestsScreen);
    SAFE_FREE_XELEMENT(m_pUpgradesScreen);
}

int CTheGame::SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred) {
    if (deferred) {
        if (XGameRoot* root = TopmostScreenRoot(*this)) {
            // A switch asked for while a curtain runs is dropped: the first one stands.
            if (root->IsTransitionRunning()) return 1;
            root->SetupSavedMessage(target, code, wparam, lparam, false);
            root->StartEffectOut();
            return 1;
        }
    }
    return CGameBase::SendMessage(target, code, wparam, lparam, false);
}

int CTheGame::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    // A screen that cannot be built would leave a black screen for ever: the run ends, told why.
    const auto opened = [this, code](bool open) {
        if (!open) ReportScreenFailure(SafeFormat("message %d", {code}));
        return open;
    };
    switch (code) {
        case MSG_RUN_START_MENU:
            (void)opened(RunStartMenu());
            return 1;
        case MSG_RUN_NEW_GAME:
            if (opened(RunGamePlaySurvival())) m_pGameplayScreen->OnNewGame();
            return 1;
        case MSG_RUN_LOADER:
            (void)opened(RunLoader());
            return 1;
        case MSG_RUN_ABOUT:
            (void)opened(RunAboutScreen());
            return 1;
        case MSG_RUN_TUTORIAL:
            (void)opened(RunGameplayTutorial());
            return 1;
        case MSG_RESUME_ARENA: {
            const TUserProfile* profile = GetCurrentProfile();
            if (profile == nullptr || !SR_LoadResume_Arena(profile->m_CurrentArena))
                return OnMessage(sender, MSG_RUN_NEW_GAME, 0, 0);
            return 1;
        }
        case MSG_LANGUAGE_CHANGED:
            ChangeLanguageAndRestart(static_cast<int>(wparam), lparam);
            return 1;
        case MSG_RUN_PLAY_SCREEN:
            (void)opened(RunPlayScreen());
            return 1;
        case MSG_RUN_FARM:
            (void)opened(RunFarmWindowScreen());
            return 1;
        case MSG_RUN_FARM_SHOP:
            if (opened(RunFarmShopScreen()) && lparam >= 1 && m_pFarmShopScreen->m_pScrollDialog != nullptr &&
                m_pFarmShopScreen->m_pTabControl != nullptr) {
                (void)m_pFarmShopScreen->m_pScrollDialog->SetCurrentCategory(lparam);
                (void)m_pFarmShopScreen->m_pTabControl->ActivateTab(lparam);
            }
            return 1;
        case MSG_RUN_ACHIEVEMENTS:
            (void)opened(RunAchScreen());
            return 1;
        case MSG_RUN_LEADERBOARDS:
            (void)opened(RunLeadersScreen(static_cast<int>(wparam)));
            return 1;
        case MSG_RUN_QUESTS:
            (void)opened(RunQuestsScreen(static_cast<int>(wparam), lparam));
            return 1;
        case MSG_RUN_UPGRADES:
            (void)opened(RunUpgradesScreen());
            return 1;
        case XMSG_CLICK:
            return 1;
        default:
            return CGameBase::OnMessage(sender, code, wparam, lparam);
    }
}

void CTheGame::ChangeLanguageAndRestart(int oldIndex, int newIndex) {
    // The open screens point into the templates and fonts about to be replaced: they go first.
    SafeDeleteChildren();
    if (CApplicationData* data = GetAppData()) data->m_nLanguageIndex = newIndex;
    if (m_pLocManager != nullptr) m_pLocManager->SetCurrentLanguage(newIndex);
    if (m_pAchievementsManager != nullptr) (void)m_pAchievementsManager->InitArrayOfAchievementInfos();
    // A font that fails to reload leaves the game without it; the start menu opens all the same.
    (void)ReLoadAllFontsOnLanguageChanged(oldIndex, newIndex);
    FlushCachedTemplates();
    (void)SendMessage(this, MSG_RUN_START_MENU, 0, 0, false);
}

void CTheGame::Pause() {
    if (m_pGameplayScreen != nullptr) m_pGameplayScreen->Pause();
}

bool CTheGame::IsCurrentScreenSettled() {
    XGameRoot* root = AsGameRoot(GetActiveObjectPtr());
    return root != nullptr && !root->IsTransitionRunning();
}

void CTheGame::RunProcess() {
    ProcessIPhoneRotation();
    if (CXElement* active = GetActiveObjectPtr()) {
        XGameRoot* root = AsGameRoot(active);
        // The curtain's last tick may have replaced the screen: its own update waits a frame.
        if (root == nullptr || !root->RunEffectProgress()) active->RunProcess();
    }
    if (m_pAdsEngine != nullptr) m_pAdsEngine->RunProcessAd();
    // News pictures a worker gave up are freed here, on the thread that owns their textures.
    if (m_pNewsManager != nullptr) m_pNewsManager->ReleaseRetiredPictures();
    if (m_pAwardManager != nullptr && m_pAwardManager->IsActive()) m_pAwardManager->RunProcess();
    if (m_pAchievementsManager != nullptr) m_pAchievementsManager->ProcessAwardedMessagesQueue();
    if (m_pPurchaseManager != nullptr) m_pPurchaseManager->RunProcess();
}

void CTheGame::Draw() {
    for (int i = 0; i < GetChildCount(); ++i) {
        CXElement* child = GetChildPtrAt(i);
        if (child == nullptr || !child->IsVisible()) continue;
        XGameRoot* root = AsGameRoot(child);
        if (root != nullptr && root->IsTransitionRunning())
            root->DrawEffectProgress();
        else
            child->Draw();
    }
    if (m_pAwardManager != nullptr && m_pAwardManager->IsActive()) m_pAwardManager->Draw(m_Screen.m_pBackBuffer);
    if (m_pAdsEngine != nullptr) m_pAdsEngine->DrawAd();
}

int CTheGame::NotifyKeyEvent(int key, int type) { return CGameBase::NotifyKeyEvent(key, type); }

int CTheGame::NotifyPointerEvent(int x, int y, int type) {
    if (m_pAdsEngine != nullptr && m_pAdsEngine->NotifyPointerEvent(x, y, type)) return 1;
    if (AnyCurtainRunning(*this)) return 1;
    return CGameBase::NotifyPointerEvent(x, y, type);
}

int CTheGame::NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) {
    if (AnyCurtainRunning(*this)) return 1;
    return CXElement::NotifyMultiTouchPointerEvent(x, y, type, touchId);
}

void CTheGame::ClearFarmObjectCache() { m_FarmObjectCache.RemoveAll(); }

int CTheGame::IsObjectWithNameAlreadyCached(const char* name) {
    for (int i = 0; i < m_FarmObjectCache.count; ++i) {
        const CFarmObject* object = m_FarmObjectCache.data[i];
        if (object != nullptr && object->m_Id == name) return i;
    }
    return -1;
}

XDialog* CTheGame::GetRoundStatsDialog() {
    return m_pGameplayScreen != nullptr ? m_pGameplayScreen->m_pRoundStatsDialog : nullptr;
}

// ---- What the screens ask of their owner (game/screens/ScreensHost.h) ------------------------

namespace {

// Stores the manager in its slot before it builds itself, so that it can already reach the
// others through the game; one that cannot build is deleted again and the step fails. A slot
// that holds a manager from an earlier try of the step is left as it is.
template <class M>
bool CreateManager(M*& slot, CTheGame* game, CommonString& failure, const char* what) {
    if (slot != nullptr) return true;
    slot = new (std::nothrow) M(game);
    if (slot != nullptr && slot->PostConstruct()) return true;
    SafeDelete(slot);
    failure = CommonString(what);
    return false;
}

// The ids of the yard table's yards, in its order (none before the farm is made).
std::vector<const char*> YardIds(CFarmManager* farm) {
    std::vector<const char*> ids;
    if (farm == nullptr) return ids;
    for (int i = 0; i < farm->GetNumYards(); ++i)
        if (const YardDef* yard = farm->GetYardDef(i); yard != nullptr && yard->id.Length() > 0)
            ids.push_back(yard->id.GetDataConst());
    return ids;
}

}  // namespace

int CTheGame::NewHighScoreRow() { return m_nNewHighScoreRow; }

int CTheGame::NewHighScoreTable() { return m_nNewHighScoreTable; }

CSpriteSet* CTheGame::GetBoostPointsIcon() { return m_pHudXPSet; }

CommonString CTheGame::TakePendingStartAction() {
    const CommonString action = m_PendingStartAction;
    m_PendingStartAction = CommonString();
    return action;
}

CInAppPurchaseManager* CTheGame::GetPurchaseManager() { return m_pPurchaseManager; }

void CTheGame::KeepGameFont(EGameFont kind, CBitmapFontText* font) {
    if (kind >= 0 && kind < kGameFontCount) m_Fonts[kind] = font;
}

bool CTheGame::MakeStartUpManagers(int step, CommonString& failure) {
    switch (step) {
        case 1:
            return CreateManager(m_pAwardManager, this, failure,
                                 "the award manager (sprite sets AchAwardedBg, AchAwarded)");
        case 2:
            return CreateManager(m_pAchievementsManager, this, failure, "the achievements") &&
                   CreateManager(m_pUpgradeManager, this, failure, "the boosts");
        case 3:
            if (!CreateManager(m_pFarmManager, this, failure, "the farm (Data\\yards.txt and its yards)")) return false;
            if (!m_pFarmManager->CheckYardObjectCounts(failure)) {
                SafeDelete(m_pFarmManager);
                return false;
            }
            if (!CreateManager(m_pPurchaseManager, this, failure, "the purchases (Data\\addcoins.txt)")) return false;
            if (!m_pPurchaseManager->CheckTable(failure)) {
                SafeDelete(m_pPurchaseManager);
                return false;
            }
            return true;
        case 4:
            if (!CreateManager(m_pArenaManager, this, failure, "the arenas (Data\\arenas.txt)")) return false;
            if (!m_pArenaManager->CheckTable(failure, YardIds(m_pFarmManager))) {
                SafeDelete(m_pArenaManager);
                return false;
            }
            if (!CreateManager(m_pMiniQuestManager, this, failure, "the mini-quests (Data\\miniquests.txt)"))
                return false;
            if (!m_pMiniQuestManager->CheckTable(failure, YardIds(m_pFarmManager))) {
                SafeDelete(m_pMiniQuestManager);
                return false;
            }
            return true;
        case 5:
            if (m_pNewsManager == nullptr) {
                m_pNewsManager = new (std::nothrow) CHollowfenNewsManager(this);
                if (m_pNewsManager == nullptr || !m_pNewsManager->Init("Cobblebrooks")) {
                    SafeDelete(m_pNewsManager);
                    failure = CommonString("the news");
                    return false;
                }
            }
            return true;
        case 6:
            if (m_pAdsEngine == nullptr) {
                m_pAdsEngine = new (std::nothrow) CAdsEngine(this);
                if (m_pAdsEngine == nullptr) {
                    failure = CommonString("the local ads");
                    return false;
                }
                m_pAdsEngine->SetAdPosition(0, 0, 1.0f);
                m_pAdsEngine->ShowAd(false);
                m_pAdsEngine->RequestAdmobAd();
            }
            return true;
        default:
            return true;
    }
}

bool CTheGame::IsFarmGroupLoaded() { return m_bFarmGroupLoaded; }

void CTheGame::KeepCachedObjectsOf(const YardDef& yard, CQuorvanArray<FarmObjectDef*>& missing) {
    CQuorvanArray<CFarmObject*> kept;
    for (int category = 0; category < kFarmCategoryCount; ++category) {
        for (int i = 0; i < yard.objects[category].count; ++i) {
            FarmObjectDef* def = yard.objects[category].data[i];
            const int cached = IsObjectWithNameAlreadyCached(def->id.GetDataConst());
            if (cached < 0) {
                (void)missing.Add(def);
            } else if (kept.Add(m_FarmObjectCache.data[cached])) {
                (void)m_FarmObjectCache.RemoveAt(cached);
            }
        }
    }
    ClearFarmObjectCache();
    for (int i = 0; i < kept.count; ++i)
        if (!m_FarmObjectCache.Add(kept.data[i])) delete kept.data[i];
}

void CTheGame::CacheFarmObject(CFarmObject* object) {
    if (!m_FarmObjectCache.Add(object)) delete object;
}

void CTheGame::NoteGroupLoaded(const CommonString& group) {
    if (group == "gameplay") {
        m_bGameplayGroupLoaded = true;
    } else if (group == "farm") {
        m_bFarmGroupLoaded = true;
        if (const TUserProfile* profile = GetCurrentProfile()) m_CachedYardName = profile->m_CurrentYard;
    }
}

// ---- What the shops, quests, boosts, leaders and player dialogs ask (game/screens/ScreensHost.h)

bool CTheGame::TakePendingAddCoins() {
    const bool pending = m_bPendingAddCoins;
    m_bPendingAddCoins = false;
    return pending;
}

TShopTabsKept CTheGame::KeptShopTabs() { return {m_nShopCurrentTab, m_ShopTabOffsets}; }

CSpriteSet* CTheGame::GetCoinsIcon() { return m_pHudCoinSet; }

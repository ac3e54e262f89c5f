// The yard screen's trade: buying an object handed over by the shop, selling the selected one,
// the achievements and mini-quests a purchase completes, the purchase burst, and the buttons that
// rotate, sell and leave.
#include <cstdio>
#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/LocManager2.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmWindow.h"
#include "game/farm/YardCamera.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"
#include "ui/XElement.h"

namespace {

// Where a bought object goes when the yard has no good free place: the middle of the ground.
constexpr FIXED_FLOAT kFallbackSpawnX = 320 * 256;
constexpr FIXED_FLOAT kFallbackSpawnY = 164 * 256;
// The purchase burst: 40 particles from a ring of 20 points, 5 pixels round.
constexpr FIXED_FLOAT_16 kBurstRadius = 5 * kFixed16One;
constexpr int kBurstRingPoints = 20;
constexpr int kBurstParticles = 40;

void PlaySound(CGameBase* game, const char* name) {
    if (game->GetSoundManager() != nullptr) (void)game->GetSoundManager()->PlaySoundFX(name, false);
}

CQuorvanParticleSystem2* PurchaseBurst(IFarmHost* host) {
    CQuorvanParticleSystemManager2* particles = host->GetParticleManager();
    return particles != nullptr ? particles->GetParticleSystemNamed("ObjectBuy") : nullptr;
}

// The achievements with their award queue, behind the game's progression host; null without them.
CAchievementsManager* AchievementsOf(CGameBase* game) {
    IProgressHost* progress = ProgressHostOf(game);
    return progress != nullptr ? progress->GetAchievementsManager() : nullptr;
}

}  // namespace

bool CXFarmWindow::PurchaseFarmObject(FarmObjectDef* def) {
    IFarmHost* host = FarmHost();
    CGameBase* game = GameBase();
    TUserProfile* profile = host != nullptr ? CurrentProfileOf(game) : nullptr;
    if (def == nullptr || profile == nullptr || m_pYardDef == nullptr) return false;
    if (profile->m_nCoins < def->price) return false;
    CFarmManager* farm = host->GetFarmManager();
    // The object first: the player pays only for an object that stands in the yard.
    CFarmObject* object = farm->CreateFarmObject(def->id.GetDataConst());
    if (object == nullptr) return false;
    FIXED_FLOAT x = 0, y = 0;
    if (!farm->FindGoodSpawnSpotForNewObject(x, y)) {
        x = kFallbackSpawnX;
        y = kFallbackSpawnY;
    }
    object->m_Position = TVector2D{x, y};
    if (!farm->m_Objects.Add(object)) {
        delete object;
        return false;
    }
    profile->m_nCoins -= def->price;
    if (def->category >= 0 && def->category < kFarmCategoryCount) farm->m_CategoryPoints[def->category] += def->price;
    profile->FarmObjectPurchased(m_pYardDef->id, def->id);
    (void)CheckAchievements(def->id);
    (void)CheckMiniQuests(def->id);
    m_pJustBought = object;
    if (CQuorvanParticleSystem2* burst = PurchaseBurst(host)) {
        CQuorvanParticleSystemShape2 ring(game, game->GetRotatorScaler());
        ring.AddCircle(kBurstRadius, kBurstRingPoints, 0, 0);
        ring.SetEmitDelta(0);
        (void)burst->SetEmitShape(&ring);
        RunProcess_AdjustParSysForJustPurchasedObject();
        burst->StartAt(0, 0);
        burst->EmitNewParticles(kBurstParticles);
        burst->Stop(false);
        (void)burst->SetEmitShape(nullptr);
    }
    PlaySound(game, "Shop_BuyItem");
    return true;
}

void CXFarmWindow::RunProcess_AdjustParSysForJustPurchasedObject() {
    CGameBase* game = GameBase();
    CQuorvanParticleSystem2* burst = PurchaseBurst(FarmHost());
    if (burst == nullptr || m_pJustBought == nullptr) return;
    const FIXED_FLOAT_16 s = WorldToScreenScale(m_pJustBought->m_Position);
    const TVector2D p = WorldToScreen(game, m_pJustBought->m_Position);
    // The burst stands at the middle of the object's height and scales with its depth.
    const FIXED_FLOAT halfHeight = m_pJustBought->m_Size.y >> 1;
    burst->m_bZoom = true;
    burst->m_ZoomCenter = TVector2D_16{};
    burst->m_nZoomScale = s > 0 ? s : 0;
    burst->m_DrawOffset.x = p.x << 8;
    burst->m_DrawOffset.y = (p.y << 8) - static_cast<FIXED_FLOAT_16>((static_cast<long long>(s) * halfHeight) >> 8);
    if (const IDibBitmap* back = GetBackBuffer()) ClipParticleSystemToScreen(burst, back->m_Width, back->m_Height);
}

void CXFarmWindow::SellFarmObject(CFarmObject* object) {
    IFarmHost* host = FarmHost();
    CGameBase* game = GameBase();
    TUserProfile* profile = host != nullptr ? CurrentProfileOf(game) : nullptr;
    if (object == nullptr || profile == nullptr) return;
    CFarmManager* farm = host->GetFarmManager();
    const FarmObjectDef* def = object->m_pDef;
    if (def != nullptr) {
        profile->m_nCoins += CFarmManager::CalcDiscountedSellPrice(def);
        if (def->category >= 0 && def->category < kFarmCategoryCount) {
            int& points = farm->m_CategoryPoints[def->category];
            points -= def->price;
            if (points < 0) points = 0;
        }
        if (m_pYardDef != nullptr) profile->FarmObjectRemoved(m_pYardDef->id, def->id);
    }
    object->OnAboutToRemove();
    for (int i = farm->m_Objects.count - 1; i >= 0; --i) {
        if (farm->m_Objects[i] == object) {
            (void)farm->m_Objects.RemoveAt(i);  // taken out, not deleted
            break;
        }
    }
    PlaySound(game, "Shop_SellItem");
}

bool CXFarmWindow::CheckAchievements(const CommonString& name) {
    CAchievementsManager* awards = AchievementsOf(GameBase());
    // Each statue and the basket once: a second one bought changes nothing.
    return awards != nullptr && awards->AwardFarmObjectAchievement(name);
}

bool CXFarmWindow::CheckMiniQuests(const CommonString& name) {
    IFarmHost* host = FarmHost();
    TUserProfile* profile = host != nullptr ? CurrentProfileOf(GameBase()) : nullptr;
    if (profile == nullptr || host->GetMiniQuestManager() == nullptr || m_pYardDef == nullptr) return false;
    const CommonString& yard = m_pYardDef->id;
    const MiniQuest* quest = host->GetMiniQuestManager()->FindMiniQuestContainingObject(yard, name);
    if (quest == nullptr) return false;
    const int state = profile->GetMiniQuestState(yard, quest->id);
    const CommonString& other = quest->buy1 == name ? quest->buy2 : quest->buy1;
    if (!profile->IsFarmObjectPurchased(yard, other)) {
        if (state > 0) return false;
        profile->MiniQuestUnlocked(yard, quest->id);
        return true;
    }
    if (state >= 2) return false;
    profile->MiniQuestCompleted(yard, quest->id);
    m_bQuestCompleted = true;
    return true;
}

void CXFarmWindow::ShowMiniQuestCompletedBanner() {
    CGameBase* game = GameBase();
    CAchievementsManager* awards = AchievementsOf(game);
    if (awards == nullptr) return;
    CLocManager2* loc = game->GetLocManager();
    const CommonString text = loc != nullptr ? loc->LoadString("ID_MSG_QUEST_COMPLETE") : CommonString();
    awards->PlaceAwardedMessageToQueue(kAwardQuestCompleted, text);
}

int CXFarmWindow::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    const char* id = code == XMSG_CLICK ? XIdText(wparam) : nullptr;
    if (id != nullptr) return OnCommand(sender, code, wparam, lparam, id);
    return XGameRoot::OnMessage(sender, code, wparam, lparam);
}

int CXFarmWindow::OnCommand(CXElement* sender, int code, XWPARAM wparam, int lparam, const char* id) {
    IFarmHost* host = FarmHost();
    CGameBase* game = host != nullptr ? GameBase() : nullptr;
    const CommonString command(id);
    TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    // The three ways out save the yard and the player first: the next screen may end the program.
    if (game != nullptr && command == "btn_CloseShop") {
        host->ResetShopTabOffsets();
        SaveYardAndPlayerData();
        host->OpenPlayScreen();
        return 1;
    }
    if (game != nullptr && command == "btn_BuyItem") {
        if (profile != nullptr) profile->m_HintFlags[kHintYardPurchase] = true;
        SaveYardAndPlayerData();
        host->OpenFarmShop();
        return 1;
    }
    if (game != nullptr && command == "btn_shop_quests") {
        if (profile != nullptr) profile->m_HintFlags[kHintYardQuests] = true;
        const int yardIndex = m_pYardDef != nullptr ? host->GetFarmManager()->GetYardIndex(m_pYardDef->id) : -1;
        SaveYardAndPlayerData();
        host->OpenYardQuests(yardIndex);
        return 1;
    }
    if (command == "btn_RotateItem") {
        if (m_pSelection != nullptr) m_pSelection->Rotate();
        return 1;
    }
    if (command == "btn_confirm_buy_yes") {
        // The template's own answer first: the dialog closes.
        const int result = XGameRoot::OnMessage(sender, code, wparam, lparam);
        SellSelectedObject();
        return result;
    }
    return XGameRoot::OnMessage(sender, code, wparam, lparam);
}

void CXFarmWindow::SellSelectedObject() {
    if (m_pSelection == nullptr) return;
    CFarmObject* object = m_pSelection;
    if (object == m_pJustBought) m_pJustBought = nullptr;
    if (object == m_pPhotoStand) StopCameraFlash();
    SellFarmObject(object);
    m_pSelection = nullptr;
    delete object;
    UpdateUIOnCoinsAmountChanged();
    UpdateUIOnSelectionChanged();
}

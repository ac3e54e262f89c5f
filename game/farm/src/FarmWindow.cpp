// The yard screen's life cycle and its frame: opening the yard, the per-frame order, the objects'
// yard (the camera flash and the photo stand), the coin label, the sell and rotate buttons and
// the music.
#include "game/farm/FarmWindow.h"

#include <memory>
#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmProgress.h"
#include "game/widgets/JumpString.h"
#include "game/widgets/TiledBGTutorial.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/ConfirmBuyDialog.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageLoaders.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

constexpr FIXED_FLOAT kSunTurnPerFrame = 36;  // 0.140625 degree
constexpr FIXED_FLOAT kFullTurn = 360 * 256;
constexpr int kYardMusicTrack = 4;
constexpr FIXED_FLOAT kMusicFadeIn = 4 * 256;
constexpr FIXED_FLOAT kMusicFadeOut = 2 * 256;
constexpr int kCloudImageCount = 6;
constexpr int kDecorSelectionFrames = 4;
// The bars' text: white over a sunless (dark) sky, dark grey under a sun.
constexpr int kTextOnDarkSky = 255;
constexpr int kTextUnderSun = 32;
// Where the badge sits on the quests button: from its left edge and from its bottom edge.
constexpr int kBadgeFromLeft = 6;
constexpr int kBadgeFromBottom = 10;

constexpr const char* kBarIds[kFarmCategoryCount] = {"pb_birds", "pb_plants", "pb_comfort", "pb_decor"};

// Frame 0 of the default object's first sprite set, or null.
IDibBitmap* DefaultObjectImage(CFarmManager* farm, const char* id) {
    CFarmObject* object = farm->GetFarmObject(id);
    if (object == nullptr || object->m_SpriteSets.count == 0 || object->m_SpriteSets[0] == nullptr) return nullptr;
    CSpriteSet* set = object->m_SpriteSets[0];
    return set->GetNumFrames() > 0 ? set->GetFrame(0) : nullptr;
}

}  // namespace

CXFarmWindow::CXFarmWindow(CXElement* parent) : XGameRoot(parent) {}

CXFarmWindow::~CXFarmWindow() {
    IFarmHost* host = FarmHost();
    if (host != nullptr && host->GetParticleManager() != nullptr) host->GetParticleManager()->StopAll(true);
    if (host != nullptr && host->GetFarmManager() != nullptr && host->GetFarmManager()->GetYard() == this)
        host->GetFarmManager()->SetYard(nullptr);
    SafeDelete(m_pSelectionImage);
    SafeDelete(m_pTapImage);
    SafeDelete(m_pHint);
    SafeDelete(m_pJumpStrings);
}

int CXFarmWindow::OnInitElement() {
    IFarmHost* host = FarmHost();
    if (host == nullptr || host->GetFarmManager() == nullptr) return 0;
    CGameBase* game = GameBase();
    CFarmManager* farm = host->GetFarmManager();
    // Before any object runs: the objects reach the flash and the selection images through it.
    farm->SetYard(this);
    m_pObjects = &farm->m_Objects;
    if (SetupYardDef() == nullptr) return 0;
    ResetUsersYard();
    if (!AddDefaultFarmPurchases()) return 0;
    ResumeYardFromRecord();
    if (!InitRoot(CommonString("ui_main.txt"), "root_yard")) return 0;
    if (!FindWidgets()) return 0;
    m_pBackgroundImage = DefaultObjectImage(farm, "yard_bg");
    m_pSunImage = DefaultObjectImage(farm, "yard_sun");
    const int text = m_pSunImage == nullptr ? kTextOnDarkSky : kTextUnderSun;
    for (CXFarmProgress* bar : m_pProgress) bar->SetTextColour(text, text, text);
    if (!LoadClouds() || !LoadImages()) return 0;
    if (XWidget* quests = FindChildWithWidgetId("btn_shop_quests")) {
        const TCoordRect2D r = quests->GetDrawingRect();
        m_nBadgeX = r.x + kBadgeFromLeft;
        m_nBadgeY = r.y + r.height - kBadgeFromBottom;
    }
    m_nBadgeCount = UnlockedQuestCount();
    m_nBadgeBlinkAlpha = 0;
    m_nBadgeBlinkStep = 0;
    m_pJumpStrings = new (std::nothrow) CJumpStringManager(game, nullptr);
    if (m_pJumpStrings == nullptr || !m_pJumpStrings->PostConstruct()) return 0;
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    m_pStarSet = sets != nullptr ? sets->GetSpriteSetNamed("yard_star") : nullptr;
    if (m_pStarSet == nullptr || m_pStarSet->GetNumFrames() < 1) return 0;
    EnumCurrentlyUnlockedArenas(&m_UnlockedArenas);
    EnumCurrentlyUnlockedYards(&m_UnlockedYards);
    UpdateUIOnCoinsAmountChanged();
    UpdateUIOnSelectionChanged();
    UpdatePurchaseTutorialAvailability();
    UpdateQuestsTutorialAvailability();
    UpdateProgressTutorialAvailability();
    UpdateMusic();
    return 1;
}

bool CXFarmWindow::FindWidgets() {
    m_pCoinsLabel = FindChildWithWidgetId("txt_buy_totalcoins");
    m_pSellButton = FindChildWithWidgetId("btn_SellItem");
    m_pRotateButton = FindChildWithWidgetId("btn_RotateItem");
    for (int i = 0; i < kFarmCategoryCount; ++i) {
        m_pProgress[i] = dynamic_cast<CXFarmProgress*>(FindChildWithWidgetId(kBarIds[i]));
        if (m_pProgress[i] == nullptr) return false;
    }
    return true;
}

bool CXFarmWindow::LoadClouds() {
    CGameBase* game = GameBase();
    bool& trueColour = game->m_RenderSwitches.m_bTrueColorImages;
    for (int i = 0; i < kYardCloudCount; ++i) {
        const CommonString name = SafeFormat("cloud-%d", {i % kCloudImageCount + 1});
        const CommonString path = game->GetImagesDirectory() + CommonString("farm\\") + name;
        // Clouds are large and soft: kept at full colour depth, where 16 bits would band.
        const bool before = trueColour;
        trueColour = true;
        IDibBitmap* cloud = ImageLoad(game, path.GetDataConst(), nullptr);
        trueColour = before;
        if (cloud == nullptr) return false;
        if (!m_Clouds.Add(cloud)) {
            delete cloud;
            return false;
        }
        TVector2D position, speed;
        GetRandomCloudPos(false, position, speed);
        if (!m_CloudPositions.Add(position) || !m_CloudSpeeds.Add(speed)) return false;
    }
    return true;
}

bool CXFarmWindow::LoadImages() {
    CGameBase* game = GameBase();
    const CommonString images = game->GetImagesDirectory();
    m_pSelectionImage = ImageLoad(game, (images + CommonString("farm\\chicken-selection")).GetDataConst(), nullptr);
    m_pTapImage = ImageLoad(game, (images + CommonString("farm\\farm-tap")).GetDataConst(), nullptr);
    if (m_pSelectionImage == nullptr || m_pTapImage == nullptr) return false;
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    if (sets == nullptr) return false;
    m_pDecorSelectionSet = sets->GetSpriteSetNamed("FarmDecorSelection");
    if (m_pDecorSelectionSet == nullptr || m_pDecorSelectionSet->GetNumFrames() < kDecorSelectionFrames) return false;
    CSpriteSet* badge = sets->GetSpriteSetNamed("red_circle_notify");
    m_pBadgeImage = badge != nullptr && badge->GetNumFrames() > 0 ? badge->GetFrame(0) : nullptr;
    return m_pBadgeImage != nullptr;
}

YardDef* CXFarmWindow::SetupYardDef() {
    IFarmHost* host = FarmHost();
    TUserProfile* profile = host != nullptr ? CurrentProfileOf(GameBase()) : nullptr;
    if (profile == nullptr || host->GetFarmManager() == nullptr) return nullptr;
    m_pYardDef = host->GetFarmManager()->GetYardDef(profile->m_CurrentYard);
    m_pQuestStates = profile->GetMiniQuestStatesInfo(profile->m_CurrentYard);
    return m_pYardDef;
}

void CXFarmWindow::ResetUsersYard() {
    CFarmManager* farm = FarmHost()->GetFarmManager();
    // Pointers into the yard go with it.
    m_pSelection = nullptr;
    m_pJustBought = nullptr;
    m_pPhotoStand = nullptr;
    farm->m_Objects.RemoveAll();
    for (int& points : farm->m_CategoryPoints) points = 0;
    farm->m_nStars = 0;
}

bool CXFarmWindow::AddDefaultFarmPurchases() {
    CFarmManager* farm = FarmHost()->GetFarmManager();
    if (m_pYardDef == nullptr) return false;
    for (const auto& list : m_pYardDef->objects) {
        for (int i = list.count - 1; i >= 0; --i) {
            const FarmObjectDef* def = list[i];
            if ((def->flags & kFarmFlagDefault) == 0) continue;
            CFarmObject* object = farm->CreateFarmObject(def->id.GetDataConst());
            if (object == nullptr) return false;
            if (!farm->m_Objects.Add(object)) {
                delete object;
                return false;
            }
        }
    }
    return true;
}

void CXFarmWindow::RunProcess() {
    IFarmHost* host = FarmHost();
    const std::shared_ptr<const bool> alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive || host == nullptr || m_pObjects == nullptr) return;
    RunProcessAnimations();
    RunProcessNewStar();
    CQuorvanParticleSystemManager2* particles = host->GetParticleManager();
    if (particles != nullptr) particles->ResetRunProcessMarks();
    // By index: a bird's update never adds or removes objects, but the list is re-read each time.
    for (int i = 0; i < m_pObjects->count; ++i) (*m_pObjects)[i]->RunProcess();
    RunProcessClouds();
    m_nSunAngle += kSunTurnPerFrame;
    if (m_nSunAngle >= kFullTurn) m_nSunAngle -= kFullTurn;
    if (FindModalChild() == nullptr) CheckStars();
    if (m_bQuestCompleted && m_nStarCountdown < 1 && !m_bNewStarActive) {
        ShowMiniQuestCompletedBanner();
        m_bQuestCompleted = false;
    }
    RunProcessCameraFlash();
    if (particles != nullptr) particles->RunProcessTheRest();
    if (m_pHint != nullptr) {
        m_pHint->RunProcess();
        if (m_pHint->IsFinished()) SafeDelete(m_pHint);
    }
    RunProcessPendingPurchase();
    RunProcessBadgeBlink();
    if (m_pJumpStrings != nullptr) m_pJumpStrings->RunProcess();
    ProcessNewStarUnlockedMessages();
    if (m_pJustBought != nullptr) {
        RunProcess_AdjustParSysForJustPurchasedObject();
        CQuorvanParticleSystem2* burst =
            particles != nullptr ? particles->GetParticleSystemNamed("ObjectBuy") : nullptr;
        if (burst == nullptr || burst->GetNumActiveParticels() < 1) m_pJustBought = nullptr;
    }
}

void CXFarmWindow::RunProcessCameraFlash() {
    if (m_nCameraFlashCounter > 0) {
        if (--m_nCameraFlashCounter == 0) m_pPhotoStand = nullptr;
    } else if (m_nPhotoStandBusyCountdown > 0) {
        --m_nPhotoStandBusyCountdown;
    }
}

void CXFarmWindow::RunProcessPendingPurchase() {
    IFarmHost* host = FarmHost();
    const CommonString name = host->TakePendingPurchaseName();
    if (name.Length() == 0) {
        ScheduleHints();
        return;
    }
    FarmObjectDef* def = host->GetFarmManager()->GetFarmObjectDef(m_pYardDef, name);
    if (def != nullptr && PurchaseFarmObject(def)) {
        UpdateUIOnCoinsAmountChanged();
        UpdateQuestsTutorialAvailability();
        m_bProgressHintAvailable = false;
        if (!m_bHintShown) UpdateProgressTutorialAvailability();
    }
}

IFarmHost* CXFarmWindow::FarmHost() const { return FarmHostOf(GameBase()); }

void CXFarmWindow::ShowCameraFlash() { m_nCameraFlashCounter = kCameraFlashFrames; }

void CXFarmWindow::StopCameraFlash() {
    m_nCameraFlashCounter = 0;
    m_pPhotoStand = nullptr;
}

void CXFarmWindow::SetPhotoStand(CFarmObject* stand, int busyFrames) {
    m_pPhotoStand = stand;
    m_nPhotoStandBusyCountdown = busyFrames;
}

void CXFarmWindow::UpdateUIOnCoinsAmountChanged() {
    auto* label = dynamic_cast<XText*>(m_pCoinsLabel);
    const TUserProfile* profile = FarmHost() != nullptr ? CurrentProfileOf(GameBase()) : nullptr;
    if (label != nullptr && profile != nullptr) label->SetCaption(FormatWithCommas(profile->m_nCoins));
}

void CXFarmWindow::UpdateUIOnSelectionChanged() {
    const bool sellable = m_pSelection != nullptr && (m_pSelection->m_uFlags & kFarmFlagSelectable) != 0;
    const bool rotatable = m_pSelection != nullptr && m_pSelection->CanRotate();
    if (m_pSellButton != nullptr) sellable ? m_pSellButton->Show() : m_pSellButton->Hide();
    if (m_pRotateButton != nullptr) rotatable ? m_pRotateButton->Show() : m_pRotateButton->Hide();
}

void CXFarmWindow::UpdateMusic() {
    CGameBase* game = FarmHost() != nullptr ? GameBase() : nullptr;
    CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr;
    if (sounds == nullptr) return;
    if (!game->IsMusicOn())
        sounds->StopMusicTrackWithFadeOut(0);
    else
        sounds->PlayMusicTrack(kYardMusicTrack, true, kMusicFadeIn, kMusicFadeOut);
}

XWidget* CXFarmWindow::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetDialog && m_pSelection != nullptr &&
        m_pSelection->m_pDef != nullptr && ConfirmBuyModeOf(record->name.GetDataConst()) == kConfirmSell) {
        auto* dialog = new (std::nothrow) CXConfirmBuyDialog(this, m_pTemplate, record, placement,
                                                             m_pSelection->m_pDef->id.GetDataConst(), kConfirmSell);
        return InitOrFreeWidget(dialog);
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

// The start menu's construction, its per-frame update and its touches on the scene.
#include "game/screens/StartMenu.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/SafeFormat.h"
#include "game/gameplay/GameplayHost.h"
#include "game/news/AdsEngine.h"
#include "game/news/NewsHost.h"
#include "game/news/NewsManager.h"
#include "game/news/NewsWidgets.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/screens/MenuMusic.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/ScreensHost.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"

namespace {

constexpr int kCloudCount = 8;
constexpr int kCloudImages = 6;
constexpr FIXED_FLOAT kSunTurnPerFrame = 77;  // 77/256 degree
constexpr FIXED_FLOAT kFullTurn = 360 * 256;

struct TSceneImage {
    const char* name;
    bool trueColour;  // additive or large: kept at full colour depth
};

// In the order of the screen's image slots.
constexpr TSceneImage kSceneImages[] = {
    {"ui\\startmenu\\menubg_1", true},
    {"ui\\startmenu\\menu_sun2", true},
    {"ui\\startmenu\\bush1", false},
    {"ui\\startmenu\\bush2", false},
    {"ui\\startmenu\\menu_title", true},
    {"ui\\startmenu\\menu_eggs", true},
    {"ui\\startmenu\\menu_bird1", true},
    {"ui\\startmenu\\menu_bird2", true},
    {"ui\\startmenu\\hat1", true},
    {"ui\\startmenu\\hat2", true},
    {"ui\\startmenu\\menu_chicken_egg", false},
    {"ui\\startmenu\\menu_chicken", false},
    {"ui\\startmenu\\bird_shadow", false},
};

// The outline of the title's lettering, in title-image pixels: the sparkles are born along it.
constexpr int kTitleOutline[][2] = {{85, 14},  {90, 28},  {56, 34},  {31, 46},  {59, 84},  {96, 77},  {138, 76},
                                    {164, 73}, {199, 79}, {229, 86}, {244, 56}, {234, 41}, {202, 35}, {191, 41},
                                    {182, 26}, {168, 26}, {171, 14}, {149, 4},  {124, 10}, {108, 6}};
// The outline is drawn in a little from the image's edges: 0.95 across, 0.8 down (16.16).
constexpr int kOutlineScaleX = 62259;
constexpr int kOutlineScaleY = 52429;

FIXED_FLOAT_16 RoundTo16(double v) { return static_cast<FIXED_FLOAT_16>(std::lround(v * 65536.0)); }

// One step of a bouncer: +1 when it turned at its top, -1 at its bottom, 0 otherwise.
int StepBouncer(Bouncer& bouncer) {
    const float before = bouncer.velocity;
    bouncer.RunProcess();
    if (before > 0.0f && bouncer.velocity < 0.0f) return 1;
    if (before < 0.0f && bouncer.velocity > 0.0f) return -1;
    return 0;
}

bool InZone(const TRect2D& zone, int x, int y) {
    const FIXED_FLOAT px = x << 8;
    const FIXED_FLOAT py = y << 8;
    return px >= zone.x && px < zone.x + zone.width && py >= zone.y && py < zone.y + zone.height;
}

bool HasWidgetId(XWidget* widget, const char* id) {
    const char* own = XIdText(widget->Id2WParam());
    return own != nullptr && std::strcmp(own, id) == 0;
}

TRect2D PixelRect(int x, int y, int w, int h) { return TRect2D{x << 8, y << 8, w << 8, h << 8}; }

}  // namespace

CXStartMenu2::CXStartMenu2(CXElement* parent) : XGameRoot(parent) {
    m_Bouncers[kLeftBird].Start(0.0f, 1.0f, 0.015f, 0.0f);
    m_Bouncers[kRightBird].Start(0.0f, 1.0f, 0.02f, 0.5f);
    m_Bouncers[kChicken].Start(0.0f, 1.0f, 0.03f, 0.2f);
    m_Bouncers[kLeftBush].Start(0.0f, 1.0f, 0.005f, 0.0f);
    m_Bouncers[kRightBush].Start(0.0f, 1.0f, 0.005f, 0.5f);
    if (CGameBase* game = ScreensGameOf(this)) GameplayHostOf(game)->ForgetNewHighScore();
}

CXStartMenu2::~CXStartMenu2() {
    for (IDibBitmap*& image : m_Images) SafeDelete(image);
    CGameBase* game = ScreensGameOf(this);
    if (game != nullptr && NewsHostOf(game)->GetNewsManager() != nullptr)
        NewsHostOf(game)->GetNewsManager()->FreezeNewsThread(true);
    if (m_pTitleSparkles != nullptr) {
        m_pTitleSparkles->Stop(true);
        (void)m_pTitleSparkles->SetEmitShape(nullptr);
    }
    SafeDelete(m_pSparkleShape);
    m_Clouds.RemoveAll();
}

int CXStartMenu2::OnInitElement() {
    if (!InitRoot(CommonString("ui_main.txt"), "root_START_MENU")) return 0;
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return 0;
    GameplayHostOf(game)->NoteNewHighScore(-1, 0);
    UpdateChangePlayerText();
    if (!LoadScene()) return 0;
    UpdateGameplayMusic();
    if (GameplayHostOf(game)->GetAdsEngine() != nullptr) GameplayHostOf(game)->GetAdsEngine()->ShowAd(false);
    RefreshNewsButton();
    if (m_pNewsButton != nullptr && NewsHostOf(game)->GetNewsManager() != nullptr &&
        NewsHostOf(game)->GetNewsManager()->GetNumNews() > 0)
        NewsHostOf(game)->GetNewsManager()->FreezeNewsThread(false);
    GameplayHostOf(game)->ForgetNewHighScore();

    (void)(CheckIfCurrentUserNameEmpty() || CheckIfNoUserProfiles());
    // A first-run name entry shows at once, without fading in.
    if (XWidget* entry = FindChildWithWidgetId("dlg_EnterName")) entry->ApplyOpacity(kOpacityFull);

    PlaceTapZones();
    const IDibBitmap* back = GetBackBuffer();
    const int h = back != nullptr ? back->m_Height : 480;
    const int w = back != nullptr ? back->m_Width : 320;
    m_nTitleX = (w / 2) << 8;
    m_nTitleY = (65 + (h > 480 ? (h - 480) / 2 : 0)) << 8;
    m_dTitleScale = 0.01;
    return MakeTitleSparkles() ? 1 : 0;
}

bool CXStartMenu2::LoadScene() {
    CGameBase* game = ScreensGameOf(this);
    const CommonString images = game->GetImagesDirectory();
    bool& trueColour = game->m_RenderSwitches.m_bTrueColorImages;
    const bool before = trueColour;
    for (int i = 0; i < kImageCount; ++i) {
        trueColour = kSceneImages[i].trueColour || before;
        m_Images[i] = ImageLoad(game, (images + CommonString(kSceneImages[i].name)).GetDataConst(), nullptr);
        trueColour = before;
        if (m_Images[i] == nullptr) {
            NoteFailure(CommonString("the image ") + images + CommonString(kSceneImages[i].name) +
                        CommonString(" cannot be loaded"));
            return false;
        }
    }
    for (int i = 0; i < kCloudCount; ++i) {
        CommonString name;
        name.Format("farm\\cloud-%d", i % kCloudImages + 1);
        trueColour = true;
        IDibBitmap* cloud = ImageLoad(game, (images + name).GetDataConst(), nullptr);
        trueColour = before;
        if (cloud == nullptr)
            NoteFailure(CommonString("the image ") + images + name + CommonString(" cannot be loaded"));
        if (!m_Clouds.AddOwned(cloud)) return false;
        TVector2D pos;
        TVector2D vel;
        GetRandomCloudPos(false, pos, vel);
        const double phase = game->RandomValue(10) * 0.1;
        const double speed = game->RandomValue(10) * 0.001 + 0.005;
        if (!m_CloudPos.Add(pos) || !m_CloudVel.Add(vel) || !m_CloudPhase.Add(RoundTo16(phase)) ||
            !m_CloudPhaseSpeed.Add(RoundTo16(speed)))
            return false;
    }
    return true;
}

bool CXStartMenu2::MakeTitleSparkles() {
    CGameBase* game = ScreensGameOf(this);
    m_pTitleSparkles = GameplayHostOf(game)->GetParticleManager() != nullptr
                           ? GameplayHostOf(game)->GetParticleManager()->GetParticleSystemNamed("StartMenuLogo")
                           : nullptr;
    if (m_pTitleSparkles == nullptr) {
        NoteFailure(CommonString("the particle system StartMenuLogo is missing"));
        return false;
    }
    m_pSparkleShape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    if (m_pSparkleShape == nullptr) return false;
    const IDibBitmap* title = m_Images[kTitle];
    const int n = static_cast<int>(std::size(kTitleOutline));
    auto point = [&](int i) {
        return TVector2D_16{(kTitleOutline[i][0] - title->m_Width / 2) * kOutlineScaleX,
                            (kTitleOutline[i][1] - title->m_Height / 2) * kOutlineScaleY};
    };
    for (int i = 0; i < n; ++i)
        if (!m_pSparkleShape->AddSegment(point(i), point((i + 1) % n))) return false;
    (void)m_pTitleSparkles->SetEmitShape(m_pSparkleShape);
    m_pTitleSparkles->SetPosition(m_nTitleX << 8, m_nTitleY << 8, false);
    return true;
}

void CXStartMenu2::PlaceTapZones() {
    const IDibBitmap* back = GetBackBuffer();
    if (back == nullptr) return;
    const int w = back->m_Width;
    const int h = back->m_Height;
    const IDibBitmap* left = m_Images[kLeftBirdImage];
    const IDibBitmap* right = m_Images[kRightBirdImage];
    m_LeftBirdZone =
        PixelRect(w / 2 - 65 - left->m_Width / 2, h - 267 - left->m_Height / 2, left->m_Width, left->m_Height);
    m_RightBirdZone =
        PixelRect(w / 2 + 60 - right->m_Width / 2, h - 273 - right->m_Height / 2, right->m_Width, right->m_Height);
    m_ChickenZone = PixelRect(w / 2 - 40, h - 410, 80, 80);
}

void CXStartMenu2::GetRandomCloudPos(bool fromLeft, TVector2D& pos, TVector2D& vel) {
    CGameBase* game = ScreensGameOf(this);
    const IDibBitmap* back = GetBackBuffer();
    const int width = back != nullptr ? back->m_Width : 320;
    const int r = game != nullptr ? game->RandomValue(120) : 0;
    const int x = fromLeft ? -60 : (game != nullptr ? game->RandomValue(width + 120) : 0) - 60;
    pos = TVector2D{x << 8, r << 8};
    // Higher clouds move faster: 0.5 px a frame at the top, 0.15 px at 120 px.
    vel = TVector2D{static_cast<FIXED_FLOAT>(std::lround((0.15 + (1.0 - r / 120.0) * 0.35) * 256.0)), 0};
}

void CXStartMenu2::UpdateGameplayMusic() { PlayMenuMusic(ScreensGameOf(this)); }

void CXStartMenu2::RefreshNewsButton() {
    if (m_pNewsButton == nullptr)
        m_pNewsButton = dynamic_cast<CXNewsButton*>(FindChildWithWidgetId("btn_startmenu_news"));
    if (m_pNewsButton == nullptr) return;
    CGameBase* game = ScreensGameOf(this);
    CHollowfenNewsManager* news = game != nullptr ? NewsHostOf(game)->GetNewsManager() : nullptr;
    if (news == nullptr || news->GetNumNews() < 1) {
        m_pNewsButton->SetNumFreshNews(0);
        m_pNewsButton->Hide();
        return;
    }
    m_pNewsButton->Show();
    m_pNewsButton->SetNumFreshNews(std::max(news->GetNumFreshNews(), 0));
}

void CXStartMenu2::RunProcess() {
    if (m_nSoundCooldown > 0) --m_nSoundCooldown;
    m_nSunAngle += kSunTurnPerFrame;
    if (m_nSunAngle >= kFullTurn) m_nSunAngle -= kFullTurn;
    StepBirdsAndChicken();
    for (int i = 0; i < m_CloudPhase.count; ++i) {
        m_CloudPhase[i] += m_CloudPhaseSpeed[i];
        if (m_CloudPhase[i] > 65536 && m_CloudPhaseSpeed[i] > 0) {
            m_CloudPhaseSpeed[i] = -m_CloudPhaseSpeed[i];
            m_CloudPhase[i] = 65536;
        } else if (m_CloudPhase[i] < 0 && m_CloudPhaseSpeed[i] < 0) {
            m_CloudPhaseSpeed[i] = -m_CloudPhaseSpeed[i];
            m_CloudPhase[i] = 0;
        }
    }
    (void)StepBouncer(m_Bouncers[kLeftBush]);
    (void)StepBouncer(m_Bouncers[kRightBush]);

    // A command may switch the screen at once and delete this one.
    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;

    RefreshNewsButton();
    StepClouds();
    if (m_dTitleScale < 1.0) {
        m_dTitleScale *= 2.0;
        if (m_dTitleScale >= 1.0) {
            m_dTitleScale = 1.0;
            if (m_pTitleSparkles != nullptr) m_pTitleSparkles->Start();
        }
    }
    CGameBase* game = ScreensGameOf(this);
    if (game != nullptr && GameplayHostOf(game)->GetParticleManager() != nullptr)
        GameplayHostOf(game)->GetParticleManager()->RunProcessTheRest();
}

void CXStartMenu2::StepBirdsAndChicken() {
    struct TBird {
        EBouncer which;
        bool& tapped;
        float speed;
    };
    const TBird birds[] = {{kLeftBird, m_bLeftBirdTapped, 0.015f}, {kRightBird, m_bRightBirdTapped, 0.02f}};
    for (const TBird& bird : birds) {
        Bouncer& b = m_Bouncers[bird.which];
        const int turn = StepBouncer(b);
        // After a tap the bird runs up, down and up again fast; the next top slows it down.
        if (turn > 0 && !bird.tapped) b.SetDelta(bird.speed);
        if (turn < 0) bird.tapped = false;
    }
    Bouncer& chicken = m_Bouncers[kChicken];
    const int turn = StepBouncer(chicken);
    if (!m_bChickenJumping) return;
    if (turn < 0) {
        m_bChickenJumping = false;
        chicken.step = 0.03f;
        chicken.velocity = 0.03f;
    } else if (turn > 0) {
        // Down fast, back slowly.
        chicken.velocity = -0.01f;
        chicken.step = 0.01f;
    }
}

void CXStartMenu2::StepClouds() {
    const IDibBitmap* back = GetBackBuffer();
    const int width = back != nullptr ? back->m_Width : 320;
    for (int i = 0; i < m_CloudPos.count; ++i) {
        m_CloudPos[i].x += m_CloudVel[i].x;
        m_CloudPos[i].y += m_CloudVel[i].y;
        if (m_CloudPos[i].x >= (width + 120) << 8) GetRandomCloudPos(true, m_CloudPos[i], m_CloudVel[i]);
    }
}

bool CXStartMenu2::PassToMenuPanel(int x, int y, int type, int& result) {
    auto* panel = dynamic_cast<XDialog*>(FindModalChild());
    if (panel == nullptr || !HasWidgetId(panel, "dlg_StartMenuRoot")) return false;
    // Only the panel's buttons are hit, so taps between them reach the scene.
    const unsigned char kind = panel->GetModalKind();
    const bool modal = panel->IsModal();
    panel->SetModal(false);
    panel->SetModalKind(kModalChildren);
    const auto alive = panel->LifeToken();
    const int taken = panel->NotifyPointerEvent(x, y, type);
    if (*alive) {
        panel->SetModalKind(kind);
        panel->SetModal(modal);
    }
    result = taken != 0 || type != 1 ? 1 : TapScene(x, y);
    return true;
}

int CXStartMenu2::NotifyPointerEvent(int x, int y, int type) {
    int result = 0;
    if (PassToMenuPanel(x, y, type, result)) return result;
    return XDialog::NotifyPointerEvent(x, y, type);
}

int CXStartMenu2::TapScene(int x, int y) {
    CGameBase* game = ScreensGameOf(this);
    auto play = [game](const char* sound) {
        if (game != nullptr && game->GetSoundManager() != nullptr) (void)game->GetSoundManager()->PlaySoundFX(sound);
    };
    Bouncer& chicken = m_Bouncers[kChicken];
    const bool chickenComingBack = chicken.value < 0.75f && chicken.velocity < 0.0f;
    if (InZone(m_ChickenZone, x, y) && (!m_bChickenJumping || chickenComingBack)) {
        if (!m_bChickenJumping) chicken.value = std::clamp(0.0f, chicken.minimum, chicken.maximum);
        m_bChickenJumping = true;
        chicken.velocity = 0.09f;
        chicken.step = 0.09f;
        play("StartMenu_Tap_Chicken");
        return 1;
    }
    if (InZone(m_LeftBirdZone, x, y) && !m_bLeftBirdTapped) {
        m_Bouncers[kLeftBird] = Bouncer{};
        m_Bouncers[kLeftBird].Start(0.0f, 1.0f, 0.16f, 0.0f);
        m_bLeftBirdTapped = true;
        play("StartMenu_Tap_BirdLeft");
        return 1;
    }
    if (InZone(m_RightBirdZone, x, y) && !m_bRightBirdTapped) {
        m_Bouncers[kRightBird] = Bouncer{};
        m_Bouncers[kRightBird].Start(0.0f, 1.0f, 0.16f, 0.0f);
        m_bRightBirdTapped = true;
        play("StartMenu_Tap_BirdRight");
        return 1;
    }
    return 1;
}

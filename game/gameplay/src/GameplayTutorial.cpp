// The gameplay tutorial screen: its life cycle, the lessons and their curtain, its messages, the
// road of a touch and its drawing.
#include "game/gameplay/GameplayTutorial.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/Scenario.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/GameMessages.h"
#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "ui/CheckBox.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

constexpr const char* kSkipId = "btn_tutorial_skip";
constexpr const char* kBackId = "btn_tutorial_back";
constexpr const char* kPrevId = "btn_tutorial_prev";
constexpr const char* kNextId = "btn_tutorial_next";
constexpr const char* kDontShowId = "chk_tutorial_dontshow";
constexpr const char* kCaptionId = "txt_tutorial_cap";

// The lessons' numbers: marble velocities (FIXED_FLOAT pixels a frame), delays (frames), the
// hand's last move and speed (pixels).
constexpr FIXED_FLOAT kDown = 102;   // 0.398
constexpr FIXED_FLOAT kUp = -101;    // -0.395
constexpr FIXED_FLOAT kDriftX = 51;  // the third red of the combo lesson drifts in from the corner
constexpr FIXED_FLOAT kDriftY = 26;
constexpr int kShortDelay = 11;
constexpr int kLongDelay = 99;
constexpr int kPressDelay = 8;
constexpr int kColumnPx = 28;  // the two reds roll down and up this far either side of X
constexpr int kCornerX = 20, kCornerY = 10;
constexpr int kAwayX = 60, kAwayY = 40, kAwaySpeed = 5;
constexpr int kRed = 0, kGreen = 1;
constexpr int kLessonTextBox = 1, kPageBox = 2;
constexpr int kPageRed = 255, kPageGreen = 128, kPageBlue = 64;
constexpr int kPageAbovePx = 248;  // the page number's baseline above the lesson text

// The pressing hand's fingertip in its frame, and the raised hand's lift over its shadow.
constexpr int kTipX = 30, kTipY = 20;
constexpr int kRaisedTipX = 20, kRaisedLift = 30;
constexpr int kShadowAlphaOffset = -128;

const char* const kLessonTexts[] = {"ID_TutorialText1", "ID_TutorialText2", "ID_TutorialText3"};
const char* const kPageNumbers[] = {"1 / 3", "2 / 3", "3 / 3"};

FIXED_FLOAT Px(int px) { return px * 256; }

bool Is(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

IDibBitmap* FirstFrame(CGameBase* game, const char* name) {
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    CSpriteSet* set = sets != nullptr ? sets->GetSpriteSetNamed(name) : nullptr;
    return set != nullptr && set->GetNumFrames() > 0 ? set->GetFrame(0) : nullptr;
}

}  // namespace

CXGameplayTutorial::CXGameplayTutorial(CXElement* parent) : CXGameplaySurvival(parent) {
    m_bTutorial = true;
    if (IGameplayHost* host = Host()) host->SetTutorialScreen(this);
}

CXGameplayTutorial::~CXGameplayTutorial() {
    m_pScenario.reset();
    if (IGameplayHost* host = Host(); host != nullptr && host->GetTutorialScreen() == this)
        host->SetTutorialScreen(nullptr);
}

int CXGameplayTutorial::OnInitElement() {
    if (!CXGameplaySurvival::OnInitElement()) return 0;
    m_pSkipButton = FindChildWithWidgetId(kSkipId);
    if (auto* box = dynamic_cast<XCheckBox*>(FindChildWithWidgetId(kDontShowId))) {
        const TUserProfile* profile = Profile();
        box->Check(profile != nullptr && !profile->m_bTutorialOn);
    }
    m_pCaption = FindChildWithWidgetId(kCaptionId);
    SetCurrentScenario(kLessonMatch);
    return 1;
}

TCoordRect2D CXGameplayTutorial::SetupPlayRect() {
    TCoordRect2D rect = CXGameplaySurvival::SetupPlayRect();
    const IDibBitmap* back = GetBackBuffer();
    rect.y = kPlayTopPx;
    rect.height = (back != nullptr ? back->m_Height : 0) - kPlayHeightLessPx;
    return rect;
}

XWidget* CXGameplayTutorial::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetButton && record->name == kSkipId) {
        auto* button = new (std::nothrow) CXGameplayTutorialPlayButton(this, m_pTemplate, record, placement);
        if (button != nullptr) button->m_bPulsateOnInit = m_bSkipPulsates;
        return InitOrFreeWidget(button);
    }
    return CXGameplaySurvival::CreateAndInitChild(record, placement);
}

// ---- Lessons -----------------------------------------------------------------------------------

void CXGameplayTutorial::RunProcess() {
    const auto alive = LifeToken();
    CXGameplaySurvival::RunProcess();
    if (!*alive) return;

    if (m_pScenario != nullptr) {
        m_pScenario->RunProcess();
        if (m_pScenario->IsFinished() && m_nLessonAlpha == kOpaque) {
            if (m_nCurrentLesson >= kLessonCombos) {
                // All three were shown: the lessons repeat, and the way out is offered louder.
                PulsateSkipButton();
                m_nNextLesson = kLessonMatch;
            } else {
                m_nNextLesson = m_nCurrentLesson + 1;
            }
            m_bSwitching = true;
        }
    }
    if (m_bSwitching) {
        m_nLessonAlpha -= kCurtainStep;
        if (m_nLessonAlpha < 1) {
            m_nLessonAlpha = 0;
            SetCurrentScenario(m_nNextLesson);
            m_bSwitching = false;
        }
    } else if (m_nLessonAlpha < kOpaque) {
        m_nLessonAlpha = std::min(m_nLessonAlpha + kCurtainStep, kOpaque);
    }
}

void CXGameplayTutorial::FadeToScenario(int lesson) {
    if (lesson < 0 || lesson >= kLessonCount) return;
    m_nNextLesson = lesson;
    m_bSwitching = true;
}

void CXGameplayTutorial::SetCurrentScenario(int lesson) {
    if (lesson >= kLessonCount) return;
    if (CGameBase* game = GameBase()) game->XReleaseCapture();
    m_nCurrentLesson = lesson;
    (void)BuildScenario(lesson);
    // The new lesson starts on an empty field.
    m_pDraggedMarble = nullptr;
    m_Marbles.RemoveAll();
    m_nMarblesOnPath = 0;
    // A lesson left during the pause after a wrong colour would otherwise see its own marbles
    // burst when that pause reaches its bursts.
    m_nPauseCounter = -1;
    StopSound("SFX_PATH_MOVE");
}

bool CXGameplayTutorial::BuildScenario(int lesson) {
    m_pScenario.reset();
    auto* scenario = new (std::nothrow) CScenario(GameBase());
    if (scenario == nullptr) return false;
    m_pScenario.reset(scenario);
    if (!scenario->PostConstruct()) {
        m_pScenario.reset();
        return false;
    }

    const FIXED_FLOAT L = m_PlayRect.x, T = m_PlayRect.y, W = m_PlayRect.width, H = m_PlayRect.height;
    const FIXED_FLOAT X = L - Px(20) + W / 2 + Px((W >> 8) / 4);
    const FIXED_FLOAT top = T, bottom = T + H, middle = T + H / 2;
    CBitmapFontText* font = GameFont(kGameFontSmall);
    const int textX = (L + Px(kTextInsetPx)) >> 8;
    const int textY = (T >> 8) + kTextDropPx;
    const int pageY = (T >> 8) + kPageAbovePx - (font != nullptr ? font->GetCharHeight() : 0);
    const int index = lesson == kLessonWrongColor || lesson == kLessonCombos ? lesson : kLessonMatch;
    CGameBase* game = GameBase();
    const CommonString text = game != nullptr && game->GetLocManager() != nullptr
                                  ? game->GetLocManager()->LoadString(kLessonTexts[index])
                                  : CommonString(kLessonTexts[index]);

    CScenario& s = *scenario;
    const auto twoReds = [&] {
        s.AddStepSpawnMarble(kRed, X - Px(kColumnPx), top, 0, kDown);
        s.AddStepSpawnMarble(kRed, X + Px(kColumnPx), bottom, 0, kUp);
    };
    // How each lesson sets its field up.
    switch (index) {
        case kLessonWrongColor:
            s.AddStepSpawnMarble(kGreen, X, middle, 0, 0);
            s.AddStepDelay(kShortDelay);
            twoReds();
            break;
        case kLessonCombos:
            s.AddStepDelay(kShortDelay);
            twoReds();
            s.AddStepSpawnMarble(kRed, L + Px(kCornerX), T + Px(kCornerY), kDriftX, kDriftY);
            break;
        default:
            s.AddStepDelay(m_nMatchBuilds == 0 ? kShortDelay : kLongDelay);
            ++m_nMatchBuilds;
            twoReds();
            break;
    }

    // Then the hand shows the way: press marble 1, drag to marble 0 (and on through marble 2).
    s.AddStepMarblesVisible();
    s.AddStepShowFinger(X, middle, false);
    s.AddStepShowTextBox(kLessonTextBox, textX, textY, kTextWidthPx, font, text.GetDataConst(), 255, 255, 255);
    s.AddStepShowTextBox(kPageBox, textX, pageY, kTextWidthPx, font, kPageNumbers[index], kPageRed, kPageGreen,
                         kPageBlue);
    s.AddStepMoveFingerToMarble(1, false);
    s.AddStepFingerDownOnMarble(1);
    s.AddStepDelay(kPressDelay);
    s.AddStepMoveFingerToMarble(0, true);
    if (index == kLessonCombos) s.AddStepMoveFingerToMarble(2, true);
    s.AddStepTouchEvent(CScenarioStepTouchEvent::kAtFinger, CScenarioStepTouchEvent::kAtFinger, XPOINTER_RELEASE);
    s.AddStepDelay(kPressDelay);
    s.AddStepMoveFinger(Px(kAwayX), Px(kAwayY), Px(kAwaySpeed));
    s.AddStepHideFinger();
    s.AddStepDelay(kLongDelay);

    if (!s.IsBuilt()) {
        m_pScenario.reset();
        return false;
    }
    return true;
}

void CXGameplayTutorial::PulsateSkipButton() {
    if (m_bSkipPulsates) return;
    m_bSkipPulsates = true;
    if (auto* button = dynamic_cast<CXGameplayTutorialPlayButton*>(m_pSkipButton)) button->StartPulsating();
}

void CXGameplayTutorial::FinishTutorial() {
    CGameBase* game = GameBase();
    if (game == nullptr) return;
    (void)game->SaveAppData();
    PostGameMessage(MSG_RUN_NEW_GAME);
}

// ---- Messages and touches ----------------------------------------------------------------------

int CXGameplayTutorial::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code == XMSG_CLICK) {
        if (Is(wparam, kBackId)) {
            PostGameMessage(MSG_RUN_PLAY_SCREEN);
            return 1;
        }
        if (Is(wparam, kPrevId)) {
            if (m_nCurrentLesson > kLessonMatch) FadeToScenario(m_nCurrentLesson - 1);
            return 1;
        }
        if (Is(wparam, kNextId)) {
            if (m_nCurrentLesson < kLessonCombos)
                FadeToScenario(m_nCurrentLesson + 1);
            else
                FinishTutorial();
            return 1;
        }
        if (Is(wparam, kSkipId)) {
            FinishTutorial();
            return 1;
        }
    } else if (code == XMSG_CHECK_TOGGLED && Is(wparam, kDontShowId)) {
        if (TUserProfile* profile = Profile()) profile->m_bTutorialOn = lparam == 0;
        return 1;
    }
    return CXGameplaySurvival::OnMessage(sender, code, wparam, lparam);
}

int CXGameplayTutorial::NotifyPointerEvent(int x, int y, int type) {
    if (m_nTutorialInput != 0) return CXGameplaySurvival::NotifyPointerEvent(x, y, type);
    return CXElement::NotifyPointerEvent(x, y, type);
}

// ---- Drawing -----------------------------------------------------------------------------------

void CXGameplayTutorial::Draw() {
    CXGameplaySurvival::Draw();
    IDibBitmap* back = GetBackBuffer();
    if (back == nullptr) return;
    if (m_pCaption != nullptr && m_pCaption->IsVisible()) m_pCaption->Draw();
    if (m_pScenario != nullptr) m_pScenario->Draw(back);
    const int curtain = kOpaque - m_nLessonAlpha;
    if (curtain > 0)
        FillRectangle_Transparent(GameBase(), back, m_PlayRect.x >> 8, m_PlayRect.y >> 8, m_PlayRect.width >> 8,
                                  m_PlayRect.height >> 8, 0, 0, 0, curtain);
}

void CXGameplayTutorial::DrawFingerAt(IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, bool pressed, int alpha) {
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    if (rotator == nullptr || dst == nullptr) return;
    alpha = std::clamp(alpha, 0, kOpaque);
    IDibBitmap* touch = FirstFrame(game, "TouchPoint");
    IDibBitmap* hand = FirstFrame(game, "FingerUp");
    const FIXED_FLOAT halfW = hand != nullptr ? Px(hand->m_Width) / 2 : 0;
    const FIXED_FLOAT halfH = hand != nullptr ? Px(hand->m_Height) / 2 : 0;
    const int handOffset = alpha - kOpaque;
    if (pressed) {
        if (touch != nullptr) rotator->DrawRotatedBitmapTransparent(touch, dst, x, y, 0, kFixed16One, handOffset, 0);
        if (hand != nullptr)
            rotator->DrawRotatedBitmapTransparent(hand, dst, x + halfW - Px(kTipX), y + halfH - Px(kTipY), 0,
                                                  kFixed16One, handOffset, 0);
        return;
    }
    if (hand == nullptr) return;
    // The shadow keeps half its darkness at full alpha and fades with the hand.
    const int shadowOffset = alpha * (kOpaque + kShadowAlphaOffset) / kOpaque - kOpaque;
    rotator->DrawRotatedBitmapMultiply(hand, dst, x + halfW - Px(kRaisedTipX), y + halfH, 0, kFixed16One, 0, 0, 0,
                                       shadowOffset, 0);
    rotator->DrawRotatedBitmapTransparent(hand, dst, x + halfW - Px(kRaisedTipX), y + halfH - Px(kRaisedLift), 0,
                                          kFixed16One, handOffset, 0);
}

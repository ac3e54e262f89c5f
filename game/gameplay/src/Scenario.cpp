// The scenario player: the script's frame, its building, the elements and every step kind.
#include "game/gameplay/Scenario.h"

#include <algorithm>
#include <new>

#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplayTutorial.h"
#include "game/gameplay/Marble.h"
#include "game/widgets/GameplayMath.h"
#include "text/QuorvanTextFormat.h"

namespace {

// A FIXED_FLOAT position in whole pixels (rounded down).
int WholePx(FIXED_FLOAT v) { return v >> 8; }

// The screen's marble at an index that is still in play, or null.
CMarble* LiveMarbleAt(CXGameplayTutorial* screen, int index) {
    if (screen == nullptr || index < 0 || index >= screen->m_Marbles.count) return nullptr;
    CMarble* marble = screen->m_Marbles.data[index];
    return marble != nullptr && !marble->m_bRemoved ? marble : nullptr;
}

// A marble's centre in whole pixels, as FIXED_FLOAT.
FIXED_FLOAT CentreX(const CMarble* m) { return (m->m_Position.x >> 16) * 256; }
FIXED_FLOAT CentreY(const CMarble* m) { return (m->m_Position.y >> 16) * 256; }

}  // namespace

// ---- Elements ----------------------------------------------------------------------------------

CScenarioElement::CScenarioElement(CGameBase* game, CScenario* scenario, int kind, int id, FIXED_FLOAT x, FIXED_FLOAT y)
    : m_pGame(game), m_pScenario(scenario), m_nKind(kind), m_nId(id), m_X(x), m_Y(y) {}

void CScenarioElement::RunProcess() {
    if (m_nVisible != 0)
        m_Alpha = std::min(m_Alpha + kFadeStep, kOpaque);
    else
        m_Alpha = std::max(m_Alpha - kFadeStep, 0);
}

void CScenarioElement::Draw(IDibBitmap*) {}

CScenarioElementFinger::CScenarioElementFinger(CGameBase* game, CScenario* scenario, FIXED_FLOAT x, FIXED_FLOAT y)
    : CScenarioElement(game, scenario, kFinger, 0, x, y) {}

void CScenarioElementFinger::Draw(IDibBitmap* dst) {
    IGameplayHost* host = GameplayHostOf(m_pGame);
    CXGameplayTutorial* screen = host != nullptr ? host->GetTutorialScreen() : nullptr;
    if (screen == nullptr || m_Alpha <= 0) return;
    screen->DrawFingerAt(dst, m_X, m_Y, m_bPressed, m_Alpha >> 8);
}

CScenarioElementTextBox::CScenarioElementTextBox(CGameBase* game, CScenario* scenario, int id, int x, int y, int width,
                                                 CBitmapFontText* font, const char* text, int r, int g, int b)
    : CScenarioElement(game, scenario, kTextBox, id, x * 256, y * 256),
      m_nWidth(width),
      m_pFont(font),
      m_Text(text),
      m_nRed(r),
      m_nGreen(g),
      m_nBlue(b) {}

CScenarioElementTextBox::~CScenarioElementTextBox() = default;

int CScenarioElementTextBox::PostConstruct() {
    m_pFormat.reset(new (std::nothrow) CQuorvanTextFormat());
    if (m_pFormat == nullptr) return 0;
    m_pFormat->m_nAlignment = 0;
    m_pFormat->m_nWidth = m_nWidth;
    return m_pFormat->FormatText(m_nWidth, m_pFont, m_Text.GetDataConst());
}

void CScenarioElementTextBox::Draw(IDibBitmap* dst) {
    if (m_pFormat == nullptr || m_pFont == nullptr || dst == nullptr) return;
    m_pFormat->TextOut(dst, WholePx(m_X), WholePx(m_Y), m_pFont, m_nRed, m_nGreen, m_nBlue, 0,
                       static_cast<unsigned char>(m_Alpha >> 8), 0, nullptr);
}

// ---- The player --------------------------------------------------------------------------------

CScenario::CScenario(CGameBase* game) : m_pGame(game) {
    m_Steps.growBy = 1;
    m_Elements.growBy = 1;
}

CScenario::~CScenario() {
    m_Elements.RemoveAll();
    m_Steps.RemoveAll();
}

void CScenario::RunProcess() {
    bool ran = false;
    for (int i = 0; i < m_Steps.count; ++i) {
        CScenarioStep* step = m_Steps.data[i];
        if (step->m_bDone) continue;
        step->RunProcess();
        ran = true;
        if (step->m_bBlocking) break;
    }
    for (int i = 0; i < m_Elements.count; ++i) m_Elements.data[i]->RunProcess();
    if (!ran) OnScenarioFinished();
}

void CScenario::Draw(IDibBitmap* dst) {
    for (int i = 0; i < m_Elements.count; ++i) m_Elements.data[i]->Draw(dst);
}

void CScenario::AddStep(CScenarioStep* step) {
    if (step == nullptr || !m_Steps.AddOwned(step)) m_bBuilt = false;
}

void CScenario::AddStepDelay(int frames) { AddStep(new (std::nothrow) CScenarioStepDelay(m_pGame, this, frames)); }

void CScenario::AddStepShowFinger(FIXED_FLOAT x, FIXED_FLOAT y, bool) {
    AddStep(new (std::nothrow) CScenarioStepShowFinger(m_pGame, this, x, y));
}

void CScenario::AddStepHideFinger() { AddStep(new (std::nothrow) CScenarioStepHideFinger(m_pGame, this)); }

void CScenario::AddStepSpawnMarble(int colour, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT vx, FIXED_FLOAT vy) {
    AddStep(new (std::nothrow) CScenarioStepSpawnMarble(m_pGame, this, colour, x, y, vx, vy));
}

void CScenario::AddStepMarblesVisible() { AddStep(new (std::nothrow) CScenarioStepMarblesVisible(m_pGame, this)); }

void CScenario::AddStepMoveFinger(FIXED_FLOAT dx, FIXED_FLOAT dy, FIXED_FLOAT speed) {
    AddStep(new (std::nothrow) CScenarioStepMoveFinger(m_pGame, this, dx, dy, speed));
}

void CScenario::AddStepMoveFingerToMarble(int index, bool drag) {
    AddStep(new (std::nothrow) CScenarioStepMoveFingerToMarble(m_pGame, this, index, drag));
}

void CScenario::AddStepTouchEvent(FIXED_FLOAT x, FIXED_FLOAT y, int type) {
    AddStep(new (std::nothrow) CScenarioStepTouchEvent(m_pGame, this, x, y, type));
}

void CScenario::AddStepFingerDownOnMarble(int index) {
    AddStep(new (std::nothrow) CScenarioStepFingerDownOnMarble(m_pGame, this, index));
}

void CScenario::AddStepShowTextBox(int id, int x, int y, int width, CBitmapFontText* font, const char* text, int r,
                                   int g, int b) {
    AddStep(new (std::nothrow) CScenarioStepShowTextBox(m_pGame, this, id, x, y, width, font, text, r, g, b));
}

void CScenario::AddStepDestroyTextBox(int id) {
    AddStep(new (std::nothrow) CScenarioStepDestroyTextBox(m_pGame, this, id));
}

CScenarioElementFinger* CScenario::LastFinger() {
    for (int i = m_Elements.count - 1; i >= 0; --i)
        if (m_Elements.data[i]->m_nKind == CScenarioElement::kFinger)
            return static_cast<CScenarioElementFinger*>(m_Elements.data[i]);
    return nullptr;
}

bool CScenario::AddElement(CScenarioElement* element) { return m_Elements.AddOwned(element) != 0; }

void CScenario::DestroyTextBox(int id) {
    for (int i = m_Elements.count - 1; i >= 0; --i) {
        CScenarioElement* element = m_Elements.data[i];
        if (element->m_nKind != CScenarioElement::kTextBox || element->m_nId != id) continue;
        (void)m_Elements.RemoveAt(i);
        delete element;
        return;
    }
}

// ---- Steps -------------------------------------------------------------------------------------

CXGameplayTutorial* CScenarioStep::Screen() const {
    IGameplayHost* host = GameplayHostOf(m_pGame);
    return host != nullptr ? host->GetTutorialScreen() : nullptr;
}

void CScenarioStepDelay::RunProcess() {
    if (m_nFrames >= 1)
        --m_nFrames;
    else
        m_bDone = true;
}

void CScenarioStepShowFinger::RunProcess() {
    (void)m_pScenario->AddElement(new (std::nothrow) CScenarioElementFinger(m_pGame, m_pScenario, m_X, m_Y));
    m_bDone = true;
}

void CScenarioStepHideFinger::RunProcess() {
    if (!m_bStarted) {
        m_bStarted = true;
        m_pFinger = m_pScenario->LastFinger();
        if (m_pFinger == nullptr) {
            m_bDone = true;
            return;
        }
        m_pFinger->m_nVisible = 0;
    }
    m_pFinger->m_Alpha -= kExtraFade;
    if (m_pFinger->m_Alpha <= 0) {
        m_pFinger->m_Alpha = 0;
        m_bDone = true;
    }
}

void CScenarioStepSpawnMarble::RunProcess() {
    CXGameplayTutorial* screen = Screen();
    if (screen == nullptr) return;
    m_bDone = true;
    CMarble* marble = screen->SpawnEnemy(m_nColour, WholePx(m_X), WholePx(m_Y));
    if (marble == nullptr) return;
    // FIXED_FLOAT to 16.16: eight more bits of fraction.
    const std::int64_t vx = static_cast<std::int64_t>(m_VX) * 256, vy = static_cast<std::int64_t>(m_VY) * 256;
    marble->m_Direction = gameplay::UnitVector16(vx, vy);
    marble->m_nSpeed = gameplay::TruncToInt32(gameplay::VectorLength16(vx, vy));
}

void CScenarioStepMarblesVisible::RunProcess() {
    CXGameplayTutorial* screen = Screen();
    if (screen == nullptr) return;
    for (int i = 0; i < screen->m_Marbles.count; ++i)
        if (!screen->IsMarbleFullyVisible(screen->m_Marbles.data[i])) return;
    m_bDone = true;
}

void CScenarioStepMoveFinger::RunProcess() {
    if (!m_bStarted) {
        m_bStarted = true;
        m_pFinger = Screen() != nullptr ? m_pScenario->LastFinger() : nullptr;
        if (m_pFinger == nullptr) {
            m_bDone = true;
            return;
        }
        m_TargetX = m_pFinger->m_X + m_DX;
        m_TargetY = m_pFinger->m_Y + m_DY;
    }
    const std::int64_t dx = static_cast<std::int64_t>(m_TargetX) - m_pFinger->m_X;
    const std::int64_t dy = static_cast<std::int64_t>(m_TargetY) - m_pFinger->m_Y;
    const double distance = gameplay::PathLengthPx(dx, dy) * 256.0;
    if (distance <= m_Speed) {
        m_pFinger->m_X = m_TargetX;
        m_pFinger->m_Y = m_TargetY;
        m_bDone = true;
        return;
    }
    m_pFinger->m_X += gameplay::TruncToInt32(dx * static_cast<double>(m_Speed) / distance);
    m_pFinger->m_Y += gameplay::TruncToInt32(dy * static_cast<double>(m_Speed) / distance);
}

void CScenarioStepMoveFingerToMarble::RunProcess() {
    CXGameplayTutorial* screen = Screen();
    if (!m_bStarted) {
        m_bStarted = true;
        m_pFinger = screen != nullptr ? m_pScenario->LastFinger() : nullptr;
    }
    // The marble is looked up again on every run: the round deletes marbles between frames.
    CMarble* marble = LiveMarbleAt(screen, m_nIndex);
    if (marble == nullptr || m_pFinger == nullptr) {
        m_bDone = true;
        return;
    }
    const FIXED_FLOAT tx = CentreX(marble), ty = CentreY(marble);
    const std::int64_t dx = static_cast<std::int64_t>(tx) - m_pFinger->m_X;
    const std::int64_t dy = static_cast<std::int64_t>(ty) - m_pFinger->m_Y;
    const double distance = gameplay::PathLengthPx(dx, dy) * 256.0;
    bool arrived = false;
    if (distance >= kArriveAbove) {
        m_pFinger->m_X += gameplay::TruncToInt32(dx * static_cast<double>(kStep) / distance);
        m_pFinger->m_Y += gameplay::TruncToInt32(dy * static_cast<double>(kStep) / distance);
    } else {
        m_pFinger->m_X = tx;
        m_pFinger->m_Y = ty;
        arrived = true;
    }
    if (m_bDrag) {
        screen->m_nTutorialInput = 1;
        (void)screen->NotifyPointerEvent(WholePx(m_pFinger->m_X), WholePx(m_pFinger->m_Y), XPOINTER_MOVE);
        screen->m_nTutorialInput = 0;
    }
    if (arrived) m_bDone = true;
}

void CScenarioStepTouchEvent::Touch(CXGameplayTutorial* screen, FIXED_FLOAT x, FIXED_FLOAT y, int type) {
    CScenarioElementFinger* finger = m_pScenario->LastFinger();
    if (finger != nullptr) {
        if (x == kAtFinger && y == kAtFinger) {
            x = finger->m_X;
            y = finger->m_Y;
        } else {
            finger->m_X = x;
            finger->m_Y = y;
        }
        finger->m_bPressed = type != XPOINTER_RELEASE;
    }
    screen->m_nTutorialInput = 1;
    (void)screen->NotifyPointerEvent(WholePx(x), WholePx(y), type);
    screen->m_nTutorialInput = 0;
}

void CScenarioStepTouchEvent::RunProcess() {
    m_bDone = true;
    if (m_nType != XPOINTER_PRESS && m_nType != XPOINTER_MOVE && m_nType != XPOINTER_RELEASE) return;
    if (CXGameplayTutorial* screen = Screen()) Touch(screen, m_X, m_Y, m_nType);
}

void CScenarioStepFingerDownOnMarble::RunProcess() {
    m_bDone = true;
    CXGameplayTutorial* screen = Screen();
    if (const CMarble* marble = LiveMarbleAt(screen, m_nIndex))
        Touch(screen, CentreX(marble), CentreY(marble), XPOINTER_PRESS);
}

void CScenarioStepShowTextBox::RunProcess() {
    m_bDone = true;
    auto* box = new (std::nothrow) CScenarioElementTextBox(m_pGame, m_pScenario, m_nId, m_nX, m_nY, m_nWidth, m_pFont,
                                                           m_Text.GetDataConst(), m_nRed, m_nGreen, m_nBlue);
    if (box == nullptr) return;
    if (!box->PostConstruct()) {
        delete box;
        return;
    }
    (void)m_pScenario->AddElement(box);
}

void CScenarioStepDestroyTextBox::RunProcess() {
    m_pScenario->DestroyTextBox(m_nId);
    m_bDone = true;
}

#include "DemoGame.h"

#include "DemoLayout.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/GlesGlobals.h"
#include "render/GlesRotatorPath.h"
#include "render/ImageRotatorScaler.h"

namespace {

// The rotator's table size: one entry per hundredth of a degree, as the game uses it.
constexpr int kRotatorEntries = 36000;

// The four-quadrant sprite, filled in RAM (it is not the draw target, so the fills run in
// software) and then uploaded as one texture.
IDibBitmap* MakeSprite(CGameBase* game) {
    IDibBitmap* sprite = game->CreateBitmapObject();
    if (!sprite) return nullptr;
    constexpr int s = demo::kSpriteSide, q = demo::kSpriteSide / 2;
    if (!sprite->Create(s, s)) {
        delete sprite;
        return nullptr;
    }
    sprite->DestroyAlpha();  // opaque: drawn with blending off
    sprite->FillRectangle(0, 0, q, q, 255, 0, 0);
    sprite->FillRectangle(q, 0, q, q, 0, 255, 0);
    sprite->FillRectangle(0, q, q, q, 0, 0, 255);
    sprite->FillRectangle(q, q, q, q, 255, 255, 255);
    if (!sprite->HWUpdateTexture()) {
        delete sprite;
        return nullptr;
    }
    return sprite;
}

}  // namespace

CDemoGame::CDemoGame() {
    // Portrait from the start, as the game's constructor has it: the shell picks the logical
    // resolution and the touch scale from this before Init.
    m_Screen.m_nOrientationMode = 0;
    m_Screen.m_nOrientationAngle = 0;
}

CDemoGame::~CDemoGame() = default;

bool CDemoGame::Init(int w, int h) {
    m_nGameWidth = w;
    m_nGameHeight = h;
    SetIPhoneOrientation(0, true);
    // The engine's double buffer on GL: kept as the back buffer and draw target, deleted by
    // CGameBase.
    if (!OGLES_CreateScreenTarget(this, w, h)) return false;
    m_Rotator = std::make_unique<CQuorvanImageRotatorScaler>(this, kRotatorEntries);
    if (!m_Rotator->Initialize()) return false;
    m_RotatorPath = std::make_unique<CGlesRotatorPath>(this, m_Rotator.get());
    m_Rotator->SetHardwarePath(m_RotatorPath.get());
    m_Sprite.reset(MakeSprite(this));
    if (!m_Sprite) return false;
    SetFpsControl(30, false, true);
    return true;
}

void CDemoGame::RunProcess() {
    CGameBase::RunProcess();
    ++m_nUpdates;
}

int CDemoGame::NotifyPointerEvent(int x, int y, int type) {
    if (type == XPOINTER_PRESS || type == XPOINTER_MOVE) {
        m_bTouching = true;
        m_nTouchX = x;
        m_nTouchY = y;
    } else if (type == XPOINTER_RELEASE) {
        m_bTouching = false;
    }
    return CGameBase::NotifyPointerEvent(x, y, type);
}

void CDemoGame::Draw() {
    IDibBitmap* screen = m_Screen.m_pBackBuffer;
    if (!screen) return;
    using namespace demo;
    // The scene start does not clear: every frame covers the whole screen first.
    screen->ClearBitmap(static_cast<unsigned char>((m_nUpdates * 5) % 256),
                        static_cast<unsigned char>((m_nUpdates * 3) % 256), kBackgroundBlue);
    screen->FillRectangle(kFillRect.x, kFillRect.y, kFillRect.w, kFillRect.h, kFillColour.r, kFillColour.g,
                          kFillColour.b);
    FillRectangleGradientV(this, screen, kGradientRect.x, kGradientRect.y, kGradientRect.w, kGradientRect.h,
                           kGradientTop.r, kGradientTop.g, kGradientTop.b, kGradientBottom.r, kGradientBottom.g,
                           kGradientBottom.b);
    DrawLine_AA(this, kLineX0, kLineY, kLineX1, kLineY, kLineColour.r, kLineColour.g, kLineColour.b, 255, 255);
    DrawLine_AA(this, kLineX, kLineY0, kLineX, kLineY1, kLineColour.r, kLineColour.g, kLineColour.b, 255, 255);
    const int degrees = (m_nUpdates * kSpinDegreesPerUpdate) % 360;
    m_Rotator->DrawRotatedBitmap(m_Sprite.get(), screen, kSpinCentreX << 8, kSpinCentreY << 8, degrees << 8,
                                 kFixed16One, 0);
    if (m_bTouching) {
        screen->FillRectangle(m_nTouchX - kMarkSide / 2, m_nTouchY - kMarkSide / 2, kMarkSide, kMarkSide, 255, 255,
                              255);
    }
}

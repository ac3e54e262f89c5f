// The boosts screen's list and its rows: levels and prices from the profile, the touch area of
// the buy button, and the drawing of a row.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/UpgradesScreen.h"
#include "game/widgets/ScoreValue.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

// The list: rows stand still, 40 pixels stay free below it for the screen's buttons.
constexpr int kListBottomMargin = 40;
// An icon breathes once per 2.0 of its phase, moving on by 0.04 a frame (16.16).
constexpr FIXED_FLOAT_16 kPhaseStep = 2621;
constexpr FIXED_FLOAT_16 kPhaseWrap = 131072;

// The content of a row keeps to a central column this wide.
constexpr int kColumnWidth = 320;
// The buy button sits against these edges of the row (its right and its bottom).
constexpr int kButtonRight = 318;
constexpr int kButtonBottom = 59;
// The pulses: the top level's glow over the full bar, the next level's highlight on the bar.
constexpr float kGlowMin = 0.0f, kGlowMax = 255.0f, kGlowStep = 4.0f;
constexpr float kHighlightMin = 32.0f, kHighlightMax = 192.0f, kHighlightStep = 2.0f;
constexpr float kHighlightStrength = 0.4f;
// Layout inside the row, pixels.
constexpr int kNestInset = 2;
constexpr int kBarGap = 4;
constexpr int kTextGap = 2;
constexpr int kFillCaps = 16;  // the fill's caps: 8 pixels each side
constexpr int kFillCap = 8;
// The icon's breathing: 0.96 plus or minus up to 0.08.
constexpr float kIconBaseScale = 0.96f;
constexpr float kIconBreath = 0.08f;
constexpr float kTextScaleX = 0.8f;
constexpr float kTextScaleY = 0.85f;
constexpr FIXED_FLOAT_16 kArrowScale = 52429;  // 0.8
constexpr FIXED_FLOAT_16 kPressedButtonScale = 62259;  // 0.95
constexpr float kPriceScale = 0.9f;
constexpr float kPressedPriceScale = 0.855f;
constexpr float kPriceLeft = 10.0f;
// A button the player cannot pay for is dimmed by this much more.
constexpr int kUnaffordableDim = 64;
constexpr int kSeparatorAlpha = 128;
const char* const kArrowGap = "    ";

struct TRgb3 {
    int r, g, b;
};
constexpr TRgb3 kTopColour{64, 255, 64};
constexpr TRgb3 kAffordableColour{255, 255, 255};
constexpr TRgb3 kShortColour{255, 64, 64};

FIXED_FLOAT_16 To16(float value) { return static_cast<FIXED_FLOAT_16>(std::lround(value * 65536.0f)); }

const TUserProfile* ProfileOf(const CXElement* element) { return CurrentProfileOf(ScreensGameOf(element)); }

CUpgradeManager* TableOf(const CXElement* element) { return UpgradeManagerOf(ScreensGameOf(element)); }

CSpriteSet* HudXPSetOf(const CXElement* element) {
    IScreensHost* host = ScreensHostOf(element);
    return host != nullptr ? host->GetBoostPointsIcon() : nullptr;
}

}  // namespace

// ---- The list ---------------------------------------------------------------------------------------

CXUpgradesScrollDlg::CXUpgradesScrollDlg(CXElement* parent, TTemplate* templ, TWidget* record,
                                         const WidgetContext* placement, IScrollDialogContainer* container)
    : CXScrollDialogBase(parent, templ, record, placement, container) {
    m_nBottomMargin = kListBottomMargin;
    m_bDragAllowed = false;
}

CXUpgradesScrollDlg::~CXUpgradesScrollDlg() = default;

int CXUpgradesScrollDlg::OnInitWidget() {
    if (!CXScrollDialogBase::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    for (FIXED_FLOAT_16& phase : m_IconPhases) phase = (game != nullptr ? game->RandomValue(256) : 0) * 256;
    return 1;
}

void CXUpgradesScrollDlg::RunProcess() {
    CXScrollDialogBase::RunProcess();
    for (FIXED_FLOAT_16& phase : m_IconPhases) {
        phase += kPhaseStep;
        if (phase > kPhaseWrap - 1) phase -= kPhaseWrap;
    }
}

CXScrollItemBase* CXUpgradesScrollDlg::CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                                              const WidgetContext* placement, void* data) {
    const int type = static_cast<int>(reinterpret_cast<std::intptr_t>(data));
    return new (std::nothrow) CXUpgradesScrollItem(parent, templ, record, placement, type);
}

bool CXUpgradesScrollDlg::CreateScrollItems() {
    for (int type = 0; type < kUpgradeTypeCount; ++type) {
        void* data = reinterpret_cast<void*>(static_cast<std::intptr_t>(type));
        if (!AddScrollItem(CommonString(g_strUpgradeTextIds[type]), data)) return false;
    }
    return true;
}

FIXED_FLOAT_16 CXUpgradesScrollDlg::GetIconPhase(int type) const {
    return type >= 0 && type < kUpgradeTypeCount ? m_IconPhases[type] : 0;
}

CXUpgradesScreen* CXUpgradesScrollDlg::Screen() const { return dynamic_cast<CXUpgradesScreen*>(m_pContainer); }

// ---- A row: state -------------------------------------------------------------------------------------

CXUpgradesScrollItem::CXUpgradesScrollItem(CXElement* parent, TTemplate* templ, TWidget* record,
                                           const WidgetContext* placement, int type)
    : CXScrollItemBase(parent, templ, record, placement), m_nType(type) {}

CXUpgradesScrollItem::~CXUpgradesScrollItem() = default;

CXUpgradesScreen* CXUpgradesScrollItem::Screen() const {
    auto* list = dynamic_cast<CXUpgradesScrollDlg*>(m_pParent);
    return list != nullptr ? list->Screen() : nullptr;
}

int CXUpgradesScrollItem::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    if (m_nType < 0 || m_nType >= kUpgradeTypeCount) return 0;
    UpdateUpgradeLevel();
    const CXUpgradesScreen* screen = Screen();
    const CSpriteSet* buttons = screen != nullptr ? screen->GetBuyButtonSet() : nullptr;
    const IDibBitmap* button = buttons != nullptr ? buttons->GetFrame(0) : nullptr;
    if (button == nullptr) return 0;
    m_ButtonRect = {kButtonRight - button->m_Width, kButtonBottom - button->m_Height, button->m_Width,
                    button->m_Height};
    m_GlowPulse.Start(kGlowMin, kGlowMax, kGlowStep, kGlowMin);
    // Started at its top while rising, the highlight turns down at its first step.
    m_HighlightPulse.Start(kHighlightMin, kHighlightMax, kHighlightStep, kHighlightMax);
    return 1;
}

void CXUpgradesScrollItem::UpdateUpgradeLevel() {
    const TUserProfile* profile = ProfileOf(this);
    const CUpgradeManager* table = TableOf(this);
    if (profile == nullptr || table == nullptr) return;
    m_nLevel = profile->m_BoostLevels[m_nType];
    const int numLevels = table->GetNumLevels(m_nType);
    m_bAtTop = m_nLevel >= numLevels - 1;
    m_nNextCost = m_bAtTop ? 0 : table->GetLevelCost(m_nType, std::max(m_nLevel, 0) + 1);
}

bool CXUpgradesScrollItem::CanAfford() {
    const TUserProfile* profile = ProfileOf(this);
    return m_bAtTop || (profile != nullptr && profile->m_nBoostPoints >= m_nNextCost);
}

void CXUpgradesScrollItem::RestartHighlight() {
    m_HighlightPulse.Start(kHighlightMin, kHighlightMax, kHighlightStep, kHighlightMin);
}

void CXUpgradesScrollItem::RunProcess() {
    XWidget::RunProcess();
    const TUserProfile* profile = ProfileOf(this);
    if (profile != nullptr && profile->m_BoostLevels[m_nType] != m_nLevel) UpdateUpgradeLevel();
    m_GlowPulse.RunProcess();
    m_HighlightPulse.RunProcess();
}

bool CXUpgradesScrollItem::Contains(int x, int y) {
    if (m_bAtTop || !CanAfford()) return false;
    // Where the button is drawn: in the central column, whose left edge moves in on a screen
    // wider than the column.
    const TUpgradeRowLook look = Look();
    const int dx = x - look.left - m_ButtonRect.x;
    const int dy = y - m_Rect.y - m_ButtonRect.y;
    return dx >= 0 && dx <= m_ButtonRect.width && dy >= 0 && dy <= m_ButtonRect.height;
}

TUpgradeRowLook CXUpgradesScrollItem::Look() {
    TUpgradeRowLook look;
    look.alpha = GetOpacity() / 256;
    IDibBitmap* back = GetBackBuffer();
    const int width = back != nullptr ? back->m_Width : kColumnWidth;
    const int margin = width > kColumnWidth ? (width - kColumnWidth) / 2 : 0;
    look.left = m_Rect.x + margin;
    look.right = m_Rect.x + m_Rect.width - margin;

    const auto* list = dynamic_cast<CXScrollDialogBase*>(m_pParent);
    if (list != nullptr) {
        const TCoordRect2D& area = list->GetListArea();
        look.shown = look.alpha > 0 && m_Rect.y + m_Rect.height >= area.y && m_Rect.y <= area.y + area.height;
    }
    look.atTop = m_bAtTop;
    look.affordable = CanAfford();
    const TRgb3 colour = m_bAtTop ? kTopColour : look.affordable ? kAffordableColour : kShortColour;
    look.r = colour.r;
    look.g = colour.g;
    look.b = colour.b;

    const CXUpgradesScreen* screen = Screen();
    const CSpriteSet* bar = screen != nullptr ? screen->GetProgressSet() : nullptr;
    const IDibBitmap* fill = bar != nullptr ? bar->GetFrame(1) : nullptr;
    const CUpgradeManager* table = TableOf(this);
    const int numLevels = table != nullptr ? table->GetNumLevels(m_nType) : 0;
    if (fill != nullptr && numLevels > 1) {
        if (m_bAtTop) {
            look.fillWidth = fill->m_Width;
            look.glow = bar->GetNumFrames() > 3 && bar->GetFrame(3) != nullptr;
            look.glowAlphaOffset =
                static_cast<int>(m_GlowPulse.GetCurValueSineWaved() * static_cast<float>(look.alpha) / 255.0f) - 255;
        } else {
            const int usable = fill->m_Width - kFillCaps;
            look.fillWidth = kFillCap + std::max(m_nLevel, 0) * usable / (numLevels - 1);
            if (look.affordable) {
                look.nextSegmentWidth = usable / (numLevels - 1);
                look.highlightAlphaOffset = static_cast<int>(m_HighlightPulse.GetCurValueSineWaved() *
                                                             kHighlightStrength * static_cast<float>(look.alpha) /
                                                             255.0f) -
                                            255;
            }
        }
    }

    look.button = !m_bAtTop;
    look.buttonFrame = look.affordable ? 0 : 1;
    look.buttonAlphaOffset = look.alpha - 255 - (look.affordable ? 0 : kUnaffordableDim);
    look.buttonScale = m_bPressed ? kPressedButtonScale : kFixed16One;
    look.priceScale = m_bPressed ? kPressedPriceScale : kPriceScale;
    look.buttonCentreX = look.left + m_ButtonRect.x + m_ButtonRect.width / 2;
    look.buttonCentreY = m_Rect.y + m_ButtonRect.y + m_ButtonRect.height / 2;
    return look;
}

// ---- A row: drawing ------------------------------------------------------------------------------------

void CXUpgradesScrollItem::Draw() {
    const TUpgradeRowLook look = Look();
    CGameBase* game = ScreensGameOf(this);
    CXUpgradesScreen* screen = Screen();
    auto* list = dynamic_cast<CXUpgradesScrollDlg*>(m_pParent);
    IDibBitmap* back = GetBackBuffer();
    if (!look.shown || game == nullptr || screen == nullptr || list == nullptr || back == nullptr) return;
    const TCoordRect2D& area = list->GetListArea();
    const int top = m_Rect.y;
    const int bottom = m_Rect.y + m_Rect.height;

    // Separators across the whole list: above each row, and below the last.
    const auto inBand = [&](int y) { return y >= area.y && y <= area.y + area.height; };
    const int listRight = area.x + area.width;
    if (inBand(top)) DrawLine_AA(game, 0, top, listRight, top, 255, 255, 255, kSeparatorAlpha, kSeparatorAlpha);
    if (list->GetChildCount() > 0 && list->GetChildPtrAt(list->GetChildCount() - 1) == this && inBand(bottom))
        DrawLine_AA(game, 0, bottom, listRight, bottom, 255, 255, 255, kSeparatorAlpha, kSeparatorAlpha);

    // The nest, and the boost's icon breathing in it (its bottom centre stays put).
    TCoordRect2D clip{look.left, area.y, look.right - look.left, area.height};
    IDibBitmap* nest = screen->GetNest();
    const int nestX = look.left + kNestInset;
    const int nestY = top + (m_Rect.height - nest->m_Height) / 2;
    BitBlt_Clipped(back, nest, nestX, nestY, nest->m_Width, nest->m_Height, 0, 0, look.alpha - 255, clip, 0);
    const float breath =
        static_cast<float>(SCurve16(list->GetIconPhase(m_nType), game->GetRotatorScaler())) / 65536.0f * kIconBreath;
    Renderer_SetBlendMode(0, back);
    for (int frame : {1, 0}) {
        IDibBitmap* icon = screen->GetBoostIcon(m_nType, frame);
        DrawStretched(game, back, icon, (nestX + nest->m_Width / 2) << 16, (nestY + nest->m_Height) << 16,
                      (nest->m_Width / 2) << 16, nest->m_Height << 16, To16(kIconBaseScale + breath),
                      To16(kIconBaseScale - breath), 0, look.alpha, 0, 0, 0, 0, 255, 255, 255);
    }

    const int barX = nestX + nest->m_Width + kBarGap;
    DrawTexts(look, barX + kTextGap, clip);
    DrawBar(look, barX);
    if (look.button) {
        DrawButton(look);
        return;
    }
    CBitmapFontText* font = GameFontOf(game, kGameFontSmall);
    if (font == nullptr) return;
    const char* max = "Max.";
    const int x = look.left + m_ButtonRect.x + (m_ButtonRect.width - font->Length2(max)) / 2;
    const int y = top + m_ButtonRect.y + (m_ButtonRect.height - font->GetCharHeight()) / 2;
    font->TextOut(back, x, y, max, kTopColour.r, kTopColour.g, kTopColour.b, 0,
                  static_cast<unsigned char>(look.alpha), &clip);
}

void CXUpgradesScrollItem::DrawTexts(const TUpgradeRowLook& look, int textX, const TCoordRect2D& clip) {
    CGameBase* game = ScreensGameOf(this);
    const CUpgradeManager* table = TableOf(this);
    CBitmapFontText* font = GameFontOf(game, kGameFontSmall);
    IDibBitmap* back = GetBackBuffer();
    if (font == nullptr || table == nullptr || back == nullptr) return;
    TCoordRect2D textClip = clip;
    const auto alpha = static_cast<unsigned char>(look.alpha);
    const int level = std::max(m_nLevel, 0);
    const CommonString current = table->GetCaption(m_nType) + CommonString(" ") + table->GetLevelLabel(m_nType, level);
    const FIXED_FLOAT_16 sx = To16(kTextScaleX), sy = To16(kTextScaleY);
    font->TextOutF(back, current.GetDataConst(), textX << 16, m_Rect.y << 16, sx, sy, 0, 255, 255, 255, 0, alpha,
                   &textClip);
    if (m_bAtTop) return;

    // The next level after a gap of four blanks, with the arrow drawn over the gap.
    const float gapX = static_cast<float>(textX) + static_cast<float>(font->Length2(current.GetDataConst())) * kTextScaleX;
    const CommonString next = CommonString(kArrowGap) + table->GetLevelLabel(m_nType, level + 1);
    const TRgb3 colour = look.affordable ? kAffordableColour : kShortColour;
    font->TextOutF(back, next.GetDataConst(), To16(gapX), m_Rect.y << 16, sx, sy, 0, colour.r, colour.g, colour.b,
                   0, alpha, &textClip);
    const CXUpgradesScreen* screen = Screen();
    if (screen == nullptr || game->GetRotatorScaler() == nullptr) return;
    const float arrowX = gapX + static_cast<float>(font->Length2(kArrowGap)) * kTextScaleX / 2.0f;
    const float arrowY = static_cast<float>(m_Rect.y) + static_cast<float>(font->GetCharHeight()) * kTextScaleY / 2.0f;
    game->GetRotatorScaler()->DrawRotatedBitmapTransparent(screen->GetArrow(), back, std::lround(arrowX * 256.0f),
                                                         std::lround(arrowY * 256.0f), 0, kArrowScale,
                                                         look.alpha - 255, 0);
}

void CXUpgradesScrollItem::DrawBar(const TUpgradeRowLook& look, int barX) {
    CGameBase* game = ScreensGameOf(this);
    const CXUpgradesScreen* screen = Screen();
    CSpriteSet* bar = screen != nullptr ? screen->GetProgressSet() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    IDibBitmap* background = bar != nullptr ? bar->GetFrame(0) : nullptr;
    IDibBitmap* fill = bar != nullptr ? bar->GetFrame(1) : nullptr;
    if (game == nullptr || back == nullptr || background == nullptr || fill == nullptr) return;
    const int offset = look.alpha - 255;
    const int barY = m_Rect.y + m_Rect.height - background->m_Height - 1;
    background->Draw(back, barX, barY, 0, 0, 0, offset);
    // The first part of the fill, from its left edge, at its full height.
    const auto part = [&](IDibBitmap* src, int from, int width, int alphaOffset) {
        if (src == nullptr || width <= 0) return;
        Bitmap_StretchDrawF_Transparent(game, back, src, (barX + from) << 8, barY << 8, width << 8,
                                        src->m_Height << 8, from << 8, 0, width << 8, src->m_Height << 8, alphaOffset,
                                        0);
    };
    part(fill, 0, look.fillWidth, offset);
    if (look.nextSegmentWidth > 0) part(bar->GetFrame(2), look.fillWidth, look.nextSegmentWidth, look.highlightAlphaOffset);
    if (look.glow) bar->GetFrame(3)->Draw(back, barX, barY, 0, 0, 0, look.glowAlphaOffset);
}

void CXUpgradesScrollItem::DrawButton(const TUpgradeRowLook& look) {
    CGameBase* game = ScreensGameOf(this);
    const CXUpgradesScreen* screen = Screen();
    CSpriteSet* buttons = screen != nullptr ? screen->GetBuyButtonSet() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr || buttons == nullptr) return;
    IDibBitmap* frame = buttons->GetFrame(std::min(look.buttonFrame, buttons->GetNumFrames() - 1));
    if (frame != nullptr && look.buttonAlphaOffset > -255 && game->GetRotatorScaler() != nullptr)
        game->GetRotatorScaler()->DrawRotatedBitmapTransparent(frame, back, look.buttonCentreX << 8,
                                                             look.buttonCentreY << 8, 0, look.buttonScale,
                                                             look.buttonAlphaOffset, 0);
    (void)DrawScoreValue(game, HudXPSetOf(this), true, static_cast<float>(look.buttonCentreX) - kPriceLeft,
                         static_cast<float>(look.buttonCentreY), look.priceScale, CommonString(), m_nNextCost,
                         look.alpha, look.r, look.g, look.b, true, false);
}

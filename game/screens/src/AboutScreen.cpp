#include "game/screens/AboutScreen.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "app/GameBase.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"
#include "ui/TiledBG.h"

namespace {

constexpr int kLineSpacing = 1;
constexpr int kSpringPull = 102;        // of 256: 0.4 of the overshoot a frame
constexpr int kOvershootDamping = 179;  // of 256: a speed running further out loses 0.3 a frame
constexpr int kFadeBand = 51;           // of 256 of the area's height: the fading bands
// The panel under the credits reaches this far past the clip area, so that its rounded corners
// and its border stay clear of the text.
constexpr int kPanelMarginX = 8;
constexpr int kPanelMarginY = 12;

// Wraps every line of the text to the width; a blank line stays a blank line.
bool FormatCredits(CQuorvanTextFormat& format, int width, CBitmapFontText* font, const char* text) {
    const char* line = text;
    while (*line != '\0') {
        const char* end = std::strchr(line, '\n');
        const std::string one(line, end != nullptr ? end : line + std::strlen(line));
        if (!(one.empty() ? format.AddString("") : format.FormatText(width, font, one.c_str()))) return false;
        if (end == nullptr) break;
        line = end + 1;
    }
    return format.GetNumStrings() > 0;
}

}  // namespace

CXAboutScreen::CXAboutScreen(CXElement* parent) : XGameRoot(parent) {
    const IDibBitmap* back = GetBackBuffer();
    const int w = back != nullptr ? back->m_Width : 320;
    const int h = back != nullptr ? back->m_Height : 480;
    m_Clip = TCoordRect2D{10, 80, w - 20, h - 100};
}

CXAboutScreen::~CXAboutScreen() {
    // Fonts outlive screens: a language change deletes the screens before it reloads the fonts.
    if (m_pSpacedFont != nullptr && m_pSpacedFont == Font()) m_pSpacedFont->m_nLineSpacing = m_nSavedLineSpacing;
    if (m_pPanel != nullptr) m_pPanel->ReleaseReference();
}

CBitmapFontText* CXAboutScreen::Font() const {
    CGameBase* game = ScreensGameOf(this);
    return game != nullptr ? ProgressHostOf(game)->GetGameFont(kGameFontSmall) : nullptr;
}

int CXAboutScreen::LineHeight() const {
    const CBitmapFontText* font = Font();
    return font != nullptr ? font->GetCharHeight() + font->m_nLineSpacing : 1;
}

int CXAboutScreen::OnInitElement() {
    if (!InitRoot(CommonString("ui_main.txt"), "root_about")) return 0;
    m_pText.reset(new (std::nothrow) CQuorvanTextFormat());
    CBitmapFontText* font = Font();
    if (m_pText == nullptr || font == nullptr) return 0;
    if (m_pSpacedFont == nullptr) {
        m_pSpacedFont = font;
        m_nSavedLineSpacing = font->m_nLineSpacing;
    }
    font->m_nLineSpacing = kLineSpacing;
    // The two lines of the template frame the credits.
    if (XWidget* top = FindChildWithWidgetId("img_hzline1")) {
        const TCoordRect2D r = top->GetDrawingRect();
        m_Clip.y = r.y + r.height / 2;
    }
    if (XWidget* bottom = FindChildWithWidgetId("img_hzline2")) {
        const TCoordRect2D r = bottom->GetDrawingRect();
        m_Clip.height = r.y + r.height / 2 - m_Clip.y;
    }
    if (!FormatCredits(*m_pText, m_Clip.width, font, g_strCreditsText)) return 0;
    // The credits stand on the panel every dialog has; without its tiles they stand on the sky.
    CGameBase* game = ScreensGameOf(this);
    CSpriteSet* panel = game != nullptr && game->GetSpriteSetManager() != nullptr
                            ? game->GetSpriteSetManager()->GetSpriteSetNamed("panel_tiles")
                            : nullptr;
    if (panel != nullptr && panel->AddReference()) m_pPanel = panel;
    m_pText->m_nWidth = m_Clip.width;
    m_nTextHeight = m_pText->CalcFormatHeight(font, kLineSpacing);

    const int line = LineHeight();
    m_bRolling = true;
    m_nPosition = -(m_Clip.height << 8);
    m_nMinimum = -(2 * line) << 8;
    m_nMaximum = std::max(m_nMinimum, (m_nTextHeight - m_Clip.height + 2 * line) << 8);
    return 1;
}

void CXAboutScreen::RunProcess() {
    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;
    if (m_bRolling) {
        m_nPosition += 256;
        if (m_nPosition >= m_nMaximum) {
            m_nPosition = m_nMaximum;
            m_bRolling = false;
        }
        return;
    }
    if (!m_bDragging) {
        // Friction: a pixel a frame off the speed.
        if (m_nSpeed > 0)
            m_nSpeed = std::max(m_nSpeed - 256, 0);
        else if (m_nSpeed < 0)
            m_nSpeed = std::min(m_nSpeed + 256, 0);
    }
    m_nSpring = 0;
    if (m_nPosition < m_nMinimum) {
        m_nSpring = (m_nMinimum - m_nPosition) * kSpringPull / 256;
        if (m_nSpeed < 0) m_nSpeed = m_nSpeed * kOvershootDamping / 256;
    } else if (m_nPosition > m_nMaximum) {
        m_nSpring = -(m_nPosition - m_nMaximum) * kSpringPull / 256;
        if (m_nSpeed > 0) m_nSpeed = m_nSpeed * kOvershootDamping / 256;
    }
    m_nPosition += m_nSpeed + m_nSpring;
}

int CXAboutScreen::NotifyPointerEvent(int x, int y, int type) {
    // Only the widgets themselves are hit, not the whole modal root.
    const unsigned char kind = GetModalKind();
    const bool modal = IsModal();
    SetModal(false);
    SetModalKind(kModalChildren);
    const auto alive = LifeToken();
    const int taken = XDialog::NotifyPointerEvent(x, y, type);
    if (!*alive) return taken;
    SetModalKind(kind);
    SetModal(modal);
    if (taken) return taken;
    switch (type) {
        case XPOINTER_PRESS:
            m_nSpeed = 0;
            m_nLastY = y;
            m_bDragging = true;
            m_nLastMove = 0;
            m_bRolling = false;
            break;
        case XPOINTER_MOVE:
            m_nLastMove = y - m_nLastY;
            m_nLastY = y;
            m_nSpeed = -(m_nLastMove << 8);
            break;
        case XPOINTER_RELEASE:
            m_nSpeed = -(m_nLastMove << 8);
            m_nLastY = y;
            m_nLastMove = 0;
            m_bDragging = false;
            break;
        default:
            break;
    }
    return 1;
}

int CXAboutScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    const char* id = code == XMSG_CLICK ? XIdText(wparam) : nullptr;
    if (id != nullptr && std::strcmp(id, "btn_CreditsClose") == 0) {
        if (CGameBase* game = ScreensGameOf(this)) (void)game->SendMessage(game, MSG_RUN_START_MENU, 0, 0, true);
        return 1;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

void CXAboutScreen::PreDraw() {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    CBitmapFontText* font = Font();
    if (game == nullptr || back == nullptr) return;
    DrawTiledPanel(back, m_pPanel, m_Clip.x - kPanelMarginX, m_Clip.y - kPanelMarginY, m_Clip.width + 2 * kPanelMarginX,
                   m_Clip.height + 2 * kPanelMarginY, OpacityToAlphaOffset(GetOpacity()));
    FillRectangle_Transparent(game, back, m_Clip.x, m_Clip.y, m_Clip.width, m_Clip.height, 0, 0, 0, 64);
    if (font == nullptr || m_pText == nullptr) return;
    const int line = LineHeight();
    const int p = m_nPosition >> 8;
    const int first = std::max(0, p / line);
    const int shown = std::min(std::max(m_Clip.height + p, 0), m_Clip.height) / line + 1;
    const int band = std::max(m_Clip.height * kFadeBand / 256, 1);
    const int opacity = GetOpacity() >> 8;
    TCoordRect2D clip = m_Clip;
    for (int i = first; i < first + shown && i < m_pText->GetNumStrings(); ++i) {
        const CommonString* text = m_pText->GetString(i);
        if (text == nullptr || text->Length() == 0) continue;
        const int y = m_Clip.y - p + line * i;
        int k = (y - m_Clip.y) * 256 / band;
        if (k > 256) k = (m_Clip.y + m_Clip.height - line - y) * 256 / band;
        const int alpha = k < 0 ? 0 : (k < 256 ? opacity * k / 256 : opacity);
        const int x = m_Clip.x + (m_Clip.width - font->Length2(text->GetDataConst())) / 2;
        font->TextOut(back, x, y, text->GetDataConst(), 255, 255, 255, 0, static_cast<unsigned char>(alpha), &clip);
    }
}

#include "game/news/NewsWidgets.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "game/news/NewsHost.h"
#include "game/news/NewsManager.h"
#include "game/progress/ProgressHost.h"
#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "render/ImageRotatorScaler.h"
#include "shell/BbUtil.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"
#include "ui/ElementHost.h"

namespace {

constexpr FIXED_FLOAT_16 kBadgeScale = 58982;  // 0.9
constexpr int kBlinkBit = 32;

// The news engine of the element's game; null without one, or under a host that is not the game.
CHollowfenNewsManager* NewsOf(const CXElement* element) {
    INewsHost* host = NewsHostOf(element->GetGamePtr());
    return host != nullptr ? host->GetNewsManager() : nullptr;
}

// The game's small font; null before the fonts are loaded, or under a host that is not the game.
CBitmapFontText* SmallFontOf(const CXElement* element) {
    auto* host = dynamic_cast<IProgressHost*>(element->GetGamePtr());
    return host != nullptr ? host->GetGameFont(kGameFontSmall) : nullptr;
}

}  // namespace

CXNewsButton::~CXNewsButton() {
    if (m_pBadgeSet != nullptr) m_pBadgeSet->ReleaseReference();
}

int CXNewsButton::OnInitWidget() {
    if (!XRectButton::OnInitWidget()) return 0;
    IElementHost* game = GetGamePtr();
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    CSpriteSet* set = sets != nullptr ? sets->GetSpriteSetNamed("news_alert") : nullptr;
    if (set != nullptr && set->AddReference()) {
        m_pBadgeSet = set;
        if (set->GetNumFrames() > 0) m_pBadge = set->GetFrame(0);
    }
    m_nFreshCount = 0;
    return 1;
}

void CXNewsButton::RunProcess() {
    XRectButton::RunProcess();
    ++m_nBlink;
}

void CXNewsButton::Draw() {
    CBitmapFontText* font = m_Look.font;
    IDibBitmap* back = GetBackBuffer();
    const int opacity = GetOpacity() >> 8;
    if (opacity <= 0 || m_Caption.Length() == 0 || font == nullptr || back == nullptr) return;
    const TCoord2D centre = CalcCenter();
    const int left = centre.x - font->Length2(m_Caption.GetData()) / 2;
    const int top = centre.y - font->GetCharHeight() / 2;
    const bool pressed = m_bPressed && !IsFadingThisOrParentNow();
    const int shift = pressed ? 1 : 0;
    const int dim = pressed ? 1 : 0;
    font->TextOut(back, left + shift, top + shift, m_Caption.GetData(), m_Look.red >> dim, m_Look.green >> dim,
                  m_Look.blue >> dim, m_Look.effect, static_cast<unsigned char>(opacity), nullptr);

    IElementHost* game = GetGamePtr();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    if (m_nFreshCount <= 0 || m_pBadge == nullptr || rotator == nullptr) return;
    const int badgeX = left - 2 - m_pBadge->m_Width / 2;
    rotator->DrawRotatedBitmapTransparent(m_pBadge, back, badgeX << 8, centre.y << 8, 0, kBadgeScale,
                                          OpacityToAlphaOffset(GetOpacity()), 0);
    const bool numberShown = (m_nBlink & kBlinkBit) != 0;
    ++m_nBlink;
    CBitmapFontText* small = SmallFontOf(this);
    if (!numberShown || small == nullptr) return;
    const CommonString number = SafeFormat("%d", {m_nFreshCount});
    small->TextOut(back, badgeX - small->Length2(number.GetData()) / 2, centre.y - small->GetCharHeight() / 2,
                   number.GetData(), 255, 255, 224, 0, static_cast<unsigned char>(opacity), nullptr);
}

// ==================================================================== the news dialog

namespace {

constexpr unsigned char kHeadline[3] = {255, 128, 128};
constexpr int kPressShadeAlpha = 128;
// The messages keep this far inside the panel's left and right edges.
constexpr int kMessageMargin = 12;

}  // namespace

int CXNewsDialog::OnInitWidget() {
    if (!XGameDialog::OnInitWidget()) return 0;
    m_bPressed = false;
    m_bPressedInside = false;
    m_pPicturePlaceholder = FindChildWithWidgetId("img_news_dummy");
    return 1;
}

int CXNewsDialog::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    const char* id = code == XMSG_CLICK ? XIdText(wparam) : nullptr;
    const bool next = id != nullptr && std::strcmp(id, "btn_news_next") == 0;
    const bool prev = id != nullptr && std::strcmp(id, "btn_news_prev") == 0;
    if (!next && !prev) return XGameDialog::OnMessage(sender, code, wparam, lparam);
    if (CHollowfenNewsManager* news = NewsOf(this)) {
        if (next)
            news->GoToNextNewsRecord();
        else
            news->GoToPrevNewsRecord();
    }
    return 1;
}

void CXNewsDialog::RunProcess() {
    const auto alive = LifeToken();
    XGameDialog::RunProcess();
    if (!*alive) return;
    CHollowfenNewsManager* news = NewsOf(this);
    // The slideshow and the dots stand still while the dialog fades in or out.
    if (news == nullptr || (GetOpacity() >> 8) <= 254) return;
    news->RunAnimationTick();
    m_nLoadingCounter += kLoadingStep;
    if (m_nLoadingCounter >= kLoadingWrap) m_nLoadingCounter = 0;
}

TCoord2D CXNewsDialog::GetContentCentre() {
    if (m_pPicturePlaceholder != nullptr) {
        const TCoordRect2D r = m_pPicturePlaceholder->GetDrawingRect();
        return {r.x + r.width / 2, r.y + r.height / 2};
    }
    const IDibBitmap* back = GetBackBuffer();
    return back != nullptr ? TCoord2D{back->m_Width / 2, back->m_Height / 2} : TCoord2D{};
}

bool CXNewsDialog::PictureContains(int x, int y) const {
    const FIXED_FLOAT px = x << 8;
    const FIXED_FLOAT py = y << 8;
    return m_PictureRect.x <= px && px < m_PictureRect.x + m_PictureRect.width && m_PictureRect.y <= py &&
           py < m_PictureRect.y + m_PictureRect.height;
}

int CXNewsDialog::NotifyPointerEvent(int x, int y, int type) {
    CHollowfenNewsManager* news = NewsOf(this);
    if (news == nullptr) return XGameDialog::NotifyPointerEvent(x, y, type);
    const bool showing = news->GetNumNews() > 0 && !news->IsConnectionError() && !news->IsLoadingCurrentItem();
    if (type == XPOINTER_PRESS) {
        if (!showing || !PictureContains(x, y)) return XGameDialog::NotifyPointerEvent(x, y, type);
        m_bPressed = true;
        m_bPressedInside = true;
        return 1;
    }
    if ((type != XPOINTER_MOVE && type != XPOINTER_RELEASE) || !m_bPressed)
        return XGameDialog::NotifyPointerEvent(x, y, type);
    if (!showing) {
        // The picture went away under the finger: the press is over.
        m_bPressed = false;
        m_bPressedInside = false;
        return 1;
    }
    m_bPressedInside = PictureContains(x, y);
    if (!m_bPressedInside) return XGameDialog::NotifyPointerEvent(x, y, type);
    if (type == XPOINTER_RELEASE) {
        m_bPressed = false;
        m_bPressedInside = false;
        const CommonString link = news->GoToCurrentNewsURL();
        if (link.Length() > 0) (void)BBWeb_OpenURL(link.GetDataConst());
        return 1;
    }
    return XGameDialog::NotifyPointerEvent(x, y, type);
}

void CXNewsDialog::DrawCentredLine(const char* text, int y, unsigned char r, unsigned char g, unsigned char b,
                                   int alpha) {
    CBitmapFontText* font = SmallFontOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (font == nullptr || back == nullptr) return;
    font->TextOut(back, (back->m_Width - font->Length2(text)) / 2, y, text, r, g, b, 0,
                  static_cast<unsigned char>(alpha), nullptr);
}

int CXNewsDialog::GetMessageWidth() { return std::max(0, GetDrawingRect().width - 2 * kMessageMargin); }

void CXNewsDialog::DrawMessage(const char* headline, const char* first, const char* second, int centreY, int alpha) {
    CBitmapFontText* font = SmallFontOf(this);
    if (font == nullptr) return;
    const int width = GetMessageWidth();
    // The two lines as they are when both fit the panel; otherwise their words wrapped to it.
    CQuorvanTextFormat body;
    if (font->Length2(first) < width && font->Length2(second) < width) {
        if (!body.AddString(first) || !body.AddString(second)) return;
    } else {
        const std::string joined = std::string(first) + " " + second;
        if (!body.FormatText(width, font, joined.c_str())) return;
    }
    // The block of the headline and the body stands centred on centreY: line i of n at
    // centreY + (2i - n) h / 2 (with three lines 1.5 lines above the centre, a half above, a half below).
    const int h = font->GetCharHeight();
    const int n = 1 + body.GetNumStrings();
    DrawCentredLine(headline, centreY - n * h / 2, kHeadline[0], kHeadline[1], kHeadline[2], alpha);
    for (int i = 1; i < n; ++i)
        DrawCentredLine(body.GetString(i - 1)->GetDataConst(), centreY + (2 * i - n) * h / 2, 255, 255, 255, alpha);
}

void CXNewsDialog::DrawLayer(IDibBitmap* picture, const TCoord2D& centre, int alpha) {
    IDibBitmap* back = GetBackBuffer();
    if (picture == nullptr || back == nullptr) return;
    const int x = centre.x - picture->m_Width / 2;
    const int y = centre.y - picture->m_Height / 2;
    picture->Draw(back, x, y, picture->m_Width, picture->m_Height, 0, alpha - 255);
    m_PictureRect = TCoordRect2D{x << 8, y << 8, picture->m_Width << 8, picture->m_Height << 8};
}

void CXNewsDialog::Draw() {
    XGameDialog::Draw();
    IElementHost* game = GetGamePtr();
    CHollowfenNewsManager* news = NewsOf(this);
    CBitmapFontText* font = SmallFontOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (news == nullptr || font == nullptr || back == nullptr) return;
    const int a = GetOpacity() >> 8;
    const int h = font->GetCharHeight();
    const TCoord2D centre = GetContentCentre();
    if (news->GetNumNews() < 1) {
        DrawMessage("No recent news.", "The game cannot open the news because", "there is no recent news on server.",
                    centre.y, a);
        return;
    }
    if (news->IsConnectionError()) {
        DrawMessage("Connection Error.", "The game cannot open the news because",
                    "it is not connected to the Internet.", centre.y, a);
        return;
    }
    if (news->IsLoadingCurrentItem()) {
        CLocManager2* loc = game->GetLocManager();
        CommonString text = loc != nullptr ? loc->LoadString("ID_Loading") : CommonString();
        const CommonString widest = loc != nullptr ? loc->LoadString("ID_LoadingDot") : CommonString();
        for (int dot = 0; dot < (m_nLoadingCounter / 256) % 4; ++dot) text = text + CommonString(".");
        // The left edge stays where the full "Loading..." would start, so the dots do not shift it.
        const int left = (back->m_Width - font->Length2(widest.GetDataConst())) / 2;
        if (text.Length() > 0)
            font->TextOut(back, left, centre.y - h / 2, text.GetDataConst(), 255, 255, 255, 0,
                          static_cast<unsigned char>(a), nullptr);
        return;
    }
    DrawLayer(news->GetLayer1(), centre, a * news->GetLayer1Opacity() / 255);
    if (IDibBitmap* second = news->GetLayer2()) DrawLayer(second, centre, a * news->GetLayer2Opacity() / 255);
    if (m_bPressed && m_bPressedInside)
        FillRectangle_Transparent(game, back, m_PictureRect.x >> 8, m_PictureRect.y >> 8, m_PictureRect.width >> 8,
                                  m_PictureRect.height >> 8, 0, 0, 128, kPressShadeAlpha);
}

// The coin shop: the full-screen dialog, its rows and the answer to a click on a row.
#include "game/screens/AddCoinsDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "game/farm/FarmHost.h"
#include "game/progress/InAppPurchaseManager.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/ShopScrollItemsDialog.h"
#include "game/screens/SpriteLookups.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

constexpr const char* kListId = "dlg_addcoins_scroll";
// The buy button: its bottom 122 pixels below the row's top, its right edge 10 pixels in from the
// right of a 320-pixel column centred on the screen.
constexpr int kButtonBottom = 122;
constexpr int kButtonRightInset = 10;
constexpr int kColumnWidth = 320;
constexpr int kFrameFade = 96;   // the picture's frame is fainter than the row
constexpr int kLineFade = 127;   // the separator shows only in the upper half of a fade
constexpr int kTitleTop = 2;     // pixels below the row's top
constexpr int kTwoLineLift = 5;  // the first description rises when a second follows
constexpr int kSecondLineOverlap = 3;
constexpr float kPressedTextScale = 0.9f;
const char* const kCoinGap = "    ";  // the blanks a description keeps for the coin icon

struct TColour {
    unsigned char r, g, b;
};
constexpr TColour kTitleColour{255, 255, 255};
constexpr TColour kDescColour{220, 220, 220};
constexpr TColour kButtonTextColour{255, 96, 0};

FIXED_FLOAT_16 To16(double value) { return static_cast<FIXED_FLOAT_16>(std::lround(value * 65536.0)); }

CommonString Localised(CGameBase* game, const CommonString& key) {
    if (key.Length() == 0) return CommonString();
    CLocManager2* loc = game->GetLocManager();
    return loc != nullptr ? loc->LoadString(key.GetDataConst()) : key;
}

// The width of the first `count` characters of text in the font.
int PrefixWidth(CBitmapFontText& font, const CommonString& text, int count) {
    const std::string prefix(text.GetDataConst(), static_cast<std::size_t>(count));
    return font.Length2(prefix.c_str());
}

// Text drawn as it stands, or squeezed into the column at full alpha.
void DrawTextInColumn(IDibBitmap* back, CBitmapFontText& font, const CommonString& text, int x, int y,
                      const TSqueeze& squeeze, TColour colour, int alpha, TCoordRect2D& clip) {
    if (text.Length() == 0) return;
    if (!squeeze.squeezed) {
        font.TextOut(back, x, y, text.GetDataConst(), colour.r, colour.g, colour.b, 0,
                     static_cast<unsigned char>(alpha), &clip);
        return;
    }
    font.TextOutF(back, text.GetDataConst(), x << 16, y << 16, squeeze.scaleX, squeeze.scaleY, 0, colour.r, colour.g,
                  colour.b, 0, 255, &clip);
}

}  // namespace

TSqueeze SqueezeToColumn(int left, int right, int width) {
    TSqueeze squeeze;
    if (width <= 0 || left + width < right) return squeeze;
    const double across = static_cast<double>(right - 1 - left) / width;
    squeeze.squeezed = true;
    squeeze.scaleX = To16(across);
    squeeze.scaleY = To16(1.0 - (1.0 - across) / 2.0);
    return squeeze;
}

int LastRunOfFourBlanks(const char* text) {
    if (text == nullptr) return -1;
    const char* last = nullptr;
    for (const char* p = std::strstr(text, kCoinGap); p != nullptr; p = std::strstr(p + 1, kCoinGap)) last = p;
    return last != nullptr ? static_cast<int>(last - text) : -1;
}

bool GetShopRowCanvas(XWidget& row, TShopRowCanvas& canvas) {
    canvas.alpha = row.GetOpacity() >> 8;
    const auto* list = dynamic_cast<const CXScrollDialogBase*>(row.GetParent());
    canvas.game = ScreensGameOf(&row);
    canvas.back = row.GetBackBuffer();
    if (canvas.alpha <= 0 || list == nullptr || canvas.game == nullptr || canvas.back == nullptr) return false;
    canvas.area = list->GetListArea();
    return true;
}

bool OnRowButton(const TCoordRect2D& row, const TCoordRect2D& button, int x, int y) {
    const int dx = x - row.x - button.x;
    const int dy = y - row.y - button.y;
    return dx >= 0 && dx <= button.width && dy >= 0 && dy <= button.height;
}

bool AnswerCoinShopClick(IScreensHost* host, const char* id) {
    CInAppPurchaseManager* catalogue = host != nullptr ? host->GetPurchaseManager() : nullptr;
    if (id == nullptr || catalogue == nullptr) return false;
    InAppPurchaseDef* entry = catalogue->GetInAppPurchaseDef(id);
    if (entry == nullptr) return false;
    if (entry->entryName != "inapp_free_coins") host->InAppPurchaseCalled(entry);
    return true;
}

int AnswerCoinShopMessage(IScreensHost* host, CXElement* sender, int code, XWPARAM wparam) {
    const char* id = XIdText(wparam);
    if (code == XMSG_DIALOG_INIT && id != nullptr && std::strcmp(id, "dlg_addcoins") == 0) {
        if (auto* shop = dynamic_cast<CXAddCoinsFullScreenContainerDlg*>(sender)) {
            shop->SetResetToTop(true);
            return 1;
        }
        return 0;
    }
    return code == XMSG_CLICK && AnswerCoinShopClick(host, id) ? 1 : 0;
}

// ---- The dialog -------------------------------------------------------------------------------------

CXAddCoinsFullScreenContainerDlg::CXAddCoinsFullScreenContainerDlg(CXElement* parent, TTemplate* templ, TWidget* record,
                                                                   const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

CXAddCoinsFullScreenContainerDlg::~CXAddCoinsFullScreenContainerDlg() = default;

CXShopScrollItemsDialog* CXAddCoinsFullScreenContainerDlg::GetList() const {
    return static_cast<CXShopScrollItemsDialog*>(m_pScrollDialog);
}

int CXAddCoinsFullScreenContainerDlg::OnInitWidget() { return XDialog::OnInitWidget(); }

void CXAddCoinsFullScreenContainerDlg::Draw() { XGameDialog::Draw(); }

XWidget* CXAddCoinsFullScreenContainerDlg::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record == nullptr || record->kind != kWidgetDialog || record->name != kListId)
        return XGameDialog::CreateAndInitChild(record, placement);
    auto* list = new (std::nothrow) CXShopScrollItemsDialog(this, m_pTemplate, record, placement, this);
    if (list == nullptr) return nullptr;
    list->SetCoinsOnly(true);
    if (IScreensHost* host = ScreensHostOf(this); host != nullptr && host->TakePendingAddCoins())
        list->SetPendingPositionRequest(2);
    XWidget* made = InitOrFreeWidget(list);
    if (made != nullptr) m_pScrollDialog = list;
    return made;
}

void CXAddCoinsFullScreenContainerDlg::RunProcess() {
    const auto alive = LifeToken();
    XDialog::RunProcess();
    if (!*alive || !m_bResetToTop) return;
    m_bResetToTop = false;
    CXShopScrollItemsDialog* list = GetList();
    // A row that cannot be made ends the list: the rows before it are laid out all the same.
    if (list != nullptr && !list->SetCurrentCategory(0)) (void)list->ArrangeScrollItems();
}

void CXAddCoinsFullScreenContainerDlg::PostDraw() {
    if (IFarmHost* host = FarmHostOf(ScreensGameOf(this))) (void)host->DrawNumCoins(GetOpacity() >> 8, 1.0f);
}

// ---- A row ------------------------------------------------------------------------------------------

CXAddCoinsScrollItem::CXAddCoinsScrollItem(CXElement* parent, TTemplate* templ, TWidget* record,
                                           const WidgetContext* placement, InAppPurchaseDef* entry)
    : CXScrollItemBase(parent, templ, record, placement), m_pEntry(entry) {}

CXAddCoinsScrollItem::~CXAddCoinsScrollItem() = default;

int CXAddCoinsScrollItem::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    if (m_pEntry == nullptr || game == nullptr) return 0;
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    m_pIconFrame = FirstFrame(sets, "iconframe2");
    if (m_pIconFrame == nullptr) return 0;
    if (m_pEntry->sprite_id.Length() > 0) {
        m_pPicture = FirstFrame(sets, m_pEntry->sprite_id.GetDataConst());
        if (m_pPicture == nullptr) return 0;
    }
    m_pCoinIcon = FirstFrame(sets, "shop_coin_icon");
    if (m_pCoinIcon == nullptr) return 0;
    m_ButtonText = m_pEntry->buttonText_id.Length() > 0 ? Localised(game, m_pEntry->buttonText_id) : m_pEntry->price;

    m_pButtons = sets != nullptr ? sets->GetSpriteSetNamed("btn_normal") : nullptr;
    const IDibBitmap* button =
        m_pButtons != nullptr && m_pButtons->GetNumFrames() >= 1 ? m_pButtons->GetFrame(0) : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (button == nullptr || back == nullptr) return 0;
    const int w = back->m_Width;
    m_ButtonRect = {(w - kButtonRightInset) + ((kColumnWidth - w) >> 1) - button->m_Width,
                    kButtonBottom - button->m_Height, button->m_Width, button->m_Height};

    m_Title = Localised(game, m_pEntry->name);
    m_Desc = Localised(game, m_pEntry->desc);
    m_Desc2 = Localised(game, m_pEntry->desc2);

    // The coin icon goes on the last place where four blanks follow one another.
    CBitmapFontText* small = GameFontOf(game, kGameFontSmall);
    const int place = LastRunOfFourBlanks(m_Desc.GetDataConst());
    m_nCoinIconOffset = -1;
    if (small != nullptr && place >= 0)
        m_nCoinIconOffset = PrefixWidth(*small, m_Desc, place) + (small->Length2(kCoinGap) - m_pCoinIcon->m_Width) / 2;
    return 1;
}

void CXAddCoinsScrollItem::RunProcess() { XWidget::RunProcess(); }

bool CXAddCoinsScrollItem::Contains(int x, int y) { return OnRowButton(m_Rect, m_ButtonRect, x, y); }

void CXAddCoinsScrollItem::Draw() {
    TShopRowCanvas canvas;
    if (!GetShopRowCanvas(*this, canvas)) return;
    const TCoordRect2D& area = canvas.area;
    const int x = m_Rect.x, y = m_Rect.y;
    if (y + m_Rect.height < area.y || y > area.y + area.height) return;
    TCoordRect2D clip = area;

    const int frameAlpha = canvas.alpha - kFrameFade;
    if (frameAlpha >= 1)
        BitBlt_Clipped(canvas.back, m_pIconFrame, x, y + 2, m_pIconFrame->m_Width, m_pIconFrame->m_Height, 0, 0,
                       frameAlpha - 255, clip, 0);
    if (m_pPicture != nullptr) {
        const int cx = x + m_pIconFrame->m_Width / 2, cy = y + 2 + m_pIconFrame->m_Height / 2;
        BitBlt_Clipped(canvas.back, m_pPicture, cx - m_pPicture->m_Width / 2, cy - m_pPicture->m_Height / 2,
                       m_pPicture->m_Width, m_pPicture->m_Height, 0, 0, canvas.alpha - 255, clip, 0);
    }
    if (canvas.alpha > kLineFade && y >= area.y && y <= area.y + area.height)
        DrawLine_AA(canvas.game, area.x, y, area.x + area.width, y, 255, 255, 255, canvas.alpha - kLineFade,
                    canvas.alpha - kLineFade);

    // Texts and button share one column, from the button's left edge.
    const int left = x + m_ButtonRect.x;
    DrawTexts(left, x + m_Rect.width, y, canvas.alpha, clip);
    DrawBuyButton(x, y, canvas.alpha, clip);
}

void CXAddCoinsScrollItem::DrawTexts(int left, int right, int top, int alpha, TCoordRect2D& clip) {
    CGameBase* game = ScreensGameOf(this);
    CBitmapFontText* titleFont = GameFontOf(game, kGameFontButton);
    CBitmapFontText* small = GameFontOf(game, kGameFontSmall);
    IDibBitmap* back = GetBackBuffer();
    if (titleFont == nullptr || small == nullptr) return;
    const int titleY = top + kTitleTop;
    const int titleWidth = m_Title.Length() > 0 ? titleFont->Length2(m_Title.GetDataConst()) : 0;
    DrawTextInColumn(back, *titleFont, m_Title, left, titleY, SqueezeToColumn(left, right, titleWidth), kTitleColour,
                     alpha, clip);

    const int titleLine = titleFont->GetCharHeight();
    const int smallLine = small->GetCharHeight();
    const int firstY = titleY + titleLine - (m_Desc2.Length() > 0 ? kTwoLineLift : 0);
    const int secondY = firstY + smallLine - kSecondLineOverlap;
    const int wider = std::max(m_Desc.Length() > 0 ? small->Length2(m_Desc.GetDataConst()) : 0,
                               m_Desc2.Length() > 0 ? small->Length2(m_Desc2.GetDataConst()) : 0);
    const TSqueeze squeeze = SqueezeToColumn(left, right, wider);
    DrawTextInColumn(back, *small, m_Desc, left, firstY, squeeze, kDescColour, alpha, clip);
    DrawTextInColumn(back, *small, m_Desc2, left, secondY, squeeze, kDescColour, alpha, clip);
    // The icon stands on the blanks kept for it, on the line as drawn: raised with it, and
    // squeezed along with it.
    if (m_nCoinIconOffset >= 0) {
        const int offset = squeeze.squeezed
                               ? static_cast<int>((static_cast<std::int64_t>(m_nCoinIconOffset) * squeeze.scaleX) >> 16)
                               : m_nCoinIconOffset;
        BitBlt_Clipped(back, m_pCoinIcon, left + offset, firstY + (smallLine - m_pCoinIcon->m_Height) / 2,
                       m_pCoinIcon->m_Width, m_pCoinIcon->m_Height, 0, 0, alpha - 255, clip, 0);
    }
}

void CXAddCoinsScrollItem::DrawBuyButton(int x, int y, int alpha, TCoordRect2D& clip) {
    IDibBitmap* back = GetBackBuffer();
    const int frameIndex = m_bPressed && m_pButtons->GetNumFrames() > 1 ? 1 : 0;
    if (IDibBitmap* frame = m_pButtons->GetFrame(frameIndex))
        BitBlt_Clipped(back, frame, x + m_ButtonRect.x, y + m_ButtonRect.y, frame->m_Width, frame->m_Height, 0, 0,
                       alpha - 255, clip, 0);
    CBitmapFontText* font = GameFontOf(ScreensGameOf(this), kGameFontButton);
    if (font == nullptr || m_ButtonText.Length() == 0) return;
    const double cx = x + m_ButtonRect.x + m_ButtonRect.width / 2.0;
    const double cy = y + m_ButtonRect.y + m_ButtonRect.height / 2.0;
    const double width = font->Length2(m_ButtonText.GetDataConst());
    const double height = font->GetCharHeight();
    const TColour c = kButtonTextColour;
    if (!m_bPressed) {
        font->TextOut(back, static_cast<int>(cx - width / 2), static_cast<int>(cy - height / 2),
                      m_ButtonText.GetDataConst(), c.r, c.g, c.b, 0, static_cast<unsigned char>(alpha), &clip);
        return;
    }
    const FIXED_FLOAT_16 s = To16(kPressedTextScale);
    font->TextOutF(back, m_ButtonText.GetDataConst(), To16(cx - width * kPressedTextScale / 2),
                   To16(cy - height * kPressedTextScale / 2), s, s, 0, c.r, c.g, c.b, 0, 255, &clip);
}

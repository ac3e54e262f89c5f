#include "game/widgets/ConfirmBuyDialog.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/LocManager2.h"
#include "core/SafeFormat.h"
#include "app/GameBase.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/widgets/WidgetsHost.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/Button.h"
#include "ui/TextMulti.h"

namespace {

// The room the icon may take over its frame, in pixels.
constexpr int kIconRoomWidth = 106;
constexpr int kIconRoomHeight = 128;

// The text child of that id, or null when it is missing or not a text.
XText* FindText(XWidget* dialog, const char* id) { return dynamic_cast<XText*>(dialog->FindChildWithWidgetId(id)); }

void SetText(XText* text, const CommonString& caption) {
    text->SetCaption(caption);
    // A multi-line text breaks its lines when its caption changes.
    if (auto* multi = dynamic_cast<XTextMulti*>(text)) (void)multi->FormatText();
}

}  // namespace

int ConfirmBuyModeOf(const char* recordId) {
    if (recordId == nullptr) return -1;
    if (std::strcmp(recordId, "dlg_confirm_buy") == 0) return kConfirmBuy;
    if (std::strcmp(recordId, "dlg_confirm_sell") == 0) return kConfirmSell;
    if (std::strcmp(recordId, "dlg_cant_buy") == 0) return kCannotBuy;
    return -1;
}

FIXED_FLOAT_16 FitConfirmBuyIcon(int width, int height) {
    if (width <= 0 || height <= 0) return kFixed16One;
    const long across = std::lround(static_cast<double>(kIconRoomWidth) / width * 65536.0);
    const long down = std::lround(static_cast<double>(kIconRoomHeight) / height * 65536.0);
    return static_cast<FIXED_FLOAT_16>(std::min({across, down, static_cast<long>(kFixed16One)}));
}

CXConfirmBuyDialog::CXConfirmBuyDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                       const WidgetContext* placement, const char* objectName, int mode)
    : XGameDialog(parent, templ, record, placement), m_nMode(mode), m_ObjectName(objectName) {}

CXConfirmBuyDialog::~CXConfirmBuyDialog() = default;

int CXConfirmBuyDialog::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    IWidgetsHost* host = WidgetsHostOf(GetGamePtr());
    m_bKnown = host != nullptr && host->FindShopItem(m_ObjectName, m_Item);
    if (!m_bKnown) return 0;
    FillNameText();
    FillMessageText();
    ChooseIcon();
    UpdateCurrentCoinsAmount();
    return 1;
}

void CXConfirmBuyDialog::FillNameText() {
    XText* text = FindText(this, m_nMode == kCannotBuy ? "txt_cant_buy_name" : "txt_confirm_name");
    if (text == nullptr) return;
    const TShopItemFacts& def = m_Item;
    IElementHost* game = GetGamePtr();
    CLocManager2* loc = game != nullptr ? game->GetLocManager() : nullptr;
    // Without a localisation table the plain name stands in for the localised one.
    if (def.nameId.Length() > 0 && loc != nullptr)
        SetText(text, loc->LoadString(def.nameId.GetDataConst()));
    else
        SetText(text, def.name);
}

void CXConfirmBuyDialog::FillMessageText() {
    const char* id = m_nMode == kConfirmSell ? "txt_confirm2b"
                     : m_nMode == kCannotBuy ? "txt_cant_buy2"
                                             : "txt_confirm2";
    XText* text = FindText(this, id);
    if (text == nullptr) return;
    const int price = m_nMode == kConfirmSell ? m_Item.sellPrice : m_Item.price;
    // The caption is a translator's text: only its "%s" takes the price, nothing else is trusted.
    SetText(text, SafeFormat(text->GetCaption().GetDataConst(), {FormatWithCommas(price)}));
}

IDibBitmap* CXConfirmBuyDialog::FindIcon(const CommonString& setName) {
    IElementHost* game = GetGamePtr();
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    if (sets == nullptr || setName.Length() == 0) return nullptr;
    const CSpriteSet* set = sets->GetSpriteSetNamed(setName.GetDataConst());
    IDibBitmap* frame = set != nullptr ? set->GetFrame(0) : nullptr;
    // A frame without a size cannot be fitted; it counts as none.
    return frame != nullptr && frame->m_Width > 0 && frame->m_Height > 0 ? frame : nullptr;
}

void CXConfirmBuyDialog::ChooseIcon() {
    // The shop icon is drawn as it is; the object's own picture is fitted into the frame.
    if (IDibBitmap* icon = FindIcon(m_Item.iconSprite)) {
        m_pIcon = icon;
        m_nIconScale = kFixed16One;
        return;
    }
    if (IDibBitmap* picture = FindIcon(m_Item.picture)) {
        m_pIcon = picture;
        m_nIconScale = FitConfirmBuyIcon(picture->m_Width, picture->m_Height);
    }
}

void CXConfirmBuyDialog::UpdateCurrentCoinsAmount() {
    if (m_nMode != kCannotBuy) return;
    auto* button = dynamic_cast<XButton*>(FindChildWithWidgetId("btn_can_buy_addcoins"));
    const TUserProfile* profile = CurrentProfileOf(dynamic_cast<CGameBase*>(GetGamePtr()));
    if (button == nullptr || profile == nullptr) return;
    button->SetCaption(FormatWithCommas(profile->m_nCoins));
}

void CXConfirmBuyDialog::Draw() {
    XGameDialog::Draw();
    const int alphaOffset = (GetOpacity() - kOpacityFull) >> 8;
    IElementHost* game = GetGamePtr();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    // Looked up each frame: an action may have removed the frame since.
    XWidget* iconFrame = FindChildWithWidgetId("img_icon_frame");
    if (alphaOffset < -255 || iconFrame == nullptr || m_pIcon == nullptr || rotator == nullptr || back == nullptr)
        return;
    const TCoordRect2D frame = iconFrame->GetDrawingRect();
    // The centre keeps its half pixel: x + width / 2 in 24.8.
    const FIXED_FLOAT x = frame.x * 256 + frame.width * 128;
    const FIXED_FLOAT y = frame.y * 256 + frame.height * 128;
    rotator->DrawRotatedBitmapTransparent(m_pIcon, back, x, y, 0, m_nIconScale, alphaOffset, 0);
}

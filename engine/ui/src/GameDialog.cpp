// The game dialog: the dim, the fade through black, and the game's widget classes.
#include "ui/GameDialog.h"

#include <algorithm>

#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "ui/ElementHost.h"
#include "ui/GameButton.h"
#include "ui/GameStretchImage.h"
#include "ui/Image.h"
#include "ui/WidgetMakers.h"

namespace {

// Rows whose class the framework has; the game's own classes come from the game's rows.
const TWidgetMakerRow kFrameworkRows[] = {
    {kWidgetButton, "btn_change_player", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_player_1", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_player_2", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_player_3", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_player_4", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_player_5", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_player_6", MakeWidget<XRectButton>},
    {kWidgetButton, nullptr, MakeWidget<XGameButton>},
    {kWidgetImage, "img_DlgBg2", MakeWidget<XGameStretchImage>},
    {kWidgetImage, "img_bg", MakeWidget<XGameStretchImage>},
    {kWidgetDialog, nullptr, MakeWidget<XGameDialog>},
};

}  // namespace

XGameDialog::XGameDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XDialog(parent, templ, record, placement) {}

std::span<const TWidgetMakerRow> XGameDialog::FrameworkRows() { return kFrameworkRows; }

XWidget* XGameDialog::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record == nullptr) return nullptr;
    IElementHost* game = GetGamePtr();
    TWidgetMaker make = game != nullptr ? FindWidgetMaker(game->GameDialogWidgetMakers(), record) : nullptr;
    if (make == nullptr) make = FindWidgetMaker(kFrameworkRows, record);
    if (make == nullptr) return XDialog::CreateAndInitChild(record, placement);
    return MakeAndInitWidget(make, this, m_pTemplate, record, placement);
}

bool XGameDialog::SiblingFades() {
    CXElement* parent = GetParent();
    if (parent == nullptr) return false;
    for (int i = 0; i < parent->GetChildCount(); ++i) {
        CXElement* sibling = parent->GetChildPtrAt(i);
        if (sibling == this || !sibling->IsWidget()) continue;
        auto* widget = static_cast<XWidget*>(sibling);
        if (widget->IsFadingIn() || widget->IsFadingOut()) return true;
    }
    return false;
}

void XGameDialog::DimScreen(int alpha) {
    IDibBitmap* back = GetBackBuffer();
    if (alpha < 1 || back == nullptr) return;
    FillRectangle_Transparent(GetGamePtr(), back, 0, 0, back->m_Width, back->m_Height, 0, 0, 0, alpha);
}

bool XGameDialog::DimBehindTranslucent() {
    if (m_pBackground == nullptr || GetOpacity() < 1) return false;
    auto* image = m_pBackground->GetRecord() != nullptr && m_pBackground->GetRecord()->kind == kWidgetImage
                      ? dynamic_cast<XImage*>(m_pBackground)
                      : nullptr;
    IDibBitmap* bitmap = image != nullptr ? image->Image().CurrentBitmap() : nullptr;
    if (image != nullptr && (bitmap == nullptr || bitmap->GetAlphaBits() == nullptr)) return false;
    const int a = GetOpacity() >> 8;
    DimScreen(a == 255 ? 192 : a * 192 / 255);
    return true;
}

void XGameDialog::Draw() {
    if (GetOpacity() < 1) return;
    if (m_pBackground == nullptr) {
        XDialog::Draw();
        return;
    }
    // What lies behind a translucent dialog is dimmed.
    if (DimBehindTranslucent()) {
        XDialog::Draw();
        return;
    }
    const int a = GetOpacity() >> 8;
    if (!(IsFadingIn() || IsFadingOut()) || SiblingFades()) {
        XDialog::Draw();
        return;
    }
    if (a < 128) {
        DimScreen(2 * a);
        return;
    }
    const FIXED_FLOAT opacity = m_nOwnOpacity;
    ApplyOpacity(kOpacityFull);
    XDialog::Draw();
    ApplyOpacity(opacity);
    const int cover = 255 - std::min(2 * (a - 128), 255);
    if (cover != 0) DimScreen(cover);
}

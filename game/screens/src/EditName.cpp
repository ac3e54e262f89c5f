// The name entry: a keyboard of 26 letters, space, backspace and shift, a name of at most ten
// characters with a blinking cursor, and an OK button that shows only for a usable name.
#include <cstring>
#include <string>

#include "app/GameBase.h"
#include "game/progress/ApplicationData.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "ui/Button.h"

namespace {

constexpr int kLetters = 26;
constexpr int kCursorBlinkBit = 16;  // 16 frames on, 16 off
constexpr int kCursorWidth = 2;
constexpr int kCursorHeight = 26;

bool Is(XWPARAM wparam, const char* id) {
    const char* text = XIdText(wparam);
    return text != nullptr && std::strcmp(text, id) == 0;
}

}  // namespace

CXEditName::CXEditName(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

bool CXEditName::AddButtonToArray(const CommonString& id) {
    auto* key = dynamic_cast<XButton*>(FindChildWithWidgetId(id.GetDataConst()));
    return key != nullptr && m_Keys.Add(key) != 0;
}

int CXEditName::OnInitWidget() {
    if (!XGameDialog::OnInitWidget()) return 0;
    for (char c = 'A'; c <= 'Z'; ++c)
        if (!AddButtonToArray(CommonString("btn_") + CommonString(c))) return 0;
    if (!AddButtonToArray(CommonString("btn_Space"))) return 0;
    m_pSpace = m_Keys[kLetters];
    m_pName = dynamic_cast<XText*>(FindChildWithWidgetId("txt_Name"));
    m_pBackspace = dynamic_cast<XButton*>(FindChildWithWidgetId("btn_BkSpace"));
    m_pOk = dynamic_cast<XButton*>(FindChildWithWidgetId("btn_NameOk"));
    m_pDuplicate = FindChildWithWidgetId("txt_duplicate_name");
    m_pHint = FindChildWithWidgetId("txt_name_hint");
    if (m_pName == nullptr || m_pBackspace == nullptr || m_pOk == nullptr || m_pDuplicate == nullptr) return 0;
    m_pDuplicate->Hide();
    const CApplicationData* data = AppDataOf(ScreensGameOf(this));
    SetName(data != nullptr ? data->GetUserName(data->m_nCurrentProfile) : CommonString());
    UpdateOKButtonAvailability();
    Shift(GetText().Length() == 0);
    return 1;
}

CommonString CXEditName::GetText() const { return m_pName != nullptr ? m_pName->GetCaption() : CommonString(); }

void CXEditName::SetName(const CommonString& text) {
    if (m_pName != nullptr) m_pName->SetCaption(text);
}

void CXEditName::Shift(bool on) {
    m_bShift = on;
    for (int k = 0; k < kLetters && k < m_Keys.count; ++k)
        m_Keys[k]->SetCaption(CommonString(static_cast<char>((on ? 'A' : 'a') + k)));
}

void CXEditName::TypeCharacter(char c) {
    const CommonString candidate = GetText() + CommonString(c);
    if (!StringLengthOK(candidate)) return;
    SetName(candidate);
    TextChanged();
    Shift(false);
}

int CXEditName::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code != XMSG_CLICK) return XGameDialog::OnMessage(sender, code, wparam, lparam);
    if (Is(wparam, "btnShift")) {
        Shift(!m_bShift);
        return 1;
    }
    for (int k = 0; k < kLetters && k < m_Keys.count; ++k) {
        if (!Is(wparam, XIdText(m_Keys[k]->Id2WParam()))) continue;
        TypeCharacter(static_cast<char>((m_bShift ? 'A' : 'a') + k));
        return 1;
    }
    if (Is(wparam, "btn_Space")) {
        TypeCharacter(' ');
        return 1;
    }
    if (Is(wparam, "btn_BkSpace")) {
        const CommonString text = GetText();
        if (text.Length() > 0) {
            SetName(CommonString(std::string(text.GetDataConst(), text.Length() - 1).c_str()));
            TextChanged();
            Shift(GetText().Length() == 0);
        }
        return 1;
    }
    // OK and cancel are the start menu's: the dialog hands them up.
    return XGameDialog::OnMessage(sender, code, wparam, lparam);
}

void CXEditName::TextChanged() {
    if (m_pName != nullptr) m_pName->ReInitWidgetPosition();
    UpdateOKButtonAvailability();
}

namespace {

// A name of blanks only would greet nobody: it needs a character that shows.
bool HasVisibleCharacter(const CommonString& text) {
    for (int i = 0; i < text.Length(); ++i)
        if (text.GetDataConst()[i] != ' ') return true;
    return false;
}

}  // namespace

void CXEditName::UpdateOKButtonAvailability() {
    if (m_pOk == nullptr || m_pDuplicate == nullptr) return;
    const bool blank = !HasVisibleCharacter(GetText());
    const bool duplicate = !blank && IsDuplicateName();
    SetWidgetShown(m_pOk, !blank && !duplicate);
    SetWidgetShown(m_pDuplicate, duplicate);
    SetWidgetShown(m_pHint, blank && !m_bCancelShown);
}

bool CXEditName::IsDuplicateName() const {
    const CommonString text = GetText();
    const CApplicationData* data = AppDataOf(ScreensGameOf(this));
    if (text.Length() == 0 || data == nullptr) return false;
    for (int i = data->m_Profiles.count - 1; i >= 0; --i)
        if (i != data->m_nCurrentProfile && data->GetUserName(i) == text) return true;
    return false;
}

void CXEditName::HideCancel() {
    if (XWidget* cancel = FindChildWithWidgetId("btn_NameCancel")) cancel->Hide();
    const IDibBitmap* back = GetBackBuffer();
    if (m_pOk != nullptr && back != nullptr) {
        const TCoordRect2D r = m_pOk->GetDrawingRect();
        m_pOk->OffsetWidgetPosition(back->m_Width / 2 - r.x - r.width / 2, 0);
    }
    m_bCancelShown = false;
    UpdateOKButtonAvailability();
}

void CXEditName::RunProcess() {
    XGameDialog::RunProcess();
    ++m_nBlink;
}

void CXEditName::Draw() {
    XGameDialog::Draw();
    if ((m_nBlink & kCursorBlinkBit) == 0 || (GetOpacity() >> 8) != 255 || m_pName == nullptr) return;
    const TCoordRect2D r = m_pName->GetDrawingRect();
    const int x = GetText().Length() > 0 ? r.x + r.width + 6 : r.x + r.width / 2 + 2;
    FillRectangle_Transparent(ScreensGameOf(this), GetBackBuffer(), x, r.y + r.height / 2 - 13, kCursorWidth,
                              kCursorHeight, 255, 255, 255, 255);
}

#include "ui/XElement.h"

#include <cstdint>

#include "render/DibBitmap.h"
#include "ui/ElementHost.h"

CXElement::CXElement(CXElement* parent, IElementHost* game)
    : m_pParent(parent),
      m_pActiveChild(nullptr),
      m_pGame(game != nullptr ? game : (parent != nullptr ? parent->m_pGame : nullptr)),
      m_bVisible(true),
      m_bModal(false),
      m_Rect{0, 0, 0, 0},
      m_StandardButtonIds{1, 2},
      m_nSlideState(0),
      m_nSlideCounter(0),
      m_SavedMessage{parent, 0, 0, 0, false} {
    if (parent != nullptr) {
        parent->AddChild(this);
        parent->SetFocus(this);
    }
}

CXElement::~CXElement() {
    // A button deleted with its screen while it holds the capture must not leave the game
    // object pointing at freed memory.
    if (m_pGame != nullptr && m_pGame->XGetCapture() == this) m_pGame->XReleaseCapture();
}

int CXElement::OnInitElement() { return 1; }
int CXElement::Type() { return 0; }
void CXElement::InvalidateAll() {}
void CXElement::RunProcess() {}

void CXElement::Draw() {
    if (!IsVisible()) return;
    for (int i = 0; i < m_Children.count; ++i) {
        CXElement* child = m_Children.data[i];
        if (child != nullptr && child->IsVisible()) child->Draw();
    }
}

void CXElement::Show() {
    m_bVisible = true;
    for (int i = 0; i < m_Children.count; ++i) {
        if (m_Children.data[i] != nullptr) m_Children.data[i]->Show();
    }
}

void CXElement::Hide() {
    m_bVisible = false;
    if (m_pParent != nullptr && m_pParent->m_pActiveChild == this) m_pParent->m_pActiveChild = nullptr;
}

void CXElement::Destroy() {
    Hide();
    if (m_pParent != nullptr) m_pParent->RemoveChild(this);
    m_pParent = nullptr;
}

int CXElement::NotifyKeyEvent(int key, int type) {
    if (!IsVisible() || m_pActiveChild == nullptr) return 0;
    return m_pActiveChild->NotifyKeyEvent(key, type);
}

int CXElement::NotifyPointerEvent(int x, int y, int type) {
    if (!IsVisible()) return 0;
    for (int i = m_Children.count - 1; i >= 0; --i) {
        CXElement* child = m_Children.data[i];
        if (child == nullptr) continue;
        if (child->IsVisible() && child->Contains(x, y)) {
            m_pActiveChild = child;
            child->NotifyPointerEvent(x, y, type);
            return 1;
        }
        // A modal child met before any taker swallows the event, even when it is hidden.
        if (child->IsModal()) return 1;
    }
    return 0;
}

int CXElement::NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) {
    if (!IsVisible()) return 0;
    for (int i = m_Children.count - 1; i >= 0; --i) {
        CXElement* child = m_Children.data[i];
        if (child == nullptr) continue;
        if (child->IsVisible() && child->Contains(x, y)) {
            child->NotifyMultiTouchPointerEvent(x, y, type, touchId);
            return 1;
        }
        if (child->IsModal()) return 1;
    }
    return 0;
}

int CXElement::AddChild(CXElement* child) { return m_Children.Add(child); }

void CXElement::RemoveChildAt(int index) {
    InvalidateAll();
    if (index < 0 || index >= m_Children.count) return;
    if (m_Children.data[index] == m_pActiveChild) m_pActiveChild = nullptr;
    m_Children.RemoveAt(index);
}

void CXElement::RemoveChild(CXElement* child) {
    InvalidateAll();
    for (int i = 0; i < m_Children.count; ++i) {
        if (m_Children.data[i] == child) {
            RemoveChildAt(i);
            return;
        }
    }
}

CXElement* CXElement::GetChildPtrAt(int index) {
    if (index < 0 || index >= m_Children.count) return nullptr;
    return m_Children.data[index];
}

void CXElement::SetFocus(CXElement* element) {
    m_pActiveChild = element;
    if (element != nullptr) element->OnSetFocus();
}

void CXElement::OnSetFocus() {}
CXElement* CXElement::GetActiveObjectPtr() { return m_pActiveChild; }

void CXElement::SetPosition(int x, int y, int w, int h) { m_Rect = TCoordRect2D{x, y, w, h}; }
TCoordRect2D CXElement::GetPosition() { return m_Rect; }
TElementSize CXElement::GetOriginalSize() { return TElementSize{m_Rect.width, m_Rect.height}; }

bool CXElement::Contains(int x, int y) {
    return m_Rect.x <= x && x <= m_Rect.x + m_Rect.width && m_Rect.y <= y && y <= m_Rect.y + m_Rect.height;
}

int CXElement::MoveFocus(int step) {
    const int n = m_Children.count;
    if (m_pActiveChild == nullptr) {
        if (n == 0) return 1;
        SetFocus(m_Children.data[0]);
        if (m_Children.data[0] != nullptr && m_Children.data[0]->IsVisible()) return 1;
    }
    if (n < 2) return 0;
    int index = -1;
    for (int i = 0; i < n; ++i) {
        if (m_Children.data[i] == m_pActiveChild) index = i;
    }
    if (index < 0) return 0;
    // At most one full round, so a tree with no visible child ends instead of spinning.
    for (int tries = 1; tries < n; ++tries) {
        index = (index + step + n) % n;
        CXElement* next = m_Children.data[index];
        SetFocus(next);
        if (next != nullptr && next->IsVisible()) return 1;
    }
    return 0;
}

int CXElement::SetNextActiveObject(int /*key*/) { return MoveFocus(+1); }
int CXElement::SetPrevActiveObject(int /*key*/) { return MoveFocus(-1); }

int CXElement::SendMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool /*deferred*/) {
    CXElement* receiver = target != nullptr ? target : m_pParent;
    if (receiver == nullptr) return 0;
    return receiver->OnMessage(this, code, wparam, lparam);
}

int CXElement::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (m_pParent == nullptr) return 0;
    return m_pParent->OnMessage(sender, code, wparam, lparam);
}

void CXElement::SetModal(bool modal) { m_bModal = modal; }
bool CXElement::IsModal() { return m_bModal; }
bool CXElement::IsVisible() { return m_bVisible; }
bool CXElement::IsEnabled() { return true; }
bool CXElement::IsButton() { return false; }
int CXElement::GetSoftKeyId() { return 0; }
bool CXElement::IsWidget() { return false; }
void CXElement::CancelActiveState() {}

void CXElement::SetSlideState(int state) {
    m_nSlideState = state;
    m_nSlideCounter = state != 0 ? 1 : 0;
}

int CXElement::ProcessSlideState() {
    if (m_nSlideState == 1) {
        --m_nSlideCounter;
        if (m_nSlideCounter < 1) SetSlideState(0);
    } else if (m_nSlideState == 2) {
        if (m_nSlideCounter > 0) --m_nSlideCounter;
    }
    return 0;
}

CXElement* CXElement::FindModalChild() {
    for (int i = m_Children.count - 1; i >= 0; --i) {
        CXElement* child = m_Children.data[i];
        if (child != nullptr && child->IsModal() && child->IsVisible()) return child;
    }
    return nullptr;
}

void CXElement::SetupSavedMessage(CXElement* target, int code, XWPARAM wparam, int lparam, bool deferred) {
    m_SavedMessage = TSavedMessage{target, code, wparam, lparam, deferred};
}

int CXElement::SendSavedMessage() {
    if (m_SavedMessage.code == 0) return 0;
    return SendMessage(m_SavedMessage.target, m_SavedMessage.code, m_SavedMessage.wparam, m_SavedMessage.lparam,
                       m_SavedMessage.deferred);
}

CXElement* CXElement::GetStandardButton(int which) {
    if (which != 1 && which != 2) return nullptr;
    for (int i = 0; i < m_Children.count; ++i) {
        CXElement* child = m_Children.data[i];
        if (child != nullptr && child->IsButton() && child->GetSoftKeyId() == which) return child;
    }
    return nullptr;
}

bool CXElement::ContatinsChild(CXElement* element) {
    for (int i = 0; i < m_Children.count; ++i) {
        if (m_Children.data[i] == element) return true;
    }
    return false;
}

int CXElement::NotifyKeyEventDialogHelper(int key, int type) {
    if (CXElement* modal = FindModalChild()) return modal->NotifyKeyEvent(key, type);
    if (type == 1) {
        if ((key == XKEY_NEXT || key == XKEY_NEXT2) && SetNextActiveObject(key)) return 1;
        if ((key == XKEY_PREV || key == XKEY_PREV2) && SetPrevActiveObject(key)) return 1;
    }
    if (m_pGame != nullptr) {
        const bool yes = m_pGame->LastKeyCodeIsSmartphoneYes();
        const bool no = !yes && m_pGame->LastKeyCodeIsSmartphoneNo();
        if (yes || no) {
            CXElement* button = GetStandardButton(m_StandardButtonIds[yes ? 0 : 1]);
            if (button != nullptr) {
                if (m_pGame->IsKeyLocked(XKEY_SELECT)) {
                    if (type != 1) m_pGame->UnLockKeys();
                    return 1;
                }
                SetFocus(button);
                return button->NotifyKeyEvent(XKEY_SELECT, type);
            }
        }
    }
    if (m_pActiveChild == nullptr) return 0;
    return m_pActiveChild->NotifyKeyEvent(key, type);
}

void CXElement::DrawFastFadeDoubleBufferToBlack(int factor) {
    IDibBitmap* back = m_pGame != nullptr ? m_pGame->Screen().m_pBackBuffer : nullptr;
    if (back == nullptr) return;
    if (back->GetBitsPerPixel() != 16) return;
    auto* pixels = reinterpret_cast<std::uint16_t*>(back->GetBits());
    if (pixels == nullptr) return;
    const int n = back->m_BufferWidth * back->m_BufferHeight;
    for (int i = 0; i < n; ++i) {
        const unsigned p = pixels[i];
        const unsigned r = (((p >> 11) & 31u) * static_cast<unsigned>(factor)) >> 8;
        const unsigned g = (((p >> 5) & 63u) * static_cast<unsigned>(factor)) >> 8;
        const unsigned b = ((p & 31u) * static_cast<unsigned>(factor)) >> 8;
        pixels[i] = static_cast<std::uint16_t>(((r & 31u) << 11) | ((g & 63u) << 5) | (b & 31u));
    }
}

void CXElement::DrawFastFadeDoubleBufferToBlackPalmAPI(int /*factor*/) {}

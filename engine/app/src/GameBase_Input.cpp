// Pointer and key entry of the first finger, the pointer capture, the key locks and repeats, and
// the screen-rotation animation.
#include "app/GameBase.h"
#include "render/DibBitmap.h"
#include "render/WinDibBitmap.h"

namespace {
int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
}  // namespace

int CGameBase::NotifyPointerEvent(int x, int y, int type) {
    if (type == XPOINTER_IGNORED) return 1;

    int tx = x;
    int ty = y;
    if (m_nRotationMode == 1) {
        tx = m_nGameHeight - 1 - y;
        ty = x;
    } else if (m_nRotationMode == 2) {
        tx = y;
        ty = m_nGameWidth - 1 - x;
    }

    if (m_pQuitButton != nullptr && m_pQuitButtonPressed != nullptr) {
        const int edge = m_nRotationMode == 0 ? m_nGameWidth : m_nGameHeight;
        const bool onButton =
            edge - m_pQuitButton->m_Width <= tx && tx < edge && 1 <= ty && ty <= m_pQuitButton->m_Height;
        if (onButton && type == XPOINTER_PRESS) {
            m_bBorderRedraw = true;
            m_bQuitButtonPressed = true;
            return 1;
        }
        if (onButton && type == XPOINTER_RELEASE && m_bQuitButtonPressed) {
            SetFinished(kFinishQuitButton);
            return 1;
        }
    }
    if (m_bQuitButtonPressed) {
        // The press began on the quit button: nothing else sees the gesture.
        if (type == XPOINTER_RELEASE) {
            m_bQuitButtonPressed = false;
            m_bBorderRedraw = true;
        }
        return 1;
    }

    if (m_nVerticalBorderWidth > 0 || m_nHorizontalBorderHeight > 0) {
        if (m_nRotationMode == 0) {
            tx -= m_nVerticalBorderWidth;
            ty -= m_nHorizontalBorderHeight;
        } else {
            ty -= m_nVerticalBorderWidth;
            tx -= m_nHorizontalBorderHeight;
        }
    }

    if (type == XPOINTER_PRESS) m_bPointerDown = true;
    if (type == XPOINTER_RELEASE) m_bPointerDown = false;

    if (type < 101 || type > 103) {
        const int maxX = m_Screen.m_pBackBuffer != nullptr ? m_Screen.m_pBackBuffer->m_Width - 1 : m_nGameWidth - 1;
        const int maxY = m_Screen.m_pBackBuffer != nullptr ? m_Screen.m_pBackBuffer->m_Height - 1 : m_nGameHeight - 1;
        tx = Clamp(tx, 0, maxX < 0 ? 0 : maxX);
        ty = Clamp(ty, 0, maxY < 0 ? 0 : maxY);
    }

    if (m_pCapture != nullptr) return m_pCapture->NotifyPointerEvent(tx, ty, type);
    return CXElement::NotifyPointerEvent(tx, ty, type);
}

int CGameBase::NotifyKeyEvent(int key, int pressed) {
    if (key < 0 || key >= kKeyCount) return 0;
    if (m_KeyLock[key] != 0) {
        if (pressed == 0) UnLockKeys();
        return 1;
    }
    if (pressed != 0 && m_KeyState[key] != 0) return 1;
    m_KeyState[key] = pressed;
    if (pressed == 0) m_KeyRepeat[key] = 0;
    return CXElement::NotifyKeyEvent(key, pressed);
}

void CGameBase::ProcessPressedKeys() {
    const int last = m_b31Keys ? 31 : 4;
    for (int key = 1; key <= last; ++key) {
        if (m_KeyState[key] == 0 || m_KeyLock[key] != 0) continue;
        if (++m_KeyRepeat[key] >= m_nKeyRepeatDelay) {
            m_KeyRepeat[key] = 0;
            CXElement::NotifyKeyEvent(key, 1);
        }
    }
}

void CGameBase::LockKey(int key) {
    if (key >= 0 && key < kKeyCount) m_KeyLock[key] = 1;
}

void CGameBase::UnLockKey(int key) {
    if (key >= 0 && key < kKeyCount) m_KeyLock[key] = 0;
}

bool CGameBase::IsKeyLocked(int key) { return key >= 0 && key < kKeyCount && m_KeyLock[key] != 0; }

void CGameBase::UnLockKeys() {
    for (int& lock : m_KeyLock) lock = 0;
}

void CGameBase::ClearKeyStates() { UnLockKeys(); }

void CGameBase::ClearKeyPressedStates() {
    for (int i = 0; i < kKeyCount; ++i) {
        m_KeyState[i] = 0;
        m_KeyRepeat[i] = 0;
    }
}

void CGameBase::InitUI() {
    m_pCapture = nullptr;
    UnLockKeys();
}

void CGameBase::NoteWidgetInitFailed(const CommonString& id) {
    ++m_nWidgetInitFailures;
    m_LastFailedWidget = id;
}

void CGameBase::SetFinished(int code) {
    m_nFinishCode = code;
    m_bFinished = true;
}

int CGameBase::LastKeyCodeIsSmartphoneDigit() { return -1; }
bool CGameBase::LastKeyCodeIsSmartphoneYes() { return false; }
bool CGameBase::LastKeyCodeIsSmartphoneNo() { return false; }
bool CGameBase::LastKeyCodeIsSmartphoneBackSpace() { return false; }

void CGameBase::SetIPhoneOrientation(int mode, bool immediate) {
    m_Screen.m_nOrientationMode = mode;
    if (!immediate) return;
    if (mode == 2) {
        m_Screen.m_nOrientationAngle = kRotationAngle90;
        m_Screen.m_nRotationCounter = 3;
    } else if (mode == 1) {
        m_Screen.m_nOrientationAngle = -kRotationAngle90;
        m_Screen.m_nRotationCounter = 3;
    } else if (mode == 0) {
        m_Screen.m_nOrientationAngle = 0;
        m_Screen.m_nRotationCounter = 0;
    }
}

void CGameBase::ProcessIPhoneRotation() {
    const int step = m_nFrameRate > 59 ? 1024 : m_nRotationSpeed;
    if (m_Screen.m_nOrientationMode == 2) {
        if (m_Screen.m_nOrientationAngle == kRotationAngle90) return;
        m_Screen.m_nOrientationAngle += step;
        if (m_Screen.m_nOrientationAngle >= kRotationAngle90) {
            m_Screen.m_nOrientationAngle = kRotationAngle90;
            m_Screen.m_nRotationCounter = 3;
        }
    } else if (m_Screen.m_nOrientationMode == 1) {
        if (m_Screen.m_nOrientationAngle == -kRotationAngle90) return;
        m_Screen.m_nOrientationAngle -= step;
        if (m_Screen.m_nOrientationAngle < -kRotationAngle90 + 1) {
            m_Screen.m_nOrientationAngle = -kRotationAngle90;
            m_Screen.m_nRotationCounter = 3;
        }
    }
}

void CGameBase::DrawQuitButton() {
    IDibBitmap* bitmap = m_bQuitButtonPressed ? m_pQuitButtonPressed : m_pQuitButton;
    IDibBitmap* target = m_Screen.m_pBackBuffer;
    if (m_nVerticalBorderWidth > 0) {
        target = m_pBorderBuffer2;
        if (target == nullptr) target = m_nHorizontalBorderHeight > 0 ? m_pBorderBuffer1 : m_Screen.m_pBackBuffer;
    } else if (m_nHorizontalBorderHeight > 0) {
        target = m_pBorderBuffer1 != nullptr ? m_pBorderBuffer1 : m_Screen.m_pBackBuffer;
    }
    if (m_nRotationMode == 2 && m_nHorizontalBorderHeight > 0 && m_pBorderBuffer2 != nullptr) {
        target = m_pBorderBuffer2;
    }
    if (target != m_Screen.m_pBackBuffer && !m_bBorderRedraw) return;
    if (target == nullptr || bitmap == nullptr) return;
    bitmap->Draw(target, target->m_Width - bitmap->m_Width, 0, bitmap->m_Width, bitmap->m_Height, 0, 0);
}

void CGameBase::DrawBorderBitmapsToDoubleBuffers() {
    if (m_nVerticalBorderWidth <= 0 && m_nHorizontalBorderHeight <= 0) return;
    if (IDibBitmap* first = m_pBorderBuffer1) {
        if (IDibBitmap* own = m_pBorderBitmap1) {
            own->Draw(first, (first->m_Width - own->m_Width) / 2, first->m_Height - own->m_Height, own->m_Width,
                      own->m_Height, 0, 0);
        } else if (IDibBitmap* common = m_pBorderBitmap) {
            common->Draw(first, first->m_Width - common->m_Width, (first->m_Height - common->m_Height) / 2,
                         common->m_Width, common->m_Height, 0, 0);
        }
    }
    if (IDibBitmap* second = m_pBorderBuffer2) {
        if (IDibBitmap* own = m_pBorderBitmap2) {
            own->Draw(second, (second->m_Width - own->m_Width) / 2, 0, own->m_Width, own->m_Height, 0, 0);
        } else if (IDibBitmap* common = m_pBorderBitmap) {
            common->Draw(second, 0, (second->m_Height - common->m_Height) / 2, common->m_Width, common->m_Height, 0, 0);
        }
    }
}

void CGameBase::DrawBordersToDeviceScreen() {
    if (!m_bBorderRedraw) return;
    if (m_nVerticalBorderWidth <= 0 && m_nHorizontalBorderHeight <= 0) return;
    DrawBorderBitmapsToDoubleBuffers();
    DrawQuitButton();
}

bool CGameBase::CreateBorderDoubleBufferWnds(int w, int h, int bw, int bh) {
    const int width = bw > 0 ? bw : w;
    const int height = bh > 0 ? bh : h;
    SafeDelete(m_pBorderBuffer1);
    SafeDelete(m_pBorderBuffer2);
    // Borders are drawn in software whatever the renderer: they are plain strips beside the picture.
    m_pBorderBuffer1 = new CWinDibBitmap(this);
    m_pBorderBuffer2 = new CWinDibBitmap(this);
    for (IDibBitmap* buffer : {m_pBorderBuffer1, m_pBorderBuffer2}) {
        if (!buffer->Create(width, height)) return false;
        buffer->DestroyAlpha();
        buffer->ClearBitmap(0, 0, 0);
    }
    return true;
}

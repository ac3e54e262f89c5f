#include "testsupport/FakeElementHost.h"

void CFakeElementHost::LockKey(int key) {
    if (key >= 0 && key < kKeyCount) m_KeyLock[key] = true;
}

void CFakeElementHost::UnLockKey(int key) {
    if (key >= 0 && key < kKeyCount) m_KeyLock[key] = false;
}

void CFakeElementHost::UnLockKeys() {
    for (bool& lock : m_KeyLock) lock = false;
}

CFakeElementHost::~CFakeElementHost() {
    FlushCachedTemplates();
    SetGamePtr(nullptr);
}

void CFakeElementHost::FlushCachedTemplates() { FlushTemplateCache(m_TemplateCache); }

#include "particles/ParticleSystemManager.h"

#include <cstdlib>
#include <new>

#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemSharedSpriteStorage.h"

namespace {

// Frees a list's block; its growth step stays for the next Add.
template <typename T>
void FreeList(CQuorvanArray<T>& list) {
    std::free(list.data);
    list.data = nullptr;
    list.count = 0;
    list.capacity = 0;
}

}  // namespace

CQuorvanParticleSystemManager2::CQuorvanParticleSystemManager2(ISpriteHost* game, CQuorvanImageRotatorScaler* rotator,
                                                               int growBy)
    : m_pGame(game), m_pRotator(rotator) {
    m_Systems.growBy = growBy;
    m_DrawMarks.growBy = growBy;
    m_ProcessMarks.growBy = growBy;
    m_pStorage = new (std::nothrow) CQuorvanParticleSystemSharedSpriteStorage2(game);
}

CQuorvanParticleSystemManager2::~CQuorvanParticleSystemManager2() {
    DestroyParticleSystems();
    delete m_pStorage;
}

int CQuorvanParticleSystemManager2::Append(CQuorvanParticleSystem2* system) {
    if (m_Systems.Add(system) == 0) {
        return 0;
    }
    if (m_DrawMarks.Add(0) == 0) {
        m_Systems.RemoveAt(m_Systems.count - 1);
        return 0;
    }
    if (m_ProcessMarks.Add(0) == 0) {
        m_Systems.RemoveAt(m_Systems.count - 1);
        m_DrawMarks.RemoveAt(m_DrawMarks.count - 1);
        return 0;
    }
    return 1;
}

int CQuorvanParticleSystemManager2::AddParticleSystemDefenition(const char* name, const char* file) {
    auto* system = new (std::nothrow) CQuorvanParticleSystem2(m_pGame, m_pRotator);
    if (system == nullptr) {
        return 0;
    }
    system->SetName(name);
    system->DefineFile(file);
    system->UseSpriteSetStorage(m_pStorage);
    if (Append(system) == 0) {
        delete system;
        return 0;
    }
    return 1;
}

int CQuorvanParticleSystemManager2::AddParticleSystem(const char* name, CQuorvanParticleSystem2* system) {
    if (system == nullptr) {
        return 0;
    }
    system->SetName(name);
    return Append(system);
}

CQuorvanParticleSystem2* CQuorvanParticleSystemManager2::GetParticleSystemAt(int i) const {
    return i >= 0 && i < m_Systems.count ? m_Systems[i] : nullptr;
}

int CQuorvanParticleSystemManager2::GetIdOfParticleSystem(const CQuorvanParticleSystem2* system) const {
    for (int i = 0; i < m_Systems.count; ++i) {
        if (m_Systems[i] == system) {
            return i;
        }
    }
    return -1;
}

int CQuorvanParticleSystemManager2::GetIdOfParticleSystemNamed(const char* name) const {
    if (name == nullptr) {
        return -1;
    }
    for (int i = 0; i < m_Systems.count; ++i) {
        if (m_Systems[i] != nullptr && m_Systems[i]->GetName().IsEqual(name)) {
            return i;
        }
    }
    return -1;
}

CQuorvanParticleSystem2* CQuorvanParticleSystemManager2::GetParticleSystemNamed(const char* name) const {
    return GetParticleSystemAt(GetIdOfParticleSystemNamed(name));
}

void CQuorvanParticleSystemManager2::DeleteParticleSystem(int i) {
    if (i < 0 || i >= m_Systems.count) {
        return;
    }
    CQuorvanParticleSystem2* system = m_Systems[i];
    m_Systems.RemoveAt(i);
    m_DrawMarks.RemoveAt(i);
    m_ProcessMarks.RemoveAt(i);
    delete system;
}

void CQuorvanParticleSystemManager2::DeleteParticleSystem(CQuorvanParticleSystem2* system) {
    DeleteParticleSystem(GetIdOfParticleSystem(system));
}

void CQuorvanParticleSystemManager2::DeleteParticleSystem(const char* name) {
    DeleteParticleSystem(GetIdOfParticleSystemNamed(name));
}

void CQuorvanParticleSystemManager2::StopAll(bool clear) {
    for (int i = 0; i < m_Systems.count; ++i) {
        if (m_Systems[i] != nullptr) {
            m_Systems[i]->Stop(clear);
        }
    }
}

void CQuorvanParticleSystemManager2::RunProcess() {
    for (int i = 0; i < m_Systems.count; ++i) {
        if (m_Systems[i] != nullptr) {
            m_Systems[i]->RunProcess();
        }
    }
}

void CQuorvanParticleSystemManager2::ResetRunProcessMarks() {
    for (int i = 0; i < m_ProcessMarks.count; ++i) {
        m_ProcessMarks[i] = 0;
    }
}

void CQuorvanParticleSystemManager2::ResetDrawMarks() {
    for (int i = 0; i < m_DrawMarks.count; ++i) {
        m_DrawMarks[i] = 0;
    }
}

void CQuorvanParticleSystemManager2::RunProcessAndMark(int i) {
    CQuorvanParticleSystem2* system = GetParticleSystemAt(i);
    if (system == nullptr) {
        return;
    }
    system->RunProcess();
    m_ProcessMarks[i] = 1;
}

void CQuorvanParticleSystemManager2::RunProcessTheRest() {
    for (int i = 0; i < m_Systems.count; ++i) {
        if (m_ProcessMarks[i] == 0 && m_Systems[i] != nullptr) {
            m_Systems[i]->RunProcess();
        }
    }
}

void CQuorvanParticleSystemManager2::DrawAndMark(IDibBitmap* dst, int i) {
    CQuorvanParticleSystem2* system = GetParticleSystemAt(i);
    if (system == nullptr) {
        return;
    }
    system->Draw(dst);
    m_DrawMarks[i] = 1;
}

void CQuorvanParticleSystemManager2::DrawTheRest(IDibBitmap* dst) {
    for (int i = 0; i < m_Systems.count; ++i) {
        if (m_DrawMarks[i] == 0 && m_Systems[i] != nullptr) {
            m_Systems[i]->Draw(dst);
        }
    }
}

void CQuorvanParticleSystemManager2::DestroyParticleSystems() {
    for (int i = 0; i < m_Systems.count; ++i) {
        CQuorvanParticleSystem2* system = m_Systems[i];
        m_Systems[i] = nullptr;
        delete system;
    }
    FreeList(m_Systems);
    FreeList(m_DrawMarks);
    FreeList(m_ProcessMarks);
}

// The profile list of the player data.
#include <new>

#include "app/GameBase.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"

int CApplicationData::AddUserProfile() {
    if (m_Profiles.count >= kMaxUserProfiles) return -1;
    auto* profile = new (std::nothrow) TUserProfile();
    if (profile == nullptr) return -1;
    if (!m_Profiles.Add(profile)) {
        delete profile;
        return -1;
    }
    profile->SetGamePtr(m_pGame);
    profile->Reset();
    profile->m_nStorageSlotId = FindUnusedStorageSlotsId();
    if (IProgressHost* host = ProgressHostOf(m_pGame)) profile->m_CurrentYard = host->GetFirstYardName();
    if (m_nCurrentProfile < 0) m_nCurrentProfile = 0;
    return m_Profiles.count - 1;
}

void CApplicationData::RemoveUserProfile(int i) {
    if (i < 0 || i >= m_Profiles.count) return;
    TUserProfile* profile = m_Profiles.data[i];
    m_Profiles.RemoveAt(i);
    delete profile;
    if (i < m_nCurrentProfile) --m_nCurrentProfile;
    if (m_nCurrentProfile >= m_Profiles.count) m_nCurrentProfile = m_Profiles.count - 1;
}

CommonString CApplicationData::GetUserName(int i) const {
    if (i < 0 || i >= m_Profiles.count) return CommonString();
    return m_Profiles.data[i]->GetName();
}

void CApplicationData::SetUserName(int i, const CommonString& name) {
    if (i < 0 || i >= m_Profiles.count) return;
    m_Profiles.data[i]->SetName(name);
}

int CApplicationData::FindUnusedStorageSlotsId() const {
    for (int slot = 0;; ++slot) {
        bool used = false;
        for (int i = 0; i < m_Profiles.count && !used; ++i) used = m_Profiles.data[i]->m_nStorageSlotId == slot;
        if (!used) return slot;
    }
}

TUserProfile* CApplicationData::GetCurrentProfile() const {
    if (m_nCurrentProfile < 0 || m_nCurrentProfile >= m_Profiles.count) return nullptr;
    return m_Profiles.data[m_nCurrentProfile];
}

TUserProfile* CApplicationData::CorrectedCurrentProfile() {
    if (m_Profiles.count == 0) return nullptr;
    if (m_nCurrentProfile < 0 || m_nCurrentProfile >= m_Profiles.count) m_nCurrentProfile = 0;
    return m_Profiles.data[m_nCurrentProfile];
}

CApplicationData* AppDataOf(CGameBase* game) {
    return game != nullptr ? dynamic_cast<CApplicationData*>(game->m_pAppData) : nullptr;
}

TUserProfile* CurrentProfileOf(CGameBase* game) {
    CApplicationData* data = AppDataOf(game);
    return data != nullptr ? data->GetCurrentProfile() : nullptr;
}

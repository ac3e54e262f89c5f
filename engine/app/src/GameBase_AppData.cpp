// The application object's side of the player data: the start-up load, the save, and the sound
// settings kept in the data's settings block.
#include "app/BasicApplicationData.h"
#include "app/GameBase.h"
#include "audio/SoundSystem.h"

bool CGameBase::LoadOrCreateDefaultAppData() {
    if (m_pAppData == nullptr && !CreateApplicationData()) return false;
    if (m_pAppData == nullptr) return false;
    m_pAppData->SetDefaultApplicationData();
    if (m_pAppData->ReadAppData(this)) {
        m_bAppDataCreatedFresh = false;
        m_eAppDataLoad = kAppDataLoaded;
    } else {
        // Player data that cannot be loaded never stops the start: take the defaults again, since
        // a failed read may have left part of the file in the object.
        m_pAppData->SetDefaultApplicationData();
        m_bAppDataCreatedFresh = true;
        m_eAppDataLoad = m_pAppData->LastLoad();
    }
    return true;
}

int CGameBase::SaveAppData() {
    if (m_pAppData == nullptr) return 0;
    // A file that is there but could not be read may be whole: the player's progress is in it,
    // and the defaults of this run must not take its place.
    if (m_eAppDataLoad == kAppDataCannotRead) return 0;
    // A damaged file is still the player's only copy of their progress: keep it aside before the
    // first save takes its name. If it cannot be moved, nothing is written over it.
    if (m_eAppDataLoad == kAppDataDamaged) {
        if (!m_pAppData->SetAsideAppDataFile(this)) return 0;
        m_eAppDataLoad = kAppDataLoaded;
    }
    return m_pAppData->WriteAppData(this) ? 1 : 0;
}

bool CGameBase::IsSoundOn() {
    return m_pAppData != nullptr && m_pAppData->m_bSoundOn && !m_pAppData->m_bSilence && !m_bMuted;
}

bool CGameBase::IsMusicOn() {
    return m_pAppData != nullptr && m_pAppData->m_bMusicOn && !m_pAppData->m_bSilence && !m_bMuted;
}

int CGameBase::GetVolume() { return m_pAppData != nullptr ? m_pAppData->m_nEffectsVolume : 0; }

int CGameBase::GetMusicVolume() { return m_pAppData != nullptr ? m_pAppData->m_nMusicVolume : 0; }

void CGameBase::SetVolume(int volume) {
    if (m_pAppData != nullptr) m_pAppData->m_nEffectsVolume = volume;
    if (m_pSoundSystem != nullptr) m_pSoundSystem->SetVolume(volume);
}

void CGameBase::SetMusicVolume(int volume) {
    if (m_pAppData != nullptr) m_pAppData->m_nMusicVolume = volume;
    if (m_pSoundSystem != nullptr) m_pSoundSystem->SetMusicVolume(volume);
}

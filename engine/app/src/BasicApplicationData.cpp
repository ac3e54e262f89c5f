#include "app/BasicApplicationData.h"

void CBasicApplicationData::SetDefaultControlsData() {
    for (int i = 1; i <= 5; ++i) m_ControlFlags[i] = false;
}

void CBasicApplicationData::SetDefaultApplicationData() {
    m_uBasicVersion = 1;
    m_bSoundOn = true;
    m_bMusicOn = true;
    m_nEffectsVolume = 50;
    m_nMusicVolume = 50;
    m_bSilence = false;
    m_nOrientationMode = 0;
    // Once directly and once through the virtual table, so a derived control layout gets its own
    // defaults on top of the base ones.
    CBasicApplicationData::SetDefaultControlsData();
    SetDefaultControlsData();
}

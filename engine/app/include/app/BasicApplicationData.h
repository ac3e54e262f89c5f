// The engine's player-data base: the settings block every game keeps (sound, music, volumes,
// silence, controls, orientation). The game's player data derives from it and adds its profiles,
// score tables and language; the saved-file format belongs to that derived class's work.
//
// This header holds what the application object reads and writes (IsSoundOn, SetVolume, the
// start-up load and the save). The whole-file operations are pure here until the player-data
// file is built; the game's CApplicationData supplies them.
//
// Threads: main thread only.
#pragma once

class CGameBase;
class IFile;

class CBasicApplicationData {
public:
    static constexpr int kControlCount = 32;

    CBasicApplicationData() = default;
    virtual ~CBasicApplicationData() = default;

    CBasicApplicationData(const CBasicApplicationData&) = delete;
    CBasicApplicationData& operator=(const CBasicApplicationData&) = delete;

    // Clears the flags of control entries 1 to 5; codes and other flags stay.
    virtual void SetDefaultControlsData();
    // Version 1, sound and music on, both volumes 50, silence off, orientation mode 0, then the
    // control defaults.
    virtual void SetDefaultApplicationData();
    // 0: raw records; 1: the serializer path (the game's data).
    virtual int GetSerializeMethod() { return 0; }
    virtual int Serialize(IFile* file, bool writing) = 0;
    virtual int WriteAppData(IFile* file) = 0;
    virtual int ReadAppData(IFile* file) = 0;
    // Whole-file load and save of global.opt in the save directory: 1/0.
    virtual int ReadAppData(CGameBase* game) = 0;
    virtual int WriteAppData(CGameBase* game) = 0;

    // Settings block, in file order.
    bool m_bSoundOn = true;
    int m_nEffectsVolume = 50;  // percent
    bool m_bMusicOn = true;
    int m_nMusicVolume = 50;  // percent
    bool m_bSilence = false;  // all sound off, whatever the two switches say
    int m_ControlCodes[kControlCount] = {};
    bool m_ControlFlags[kControlCount] = {};
    int m_nOrientationMode = 0;  // -2 unset, 0 none, 1 or 2 a rotation mode
    unsigned int m_uBasicVersion = 1;
};

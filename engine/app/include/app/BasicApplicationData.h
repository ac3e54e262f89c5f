// The engine's player-data base: the settings block every game keeps (sound, music, volumes,
// silence, controls, orientation), its place at the head of the saved file, and the whole-file
// load and save of "global.opt" in the game's save directory. The game's player data derives from
// it, appends its own part to the saved file (Serialize) and selects the serializer path.
//
// Saving never rewrites the file in place: the data is serialised into a buffer that grows as it
// needs, written to a temporary file beside "global.opt" and renamed over it only when every byte
// arrived, so a failed or interrupted save leaves the previous file as it was. Loading reads the
// whole file first and decodes the bytes (ReadAppDataFromBytes, which tests and the fuzz target
// share).
//
// Depends on: core (files, memory files, serializer); the game object (CGameBase) for the file
// factories and the save directory. Threads: main thread only.
#pragma once

#include <cstdint>
#include <span>

class CGameBase;
class IFile;

// What the last whole-file load found in the save directory.
enum EAppDataLoad : int {
    kAppDataLoaded = 0,      // read and decoded
    kAppDataMissing = 1,     // no file: a first start
    kAppDataCannotRead = 2,  // a file is there but could not be opened or read (permission, I/O error)
    kAppDataDamaged = 3,     // the file was read whole but its bytes do not decode
};

// The first four characters of text packed into an int, the first in the lowest byte, so that
// the int stored little-endian reads as the characters; 0 for null.
[[nodiscard]] int Convert4CharToInt(const char* text);

class CBasicApplicationData {
public:
    static constexpr int kControlCount = 32;
    // Bytes of the raw settings record: "APPS" through "APPE" as the settings lie in memory.
    static constexpr int kRawSettingsBytes = 192;

    CBasicApplicationData();
    virtual ~CBasicApplicationData() = default;

    CBasicApplicationData(const CBasicApplicationData&) = delete;
    CBasicApplicationData& operator=(const CBasicApplicationData&) = delete;

    // ---- Virtual operations, in slot order -------------------------------------------------
    // Clears the flags of control entries 1 to 5; codes and other flags stay.
    virtual void SetDefaultControlsData();
    // Version 1, sound and music on, both volumes 50, silence off, orientation mode 0, then the
    // control defaults.
    virtual void SetDefaultApplicationData();
    // 0: the raw records; 1: the serializer path (the game's data).
    virtual int GetSerializeMethod() { return 0; }
    // The settings part of the file, written or read through the serializer, ending in the tag
    // "BasicDataEnd": 1 when every field moved whole and the tag matched. Writing sets the version
    // to 1 first. Derived data runs this first and appends its own part.
    virtual int Serialize(IFile* file, bool writing);
    // The raw records of method 0: the settings record, then the derived block when its bounds are
    // set and in order. 1 when every write moved all its bytes.
    virtual int WriteAppData(IFile* file);
    // Reads the raw records back; on a short read or a wrong signature nothing is changed, the
    // signatures are restored and the answer is 0.
    virtual int ReadAppData(IFile* file);

    // ---- Whole-file operations ------------------------------------------------------------------
    // Loads the save directory's "global.opt" by the serialize method: 1, or 0 when the file is
    // missing, cannot be read or cannot be decoded (a failed decode may leave part of the file in
    // the object). LastLoad() tells which.
    virtual int ReadAppData(CGameBase* game);
    // Saves it by the serialize method: 1 only when the data was serialised, written to the
    // temporary file and renamed over "global.opt"; 0 otherwise, and then the previous file stays.
    virtual int WriteAppData(CGameBase* game);
    int ReadAppData_Method2(CGameBase* game);
    int WriteAppData_Method2(CGameBase* game);
    // What the last ReadAppData(CGameBase*) found.
    EAppDataLoad LastLoad() const { return m_eLastLoad; }
    // Renames a damaged "global.opt" to "global.opt.damaged.N" with the first N from 1 up that no
    // file takes, so that no copy kept before is replaced; says on stderr which name it took.
    // 1 when it was moved, 0 (told on stderr) when not.
    int SetAsideAppDataFile(CGameBase* game);

    // The decoding half of the serializer load: the whole saved file as bytes; name is used in the
    // one line logged on failure. 1/0 as Serialize.
    [[nodiscard]] int ReadAppDataFromBytes(std::span<const std::uint8_t> bytes, const char* name);
    // Puts back the four block signatures (and those at the derived-block bounds).
    void RestoreDataSignatures();

    // ==== State (the settings block, in file order) ==============================================
    // Bounds of a derived block of plain data that method 0 copies as raw bytes: the first points
    // at its "DRVS" int, the second at its "DRVE" int. Null in the base; the game never sets them.
    int* m_pDerivedBlockStart = nullptr;
    int* m_pDerivedBlockEnd = nullptr;

    int m_nStartSignature;  // "APPS"
    bool m_bSoundOn = true;
    int m_nEffectsVolume = 50;  // percent
    bool m_bMusicOn = true;
    int m_nMusicVolume = 50;  // percent
    bool m_bSilence = false;  // all sound off, whatever the two switches say; cleared by every read
    int m_ControlCodes[kControlCount] = {};
    bool m_ControlFlags[kControlCount] = {};
    int m_nOrientationMode = 0;  // -2 unset, 0 none, 1 or 2 a rotation mode
    int m_nEndSignature;         // "APPE"
    unsigned int m_uBasicVersion = 1;

private:
    EAppDataLoad m_eLastLoad = kAppDataMissing;

    // Serialises the whole file (by the method) into a buffer that grows, then writes it through
    // a temporary file renamed over path. 0 when any step fails.
    int WriteWholeFile(CGameBase* game, bool method2);
};

// The game's front to audio: the table of named effects read from "Data\sfx.txt", loading an
// effect into the sound system while it is referenced, playing and stopping effects by name,
// index or entry, and the six music tracks with fades. Game thread only. Every operation
// checks for itself that the game has a sound system, so callers need not.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class ISoundHost;
class IFile;
struct TParseInput;

inline constexpr int kMusicTrackCount = 6;
// The stream id of each music track (-1 while not loaded). The game fills it when it loads the
// music; the sound manager reads it.
extern int g_cs_OGG_LoadedIndexes[kMusicTrackCount];

// One entry of the effect table.
struct SoundFXData {
    CommonString name;  // the key the game plays the effect by
    CommonString file;  // path below the game's sounds directory; empty: never loaded
    int refCount = 0;
    int soundId = -1;           // the sound system's effect id, -1 while not loaded
    unsigned int nameHash = 0;  // GetHashCode(name)
};

class CSoundManager {
public:
    explicit CSoundManager(ISoundHost* game);
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;
    // Stops the current music at once and deletes the table; loaded effects stay in the sound
    // system until it shuts down.
    virtual ~CSoundManager();

    // Reads the module directory's "Data\sfx.txt": false when it cannot be opened or read.
    bool PostConstruct();
    bool ReadSfxFromFile(CommonString path);
    // Appends the blocks of an open data file; false only when an entry cannot be allocated.
    bool ReadSfxFromFile(IFile* file);
    // The same over a whole file in memory (what the file reader and the fuzz target share).
    bool ReadSfxFromInput(TParseInput& input);
    // After a read of the table: true when it is one the game can run on; otherwise false, with
    // the member and what is wrong in `failure`. Refused: a table without an effect (an empty or
    // garbled file), an effect without a file, and a block still open when the file ended (a
    // file cut short: the effects after the cut are missing).
    [[nodiscard]] bool CheckTable(CommonString& failure) const;

    // Appends an entry (no file, not loaded); null when memory fails.
    SoundFXData* AddSoundFX(CommonString name);
    // The first entry of that name, or null (also for an empty name).
    SoundFXData* FindSoundFX(CommonString name);
    int GetNumSoundFX() const { return m_table.count; }
    // The entry at a table index, or null outside the table.
    SoundFXData* GetSoundFX(int index);

    // A reference loads the effect on the first one; false when it cannot be loaded (the count
    // stays 0) or there is no such entry or sound system.
    bool AddReference(SoundFXData* entry);
    bool AddReference(int index);
    bool AddReference(CommonString name);
    // The last reference unloads the effect.
    void ReleaseReference(SoundFXData* entry);
    void ReleaseReference(int index);
    void ReleaseReference(CommonString name);

    // Plays the last loaded entry of that name; true when a channel took it. The flag is unused.
    bool PlaySoundFX(const char* name, bool unused = false);
    void PlaySoundFX(int index);
    void PlaySoundFX(SoundFXData* entry);
    void PlaySoundFXLooped(int index);
    void PlaySoundFXLooped(SoundFXData* entry);
    void StopSoundFX(const char* name);
    void StopSoundFX(int index);

    // Switches the music to track 0..5 (another number only stops the current one), fading the
    // old track out and the new one in when the times (24.8 seconds) are not 0.
    void PlayMusicTrack(int track, bool loop, FIXED_FLOAT fadeIn, FIXED_FLOAT fadeOut);
    void StopMusicTrackWithFadeOut(FIXED_FLOAT fadeOut);
    void PlaySoundStream(int track, bool loop);
    void StopSoundStream(int track);
    void PlayMusicStream(int track, bool loop);
    void StopMusicStream(int track);

    int GetCurrentMusicTrack() const { return m_currentTrack; }
    int GetCurrentMusicStream() const { return m_currentStream; }

private:
    // Handles one logical line of the table file; false when an entry cannot be allocated.
    bool ReadSfxLine(const CommonStringRS<50>& line);
    // Reads every line of a file or an in-memory input (defined where both are read).
    template <class Source>
    bool ReadSfxLines(Source& source);
    int StreamOfTrack(int track) const;

    ISoundHost* m_pGame;
    CQuorvanObjPtrArray<SoundFXData*> m_table;
    int m_currentTrack = -1;
    int m_currentStream = -1;
    SoundFXData* m_openBlock = nullptr;  // while reading: the entry whose block is open
    CommonString m_cutBlock;             // the entry whose block the end of the last read closed
};

// CBirdSoundsManager: the birds' sound effects from Data\bird_sounds.txt. Each record names a
// bird (its definition id) and the sound ids it picks from when it eats, drinks, reaches a
// question spot or a jumper, is tapped or spins. Every distinct id is registered once with the
// game's sound manager under "Birds\" + id. The game object makes it during its own start-up,
// right after the sound table, and keeps it to the end. Main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IFile;
struct TParseInput;

// One bird's sound lists; each list owns its ids.
struct TBirdSounds {
    CommonString name;  // the bird's definition id ("bird1")
    CQuorvanObjPtrArray<CommonString*> eat;
    CQuorvanObjPtrArray<CommonString*> drink;
    CQuorvanObjPtrArray<CommonString*> question;  // question spots and the start of a jump
    CQuorvanObjPtrArray<CommonString*> tap;       // the bounce after a tap
    CQuorvanObjPtrArray<CommonString*> tap_spin;  // the spin after a tap
};

class CBirdSoundsManager {
public:
    explicit CBirdSoundsManager(CGameBase* game);
    CBirdSoundsManager(const CBirdSoundsManager&) = delete;
    CBirdSoundsManager& operator=(const CBirdSoundsManager&) = delete;
    virtual ~CBirdSoundsManager() = default;

    // Reads the module directory's Data\bird_sounds.txt and sets the file prefix "Birds\": 1, or 0
    // when the file cannot be opened or memory runs out (the game's start-up then fails).
    [[nodiscard]] int PostConstruct();
    // A file below "Data\" in the paks: 0 when it cannot be opened.
    [[nodiscard]] int ReadDataFromFile(CommonString name);
    // The records of an open file or of bytes in memory: 1 at the end, 0 when memory runs out.
    [[nodiscard]] int ReadDataFromFile(IFile* file);
    [[nodiscard]] int ReadDataFromInput(TParseInput& input);
    // Adds every distinct id, in order of first appearance, to the game's sound manager with the
    // file name prefix + id. 0 without a sound manager or when an entry cannot be added (the ones
    // before stay), else 1.
    int AddBirdSoundsToSoundManager();
    // Whether the table read is one the game can start with: read to the end of its last record
    // (not cut short inside one), 1 to 256 birds, each with a name of
    // at most 64 characters and at most 64 ids in each list, every id 1 to 64 printable
    // characters. Else false with the member and what is wrong with it in `failure`.
    [[nodiscard]] bool CheckTable(CommonString& failure) const;
    // The first record with exactly that name, or null.
    TBirdSounds* GetSoundsForBird(CommonString name);

    int GetNumBirds() const { return m_Birds.count; }
    int GetNumSoundIds() const { return m_Ids.count; }
    // The i-th distinct id; i must lie in 0..GetNumSoundIds()-1.
    const CommonString& GetSoundId(int i) const { return *m_Ids[i]; }

    // ==== State =================================================================================
    CGameBase* m_pGame;
    CQuorvanObjPtrArray<TBirdSounds*> m_Birds;  // file order; owned
    TBirdSounds* m_pCurrent = nullptr;          // the record being read
    CQuorvanArray<CommonString*> m_Ids;         // distinct ids; point into the records' lists
    CQuorvanArray<unsigned int> m_IdHashes;     // GetHashCode of each id, same order
    CommonString m_FilePrefix;                  // "Birds\" once the file was read
    CommonString m_OpenAtEnd;                   // the bird whose record the last read ended inside

private:
    template <class Source>
    int ReadLines(Source& source);
    bool ReadLine(const CommonStringRS<50>& line);
    // Appends the id to the distinct list unless an equal id is there; false when memory fails.
    bool AddUniqueSoundIdToArray(CommonString* id);
};

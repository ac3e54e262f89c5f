#pragma once
// The registry of the game's sprite sets and the reader of sprite-set description files.
//
// CSpriteSetManager owns every set in its list. Names are not unique: adding never checks for an
// existing name and look-ups return the first match in list order, comparing the 31-bit name
// hash before the name. The engine application object hands the game's manager out through
// ISpriteHost::GetSpriteSetManager. Main thread only.

#include <cstddef>
#include <span>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class ISpriteHost;
class CSpriteSet;

class CSpriteSetManager {
public:
    // An empty registry whose list grows by growBy entries (the game uses 40).
    CSpriteSetManager(ISpriteHost* game, int growBy);
    CSpriteSetManager(const CSpriteSetManager&) = delete;
    CSpriteSetManager& operator=(const CSpriteSetManager&) = delete;
    // DestroySpriteSets.
    virtual ~CSpriteSetManager();

    // Appends (takes ownership); 1, or 0 for null or when the list cannot grow (the caller keeps
    // the set then).
    [[nodiscard]] int AddSpriteSet(CSpriteSet* set);
    // Creates, defines, names and appends a set of that kind; the two flags are stored when true.
    // 1, or 0 when it cannot be made or appended (nothing is kept then).
    [[nodiscard]] int AddSpriteSetSingle(const CommonString& name, const CommonString& file, const CommonString& afile,
                                         int a, int b, bool removeRgbaIn3d, bool force8888);
    [[nodiscard]] int AddSpriteSetMulti(const CommonString& name, const CommonString& file, const CommonString& afile,
                                        int a, int b, bool removeRgbaIn3d, bool force8888);
    [[nodiscard]] int AddSpriteSetMultiOptional(const CommonString& name, const CommonString& file,
                                                const CommonString& afile, int a, int b, bool removeRgbaIn3d,
                                                bool force8888);
    [[nodiscard]] int AddSpriteSetSingleCommonAlpha(const CommonString& name, const CommonString& file,
                                                    const CommonString& afile, int a, int b, bool removeRgbaIn3d,
                                                    bool force8888);

    int GetNumSpriteSets() const { return m_Sets.count; }
    // The set at i, or null out of range.
    CSpriteSet* GetSpriteSetAt(int i) const;
    // The last set, or null when empty.
    CSpriteSet* GetLastSpriteSet() const;
    // The first set of that name (hash, then name); null for null or none. Takes no reference.
    CSpriteSet* GetSpriteSetNamed(const char* name) const;
    // Its index, or -1.
    int GetIdOfSpriteSetNamed(const char* name) const;
    // Looks the set up and takes a reference: 1, or 0 when absent or when loading fails.
    [[nodiscard]] int AddSpriteSetRef(const char* name);

    // Deletes the set and closes the gap, keeping the order; out of range or unknown: nothing.
    void DeleteSpriteSet(int index);
    void DeleteSpriteSet(CSpriteSet* set);
    // The first set whose name equals (plain comparison).
    void DeleteSpriteSet(const char* name);
    // Deletes every set (those without atlas data first, each pass last to first, so sub-sets
    // release their texture sets before those go) and frees the list.
    void DestroySpriteSets();

    ISpriteHost* m_pGame = nullptr;
    CQuorvanArray<CSpriteSet*> m_Sets;
};

// Releases every reference of each set of that (non-empty) group, freeing its images at once.
void UnloadSritesSetsWithGroupName(ISpriteHost* game, const CommonString& group);

// What one read of a description file saw, beyond what it added.
struct TSpriteFileReport {
    int dataLines = 0;       // lines that are neither blank nor comments
    int setBlocks = 0;       // `set` lines that opened a block
    CommonString openAtEnd;  // the set whose block was still open when the file ended; empty when none
};

// Reads a sprite-set description file (through the game's memory files) and adds its sets to
// the game's manager. 1 when the whole file was read; 0 when the game or its manager is missing,
// the file cannot be opened, a set cannot be added, an atlas_indexes line is malformed, the file
// has lines but not one set (not a description at all), or it ends inside a set's block (it was
// cut short). Each refusal is one line on stderr naming the file. Sets added before a failure stay.
[[nodiscard]] int AddSpriteSetsFromFile(ISpriteHost* game, const CommonString& fileName);
// The decoding half of AddSpriteSetsFromFile over the file's bytes; `name` is for messages. A
// block still open at the end is dropped without failing; `report`, when given, tells it.
[[nodiscard]] int AddSpriteSetsFromBytes(CSpriteSetManager* manager, ISpriteHost* game, std::span<const char> bytes,
                                         const char* name, TSpriteFileReport* report = nullptr);
// Deletes from the game's manager the first set of every name on a `set` line of the file;
// 1, or 0 when the file cannot be opened.
int DestroySpriteSetsFromFile(ISpriteHost* game, const CommonString& fileName);

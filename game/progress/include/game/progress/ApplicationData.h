// The game's player data: the engine's settings block plus up to six player profiles with the
// index of the current one, one high-score table per arena, three lists of social-network
// activity records and the language index, all kept in "global.opt" in the save directory. The
// game object owns it (CTheGame::CreateApplicationData) and every screen and manager reaches it
// through the game object.
//
// The file after the settings part: data version (2), current profile index, the profiles
// (count and records), the tag "hscr", the tables (count and records), the language index and
// the three activity lists (count and records of a text and 4 raw bytes each). A damaged file
// fails the read: the profile whose record failed is dropped, those read before it stay.
//
// Depends on: app (CBasicApplicationData, CGameBase), the profile and table records.
// Threads: main thread only.
#pragma once

#include <cstdint>

#include "app/BasicApplicationData.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class THighScoreTable;
class TUserProfile;

inline constexpr int kMaxUserProfiles = 6;
inline constexpr int kDefaultHighScoreTables = 3;

// One social-network activity record; nothing in the game adds any, so the lists stay empty.
struct FacebookActivityItem {
    CommonString m_Text;
    std::uint8_t m_Value[4] = {};  // kept as raw bytes
};

class CApplicationData : public CBasicApplicationData {
public:
    CApplicationData();
    // Deletes the profiles, the tables and the activity records.
    ~CApplicationData() override;

    // ---- CBasicApplicationData overrides --------------------------------------------------------
    // The base defaults, then data version 2, no current profile (0 when profiles exist), the
    // three default high-score tables, language 0, effects volume 60 and music volume 40. The
    // profiles and the activity lists are kept.
    void SetDefaultApplicationData() override;
    int GetSerializeMethod() override { return 1; }
    // The settings part, then the game's part (see the file comment). Reading clears the silence
    // flag, replaces the profiles, tables and lists, and puts a current index outside the
    // profiles at 0. 1/0.
    int Serialize(IFile* file, bool writing) override;

    void SetGamePtr(CGameBase* game) { m_pGame = game; }

    // ---- Profiles ------------------------------------------------------------------------------
    // A new reset profile at the end, with the lowest free storage slot and the farm's first
    // yard; it becomes current when none is. Its index, or -1 with 6 profiles or no memory.
    int AddUserProfile();
    // Deletes profile i; the current index follows its profile and stays inside the list (-1
    // when none is left). Out of range: nothing.
    void RemoveUserProfile(int i);
    // Empty when i is out of range.
    CommonString GetUserName(int i) const;
    // See TUserProfile::SetName; out of range: nothing.
    void SetUserName(int i, const CommonString& name);
    // The lowest storage slot id no profile holds.
    int FindUnusedStorageSlotsId() const;
    // The profile at the current index, or null when there is none (index outside the list).
    TUserProfile* GetCurrentProfile() const;

    // ---- High-score tables ---------------------------------------------------------------------
    // Deletes every table, then makes and appends the defaults of arenas 1 to 3.
    void SetupDefaultHighScoreTables();
    // The table of that name, searching from the last; null when none.
    THighScoreTable* GetHighScoreTable(const CommonString& name) const;
    // Its index, -1 when none.
    int GetHighScoreTableIndex(const CommonString& name) const;
    bool DoesHighScoreTableExist(const char* name) const;
    // Enters the player's score: the row it took, or -1 when nothing was entered (no such
    // table, the player's own entry is as good, or the table is full of better scores).
    int SetLevelHighScoreInfo(const CommonString& tableName, const CommonString& playerName, int& score);
    // The score of the current player's own entry in the table; 0 without one, without such a
    // table or without a current profile.
    int GetCurrentUserHighScoreInTable(const CommonString& tableName);
    // Its row; -1 in the same cases.
    int GetCurrentUserIndexInHighScoreTable(const CommonString& tableName);

    // ==== State, in the order of the derived block ================================================
    int m_nDerivedStartSignature;  // "DRVS"
    CGameBase* m_pGame = nullptr;
    int m_nDataVersion = 2;
    CQuorvanObjPtrArray<TUserProfile*> m_Profiles;  // at most kMaxUserProfiles
    int m_nCurrentProfile = -1;                     // -1: no profile chosen
    CQuorvanObjPtrArray<THighScoreTable*> m_HighScoreTables;
    CQuorvanObjPtrArray<FacebookActivityItem*> m_ActivityLists[3];
    int m_nLanguageIndex = 0;    // into the localisation's language list
    int m_nDerivedEndSignature;  // "DRVE"

private:
    // Reads or writes the profiles, the tables and the activity lists; 1/0.
    int SerializeProfiles(IFile* file, bool writing);
    int SerializeTables(IFile* file, bool writing);
    int SerializeActivityList(IFile* file, bool writing, CQuorvanObjPtrArray<FacebookActivityItem*>& list);
    // The current profile after putting an index outside the list at 0; null without profiles.
    TUserProfile* CorrectedCurrentProfile();
};

// The game's player data; null without a game or without player data.
CApplicationData* AppDataOf(CGameBase* game);
// The current profile of the game's player data; null without a game, without player data or
// without a current profile.
TUserProfile* CurrentProfileOf(CGameBase* game);

// The game in progress kept across runs: one record per profile and arena round or yard in
// "saveresume.dat". The game object writes and checks the record header; the gameplay and yard
// screens write and read the body behind it.
#include <cstdio>
#include <memory>
#include <new>

#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/app/TheGame.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmWindow.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ResumeRecord.h"
#include "game/progress/UserProfile.h"

namespace {

// The record files the storage hands out, closed and deleted with their owner.
struct TRecordCloser {
    void operator()(IMemFile* file) const {
        (void)file->Close();
        delete file;
    }
};
using TRecordPtr = std::unique_ptr<IMemFile, TRecordCloser>;

// The arenas whose records a removed profile leaves behind.
constexpr int kResumableArenas = 3;

// The current profile's record of that arena; null when there is none or the arena is unknown.
TRecordPtr ReadCurrentArenaRecord(CTheGame& game, const CommonString& arenaName) {
    const CApplicationData* data = game.GetAppData();
    if (data == nullptr || game.m_pSaveResumeStorage == nullptr) return nullptr;
    const int id = game.SR_GetRecordId_OfArena(data->m_nCurrentProfile, arenaName);
    if (id < 0) return nullptr;
    return TRecordPtr(game.m_pSaveResumeStorage->ReadRecord(id));
}

}  // namespace

int CTheGame::SaveResume() {
    (void)SR_SaveResume();
    return 1;
}

void CTheGame::SaveResumeThenAppData() {
    (void)SR_SaveResume();
    (void)SaveAppData();
}

int CTheGame::SaveAppData() {
    if (m_bResumeSaveFailed) {
        std::fprintf(stderr,
                     "appdata: the player data is not saved: a record of the game in progress could not be saved "
                     "in this run, and the two must agree\n");
        return 0;
    }
    return CGameBase::SaveAppData();
}

int CTheGame::SR_SaveResume() {
    int kind;
    if (m_pGameplayScreen != nullptr) {
        // Only a round that really runs is kept: not the tutorial, not one before its first
        // update, not one that is over.
        if (m_pGameplayScreen->m_bTutorial || !m_pGameplayScreen->m_bRoundStarted || m_pGameplayScreen->m_bGameOver)
            return 1;
        kind = kResumeKindArena;
    } else if (m_pFarmWindow != nullptr) {
        kind = kResumeKindYard;
    } else {
        return 1;
    }
    const TUserProfile* profile = GetCurrentProfile();
    if (profile == nullptr || m_pSaveResumeStorage == nullptr) return 0;
    const CommonString& name = kind == kResumeKindArena ? profile->m_CurrentArena : profile->m_CurrentYard;
    const int id = kind == kResumeKindArena ? SR_GetRecordId_OfArena(GetAppData()->m_nCurrentProfile, name)
                                            : SR_GetRecordId_OfYard(GetAppData()->m_nCurrentProfile, name);
    // An arena or yard the tables do not know has no record; the previous one stays.
    if (id < 0) return 0;
    const CommonString recordName = kind == kResumeKindArena ? ArenaResumeRecordName(name) : YardResumeRecordName(name);

    // From here a record is owed: when it is not saved, neither is the player data of this run.
    auto failed = [&](const char* why) {
        m_bResumeSaveFailed = true;
        if (why != nullptr)
            std::fprintf(stderr, "resume: record %s (id %d) could not be saved: %s\n", recordName.GetDataConst(), id,
                         why);
        return 0;
    };
    TRecordPtr record(CreateMemoryFileObject());
    if (!record || !record->Create(kResumeRecordCapacity)) return failed("no memory for it");
    if (!WriteResumeHeader(record.get(), kind, name)) return failed("its header did not fit");
    if (!SR_SaveResume(record.get(), kResumeVersion)) return failed("its body could not be written");
    // The storage's answer is the save's: a record that did not reach the disk is no success
    // (the storage has told why).
    if (!m_pSaveResumeStorage->WriteRecord(id, record.get(), recordName)) return failed(nullptr);
    return 1;
}

int CTheGame::SR_SaveResume(IFile* file, int version) {
    if (m_pGameplayScreen != nullptr) return m_pGameplayScreen->SaveResume(file, version) ? 1 : 0;
    if (m_pFarmWindow != nullptr) return m_pFarmWindow->SaveResume(file, version) ? 1 : 0;
    return 1;
}

int CTheGame::SR_GetRecordId_OfArena(int profileIndex, const CommonString& arenaName) {
    const TUserProfile* profile = ProfileAt(profileIndex);
    if (profile == nullptr || m_pArenaManager == nullptr) return -1;
    return ArenaResumeRecordId(profile->m_nStorageSlotId, m_pArenaManager->GetIndexOfArena(arenaName));
}

int CTheGame::SR_GetRecordId_OfYard(int profileIndex, const CommonString& yardName) {
    const TUserProfile* profile = ProfileAt(profileIndex);
    if (profile == nullptr || m_pFarmManager == nullptr) return -1;
    return YardResumeRecordId(profile->m_nStorageSlotId, m_pFarmManager->GetYardIndex(yardName));
}

bool CTheGame::SR_IsResumeAvailable_Arena(const CommonString& arenaName) {
    const TRecordPtr record = ReadCurrentArenaRecord(*this, arenaName);
    return record && IsResumeAvailable(record.get());
}

bool CTheGame::SR_LoadResume_Arena(const CommonString& arenaName) {
    const TRecordPtr record = ReadCurrentArenaRecord(*this, arenaName);
    if (!record) return false;
    // Under an arena's id only a round's record resumes anything: any other kind there is damage,
    // and taking it as a success would leave the player with no round at all.
    int kind = kResumeKindNone;
    m_pResumeRefusal = nullptr;
    bool resumed = false;
    if (record->ReadInt(&kind) != 4 || kind != kResumeKindArena)
        m_pResumeRefusal = "it is not a round's record";
    else
        resumed = record->Seek(0, FileSeek::Start) && SR_LoadResume(record.get());
    // A refused record is named and kept aside, then dropped: the new round that starts instead
    // would be saved over it.
    if (!resumed && m_pResumeRefusal != nullptr && m_pSaveResumeStorage != nullptr) {
        const CApplicationData* data = GetAppData();
        const int id = data != nullptr ? SR_GetRecordId_OfArena(data->m_nCurrentProfile, arenaName) : -1;
        std::fprintf(stderr, "resume: the round kept in record %s cannot be resumed (%s); a new round starts\n",
                     ArenaResumeRecordName(arenaName).GetDataConst(), m_pResumeRefusal);
        if (id >= 0) (void)m_pSaveResumeStorage->DropDamagedRecord(id, m_pResumeRefusal);
    }
    return resumed;
}

bool CTheGame::SR_LoadResume(IFile* record) {
    // The header is read whole and checked before anything of the profile or the screens changes.
    TResumeHeader header;
    m_pResumeRefusal = nullptr;
    auto refused = [this](const char* why) {
        m_pResumeRefusal = why;
        return false;
    };
    if (!ReadResumeHeader(record, header)) return refused("its header is damaged");
    if (header.kind == kResumeKindNone) return false;
    // Yard records are read by the yard screen itself when it opens.
    if (header.kind != kResumeKindArena) return true;
    TUserProfile* profile = GetCurrentProfile();
    if (profile == nullptr || m_pArenaManager == nullptr) return false;
    if (header.version != kResumeVersion) return refused("its version is unknown");
    if (m_pArenaManager->GetIndexOfArena(header.name) < 0) return refused("its arena is unknown");
    profile->m_CurrentArena = header.name;
    if (!RunGamePlaySurvival()) return false;
    if (!m_pGameplayScreen->LoadResume(record, header.version)) return refused("its round body was refused");
    return m_pGameplayScreen->OnResumedGame() != 0;
}

void CTheGame::SR_DeleteResume(int profileIndex) {
    if (m_pSaveResumeStorage == nullptr) return;
    if (m_pArenaManager != nullptr) {
        for (int i = 0; i < kResumableArenas && i < m_pArenaManager->GetNumArenas(); ++i) {
            const int id = SR_GetRecordId_OfArena(profileIndex, m_pArenaManager->GetArenaAt(i)->id);
            if (id >= 0) m_pSaveResumeStorage->DeleteRecord(id);
        }
    }
    if (m_pFarmManager != nullptr) {
        for (int i = 0; i < m_pFarmManager->GetNumYards(); ++i) {
            const int id = SR_GetRecordId_OfYard(profileIndex, m_pFarmManager->GetYardDef(i)->id);
            if (id >= 0) m_pSaveResumeStorage->DeleteRecord(id);
        }
    }
}

void CTheGame::SR_DeleteResume_Arena(int profileIndex, const CommonString& arenaName) {
    if (m_pSaveResumeStorage == nullptr) return;
    const int id = SR_GetRecordId_OfArena(profileIndex, arenaName);
    if (id >= 0) m_pSaveResumeStorage->DeleteRecord(id);
}

TUserProfile* CTheGame::ProfileAt(int index) const {
    const CApplicationData* data = GetAppData();
    if (data == nullptr || index < 0 || index >= data->m_Profiles.count) return nullptr;
    return data->m_Profiles.data[index];
}

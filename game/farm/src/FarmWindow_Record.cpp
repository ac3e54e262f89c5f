// The yard's record of "saveresume.dat" as the yard screen sees it: read back when the screen
// opens, written (through the game object, which writes the header) before the screen leaves.
#include <cstdio>
#include <memory>

#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/app/TheGame.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmWindow.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ResumeRecord.h"

namespace {

struct TRecordCloser {
    void operator()(IMemFile* file) const {
        (void)file->Close();
        delete file;
    }
};

}  // namespace

bool CXFarmWindow::SaveResume(IFile* file, int version) { return Serialize(file, true, version); }

bool CXFarmWindow::LoadResume(IFile* file, int version) { return Serialize(file, false, version); }

bool CXFarmWindow::Serialize(IFile* file, bool save, int version) {
    CTheGame* game = TheGame();
    if (game == nullptr || game->m_pFarmManager == nullptr) return false;
    return game->m_pFarmManager->SerializeCurrentYard(file, save, version);
}

void CXFarmWindow::ResumeYardFromRecord() {
    CTheGame* game = TheGame();
    const CApplicationData* data = game->GetAppData();
    if (data == nullptr || game->m_pSaveResumeStorage == nullptr || m_pYardDef == nullptr) return;
    const int id = game->SR_GetRecordId_OfYard(data->m_nCurrentProfile, m_pYardDef->id);
    if (id < 0) return;
    const std::unique_ptr<IMemFile, TRecordCloser> record(game->m_pSaveResumeStorage->ReadRecord(id));
    if (!record) return;
    TResumeHeader header;
    // A record of another kind or another yard under this yard's id can never be read: kept, it
    // would keep the yard shut for good. The yard opens fresh and the record goes.
    // Either is named, and the file as it was kept aside, before the record goes.
    if (!ReadResumeHeader(record.get(), header) || header.kind != kResumeKindYard || !(header.name == m_pYardDef->id)) {
        std::fprintf(stderr, "yard: the record under the id of %s is not this yard's; the yard opens as new\n",
                     m_pYardDef->id.GetDataConst());
        (void)game->m_pSaveResumeStorage->DropDamagedRecord(id, "not a record of this yard");
        return;
    }
    if (LoadResume(record.get(), header.version)) return;
    // Half a yard would be saved over the record when the screen leaves: the yard goes back to
    // its defaults and the damaged record is dropped.
    std::fprintf(stderr, "yard: the saved game of %s is damaged; the yard opens as new\n",
                 m_pYardDef->id.GetDataConst());
    ResetUsersYard();
    (void)AddDefaultFarmPurchases();
    (void)game->m_pSaveResumeStorage->DropDamagedRecord(id, "its yard could not be read");
}

void CXFarmWindow::SaveYardAndPlayerData() {
    CTheGame* game = TheGame();
    if (game == nullptr) return;
    game->SaveResumeThenAppData();
}

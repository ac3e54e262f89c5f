// The yard's record of "saveresume.dat" as the yard screen sees it: read back when the screen
// opens, written (through the game object, which writes the header) before the screen leaves.
#include <cstdio>
#include <memory>

#include "core/MemFile.h"
#include "core/QuorvanStorage.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmWindow.h"
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
    IFarmHost* host = FarmHost();
    if (host == nullptr || host->GetFarmManager() == nullptr) return false;
    return host->GetFarmManager()->SerializeCurrentYard(file, save, version);
}

void CXFarmWindow::ResumeYardFromRecord() {
    IFarmHost* host = FarmHost();
    CQuorvanStorage* storage = host->GetSaveResumeStorage();
    if (storage == nullptr || m_pYardDef == nullptr) return;
    // -1 also without player data.
    const int id = host->GetYardRecordId(m_pYardDef->id);
    if (id < 0) return;
    const std::unique_ptr<IMemFile, TRecordCloser> record(storage->ReadRecord(id));
    if (!record) return;
    TResumeHeader header;
    // A record of another kind or another yard under this yard's id can never be read: kept, it
    // would keep the yard shut for good. The yard opens fresh and the record goes.
    // Either is named, and the file as it was kept aside, before the record goes.
    if (!ReadResumeHeader(record.get(), header) || header.kind != kResumeKindYard || !(header.name == m_pYardDef->id)) {
        std::fprintf(stderr, "yard: the record under the id of %s is not this yard's; the yard opens as new\n",
                     m_pYardDef->id.GetDataConst());
        (void)storage->DropDamagedRecord(id, "not a record of this yard");
        return;
    }
    if (LoadResume(record.get(), header.version)) return;
    // Half a yard would be saved over the record when the screen leaves: the yard goes back to
    // its defaults and the damaged record is dropped.
    std::fprintf(stderr, "yard: the saved game of %s is damaged; the yard opens as new\n",
                 m_pYardDef->id.GetDataConst());
    ResetUsersYard();
    (void)AddDefaultFarmPurchases();
    (void)storage->DropDamagedRecord(id, "its yard could not be read");
}

void CXFarmWindow::SaveYardAndPlayerData() {
    IFarmHost* host = FarmHost();
    if (host == nullptr) return;
    host->SaveResumeThenAppData();
}

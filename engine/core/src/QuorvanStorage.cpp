#include "core/QuorvanStorage.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "core/MemFile.h"
#include "core/MultiRecordFile.h"
#include "core/SaveFolder.h"

namespace {

std::string RecordLabel(CQuorvanMultiRecordFile* file, int id) {
    const CommonString name = file != nullptr ? file->GetRecordName(id) : CommonString("EMPTY");
    return "record " + std::string(name.GetDataConst() ? name.GetDataConst() : "") + " (id " + std::to_string(id) + ")";
}

}  // namespace

CQuorvanStorage::CQuorvanStorage(IFileHost* game) : m_pGame(game) {}

CQuorvanStorage::~CQuorvanStorage() { delete file; }

CQuorvanMultiRecordFile* CQuorvanStorage::CreateRecordFile() {
    return new (std::nothrow) CQuorvanMultiRecordFile(m_pGame);
}

void CQuorvanStorage::SetPathAndCRC(const char* newPath, unsigned short* newCrc) {
    path = newPath;
    crc = newCrc;
}

void CQuorvanStorage::TellCannotRead(const char* why) {
    if (m_bToldCannotRead) return;
    m_bToldCannotRead = true;
    std::fprintf(stderr,
                 "records: %s: cannot be read (%s); the game runs without its records and saves nothing over it "
                 "in this run\n",
                 path.GetDataConst(), why);
}

int CQuorvanStorage::Open() {
    if (file != nullptr) return 1;
    // Once unreadable in a run, always: a record read as missing must never be saved over.
    if (m_bCannotRead) return 0;
    file = CreateRecordFile();
    if (file == nullptr) return 0;
    if (!file->OpenMultiRecordFile(path.GetDataConst(), crc)) {
        delete file;
        file = nullptr;
        return 0;
    }
    const TRecordFileReport& report = file->report;
    if (report.state == ERecordFileState::kCannotRead) {
        m_bCannotRead = true;
        TellCannotRead(report.problem.c_str());
        file->CloseWithoutSaving();
        delete file;
        file = nullptr;
        return 0;
    }
    // A damaged file is replaced at this close by what could be read of it, once kept aside.
    if (report.state == ERecordFileState::kDamaged) file->SaveAtClose();
    return 1;
}

int CQuorvanStorage::CloseAndTell(const char* what) {
    if (file == nullptr) return 1;
    const std::string problem = file->report.problem;
    const int dropped = file->report.recordsDropped;
    const int saved = file->CloseMultiRecordFile(crc);
    const TRecordFileReport& report = file->report;
    if (!report.keptAs.empty())
        std::fprintf(stderr,
                     "records: %s was damaged (%s); it is kept as %s, and the game goes on with the records that "
                     "could be read whole (%d could not)\n",
                     path.GetDataConst(), problem.c_str(), report.keptAs.c_str(), dropped);
    if (!saved)
        std::fprintf(stderr, "records: %s: %s could not be saved: %s; the file on the disk is the one from before\n",
                     path.GetDataConst(), what != nullptr ? what : "the file", report.saveError.c_str());
    // A read that failed during the operation makes the file unreadable for the rest of the run.
    if (report.state == ERecordFileState::kCannotRead) {
        m_bCannotRead = true;
        TellCannotRead(report.problem.c_str());
    }
    delete file;
    file = nullptr;
    return saved;
}

int CQuorvanStorage::Close() { return CloseAndTell(nullptr); }

IMemFile* CQuorvanStorage::ReadRecord(int id) {
    if (!Open()) return nullptr;
    IMemFile* record = file->ReadRecord(id);
    (void)Close();  // saves only a damaged file's readable records
    return record;
}

int CQuorvanStorage::WriteRecord(int id, IFile* source, CommonString name) {
    const std::string label =
        "record " + std::string(name.GetDataConst() ? name.GetDataConst() : "") + " (id " + std::to_string(id) + ")";
    if (!Open()) {
        std::fprintf(stderr, "records: %s: %s was not saved: %s\n", path.GetDataConst(), label.c_str(),
                     m_bCannotRead ? "the file could not be read in this run, and is not written over"
                                   : "the file could not be opened");
        return 0;
    }
    const int written = file->WriteRecord(id, source, name);
    if (!written) {
        std::fprintf(stderr, "records: %s: %s was refused (a name too long, a full file or a short source)\n",
                     path.GetDataConst(), label.c_str());
        (void)Close();
        return 0;
    }
    return CloseAndTell(label.c_str());
}

void CQuorvanStorage::DeleteRecord(int id) {
    if (!Open()) {
        if (m_bCannotRead)
            std::fprintf(stderr, "records: %s: record id %d was not deleted: the file could not be read in this run\n",
                         path.GetDataConst(), id);
        return;
    }
    const std::string label = RecordLabel(file, id);
    file->DeleteRecord(id);
    (void)CloseAndTell(("the deletion of " + label).c_str());
}

int CQuorvanStorage::IsRecordEmpty(int id) {
    if (!Open()) return 1;
    const int empty = file->IsRecordEmpty(id);
    (void)Close();
    return empty;
}

CommonString CQuorvanStorage::GetRecordName(int id) {
    if (!Open()) return CommonString("...");
    CommonString name = file->GetRecordName(id);
    (void)Close();
    return name;
}

int CQuorvanStorage::DropDamagedRecord(int id, const char* why) {
    if (!Open()) return 0;
    const std::string label = RecordLabel(file, id);
    if (file->IsRecordEmpty(id)) {
        (void)Close();
        return 0;
    }
    // The file as it stands goes aside first, the refused record still in it.
    if (file->recordSet != nullptr) file->recordSet->keepAsideAtSave = true;
    file->DeleteRecord(id);
    const int saved = file->CloseMultiRecordFile(crc);
    const std::string kept = file->report.keptAs;
    const std::string error = file->report.saveError;
    delete file;
    file = nullptr;
    if (saved)
        std::fprintf(stderr,
                     "records: %s: %s was refused (%s); the file as it was is kept as %s and the record dropped\n",
                     path.GetDataConst(), label.c_str(), why != nullptr ? why : "damaged", kept.c_str());
    else
        std::fprintf(stderr, "records: %s: %s was refused (%s), and it stays: %s\n", path.GetDataConst(), label.c_str(),
                     why != nullptr ? why : "damaged", error.c_str());
    return saved;
}

void CQuorvanStorage::RecoverAtStart() {
    const std::string target = path.GetDataConst() != nullptr ? path.GetDataConst() : "";
    const std::string temp = target + "2";
    std::error_code error;
    const bool tempThere = std::filesystem::symlink_status(temp, error).type() == std::filesystem::file_type::regular;
    if (tempThere) {
        const bool targetThere =
            std::filesystem::symlink_status(target, error).type() != std::filesystem::file_type::not_found;
        bool used = false;
        if (!targetThere) {
            // The only moment a complete new file waits with nothing under the name is after a
            // damaged file was kept aside: a temporary file that reads whole is that file.
            CQuorvanMultiRecordFile check(m_pGame);
            used = check.OpenMultiRecordFile(temp.c_str(), nullptr) && check.report.state == ERecordFileState::kWhole;
            check.CloseWithoutSaving();
            used = used && ReplaceFileDurably(temp.c_str(), target.c_str());
        }
        if (used) {
            std::fprintf(stderr, "records: %s: an interrupted save left %s whole; it takes the file's place\n",
                         target.c_str(), temp.c_str());
        } else {
            std::remove(temp.c_str());
            std::fprintf(stderr, "records: %s: %s, left by an interrupted save, was removed%s\n", target.c_str(),
                         temp.c_str(), targetThere ? "; the file holds the last save that finished" : "");
        }
    }
    if (Open()) (void)Close();
}

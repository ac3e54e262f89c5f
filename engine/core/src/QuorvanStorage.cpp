#include "core/QuorvanStorage.h"

#include <new>

#include "core/MemFile.h"
#include "core/MultiRecordFile.h"

CQuorvanStorage::CQuorvanStorage(IFileHost* game) : m_pGame(game) {}

CQuorvanStorage::~CQuorvanStorage() { delete file; }

CQuorvanMultiRecordFile* CQuorvanStorage::CreateRecordFile() {
    return new (std::nothrow) CQuorvanMultiRecordFile(m_pGame);
}

void CQuorvanStorage::SetPathAndCRC(const char* newPath, unsigned short* newCrc) {
    path = newPath;
    crc = newCrc;
}

int CQuorvanStorage::Open() {
    if (file != nullptr) return 1;
    file = CreateRecordFile();
    if (file == nullptr) return 0;
    if (!file->OpenMultiRecordFile(path.GetDataConst(), crc)) {
        delete file;
        file = nullptr;
        return 0;
    }
    return 1;
}

int CQuorvanStorage::Close() {
    if (file == nullptr) return 1;
    const int saved = file->CloseMultiRecordFile(crc);
    delete file;
    file = nullptr;
    return saved;
}

IMemFile* CQuorvanStorage::ReadRecord(int id) {
    if (!Open()) return nullptr;
    IMemFile* record = file->ReadRecord(id);
    (void)Close();  // nothing changed: nothing to save
    return record;
}

int CQuorvanStorage::WriteRecord(int id, IFile* source, CommonString name) {
    if (!Open()) return 0;
    const int written = file->WriteRecord(id, source, name);
    const int saved = Close();
    return written == 1 && saved == 1 ? 1 : 0;
}

void CQuorvanStorage::DeleteRecord(int id) {
    if (!Open()) return;
    file->DeleteRecord(id);
    (void)Close();
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

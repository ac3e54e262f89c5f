#include "core/MultiRecordFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/Common.h"
#include "core/File.h"
#include "core/FileHost.h"
#include "core/MemFile.h"
#include "core/SaveFolder.h"

namespace {

constexpr int kCrcChunk = 4096;

unsigned short FileCRC(IFile* file, IFileHost* game, const char* path) {
    if (file == nullptr) return 0;
    unsigned short sum = 0;
    if (file->Open(game, path, FileMode::Read | FileMode::MayBeMissing) && file->GetSize() > 0) {
        std::vector<char> chunk(kCrcChunk);
        for (;;) {
            const int n = file->ReadData(chunk.data(), kCrcChunk);
            if (n > 0)
                sum = static_cast<unsigned short>(sum + calc_crc16(chunk.data(), static_cast<unsigned short>(n)));
            if (n < kCrcChunk) break;
        }
    }
    file->Close();
    delete file;
    return sum;
}

}  // namespace

unsigned short GetFileCRC(IFileHost* game, const char* path) {
    return game ? FileCRC(game->CreateFileObject(), game, path) : 0;
}

QuorvanRecordInfo::~QuorvanRecordInfo() { std::free(data); }

QuorvanRecordSet::QuorvanRecordSet(IFileHost* game, CQuorvanMultiRecordFile* owner) : m_pGame(game), owner(owner) {}

QuorvanRecordSet::~QuorvanRecordSet() {
    (void)CloseFile();
    Clear();
}

void QuorvanRecordSet::Clear() {
    for (int i = 0; i < count; ++i) {
        delete records[i];
        records[i] = nullptr;
    }
    count = 0;
}

TRecordFileReport& QuorvanRecordSet::Report() { return owner->report; }

void QuorvanRecordSet::Damaged(const std::string& what) {
    TRecordFileReport& r = Report();
    if (r.state == ERecordFileState::kCannotRead) return;
    if (r.state != ERecordFileState::kDamaged) r.problem = what;
    r.state = ERecordFileState::kDamaged;
    keepAsideAtSave = true;
}

void QuorvanRecordSet::CannotRead(const std::string& what) {
    TRecordFileReport& r = Report();
    r.state = ERecordFileState::kCannotRead;
    r.problem = what;
    keepAsideAtSave = false;
}

int QuorvanRecordSet::OpenFile(const char* filePath) {
    Clear();
    path = filePath;
    open = true;
    modified = false;
    keepAsideAtSave = false;
    Report() = TRecordFileReport{};
    file = owner->CreateDiskFile();
    if (file == nullptr) {
        open = false;
        return 0;
    }
    // A missing file is an empty one, and no news: the game opens its storage before any save.
    if (!file->Open(m_pGame, filePath, FileMode::Read | FileMode::MayBeMissing)) {
        std::string reason;
        if (SaveFileCannotBeRead(filePath, reason)) CannotRead(reason);
        return 1;
    }
    Report().state = ERecordFileState::kWhole;
    ReadTable();
    if (Report().state == ERecordFileState::kCannotRead) {
        Clear();
        file->Close();
    }
    return 1;
}

void QuorvanRecordSet::ReadTable() {
    const long long fileSize = file->GetSize();
    if (fileSize < 0) return CannotRead("its size cannot be told");
    // A read of bytes the file holds that comes back short is the disk's failure, not damage.
    auto readInt = [&](int* value, long long at) {
        if (file->ReadInt(value) == 4) return true;
        if (at + 4 <= fileSize) CannotRead("a read error");
        return false;
    };
    int n = 0;
    if (!readInt(&n, 0)) {
        if (Report().state != ERecordFileState::kCannotRead) Damaged("it is shorter than its record count");
        return;
    }
    if (n == 0) return;  // a set saved with no records
    if (n < 0 || n > kMaxRecords) return Damaged("a record count of " + std::to_string(n));
    const long long tableEnd = 4 + 8LL * n;
    if (tableEnd > fileSize) return Damaged("its table of " + std::to_string(n) + " records runs past its end");
    for (int i = 0; i < n; ++i) {
        int size = 0, offset = 0;
        if (!readInt(&size, 4 + 8LL * i) || !readInt(&offset, 8 + 8LL * i)) return;
        // A negative size, a block inside the table or one whose header and data cannot fit in
        // the file: that record cannot be read, the others may be.
        if (size < 0 || offset < tableEnd || offset + 8LL + size > fileSize) {
            Damaged("table entry " + std::to_string(i + 1) + " points outside the file");
            ++Report().recordsDropped;
            continue;
        }
        auto* record = new (std::nothrow) QuorvanRecordInfo();
        if (record == nullptr) return CannotRead("no memory for its table");
        record->offset = offset;
        record->size = size;
        records[count++] = record;
    }
    for (int i = 0; i < count;) {
        QuorvanRecordInfo* r = records[i];
        int nameLength = -1;
        if (!file->Seek(r->offset, FileSeek::Start)) return CannotRead("a seek failed");
        if (!readInt(&r->id, r->offset) || !readInt(&nameLength, r->offset + 4LL)) return;
        char name[kMaxRecordNameLength + 1] = {};
        const bool fits =
            nameLength >= 0 && nameLength <= kMaxRecordNameLength && r->offset + 8LL + nameLength + r->size <= fileSize;
        if (fits && nameLength > 0 && file->ReadData(name, nameLength) != nameLength) return CannotRead("a read error");
        if (!fits || FindRecord(r->id) < i) {
            Damaged(fits ? "two records have the id " + std::to_string(r->id)
                         : "the block of record " + std::to_string(i + 1) + " has a bad name length");
            ++Report().recordsDropped;
            delete r;
            for (int j = i; j + 1 < count; ++j) records[j] = records[j + 1];
            records[--count] = nullptr;
            continue;
        }
        r->name = name;
        r->dataOffset = r->offset + 8 + nameLength;
        ++i;
    }
}

int QuorvanRecordSet::FindRecord(int id) const {
    for (int i = 0; i < count; ++i)
        if (records[i]->id == id) return i;
    return -1;
}

int QuorvanRecordSet::AddRecord(QuorvanRecordInfo* record) {
    if (record == nullptr) return 0;
    // A file that could not be read is never written over: its records may all be whole.
    if (!open || Report().state == ERecordFileState::kCannotRead) {
        delete record;
        return 0;
    }
    DeleteRecord(record->id);
    if (count >= kMaxRecords) {
        delete record;
        return 0;
    }
    records[count++] = record;
    modified = true;
    return 1;
}

void QuorvanRecordSet::DeleteRecord(int id) {
    const int i = FindRecord(id);
    if (i < 0 || Report().state == ERecordFileState::kCannotRead) return;
    delete records[i];
    for (int j = i; j + 1 < count; ++j) records[j] = records[j + 1];
    records[--count] = nullptr;
    modified = true;
}

unsigned char* QuorvanRecordSet::ReadRecordData(int i, int* sizeOut) {
    if (i < 0 || i >= count || sizeOut == nullptr) return nullptr;
    const QuorvanRecordInfo* r = records[i];
    auto* copy = static_cast<unsigned char*>(std::malloc(r->size > 0 ? static_cast<std::size_t>(r->size) : 1));
    if (copy == nullptr) return nullptr;
    if (r->data != nullptr) {
        if (r->size > 0) std::memcpy(copy, r->data, static_cast<std::size_t>(r->size));
    } else if (r->size > 0 && (file == nullptr || r->dataOffset < 0 || !file->Seek(r->dataOffset, FileSeek::Start) ||
                               file->ReadData(copy, r->size) != r->size)) {
        // The table said these bytes are there: the disk failed to give them.
        std::free(copy);
        CannotRead("the data of record " + std::to_string(r->id) + " could not be read");
        return nullptr;
    }
    *sizeOut = r->size;
    return copy;
}

int QuorvanRecordSet::Save() {
    // Every record's data is in hand before the first byte is written, so the table written
    // always describes the blocks that follow it. A record that cannot be read fails the save:
    // dropped, it would be lost with the old file.
    TRecordFileReport& report = Report();
    std::vector<unsigned char*> blobs;
    auto freeBlobs = [&blobs] {
        for (unsigned char* b : blobs) std::free(b);
    };
    if (report.state == ERecordFileState::kCannotRead) {
        report.saveError = "the file could not be read: " + report.problem;
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        int size = 0;
        unsigned char* blob = ReadRecordData(i, &size);
        if (blob == nullptr) {
            freeBlobs();
            report.saveError = "record " + std::to_string(records[i]->id) + " of the old file could not be read";
            return 0;
        }
        blobs.push_back(blob);
    }

    const std::string temp = std::string(path.GetDataConst() ? path.GetDataConst() : "") + "2";
    CreateFolderFor(temp.c_str());
    IFile* out = owner->CreateDiskFile();
    errno = 0;
    if (out == nullptr || !out->Open(m_pGame, temp.c_str(), FileMode::Write | FileMode::Append)) {
        report.saveError = std::string(temp) + " could not be made (" + std::strerror(errno != 0 ? errno : EIO) + ")";
        delete out;
        freeBlobs();
        return 0;
    }
    bool ok = out->WriteInt(count) == 4;
    long long offset = 4 + 8LL * count;
    for (int i = 0; ok && i < count; ++i) {
        ok = offset <= 0x7FFFFFFF && out->WriteInt(records[i]->size) == 4 &&
             out->WriteInt(static_cast<int>(offset)) == 4;
        offset += 8LL + records[i]->name.Length() + records[i]->size;
    }
    for (int i = 0; ok && i < count; ++i) {
        const QuorvanRecordInfo* r = records[i];
        const int nameLength = r->name.Length();
        ok = out->WriteInt(r->id) == 4 && out->WriteInt(nameLength) == 4 &&
             (nameLength == 0 || out->WriteData(r->name.GetDataConst(), nameLength) == nameLength) &&
             (r->size == 0 || out->WriteData(blobs[static_cast<std::size_t>(i)], r->size) == r->size);
    }
    // The last buffered block reaches the disk only at close, so a close that fails loses it.
    const int writeError = ok ? 0 : errno;
    const bool closed = out->Close() == 1;
    const int closeError = closed ? 0 : errno;
    delete out;
    freeBlobs();
    if (!ok || !closed) {
        const int error = writeError != 0 ? writeError : closeError;
        report.saveError = "writing " + temp + " failed (" + std::strerror(error != 0 ? error : EIO) + ")";
        ok = false;
    }
    if (ok) {
        // A disk that took less than it said: check what actually arrived before the old file
        // is replaced.
        IFile* check = owner->CreateDiskFile();
        ok = check != nullptr && check->Open(m_pGame, temp.c_str(), FileMode::Read) && check->GetSize() == offset;
        delete check;
        if (!ok) report.saveError = temp + " did not hold what was written";
    }
    if (ok && file != nullptr) {
        file->Close();
        delete file;
        file = nullptr;
    }
    // A damaged file is the player's: it goes aside under a name of its own before the new one
    // takes its place, and when it cannot, nothing takes its place.
    if (ok && keepAsideAtSave) {
        std::string kept, reason;
        if (!KeepDamagedFileAside(path.GetDataConst(), kept, reason)) {
            report.saveError =
                "the damaged file could not be kept aside" + (kept.empty() ? "" : " as " + kept) + " (" + reason + ")";
            ok = false;
        } else {
            report.keptAs = kept;
            keepAsideAtSave = false;
        }
    }
    if (!ok) {
        std::remove(temp.c_str());
        return 0;
    }
    // One rename replaces the old file: at every moment either the old or the new file is whole
    // (after a damaged one was kept aside, the complete new file waits under the temporary name).
    errno = 0;
    if (!ReplaceFileDurably(temp.c_str(), path.GetDataConst())) {
        report.saveError = temp + " could not be renamed into place (" + std::strerror(errno != 0 ? errno : EIO) + ")";
        return 0;
    }
    return 1;
}

int QuorvanRecordSet::CloseFile() {
    int result = 1;
    if (open && modified) result = Save();
    if (file != nullptr) {
        file->Close();
        delete file;
        file = nullptr;
    }
    open = false;
    modified = false;
    return result;
}

CQuorvanMultiRecordFile::CQuorvanMultiRecordFile(IFileHost* game) : m_pGame(game) {}

CQuorvanMultiRecordFile::~CQuorvanMultiRecordFile() { (void)CloseMultiRecordFile(nullptr); }

IFile* CQuorvanMultiRecordFile::CreateDiskFile() { return m_pGame ? m_pGame->CreateFileObject() : nullptr; }

int CQuorvanMultiRecordFile::OpenMultiRecordFile(const char* filePath, unsigned short* crc) {
    (void)CloseMultiRecordFile(nullptr);
    path = filePath;
    if (crc != nullptr && !CheckCRC(filePath, *crc)) {
        IFile* f = CreateDiskFile();
        if (f != nullptr) (void)f->Delete(filePath);
        delete f;
    }
    recordSet = new (std::nothrow) QuorvanRecordSet(m_pGame, this);
    if (recordSet == nullptr) return 0;
    if (!recordSet->OpenFile(filePath)) {
        delete recordSet;
        recordSet = nullptr;
        return 0;
    }
    return 1;
}

void CQuorvanMultiRecordFile::SaveAtClose() {
    if (recordSet != nullptr && recordSet->open && report.state != ERecordFileState::kCannotRead)
        recordSet->modified = true;
}

void CQuorvanMultiRecordFile::CloseWithoutSaving() {
    if (recordSet != nullptr) recordSet->modified = false;
    (void)CloseMultiRecordFile(nullptr);
}

int CQuorvanMultiRecordFile::CloseMultiRecordFile(unsigned short* crc) {
    report.keptAs.clear();
    report.saveError.clear();
    int result = 1;
    if (recordSet != nullptr) {
        result = recordSet->CloseFile();
        delete recordSet;
        recordSet = nullptr;
    }
    if (crc != nullptr) SaveCRC(path.GetDataConst(), crc);
    return result;
}

IMemFile* CQuorvanMultiRecordFile::ReadRecord(int id) {
    if (recordSet == nullptr) return nullptr;
    int size = 0;
    unsigned char* data = recordSet->ReadRecordData(recordSet->FindRecord(id), &size);
    if (data == nullptr) return nullptr;
    auto* mem = new (std::nothrow) CMemoryFile();
    if (mem == nullptr) {
        std::free(data);
        return nullptr;
    }
    (void)mem->Attach(data, size);
    return mem;
}

int CQuorvanMultiRecordFile::WriteRecord(int id, IFile* source, CommonString name) {
    return AddNewRecord(id, source, name);
}

int CQuorvanMultiRecordFile::AddNewRecord(int id, IFile* source, CommonString name) {
    if (recordSet == nullptr || !recordSet->open || source == nullptr) return 0;
    // A longer name would make the whole file unreadable at the next open.
    if (name.Length() > kMaxRecordNameLength) return 0;
    if (recordSet->FindRecord(id) < 0 && recordSet->count >= kMaxRecords) return 0;
    const int size = source->GetCurPos();
    if (size < 0 || !source->Seek(0, FileSeek::Start)) return 0;
    auto* data = static_cast<unsigned char*>(std::malloc(size > 0 ? static_cast<std::size_t>(size) : 1));
    if (data == nullptr) return 0;
    if (size > 0 && source->ReadData(data, size) != size) {
        std::free(data);
        return 0;
    }
    auto* record = new (std::nothrow) QuorvanRecordInfo();
    if (record == nullptr) {
        std::free(data);
        return 0;
    }
    record->id = id;
    record->name = name;
    record->data = data;
    record->size = size;
    return recordSet->AddRecord(record);
}

void CQuorvanMultiRecordFile::DeleteRecord(int id) {
    if (recordSet != nullptr) recordSet->DeleteRecord(id);
}

int CQuorvanMultiRecordFile::IsRecordEmpty(int id) {
    return recordSet == nullptr || recordSet->FindRecord(id) < 0 ? 1 : 0;
}

CommonString CQuorvanMultiRecordFile::GetRecordName(int id) {
    const int i = recordSet ? recordSet->FindRecord(id) : -1;
    return i < 0 ? CommonString("EMPTY") : recordSet->records[i]->name;
}

int CQuorvanMultiRecordFile::CheckCRC(const char* filePath, unsigned short crc) {
    return FileCRC(CreateDiskFile(), m_pGame, filePath) == crc ? 1 : 0;
}

void CQuorvanMultiRecordFile::SaveCRC(const char* filePath, unsigned short* crc) {
    if (crc != nullptr) *crc = FileCRC(CreateDiskFile(), m_pGame, filePath);
}

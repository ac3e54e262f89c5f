#pragma once
// Multi-record files: several independent records of bytes, each with an integer id and a short
// name, in one disk file, so that one record can be replaced without touching the others.
//
// Layout (32-bit little-endian signed integers): the record count N (0 to 99), then N pairs
// (data size, block offset), then the blocks back to back from 4 + 8N: id, name length L
// (0 to 98), L name bytes, the data. A save writes the whole file under a temporary name and
// renames it over the old one only when every byte was written, so a failed save keeps the old
// file. An optional CRC-16 sum of the file, kept by the caller, is checked at open: a mismatch
// deletes the file. One thread at a time.
//
// What was found at open is kept in the file's report. A missing file is an empty set. A file
// that is there but cannot be read (refused, an I/O error) opens empty and is never saved over:
// the set refuses every change. A damaged file (a bad count, a table past its end, entries or
// blocks that break the rules) keeps the records that can be read whole, or none when the count
// or the table itself is bad; a save of such a set first keeps the old file aside as
// "<path>.damaged.N" and writes nothing when it cannot. A record whose data cannot be read from
// the old file at save makes the save fail: it is never dropped.

#include <string>

#include "core/CommonString.h"

class IFileHost;
class CQuorvanMultiRecordFile;
class IFile;
class IMemFile;

inline constexpr int kMaxRecords = 99;
inline constexpr int kMaxRecordNameLength = 98;

// What an open found, and what the last close did.
enum class ERecordFileState { kWhole, kMissing, kCannotRead, kDamaged };
struct TRecordFileReport {
    ERecordFileState state = ERecordFileState::kMissing;
    std::string problem;     // why it cannot be read, or what is damaged
    int recordsDropped = 0;  // records of a damaged file that could not be read whole
    std::string keptAs;      // where the last save kept the damaged file; empty when it did not
    std::string saveError;   // why the last save failed; empty when it did not
};

// One record of an open set.
class QuorvanRecordInfo {
public:
    virtual ~QuorvanRecordInfo();

    int id = 0;
    CommonString name;
    int offset = -1;                // block offset in the open file; -1 for a record added since opening
    int dataOffset = -1;            // offset of the data in the open file; -1 for an added record
    unsigned char* data = nullptr;  // owned (malloc) data of an added record; null otherwise
    int size = 0;
};

// The record table of one open file.
class QuorvanRecordSet {
public:
    QuorvanRecordSet(IFileHost* game, CQuorvanMultiRecordFile* owner);
    QuorvanRecordSet(const QuorvanRecordSet&) = delete;
    QuorvanRecordSet& operator=(const QuorvanRecordSet&) = delete;
    // Saves when modified (CloseFile), then frees the records.
    virtual ~QuorvanRecordSet();

    // Reads the table of `path`. A missing or malformed file gives an open, empty set. 1.
    int OpenFile(const char* path);
    // Saves when open and modified, then releases the file. 1 when nothing had to be saved or
    // the save succeeded; 0 when the save failed (the old file is then unchanged).
    int CloseFile();

    // -1 when absent.
    int FindRecord(int id) const;
    // Takes ownership of `record` (a new one, offsets -1) and replaces the record with its id.
    // 0 (record deleted) when the set is not open or already holds kMaxRecords others.
    int AddRecord(QuorvanRecordInfo* record);
    void DeleteRecord(int id);
    // A malloc copy of record i's data (one byte at least) and its size in *size; null on failure.
    unsigned char* ReadRecordData(int i, int* size);

    int count = 0;
    QuorvanRecordInfo* records[kMaxRecords + 1] = {};
    IFile* file = nullptr;
    CommonString path;
    bool open = false;
    bool modified = false;
    // Set when the file opened damaged: a save keeps the old file aside before replacing it.
    bool keepAsideAtSave = false;
    IFileHost* m_pGame;

private:
    void Clear();
    int Save();
    // Reads the table and the blocks' heads of the open file, dropping what breaks the rules.
    void ReadTable();
    void Damaged(const std::string& what);
    void CannotRead(const std::string& what);
    TRecordFileReport& Report();
    CQuorvanMultiRecordFile* owner;
};

class CQuorvanMultiRecordFile {
public:
    explicit CQuorvanMultiRecordFile(IFileHost* game);
    CQuorvanMultiRecordFile(const CQuorvanMultiRecordFile&) = delete;
    CQuorvanMultiRecordFile& operator=(const CQuorvanMultiRecordFile&) = delete;
    // Closes (and so saves) an open set, without storing a check sum.
    virtual ~CQuorvanMultiRecordFile();

    // Opens the file at `path`, first deleting it when `crc` is given and the file's check sum
    // differs. 0 only when the record set or a disk file object cannot be made.
    int OpenMultiRecordFile(const char* path, unsigned short* crc);
    // Saves when modified and closes; then stores the file's new check sum in *crc when given.
    // 1, or 0 when the save failed (the old file is kept).
    int CloseMultiRecordFile(unsigned short* crc);
    // A new memory file with a copy of the record's data, owned by the caller; null when absent.
    IMemFile* ReadRecord(int id);
    // Replaces record `id` with the bytes of `source` from its start up to its position.
    int WriteRecord(int id, IFile* source, CommonString name);
    // The same; 0 when no set is open, on no memory, a short read, a name longer than
    // kMaxRecordNameLength, or a full set. A record with the same id is replaced only on success.
    int AddNewRecord(int id, IFile* source, CommonString name);
    void DeleteRecord(int id);
    // 1 when no set is open or no record has this id.
    int IsRecordEmpty(int id);
    // The name, or "EMPTY".
    CommonString GetRecordName(int id);
    int CheckCRC(const char* path, unsigned short crc);
    void SaveCRC(const char* path, unsigned short* crc);
    // Makes the close save the set even when nothing changed: a damaged file is then kept aside
    // and replaced by the records that could be read whole. Nothing when no set is open.
    void SaveAtClose();
    // Closes without saving, whatever changed.
    void CloseWithoutSaving();

    // Disk files for reading, saving and check sums. Tests put a failing disk in its place.
    virtual IFile* CreateDiskFile();

    CommonString path;
    IFileHost* m_pGame;
    QuorvanRecordSet* recordSet = nullptr;
    // Filled by the open and the close; read by the owner between them or after the close.
    TRecordFileReport report;
};

// Sum (mod 65536) of calc_crc16 over the file's 4,096-byte chunks; 0 for a file that cannot be
// opened or is empty.
[[nodiscard]] unsigned short GetFileCRC(IFileHost* game, const char* path);

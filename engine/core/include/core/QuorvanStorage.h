#pragma once
// The record-storage facade the game holds (for saveresume.dat): every operation opens the
// multi-record file, does one thing and closes it again, saving it when it changed. Nothing is
// held open between operations. One thread at a time.

#include "core/CommonString.h"

class IFileHost;
class CQuorvanMultiRecordFile;
class IFile;
class IMemFile;

class CQuorvanStorage {
public:
    explicit CQuorvanStorage(IFileHost* game);
    CQuorvanStorage(const CQuorvanStorage&) = delete;
    CQuorvanStorage& operator=(const CQuorvanStorage&) = delete;
    // Deletes a file object still open (which saves it, without updating the check sum).
    virtual ~CQuorvanStorage();

    // The file path and the caller's stored check sum (null: the file is never verified).
    void SetPathAndCRC(const char* path, unsigned short* crc);
    // 1 when open already; else opens the file.
    int Open();
    // Saves when modified, stores the new check sum, deletes the file object. 1, or 0 when the
    // save failed (the file on the disk is then the one from before). 1 with nothing open.
    int Close();
    // The record as a new memory file owned by the caller, or null.
    IMemFile* ReadRecord(int id);
    // Replaces the record with the bytes of `source` up to its position and saves the file,
    // making its folder when missing. 1, or 0 when the record was refused or could not be saved
    // (the file on the disk is then the one from before).
    [[nodiscard]] int WriteRecord(int id, IFile* source, CommonString name);
    void DeleteRecord(int id);
    // 1 when the record is missing or the file cannot be opened.
    int IsRecordEmpty(int id);
    // "EMPTY" for a missing record, "..." when the file cannot be opened.
    CommonString GetRecordName(int id);

protected:
    // The multi-record file each operation opens. Tests put one on a failing disk in its place.
    virtual CQuorvanMultiRecordFile* CreateRecordFile();

private:
    IFileHost* m_pGame;
    CQuorvanMultiRecordFile* file = nullptr;
    CommonString path;
    unsigned short* crc = nullptr;
};

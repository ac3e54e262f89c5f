#pragma once
// The record-storage facade the game holds (for saveresume.dat): every operation opens the
// multi-record file, does one thing and closes it again, saving it when it changed. Nothing is
// held open between operations. One thread at a time.
//
// It keeps the player's records safe across a run and says so on stderr. A file that is there
// but cannot be read runs as empty for the rest of the run and is never written over; every
// record that cannot be saved because of it is told. A damaged file is kept aside as
// "<path>.damaged.N" by the first operation that meets it, and the records that could be read
// whole are saved in its place. Every failed save is told with its record.

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

    // At start-up: deals with a temporary file an interrupted save left beside the path (removed
    // when the file is there, since the rename never happened; put in its place when the file is
    // missing and it reads whole, as happens after a damaged file was kept aside; else removed),
    // then opens and closes the file once so that an unreadable or damaged file is told and
    // handled before the game reads its first record.
    void RecoverAtStart();
    // A record its reader refused: told with its name and why, the file as it is kept aside as
    // "<path>.damaged.N", then the record deleted. When the file cannot be kept aside the record
    // stays. 1 when the record was dropped.
    int DropDamagedRecord(int id, const char* why);
    // True once the file was found unreadable in this run: nothing is written over it until the
    // run ends.
    bool IsUnreadableThisRun() const { return m_bCannotRead; }

protected:
    // The multi-record file each operation opens. Tests put one on a failing disk in its place.
    virtual CQuorvanMultiRecordFile* CreateRecordFile();

private:
    // Closes the open file, saving it when it changed; tells a damaged file kept aside and, with
    // `what` naming what the save was for, a save that failed. 1, or 0 when the save failed.
    int CloseAndTell(const char* what);
    // Tells, once a run, that the file cannot be read.
    void TellCannotRead(const char* why);

    IFileHost* m_pGame;
    CQuorvanMultiRecordFile* file = nullptr;
    CommonString path;
    unsigned short* crc = nullptr;
    bool m_bCannotRead = false;
    bool m_bToldCannotRead = false;
};

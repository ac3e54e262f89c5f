// The file interface every byte of the engine goes through.
//
// Disk files (CiPhoneFile), whole files held in memory (IMemFile) and members of a resource pak
// (CZipElementFile) all implement IFile. Callers never name a concrete class: they ask their
// owner's file host for one (IFileHost::CreateFileObject / CreateMemoryFileObject, core/FileHost.h),
// open it with the mode bits below, use it and delete it through the virtual destructor.
//
// Scalars travel as their raw little-endian bytes; every typed read or write is exactly one
// ReadData / WriteData of that many bytes, so its result is that of the data operation.
// Nothing throws: failures are 0 from Open/Seek/CheckCRC and -1 from the data operations.
// A file object belongs to one thread at a time; none of them takes a lock.
#pragma once

class IFileHost;

// Open mode bits, ORed together. In use: Read (2), Write|Append (5, create or truncate),
// Read|Exist (10, existence test).
namespace FileMode {
inline constexpr unsigned Write = 1;   // create or truncate
inline constexpr unsigned Read = 2;    // wins over Write
inline constexpr unsigned Append = 4;  // with Write: create or truncate; alone or with Read: append
inline constexpr unsigned Exist = 8;   // memory files only look the name up; disk files ignore it
// The file may rightly be absent (a save not made yet): a disk file does not report that it
// found nothing. Other failures are still reported.
inline constexpr unsigned MayBeMissing = 16;
}  // namespace FileMode

// Seek origin bits, tested in this order; the first one set wins, none set counts from the start.
namespace FileSeek {
inline constexpr int Start = 1;
inline constexpr int Current = 2;
inline constexpr int End = 4;
}  // namespace FileSeek

class IFile {
public:
    virtual ~IFile();

    // Opens `name` (used unchanged) with FileMode bits: 1 when opened, 0 when not.
    virtual int Open(IFileHost* game, const char* name, unsigned mode) = 0;
    // Non-zero while a stream or buffer is held.
    virtual int IsOpened() = 0;
    // Releases the stream or buffer; safe when nothing is open. 1, or 0 when bytes written before
    // may not have reached their destination (closing a written disk stream failed): a save
    // checks it before it counts as done.
    virtual int Close() = 0;
    // Size in bytes.
    virtual int GetSize() = 0;
    // Moves the position by FileSeek bits: 1 on success, 0 on failure.
    virtual int Seek(long offset, int mode) = 0;
    // Bytes moved (fewer at the end of the file is not an error), -1 on error or when not open.
    virtual int ReadData(void* buffer, int count) = 0;
    virtual int WriteData(const void* buffer, int count) = 0;

    // Typed transfers of 4, 2 or 1 little-endian bytes: the result of the data operation.
    virtual int WriteInt(int value) = 0;
    virtual int ReadInt(int* value) = 0;
    virtual int WriteUInt(unsigned int value) = 0;
    virtual int ReadUInt(unsigned int* value) = 0;
    virtual int WriteByte(unsigned char value) = 0;
    virtual int ReadByte(unsigned char* value) = 0;
    virtual int WriteWord(unsigned short value) = 0;
    virtual int ReadWord(unsigned short* value) = 0;

    // Reads GetSize() bytes from the current position and compares calc_crc16 of the first
    // (size mod 65536) of them with `crc`; seeks back to the start once it gets that far.
    // 1 when equal, 0 when not or when the size or the read fails.
    virtual int CheckCRC(unsigned short crc);
    // Current position, or -1 when the file cannot tell.
    virtual int GetCurPos();
    // Removes the file `name` from the disk, whatever this object holds: 0 removed, -1 not.
    virtual int Delete(const char* name) = 0;
    // 1 for IMemFile implementations, whose buffer can be read in place.
    virtual int IsMemoryFile();
};

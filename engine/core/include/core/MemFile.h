#pragma once
// Memory files: one whole file in a single heap block behind the IFile operations. Resources
// are read through them (from the paks in pak mode, from the disk otherwise), save files are
// serialized into a fixed buffer and flushed to the disk in one write, and records of a
// multi-record file are handed out as memory files. The buffer never grows. Seeks are clamped
// into the buffer, so no byte outside it is ever read or written. One thread at a time.

#include "core/File.h"

// A memory file's own operations after those of IFile.
class IMemFile : public IFile {
public:
    // Drops what was held and allocates an empty buffer of `size` bytes for writing: 1, or 0
    // when it cannot be had.
    virtual int Create(unsigned size) = 0;
    // Writes the bytes from the start of the buffer up to the cursor to `path`, through a
    // temporary file in the same directory renamed into place only after every byte was
    // written; the directory is created when missing. 1 on success; 0 when there is no buffer,
    // nothing to write, or any step fails, and then the file at `path` is left as it was.
    virtual int FlushDataToFile(IFileHost* game, const char* path) = 0;
    // Loads the whole disk file (FileMode bits; with Exist only keeps the disk file open).
    virtual int OpenOnDisk(IFileHost* game, const char* path, unsigned mode) = 0;
    // Adopts a malloc block of `size` bytes as the buffer (freed with free); 1.
    virtual int Attach(void* data, int size) = 0;
    // Hands the buffer (malloc block) to the caller and closes; null here.
    virtual void* Detach();
    // The start of the buffer; null here.
    virtual void* GetBuffer();

    int IsMemoryFile() override;
};

class CMemoryFile : public IMemFile {
public:
    CMemoryFile() = default;
    CMemoryFile(const CMemoryFile&) = delete;
    CMemoryFile& operator=(const CMemoryFile&) = delete;
    ~CMemoryFile() override;

    // In pak mode looks `name` up (unchanged, backslashes, case-sensitive) in the common pak,
    // then the resolution pak unless the single-pak switch is on, then the optional pak, and
    // loads it whole (inflated); with Exist only answers whether a pak knows it. Otherwise
    // OpenOnDisk without the Exist bit. 1 or 0; a failure leaves the file closed.
    int Open(IFileHost* game, const char* name, unsigned mode) override;
    int IsOpened() override;
    // Frees the buffer; 1.
    int Close() override;
    int GetSize() override;
    // Start: buffer + offset; Current: cursor + offset; End: buffer + size - offset (the offset
    // counts back from the end as a positive number). Clamped into the buffer; always 1.
    int Seek(long offset, int mode) override;
    // Copies what is left up to count; 0 at the end.
    int ReadData(void* buffer, int count) override;
    // Copies all `count` bytes when they fit, else writes nothing and returns -1.
    int WriteData(const void* buffer, int count) override;
    int WriteInt(int value) override;
    int ReadInt(int* value) override;
    int WriteUInt(unsigned int value) override;
    int ReadUInt(unsigned int* value) override;
    int WriteByte(unsigned char value) override;
    int ReadByte(unsigned char* value) override;
    int WriteWord(unsigned short value) override;
    int ReadWord(unsigned short* value) override;
    // A memory file is never verified by check sum: 1.
    int CheckCRC(unsigned short crc) override;
    int GetCurPos() override;
    // Passes the delete to a held disk file, then closes.
    int Delete(const char* name) override;

    int Create(unsigned size) override;
    int FlushDataToFile(IFileHost* game, const char* path) override;
    int OpenOnDisk(IFileHost* game, const char* path, unsigned mode) override;
    int Attach(void* data, int size) override;
    void* Detach() override;
    void* GetBuffer() override;

protected:
    // Where disk files come from: the game's factory. Tests put a failing disk in its place.
    virtual IFile* CreateDiskFile(IFileHost* game);

private:
    int OpenFromPaks(IFileHost* game, const char* name, unsigned mode);
    // Copies up to `count` bytes from the cursor; the number copied.
    int ReadRaw(void* out, int count);
    void ReleaseDiskFile();

    unsigned char* buffer = nullptr;
    unsigned char* cursor = nullptr;
    int size = 0;
    IFile* diskFile = nullptr;
};

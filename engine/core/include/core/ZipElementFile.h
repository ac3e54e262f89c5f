#pragma once
// A read-only file over one stored member of a resource pak, read in place through its own
// stream on the pak file: streamed music and long sounds are decoded a block at a time without
// loading the member. The position is kept inside the member, so no byte outside it is ever
// delivered. One thread at a time.

#include <cstdio>

#include "core/File.h"

class CZipElementFile : public IFile {
public:
    CZipElementFile() = default;
    CZipElementFile(const CZipElementFile&) = delete;
    CZipElementFile& operator=(const CZipElementFile&) = delete;
    ~CZipElementFile() override;

    // Finds `name` (backslashes) in the game's common pak, the resolution pak unless the
    // single-pak switch is on, then the optional pak; with Exist only answers whether it is
    // there. Refuses members that are not stored, do not lie inside the pak, or whose bytes do not
    // match their CRC-32 (the member is read through once to check). 1 or 0.
    int Open(IFileHost* game, const char* name, unsigned mode) override;
    int IsOpened() override;
    // Read only: 1.
    int Close() override;
    // The member's length; 0 when closed.
    int GetSize() override;
    // Start: offset; Current: position + offset; End: size + offset (a negative offset counts
    // back from the member's end). Clamped into the member. 1, or 0 when closed or the stream
    // seek fails.
    int Seek(long offset, int mode) override;
    // Up to count bytes, fewer at the member's end (0 there); -1 when closed or on a stream error.
    int ReadData(void* buffer, int count) override;
    // Read-only: every write does nothing and returns 0.
    int WriteData(const void* buffer, int count) override;
    int WriteInt(int value) override;
    int ReadInt(int* value) override;
    int WriteUInt(unsigned int value) override;
    int ReadUInt(unsigned int* value) override;
    int WriteByte(unsigned char value) override;
    int ReadByte(unsigned char* value) override;
    int WriteWord(unsigned short value) override;
    int ReadWord(unsigned short* value) override;
    // Position inside the member.
    int GetCurPos() override;
    // Members are never deleted: -1.
    int Delete(const char* name) override;

private:
    std::FILE* stream = nullptr;
    long dataOffset = 0;  // where the member's data begins in the pak
    long size = 0;
    long pakLength = 0;
    long position = 0;  // 0 .. size
};

// CiPhoneFile: the disk file, a thin layer over the C library's buffered streams.
//
// Names are paths used unchanged (the game pointer given to Open is not needed). Mode bits pick
// the stream mode: Read gives "rb" and wins over Write ("wb"); Append turns it into "wb" with
// Write and "ab" otherwise. A failed open prints the path and the errno text on stderr, except
// for a missing file opened with FileMode::MayBeMissing.
#pragma once

#include <cstdio>

#include "core/File.h"

class CiPhoneFile : public IFile {
public:
    CiPhoneFile() = default;
    ~CiPhoneFile() override;  // closes an open stream
    CiPhoneFile(const CiPhoneFile&) = delete;
    CiPhoneFile& operator=(const CiPhoneFile&) = delete;

    // 1 when opened; 0 without any of the bits Write/Read/Append (the disk is not touched), for a
    // null name, or when fopen fails. A stream still open from before is closed first.
    int Open(IFileHost* game, const char* name, unsigned mode) override;
    int IsOpened() override;
    // 0 when fclose fails: the stream's last buffered bytes did not reach the disk.
    int Close() override;
    // 0 when not open; the position is kept.
    int GetSize() override;
    // 0 when not open or when fseek fails; a negative offset with FileSeek::End counts back.
    int Seek(long offset, int mode) override;
    // -1 when not open, for a negative count, or when the stream's error indicator is set.
    int ReadData(void* buffer, int count) override;
    int WriteData(const void* buffer, int count) override;

    int WriteInt(int value) override;
    int ReadInt(int* value) override;
    int WriteUInt(unsigned int value) override;
    int ReadUInt(unsigned int* value) override;
    int WriteByte(unsigned char value) override;
    int ReadByte(unsigned char* value) override;
    int WriteWord(unsigned short value) override;
    int ReadWord(unsigned short* value) override;

    // ftell of the stream; -1 when not open.
    int GetCurPos() override;
    // remove(name): 0 removed, -1 not; independent of this object's own stream.
    int Delete(const char* name) override;

    // Picks the fopen mode text for the mode bits, or null when none of Write/Read/Append is set.
    static const char* StreamModeFor(unsigned mode);

private:
    std::FILE* stream_ = nullptr;
};

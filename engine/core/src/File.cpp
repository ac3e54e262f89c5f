#include "core/File.h"

#include <cstdlib>

#include "core/Common.h"

IFile::~IFile() = default;

int IFile::CheckCRC(unsigned short crc) {
    const int size = GetSize();
    if (size < 0) return 0;
    // One spare byte so that an empty file still gets a block to read into.
    char* bytes = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (!bytes) return 0;
    if (ReadData(bytes, size) != size) {
        std::free(bytes);
        return 0;
    }
    // The stored check sum of the record files only ever covered a 16-bit length.
    const unsigned short actual = calc_crc16(bytes, static_cast<unsigned short>(size % 65536));
    std::free(bytes);
    Seek(0, FileSeek::Start);
    return actual == crc ? 1 : 0;
}

int IFile::GetCurPos() { return -1; }

int IFile::IsMemoryFile() { return 0; }

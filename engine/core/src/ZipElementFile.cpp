#include "core/ZipElementFile.h"

#include <zlib.h>

#include <cstdint>

#include "PakSearch.h"
#include "core/FileHost.h"
#include "core/ZipFile.h"

namespace {

// Reads the member once through a small block and compares its CRC-32 with the directory's.
bool StoredBytesMatch(std::FILE* stream, long offset, long length, std::uint32_t expectedCrc) {
    if (std::fseek(stream, offset, SEEK_SET) != 0) return false;
    unsigned char block[16384];
    uLong crc = crc32(0L, Z_NULL, 0);
    for (long left = length; left > 0;) {
        const std::size_t want = left < static_cast<long>(sizeof block) ? static_cast<std::size_t>(left) : sizeof block;
        if (std::fread(block, 1, want, stream) != want) return false;
        crc = crc32(crc, block, static_cast<uInt>(want));
        left -= static_cast<long>(want);
    }
    return crc == expectedCrc;
}

}  // namespace

CZipElementFile::~CZipElementFile() {
    if (stream != nullptr) Close();
}

int CZipElementFile::Open(IFileHost* game, const char* name, unsigned mode) {
    Close();
    if (game == nullptr || name == nullptr) return 0;
    // The same search as memory files, but without looking at the pak mode: no common pak,
    // no member file.
    int entry = -1;
    CBBZipFileReader* found = FindInPaks(game, name, &entry);
    if (found == nullptr) return 0;
    if (mode & FileMode::Exist) return 1;

    long length = 0;
    long offset = 0;
    // Compressed bytes would read as garbage: only stored members can be read in place.
    if (found->ValidateEntry(entry) != ZipResult::Ok || found->get_FileLength(entry, &length) != ZipResult::Ok ||
        found->GetEntryMethod(entry) != 0 || found->ReadFileOffset(entry, &offset) != ZipResult::Ok) {
        Close();
        return 0;
    }
    const char* path = found->GetPakPath().GetDataConst();
    stream = path ? std::fopen(path, "rb") : nullptr;
    if (stream == nullptr) {
        Close();
        return 0;
    }
    if (std::fseek(stream, 0, SEEK_END) != 0) {
        Close();
        return 0;
    }
    pakLength = std::ftell(stream);
    if (pakLength < 1 || offset < 0 || length < 0 || offset > pakLength || length > pakLength - offset) {
        Close();
        return 0;
    }
    // The member is streamed long after it was opened, so damage is looked for now, while a
    // failure can still be reported as one instead of playing as noise.
    if (!StoredBytesMatch(stream, offset, length, found->GetEntryCrc(entry))) {
        (void)found->ReportDamage(entry, ZipResult::BadFormat, "CRC-32 mismatch");
        Close();
        return 0;
    }
    if (std::fseek(stream, offset, SEEK_SET) != 0) {
        Close();
        return 0;
    }
    dataOffset = offset;
    size = length;
    position = 0;
    return IsOpened();
}

int CZipElementFile::IsOpened() { return stream != nullptr; }

int CZipElementFile::Close() {
    dataOffset = 0;
    size = 0;
    pakLength = 0;
    position = 0;
    if (stream != nullptr) {
        std::fclose(stream);
        stream = nullptr;
    }
    return 1;
}

int CZipElementFile::GetSize() { return stream ? static_cast<int>(size) : 0; }

int CZipElementFile::Seek(long offset, int mode) {
    if (stream == nullptr) return 0;
    long long target;
    if (mode & FileSeek::Start)
        target = offset;
    else if (mode & FileSeek::Current)
        target = static_cast<long long>(position) + offset;
    else if (mode & FileSeek::End)
        target = static_cast<long long>(size) + offset;
    else
        target = offset;
    // Positions outside the member stop at its nearest end.
    if (target < 0) target = 0;
    if (target > size) target = size;
    if (std::fseek(stream, dataOffset + static_cast<long>(target), SEEK_SET) != 0) return 0;
    position = static_cast<long>(target);
    return 1;
}

int CZipElementFile::ReadData(void* out, int count) {
    if (stream == nullptr) return -1;
    long n = size - position;
    if (n < 0) n = 0;
    if (count < n) n = count < 0 ? 0 : count;
    if (n == 0) return 0;
    const std::size_t got = std::fread(out, 1, static_cast<std::size_t>(n), stream);
    if (std::ferror(stream)) return -1;
    position += static_cast<long>(got);
    return static_cast<int>(got);
}

int CZipElementFile::WriteData(const void*, int) { return 0; }
int CZipElementFile::WriteInt(int) { return 0; }
int CZipElementFile::WriteUInt(unsigned int) { return 0; }
int CZipElementFile::WriteByte(unsigned char) { return 0; }
int CZipElementFile::WriteWord(unsigned short) { return 0; }
int CZipElementFile::ReadInt(int* value) { return stream ? ReadData(value, 4) : -1; }
int CZipElementFile::ReadUInt(unsigned int* value) { return stream ? ReadData(value, 4) : -1; }
int CZipElementFile::ReadByte(unsigned char* value) { return stream ? ReadData(value, 1) : -1; }
int CZipElementFile::ReadWord(unsigned short* value) { return stream ? ReadData(value, 2) : -1; }

int CZipElementFile::GetCurPos() {
    if (stream == nullptr) return -1;
    long p = std::ftell(stream) - dataOffset;
    if (p < 0) p = 0;
    if (p > size) p = size;
    position = p;
    return static_cast<int>(position);
}

int CZipElementFile::Delete(const char*) { return -1; }

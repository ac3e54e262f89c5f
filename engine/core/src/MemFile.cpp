#include "core/MemFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PakSearch.h"
#include "core/SaveFolder.h"
#include "core/FileHost.h"
#include "core/ZipFile.h"

void* IMemFile::Detach() { return nullptr; }
void* IMemFile::GetBuffer() { return nullptr; }
int IMemFile::IsMemoryFile() { return 1; }

CMemoryFile::~CMemoryFile() { Close(); }

IFile* CMemoryFile::CreateDiskFile(IFileHost* game) { return game ? game->CreateFileObject() : nullptr; }

void CMemoryFile::ReleaseDiskFile() {
    if (diskFile != nullptr) {
        diskFile->Close();
        delete diskFile;
        diskFile = nullptr;
    }
}

int CMemoryFile::Close() {
    ReleaseDiskFile();
    std::free(buffer);
    buffer = nullptr;
    cursor = nullptr;
    size = 0;
    return 1;
}

int CMemoryFile::IsOpened() { return buffer != nullptr; }
int CMemoryFile::GetSize() { return size; }
int CMemoryFile::GetCurPos() { return buffer ? static_cast<int>(cursor - buffer) : 0; }
void* CMemoryFile::GetBuffer() { return buffer; }
int CMemoryFile::CheckCRC(unsigned short) { return 1; }

int CMemoryFile::Open(IFileHost* game, const char* name, unsigned mode) {
    if (game == nullptr || name == nullptr) return 0;
    if (!game->Paks().m_bPakMode) return OpenOnDisk(game, name, mode & ~FileMode::Exist);
    return OpenFromPaks(game, name, mode);
}

int CMemoryFile::OpenFromPaks(IFileHost* game, const char* name, unsigned mode) {
    Close();
    int entry = -1;
    CBBZipFileReader* found = FindInPaks(game, name, &entry);
    if (found == nullptr) return 0;
    if (mode & FileMode::Exist) return 1;

    // Sizes, method and where the data lies are checked before the member's claimed length is
    // allocated: a damaged directory must not cost a huge block.
    long length = 0;
    if (found->ValidateEntry(entry) != ZipResult::Ok || found->get_FileLength(entry, &length) != ZipResult::Ok)
        return 0;
    if (length < 0 || length > INT_MAX) return 0;
    // One byte at least, so an empty member still counts as an open file.
    buffer = static_cast<unsigned char*>(std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1));
    if (buffer == nullptr) return 0;
    if (found->ReadFile(entry, buffer) != ZipResult::Ok) {
        Close();
        return 0;
    }
    cursor = buffer;
    size = static_cast<int>(length);
    return 1;
}

int CMemoryFile::OpenOnDisk(IFileHost* game, const char* path, unsigned mode) {
    Close();
    IFile* file = CreateDiskFile(game);
    if (file == nullptr) return 0;
    if (!file->Open(game, path, mode & ~FileMode::Exist)) {
        delete file;
        return 0;
    }
    diskFile = file;
    if (mode & FileMode::Exist) return 1;

    const int length = diskFile->GetSize();
    if (length < 0) {
        Close();
        return 0;
    }
    buffer = static_cast<unsigned char*>(std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1));
    if (buffer == nullptr || (length > 0 && diskFile->ReadData(buffer, length) != length)) {
        Close();
        return 0;
    }
    ReleaseDiskFile();
    cursor = buffer;
    size = length;
    return 1;
}

int CMemoryFile::Create(unsigned newSize) {
    Close();
    if (newSize > static_cast<unsigned>(INT_MAX)) return 0;
    buffer = static_cast<unsigned char*>(std::malloc(newSize > 0 ? newSize : 1));
    if (buffer == nullptr) return 0;
    cursor = buffer;
    size = static_cast<int>(newSize);
    return 1;
}

int CMemoryFile::Attach(void* data, int newSize) {
    ReleaseDiskFile();
    if (data != buffer) std::free(buffer);
    buffer = static_cast<unsigned char*>(data);
    cursor = buffer;
    size = buffer != nullptr && newSize > 0 ? newSize : 0;
    return 1;
}

void* CMemoryFile::Detach() {
    void* block = buffer;
    buffer = nullptr;
    cursor = nullptr;
    size = 0;
    Close();
    return block;
}

int CMemoryFile::Seek(long offset, int mode) {
    if (buffer == nullptr) return 1;
    long long target;
    if (mode & FileSeek::Start)
        target = offset;
    else if (mode & FileSeek::Current)
        target = static_cast<long long>(cursor - buffer) + offset;
    else if (mode & FileSeek::End)
        target = static_cast<long long>(size) - offset;
    else
        target = offset;
    // Outside the buffer the cursor stops at its nearest end: reads there move nothing.
    if (target < 0) target = 0;
    if (target > size) target = size;
    cursor = buffer + target;
    return 1;
}

int CMemoryFile::ReadRaw(void* out, int count) {
    if (buffer == nullptr || count <= 0 || out == nullptr) return 0;
    const int left = size - static_cast<int>(cursor - buffer);
    const int n = count < left ? count : left;
    if (n <= 0) return 0;
    std::memcpy(out, cursor, static_cast<std::size_t>(n));
    cursor += n;
    return n;
}

int CMemoryFile::ReadData(void* out, int count) { return ReadRaw(out, count); }

int CMemoryFile::WriteData(const void* data, int count) {
    if (buffer == nullptr || count < 0 || (count > 0 && data == nullptr)) return -1;
    const int left = size - static_cast<int>(cursor - buffer);
    if (count > left) return -1;
    if (count > 0) std::memcpy(cursor, data, static_cast<std::size_t>(count));
    cursor += count;
    return count;
}

// Scalars go as their little-endian bytes, which is their memory order on every target we build.
int CMemoryFile::WriteInt(int value) { return WriteData(&value, 4); }
int CMemoryFile::WriteUInt(unsigned int value) { return WriteData(&value, 4); }
int CMemoryFile::WriteByte(unsigned char value) { return WriteData(&value, 1); }
int CMemoryFile::WriteWord(unsigned short value) { return WriteData(&value, 2); }
int CMemoryFile::ReadInt(int* value) { return ReadRaw(value, 4); }
int CMemoryFile::ReadUInt(unsigned int* value) { return ReadRaw(value, 4); }
int CMemoryFile::ReadByte(unsigned char* value) { return ReadRaw(value, 1); }
int CMemoryFile::ReadWord(unsigned short* value) { return ReadRaw(value, 2); }

int CMemoryFile::Delete(const char* name) {
    if (diskFile != nullptr) (void)diskFile->Delete(name);
    Close();
    return 0;
}

int CMemoryFile::FlushDataToFile(IFileHost* game, const char* path) {
    if (buffer == nullptr || path == nullptr || path[0] == '\0') return 0;
    const int used = static_cast<int>(cursor - buffer);
    // Nothing to write is a failure; the file already on the disk stays as it was.
    if (used <= 0) return 0;

    CreateFolderFor(path);

    // Written beside the target and renamed over it only when complete: a failure half-way
    // leaves the previous file whole.
    const std::string temp = std::string(path) + ".tmp";
    IFile* out = CreateDiskFile(game);
    if (out == nullptr) return 0;
    if (!out->Open(game, temp.c_str(), FileMode::Write | FileMode::Append)) {
        delete out;
        return 0;
    }
    const int written = out->WriteData(buffer, used);
    // The stream's last block only reaches the disk at close, so a close that fails loses it.
    const bool closed = out->Close() == 1;
    delete out;
    bool ok = written == used && closed;
    if (ok) {
        // A disk that took less than it said: check what actually arrived.
        IFile* check = CreateDiskFile(game);
        ok = check != nullptr && check->Open(game, temp.c_str(), FileMode::Read) && check->GetSize() == used;
        delete check;
    }
    if (!ok) {
        std::remove(temp.c_str());
        return 0;
    }
    return ReplaceFileDurably(temp.c_str(), path) ? 1 : 0;
}

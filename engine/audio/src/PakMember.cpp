#include "PakMember.h"

#include <new>

#include "core/File.h"
#include "core/ZipElementFile.h"

IFile* OpenPakMember(IFileHost* game, const char* name) {
    if (!name) return nullptr;
    auto* file = new (std::nothrow) CZipElementFile;
    if (!file) return nullptr;
    if (!file->Open(game, name, FileMode::Read)) {
        delete file;
        return nullptr;
    }
    return file;
}

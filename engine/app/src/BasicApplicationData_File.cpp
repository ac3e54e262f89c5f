// The whole-file load and save of "global.opt".
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "GrowingFile.h"
#include "app/BasicApplicationData.h"
#include "app/GameBase.h"
#include "core/MemFile.h"

namespace {

constexpr const char* kAppDataFileName = "global.opt";
// A damaged player-data file is kept as "global.opt.damaged.N" before the first save takes its name.
constexpr const char* kDamagedSuffix = ".damaged.";
// More kept copies than this and the folder is left alone: nothing more is written over the file.
constexpr int kMaxDamagedCopies = 999;

CommonString AppDataPath(CGameBase* game) { return game->GetSaveDirectory() + CommonString(kAppDataFileName); }

// Deletes a memory file from the game's factory, closing it first.
struct TMemFileCloser {
    void operator()(CMemoryFile* file) const {
        file->Close();
        delete file;
    }
};
using TMemFilePtr = std::unique_ptr<CMemoryFile, TMemFileCloser>;

// Gives the memory file a copy of the bytes as its buffer, the cursor at its start; false when
// memory runs out.
bool AttachCopy(CMemoryFile& file, std::span<const std::uint8_t> bytes) {
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (copy == nullptr) return false;
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    file.Attach(copy, static_cast<int>(bytes.size()));
    return true;
}

// Why a file that did not open or arrive whole failed: absent (nothing at the path, or a link to
// nothing), or there but not readable. The reason is the system's, asked again of the path.
EAppDataLoad ClassifyFailedOpen(const char* path, std::string& reason) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return kAppDataMissing;
    errno = 0;
    std::FILE* probe = std::fopen(path, "rb");
    if (probe == nullptr) {
        reason = std::strerror(errno != 0 ? errno : EIO);
        return kAppDataCannotRead;
    }
    char block[4096];
    errno = 0;
    while (std::fread(block, 1, sizeof block, probe) == sizeof block) {
    }
    // A read that stopped short of the end failed, whether or not the stream kept the error.
    const int readError = std::ferror(probe) || !std::feof(probe) ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(probe);
    reason = readError != 0 ? std::strerror(readError) : (error ? error.message() : "a read error");
    return kAppDataCannotRead;
}

void TellCannotRead(const CommonString& path, const std::string& reason) {
    std::fprintf(stderr,
                 "appdata: %s: cannot be read (%s); the game runs on the defaults and saves nothing over it "
                 "in this run\n",
                 path.GetData(), reason.c_str());
}

}  // namespace

int CBasicApplicationData::ReadAppData(CGameBase* game) {
    if (game == nullptr) return 0;
    if (GetSerializeMethod() == 1) return ReadAppData_Method2(game);
    std::unique_ptr<IFile> file(game->CreateFileObject());
    if (!file) return 0;
    const CommonString path = AppDataPath(game);
    // No file yet is a first start, not an error worth a message.
    if (!file->Open(game, path.GetData(), FileMode::Read | FileMode::MayBeMissing)) {
        std::string reason;
        m_eLastLoad = ClassifyFailedOpen(path.GetData(), reason);
        if (m_eLastLoad == kAppDataCannotRead) TellCannotRead(path, reason);
        return 0;
    }
    file->Seek(0, FileSeek::Start);
    const int ok = ReadAppData(file.get());
    file->Close();
    m_eLastLoad = ok ? kAppDataLoaded : kAppDataDamaged;
    return ok;
}

int CBasicApplicationData::WriteAppData(CGameBase* game) {
    if (game == nullptr) return 0;
    if (GetSerializeMethod() == 1) return WriteAppData_Method2(game);
    return WriteWholeFile(game, false);
}

int CBasicApplicationData::SetAsideAppDataFile(CGameBase* game) {
    if (game == nullptr) return 0;
    const CommonString path = AppDataPath(game);
    for (int n = 1; n <= kMaxDamagedCopies; ++n) {
        const std::string aside = std::string(path.GetData()) + kDamagedSuffix + std::to_string(n);
        std::error_code error;
        // A name taken by anything, even a dangling link, is not free: no kept copy is replaced.
        const std::filesystem::file_status taken = std::filesystem::symlink_status(aside, error);
        if (taken.type() != std::filesystem::file_type::not_found) {
            if (error) break;  // the folder cannot be looked into: nothing is moved
            continue;
        }
        if (std::rename(path.GetData(), aside.c_str()) != 0) {
            std::fprintf(stderr, "appdata: %s: damaged, and it could not be kept as %s (%s); nothing is saved over it\n",
                         path.GetData(), aside.c_str(), std::strerror(errno));
            return 0;
        }
        std::fprintf(stderr, "appdata: %s was damaged; it is kept as %s\n", path.GetData(), aside.c_str());
        return 1;
    }
    std::fprintf(stderr, "appdata: %s: damaged, and no free name was found to keep it; nothing is saved over it\n",
                 path.GetData());
    return 0;
}

int CBasicApplicationData::ReadAppData_Method2(CGameBase* game) {
    TMemFilePtr file(game->CreateMemoryFileObject());
    if (!file) return 0;
    const CommonString path = AppDataPath(game);
    if (!file->OpenOnDisk(game, path.GetData(), FileMode::Read | FileMode::MayBeMissing)) {
        std::string reason;
        m_eLastLoad = ClassifyFailedOpen(path.GetData(), reason);
        if (m_eLastLoad == kAppDataCannotRead) TellCannotRead(path, reason);
        return 0;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(file->GetBuffer());
    const int ok = ReadAppDataFromBytes({bytes, static_cast<std::size_t>(file->GetSize())}, path.GetData());
    m_eLastLoad = ok ? kAppDataLoaded : kAppDataDamaged;
    return ok;
}

int CBasicApplicationData::WriteAppData_Method2(CGameBase* game) { return WriteWholeFile(game, true); }

int CBasicApplicationData::ReadAppDataFromBytes(std::span<const std::uint8_t> bytes, const char* name) {
    // A private copy: the serializer reads through a memory file, which owns its buffer.
    CMemoryFile file;
    if (!AttachCopy(file, bytes)) return 0;
    const int ok = Serialize(&file, false);
    if (!ok)
        std::fprintf(stderr, "appdata: %s: damaged near byte %d of %zu\n", name ? name : "", file.GetCurPos(),
                     bytes.size());
    return ok;
}

int CBasicApplicationData::WriteWholeFile(CGameBase* game, bool method2) {
    CGrowingFile buffer;
    const int serialised = method2 ? Serialize(&buffer, true) : WriteAppData(static_cast<IFile*>(&buffer));
    // Nothing reaches the disk unless the whole file was made: the previous save stays.
    if (!serialised) return 0;

    TMemFilePtr file(game->CreateMemoryFileObject());
    if (!file) return 0;
    const std::vector<std::uint8_t>& bytes = buffer.Bytes();
    if (!AttachCopy(*file, bytes)) return 0;
    // The flush writes from the start of the buffer up to the cursor.
    file->Seek(static_cast<long>(bytes.size()), FileSeek::Start);
    const CommonString path = AppDataPath(game);
    if (!file->FlushDataToFile(game, path.GetData())) {
        std::fprintf(stderr, "appdata: %s: could not be saved\n", path.GetData());
        return 0;
    }
    return 1;
}

// The whole-file load and save of "global.opt".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "GrowingFile.h"
#include "app/BasicApplicationData.h"
#include "app/GameBase.h"
#include "core/MemFile.h"
#include "core/SaveFolder.h"

namespace {

constexpr const char* kAppDataFileName = "global.opt";
// A damaged player-data file is kept as "global.opt.damaged.N" (KeepDamagedFileAside) before the
// first save takes its name.

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

// Why a file that did not open or arrive whole failed: absent, or there but not readable.
EAppDataLoad ClassifyFailedOpen(const char* path, std::string& reason) {
    return SaveFileCannotBeRead(path, reason) ? kAppDataCannotRead : kAppDataMissing;
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
    std::string kept, reason;
    if (KeepDamagedFileAside(path.GetData(), kept, reason)) {
        std::fprintf(stderr, "appdata: %s was damaged; it is kept as %s\n", path.GetData(), kept.c_str());
        return 1;
    }
    if (kept.empty())
        std::fprintf(stderr, "appdata: %s: damaged, and no free name was found to keep it; nothing is saved over it\n",
                     path.GetData());
    else
        std::fprintf(stderr, "appdata: %s: damaged, and it could not be kept as %s (%s); nothing is saved over it\n",
                     path.GetData(), kept.c_str(), reason.c_str());
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

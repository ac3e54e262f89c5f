// The whole-file load and save of "global.opt".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "GrowingFile.h"
#include "app/BasicApplicationData.h"
#include "app/GameBase.h"
#include "core/MemFile.h"

namespace {

constexpr const char* kAppDataFileName = "global.opt";
// Where a player-data file that could not be read goes before the first save over it.
constexpr const char* kUnreadableSuffix = ".unreadable";

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

}  // namespace

int CBasicApplicationData::ReadAppData(CGameBase* game) {
    if (game == nullptr) return 0;
    if (GetSerializeMethod() == 1) return ReadAppData_Method2(game);
    std::unique_ptr<IFile> file(game->CreateFileObject());
    if (!file) return 0;
    const CommonString path = AppDataPath(game);
    // No file yet is a first start, not an error worth a message.
    if (!file->Open(game, path.GetData(), FileMode::Read | FileMode::MayBeMissing)) return 0;
    file->Seek(0, FileSeek::Start);
    const int ok = ReadAppData(file.get());
    file->Close();
    return ok;
}

int CBasicApplicationData::WriteAppData(CGameBase* game) {
    if (game == nullptr) return 0;
    if (GetSerializeMethod() == 1) return WriteAppData_Method2(game);
    return WriteWholeFile(game, false);
}

bool CBasicApplicationData::AppDataFileExists(CGameBase* game) {
    if (game == nullptr) return false;
    std::unique_ptr<IFile> file(game->CreateFileObject());
    if (!file) return false;
    const CommonString path = AppDataPath(game);
    if (!file->Open(game, path.GetData(), FileMode::Read | FileMode::MayBeMissing)) return false;
    file->Close();
    return true;
}

int CBasicApplicationData::SetAsideAppDataFile(CGameBase* game) {
    if (game == nullptr) return 0;
    const CommonString path = AppDataPath(game);
    const CommonString aside = path + CommonString(kUnreadableSuffix);
    if (std::rename(path.GetData(), aside.GetData()) != 0) {
        std::fprintf(stderr, "appdata: %s: could not be kept as %s\n", path.GetData(), aside.GetData());
        return 0;
    }
    std::fprintf(stderr, "appdata: %s could not be read; it is kept as %s\n", path.GetData(), aside.GetData());
    return 1;
}

int CBasicApplicationData::ReadAppData_Method2(CGameBase* game) {
    TMemFilePtr file(game->CreateMemoryFileObject());
    if (!file) return 0;
    const CommonString path = AppDataPath(game);
    if (!file->OpenOnDisk(game, path.GetData(), FileMode::Read | FileMode::MayBeMissing)) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(file->GetBuffer());
    return ReadAppDataFromBytes({bytes, static_cast<std::size_t>(file->GetSize())}, path.GetData());
}

int CBasicApplicationData::WriteAppData_Method2(CGameBase* game) { return WriteWholeFile(game, true); }

int CBasicApplicationData::ReadAppDataFromBytes(std::span<const std::uint8_t> bytes, const char* name) {
    // A private copy: the serializer reads through a memory file, which owns its buffer.
    CMemoryFile file;
    if (!AttachCopy(file, bytes)) return 0;
    const int ok = Serialize(&file, false);
    if (!ok)
        std::fprintf(stderr, "appdata: %s: unreadable near byte %d of %zu\n", name ? name : "", file.GetCurPos(),
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

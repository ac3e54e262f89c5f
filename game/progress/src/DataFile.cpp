#include "game/progress/DataFile.h"

#include "app/GameBase.h"
#include "core/MemFile.h"

bool ReadPakDataFile(CGameBase* game, const CommonString& path, const std::function<bool(IFile*)>& read) {
    if (game == nullptr) return false;
    CMemoryFile* file = game->CreateMemoryFileObject();
    if (file == nullptr) return false;
    if (!file->Open(game, path.GetData(), FileMode::Read)) {
        delete file;
        return false;
    }
    const bool ok = read(file);
    file->Close();
    delete file;
    return ok;
}

// Opening a data file of the paks for one of the progression readers.
#pragma once

#include "app/GameBase.h"
#include "core/File.h"
#include "core/MemFile.h"

// Opens path (looked up in the paks) as a memory file of the game and hands it to read, then
// closes and deletes it. False without a game or when the path cannot be opened; else what
// read(IFile*) answers.
template <class Read>
bool ReadDataFile(CGameBase* game, const CommonString& path, Read read) {
    if (game == nullptr) return false;
    CMemoryFile* file = game->CreateMemoryFileObject();
    if (file == nullptr) return false;
    bool ok = false;
    if (file->Open(game, path.GetDataConst(), FileMode::Read)) ok = read(static_cast<IFile*>(file));
    file->Close();
    delete file;
    return ok;
}

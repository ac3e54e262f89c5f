// The pak search that memory files and in-place pak members share.
#pragma once

#include "core/FileHost.h"
#include "core/ZipFile.h"

// Looks `name` up in the game's paks in order: common, resolution (skipped in single-pak mode),
// optional. A missing reader on that road ends the search. Returns the reader holding the member
// and sets *entry to its index, or null when the member is not there to be found.
inline CBBZipFileReader* FindInPaks(IFileHost* game, const char* name, int* entry) {
    const TPakSet& paks = game->Paks();
    CBBZipFileReader* const readers[3] = {paks.m_pCommonPak, paks.m_pResolutionPak, paks.m_pOptionalPak};
    for (int r = 0; r < 3; ++r) {
        if (r == 1 && paks.m_bSinglePak) continue;
        if (readers[r] == nullptr) return nullptr;
        if (readers[r]->IndexFromName(name, entry) == ZipResult::Ok) return readers[r];
    }
    return nullptr;
}

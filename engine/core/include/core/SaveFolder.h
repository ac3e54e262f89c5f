// Saves write beside their target and rename into place; both need the target's folder, and the
// rename only protects the player when the bytes under it are on the disk. A save file found
// unreadable or damaged is the player's only copy: these helpers tell the two apart and keep a
// damaged one under a name of its own, so that no save ever takes its place unseen.
#pragma once

#include <string>

// Creates the folder of the file at `path` with its parents when they are missing, so that the
// first save into a fresh save directory is not lost. A folder that cannot be made is left to
// the open that follows, which then fails and says so.
void CreateFolderFor(const char* path);

// Puts the finished, closed temporary file `temp` in the place of `path`: its bytes are flushed
// to the disk first, then it is renamed over `path`, then the folder is flushed so that the
// rename itself survives a power cut. At every moment the disk holds the old file or the new
// one, never an empty or half-written one. False (and `temp` removed, `path` untouched) when the
// flush or the rename fails; a folder that cannot be flushed after the rename is only told.
[[nodiscard]] bool ReplaceFileDurably(const char* temp, const char* path);

// Asked after a save file did not open or did not read whole: false when nothing is at `path`
// (a missing file, or a link to nothing), true when something is there but cannot be read whole;
// `reason` then holds the system's reason, asked again of the path.
[[nodiscard]] bool SaveFileCannotBeRead(const char* path, std::string& reason);

// Renames the file at `path` to `path` + ".damaged.N", N the first number from 1 up that no
// file, folder or link holds, so a kept copy is never replaced. True with the new name in
// `kept`; false (the file left where it is) with the reason in `reason` when no free name is
// found or the rename fails.
[[nodiscard]] bool KeepDamagedFileAside(const char* path, std::string& kept, std::string& reason);

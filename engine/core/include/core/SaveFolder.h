// Saves write beside their target and rename into place; both need the target's folder, and the
// rename only protects the player when the bytes under it are on the disk.
#pragma once

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

// Saves write beside their target and rename into place; both need the target's folder.
#pragma once

// Creates the folder of the file at `path` with its parents when they are missing, so that the
// first save into a fresh save directory is not lost. A folder that cannot be made is left to
// the open that follows, which then fails and says so.
void CreateFolderFor(const char* path);

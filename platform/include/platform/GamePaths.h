// Where the game's relative paths lie on this machine. The game names its files as on the phone,
// relative to the application: the resource pak "app/native/assets/_game_bb.pak" and the save
// folder "data/". On the phone both lie in the application's sandbox; here the pak lies beside
// the built program (the build tree) and the saves in the user's data folder, so that they
// survive rebuilds and `make clean`. The save folder comes from the settings (COBBLE_SAVE_DIR,
// see Settings.h), which tests and scripted runs point at a folder of their own.
//
// Threads: any (the program's folder is worked out once, on first use).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The folder of the running program, ending in '/'; empty when the system cannot tell (paths
// then stay relative to the working directory).
const std::string& ProgramDirectory();

// The folder the game's "data/" stands for: the settings' save folder, ending in '/'.
std::string SaveDirectory();

// The save folder when COBBLE_SAVE_DIR is not set, from these two environment values (either may
// be null or empty): $XDG_DATA_HOME/cobblebrooks/data/ when that is an absolute path, else
// $HOME/.local/share/cobblebrooks/data/, else "data/" in the working directory.
std::string DefaultSaveDirectory(const char* xdgDataHome, const char* home);

// A resource path as the file system finds it: an absolute path unchanged, a relative one below
// ProgramDirectory().
std::string ResolveResourcePath(std::string_view path);

// The game's save folder "data/" and the paths below it moved into SaveDirectory(); any other
// path is returned unchanged.
std::string ResolveSavePath(std::string_view path);

}  // namespace platform

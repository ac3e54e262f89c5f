#include "platform/GamePaths.h"

#include <unistd.h>

#include <climits>

#include "platform/Settings.h"

namespace platform {
namespace {

constexpr std::string_view kGameSaveFolder = "data/";

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string FindProgramDirectory() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    const std::string_view exe(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string_view::npos) return {};
    return std::string(exe.substr(0, slash + 1));
}

}  // namespace

const std::string& ProgramDirectory() {
    static const std::string folder = FindProgramDirectory();
    return folder;
}

std::string SaveDirectory() { return WithSlash(CurrentSettings().saveDir); }

std::string DefaultSaveDirectory(const char* xdgDataHome, const char* home) {
    // The XDG rule: a relative XDG_DATA_HOME is invalid and must be ignored.
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return WithSlash(xdgDataHome) + "cobblebrooks/data/";
    if (home != nullptr && home[0] != '\0') return WithSlash(home) + ".local/share/cobblebrooks/data/";
    return std::string(kGameSaveFolder);
}

std::string ResolveResourcePath(std::string_view path) {
    if (path.starts_with('/')) return std::string(path);
    return ProgramDirectory() + std::string(path);
}

std::string ResolveSavePath(std::string_view path) {
    if (!path.starts_with(kGameSaveFolder)) return std::string(path);
    return SaveDirectory() + std::string(path.substr(kGameSaveFolder.size()));
}

}  // namespace platform

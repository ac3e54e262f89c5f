#include "SaveFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// fsync through a descriptor of its own: the writer's stream is closed by now, and the kernel
// flushes the file's pages whichever descriptor asks. O_DIRECTORY for the folder.
bool SyncPath(const char* path, bool folder) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0) return false;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    const int error = errno;
    ::close(fd);
    errno = error;
    return rc == 0;
}

}  // namespace

void CreateFolderFor(const char* path) {
    if (path == nullptr) return;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
}

bool ReplaceFileDurably(const char* temp, const char* path) {
    if (temp == nullptr || path == nullptr) return false;
    if (!SyncPath(temp, false)) {
        std::fprintf(stderr, "save: %s: could not be flushed to the disk (%s)\n", temp, std::strerror(errno));
        std::remove(temp);
        return false;
    }
    if (std::rename(temp, path) != 0) {
        std::remove(temp);
        return false;
    }
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (!SyncPath(folder.c_str(), true))
        std::fprintf(stderr, "save: %s: the folder could not be flushed after the rename (%s)\n", folder.c_str(),
                     std::strerror(errno));
    return true;
}

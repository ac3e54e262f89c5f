#include "core/SaveFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
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

// More kept copies than this and the folder is left alone: nothing more is moved.
constexpr int kMaxDamagedCopies = 999;

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

bool SaveFileCannotBeRead(const char* path, std::string& reason) {
    if (path == nullptr) return false;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return false;
    errno = 0;
    std::FILE* probe = std::fopen(path, "rb");
    if (probe == nullptr) {
        reason = std::strerror(errno != 0 ? errno : EIO);
        return true;
    }
    char block[4096];
    errno = 0;
    while (std::fread(block, 1, sizeof block, probe) == sizeof block) {}
    // A read that stopped short of the end failed, whether or not the stream kept the error.
    const int readError = std::ferror(probe) || !std::feof(probe) ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(probe);
    reason = readError != 0 ? std::strerror(readError) : (error ? error.message() : "a read error");
    return true;
}

bool KeepDamagedFileAside(const char* path, std::string& kept, std::string& reason) {
    if (path == nullptr) return false;
    for (int n = 1; n <= kMaxDamagedCopies; ++n) {
        const std::string aside = std::string(path) + ".damaged." + std::to_string(n);
        std::error_code error;
        // A name taken by anything, even a dangling link, is not free: no kept copy is replaced.
        const std::filesystem::file_status taken = std::filesystem::symlink_status(aside, error);
        if (taken.type() != std::filesystem::file_type::not_found) {
            if (error) break;  // the folder cannot be looked into: nothing is moved
            continue;
        }
        if (std::rename(path, aside.c_str()) != 0) {
            kept = aside;
            reason = std::strerror(errno);
            return false;
        }
        kept = aside;
        return true;
    }
    kept.clear();
    reason = "no free name was found";
    return false;
}

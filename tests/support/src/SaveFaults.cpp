#include "testsupport/SaveFaults.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

namespace {
bool g_RenameFails = false;
bool g_FsyncFails = false;
std::mutex g_JournalLock;
bool g_Journaling = false;
std::vector<std::string> g_Journal;

void Note(const std::string& line) {
    std::lock_guard<std::mutex> hold(g_JournalLock);
    if (g_Journaling) g_Journal.push_back(line);
}

std::string PathOfDescriptor(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string("?");
}
}  // namespace

void SetRenameFails(bool fails) { g_RenameFails = fails; }
void SetFsyncFails(bool fails) { g_FsyncFails = fails; }

void StartFileJournal() {
    std::lock_guard<std::mutex> hold(g_JournalLock);
    g_Journal.clear();
    g_Journaling = true;
}

std::vector<std::string> StopFileJournal() {
    std::lock_guard<std::mutex> hold(g_JournalLock);
    g_Journaling = false;
    return std::move(g_Journal);
}

// A save flushes its finished temporary file and, after the rename, its folder.
extern "C" int fsync(int fd) {
    Note("fsync " + PathOfDescriptor(fd));
    if (g_FsyncFails) {
        errno = EIO;
        return -1;
    }
    using TFsync = int (*)(int);
    static const auto real = reinterpret_cast<TFsync>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

// The save's last step renames the finished temporary file over the old one; this definition in
// the test program is found before the C library's.
extern "C" int rename(const char* from, const char* to) noexcept {
    Note(std::string("rename ") + from + " -> " + to);
    if (g_RenameFails) {
        errno = EIO;
        return -1;
    }
    using TRename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<TRename>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

// Preloaded into the real program by the hostile-save runs. Built without sanitizers; the runs
// that preload it tell AddressSanitizer not to insist on coming first.
//
// COBBLE_FAULT_EIO_PATH: every fread of the one file named fails with EIO, as a disk with a bad
// sector does.
//
// COBBLE_FAULT_DIR: the file operations on files in that folder (fopen, fread, fwrite, fclose,
// rename, remove, unlink, open, fsync) are counted from 1 in the order the program makes them.
// With COBBLE_FAULT_LOG each is appended to that file as "<n> <operation> <path>". With
// COBBLE_FAULT_AT=n and COBBLE_FAULT_KIND, operation n fails once with EIO, ENOSPC or EACCES (its
// errno; nothing of it is done), or the program is killed (KILL) as it begins.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <class F>
F Real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// What the environment asks; read once.
struct TFaults {
    std::string dir;
    std::string log;
    long at = 0;
    int error = 0;  // the errno to fail with; 0 with kill set
    bool kill = false;
    long count = 0;
    bool busy = false;  // the shim's own log writes are not counted
};

TFaults& Faults() {
    static TFaults faults = [] {
        TFaults f;
        if (const char* d = std::getenv("COBBLE_FAULT_DIR")) {
            // The descriptors' paths come back with links resolved: so is the folder's.
            char resolved[PATH_MAX];
            f.dir = ::realpath(d, resolved) != nullptr ? resolved : d;
            while (f.dir.size() > 1 && f.dir.back() == '/') f.dir.pop_back();
        }
        if (const char* l = std::getenv("COBBLE_FAULT_LOG")) f.log = l;
        if (const char* a = std::getenv("COBBLE_FAULT_AT")) f.at = std::atol(a);
        const char* kind = std::getenv("COBBLE_FAULT_KIND");
        const std::string k = kind != nullptr ? kind : "";
        f.kill = k == "KILL";
        f.error = k == "ENOSPC" ? ENOSPC : k == "EACCES" ? EACCES : k == "EIO" ? EIO : 0;
        return f;
    }();
    return faults;
}

std::string PathOfDescriptor(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

std::string PathOfStream(std::FILE* stream) { return stream != nullptr ? PathOfDescriptor(fileno(stream)) : ""; }

// Counts an operation on `path` when it lies in the watched folder: false when it is to fail
// (errno set); does not return when it is to be killed.
bool Allowed(const char* operation, const std::string& path) {
    TFaults& f = Faults();
    // The folder itself (flushed after a rename) and what lies in it.
    const bool inFolder =
        path.compare(0, f.dir.size(), f.dir) == 0 && (path.size() == f.dir.size() || path[f.dir.size()] == '/');
    if (f.dir.empty() || f.busy || !inFolder) return true;
    const long n = ++f.count;
    if (!f.log.empty()) {
        f.busy = true;
        using TFopen = std::FILE* (*)(const char*, const char*);
        static const auto realFopen = Real<TFopen>("fopen");
        if (std::FILE* log = realFopen(f.log.c_str(), "a")) {
            std::fprintf(log, "%ld %s %s\n", n, operation, path.c_str());
            std::fclose(log);
        }
        f.busy = false;
    }
    if (n != f.at) return true;
    if (f.kill) ::kill(::getpid(), SIGKILL);
    errno = f.error != 0 ? f.error : EIO;
    return false;
}

// A path as given, made absolute against the working folder so it compares with the folder.
std::string Absolute(const char* path) {
    if (path == nullptr) return "";
    if (path[0] == '/') return path;
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) + "/" + path : std::string(path);
}

bool SameFile(std::FILE* stream, const char* target) {
    struct stat opened {};
    struct stat named {};
    return target != nullptr && stream != nullptr && fstat(fileno(stream), &opened) == 0 && stat(target, &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

extern "C" std::size_t fread(void* out, std::size_t size, std::size_t count, std::FILE* stream) {
    using TFread = std::size_t (*)(void*, std::size_t, std::size_t, std::FILE*);
    static const auto real = Real<TFread>("fread");
    if (SameFile(stream, std::getenv("COBBLE_FAULT_EIO_PATH"))) {
        errno = EIO;
        return 0;
    }
    if (!Allowed("fread", PathOfStream(stream))) return 0;
    return real(out, size, count, stream);
}

extern "C" std::size_t fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* stream) {
    using TFwrite = std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*);
    static const auto real = Real<TFwrite>("fwrite");
    if (!Allowed("fwrite", PathOfStream(stream))) return 0;
    return real(data, size, count, stream);
}

extern "C" std::FILE* fopen(const char* path, const char* mode) {
    using TFopen = std::FILE* (*)(const char*, const char*);
    static const auto real = Real<TFopen>("fopen");
    if (!Allowed(mode != nullptr && mode[0] == 'r' ? "fopen-read" : "fopen-write", Absolute(path))) return nullptr;
    return real(path, mode);
}

extern "C" std::FILE* fopen64(const char* path, const char* mode) {
    using TFopen = std::FILE* (*)(const char*, const char*);
    static const auto real = Real<TFopen>("fopen64");
    if (!Allowed(mode != nullptr && mode[0] == 'r' ? "fopen-read" : "fopen-write", Absolute(path))) return nullptr;
    return real(path, mode);
}

// A close that fails still releases the stream, as the C library's does; what it had buffered
// is lost.
extern "C" int fclose(std::FILE* stream) {
    using TFclose = int (*)(std::FILE*);
    static const auto real = Real<TFclose>("fclose");
    if (!Allowed("fclose", PathOfStream(stream))) {
        const int error = errno;
        (void)::close(fileno(stream));
        (void)real(stream);
        errno = error;
        return EOF;
    }
    return real(stream);
}

extern "C" int rename(const char* from, const char* to) {
    using TRename = int (*)(const char*, const char*);
    static const auto real = Real<TRename>("rename");
    if (!Allowed("rename", Absolute(to))) return -1;
    return real(from, to);
}

extern "C" int remove(const char* path) {
    using TRemove = int (*)(const char*);
    static const auto real = Real<TRemove>("remove");
    if (!Allowed("remove", Absolute(path))) return -1;
    return real(path);
}

extern "C" int unlink(const char* path) {
    using TUnlink = int (*)(const char*);
    static const auto real = Real<TUnlink>("unlink");
    if (!Allowed("unlink", Absolute(path))) return -1;
    return real(path);
}

extern "C" int fsync(int fd) {
    using TFsync = int (*)(int);
    static const auto real = Real<TFsync>("fsync");
    if (!Allowed("fsync", PathOfDescriptor(fd))) return -1;
    return real(fd);
}

extern "C" int open(const char* path, int flags, ...) {
    using TOpen = int (*)(const char*, int, ...);
    static const auto real = Real<TOpen>("open");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (!Allowed("open", Absolute(path))) return -1;
    return real(path, flags, mode);
}

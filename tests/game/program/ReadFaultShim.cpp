// Preloaded into the real program by the hostile-save runs: every fread of the one file named by
// COBBLE_FAULT_EIO_PATH fails with EIO, as a disk with a bad sector does. Built without
// sanitizers; the runs that preload it tell AddressSanitizer not to insist on coming first.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

extern "C" std::size_t fread(void* out, std::size_t size, std::size_t count, std::FILE* stream) {
    using TFread = std::size_t (*)(void*, std::size_t, std::size_t, std::FILE*);
    static const auto real = reinterpret_cast<TFread>(dlsym(RTLD_NEXT, "fread"));
    const char* target = std::getenv("COBBLE_FAULT_EIO_PATH");
    struct stat opened {};
    struct stat named {};
    if (target != nullptr && stream != nullptr && fstat(fileno(stream), &opened) == 0 && stat(target, &named) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
        errno = EIO;
        return 0;
    }
    return real(out, size, count, stream);
}

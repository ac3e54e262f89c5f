#include "testsupport/SaveFaults.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>

namespace {
bool g_RenameFails = false;
}  // namespace

void SetRenameFails(bool fails) { g_RenameFails = fails; }

// The save's last step renames the finished temporary file over the old one; this definition in
// the test program is found before the C library's.
extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_RenameFails) {
        errno = EIO;
        return -1;
    }
    using TRename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<TRename>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

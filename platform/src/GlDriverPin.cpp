#include "GlDriverPin.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

int CollectDrivers(dl_phdr_info* info, size_t, void* data) {
    const char* name = info->dlpi_name;
    if (name && std::strstr(name, "_dri.so")) static_cast<std::vector<std::string>*>(data)->emplace_back(name);
    return 0;
}

}  // namespace

void PinLoadedGlDrivers() {
    static std::vector<std::string> pinned;
    std::vector<std::string> loaded;
    dl_iterate_phdr(CollectDrivers, &loaded);
    for (const std::string& path : loaded) {
        bool known = false;
        for (const std::string& p : pinned) known = known || p == path;
        if (known) continue;
        // RTLD_NOLOAD: only marks the already loaded driver; the handle is never closed on purpose.
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) pinned.push_back(path);
    }
}

}  // namespace platform

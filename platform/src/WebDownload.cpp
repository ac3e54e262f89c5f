#include "platform/WebDownload.h"

#include <atomic>

#include "platform/Settings.h"

namespace {

int NoWebAccess(const char* /*address*/, unsigned char* /*buffer*/, int /*capacity*/, int* size) {
    static std::atomic_flag told = ATOMIC_FLAG_INIT;
    if (!told.test_and_set()) platform::Notice("no web access, downloads return nothing");
    *size = 0;
    return 0;
}

// Read by the workers that download, written by whoever installs a function.
std::atomic<platform::WebDownloadFunction> g_download{&NoWebAccess};

}  // namespace

namespace platform {

WebDownloadFunction SetWebDownloadFunction(WebDownloadFunction download) {
    return g_download.exchange(download != nullptr ? download : &NoWebAccess);
}

}  // namespace platform

int DownloadDataFromURL(const char* address, unsigned char* buffer, int capacity, int* size) {
    if (size != nullptr) *size = 0;
    if (address == nullptr || buffer == nullptr || size == nullptr || capacity < 1) return 0;
    const int result = g_download.load()(address, buffer, capacity, size);
    // A download never reports more than it was given room for.
    if (result == 0 || *size < 0 || *size > capacity) {
        *size = 0;
        return 0;
    }
    return result;
}

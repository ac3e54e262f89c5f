// The JPEG stream reader of the news pictures: a JPEG read through an open file in 4096-byte
// steps into a software bitmap, in the orientation the first byte picks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/MemFile.h"
#include "render/ImageLoaders.h"
#include "render/WinDibBitmap.h"
#include "testsupport/FakeRenderHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    CFakeRenderHost host;
    host.m_Screen.m_nOrientationMode = data[0] % 3;
    CMemoryFile file;
    void* copy = std::malloc(size - 1 ? size - 1 : 1);
    if (size > 1) std::memcpy(copy, data + 1, size - 1);
    (void)file.Attach(copy, static_cast<int>(size - 1));
    IDibBitmap* bitmap = ImageLoad_JPG_FromStream(&host, &file, nullptr);
    if (!bitmap) return 0;
    auto* soft = static_cast<CWinDibBitmap*>(bitmap);
    // Touch the plane's last byte so ASan checks its size against the sizes the bitmap reports.
    const std::size_t bytes = static_cast<std::size_t>(soft->GetStoredWidth()) *
                              static_cast<std::size_t>(soft->GetStoredHeight()) * soft->GetBytesPerPixel();
    if (bytes > 0 && soft->GetBits()) {
        volatile std::uint8_t last = static_cast<const std::uint8_t*>(soft->GetBits())[bytes - 1];
        (void)last;
    }
    delete bitmap;
    return 0;
}

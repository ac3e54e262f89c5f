#include "platform/HeapReuse.h"

#include <malloc.h>

namespace platform {

void KeepFreedHeapForReuse() {
    // Setting either threshold stops glibc from adjusting the mmap threshold by itself, so it is
    // set too: blocks of up to 4 MiB come from the heap and are reused, larger ones (decoded
    // images, the pak's buffers) are still mapped apart and given back when freed.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kHeapMappedFromBytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapKeptBytes));
}

}  // namespace platform

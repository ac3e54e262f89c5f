// The news cache (news.fed) and the feed text from outside bytes, through the readers the news
// engine uses. A cache that is taken must keep within the engine's tables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/MemFile.h"
#include "game/news/NewsManager.h"

namespace {

// A memory file holding a malloc copy of the bytes.
bool Load(CMemoryFile& file, const std::uint8_t* data, std::size_t size) {
    void* block = std::malloc(size > 0 ? size : 1);
    if (block == nullptr) return false;
    if (size > 0) std::memcpy(block, data, size);
    return file.Attach(block, static_cast<int>(size)) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CHollowfenNewsManager news(nullptr);
    news.m_ApplicationId = "Cobblebrooks";
    CMemoryFile cache;
    if (!Load(cache, data, size)) return 0;
    if (news.Serialize(&cache, false)) {
        if (news.m_nLocalCount < 0 || news.m_nLocalCount > kMaxNewsItems) __builtin_trap();
        for (int i = 0; i < news.m_nLocalCount; ++i) {
            const NewsRecord& item = news.m_LocalItems[i];
            if (item.pictureCount < 1 || item.pictureCount > kMaxNewsPictures) __builtin_trap();
            for (int p = 0; p < item.pictureCount; ++p)
                if (item.localName[p].Length() > 0 && !IsNewsPictureName(item.localName[p].GetData())) __builtin_trap();
        }
    } else if (news.m_nLocalCount != 0) {
        __builtin_trap();
    }
    CMemoryFile feed;
    if (!Load(feed, data, size)) return 0;
    (void)news.ParseNewsFromFile(&feed);
    if (news.m_nDownloadedCount < 0 || news.m_nDownloadedCount > kMaxNewsItems) __builtin_trap();
    news.UpdateLocalRecords();
    if (news.m_nLocalCount > kMaxNewsItems) __builtin_trap();
    return 0;
}

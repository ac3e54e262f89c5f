// news.fed: the kept items and the date of the last merge, in the save folder.
#include <new>

#include "app/GameBase.h"
#include "core/MemFile.h"
#include "core/Serializer.h"
#include "game/news/NewsManager.h"

namespace {

constexpr int kCacheVersion = 1;
constexpr unsigned kCacheBufferSize = 65536;

// The whole cache as one walk over the serializer, in the file's field order.
void Walk(SerializeHelper2& s, int* lastUpdate, int& count, NewsRecord* items, bool& sane) {
    int version = kCacheVersion;
    s.Serialize(version);
    for (int i = 0; i < 3; ++i) s.Serialize(lastUpdate[i]);
    s.Serialize(count);
    // A count past the table would write past it: the file is refused before anything is read.
    if (count < 0 || count > kMaxNewsItems) {
        sane = false;
        return;
    }
    for (int n = 0; n < count; ++n) {
        NewsRecord& item = items[n];
        s.Serialize(item.id);
        s.Serialize(item.pictureCount);
        if (item.pictureCount < 1 || item.pictureCount > kMaxNewsPictures) {
            sane = false;
            return;
        }
        s.Serialize(item.url);
        s.Serialize(item.showCount);
        s.Serialize(item.shown);
        for (int p = 0; p < item.pictureCount; ++p) {
            s.Serialize(item.pictureURL[p]);
            s.Serialize(item.localName[p]);
            s.Serialize(item.time[p]);
            s.Serialize(item.fade[p]);
            // Local names are deleted under the save folder later: only the engine's own form.
            const CommonString& name = item.localName[p];
            if (name.Length() > 0 && !IsNewsPictureName(name.GetData())) {
                sane = false;
                return;
            }
        }
    }
}

}  // namespace

bool CHollowfenNewsManager::Serialize(IFile* file, bool save) {
    if (file == nullptr) return false;
    SerializeHelper2 s{file, true, save, 0};
    bool sane = true;
    if (save) {
        std::lock_guard<std::mutex> lock(m_Lock);
        Walk(s, m_LastUpdate, m_nLocalCount, m_LocalItems, sane);
        return sane && s.Succeeded();
    }
    // Read into a scratch table and take it only when all of it is whole and within the limits.
    auto* items = new (std::nothrow) NewsRecord[kMaxNewsItems];
    if (items == nullptr) return false;
    int lastUpdate[3] = {0, 0, 0};
    int count = 0;
    Walk(s, lastUpdate, count, items, sane);
    const bool ok = sane && s.Succeeded();
    std::lock_guard<std::mutex> lock(m_Lock);
    if (ok) {
        for (int i = 0; i < 3; ++i) m_LastUpdate[i] = lastUpdate[i];
        for (int i = 0; i < kMaxNewsItems; ++i) {
            m_LocalItems[i] = i < count ? items[i] : NewsRecord();
            m_SeenThisRun[i] = 0;
        }
        m_nLocalCount = count;
    } else {
        m_LastUpdate[0] = m_LastUpdate[1] = m_LastUpdate[2] = 0;
        m_nLocalCount = 0;
    }
    delete[] items;
    return ok;
}

bool CHollowfenNewsManager::SerializeData(bool save) {
    if (m_pGame == nullptr) return false;
    const CommonString path = m_pGame->GetSaveDirectory() + CommonString("news.fed");
    CMemoryFile* file = m_pGame->CreateMemoryFileObject();
    if (file == nullptr) return false;
    bool ok;
    if (save) {
        ok = file->Create(kCacheBufferSize) && Serialize(file, true) && file->FlushDataToFile(m_pGame, path.GetData());
    } else {
        // No cache before the first news arrived: its absence is the normal first start.
        ok = file->OpenOnDisk(m_pGame, path.GetData(), FileMode::Read | FileMode::MayBeMissing) &&
             Serialize(file, false);
        if (!ok) {
            std::lock_guard<std::mutex> lock(m_Lock);
            m_LastUpdate[0] = m_LastUpdate[1] = m_LastUpdate[2] = 0;
            m_nLocalCount = 0;
        }
    }
    file->Close();
    delete file;
    return ok;
}

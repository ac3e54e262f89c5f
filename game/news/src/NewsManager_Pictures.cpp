// An item's pictures: downloaded into the save folder on one worker, decoded on another.
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "app/GameBase.h"
#include "core/MemFile.h"
#include "game/news/NewsManager.h"
#include "platform/WebDownload.h"
#include "render/ImageLoaders.h"

namespace {

// One or more decimal digits at `text`, optionally after a '-'; the position after them, or null.
const char* SkipInt(const char* text) {
    if (*text == '-') ++text;
    const char* digits = text;
    while (std::isdigit(static_cast<unsigned char>(*text))) ++text;
    return text == digits ? nullptr : text;
}

}  // namespace

bool IsNewsPictureName(const char* name) {
    if (name == nullptr || std::strncmp(name, "news_", 5) != 0) return false;
    const char* p = SkipInt(name + 5);
    if (p == nullptr || *p != '_') return false;
    p = SkipInt(p + 1);
    return p != nullptr && std::strcmp(p, ".jpg") == 0;
}

bool CHollowfenNewsManager::NeedToDownloadPicsForLocked(int item) {
    if (item < 0 || item >= m_nLocalCount) return false;
    const NewsRecord& record = m_LocalItems[item];
    const int count = record.pictureCount < kMaxNewsPictures ? record.pictureCount : kMaxNewsPictures;
    for (int i = 0; i < count && record.pictureURL[i].Length() > 0; ++i)
        if (record.localName[i].Length() == 0) return true;
    return false;
}

bool CHollowfenNewsManager::NeedToDownloadPicsFor(int item) {
    std::lock_guard<std::mutex> lock(m_Lock);
    return NeedToDownloadPicsForLocked(item);
}

bool CHollowfenNewsManager::DownloadFile(const CommonString& address, const CommonString& path) {
    auto* buffer = static_cast<unsigned char*>(std::malloc(kNewsDownloadCapacity));
    if (buffer == nullptr) return false;
    int size = 0;
    const CommonString full = m_BaseAddress + address;
    if (!DownloadDataFromURL(full.GetData(), buffer, kNewsDownloadCapacity, &size) || size == 0) {
        std::free(buffer);
        return false;
    }
    // Written through a temporary file and renamed, so a picture is either whole or absent.
    CMemoryFile file;
    (void)file.Attach(buffer, size);
    (void)file.Seek(0, FileSeek::End);
    const bool ok = file.FlushDataToFile(m_pGame, path.GetData()) != 0;
    file.Close();
    return ok;
}

void CHollowfenNewsManager::DownladNewsItemPics(int item) {
    for (int i = 0; i < kMaxNewsPictures; ++i) {
        CommonString address, name;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            if (item < 0 || item >= m_nLocalCount) return;
            const NewsRecord& record = m_LocalItems[item];
            if (i >= record.pictureCount || record.pictureURL[i].Length() == 0) return;
            if (record.localName[i].Length() > 0) continue;
            address = record.pictureURL[i];
            CommonString idPart, indexPart;
            idPart.Format("news_%d", record.id);
            indexPart.Format("_%d.jpg", i);
            name = idPart + indexPart;
        }
        if (m_pGame == nullptr || !DownloadFile(address, m_pGame->GetSaveDirectory() + name)) {
            m_bConnectionError = true;
            return;
        }
        std::lock_guard<std::mutex> lock(m_Lock);
        if (item < m_nLocalCount) m_LocalItems[item].localName[i] = name;
    }
}

void CHollowfenNewsItemDownloader::Run() {
    int item;
    {
        std::lock_guard<std::mutex> lock(m_pOwner->m_Lock);
        item = m_pOwner->m_nCurrentItem;
    }
    m_pOwner->DownladNewsItemPics(item);
    if (m_pOwner->m_bFreezeRequest) m_pOwner->FreeAllMemFromWorker();
    m_pOwner->m_bItemDownloadRunning = false;
}

void CHollowfenNewsManager::LoadLoacalPicturesForCurrentItem() {
    int id = 0;
    int count = 0;
    CommonString names[kMaxNewsPictures];
    IDibBitmap* bitmaps[kMaxNewsPictures] = {};
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return;
        const NewsRecord& record = m_LocalItems[m_nCurrentItem];
        if (m_nLoadedPicturesId == record.id) return;
        id = record.id;
        count = record.pictureCount < kMaxNewsPictures ? record.pictureCount : kMaxNewsPictures;
        if (count > m_Pictures.count) count = m_Pictures.count;
        for (int i = 0; i < count; ++i) {
            names[i] = record.localName[i];
            bitmaps[i] = m_Pictures[i];
        }
    }
    // The bitmaps were made by the main thread for this run and nobody else touches them until
    // the loaded id says they are done. The decode creates no texture and reads no game switch.
    for (int i = 0; i < count; ++i) {
        if (names[i].Length() == 0 || m_pGame == nullptr) return;
        CMemoryFile file;
        const CommonString path = m_pGame->GetSaveDirectory() + names[i];
        if (!file.OpenOnDisk(m_pGame, path.GetData(), FileMode::Read)) return;
        const bool decoded = ImageLoad_JPG_FromStream(m_pGame, &file, bitmaps[i]) != nullptr;
        file.Close();
        if (!decoded) return;
    }
    std::lock_guard<std::mutex> lock(m_Lock);
    if (count == m_Pictures.count) m_nLoadedPicturesId = id;
}

void CHollowfenNewsItemLoader::Run() {
    m_pOwner->LoadLoacalPicturesForCurrentItem();
    if (m_pOwner->m_bFreezeRequest) m_pOwner->FreeAllMemFromWorker();
    m_pOwner->m_bItemLoadRunning = false;
}

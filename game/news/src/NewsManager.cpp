// The news engine's life cycle, counts, navigation and slideshow.
#include "game/news/NewsManager.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/GameBase.h"
#include "platform/Clock.h"
#include "render/DibBitmap.h"

namespace {

// The publisher's news folder. The host is a reserved example name: this platform downloads
// nothing, and no real address belongs in the game.
constexpr const char* kNewsBaseAddress = "http://www.hollowfen.example/news/iphone/";

// What a new record links to until a feed gives it its own addresses.
constexpr const char* kPlaceholderUrl = "www.hollowfen.example";
constexpr const char* kPlaceholderPicture = "placeholder.jpg";

}  // namespace

NewsRecord::NewsRecord() : url(kPlaceholderUrl) {
    for (int i = 0; i < kMaxNewsPictures; ++i) {
        pictureURL[i] = kPlaceholderPicture;
        time[i] = 132;
        fade[i] = 16;
    }
}

void CopyNews(NewsRecord& to, const NewsRecord& from) {
    to.url = from.url;
    to.id = from.id;
    to.showCount = from.showCount;
    to.shown = from.shown;
    to.pictureCount = from.pictureCount;
    for (int i = 0; i < kMaxNewsPictures; ++i) {
        to.pictureURL[i] = from.pictureURL[i];
        to.localName[i] = from.localName[i];
        to.time[i] = from.time[i];
        to.fade[i] = from.fade[i];
    }
}

CHollowfenNewsManager::CHollowfenNewsManager(CGameBase* game) : m_pGame(game) {
    m_FeedDownloader.m_pOwner = this;
    m_ItemDownloader.m_pOwner = this;
    m_ItemLoader.m_pOwner = this;
}

CHollowfenNewsManager::~CHollowfenNewsManager() {
    // A worker may be inside a download: wait for it, so that nothing it writes outlives us and
    // the merge it may still make is in the saved cache.
    JoinWorkers();
    if (m_bInitialised) (void)SerializeData(true);
    std::lock_guard<std::mutex> lock(m_Lock);
    FreeAllMemLocked();
    m_RetiredPictures.RemoveAll();
}

void CHollowfenNewsManager::JoinWorkers() {
    m_FeedDownloader.Join();
    m_ItemDownloader.Join();
    m_ItemLoader.Join();
}

int CHollowfenNewsManager::Init(const char* applicationId) {
    m_ApplicationId = applicationId;
    m_BaseAddress = kNewsBaseAddress;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_nCurrentItem = 0;
        m_nLoadedPicturesId = -1;
        m_nTick = 0;
        m_bPicturesReady = false;
        m_bCycledOnce = false;
    }
    m_bFeedFailed = m_bFeedThreadRunning = m_bItemDownloadRunning = m_bItemLoadRunning = false;
    m_bRecordsUpdating = m_bFreezeRequest = m_bConnectionError = false;
    if (!SerializeData(false)) {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_LastUpdate[0] = m_LastUpdate[1] = m_LastUpdate[2] = 0;
        m_nLocalCount = 0;
    } else {
        std::lock_guard<std::mutex> lock(m_Lock);
        SelectBestNewsItemToShowLocked();
    }
    int today[3];
    GetDateData(today);
    if (today[0] != m_LastUpdate[0] || today[1] != m_LastUpdate[1] || today[2] != m_LastUpdate[2]) {
        m_bFeedThreadRunning = true;
        if (m_FeedDownloader.Launch() != 0) m_bFeedThreadRunning = false;
    }
    m_bInitialised = true;
    return 1;
}

void CHollowfenNewsManager::GetDateData(int* date) { platform::ClockLocalDate(date[0], date[1], date[2]); }

void CHollowfenNewsManager::SLEEP(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int CHollowfenNewsManager::GetNumNews() {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_nLocalCount;
}

int CHollowfenNewsManager::GetNumFreshNews() {
    std::lock_guard<std::mutex> lock(m_Lock);
    int fresh = 0;
    for (int i = 0; i < m_nLocalCount; ++i)
        if (m_LocalItems[i].shown < m_LocalItems[i].showCount) ++fresh;
    return fresh;
}

bool CHollowfenNewsManager::IsLoadingCurrentItem() {
    if (m_bFeedThreadRunning || m_bItemDownloadRunning || m_bItemLoadRunning) return true;
    std::lock_guard<std::mutex> lock(m_Lock);
    return !m_bPicturesReady;
}

void CHollowfenNewsManager::SelectBestNewsItemToShowLocked() {
    m_nCurrentItem = 0;
    m_nTick = 0;
    m_bPicturesReady = false;
}

void CHollowfenNewsManager::NotifyNewsWidgetOpen() {
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        SelectBestNewsItemToShowLocked();
    }
    m_bConnectionError = false;
}

void CHollowfenNewsManager::GoToNextNewsRecord() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_nLocalCount < 2) return;
    m_nCurrentItem = (m_nCurrentItem + 1) % m_nLocalCount;
    m_nTick = 0;
    m_bConnectionError = false;
    m_bCycledOnce = false;
    m_bPicturesReady = false;
}

void CHollowfenNewsManager::GoToPrevNewsRecord() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_nLocalCount < 2) return;
    m_nCurrentItem = (m_nCurrentItem + m_nLocalCount - 1) % m_nLocalCount;
    m_nTick = 0;
    m_bConnectionError = false;
    m_bCycledOnce = false;
    m_bPicturesReady = false;
}

int CHollowfenNewsManager::GetTotalTickInNewsItemLocked() {
    if (m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return 0;
    const NewsRecord& item = m_LocalItems[m_nCurrentItem];
    long long total = 0;
    for (int i = 0; i < item.pictureCount && i < kMaxNewsPictures; ++i) total += item.time[i];
    if (total < 0) return 0;
    return total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total);
}

void CHollowfenNewsManager::RunAnimationTick() {
    // The feed worker rewrites the items: the slideshow waits (the dialog shows its loading text).
    if (m_bFeedThreadRunning) return;
    std::unique_lock<std::mutex> lock(m_Lock);
    if (m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return;
    NewsRecord& item = m_LocalItems[m_nCurrentItem];
    // One picture worker at a time: a worker that ends under a freeze request frees the decoded
    // pictures, which the other could be decoding into.
    const bool pictureWorkerRunning = m_bItemDownloadRunning || m_bItemLoadRunning;
    if (NeedToDownloadPicsForLocked(m_nCurrentItem)) {
        if (!m_bConnectionError && !pictureWorkerRunning) {
            m_bItemDownloadRunning = true;
            lock.unlock();
            if (m_ItemDownloader.Launch() != 0) m_bItemDownloadRunning = false;
        }
        return;
    }
    if (m_nLoadedPicturesId != item.id) {
        if (!pictureWorkerRunning) {
            // The bitmaps are made here, on the main thread, with the game's factory; the loader
            // only decodes into them and never uploads.
            m_Pictures.RemoveAll();
            const int count = item.pictureCount < kMaxNewsPictures ? item.pictureCount : kMaxNewsPictures;
            for (int i = 0; i < count; ++i) {
                IDibBitmap* bitmap = m_pGame ? m_pGame->CreateBitmapObject() : nullptr;
                if (bitmap == nullptr || !m_Pictures.Add(bitmap)) {
                    delete bitmap;
                    break;
                }
            }
            m_bItemLoadRunning = true;
            lock.unlock();
            if (m_ItemLoader.Launch() != 0) m_bItemLoadRunning = false;
        }
        return;
    }
    // A worker that has stored its pictures but not yet ended still counts as loading (see
    // IsLoadingCurrentItem): the slideshow starts counting only once it has ended.
    if (pictureWorkerRunning) return;
    if (!m_bPicturesReady) {
        for (int i = 0; i < m_Pictures.count; ++i) (void)m_Pictures[i]->HWUpdateTexture();
        m_bPicturesReady = true;
        return;
    }
    ++m_nTick;
    const int total = GetTotalTickInNewsItemLocked();
    if (m_nTick >= total) {
        m_nTick = 0;
        if (total > 0) m_bCycledOnce = true;
    }
    if (!m_SeenThisRun[m_nCurrentItem]) {
        m_SeenThisRun[m_nCurrentItem] = 1;
        ++item.shown;
    }
}

int CHollowfenNewsManager::LayerIndexLocked(bool& inFade, int& fadeStart) {
    inFade = false;
    fadeStart = 0;
    const NewsRecord& item = m_LocalItems[m_nCurrentItem];
    const int count = item.pictureCount < kMaxNewsPictures ? item.pictureCount : kMaxNewsPictures;
    long long end = 0;
    for (int k = 0; k < count; ++k) {
        end += item.time[k];
        if (m_nTick < end) {
            const long long start = end - item.fade[k];
            if (m_nTick > start) {
                inFade = true;
                fadeStart = static_cast<int>(start);
            }
            return k;
        }
    }
    return 0;  // past the last picture: the first one
}

IDibBitmap* CHollowfenNewsManager::GetLayer1() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_bPicturesReady || m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return nullptr;
    bool inFade;
    int fadeStart;
    const int k = LayerIndexLocked(inFade, fadeStart);
    return k < m_Pictures.count ? m_Pictures[k] : nullptr;
}

IDibBitmap* CHollowfenNewsManager::GetLayer2() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_bPicturesReady || m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return nullptr;
    bool inFade;
    int fadeStart;
    const int k = LayerIndexLocked(inFade, fadeStart);
    if (!inFade || m_Pictures.count == 0) return nullptr;
    return k + 1 < m_Pictures.count ? m_Pictures[k + 1] : m_Pictures[0];
}

int CHollowfenNewsManager::GetLayer2Opacity() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_bPicturesReady || m_Pictures.count == 0 || m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return 0;
    bool inFade;
    int fadeStart;
    const int k = LayerIndexLocked(inFade, fadeStart);
    if (!inFade) return 0;
    // 64 bits: the feed sets the fade, and a long one times 255 no longer fits an int.
    return static_cast<int>(static_cast<long long>(m_nTick - fadeStart) * 255 / m_LocalItems[m_nCurrentItem].fade[k]);
}

CommonString CHollowfenNewsManager::GoToCurrentNewsURL() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_nCurrentItem < 0 || m_nCurrentItem >= m_nLocalCount) return CommonString();
    return CommonString("http://") + m_LocalItems[m_nCurrentItem].url;
}

void CHollowfenNewsManager::FreezeNewsThread(bool freeze) {
    if (!freeze) {
        m_bFreezeRequest = false;
        return;
    }
    if (!IsLoadingCurrentItem()) {
        FreeAllMem();
    } else {
        m_bFreezeRequest = true;
    }
}

void CHollowfenNewsManager::FreeAllMem() {
    std::lock_guard<std::mutex> lock(m_Lock);
    FreeAllMemLocked();
    m_RetiredPictures.RemoveAll();
}

void CHollowfenNewsManager::FreeAllMemFromWorker() {
    std::lock_guard<std::mutex> lock(m_Lock);
    int kept = 0;
    for (int i = 0; i < m_Pictures.count; ++i)
        if (!m_RetiredPictures.Add(m_Pictures[i])) m_Pictures.data[kept++] = m_Pictures.data[i];
    // A picture that could not be handed back stays listed; the main thread frees the list before
    // it makes new pictures.
    m_Pictures.count = kept;
    m_nLoadedPicturesId = -1;
    m_bPicturesReady = false;
    std::free(m_pDownloadBuffer);
    m_pDownloadBuffer = nullptr;
    m_nDownloadSize = 0;
}

void CHollowfenNewsManager::ReleaseRetiredPictures() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_RetiredPictures.count > 0) m_RetiredPictures.RemoveAll();
}

void CHollowfenNewsManager::FreeAllMemLocked() {
    m_nLoadedPicturesId = -1;
    std::free(m_pDownloadBuffer);
    m_pDownloadBuffer = nullptr;
    m_nDownloadSize = 0;
    m_Pictures.RemoveAll();
    m_bPicturesReady = false;
}

void CHollowfenNewsManager::SaveResume() {
    if (!m_bInitialised) return;
    while (m_bRecordsUpdating) SLEEP(1);
    (void)SerializeData(true);
}

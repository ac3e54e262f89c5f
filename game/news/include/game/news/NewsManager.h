// CHollowfenNewsManager: the news feed of the start menu. Up to ten items, each a slideshow of up
// to ten pictures with cross-fades and a link. Once a day a worker downloads the feed text,
// parses it and merges it into the kept items, which live in the cache file news.fed in the save
// folder; a second worker downloads an item's pictures into the save folder when the item is
// first shown, a third decodes them, and the slideshow runs on the main thread.
//
// Threads: the public operations are for the main thread. The three workers report through
// atomic flags; the records, the decoded pictures and the slideshow position they share with the
// main thread are guarded by m_Lock, which nobody holds across a download or a decode. The
// destructor joins the workers before it saves the cache.
#pragma once

#include <atomic>
#include <mutex>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/news/NewsWorker.h"

class CGameBase;
class IDibBitmap;
class IFile;
class CHollowfenNewsManager;

inline constexpr int kMaxNewsItems = 10;
inline constexpr int kMaxNewsPictures = 10;
// One download buffer, reused: no feed or picture is larger.
inline constexpr int kNewsDownloadCapacity = 65536;

// One news item.
struct NewsRecord {
    CommonString url;                           // the link, without "http://"
    int id = 0;                                 // news_id
    int showCount = 1;                          // game runs in which the item counts as fresh
    int shown = 0;                              // game runs in which it was shown
    int pictureCount = 1;                       // 1..10
    CommonString pictureURL[kMaxNewsPictures];  // below the feed's base address
    CommonString localName[kMaxNewsPictures];   // file in the save folder; empty until downloaded
    int time[kMaxNewsPictures];                 // ticks each picture is shown
    int fade[kMaxNewsPictures];                 // ticks at the end of time in which the next fades in
    NewsRecord();
};

// Copies every field the cache keeps (the picture arrays in full).
void CopyNews(NewsRecord& to, const NewsRecord& from);
// Whether a picture file name is one the engine makes: "news_<int>_<int>.jpg".
[[nodiscard]] bool IsNewsPictureName(const char* name);

class CHollowfenNewsFeedDownloader : public CNewsWorker {
public:
    ~CHollowfenNewsFeedDownloader() override { Join(); }
    CHollowfenNewsManager* m_pOwner = nullptr;

protected:
    void Run() override;
};

class CHollowfenNewsItemDownloader : public CNewsWorker {
public:
    ~CHollowfenNewsItemDownloader() override { Join(); }
    CHollowfenNewsManager* m_pOwner = nullptr;

protected:
    void Run() override;
};

class CHollowfenNewsItemLoader : public CNewsWorker {
public:
    ~CHollowfenNewsItemLoader() override { Join(); }
    CHollowfenNewsManager* m_pOwner = nullptr;

protected:
    void Run() override;
};

class CHollowfenNewsManager {
public:
    explicit CHollowfenNewsManager(CGameBase* game);
    CHollowfenNewsManager(const CHollowfenNewsManager&) = delete;
    CHollowfenNewsManager& operator=(const CHollowfenNewsManager&) = delete;
    // Joins the workers (a download in progress is waited for), saves the cache when Init ran,
    // then frees everything.
    virtual ~CHollowfenNewsManager();

    // Stores the application id the feed's only_for and not_for name, loads the cache and, on a
    // day other than the last update's, starts the feed download. Returns 1.
    int Init(const char* applicationId);

    int GetNumNews();
    // Kept items shown in fewer game runs than their show count.
    int GetNumFreshNews();
    // True while a worker runs or the current item's pictures are not on screen yet.
    bool IsLoadingCurrentItem();
    bool IsConnectionError() { return m_bConnectionError.load(); }
    // The news dialog opened: the slideshow restarts at the first item.
    void NotifyNewsWidgetOpen();
    // Steps to the next or previous item, wrapping; nothing with fewer than two items.
    void GoToNextNewsRecord();
    void GoToPrevNewsRecord();
    // One slideshow tick (the news dialog calls it once per frame while it is fully shown).
    void RunAnimationTick();
    // The picture shown fully and the one fading in over it, or null; their opacities 0..255.
    IDibBitmap* GetLayer1();
    IDibBitmap* GetLayer2();
    int GetLayer1Opacity() { return 255; }
    int GetLayer2Opacity();
    // "http://" + the current item's link; empty without a current item. Nothing opens it here.
    CommonString GoToCurrentNewsURL();
    // true: frees the pictures and the buffer now when nothing loads, else when the last worker
    // ends; false: withdraws the request.
    void FreezeNewsThread(bool freeze);
    // Main thread only: frees the buffer and the pictures at once.
    void FreeAllMem();
    // Main thread only (the game calls it every frame): deletes the pictures a worker gave back
    // when it honoured a freeze request. Uploaded pictures own textures, which only the thread of
    // the rendering context may free.
    void ReleaseRetiredPictures();
    // Saves the cache (after a feed merge in progress has ended); nothing before Init.
    void SaveResume();

    // Today's local date as year, month, day.
    static void GetDateData(int* date);
    static void SLEEP(int ms);

    // ---- Worker bodies and their helpers (public for the workers and the tests) ------------------
    // Parses a feed text into the downloaded items; false for a missing file.
    bool ParseNewsFromFile(IFile* file);
    // Parses the download buffer; false without one or when it is larger than 65536 bytes.
    bool ParseNewsFromBuffer();
    // Merges the downloaded items into the kept ones (caller holds no lock).
    void UpdateLocalRecords();
    // The feed download into the buffer; false when nothing came.
    bool DownladCurrentNews();
    void DownladNewsItemPics(int item);
    bool NeedToDownloadPicsFor(int item);
    void LoadLoacalPicturesForCurrentItem();
    // news.fed in the save folder: save or load; false when a field did not move in full or the
    // loaded cache breaks a limit (then nothing is kept).
    bool SerializeData(bool save);
    bool Serialize(IFile* file, bool save);

    // ==== State =================================================================================
    CGameBase* m_pGame;
    CommonString m_BaseAddress;       // "http://" + the publisher's host + "/news/iphone/"
    CommonString m_ApplicationId;     // matched by only_for and not_for
    int m_LastUpdate[3] = {0, 0, 0};  // year, month, day of the last merge; 0 when unknown

    // Guarded by m_Lock (workers and main thread): ----------------------------------------------
    std::mutex m_Lock;
    unsigned char* m_pDownloadBuffer = nullptr;  // the last download, or null
    int m_nDownloadSize = 0;
    int m_nLocalCount = 0;
    NewsRecord m_LocalItems[kMaxNewsItems];
    int m_nDownloadedCount = 0;
    NewsRecord m_DownloadedItems[kMaxNewsItems];
    int m_SeenThisRun[kMaxNewsItems] = {};
    int m_nCurrentItem = 0;
    int m_nLoadedPicturesId = -1;
    int m_nTick = 0;
    bool m_bCycledOnce = false;
    bool m_bPicturesReady = false;
    CQuorvanObjPtrArray<IDibBitmap*> m_Pictures;  // the current item's decoded pictures; owned
    // Pictures a worker took out of use under a freeze request, for the main thread to delete.
    CQuorvanObjPtrArray<IDibBitmap*> m_RetiredPictures;

    // Flags, each written by one side and polled by the other: --------------------------------
    std::atomic<bool> m_bFeedFailed{false};
    std::atomic<bool> m_bFeedThreadRunning{false};
    std::atomic<bool> m_bItemDownloadRunning{false};
    std::atomic<bool> m_bItemLoadRunning{false};
    std::atomic<bool> m_bRecordsUpdating{false};
    std::atomic<bool> m_bFreezeRequest{false};
    std::atomic<bool> m_bConnectionError{false};
    bool m_bInitialised = false;

    CHollowfenNewsFeedDownloader m_FeedDownloader;
    CHollowfenNewsItemDownloader m_ItemDownloader;
    CHollowfenNewsItemLoader m_ItemLoader;

private:
    friend class CHollowfenNewsFeedDownloader;
    friend class CHollowfenNewsItemDownloader;
    friend class CHollowfenNewsItemLoader;

    void JoinWorkers();
    // Restarts the slideshow at item 0 (lock held).
    void SelectBestNewsItemToShowLocked();
    void FreeAllMemLocked();
    // What a worker does under a freeze request: frees the buffer and hands the pictures to
    // m_RetiredPictures instead of deleting them.
    void FreeAllMemFromWorker();
    // The current item's total ticks (lock held); 0 when negative or there is no item.
    int GetTotalTickInNewsItemLocked();
    bool NeedToDownloadPicsForLocked(int item);
    // Removes kept item i with its picture files (lock held).
    void DeleteLocalNewsRecordLocked(int item);
    // The index k of the picture the tick falls in and whether it is in k's fade (lock held).
    int LayerIndexLocked(bool& inFade, int& fadeStart);
    // Writes one picture's bytes to the save folder; false when nothing came or it cannot be
    // written.
    bool DownloadFile(const CommonString& address, const CommonString& path);
    void FeedWorkerBody();
};

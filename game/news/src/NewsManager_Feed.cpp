// The feed: its download, its text and the merge into the kept items.
#include <cstdlib>
#include <cstring>

#include "app/GameBase.h"
#include "core/MemFile.h"
#include "core/Parser.h"
#include "game/news/NewsManager.h"
#include "platform/WebDownload.h"

namespace {

using Text = CommonStringRS<50>;

// Whether a non-empty entry of a list value equals the application id; `listed` tells whether
// the list had any entry at all.
bool ListNames(const Text& value, const CommonString& applicationId, bool& listed) {
    Text parts[kMaxNewsItems];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, kMaxNewsItems, parts, count);
    listed = count > 0;
    for (int i = 0; i < count; ++i)
        if (parts[i].Length() > 0 && applicationId == CommonString(Parser::ExtractName(parts[i]).GetData()))
            return true;
    return false;
}

void ReadIntList(const Text& value, int* out) {
    Text parts[kMaxNewsPictures];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, kMaxNewsPictures, parts, count);
    for (int i = 0; i < count; ++i) out[i] = Parser::AToI(parts[i].GetData());
}

}  // namespace

bool CHollowfenNewsManager::ParseNewsFromFile(IFile* file) {
    if (file == nullptr) return false;
    std::lock_guard<std::mutex> lock(m_Lock);
    m_nDownloadedCount = 0;
    NewsRecord* item = nullptr;  // the item being filled; null outside an item or past the tenth
    bool inItem = false;
    bool skip = false;
    Text line;
    while (Parser::GetNextLine(file, line)) {
        if (line.IsEqual("news_item")) {
            inItem = true;
            skip = false;
            // A feed may list more items than the table holds: those are read past and dropped.
            item = m_nDownloadedCount < kMaxNewsItems ? &m_DownloadedItems[m_nDownloadedCount] : nullptr;
            continue;
        }
        if (line.IsEqual("end")) {
            if (inItem && !skip && item != nullptr) ++m_nDownloadedCount;
            inItem = false;
            skip = false;
            item = nullptr;
            continue;
        }
        if (item == nullptr) continue;
        Text key, value;
        Parser::ReadPropertyFromString(line, key, value);
        if (key.Length() == 0) continue;
        if (key.IsEqual("url")) {
            item->url = Parser::ExtractName(value).GetData();
        } else if (key.IsEqual("news_id")) {
            item->id = Parser::AToI(value.GetData());
        } else if (key.IsEqual("pictures")) {
            Text parts[kMaxNewsPictures];
            int count = 0;
            Parser::GetSubStringsArrayVar(value, kMaxNewsPictures, parts, count);
            if (count > 0) item->pictureCount = count;
            for (int i = 0; i < count; ++i) item->pictureURL[i] = Parser::ExtractName(parts[i]).GetData();
        } else if (key.IsEqual("picture_times")) {
            ReadIntList(value, item->time);
        } else if (key.IsEqual("picture_fades")) {
            ReadIntList(value, item->fade);
        } else if (key.IsEqual("only_for")) {
            bool listed = false;
            if (!ListNames(value, m_ApplicationId, listed) && listed) skip = true;
        } else if (key.IsEqual("not_for")) {
            bool listed = false;
            if (ListNames(value, m_ApplicationId, listed)) skip = true;
        }
    }
    return true;
}

bool CHollowfenNewsManager::ParseNewsFromBuffer() {
    unsigned char* buffer = nullptr;
    int size = 0;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        buffer = m_pDownloadBuffer;
        size = m_nDownloadSize;
    }
    if (buffer == nullptr || size > kNewsDownloadCapacity || size < 0) return false;
    CMemoryFile file;
    (void)file.Attach(buffer, size);
    const bool ok = ParseNewsFromFile(&file);
    // The buffer stays the engine's.
    (void)file.Detach();
    return ok;
}

void CHollowfenNewsManager::DeleteLocalNewsRecordLocked(int item) {
    if (item < 0 || item >= m_nLocalCount) return;
    const NewsRecord& gone = m_LocalItems[item];
    const int pictures = gone.pictureCount < kMaxNewsPictures ? gone.pictureCount : kMaxNewsPictures;
    for (int i = 0; i < pictures; ++i) {
        const CommonString& name = gone.localName[i];
        // Only files this engine made are removed: the names come from a file on the disk.
        if (name.Length() == 0 || !IsNewsPictureName(name.GetData())) continue;
        IFile* file = m_pGame ? m_pGame->CreateFileObject() : nullptr;
        if (file == nullptr) continue;
        (void)file->Delete((m_pGame->GetSaveDirectory() + name).GetData());
        delete file;
    }
    for (int i = item; i + 1 < m_nLocalCount; ++i) {
        CopyNews(m_LocalItems[i], m_LocalItems[i + 1]);
        m_SeenThisRun[i] = m_SeenThisRun[i + 1];
    }
    --m_nLocalCount;
    m_LocalItems[m_nLocalCount] = NewsRecord();
    m_SeenThisRun[m_nLocalCount] = 0;
}

void CHollowfenNewsManager::UpdateLocalRecords() {
    std::lock_guard<std::mutex> lock(m_Lock);
    for (int i = 0; i < m_nLocalCount;) {
        bool inFeed = false;
        for (int d = 0; d < m_nDownloadedCount && !inFeed; ++d) inFeed = m_DownloadedItems[d].id == m_LocalItems[i].id;
        if (inFeed) {
            ++i;
        } else {
            DeleteLocalNewsRecordLocked(i);
        }
    }
    for (int d = 0; d < m_nDownloadedCount; ++d) {
        const NewsRecord& fresh = m_DownloadedItems[d];
        bool kept = false;
        for (int i = 0; i < m_nLocalCount && !kept; ++i) kept = m_LocalItems[i].id == fresh.id;
        if (kept || m_nLocalCount >= kMaxNewsItems || fresh.pictureCount > kMaxNewsPictures) continue;
        NewsRecord& added = m_LocalItems[m_nLocalCount];
        CopyNews(added, fresh);
        added.shown = 0;
        for (CommonString& name : added.localName) name = CommonString();
        m_SeenThisRun[m_nLocalCount] = 0;
        ++m_nLocalCount;
    }
    GetDateData(m_LastUpdate);
}

bool CHollowfenNewsManager::DownladCurrentNews() {
    const CommonString address = m_BaseAddress + CommonString("news.txt");
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        std::free(m_pDownloadBuffer);
        m_pDownloadBuffer = nullptr;
        m_nDownloadSize = 0;
    }
    auto* buffer = static_cast<unsigned char*>(std::malloc(kNewsDownloadCapacity));
    if (buffer == nullptr) return false;
    int size = 0;
    if (!DownloadDataFromURL(address.GetData(), buffer, kNewsDownloadCapacity, &size) || size == 0) {
        std::free(buffer);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_Lock);
    m_pDownloadBuffer = buffer;
    m_nDownloadSize = size;
    return true;
}

void CHollowfenNewsManager::FeedWorkerBody() {
    if (!DownladCurrentNews()) {
        m_bFeedFailed = true;
        return;
    }
    if (m_bFreezeRequest) {
        FreeAllMemFromWorker();
        return;
    }
    if (!ParseNewsFromBuffer()) {
        m_bFeedFailed = true;
        return;
    }
    if (m_bFreezeRequest) {
        FreeAllMemFromWorker();
        return;
    }
    m_bRecordsUpdating = true;
    UpdateLocalRecords();
    m_bRecordsUpdating = false;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        SelectBestNewsItemToShowLocked();
    }
    if (m_bFreezeRequest) FreeAllMemFromWorker();
}

void CHollowfenNewsFeedDownloader::Run() {
    m_pOwner->FeedWorkerBody();
    m_pOwner->m_bFeedThreadRunning = false;
}

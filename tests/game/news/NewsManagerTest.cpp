// The news engine: feed text, merge, the news.fed cache, and the slideshow over a fake web.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FakeWeb.h"
#include "NewsCacheBytes.h"
#include "NewsTestGame.h"
#include "core/MemFile.h"
#include "game/news/NewsManager.h"
#include "render/DibBitmap.h"
#include "render/WinDibBitmap.h"
#include "testsupport/ImageFixtures.h"

namespace {

using Bytes = std::vector<unsigned char>;

const char* const kFeedAddress = "http://www.hollowfen.example/news/iphone/news.txt";

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

// Parses a feed text through a memory file, as the feed worker does with its buffer.
void Parse(CHollowfenNewsManager& news, const std::string& feed) {
    void* block = std::malloc(feed.size() + 1);
    std::memcpy(block, feed.data(), feed.size());
    CMemoryFile file;
    (void)file.Attach(block, static_cast<int>(feed.size()));
    ASSERT_TRUE(news.ParseNewsFromFile(&file));
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(NewsFeed, ParsesItemsAndHonoursOnlyForAndNotFor) {
    CNewsTestGame game;
    CHollowfenNewsManager news(&game);
    news.m_ApplicationId = "Cobblebrooks";
    Parse(news,
          "// the publisher's feed\n"
          "news_item\n"
          "url = \"www.example.org/five\"\n"
          "news_id = 5\n"
          "pictures = a.jpg, \"b.jpg\"\n"
          "picture_times = 100 120\n"
          "picture_fades = 10, 0\n"
          "end\n"
          "news_item\nnews_id = 6\nonly_for = Other, Cobblebrooks\nend\n"
          "news_item\nnews_id = 7\nurl = www.example.org/seven\nonly_for = Other\nend\n"
          "news_item\nnews_id = 8\nnot_for = Cobblebrooks\nend\n"
          "news_item\nnews_id = 9\nonly_for =\nend\n"
          "end\n"
          "url = outside\n");
    ASSERT_EQ(news.m_nDownloadedCount, 3);
    const NewsRecord& five = news.m_DownloadedItems[0];
    EXPECT_EQ(five.id, 5);
    EXPECT_EQ(Text(five.url), "www.example.org/five");
    EXPECT_EQ(five.pictureCount, 2);
    EXPECT_EQ(Text(five.pictureURL[0]), "a.jpg");
    EXPECT_EQ(Text(five.pictureURL[1]), "b.jpg");
    EXPECT_EQ(five.time[0], 100);
    EXPECT_EQ(five.time[1], 120);
    EXPECT_EQ(five.time[2], 132) << "pictures the list leaves out keep the default";
    EXPECT_EQ(five.fade[0], 10);
    EXPECT_EQ(five.fade[1], 0);
    EXPECT_EQ(five.showCount, 1);
    EXPECT_EQ(news.m_DownloadedItems[1].id, 6) << "only_for naming this game among others";
    // Items 7 and 8 were skipped in the third slot; 9 reuses it and keeps what 7 left there.
    const NewsRecord& nine = news.m_DownloadedItems[2];
    EXPECT_EQ(nine.id, 9) << "an empty only_for keeps the item";
    EXPECT_EQ(Text(nine.url), "www.example.org/seven");
}

TEST(NewsFeed, ItemsPastTheTenthAreDropped) {
    CNewsTestGame game;
    CHollowfenNewsManager news(&game);
    std::string feed;
    for (int id = 1; id <= 13; ++id) feed += "news_item\nnews_id = " + std::to_string(id) + "\nend\n";
    Parse(news, feed);
    ASSERT_EQ(news.m_nDownloadedCount, 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(news.m_DownloadedItems[i].id, i + 1);
}

TEST(NewsFeed, PictureNamesTheEngineAccepts) {
    struct TCase {
        const char* name;
        bool ok;
    } cases[] = {{"news_7_2.jpg", true},         {"news_-3_10.jpg", true}, {"news_7_2.jpg.sh", false},
                 {"../news_7_2.jpg", false},     {"news_7.jpg", false},    {"news__2.jpg", false},
                 {"news_7_x.jpg", false},        {"global.opt", false},    {"", false},
                 {"news_1_2/../../x.jpg", false}};
    for (const TCase& c : cases) EXPECT_EQ(IsNewsPictureName(c.name), c.ok) << c.name;
    EXPECT_FALSE(IsNewsPictureName(nullptr));
}

// Kept items set by hand, each with picture files in the save folder.
void Keep(CNewsTestGame& game, CHollowfenNewsManager& news, int id, int shown, const std::string& localName) {
    NewsRecord& item = news.m_LocalItems[news.m_nLocalCount++];
    item.id = id;
    item.shown = shown;
    item.localName[0] = localName.c_str();
    WriteBytes(game.SavePath(localName), Bytes{1, 2, 3});
}

TEST(NewsFeed, MergeDeletesVanishedItemsWithTheirPicturesAndAppendsNewOnes) {
    CNewsTestGame game;
    CHollowfenNewsManager news(&game);
    Keep(game, news, 1, 3, "news_1_0.jpg");
    Keep(game, news, 2, 2, "news_2_0.jpg");
    Keep(game, news, 3, 1, "keep_me.jpg");  // a name the engine never makes: not deleted
    Parse(news,
          "news_item\nnews_id = 4\npictures = x.jpg y.jpg\nend\n"
          "news_item\nnews_id = 2\nurl = changed\nend\n"
          "news_item\nnews_id = 5\nend\n");
    news.UpdateLocalRecords();
    ASSERT_EQ(news.m_nLocalCount, 3);
    EXPECT_EQ(news.m_LocalItems[0].id, 2);
    EXPECT_EQ(news.m_LocalItems[0].shown, 2) << "a kept item keeps its shown count";
    EXPECT_EQ(Text(news.m_LocalItems[0].localName[0]), "news_2_0.jpg");
    EXPECT_EQ(Text(news.m_LocalItems[0].url), "www.hollowfen.example") << "kept items are not refreshed";
    EXPECT_EQ(news.m_LocalItems[1].id, 4);
    EXPECT_EQ(news.m_LocalItems[1].pictureCount, 2);
    EXPECT_EQ(news.m_LocalItems[1].shown, 0);
    EXPECT_EQ(Text(news.m_LocalItems[1].localName[0]), "");
    EXPECT_EQ(news.m_LocalItems[2].id, 5);
    EXPECT_FALSE(std::filesystem::exists(game.SavePath("news_1_0.jpg")));
    EXPECT_TRUE(std::filesystem::exists(game.SavePath("news_2_0.jpg")));
    EXPECT_TRUE(std::filesystem::exists(game.SavePath("keep_me.jpg")));
    int today[3];
    Today(today);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(news.m_LastUpdate[i], today[i]);
}

TEST(NewsFeed, MergeKeepsAtMostTenItems) {
    CNewsTestGame game;
    CHollowfenNewsManager news(&game);
    std::string feed;
    for (int id = 1; id <= 8; ++id) {
        news.m_LocalItems[news.m_nLocalCount++].id = id;
        feed += "news_item\nnews_id = " + std::to_string(id) + "\nend\n";
    }
    for (int id = 20; id <= 22; ++id) feed += "news_item\nnews_id = " + std::to_string(id) + "\nend\n";
    Parse(news, feed);
    news.UpdateLocalRecords();
    ASSERT_EQ(news.m_nLocalCount, 10);
    EXPECT_EQ(news.m_LocalItems[8].id, 20);
    EXPECT_EQ(news.m_LocalItems[9].id, 21);
}

TEST(NewsFeed, AFeedForOtherGamesOnlyEmptiesTheCache) {
    CNewsTestGame game;
    CHollowfenNewsManager news(&game);
    news.m_ApplicationId = "Cobblebrooks";
    Keep(game, news, 1, 0, "news_1_0.jpg");
    Parse(news, "news_item\nnews_id = 1\nonly_for = Marshkite\nend\n");
    news.UpdateLocalRecords();
    EXPECT_EQ(news.m_nLocalCount, 0);
    EXPECT_FALSE(std::filesystem::exists(game.SavePath("news_1_0.jpg")));
}

TEST(NewsCache, WritesTheLayoutAndReadsItBack) {
    CNewsTestGame game;
    int today[3];
    Today(today);
    CCacheBytes expected;
    expected.Int(1).Int(today[0]).Int(today[1]).Int(today[2]).Int(2);
    expected.Item(7, "www.example.org/seven", 1, "news_7_0.jpg");
    expected.Int(9).Int(2).Str("u").Int(1).Int(0);
    expected.Str("p0.jpg").Str("").Int(50).Int(5).Str("p1.jpg").Str("news_9_1.jpg").Int(60).Int(6);
    {
        CHollowfenNewsManager news(&game);
        news.m_bInitialised = true;
        for (int i = 0; i < 3; ++i) news.m_LastUpdate[i] = today[i];
        news.m_nLocalCount = 2;
        NewsRecord& a = news.m_LocalItems[0];
        a.id = 7;
        a.url = "www.example.org/seven";
        a.shown = 1;
        a.pictureURL[0] = "p.jpg";
        a.localName[0] = "news_7_0.jpg";
        NewsRecord& b = news.m_LocalItems[1];
        b.id = 9;
        b.url = "u";
        b.pictureCount = 2;
        b.pictureURL[0] = "p0.jpg";
        b.pictureURL[1] = "p1.jpg";
        b.localName[1] = "news_9_1.jpg";
        b.time[0] = 50;
        b.fade[0] = 5;
        b.time[1] = 60;
        b.fade[1] = 6;
        ASSERT_TRUE(news.SerializeData(true));
    }
    EXPECT_EQ(ReadBytes(game.SavePath("news.fed")), expected.bytes);

    CFakeWeb web;
    CHollowfenNewsManager again(&game);
    ASSERT_EQ(again.Init("Cobblebrooks"), 1);
    EXPECT_FALSE(again.m_bFeedThreadRunning) << "a second start on the same day fetches nothing";
    EXPECT_EQ(web.Requests(kFeedAddress), 0);
    ASSERT_EQ(again.GetNumNews(), 2);
    EXPECT_EQ(again.GetNumFreshNews(), 1) << "item 7 was shown once already";
    EXPECT_EQ(Text(again.m_LocalItems[1].localName[1]), "news_9_1.jpg");
    EXPECT_EQ(again.m_LocalItems[1].time[1], 60);
    EXPECT_EQ(Text(again.GoToCurrentNewsURL()), "http://www.example.org/seven");
}

// A cache header for the given item count, then `items` whole items, item i of id 100 + i with
// `pictures` pictures, each field written in full.
CCacheBytes CacheOf(int count, int items, int pictures) {
    CCacheBytes c;
    c.Int(1).Int(2026).Int(1).Int(1).Int(count);
    for (int i = 0; i < items; ++i) {
        c.Int(100 + i).Int(pictures).Str("www.example.org/" + std::to_string(i)).Int(2).Int(0);
        for (int p = 0; p < pictures; ++p) {
            c.Str("p" + std::to_string(p) + ".jpg")
                .Str("news_" + std::to_string(100 + i) + "_" + std::to_string(p) + ".jpg")
                .Int(40 + p)
                .Int(8);
        }
    }
    return c;
}

TEST(NewsCache, FullCachesAreRead) {
    struct TCase {
        int items, pictures;
        const char* why;
    } cases[] = {
        {10, 1, "ten items, the most the cache holds"},
        {1, 10, "one item of ten pictures, the most an item holds"},
        {10, 10, "ten items of ten pictures"},
        {0, 1, "no items"},
    };
    for (const TCase& c : cases) {
        CNewsTestGame game;
        WriteBytes(game.SavePath("news.fed"), CacheOf(c.items, c.items, c.pictures).bytes);
        CHollowfenNewsManager news(&game);
        ASSERT_TRUE(news.SerializeData(false)) << c.why;
        ASSERT_EQ(news.GetNumNews(), c.items) << c.why;
        EXPECT_EQ(news.GetNumFreshNews(), c.items) << c.why;
        EXPECT_EQ(news.m_LastUpdate[0], 2026) << c.why;
        if (c.items == 0) continue;
        const NewsRecord& last = news.m_LocalItems[c.items - 1];
        EXPECT_EQ(last.id, 100 + c.items - 1) << c.why;
        EXPECT_EQ(last.pictureCount, c.pictures) << c.why;
        EXPECT_EQ(Text(last.localName[c.pictures - 1]),
                  "news_" + std::to_string(100 + c.items - 1) + "_" + std::to_string(c.pictures - 1) + ".jpg")
            << c.why;
        EXPECT_EQ(last.time[c.pictures - 1], 40 + c.pictures - 1) << c.why;
    }
}

TEST(NewsCache, HostileCachesAreRefused) {
    struct TCase {
        Bytes bytes;
        const char* why;
    } cases[] = {
        // Whole records, so that only the count can be what refuses them.
        {CacheOf(11, 11, 1).bytes, "more than ten items"},
        {CacheOf(-1, 0, 1).bytes, "a negative item count"},
        {CacheOf(1, 1, 0).bytes, "an item with no pictures"},
        {CacheOf(2, 2, 11).bytes, "eleven pictures"},
        {CacheOf(1, 1, -1).bytes, "a negative picture count"},
        {CCacheBytes().Int(1).Int(2026).Int(1).Int(1).Int(1).Item(5, "u", 0, "../global.opt").bytes,
         "a local name outside the engine's own form"},
        {CCacheBytes().Int(1).Int(2026).Int(1).Int(1).Int(1).Item(5, "u", 0, "news_5_0.jpg.sh").bytes,
         "a name that only starts like a picture"},
        {CCacheBytes().Int(1).Int(2026).Int(1).Int(1).Int(2).Item(5, "u", 0, "").bytes, "cut short"},
    };
    for (const TCase& c : cases) {
        CNewsTestGame game;
        WriteBytes(game.SavePath("news.fed"), c.bytes);
        CHollowfenNewsManager news(&game);
        EXPECT_FALSE(news.SerializeData(false)) << c.why;
        EXPECT_EQ(news.GetNumNews(), 0) << c.why;
        EXPECT_EQ(news.m_LastUpdate[0], 0) << c.why;
    }
}

// A feed may give a picture any time and fade: the fade-in opacity holds for the longest of them.
TEST(NewsLayers, FadeOpacityOfLongPicturesStaysInRange) {
    CNewsTestGame game;
    CHollowfenNewsManager news(&game);
    NewsRecord& item = news.m_LocalItems[news.m_nLocalCount++];
    item.pictureCount = 1;
    item.time[0] = 2000000000;
    item.fade[0] = 2000000000;
    ASSERT_TRUE(news.m_Pictures.Add(game.CreateBitmapObject()));
    news.m_bPicturesReady = true;
    struct TCase {
        int tick;
        int opacity;  // (tick - (time - fade)) * 255 / fade, worked out by hand
    } cases[] = {{1, 0}, {1000000000, 127}, {1999999999, 254}};
    for (const TCase& c : cases) {
        news.m_nTick = c.tick;
        EXPECT_EQ(news.GetLayer2Opacity(), c.opacity) << c.tick;
    }
}

// A picture worker that has stored its pictures but not yet said it has ended still counts as
// loading: the slideshow neither shows the pictures nor counts ticks until it has ended, so the
// first tick the dialog shows is tick 0. Both workers, held where the race left them.
TEST(NewsLayers, TheSlideshowWaitsForAPictureWorkerToEnd) {
    struct TCase {
        bool download;
        const char* why;
    } cases[] = {{false, "the loader"}, {true, "the downloader"}};
    for (const TCase& c : cases) {
        CNewsTestGame game;
        CHollowfenNewsManager news(&game);
        NewsRecord& item = news.m_LocalItems[news.m_nLocalCount++];
        item.id = 7;
        item.pictureCount = 1;
        item.time[0] = 40;
        item.localName[0] = "news_7_0.jpg";
        ASSERT_TRUE(news.m_Pictures.Add(game.CreateBitmapObject()));
        news.m_nLoadedPicturesId = 7;
        (c.download ? news.m_bItemDownloadRunning : news.m_bItemLoadRunning) = true;
        for (int i = 0; i < 3; ++i) news.RunAnimationTick();
        EXPECT_TRUE(news.IsLoadingCurrentItem()) << c.why;
        EXPECT_EQ(news.GetLayer1(), nullptr) << c.why;
        EXPECT_EQ(news.m_nTick, 0) << c.why;

        (c.download ? news.m_bItemDownloadRunning : news.m_bItemLoadRunning) = false;
        news.RunAnimationTick();
        EXPECT_FALSE(news.IsLoadingCurrentItem()) << c.why;
        EXPECT_EQ(news.GetLayer1(), news.m_Pictures[0]) << c.why;
        EXPECT_EQ(news.m_nTick, 0) << c.why << ": the tick the pictures came in is not counted";
        news.RunAnimationTick();
        EXPECT_EQ(news.m_nTick, 1) << c.why;
    }
}

// A game with a feed of one item of two pictures (8 and 16 pixels wide) on the fake web.
class NewsSlideshow : public ::testing::Test {
protected:
    void SetUp() override {
        web.Serve(kFeedAddress,
                  "news_item\nnews_id = 3\nurl = www.example.org/three\npictures = one.jpg two.jpg\n"
                  "picture_times = 40 30\npicture_fades = 16 10\nend\n");
        web.Serve("http://www.hollowfen.example/news/iphone/one.jpg", MakeSolidJpeg(8, 8, 200, 0, 0));
        web.Serve("http://www.hollowfen.example/news/iphone/two.jpg", MakeSolidJpeg(16, 8, 0, 0, 200));
    }
    // Ticks until the current item's pictures are on screen.
    bool LoadCurrentItem() {
        return Eventually([this] {
            news->RunAnimationTick();
            return !news->IsLoadingCurrentItem();
        });
    }
    CFakeWeb web;
    CNewsTestGame game;
    std::unique_ptr<CHollowfenNewsManager> news = std::make_unique<CHollowfenNewsManager>(&game);
};

TEST_F(NewsSlideshow, DownloadsDecodesAndCrossFades) {
    ASSERT_EQ(news->Init("Cobblebrooks"), 1);
    ASSERT_TRUE(Eventually([this] { return !news->m_bFeedThreadRunning; }));
    EXPECT_FALSE(news->m_bFeedFailed);
    ASSERT_EQ(news->GetNumNews(), 1);
    EXPECT_EQ(news->GetNumFreshNews(), 1);
    EXPECT_EQ(news->GetLayer1(), nullptr) << "nothing to show before the pictures are loaded";
    ASSERT_TRUE(LoadCurrentItem());
    EXPECT_TRUE(std::filesystem::exists(game.SavePath("news_3_0.jpg")));
    EXPECT_TRUE(std::filesystem::exists(game.SavePath("news_3_1.jpg")));
    ASSERT_EQ(news->m_Pictures.count, 2);
    IDibBitmap* one = news->m_Pictures[0];
    IDibBitmap* two = news->m_Pictures[1];
    EXPECT_EQ(one->m_Width, 8);
    EXPECT_EQ(two->m_Width, 16);

    // From tick 0: picture one for 40 ticks, two fading in over ticks 25..39; then picture two
    // for 30 ticks, one fading in over ticks 61..69; the tick wraps at 70.
    for (int tick = 0; tick < 70; ++tick) {
        ASSERT_EQ(news->m_nTick, tick);
        EXPECT_EQ(news->GetLayer1(), tick < 40 ? one : two) << tick;
        if (tick > 24 && tick < 40) {
            EXPECT_EQ(news->GetLayer2(), two) << tick;
            EXPECT_EQ(news->GetLayer2Opacity(), (tick - 24) * 255 / 16) << tick;
        } else if (tick > 60) {
            EXPECT_EQ(news->GetLayer2(), one) << tick << ": the last picture fades into the first";
            EXPECT_EQ(news->GetLayer2Opacity(), (tick - 60) * 255 / 10) << tick;
        } else {
            EXPECT_EQ(news->GetLayer2(), nullptr) << tick;
            EXPECT_EQ(news->GetLayer2Opacity(), 0) << tick;
        }
        EXPECT_EQ(news->GetLayer1Opacity(), 255);
        news->RunAnimationTick();
        EXPECT_EQ(news->GetNumFreshNews(), 0) << "the first tick counts the item as shown";
    }
    EXPECT_EQ(news->m_nTick, 0);
    EXPECT_TRUE(news->m_bCycledOnce);
    EXPECT_EQ(news->m_LocalItems[0].shown, 1) << "shown once per game run";

    // One item: stepping changes nothing, not even the tick.
    news->RunAnimationTick();
    news->GoToNextNewsRecord();
    news->GoToPrevNewsRecord();
    EXPECT_EQ(news->m_nTick, 1);

    // A freeze with nothing loading frees the pictures at once; the next ticks load them again.
    news->FreezeNewsThread(true);
    EXPECT_EQ(news->m_Pictures.count, 0);
    EXPECT_EQ(news->m_nLoadedPicturesId, -1);
    news->FreezeNewsThread(false);
    ASSERT_TRUE(LoadCurrentItem());
    EXPECT_EQ(web.Requests("http://www.hollowfen.example/news/iphone/one.jpg"), 1) << "files on disk are reused";
}

TEST_F(NewsSlideshow, AFailedPictureDownloadIsAConnectionError) {
    web.Serve("http://www.hollowfen.example/news/iphone/two.jpg", Bytes(70000, 0));  // too large to download
    ASSERT_EQ(news->Init("Cobblebrooks"), 1);
    ASSERT_TRUE(Eventually([this] { return !news->m_bFeedThreadRunning; }));
    ASSERT_TRUE(Eventually([this] {
        news->RunAnimationTick();
        return news->IsConnectionError() && !news->m_bItemDownloadRunning;
    }));
    EXPECT_TRUE(news->IsLoadingCurrentItem());
    for (int i = 0; i < 5; ++i) news->RunAnimationTick();
    news->m_ItemDownloader.Join();
    EXPECT_EQ(web.Requests("http://www.hollowfen.example/news/iphone/two.jpg"), 1) << "no retry until reopened";
    news->NotifyNewsWidgetOpen();
    EXPECT_FALSE(news->IsConnectionError());
    news->RunAnimationTick();
    news->m_ItemDownloader.Join();
    EXPECT_EQ(web.Requests("http://www.hollowfen.example/news/iphone/two.jpg"), 2);
}

TEST_F(NewsSlideshow, WithoutWebAccessTheCacheIsWhatShows) {
    platform::SetWebDownloadFunction(nullptr);  // the platform's own: nothing comes
    ASSERT_EQ(news->Init("Cobblebrooks"), 1);
    ASSERT_TRUE(Eventually([this] { return !news->m_bFeedThreadRunning; }));
    EXPECT_TRUE(news->m_bFeedFailed);
    EXPECT_EQ(news->GetNumNews(), 0);
    news.reset();
    EXPECT_TRUE(std::filesystem::exists(game.SavePath("news.fed"))) << "the engine saves its cache as it goes";
}

TEST_F(NewsSlideshow, OnePictureWorkerRunsAtATime) {
    // A worker that ends under a freeze request frees the decoded pictures, which another worker
    // may be decoding into at that moment: the decoder waits for the download to end.
    web.Serve(kFeedAddress,
              "news_item\nnews_id = 3\npictures = one.jpg\nend\n"
              "news_item\nnews_id = 4\npictures = two.jpg\nend\n");
    ASSERT_EQ(news->Init("Cobblebrooks"), 1);
    ASSERT_TRUE(Eventually([this] { return !news->m_bFeedThreadRunning; }));
    ASSERT_EQ(news->GetNumNews(), 2);
    ASSERT_TRUE(LoadCurrentItem());
    news->FreezeNewsThread(true);  // nothing loading: item 3's pictures go, its file stays
    news->FreezeNewsThread(false);
    ASSERT_EQ(news->m_Pictures.count, 0);

    web.Hold();
    news->GoToNextNewsRecord();
    news->RunAnimationTick();  // item 4's picture download starts and is held
    web.WaitForHeldDownload();
    news->GoToPrevNewsRecord();
    news->RunAnimationTick();  // item 3 has its file and only needs decoding
    EXPECT_FALSE(news->m_bItemLoadRunning);
    EXPECT_EQ(news->m_Pictures.count, 0) << "no pictures made for a decoder while the download runs";

    news->FreezeNewsThread(true);  // the start menu closes while the download is held
    web.Release();
    news->m_ItemDownloader.Join();
    news->FreezeNewsThread(false);
    ASSERT_TRUE(LoadCurrentItem());
    ASSERT_EQ(news->m_Pictures.count, 1);
    EXPECT_EQ(news->m_Pictures[0]->m_Width, 8);
}

// Notes the thread each of its bitmaps is deleted on: an uploaded picture owns a texture, which
// only the thread of the rendering context (the main thread) may free.
class CDeletionNotingGame : public CNewsTestGame {
public:
    class CNotingBitmap : public CWinDibBitmap {
    public:
        CNotingBitmap(CDeletionNotingGame* owner) : CWinDibBitmap(owner), m_pOwner(owner) {}
        ~CNotingBitmap() override {
            std::lock_guard<std::mutex> hold(m_pOwner->m_Lock);
            m_pOwner->m_DeletedOn.push_back(std::this_thread::get_id());
        }
        CDeletionNotingGame* m_pOwner;
    };
    IDibBitmap* CreateBitmapObject() override { return new CNotingBitmap(this); }
    std::vector<std::thread::id> Deletions() {
        std::lock_guard<std::mutex> hold(m_Lock);
        return m_DeletedOn;
    }
    std::mutex m_Lock;
    std::vector<std::thread::id> m_DeletedOn;
};

TEST(NewsPictures, AWorkerUnderAFreezeLeavesThePicturesToTheMainThread) {
    CFakeWeb web;
    web.Serve(kFeedAddress,
              "news_item\nnews_id = 3\npictures = one.jpg\nend\n"
              "news_item\nnews_id = 4\npictures = two.jpg\nend\n");
    web.Serve("http://www.hollowfen.example/news/iphone/one.jpg", MakeSolidJpeg(8, 8, 200, 0, 0));
    web.Serve("http://www.hollowfen.example/news/iphone/two.jpg", MakeSolidJpeg(16, 8, 0, 0, 200));
    CDeletionNotingGame game;
    // The game owns the engine, as it does once the loader made it.
    game.m_pNewsManager = new CHollowfenNewsManager(&game);
    CHollowfenNewsManager* news = game.m_pNewsManager;
    ASSERT_EQ(news->Init("Cobblebrooks"), 1);
    ASSERT_TRUE(Eventually([&] { return !news->m_bFeedThreadRunning; }));
    ASSERT_TRUE(Eventually([&] {
        news->RunAnimationTick();
        return !news->IsLoadingCurrentItem();
    }));
    ASSERT_EQ(news->m_Pictures.count, 1) << "item 3's picture, uploaded by the main thread";
    ASSERT_TRUE(game.Deletions().empty());

    web.Hold();
    news->GoToNextNewsRecord();
    news->RunAnimationTick();  // item 4's picture download starts and is held
    web.WaitForHeldDownload();
    news->FreezeNewsThread(true);  // the start menu closes while the download runs
    web.Release();
    news->m_ItemDownloader.Join();  // the worker honoured the freeze request and ended
    EXPECT_TRUE(game.Deletions().empty()) << "no picture was deleted on the worker";
    EXPECT_EQ(news->m_Pictures.count, 0) << "the pictures are out of use";

    game.RunProcess();  // the next frame frees what the worker gave back
    const std::vector<std::thread::id> deletions = game.Deletions();
    ASSERT_EQ(deletions.size(), 1u);
    EXPECT_EQ(deletions[0], std::this_thread::get_id());
    SafeDelete(game.m_pNewsManager);
    EXPECT_EQ(game.Deletions().size(), 1u) << "nothing was left to delete twice";
}

TEST_F(NewsSlideshow, DestroyedWhileTheFeedDownloadIsHeld) {
    web.Hold();
    ASSERT_EQ(news->Init("Cobblebrooks"), 1);
    web.WaitForHeldDownload();
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        web.Release();
    });
    news.reset();  // joins the feed worker, which merges, then saves the cache
    release.join();
    CHollowfenNewsManager again(&game);
    ASSERT_TRUE(again.SerializeData(false));
    EXPECT_EQ(again.GetNumNews(), 1);
    EXPECT_EQ(again.m_LocalItems[0].id, 3);
}

}  // namespace

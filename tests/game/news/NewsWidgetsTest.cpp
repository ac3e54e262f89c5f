// The news widgets on the real pak with a news.fed fixture and its pictures in the save folder:
// the button's badge and its blinking count, the dialog's texts for no news and a connection
// error, its centre with and without img_news_dummy, a tap on the picture, the steps between
// items, and the slideshow and loading dots standing still while the dialog fades. Frames are
// kept as pictures (build/<preset>/screens/news).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "FrontEndTestGame.h"
#include "NewsCacheBytes.h"
#include "NewsTestGame.h"
#include "game/news/NewsManager.h"
#include "game/news/NewsWidgets.h"
#include "game/screens/StartMenu.h"
#include "platform/Control.h"
#include "testsupport/ImageFixtures.h"
#include "text/BitmapFont.h"

namespace {

using mediatest::TImage;
using Pixel = std::array<std::uint8_t, 4>;

// The headline's (255, 128, 128): green and blue alike, unlike the wooden panel behind it.
bool Headline(const Pixel& p) {
    return p[0] > 235 && p[1] > 105 && p[1] < 150 && p[2] > 105 && p[2] < 150 && std::abs(p[1] - p[2]) < 12;
}
bool Light(const Pixel& p) { return p[0] > 200 && p[1] > 200 && p[2] > 170; }
bool PictureRed(const Pixel& p) { return p[0] > 170 && p[1] < 60 && p[2] < 60; }

mediatest::TBox BoxIn(const TImage& img, int x0, int y0, int x1, int y1, bool (*test)(const Pixel&)) {
    return mediatest::FindBoxIn(img, x0, x1 - 1, test, y0, y1 - 1);
}

class NewsWidgetsTest : public FrontEndTest {
protected:
    void TearDown() override {
        // The workers end before the game and its save folder go.
        if (game.m_pNewsManager != nullptr) game.m_pNewsManager->FreezeNewsThread(true);
        delete game.m_pNewsManager;
        game.m_pNewsManager = nullptr;
        FrontEndTest::TearDown();
    }
    // A news cache of today (so nothing is fetched) with `items` items of one 120 x 80 picture
    // each, fresh unless shown, and the news engine reading it.
    void StartNews(int items, int shown = 0) {
        int today[3];
        Today(today);
        CCacheBytes cache;
        cache.Int(1).Int(today[0]).Int(today[1]).Int(today[2]).Int(items);
        for (int i = 0; i < items; ++i) {
            const std::string picture = "news_" + std::to_string(i + 1) + "_0.jpg";
            cache.Item(i + 1, "www.example.org/item" + std::to_string(i + 1), shown, picture);
            WriteFile(saves.Path(picture), MakeSolidJpeg(120, 80, i == 0 ? 220 : 0, 0, i == 0 ? 0 : 220));
        }
        WriteBytes(saves.Path("news.fed"), cache.bytes);
        StartEngine();
    }
    void StartEngine() {
        game.m_pNewsManager = new CHollowfenNewsManager(&game);
        ASSERT_EQ(game.m_pNewsManager->Init("Cobblebrooks"), 1);
    }
    CXStartMenu2* OpenMenu() {
        AddPlayer("Sam");
        EXPECT_TRUE(game.RunStartMenu());
        Ticks(16);
        return game.m_pStartMenu;
    }
    // The dialog opened as the news button opens it; fully shown after `ticks` updates.
    CXNewsDialog* OpenDialog(int ticks = 20) {
        CXStartMenu2* menu = OpenMenu();
        if (menu == nullptr) return nullptr;
        EXPECT_EQ(menu->OnMessage(menu, XMSG_CLICK, XIdParam("btn_startmenu_news"), 0), 1);
        Ticks(ticks);
        return dynamic_cast<CXNewsDialog*>(menu->FindChildWithWidgetId("dlg_news"));
    }
    // Updates until the current item's pictures are on screen.
    bool PicturesShown() {
        return Eventually([this] {
            Ticks(1);
            return !game.m_pNewsManager->IsLoadingCurrentItem();
        });
    }
    int LineHeight() { return game.m_Fonts[kGameFontSmall]->GetCharHeight(); }
    int TextWidth(const char* text) { return game.m_Fonts[kGameFontSmall]->Length2(text); }
    std::vector<std::string> Invoked() {
        std::vector<std::string> urls;
        for (const std::string& call : platform::TakeCallLog())
            if (call.starts_with("navigator_invoke ")) urls.push_back(call.substr(17));
        return urls;
    }
};

// The news button drawn alone on black, as the game draws it once a frame after its update.
class NewsButtonTest : public NewsWidgetsTest {
protected:
    CXNewsButton* Button() {
        CXStartMenu2* menu = OpenMenu();
        auto* button =
            menu != nullptr ? dynamic_cast<CXNewsButton*>(menu->FindChildWithWidgetId("btn_startmenu_news")) : nullptr;
        if (button == nullptr) return nullptr;
        Ticks(20);
        // The badge sits 2 pixels left of the caption, on the button's middle; the number on it.
        const TCoord2D centre = button->CalcCenter();
        const int captionLeft = centre.x - button->GetLook().font->Length2(button->GetCaption().GetDataConst()) / 2;
        badgeX = captionLeft - 2 - 10;
        badgeY = centre.y;
        return button;
    }
    TImage Alone(CXNewsButton* button) {
        Ticks(1);
        IDibBitmap* back = game.m_Screen.m_pBackBuffer;
        back->HWBeginScene();
        back->FillRectangle(0, 0, back->m_Width, back->m_Height, 0, 0, 0);
        button->Draw();
        return gl->Read();
    }
    bool BadgeDrawn(const TImage& img) {
        return !BoxIn(img, std::max(0, badgeX - 9), badgeY - 9, badgeX + 9, badgeY + 9, PictureRed).Empty();
    }
    // Light ink on the badge: its rim and shine, and the number when it shows.
    int LightOnBadge(const TImage& img) {
        int light = 0;
        for (int y = badgeY - 5; y < badgeY + 6; ++y)
            for (int x = std::max(0, badgeX - 5); x < badgeX + 6; ++x) light += Light(img.At(x, y)) ? 1 : 0;
        return light;
    }
    int badgeX = 0, badgeY = 0;
};

TEST_F(NewsButtonTest, TheCountBlinksOnTheBadge16FramesOn16Off) {
    StartNews(3);
    CXNewsButton* button = Button();
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsVisible()) << "kept news shows the button";
    EXPECT_EQ(button->GetNumFreshNews(), 3);
    KeepPicture(Frame(), "news", "01_button_with_badge.png");
    std::vector<int> light;
    for (int frame = 0; frame < 64; ++frame) {
        const TImage img = Alone(button);
        EXPECT_TRUE(BadgeDrawn(img)) << frame;
        light.push_back(LightOnBadge(img));
    }
    const int low = *std::min_element(light.begin(), light.end());
    const int high = *std::max_element(light.begin(), light.end());
    ASSERT_GE(high - low, 8) << "the number adds ink when it shows";
    std::vector<bool> shown;
    for (int n : light) shown.push_back(n > (low + high) / 2);
    // Shown for 16 frames, hidden for 16, whatever the phase it started in.
    int changes = 0;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        if (shown[i] == shown[i - 1]) continue;
        ++changes;
        for (std::size_t k = i; k < i + 16 && k < shown.size(); ++k) EXPECT_EQ(shown[k], shown[i]) << k;
    }
    EXPECT_GE(changes, 3);
}

TEST_F(NewsButtonTest, NoBadgeAtACountOf0) {
    StartNews(3, 1);  // every item shown already: none fresh
    CXNewsButton* button = Button();
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsVisible());
    EXPECT_EQ(button->GetNumFreshNews(), 0);
    std::vector<int> light;
    for (int frame = 0; frame < 40; ++frame) {
        const TImage img = Alone(button);
        EXPECT_FALSE(BadgeDrawn(img)) << frame;
        light.push_back(LightOnBadge(img));
    }
    EXPECT_EQ(*std::max_element(light.begin(), light.end()), 0) << "and no number";
}

TEST_F(NewsWidgetsTest, WithoutNewsTheButtonStaysHidden) {
    StartEngine();  // no cache: nothing kept
    CXStartMenu2* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    XWidget* button = menu->FindChildWithWidgetId("btn_startmenu_news");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->IsVisible());
}

TEST_F(NewsWidgetsTest, NoRecentNewsWinsOverTheConnectionError) {
    StartEngine();
    game.m_pNewsManager->m_bConnectionError = true;
    CXNewsDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    game.m_pNewsManager->m_bConnectionError = true;  // the opening cleared it
    const TImage img = Frame();
    KeepPicture(img, "news", "02_no_recent_news.png");
    const TCoord2D centre = dialog->GetContentCentre();
    const int h = LineHeight();
    const mediatest::TBox headline = BoxIn(img, 0, centre.y - 3 * h / 2 - 2, 320, centre.y - h / 2, Headline);
    ASSERT_FALSE(headline.Empty());
    EXPECT_NEAR(headline.Width(), TextWidth("No recent news."), 4);
    EXPECT_GT(std::abs(headline.Width() - TextWidth("Connection Error.")), 6);
    EXPECT_NEAR(headline.CentreX(), 160, 3) << "centred on the screen";
}

TEST_F(NewsWidgetsTest, WithNewsAConnectionErrorIsSaid) {
    StartNews(1);
    CXNewsDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    game.m_pNewsManager->m_bConnectionError = true;
    const TImage img = Frame();
    KeepPicture(img, "news", "03_connection_error.png");
    const TCoord2D centre = dialog->GetContentCentre();
    const int h = LineHeight();
    const mediatest::TBox headline = BoxIn(img, 0, centre.y - 3 * h / 2 - 2, 320, centre.y - h / 2, Headline);
    EXPECT_NEAR(headline.Width(), TextWidth("Connection Error."), 4);
}

TEST_F(NewsWidgetsTest, WithoutItsPlaceholderTheDialogCentresOnTheScreen) {
    OverlayTemplate([](std::string& t) {
        const std::string child = "    child = \"img_news_dummy\"\n        position = 12, 44\n";
        const auto at = t.find(child);
        ASSERT_NE(at, std::string::npos);
        t.erase(at, child.size());
    });
    StartEngine();
    CXNewsDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->FindChildWithWidgetId("img_news_dummy"), nullptr);
    EXPECT_EQ(dialog->GetContentCentre().x, 160);
    EXPECT_EQ(dialog->GetContentCentre().y, 240);
    const TImage img = Frame();
    const int h = LineHeight();
    const mediatest::TBox headline = BoxIn(img, 0, 0, 320, 480, Headline);
    EXPECT_NEAR(headline.CentreX(), 160, 3);
    // The message (wrapped to the panel) stands as one block centred on the screen's middle:
    // the headline's cell as far above it as the last line's cell ends below it.
    const TCoordRect2D panel = dialog->GetDrawingRect();
    const mediatest::TBox body = BoxIn(img, panel.x + 4, headline.bottom + 1, panel.x + panel.width - 4, 290, Light);
    ASSERT_FALSE(body.Empty());
    const int lines = 1 + (body.bottom - headline.top) / h;
    EXPECT_GE(lines, 3);
    const int blockTop = 240 - lines * h / 2;
    EXPECT_GE(headline.top, blockTop) << "the headline in the block's first line";
    EXPECT_LT(headline.bottom, blockTop + h);
    EXPECT_LT(body.bottom, blockTop + lines * h) << "the last line in the block";
}

// The no-news and connection-error messages on narrow screens: every line stays inside the panel.
// The lines expected are the words of the two white lines filled greedily into the panel's width
// less 12 pixels a side, or the two lines as they stand when both fit; they are found on screen
// one line height apart below the headline, centred, and the block is centred on the placeholder.
struct TMessageCase {
    const char* name;
    int screenWidth;
    int panelTiles;  // the panel's centre tiles across; 0: the template's own panel
    bool connectionError;
    const char* headline;
    const char* second;
};

void PrintTo(const TMessageCase& c, std::ostream* os) { *os << c.name; }

class NewsMessageTest : public NewsWidgetsTest, public ::testing::WithParamInterface<TMessageCase> {
protected:
    TCoord2D ScreenSize() const override { return {GetParam().screenWidth, 480}; }
};

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (c != ' ') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

TEST_P(NewsMessageTest, EveryLineStaysInsideThePanel) {
    const TMessageCase& c = GetParam();
    if (c.panelTiles > 0)
        OverlayTemplate([&](std::string& t) {
            const std::string tiles =
                "    background = \"tbg_panel\"\n    bgCenterTilesX = 17\n    bgCenterTilesY = 20\n"
                "    child = \"txt_news_title\"";
            const auto at = t.find(tiles);
            ASSERT_NE(at, std::string::npos);
            t.replace(at + t.substr(at).find("17"), 2, std::to_string(c.panelTiles));
        });
    if (c.connectionError)
        StartNews(1);
    else
        StartEngine();
    CXNewsDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    game.m_pNewsManager->m_bConnectionError = c.connectionError;
    const TImage img = Frame();
    KeepPicture(img, "news", std::string("message_") + c.name + ".png");

    const TCoordRect2D panel = dialog->GetDrawingRect();
    ASSERT_LE(panel.width, c.screenWidth);
    const int h = LineHeight();
    const std::string first = "The game cannot open the news because";
    const int room = panel.width - 24;
    std::vector<std::string> lines;
    if (TextWidth(first.c_str()) < room && TextWidth(c.second) < room) {
        lines = {first, c.second};
    } else {
        for (const std::string& word : Words(first + " " + c.second)) {
            const std::string longer = lines.empty() ? word : lines.back() + " " + word;
            if (!lines.empty() && TextWidth(longer.c_str()) < room)
                lines.back() = longer;
            else
                lines.push_back(word);
        }
    }
    for (const std::string& line : lines) ASSERT_LT(TextWidth(line.c_str()), room) << line;

    // Everything light or in the headline's colour between the title and the arrows.
    const TCoord2D centre = dialog->GetContentCentre();
    const int y0 = panel.y + 44, y1 = panel.y + 224;
    auto ink = [](const Pixel& p) { return Light(p) || Headline(p); };
    const mediatest::TBox all = BoxIn(img, 0, y0, c.screenWidth, y1, ink);
    ASSERT_FALSE(all.Empty());
    EXPECT_GE(all.left, panel.x + 10) << "inside the panel's left edge";
    EXPECT_LE(all.right, panel.x + panel.width - 11) << "inside the panel's right edge";

    const int n = 1 + static_cast<int>(lines.size());
    const int top = centre.y - n * h / 2;
    const mediatest::TBox headline = BoxIn(img, 0, top, c.screenWidth, top + h, Headline);
    EXPECT_NEAR(headline.Width(), TextWidth(c.headline), 4);
    EXPECT_NEAR(headline.CentreX(), c.screenWidth / 2.0, 3);
    EXPECT_TRUE(BoxIn(img, 0, y0, c.screenWidth, top - 1, ink).Empty()) << "nothing above the headline";
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const int lineTop = top + (i + 1) * h;
        const mediatest::TBox box = BoxIn(img, 0, lineTop, c.screenWidth, lineTop + h - 1, Light);
        EXPECT_NEAR(box.Width(), TextWidth(lines[i].c_str()), 4) << lines[i];
        EXPECT_NEAR(box.CentreX(), c.screenWidth / 2.0, 3) << lines[i];
    }
    EXPECT_TRUE(BoxIn(img, 0, top + n * h + 1, c.screenWidth, y1, ink).Empty()) << "nothing below the last line";
}

INSTANTIATE_TEST_SUITE_P(
    Widths, NewsMessageTest,
    ::testing::Values(
        TMessageCase{"no_news_320", 320, 0, false, "No recent news.", "there is no recent news on server."},
        TMessageCase{"no_news_360", 360, 0, false, "No recent news.", "there is no recent news on server."},
        TMessageCase{"error_320", 320, 0, true, "Connection Error.", "it is not connected to the Internet."},
        TMessageCase{"error_360", 360, 0, true, "Connection Error.", "it is not connected to the Internet."},
        // A panel wide enough for both lines keeps them as they are.
        TMessageCase{"no_news_wide_panel_360", 360, 20, false, "No recent news.",
                     "there is no recent news on server."}),
    [](const ::testing::TestParamInfo<TMessageCase>& info) { return std::string(info.param.name); });

TEST_F(NewsWidgetsTest, ThePictureIsCentredOnThePlaceholderAndATapOpensItsLink) {
    StartNews(2);
    CXNewsDialog* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PicturesShown());
    const TCoordRect2D dummy = dialog->FindChildWithWidgetId("img_news_dummy")->GetDrawingRect();
    EXPECT_EQ(dialog->GetContentCentre().x, dummy.x + dummy.width / 2);
    EXPECT_EQ(dialog->GetContentCentre().y, dummy.y + dummy.height / 2);
    const TImage img = Frame();
    KeepPicture(img, "news", "04_picture.png");
    const mediatest::TBox picture = BoxIn(img, 0, 0, 320, 480, PictureRed);
    EXPECT_NEAR(picture.CentreX(), dummy.x + dummy.width / 2, 1);
    EXPECT_NEAR(picture.CentreY(), dummy.y + dummy.height / 2, 1);
    EXPECT_EQ(picture.Width(), 120);
    EXPECT_EQ(picture.Height(), 80);
    const TCoordRect2D r = dialog->GetPictureRect();
    EXPECT_EQ(r.x >> 8, picture.left);
    EXPECT_EQ(r.width >> 8, 120);

    (void)Invoked();
    const int inX = picture.left + 10, inY = picture.top + 10;
    const int outX = picture.left - 5, outY = picture.top + 10;
    // Pressed outside, let go inside: no link.
    Touch(XPOINTER_PRESS, outX, outY);
    Touch(XPOINTER_MOVE, inX, inY);
    Touch(XPOINTER_RELEASE, inX, inY);
    EXPECT_TRUE(Invoked().empty());
    // Pressed inside, moved out and back, let go inside: the link, once.
    Touch(XPOINTER_PRESS, inX, inY);
    EXPECT_TRUE(dialog->IsPicturePressed());
    const TImage pressed = Frame();
    KeepPicture(pressed, "news", "05_picture_pressed.png");
    EXPECT_TRUE(BoxIn(pressed, picture.left, picture.top, picture.right, picture.bottom, PictureRed).Empty())
        << "covered in blue while pressed";
    Touch(XPOINTER_MOVE, outX, outY);
    EXPECT_FALSE(dialog->IsPressedInside());
    Touch(XPOINTER_MOVE, inX, inY);
    EXPECT_TRUE(dialog->IsPressedInside());
    Touch(XPOINTER_RELEASE, inX, inY);
    EXPECT_EQ(Invoked(), std::vector<std::string>{"http://www.example.org/item1"});
    EXPECT_FALSE(dialog->IsPicturePressed());
    // Pressed inside, let go outside: no link.
    Touch(XPOINTER_PRESS, inX, inY);
    Touch(XPOINTER_RELEASE, outX, outY);
    EXPECT_TRUE(Invoked().empty());

    // The arrows step through the items.
    EXPECT_EQ(dialog->OnMessage(dialog, XMSG_CLICK, XIdParam("btn_news_next"), 0), 1);
    EXPECT_EQ(game.m_pNewsManager->m_nCurrentItem, 1);
    EXPECT_EQ(dialog->OnMessage(dialog, XMSG_CLICK, XIdParam("btn_news_prev"), 0), 1);
    EXPECT_EQ(game.m_pNewsManager->m_nCurrentItem, 0);
    EXPECT_EQ(dialog->OnMessage(dialog, XMSG_CLICK, XIdParam("btn_news_prev"), 0), 1);
    EXPECT_EQ(game.m_pNewsManager->m_nCurrentItem, 1) << "wrapping";
}

TEST_F(NewsWidgetsTest, TheSlideshowAndTheDotsStandStillWhileTheDialogFades) {
    StartNews(1);
    CXNewsDialog* dialog = OpenDialog(1);
    ASSERT_NE(dialog, nullptr);
    // Fading in: nothing moves.
    int ticks = 1;
    while ((dialog->GetOpacity() >> 8) <= 254) {
        EXPECT_EQ(dialog->GetLoadingCounter(), 0) << ticks;
        EXPECT_EQ(game.m_pNewsManager->m_nTick, 0) << ticks;
        Ticks(1);
        ASSERT_LT(++ticks, 60);
    }
    EXPECT_GT(ticks, 3) << "it did fade in";
    // Fully shown: 64 a tick.
    const int before = dialog->GetLoadingCounter();
    Ticks(5);
    EXPECT_EQ(dialog->GetLoadingCounter(), before + 5 * 64);
    ASSERT_TRUE(PicturesShown());
    const int tick = game.m_pNewsManager->m_nTick;
    Ticks(3);
    EXPECT_EQ(game.m_pNewsManager->m_nTick, tick + 3) << "the slideshow runs";
    // The dots' counter comes back to 0 at 153600.
    const int now = dialog->GetLoadingCounter();
    for (int i = now; i + 64 < CXNewsDialog::kLoadingWrap; i += 64) dialog->RunProcess();
    EXPECT_EQ(dialog->GetLoadingCounter(), CXNewsDialog::kLoadingWrap - 64);
    dialog->RunProcess();
    EXPECT_EQ(dialog->GetLoadingCounter(), 0);

    // Closed: it fades out, and nothing moves while it does.
    CXStartMenu2* menu = game.m_pStartMenu;
    ASSERT_EQ(menu->OnMessage(dialog, XMSG_CLICK, XIdParam("btn_news_close"), 0), 1);
    const int counter = dialog->GetLoadingCounter();
    const int slideshow = game.m_pNewsManager->m_nTick;
    for (int i = 0; i < 3 && menu->FindChildWithWidgetId("dlg_news") == dialog; ++i) {
        Ticks(1);
        if (menu->FindChildWithWidgetId("dlg_news") != dialog) break;
        EXPECT_EQ(dialog->GetLoadingCounter(), counter);
        EXPECT_EQ(game.m_pNewsManager->m_nTick, slideshow);
    }
}

}  // namespace

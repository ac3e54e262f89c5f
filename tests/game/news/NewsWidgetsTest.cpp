// The news widgets on the real pak with a news.fed fixture and its pictures in the save folder:
// the button's badge and its blinking count, the dialog's texts for no news and a connection
// error, its centre with and without img_news_dummy, a tap on the picture, the steps between
// items, and the slideshow and loading dots standing still while the dialog fades. Frames are
// kept as pictures (build/<preset>/screens/news).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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
    EXPECT_NEAR(headline.CentreY(), 240 - h, 3) << "the first line one and a half lines above the centre";
}

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

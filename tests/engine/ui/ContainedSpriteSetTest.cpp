// Widget images: path normalising, named and file images, references given back, and frame
// numbers from templates that lie outside their set (nothing drawn, nothing hit). Also the
// template files read through the game.
#include "ui/ContainedSpriteSet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WidgetFixtures.h"
#include "sprites/SpriteSet.h"
#include "ui/Button.h"
#include "ui/Image.h"
#include "ui/Progress.h"
#include "ui/TiledBG.h"
#include "ui/Tuner.h"
#include "ui/WidgetFactory.h"

namespace {

using namespace widgettest;

std::string S(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

TEST(PrepareFileAFilePathsTest, EndingsAndFallbacks) {
    struct TCase {
        const char* file;
        const char* afile;
        int result;
        const char* wantFile;
        const char* wantAFile;
        const char* why;
    };
    const TCase cases[] = {
        {"ui\\a.png", "", 1, "ui\\a", "ui\\a", "no alpha path: the image path for both"},
        {"", "b_a.jpg", 1, "b_a", "b_a", "no image path: the alpha path for both"},
        {"x.png", "y_a.jpg", 1, "x", "y_a", "each loses its ending"},
        {"a.PNG", "", 1, "a.PNG", "a.PNG", "endings are case-sensitive"},
        {".png", "", 1, "", "", "a path of only an ending"},
        {"png", "", 1, "png", "png", "three characters keep everything"},
        {"a.gif", "", 1, "a.gif", "a.gif", "other endings stay"},
        {"", "", 0, "", "", "nothing to load"},
    };
    for (const TCase& c : cases) {
        CommonString file(c.file);
        CommonString afile(c.afile);
        EXPECT_EQ(PrepareFileAFilePaths(file, afile), c.result) << c.why;
        EXPECT_EQ(S(file), c.wantFile) << c.why;
        EXPECT_EQ(S(afile), c.wantAFile) << c.why;
    }
}

class ContainedSpriteSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        const TRgba red{255, 0, 0, 255};
        const TRgba green{0, 255, 0, 255};
        host.SetPak({Strip2x("btn3", 20, 10, {red, green, red}),
                     Strip2x("pic", 8, 6, {green}),
                     Strip2x("strip", 5, 5, {red, green, red, green}),
                     Strip2x("tiles4", 4, 4, {red, red, red, red}),
                     {"ui\\ui_iphone\\screens.txt", Bytes(kScreens, kScreens + sizeof kScreens - 1)}});
        ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("btn3", "btn3", "", 3, 3, false, false), 1);
        ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("tiles4", "tiles4", "", 4, 4, false, false), 1);
        templ = Parse(
            "image = far\n set = btn3\n frame = 7\nend\n"
            "image = negative\n set = btn3\n frame = -1\nend\n"
            "image = missing\n set = nothing\nend\n"
            "image = file\n file = pic.png\nend\n"
            "image = frames\n file = strip.png 4 4\n frame = 2\nend\n"
            "image = nofile\n file = absent.png\nend\n"
            "progress = bar\n set_empty = btn3\n set_full = btn3\n frame_full = 5\nend\n"
            "tuner = tun\n tunerId = btn3\n tunerFrame = 9\nend\n"
            "tiledBG = tiles\n single_set = 1\n center = tiles4\nend\n");
        parentRecord.name = "dlg";
        parent = std::make_unique<CRecorder>(&host, &parentRecord);
        host.MakeSoftScreen(64, 64);
    }
    void TearDown() override { parent->DeleteAllChildWidgets(); }

    template <class T>
    T* Make(const char* name) {
        return dynamic_cast<T*>(
            CreateAndInitLeafWidget(parent.get(), templ.get(), templ->GetWidget(name), nullptr, 1, 1));
    }
    // No pixel of the back buffer was drawn.
    bool ScreenIsBlank() {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                if (host.Pixel(x, y) != 0) return false;
        return true;
    }

    static constexpr char kScreens[] =
        "root = scr\n child = btn\n end\nend\n"
        "button = btn\n set = btn3\nend\n"
        "action = acn_go\n destroy = btn\nend\n";

    CUiHost host;
    std::unique_ptr<TTemplate> templ;
    TWidget parentRecord;
    std::unique_ptr<CRecorder> parent;
};

TEST_F(ContainedSpriteSetTest, FramesOutsideTheSetShowAndMeasureNothing) {
    for (const char* name : {"far", "negative"}) {
        XImage* image = Make<XImage>(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->Image().Size(image->Image().frame).width, 0) << name;
        EXPECT_EQ(image->Image().CurrentBitmap(), nullptr) << name;
        EXPECT_EQ(image->GetSize().width, 0) << name;
        EXPECT_EQ(image->GetSize().height, 0) << name;
    }
    XProgress* bar = Make<XProgress>("bar");
    ASSERT_NE(bar, nullptr);
    bar->SetPercent(50);
    EXPECT_EQ(bar->GetProgress(), 0) << "no full bitmap at frame 5: the bar stays empty";
    XTuner* tuner = Make<XTuner>("tun");
    ASSERT_NE(tuner, nullptr);
    EXPECT_EQ(tuner->GetSize().width, 0);
    parent->Draw();
    EXPECT_FALSE(ScreenIsBlank()) << "the progress bar's empty image (frame 0) is drawn";
    // Only the widgets whose frames lie outside their sets: nothing at all.
    parent->DeleteAllChildWidgets();
    host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
    Make<XImage>("far");
    Make<XImage>("negative");
    Make<XTuner>("tun");
    parent->Draw();
    EXPECT_TRUE(ScreenIsBlank());
}

TEST_F(ContainedSpriteSetTest, SingleSetWithTooFewFramesLeavesTilesOut) {
    XTiledBG* tiles = Make<XTiledBG>("tiles");
    ASSERT_NE(tiles, nullptr);
    // Frames 0..3 exist: left_top, top, right_top and left; the rest of the grid is empty.
    EXPECT_EQ(tiles->GetSize().width, 4 + 0 + 0) << "the middle row has only its left tile";
    EXPECT_EQ(tiles->GetSize().height, 4 + 0 + 0);
    parent->Draw();
    EXPECT_EQ(host.Pixel(1, 1), PackRGB565(255, 0, 0));
    EXPECT_EQ(host.Pixel(9, 1), PackRGB565(255, 0, 0)) << "right_top after one centre column";
}

TEST_F(ContainedSpriteSetTest, NamedAndFileImages) {
    CSpriteSet* shared = host.m_Sets.GetSpriteSetNamed("btn3");
    XImage* missing = Make<XImage>("missing");
    ASSERT_NE(missing, nullptr) << "a set that is not declared is no failure";
    EXPECT_EQ(missing->Image().set, nullptr);

    XImage* file = Make<XImage>("file");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->Image().owned);
    EXPECT_EQ(file->GetSize().width, 8) << "the 2x image drawn at half size";
    EXPECT_EQ(file->GetSize().height, 6);
    XImage* frames = Make<XImage>("frames");
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->Image().LoadedFrameCount(), 4);
    parent->SetPosition(0, 0, 64, 64);
    parent->Draw();
    EXPECT_EQ(host.Pixel(1, 1), PackRGB565(255, 0, 0)) << "the strip's frame 2, drawn last over the picture";
    EXPECT_EQ(host.Pixel(6, 1), PackRGB565(0, 255, 0)) << "the picture beyond the 5-pixel frame";

    EXPECT_EQ(Make<XImage>("nofile"), nullptr) << "an image file that cannot be loaded fails the widget";

    XImage* named = Make<XImage>("far");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(shared->GetRefCount(), 1);
    parent->DeleteAllChildWidgets();
    EXPECT_EQ(shared->GetRefCount(), 0) << "the reference is given back with the widget";
    EXPECT_FALSE(shared->IsLoaded());

    host.m_pSpriteSetManager = nullptr;
    EXPECT_EQ(Make<XImage>("far"), nullptr) << "a set image without a sprite-set manager fails";
}

TEST_F(ContainedSpriteSetTest, TemplateFilesThroughTheGame) {
    CTemplateReader reader;
    std::unique_ptr<TTemplate> read(reader.ReadTemplate(&host, CommonString("screens.txt")));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->widgets.count, 2);
    EXPECT_EQ(read->actions.count, 1);
    EXPECT_EQ(reader.ReadTemplate(&host, CommonString("absent.txt")), nullptr);
    std::unique_ptr<TWidget> one(reader.ReadWidget(&host, "screens.txt", "btn"));
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->kind, kWidgetButton);
    std::unique_ptr<TAction> action(reader.ReadAction(&host, CommonString("screens.txt"), "acn_go"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->steps.count, 1);
    EXPECT_EQ(reader.ReadAction(&host, CommonString("absent.txt"), "acn_go"), nullptr);
    EXPECT_EQ(reader.ReadWidget(nullptr, "screens.txt", "btn"), nullptr);
}

}  // namespace

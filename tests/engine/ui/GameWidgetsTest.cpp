// The game's widgets: which class the game dialog makes for each record, the game button's frames
// by frame count, the press sound and the rectangle hit test. Colours come from the fixture
// images. What draws only through OpenGL ES is in GameDrawTest.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "DialogFixtures.h"
#include "audio/SoundManager.h"
#include "render/DibBitmap.h"
#include "testsupport/StubSoundSystem.h"
#include "ui/CheckBox.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/GameStretchImage.h"
#include "ui/Progress.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace dialogtest;

constexpr TRgba kF0{255, 0, 0, 255};
constexpr TRgba kF1{0, 255, 0, 255};
constexpr TRgba kF2{0, 0, 255, 255};

// A class the game supplies for one id.
class CGameOwnButton : public XGameButton {
public:
    using XGameButton::XGameButton;
};

// A game dialog under a recording parent, from a template of the test's records.
class CGameBench {
public:
    explicit CGameBench(const std::string& text) {
        host.SetPak({Strip2x("one", 40, 20, {kF0}), Strip2x("two", 40, 20, {kF0, kF1}),
                     Strip2x("three", 40, 20, {kF0, kF1, kF2})});
        for (auto [name, frames] : std::vector<std::pair<const char*, int>>{{"one", 1}, {"two", 2}, {"three", 3}})
            EXPECT_EQ(host.m_Sets.AddSpriteSetSingle(name, name, "", frames, frames, false, false), 1);
        templ = Parse(text);
        parent = std::make_unique<CRecorder>(&host, nullptr);
    }
    ~CGameBench() { parent->DeleteAllChildWidgets(); }

    XGameDialog* Make(const char* name) {
        return static_cast<XGameDialog*>(
            MakeAndInitWidget(MakeWidget<XGameDialog>, parent.get(), templ.get(), templ->GetWidget(name), nullptr));
    }

    CScreenHost host;
    std::unique_ptr<TTemplate> templ;
    std::unique_ptr<CRecorder> parent;
};

TEST(GameWidgetsTest, TheGameDialogMakesTheGameClassesByKindAndId) {
    CGameBench bench(
        "dialog = d\n modal = children\n"
        " child = btn_player_4\n end\n child = btn_change_player\n end\n child = btn_any\n end\n"
        " child = btn_game_own\n end\n child = img_bg\n end\n child = img_DlgBg2\n end\n child = img_plain\n end\n"
        " child = dlg_inner\n end\n child = txt\n end\n child = pb\n end\n child = chk\n end\n"
        "end\n"
        "button = btn_player_4\n set = one\nend\nbutton = btn_change_player\n set = one\nend\n"
        "button = btn_any\n set = one\nend\nbutton = btn_game_own\n set = one\nend\n"
        "image = img_bg\n set = one\nend\nimage = img_DlgBg2\n set = one\nend\nimage = img_plain\n set = one\nend\n"
        "dialog = dlg_inner\n modal = children\n child = btn_inner\n end\nend\nbutton = btn_inner\n set = one\nend\n"
        "text = txt\n caption = t\nend\nprogress = pb\n set_empty = one\n set_full = one\nend\n"
        "checkBox = chk\n set = one\nend\n");
    bench.host.m_GameDialogRows = {{kWidgetButton, "btn_game_own", MakeWidget<CGameOwnButton>},
                                   {kWidgetButton, "btn_any_unused", nullptr}};
    XGameDialog* dialog = bench.Make("d");
    ASSERT_NE(dialog, nullptr);
    struct TClassCase {
        const char* id;
        const std::type_info& type;
    };
    const TClassCase cases[] = {
        {"btn_player_4", typeid(XRectButton)},
        {"btn_change_player", typeid(XRectButton)},
        {"btn_any", typeid(XGameButton)},
        {"btn_game_own", typeid(CGameOwnButton)},
        {"img_bg", typeid(XGameStretchImage)},
        {"img_DlgBg2", typeid(XGameStretchImage)},
        {"img_plain", typeid(XImage)},
        {"dlg_inner", typeid(XGameDialog)},
        {"btn_inner", typeid(XGameButton)},
        {"txt", typeid(XText)},
        {"pb", typeid(XProgress)},
        {"chk", typeid(XCheckBox)},
    };
    for (const TClassCase& c : cases) {
        XWidget* widget = dialog->FindChildWithWidgetId(c.id);
        ASSERT_NE(widget, nullptr) << c.id;
        EXPECT_EQ(typeid(*widget), c.type) << c.id;
    }
}

TEST(GameWidgetsTest, ButtonFramesByFrameCount) {
    CGameBench bench(
        "dialog = d\n modal = children\n"
        " child = b1\n  position = 0 0\n end\n child = b2\n  position = 50 0\n end\n"
        " child = b3\n  position = 100 0\n end\n"
        "end\n"
        "button = b1\n set = one\nend\nbutton = b2\n set = two\nend\nbutton = b3\n set = three\nend\n");
    bench.host.MakeSoftScreen(200, 40);
    XGameDialog* dialog = bench.Make("d");
    ASSERT_NE(dialog, nullptr);

    struct TFrameCase {
        const char* id;
        int centreX;
        TRgba idle;
        TRgba pressed;
    };
    const TFrameCase cases[] = {
        {"b1", 20, kF0, kF0},
        {"b2", 70, kF0, kF1},
        {"b3", 120, kF0, kF2},
    };
    for (const TFrameCase& c : cases) {
        auto* button = static_cast<XGameButton*>(Find(dialog, c.id));
        dialog->SetFocus(button);
        bench.host.m_Screen.m_pBackBuffer->ClearBitmap(0, 0, 0);
        dialog->Draw();
        EXPECT_EQ(bench.host.Pixel(c.centreX, 10), Rgb565Of(c.idle)) << c.id << ": frame 0 idle, focused or not";
        button->NotifyPointerEvent(c.centreX, 10, XPOINTER_PRESS);
        dialog->Draw();
        EXPECT_EQ(bench.host.Pixel(c.centreX, 10), Rgb565Of(c.pressed)) << c.id << " pressed";
        button->NotifyPointerEvent(c.centreX, 10, XPOINTER_RELEASE);
    }
}

// A sound system that hands out ids on load and keeps what it plays.
class CPlayLog : public CStubSoundSystem {
public:
    int LoadWAV(const char*) override { return 7; }
    int PlaySFX(int id, bool) override {
        played.push_back(id);
        return 0;
    }
    std::vector<int> played;
};

TEST(GameWidgetsTest, APressPlaysTheButtonSoundUnlessTheFlagIsCleared) {
    CGameBench bench("dialog = d\n modal = children\n child = b\n end\nend\nbutton = b\n set = one\nend\n");
    auto* sound = new CPlayLog();
    bench.host.m_pSoundSystem = sound;
    CSoundManager sounds(&bench.host);
    SoundFXData* click = sounds.AddSoundFX(CommonString("SFX_BUTTON_PRESSED"));
    ASSERT_NE(click, nullptr);
    click->file = "click.wav";
    ASSERT_TRUE(sounds.AddReference(click));
    bench.host.m_pSoundManager = &sounds;

    XGameDialog* dialog = bench.Make("d");
    auto* button = static_cast<XGameButton*>(Find(dialog, "b"));
    bench.parent->Take();
    button->NotifyPointerEvent(20, 10, XPOINTER_PRESS);
    EXPECT_EQ(sound->played, (std::vector<int>{7}));
    button->NotifyPointerEvent(20, 10, XPOINTER_RELEASE);
    EXPECT_EQ(sound->played.size(), 1u) << "the click is silent";
    button->SetPressSound(false);
    button->NotifyPointerEvent(20, 10, XPOINTER_PRESS);
    button->NotifyPointerEvent(20, 10, XPOINTER_RELEASE);
    EXPECT_EQ(sound->played.size(), 1u);
    EXPECT_EQ(bench.parent->Take(),
              (std::vector<TMessage>{
                  {XMSG_PRESSED, "b", 0}, {XMSG_CLICK, "b", 0}, {XMSG_PRESSED, "b", 0}, {XMSG_CLICK, "b", 0}}))
        << "the messages go out either way";
    bench.host.m_pSoundManager = nullptr;
}

TEST(GameWidgetsTest, TheRectangleHitTest) {
    CGameBench bench(
        "dialog = d\n modal = children\n child = b\n end\n child = btn_player_1\n  position = 100 0\n end\nend\n"
        "button = b\n set = one\n size = 60 30\nend\nbutton = btn_player_1\n set = one\n size = 60 30\nend\n");
    XGameDialog* dialog = bench.Make("d");
    auto* button = static_cast<XGameButton*>(Find(dialog, "b"));
    // The 40 x 20 frame centred in the 60 x 30 rectangle spans x 10..49 and y 5..24.
    EXPECT_FALSE(button->Contains(5, 2)) << "the frame decides";
    EXPECT_TRUE(button->Contains(10, 5));
    button->SetRectHit(true);
    EXPECT_TRUE(button->Contains(5, 2)) << "the rectangle decides";
    EXPECT_TRUE(button->Contains(60, 30)) << "far edges inside";
    EXPECT_FALSE(button->Contains(61, 30));
    XWidget* rect = Find(dialog, "btn_player_1");
    EXPECT_TRUE(rect->Contains(100, 0));
    EXPECT_TRUE(rect->Contains(160, 30));
}

}  // namespace

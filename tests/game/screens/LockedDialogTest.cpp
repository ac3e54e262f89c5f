// The locked dialog on the real pak: its two lines for one star, several stars and all previous
// yards, texts of the template that are not fit to be printf formats, the pulse of the stars to
// earn (16 frames a rise), and where its icons stand with and without their anchor, read back
// from the pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "PlayScreenTestGame.h"
#include "testsupport/PngRead.h"

namespace {

using mediatest::TImage;
using Colour = std::array<std::uint8_t, 4>;

// The template's panel: 272 x 240, centred on a 320 x 480 screen, with its 76 x 76 anchor
// centred across it 100 pixels from its top.
constexpr int kPanelLeft = 24, kPanelTop = 120;
constexpr int kAnchorCentreX = 160, kAnchorCentreY = kPanelTop + 100 + 38;

class LockedDialogTest : public PlayScreenTest {
protected:
    // The play screen with the second arena's locked dialog up and faded in.
    CXLockedDialog* OpenArena2Dialog(int fadeTicks = 20) {
        HintsSeen(true, true, true);
        if (Open() == nullptr) return nullptr;
        Tap(160, 142);
        CXLockedDialog* dialog = Locked("dlg_msg_arena_locked");
        Ticks(fadeTicks);
        return dialog;
    }
    // The centre of the text's rectangle across.
    int TextCentreX(const char* id) {
        const TCoordRect2D r = Find(id)->GetDrawingRect();
        return r.x + r.width / 2;
    }
};

TEST_F(LockedDialogTest, TheLinesSayHowManyStarsInWhichYard) {
    CXLockedDialog* dialog = OpenArena2Dialog();
    ASSERT_NE(dialog, nullptr);
    // One dialog filled again and again: each fill starts from the template's texts.
    const struct {
        const char* id;
        int stars;
        const char* line2;
        const char* line3;
        bool allPrevious;
    } cases[] = {
        {"yard1", 1, "Collect a Star", "in Sunny Meadow to unlock it.", false},
        {"yard3", 3, "Collect 3 Stars", "in Willow Pond to unlock it.", false},
        {"all_previous", 2, "Collect 2 Stars", "in all previous Yards to unlock it.", true},
        {"no_such_yard", 2, "Collect 2 Stars", "in  to unlock it.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        dialog->SetupUnlockConditionText(CommonString(c.id), c.stars);
        EXPECT_EQ(TextOf("txt_unlock_line2"), c.line2);
        EXPECT_EQ(TextOf("txt_unlock_line3"), c.line3);
        EXPECT_EQ(dialog->IsAllPrevious(), c.allPrevious);
        EXPECT_EQ(dialog->GetStarsNeeded(), c.stars);
        // Laid out again for their new widths: still centred on the panel.
        EXPECT_NEAR(TextCentreX("txt_unlock_line2"), 160, 1);
        EXPECT_NEAR(TextCentreX("txt_unlock_line3"), 160, 1);
    }
}

TEST_F(LockedDialogTest, TemplateTextsAreFilledInNeverUsedAsPrintfFormats) {
    // Texts a translator might write: a stray conversion, one too many, a bare percent sign. Taken
    // as printf formats they would read values that were never passed (and %n would write).
    OverlayTemplate([](std::string& t) {
        const auto swap = [&t](const std::string& from, const std::string& to) {
            const auto at = t.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            t.replace(at, from.size(), to);
        };
        swap("caption = \"Collect %s\"\n    txtid = ID_UI_UNLOCK_LINE2", "caption = \"%s for 100% %n%s%d\"");
        swap("caption = \"in %s to unlock it.\"\n    txtid = ID_UI_UNLOCK_LINE3", "caption = \"in %s%s, %p%%\"");
    });
    CXLockedDialog* dialog = OpenArena2Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf("txt_unlock_line2"), "a Star for 100% %n%s%d");
    EXPECT_EQ(TextOf("txt_unlock_line3"), "in Sunny Meadow%s, %p%");
}

// 255 x the ease of the pulse (its input to the nearest 256th), by the cosine.
double ExpectedGlow(int pulse) {
    const double t = std::lround(pulse * 256.0 / 255.0) / 256.0;
    return 255.0 * 256.0 * (1.0 - std::cos(std::numbers::pi * t)) / 2.0;
}

TEST_F(LockedDialogTest, TheStarsToEarnPulseSixteenFramesARise) {
    CXLockedDialog* dialog = OpenArena2Dialog(0);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->GetPulse(), 0);
    // Up by 16 a frame to 255 at the 16th, down again to 0 at the 32nd, and up from there.
    for (int frame = 1; frame <= 40; ++frame) {
        Ticks(1);
        int pulse;
        if (frame < 16)
            pulse = 16 * frame;
        else if (frame == 16)
            pulse = 255;
        else if (frame < 32)
            pulse = 255 - 16 * (frame - 16);
        else if (frame == 32)
            pulse = 0;
        else
            pulse = 16 * (frame - 32);
        ASSERT_EQ(dialog->GetPulse(), pulse) << "frame " << frame;
        if (pulse == 0 || pulse == 255)
            EXPECT_EQ(dialog->GetGlow(), pulse * 256) << "frame " << frame;
        else
            EXPECT_NEAR(dialog->GetGlow(), ExpectedGlow(pulse), 255.0 * 2) << "frame " << frame;
    }
}

TEST_F(LockedDialogTest, TheRequiredStarShowsAtTheTopOfThePulseAndGoesAtTheBottom) {
    const auto isGold = [](Colour p) { return p[0] > 200 && p[1] > 140 && p[2] < 100; };
    CXLockedDialog* dialog = OpenArena2Dialog(0);
    ASSERT_NE(dialog, nullptr);
    // The stars' row: 28 pixels apart, centred on the icon's bottom edge; the icon's gold frame
    // runs through their upper half, so their lower half is looked at.
    const int y = kAnchorCentreY + 38;
    const auto starHasGold = [&](const TImage& frame, int i) {
        const int x = kAnchorCentreX - 28 + 28 * i;
        return !mediatest::FindBoxIn(frame, x - 5, x + 5, isGold, y + 3, y + 8).Empty();
    };
    Ticks(16);
    ASSERT_EQ(dialog->GetPulse(), 255);
    TImage top = Frame();
    KeepPicture(top, "play-screen", "06_locked_arena.png");
    EXPECT_TRUE(starHasGold(top, 0)) << "one star to earn, shown whole";
    EXPECT_FALSE(starHasGold(top, 1));
    EXPECT_FALSE(starHasGold(top, 2));
    Ticks(16);
    ASSERT_EQ(dialog->GetPulse(), 0);
    EXPECT_FALSE(starHasGold(Frame(), 0)) << "gone at the bottom of the pulse";
}

// Whether the frame shows the first yard's thumbnail (the second arena's condition icon) centred
// at (cx, cy): its opaque pixels in the upper half match the picture in the pak's sheet, give or
// take a pixel of placement.
void ExpectThumbnailAt(const TImage& frame, int cx, int cy) {
    const TPngPixels sheet =
        ReadPngFile(std::string(COBBLE_BINARY_DIR) + "/content/stage/i_vga/sprites/ui/btn_play_yards.png");
    ASSERT_TRUE(sheet.ok);
    int checked = 0;
    for (const auto& [px, py] : {std::pair{38, 20}, {20, 30}, {56, 30}, {30, 44}, {46, 44}, {38, 10}}) {
        const std::vector<int> want = sheet.At(px, py);
        if (want[3] < 255) continue;
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
            for (int dx = -1; dx <= 1 && !near; ++dx) {
                const Colour got = frame.At(cx - 38 + px + dx, cy - 38 + py + dy);
                near = std::abs(got[0] - want[0]) <= 12 && std::abs(got[1] - want[1]) <= 12 &&
                       std::abs(got[2] - want[2]) <= 12;
            }
        EXPECT_TRUE(near) << "thumbnail pixel " << px << "," << py;
        ++checked;
    }
    EXPECT_GE(checked, 3) << "the sample points lie on the opaque picture";
}

TEST_F(LockedDialogTest, TheIconsStandOnTheirAnchorOrWithoutItOnTheDialogsPosition) {
    CXLockedDialog* dialog = OpenArena2Dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->GetIcon(0), SetFrame("btn_play_yards", 0));
    EXPECT_FALSE(Find("img_unlock_dummy")->IsVisible()) << "the anchor is only a place";
    ExpectThumbnailAt(Frame(), kAnchorCentreX, kAnchorCentreY);

    game.SafeDeleteChildren();
    OverlayTemplate([](std::string& t) {
        // The anchor's placement, in both dialogs.
        const std::string child =
            "    child = \"img_unlock_dummy\"\n        position = centered, 100\n"
            "        align = center\n";
        for (int i = 0; i < 2; ++i) {
            const auto at = t.find(child);
            ASSERT_NE(at, std::string::npos);
            t.erase(at, child.size());
        }
    });
    dialog = OpenArena2Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Find("img_unlock_dummy"), nullptr);
    const TCoordRect2D panel = dialog->GetDrawingRect();
    EXPECT_EQ(panel.x, kPanelLeft);
    EXPECT_EQ(panel.y, kPanelTop);
    ExpectThumbnailAt(Frame(), kPanelLeft, kPanelTop);
}

}  // namespace

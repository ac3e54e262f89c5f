// Pointer and key input of the button, the check box and the tuner, as the messages their parent
// receives and the state they keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "WidgetFixtures.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Tuner.h"
#include "ui/WidgetFactory.h"

namespace {

using namespace widgettest;

constexpr TRgba kRed{255, 0, 0, 255};
constexpr TRgba kGreen{0, 255, 0, 255};
constexpr TRgba kBlue{0, 0, 255, 255};
constexpr TRgba kWhite{255, 255, 255, 255};

// Buttons, check boxes and tuners over sprite sets of known frame sizes, under a recording parent.
class WidgetInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.SetPak({Strip2x("btn3", 20, 10, {kRed, kGreen, kBlue}), Strip2x("btn2", 20, 10, {kRed, kGreen}),
                     Strip2x("box", 12, 12, {kWhite, kWhite, kWhite}), Strip2x("tick", 12, 12, {kBlue, kBlue, kBlue}),
                     Strip2x("track", 100, 10, {kWhite}), Strip2x("vtrack", 10, 100, {kWhite}),
                     Strip2x("knob", 6, 14, {kRed, kGreen, kBlue})});
        for (auto [name, frames] : std::vector<std::pair<const char*, int>>{
                 {"btn3", 3}, {"btn2", 2}, {"box", 3}, {"tick", 3}, {"track", 1}, {"vtrack", 1}, {"knob", 3}})
            ASSERT_EQ(host.m_Sets.AddSpriteSetSingle(name, name, "", frames, frames, false, false), 1);
        templ = Parse(
            "button = b3\n set = btn3\nend\n"
            "button = b2\n set = btn2\nend\n"
            "checkBox = chk\n set = box\n set_checked = tick\nend\n"
            "tuner = tun\n tunerId = track\n handleId = knob\nend\n"
            "tuner = tun4\n tunerId = track\n step = 4\nend\n"
            "tuner = tunv\n tunerId = vtrack\n vertical\n step = 10\nend\n"
            "tuner = broken\n tunerId = track\n step = 0\n max = -4\nend\n"
            "tuner = odd\n tunerId = track\n max = 10\n step = 3\nend\n"
            "tuner = fine\n tunerId = track\n max = 1000\n step = 1\nend\n"
            "tuner = inset\n tunerId = track\n offsetLeft = 7\n offsetRight = 5\n step = 7\nend\n"
            "tuner = vodd\n tunerId = vtrack\n vertical\n max = 50\n step = 20\nend\n");
        parentRecord.name = "dlg";
        parent = std::make_unique<CRecorder>(&host, &parentRecord);
        parent->SetPosition(0, 0, 320, 480);
    }
    void TearDown() override { parent->DeleteAllChildWidgets(); }

    // The widget of record name placed at (x, y) under the recording parent.
    template <class T>
    T* Make(const char* name, int x, int y) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        XWidget* widget = CreateAndInitLeafWidget(parent.get(), templ.get(), templ->GetWidget(name), &placement, 1, 1);
        EXPECT_NE(widget, nullptr) << name;
        return dynamic_cast<T*>(widget);
    }

    CUiHost host;
    std::unique_ptr<TTemplate> templ;
    TWidget parentRecord;
    std::unique_ptr<CRecorder> parent;
};

TEST_F(WidgetInputTest, ButtonPressCaptureMoveAndRelease) {
    XButton* b = Make<XButton>("b3", 40, 30);
    ASSERT_NE(b, nullptr);
    // A 20 x 10 frame centred on (50, 35): x from 40 up to 59, y from 30 up to 39.
    EXPECT_EQ(b->GetSize().width, 20);
    EXPECT_TRUE(b->Contains(40, 30));
    EXPECT_TRUE(b->Contains(59, 39));
    EXPECT_FALSE(b->Contains(60, 35)) << "far edges are outside";
    EXPECT_FALSE(b->Contains(50, 40));

    EXPECT_EQ(b->NotifyPointerEvent(45, 32, XPOINTER_PRESS), 1);
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{601, "b3", 0}}));
    EXPECT_EQ(host.XGetCapture(), b);
    EXPECT_TRUE(b->IsPressed());
    EXPECT_EQ(b->NotifyPointerEvent(70, 35, XPOINTER_MOVE), 1);
    EXPECT_FALSE(b->IsPressed()) << "the pointer left it";
    b->NotifyPointerEvent(55, 35, XPOINTER_MOVE);
    EXPECT_TRUE(b->IsPressed()) << "back inside";
    EXPECT_EQ(b->NotifyPointerEvent(41, 31, XPOINTER_RELEASE), 1);
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{600, "b3", 0}}));
    EXPECT_EQ(host.XGetCapture(), nullptr);
    EXPECT_FALSE(b->IsPressed());

    // A release outside sends nothing and leaves the button idle.
    b->NotifyPointerEvent(45, 32, XPOINTER_PRESS);
    parent->Take();
    b->NotifyPointerEvent(60, 35, XPOINTER_RELEASE);
    EXPECT_TRUE(parent->Take().empty());
    EXPECT_FALSE(b->IsPressed());
    EXPECT_EQ(host.XGetCapture(), nullptr);
    // Moves and releases without the capture do nothing.
    b->NotifyPointerEvent(45, 32, XPOINTER_RELEASE);
    EXPECT_TRUE(parent->Take().empty());
}

TEST_F(WidgetInputTest, ButtonIgnoresInputWhileDisabledHiddenOrFading) {
    XButton* b = Make<XButton>("b3", 0, 0);
    b->SetEnabled(false);
    EXPECT_EQ(b->NotifyPointerEvent(5, 5, XPOINTER_PRESS), 0);
    EXPECT_EQ(b->NotifyKeyEvent(XKEY_SELECT, 1), 0);
    b->SetEnabled(true);
    b->SheduleCreateWithEffect(256, 256);  // waiting a second for its fade-in
    EXPECT_EQ(b->NotifyPointerEvent(5, 5, XPOINTER_PRESS), 0);
    XButton* other = Make<XButton>("b2", 0, 40);
    parent->SheduleCreateWithEffect(0, 256);  // the parent fading in counts too
    EXPECT_EQ(other->NotifyPointerEvent(5, 45, XPOINTER_PRESS), 0);
    other->Hide();
    parent->SheduleCreateWithEffect(0, -1);  // shows at once
    EXPECT_EQ(other->NotifyPointerEvent(5, 45, XPOINTER_PRESS), 0) << "hidden";
    EXPECT_TRUE(parent->Take().empty());
    EXPECT_EQ(host.XGetCapture(), nullptr);
}

TEST_F(WidgetInputTest, ButtonKeys) {
    XButton* b = Make<XButton>("b3", 0, 0);
    EXPECT_EQ(b->NotifyKeyEvent(XKEY_SELECT, 0), 1);
    EXPECT_TRUE(parent->Take().empty()) << "key up without a press";
    EXPECT_EQ(b->NotifyKeyEvent(XKEY_NEXT, 1), 1);
    EXPECT_TRUE(parent->Take().empty());
    b->NotifyKeyEvent(XKEY_SELECT, 1);
    b->NotifyKeyEvent(XKEY_SELECT, 0);
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{601, "b3", 0}, {600, "b3", 0}}));
}

TEST_F(WidgetInputTest, StateFramesFollowTheFrameCount) {
    XButton* idle = Make<XButton>("b3", 0, 0);
    XButton* two = Make<XButton>("b2", 0, 20);  // created last: the focused child
    EXPECT_EQ(idle->CalcCurrentSprite(), 0) << "not focused";
    EXPECT_EQ(two->CalcCurrentSprite(), 1) << "focused";
    two->NotifyPointerEvent(5, 25, XPOINTER_PRESS);
    EXPECT_EQ(two->CalcCurrentSprite(), 1) << "two frames: pressed shows frame 1 to hit tests and size";
    idle->NotifyPointerEvent(5, 5, XPOINTER_PRESS);
    EXPECT_EQ(idle->CalcCurrentSprite(), 2);
    idle->SetEnabled(false);
    EXPECT_EQ(idle->CalcCurrentSprite(), 2) << "no disabled frame 3 in a set of three";
}

TEST_F(WidgetInputTest, CheckBoxTogglesOnACompletedClick) {
    XCheckBox* c = Make<XCheckBox>("chk", 10, 10);
    ASSERT_NE(c, nullptr);
    // No font: the caption counts 1 x 1 beside the 12 x 12 box.
    EXPECT_EQ(c->GetSize().width, 13);
    EXPECT_EQ(c->GetSize().height, 12);
    EXPECT_TRUE(c->Contains(23, 22)) << "all edges inside";
    c->NotifyPointerEvent(12, 12, XPOINTER_PRESS);
    c->NotifyPointerEvent(12, 12, XPOINTER_RELEASE);
    EXPECT_TRUE(c->IsChecked());
    c->NotifyPointerEvent(12, 12, XPOINTER_PRESS);
    c->NotifyPointerEvent(12, 12, XPOINTER_RELEASE);
    EXPECT_FALSE(c->IsChecked());
    EXPECT_EQ(parent->Take(),
              (std::vector<TMessage>{{601, "chk", 0}, {604, "chk", 1}, {601, "chk", 0}, {604, "chk", 0}}))
        << "no click (600) from a check box";
    c->NotifyPointerEvent(12, 12, XPOINTER_PRESS);
    c->NotifyPointerEvent(100, 100, XPOINTER_RELEASE);
    EXPECT_FALSE(c->IsChecked());
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{601, "chk", 0}}));
    c->Check(true);
    EXPECT_TRUE(c->IsChecked());
    EXPECT_TRUE(parent->Take().empty()) << "Check sends nothing";
    // Key 5 going up toggles whether or not it was pressed.
    c->NotifyKeyEvent(XKEY_SELECT, 0);
    EXPECT_FALSE(c->IsChecked());
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{604, "chk", 0}}));
}

TEST_F(WidgetInputTest, TunerSnapsToSteps) {
    XTuner* t = Make<XTuner>("tun", 20, 50);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetSize().width, 100);
    EXPECT_EQ(t->GetSize().height, 10);
    // A 100-pixel track, maximum 100, step 5: the nearest step, a tie going to the higher one.
    struct TCase {
        int p;
        int value;
    };
    for (const TCase& c : {TCase{0, 0}, TCase{-5, 0}, TCase{100, 100}, TCase{130, 100}, TCase{52, 50}, TCase{53, 55},
                           TCase{2, 0}, TCase{3, 5}, TCase{97, 95}, TCase{98, 100}}) {
        t->NotifyPointerEvent(20 + c.p, 55, XPOINTER_PRESS);
        EXPECT_EQ(t->GetCurrent(), c.value) << c.p;
        EXPECT_EQ(t->GetHandlePos(), c.value) << "handle = value x 100 / 100";
        EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{603, "tun", c.value}}));
        t->NotifyPointerEvent(20 + c.p, 55, XPOINTER_RELEASE);
        EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{602, "tun", c.value}}));
    }
    XTuner* four = Make<XTuner>("tun4", 0, 0);
    four->NotifyPointerEvent(50, 5, XPOINTER_PRESS);
    EXPECT_EQ(four->GetCurrent(), 52) << "50 lies as far from 48 as from 52";
}

// The value a press at d pixels into a sliding range of w pixels gives: 0 before the range, the
// maximum at or past its end; in between, of the step below the value under the pointer
// (max x d / w) and the next step or the maximum, the one whose handle position (value x w /
// maximum) lies nearer, the higher on a tie.
int NearestStep(int d, int w, int max, int step) {
    if (d <= 0) return 0;
    if (d >= w) return max;
    const int below = max * d / w / step * step;
    const int above = std::min(below + step, max);
    return d - below * w / max < above * w / max - d ? below : above;
}

TEST_F(WidgetInputTest, TunerTakesTheNearestStepAtEveryPixelUpToTheEnds) {
    const struct {
        const char* name;
        int offsetLeft, w, max, step;
        const char* why;
    } cases[] = {
        {"tun", 0, 100, 100, 5, "a step that divides the maximum"},
        {"odd", 0, 100, 10, 3, "a maximum of 10 in steps of 3: 9, then 10"},
        {"fine", 0, 100, 1000, 1, "more values than pixels"},
        {"inset", 7, 88, 100, 7, "offsets at both ends; 100 in steps of 7"},
        {"vodd", 0, 100, 50, 20, "vertical: 0, 20, 40, 50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        XTuner* t = Make<XTuner>(c.name, 30, 40);
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(t->GetTotalSlidingWidth(), c.w);
        const bool vertical = c.name[0] == 'v';
        bool reachedMax = false;
        for (int p = -2; p <= c.offsetLeft + c.w + 2; ++p) {
            t->NotifyPointerEvent(vertical ? 35 : 30 + p, vertical ? 40 + p : 45, XPOINTER_PRESS);
            const int want = NearestStep(p - c.offsetLeft, c.w, c.max, c.step);
            ASSERT_EQ(t->GetCurrent(), want) << "pixel " << p;
            ASSERT_EQ(t->GetHandlePos(), want * c.w / c.max) << "pixel " << p;
            t->NotifyPointerEvent(vertical ? 35 : 30 + p, vertical ? 40 + p : 45, XPOINTER_RELEASE);
            reachedMax = reachedMax || t->GetCurrent() == c.max;
        }
        EXPECT_TRUE(reachedMax);
        // The keys reach the maximum too, from the last step below it.
        const int last = c.max - 1 - (c.max - 1) % c.step;
        t->SetCurrent(last);
        EXPECT_EQ(t->SetNextActiveObject(vertical ? XKEY_NEXT2 : XKEY_NEXT), 1);
        EXPECT_EQ(t->GetCurrent(), std::min(last + c.step, c.max));
        (void)parent->Take();
    }
}

TEST_F(WidgetInputTest, TunerDragsWithTheCapture) {
    XTuner* t = Make<XTuner>("tun", 0, 0);
    t->NotifyPointerEvent(10, 5, XPOINTER_PRESS);
    EXPECT_TRUE(t->IsDragging());
    EXPECT_EQ(host.XGetCapture(), t);
    t->NotifyPointerEvent(30, 99, XPOINTER_MOVE);  // only x counts for a horizontal tuner
    t->NotifyPointerEvent(31, 5, XPOINTER_RELEASE);
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{603, "tun", 10}, {603, "tun", 30}, {602, "tun", 30}}));
    EXPECT_FALSE(t->IsDragging());
    EXPECT_EQ(host.XGetCapture(), nullptr);
    t->NotifyPointerEvent(80, 5, XPOINTER_MOVE);
    EXPECT_TRUE(parent->Take().empty()) << "no capture, no drag";
    t->NotifyPointerEvent(80, 5, XPOINTER_PRESS);
    t->CancelActiveState();
    EXPECT_FALSE(t->IsDragging());
}

TEST_F(WidgetInputTest, TunerKeysStepAndStopAtTheEnds) {
    XTuner* t = Make<XTuner>("tun", 0, 0);
    t->SetCurrent(97);
    EXPECT_EQ(t->SetNextActiveObject(XKEY_NEXT), 1);
    EXPECT_EQ(t->GetCurrent(), 100);
    EXPECT_EQ(t->SetNextActiveObject(XKEY_NEXT), 1);
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{602, "tun", 100}, {602, "tun", 100}})) << "602 at the end too";
    t->SetCurrent(3);
    EXPECT_EQ(t->SetPrevActiveObject(XKEY_PREV), 1);
    EXPECT_EQ(t->GetCurrent(), 0);
    EXPECT_EQ(t->SetPrevActiveObject(XKEY_PREV2), 0) << "a horizontal tuner ignores the vertical keys";
    EXPECT_EQ(t->SetNextActiveObject(XKEY_NEXT2), 0);
    EXPECT_EQ(parent->Take(), (std::vector<TMessage>{{602, "tun", 0}}));

    XTuner* v = Make<XTuner>("tunv", 0, 0);
    EXPECT_EQ(v->GetSize().width, 10) << "a vertical tuner slides along its track's height";
    EXPECT_EQ(v->GetSize().height, 100);
    v->SetCurrent(50);
    EXPECT_EQ(v->SetNextActiveObject(XKEY_NEXT), 0);
    EXPECT_EQ(v->SetNextActiveObject(XKEY_NEXT2), 1);
    EXPECT_EQ(v->GetCurrent(), 60);
    v->NotifyPointerEvent(999, 20, XPOINTER_PRESS);
    EXPECT_EQ(v->GetCurrent(), 20) << "a vertical tuner follows y";
}

TEST_F(WidgetInputTest, TunerLimits) {
    XTuner* t = Make<XTuner>("tun", 0, 0);
    t->SetCurrent(500);
    EXPECT_EQ(t->GetCurrent(), 100);
    t->SetCurrent(-1);
    EXPECT_EQ(t->GetCurrent(), 0);
    t->SetCurrent(80);
    t->SetMax(0);
    EXPECT_EQ(t->GetMax(), 1);
    EXPECT_EQ(t->GetCurrent(), 1);
    // A template step of 0 and maximum of -4 would divide by zero; both start at 1.
    XTuner* broken = Make<XTuner>("broken", 0, 0);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->GetStep(), 1);
    EXPECT_EQ(broken->GetMax(), 1);
    broken->NotifyPointerEvent(50, 5, XPOINTER_PRESS);
    EXPECT_EQ(broken->GetCurrent(), 1) << "the middle is a tie between 0 and 1";
    broken->NotifyPointerEvent(49, 5, XPOINTER_MOVE);
    EXPECT_EQ(broken->GetCurrent(), 0);
    EXPECT_EQ(broken->SetNextActiveObject(XKEY_NEXT), 1);
    EXPECT_EQ(broken->GetCurrent(), 1);
}

TEST_F(WidgetInputTest, TunerHandleFrames) {
    XTuner* t = Make<XTuner>("tun", 0, 0);
    EXPECT_EQ(t->CalcCurrentHandleSprite(), 1) << "focused";
    t->NotifyPointerEvent(10, 5, XPOINTER_PRESS);
    EXPECT_EQ(t->CalcCurrentHandleSprite(), 2) << "dragging";
    t->NotifyPointerEvent(10, 5, XPOINTER_RELEASE);
    Make<XButton>("b3", 200, 200);  // takes the focus
    EXPECT_EQ(t->CalcCurrentHandleSprite(), 0);
}

}  // namespace

// The widget base: UI time, the fade schedule, opacity through parents and alignment. Expected
// values are worked out here from the formulas (floor(d x 8448 / 65536) ticks, 65280 over the
// duration in ticks per step, products of opacities shifted by 16) in double arithmetic, not taken
// from the code.
#include "ui/Widget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "ui/Template.h"

namespace {

// The widget framework's parent for tests: a plain element with a screen-sized rectangle.
struct TTree {
    TTree() { screen.SetPosition(0, 0, 320, 480); }
    CXElement screen{nullptr, nullptr};
};

// A record of a given size, kept alive by the test.
std::unique_ptr<TWidget> Rec(const char* name, int w, int h) {
    auto record = std::make_unique<TWidget>();
    record->name = name;
    record->kind = kWidgetImage;
    record->width = static_cast<short>(w);
    record->height = static_cast<short>(h);
    return record;
}

// Placement fades, as a template's "in" and "out" lines give them.
WidgetContext Fades(bool in, FIXED_FLOAT inDelay, FIXED_FLOAT inDuration, bool out, FIXED_FLOAT outDelay,
                    FIXED_FLOAT outDuration) {
    WidgetContext c;
    c.inEffect = in;
    c.inDelay = inDelay;
    c.inDuration = inDuration;
    c.outEffect = out;
    c.outDelay = outDelay;
    c.outDuration = outDuration;
    return c;
}

// One initialised 10 x 10 widget placed by context under a screen.
struct TOne {
    explicit TOne(const WidgetContext& context) : widget(&tree.screen, nullptr, record.get(), &context) {
        EXPECT_EQ(widget.OnInitWidget(), 1);
    }
    TTree tree;
    std::unique_ptr<TWidget> record = Rec("w", 10, 10);
    XWidget widget;
};

// A widget that holds others and moves them along, as dialogs do.
class CGroup : public XWidget {
public:
    using XWidget::XWidget;
    bool IsGroupWidget() override { return true; }
    void OffsetWidgetPosition(int dx, int dy) override {
        XWidget::OffsetWidgetPosition(dx, dy);
        for (int i = 0; i < GetChildCount(); ++i) static_cast<XWidget*>(GetChildPtrAt(i))->OffsetWidgetPosition(dx, dy);
    }
};

int ExpectedTicks(FIXED_FLOAT d) { return static_cast<int>(std::floor(d * 8448.0 / 65536.0)); }

int ExpectedStep(FIXED_FLOAT d) {
    if (d <= 0) return 65280;
    const double ticks = std::floor(std::floor(d * 8448.0 / 256.0) / 16.0);
    return ticks == 0 ? 65280 : static_cast<int>(std::floor(1044480.0 / ticks));
}

TEST(WidgetTest, TicksAndStepsOfDurations) {
    const FIXED_FLOAT durations[] = {0,  1,  7,  8,    31,   32,    128,        256,         704,
                                     -1, -7, -8, -256, -257, 65536, 256 * 1000, -256 * 1000, 0x7FFFFF};
    for (FIXED_FLOAT d : durations) {
        EXPECT_EQ(WidgetTicks(d), ExpectedTicks(d)) << d;
        EXPECT_EQ(WidgetFadeStep(d), ExpectedStep(d)) << d;
    }
    EXPECT_EQ(WidgetTicks(256), 33) << "33 ticks a second";
    EXPECT_EQ(WidgetTicks(-256), -33);
    EXPECT_EQ(WidgetFadeStep(256), 1978);
}

TEST(WidgetTest, FadeInOverOneSecondReachesFullOnItsThirtyFourthTick) {
    TOne one(Fades(true, 0, 256, false, 0, 0));
    XWidget& w = one.widget;
    EXPECT_EQ(w.GetOpacity(), 0);
    for (int tick = 1; tick <= 33; ++tick) {
        w.RunProcess();
        EXPECT_EQ(w.GetOwnOpacity(), tick * 1978) << tick;
        EXPECT_TRUE(w.IsFadingIn());
    }
    w.RunProcess();
    EXPECT_EQ(w.GetOwnOpacity(), 65280);
    EXPECT_FALSE(w.IsFadingIn());
    EXPECT_FALSE(w.IsFadingNow());
}

TEST(WidgetTest, DelayedFadeInWaitsAtZeroAndCountsAsFading) {
    TOne one(Fades(true, 128, 0, false, 0, 0));  // 0.5 s: floor(128 x 8448 / 65536) = 16 ticks
    XWidget& w = one.widget;
    for (int tick = 1; tick < 16; ++tick) {
        w.RunProcess();
        EXPECT_EQ(w.GetOpacity(), 0) << tick;
        EXPECT_FALSE(w.IsFadingIn());
        EXPECT_TRUE(w.IsFadingThisOrParentNow()) << "waiting counts as fading for input";
        EXPECT_TRUE(w.IsFadingInThisOrParentNow());
        EXPECT_FALSE(w.IsFadingOutThisOrParentNow());
    }
    w.RunProcess();  // tick 16: a duration of 0 completes in one tick
    EXPECT_EQ(w.GetOpacity(), 65280);
    EXPECT_FALSE(w.IsFadingThisOrParentNow());
}

TEST(WidgetTest, FadeOutThenRemovalFlag) {
    TOne one(Fades(false, 0, 0, true, 256, 64));  // out after 33 ticks over a quarter second
    XWidget& w = one.widget;
    for (int tick = 1; tick < 33; ++tick) w.RunProcess();
    EXPECT_FALSE(w.IsFadingOut());
    EXPECT_EQ(w.GetOpacity(), 65280);
    const int step = ExpectedStep(64);
    for (int k = 1; 65280 - (k - 1) * step > 0; ++k) {
        w.RunProcess();
        EXPECT_EQ(w.GetOwnOpacity(), std::max(65280 - k * step, 0)) << k;
        EXPECT_FALSE(w.IsDestroyPending());
    }
    w.RunProcess();
    EXPECT_TRUE(w.IsDestroyPending()) << "flagged one tick after reaching 0";
}

TEST(WidgetTest, OutStartIsClampedToTheInStartAndNegativeOutWaitsForEver) {
    // In after 66 ticks; out after 33, before the fade-in: moved to 66.
    TOne one(Fades(true, 512, 256, true, 256, 0));
    XWidget& w = one.widget;
    for (int tick = 1; tick < 66; ++tick) {
        w.RunProcess();
        EXPECT_FALSE(w.IsFadingOut()) << tick;
    }
    w.RunProcess();
    EXPECT_TRUE(w.IsFadingOut()) << "the fade-out starts with the fade-in";
    EXPECT_FALSE(w.IsFadingIn()) << "fading out wins";

    TOne waiting(Fades(false, 0, 0, true, -256, 0));
    XWidget& v = waiting.widget;
    for (int tick = 0; tick < 500; ++tick) v.RunProcess();
    EXPECT_FALSE(v.IsFadingOut());
    EXPECT_EQ(v.GetOpacity(), 65280);
    EXPECT_FALSE(v.IsDestroyPending());
    // A destroy scheduled later starts from now.
    v.SheduleDestroyWithEffect(0, 256);
    v.RunProcess();
    EXPECT_EQ(v.GetOwnOpacity(), 65280 - 1978);
}

TEST(WidgetTest, ScheduledFadesFromNow) {
    TTree tree;
    auto record = Rec("w", 10, 10);
    XWidget w(&tree.screen, nullptr, record.get(), nullptr);
    ASSERT_EQ(w.OnInitWidget(), 1);
    for (int i = 0; i < 10; ++i) w.RunProcess();
    w.SheduleCreateWithEffect(0, 0);
    EXPECT_EQ(w.GetOpacity(), 65280);
    EXPECT_FALSE(w.IsFadingNow()) << "(0, 0) leaves the widget as it was";
    w.SheduleCreateWithEffect(256, 0);  // starts 33 ticks from now and shows at once
    EXPECT_EQ(w.GetOpacity(), 65280);
    w.SheduleCreateWithEffect(0, 128);  // half a second from now
    EXPECT_EQ(w.GetOpacity(), 0);
    w.RunProcess();
    EXPECT_EQ(w.GetOwnOpacity(), ExpectedStep(128));
    EXPECT_FALSE(w.IsDestroyPending());
    w.SheduleDestroyWithEffect(0, 0);
    EXPECT_TRUE(w.IsDestroyPending());
}

TEST(WidgetTest, EffectiveOpacityThroughParents) {
    TTree tree;
    auto pr = Rec("p", 10, 10);
    auto cr = Rec("c", 10, 10);
    auto gr = Rec("g", 10, 10);
    auto dr = Rec("d", 10, 10);
    XWidget parent(&tree.screen, nullptr, pr.get(), nullptr);
    XWidget child(&parent, nullptr, cr.get(), nullptr);
    XWidget grandchild(&child, nullptr, gr.get(), nullptr);
    CGroup dialog(&parent, nullptr, dr.get(), nullptr);
    for (XWidget* w : {static_cast<XWidget*>(&parent), &child, &grandchild, static_cast<XWidget*>(&dialog)})
        ASSERT_EQ(w->OnInitWidget(), 1);

    child.ApplyOpacity(40000);
    EXPECT_EQ(child.GetOpacity(), 40000) << "under a parent at full opacity: the own value";
    parent.ApplyOpacity(32768);
    EXPECT_EQ(child.GetOpacity(), static_cast<int>(std::floor(40000.0 * 32768.0 / 65536.0)));
    EXPECT_EQ(dialog.GetOpacity(), 65280) << "a group keeps its own opacity";
    // Only direct children follow ApplyOpacity; the grandchild catches up when recalculated.
    grandchild.RecalcTotalOpacity();
    EXPECT_EQ(grandchild.GetOpacity(), static_cast<int>(std::floor(65280.0 * child.GetOpacity() / 65536.0)));
    parent.ApplyOpacity(65280);
    child.ApplyOpacity(65280);
    parent.ApplyOpacity(65000);
    EXPECT_EQ(child.GetOpacity(), static_cast<int>(std::floor(65280.0 * 65000.0 / 65536.0)))
        << "a full own opacity comes out slightly below the parent's";
    parent.ApplySimilarOpacityToAllChildren(1000);
    EXPECT_EQ(grandchild.GetOwnOpacity(), 1000);
    EXPECT_EQ(dialog.GetOwnOpacity(), 1000);
    EXPECT_EQ(OpacityToAlphaOffset(65280), 0);
    EXPECT_EQ(OpacityToAlphaOffset(0), -255);
    EXPECT_EQ(OpacityToAlphaOffset(32768), 128 - 255);
}

TEST(WidgetTest, AlignmentSelfInParentAndRecursive) {
    TTree tree;
    auto pr = Rec("p", 200, 100);
    auto cr = Rec("c", 40, 30);
    auto kr = Rec("k", 0, 0);
    WidgetContext pc;
    pc.x = 300;
    pc.y = 20;
    pc.alignX = 2;  // x is the right edge
    WidgetContext cc;
    cc.x = 0;
    cc.y = -10;
    cc.alignX = 1;
    cc.alignXInParent = 1;  // centred on the parent's centre
    cc.alignY = 2;
    cc.alignYInParent = 2;  // bottom edge 10 above the parent's bottom
    WidgetContext kc;
    kc.x = 5;
    kc.y = 5;
    kc.alignY = 1;
    CGroup parent(&tree.screen, nullptr, pr.get(), &pc);
    ASSERT_EQ(parent.OnInitWidget(), 1);
    XWidget child(&parent, nullptr, cr.get(), &cc);
    ASSERT_EQ(child.OnInitWidget(), 1);
    XWidget tiny(&parent, nullptr, kr.get(), &kc);
    ASSERT_EQ(tiny.OnInitWidget(), 1);
    // Before alignment: origins are placement + the parent's origin.
    EXPECT_EQ(child.GetOrigin().x, 300);
    EXPECT_EQ(child.GetOrigin().y, 10);
    EXPECT_EQ(tiny.GetSize().width, 1) << "no size: 1";

    parent.ApplyAlignType();
    // The parent: x = 300 - 200; the group moves its children by the same -200.
    EXPECT_EQ(parent.GetOrigin().x, 100);
    EXPECT_EQ(parent.GetOrigin().y, 20);
    // The child: from 300 - 200 = 100, then dx = 40/2 - 200/2 = -80, dy = 30 - 100 = -70.
    EXPECT_EQ(child.GetOrigin().x, 100 + 80);
    EXPECT_EQ(child.GetOrigin().y, 10 + 70);
    // Its right edge sits at the parent's centre plus half its width; bottom at the parent's bottom - 10.
    EXPECT_EQ(child.GetOrigin().x + 20, parent.GetOrigin().x + 100);
    EXPECT_EQ(child.GetOrigin().y + 30, parent.GetOrigin().y + 100 - 10);
    // The 1 x 1 widget: dy = 1 >> 1 = 0.
    EXPECT_EQ(tiny.GetOrigin().x, 305 - 200);
    EXPECT_EQ(tiny.GetOrigin().y, 25);
}

TEST(WidgetTest, FindById) {
    TTree tree;
    auto pr = Rec("dlg", 10, 10);
    auto ar = Rec("btn_a", 10, 10);
    auto br = Rec("btn_b", 10, 10);
    CGroup parent(&tree.screen, nullptr, pr.get(), nullptr);
    XWidget a(&parent, nullptr, ar.get(), nullptr);
    XWidget b(&a, nullptr, br.get(), nullptr);
    XWidget b2(&parent, nullptr, br.get(), nullptr);
    EXPECT_EQ(parent.FindChildWithWidgetId("dlg"), &parent);
    EXPECT_EQ(parent.FindChildWithWidgetId("btn_b"), &b) << "depth first, in child order";
    EXPECT_EQ(parent.FindChildWithWidgetId("btn_c"), nullptr);
    EXPECT_EQ(parent.FindChildWithWidgetId(nullptr), nullptr);
    EXPECT_STREQ(XIdText(b.Id2WParam()), "btn_b");
    EXPECT_EQ(b.GetContext().name, CommonString("btn_b")) << "no placement: the record's name";
}

}  // namespace

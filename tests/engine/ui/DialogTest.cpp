// Dialogs: the points each modal kind covers, which child takes a pointer event, focus movement by
// keys, children removed after their fade-out, the drawing hooks, the size rules and the colour
// fill, and the records that make a dialog's initialisation fail.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DialogFixtures.h"
#include "ui/Button.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace dialogtest;

const char* const kDialogs =
    "dialog = dlg_default\n size = 40 20\n child = img_far\n  position = 50 0\n end\nend\n"
    "dialog = dlg_position\n size = 40 20\n modal = position\n child = img_far\n  position = 50 0\n end\nend\n"
    "dialog = dlg_children\n size = 40 20\n modal = children\n child = img_far\n  position = 50 0\n end\nend\n"
    "image = img_far\n size = 10 10\nend\n"
    "button = btn_a\n set = btn\nend\n"
    "button = btn_b\n set = btn\nend\n"
    "button = btn_c\n set = btn\nend\n"
    "text = txt\n caption = x\nend\n"
    "dialog = dlg_overlap\n modal = children\n"
    " child = btn_a\n  position = 0 0\n end\n"
    " child = btn_b\n  position = 10 0\n  in = 1.0 0.5\n end\n"
    "end\n"
    "dialog = dlg_focus\n modal = children\n"
    " child = btn_a\n  position = 0 0\n end\n"
    " child = txt\n  position = 0 30\n end\n"
    " child = btn_b\n  position = 0 60\n end\n"
    " child = btn_c\n  position = 0 90\n end\n"
    "end\n"
    "dialog = dlg_single\n modal = children\n child = btn_a\n end\n child = txt\n end\nend\n"
    "dialog = dlg_holder\n modal = children\n child = btn_a\n end\n child = dlg_default\n  position = 100 100\n "
    "end\nend\n";

// Dialogs made from kDialogs under a recording parent, with the button images mounted.
class CDialogBench {
public:
    CDialogBench() {
        host.MountTemplates({});
        templ = Parse(kDialogs);
        parent = std::make_unique<CRecorder>(&host, nullptr);
    }
    ~CDialogBench() { parent->DeleteAllChildWidgets(); }

    XDialog* Make(const char* name, int x = 0, int y = 0) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        auto* dialog = static_cast<XDialog*>(
            MakeAndInitWidget(MakeWidget<XDialog>, parent.get(), templ.get(), templ->GetWidget(name), &placement));
        EXPECT_NE(dialog, nullptr) << name;
        return dialog;
    }

    CScreenHost host;
    std::unique_ptr<TTemplate> templ;
    std::unique_ptr<CRecorder> parent;
};

struct TCoverCase {
    int x, y;
    bool byDefault, byPosition, byChildren;
    const char* why;
};

TEST(DialogTest, WhatEachModalKindCovers) {
    CDialogBench bench;
    XDialog* byDefault = bench.Make("dlg_default");
    XDialog* byPosition = bench.Make("dlg_position");
    XDialog* byChildren = bench.Make("dlg_children");
    const TCoverCase cases[] = {
        {5, 5, true, true, false, "inside the rectangle, on no child"},
        {39, 19, true, true, false, "the last pixel inside"},
        {40, 10, true, false, false, "the right edge is outside"},
        {10, 20, true, false, false, "the bottom edge is outside"},
        {55, 5, true, true, true, "on a child outside the rectangle"},
        {200, 200, true, false, false, "nowhere"},
    };
    for (const TCoverCase& c : cases) {
        EXPECT_EQ(byDefault->Contains(c.x, c.y), c.byDefault) << c.why;
        EXPECT_EQ(byPosition->Contains(c.x, c.y), c.byPosition) << c.why;
        EXPECT_EQ(byChildren->Contains(c.x, c.y), c.byChildren) << c.why;
    }
    EXPECT_TRUE(byDefault->IsModal()) << "no modal entry: the dialog takes all input";
    EXPECT_FALSE(byPosition->IsModal());
    EXPECT_FALSE(byChildren->IsModal());

    // A point no child takes: swallowed by the covering dialog, passed by the others.
    EXPECT_EQ(byDefault->NotifyPointerEvent(200, 200, XPOINTER_PRESS), 1);
    EXPECT_EQ(byPosition->NotifyPointerEvent(5, 5, XPOINTER_PRESS), 1);
    EXPECT_EQ(byPosition->NotifyPointerEvent(200, 200, XPOINTER_PRESS), 0);
    EXPECT_EQ(byChildren->NotifyPointerEvent(5, 5, XPOINTER_PRESS), 0);
    byChildren->Hide();
    EXPECT_EQ(byChildren->NotifyPointerEvent(55, 5, XPOINTER_PRESS), 0) << "hidden";
}

TEST(DialogTest, TheTopmostChildThatIsNotFadingTakesThePointer) {
    CDialogBench bench;
    XDialog* overlap = bench.Make("dlg_overlap");
    XWidget* a = Find(overlap, "btn_a");
    XWidget* b = Find(overlap, "btn_b");
    ASSERT_TRUE(a != nullptr && b != nullptr);
    EXPECT_EQ(b->GetOwnOpacity(), 0) << "waiting 1 s for its fade-in";
    bench.parent->Take();

    // (25, 10) lies on both; the upper one waits for its fade-in, so the lower one is pressed.
    EXPECT_EQ(overlap->NotifyPointerEvent(25, 10, XPOINTER_PRESS), 1);
    EXPECT_EQ(overlap->GetActiveObjectPtr(), a);
    EXPECT_EQ(bench.host.XGetCapture(), a);
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_PRESSED, "btn_a", 0}}));
    bench.host.XReleaseCapture();
    static_cast<XButton*>(a)->CancelActiveState();

    // Once the upper one has faded in (33 ticks of delay, 17 of fade) it takes the point.
    for (int tick = 0; tick < 50; ++tick) overlap->RunProcess();
    EXPECT_EQ(b->GetOwnOpacity(), 65280);
    overlap->NotifyPointerEvent(25, 10, XPOINTER_PRESS);
    EXPECT_EQ(overlap->GetActiveObjectPtr(), b);
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_PRESSED, "btn_b", 0}}));
    bench.host.XReleaseCapture();

    // A visible modal child takes every event, wherever it is.
    XDialog* holder = bench.Make("dlg_holder");
    XWidget* modal = Find(holder, "dlg_default");
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(holder->GetActiveObjectPtr(), modal) << "the modal child is made active at initialisation";
    holder->SetFocus(Find(holder, "btn_a"));
    EXPECT_EQ(holder->NotifyPointerEvent(20, 10, XPOINTER_PRESS), 1);
    EXPECT_EQ(holder->GetActiveObjectPtr(), modal) << "though btn_a is under the point";
    EXPECT_EQ(bench.host.XGetCapture(), nullptr);
}

TEST(DialogTest, DirectionKeysMoveTheFocusOverInteractiveChildren) {
    CDialogBench bench;
    XDialog* focus = bench.Make("dlg_focus");
    XWidget* a = Find(focus, "btn_a");
    XWidget* b = Find(focus, "btn_b");
    XWidget* c = Find(focus, "btn_c");
    EXPECT_EQ(focus->GetActiveObjectPtr(), a) << "the first interactive child starts focused";

    struct TStep {
        int key;
        XWidget* focused;
        const char* why;
    };
    const TStep steps[] = {
        {XKEY_NEXT, b, "forward skips the text"},         {XKEY_NEXT2, c, "key 4 moves forward too"},
        {XKEY_NEXT, a, "after the last comes the first"}, {XKEY_PREV, c, "before the first comes the last"},
        {XKEY_PREV2, b, "key 3 moves backward"},
    };
    for (const TStep& s : steps) {
        EXPECT_EQ(focus->NotifyKeyEvent(s.key, 1), 1) << s.why;
        EXPECT_EQ(focus->GetActiveObjectPtr(), s.focused) << s.why;
    }
    EXPECT_EQ(focus->NotifyKeyEvent(XKEY_NEXT, 0), 1) << "a key release moves nothing: the focused button takes it";
    EXPECT_EQ(focus->GetActiveObjectPtr(), b);

    c->Hide();
    focus->NotifyKeyEvent(XKEY_NEXT, 1);
    EXPECT_EQ(focus->GetActiveObjectPtr(), a) << "a hidden child is passed over";

    // While the dialog fades, a direction key is swallowed and the focus stays.
    focus->SheduleCreateWithEffect(0, 256);
    EXPECT_EQ(focus->NotifyKeyEvent(XKEY_NEXT, 1), 1);
    EXPECT_EQ(focus->GetActiveObjectPtr(), a);

    // One interactive child: the move succeeds and stays on it.
    XDialog* single = bench.Make("dlg_single");
    XWidget* only = Find(single, "btn_a");
    EXPECT_EQ(single->GetActiveObjectPtr(), only);
    EXPECT_EQ(single->NotifyKeyEvent(XKEY_NEXT, 1), 1);
    EXPECT_EQ(single->GetActiveObjectPtr(), only);

    // Removing the active child hands the focus to the next interactive child.
    focus->SetFocus(b);
    focus->RemoveChild(b);
    EXPECT_EQ(focus->GetActiveObjectPtr(), a) << "from the last child (hidden c) on to the first";
    delete b;
}

TEST(DialogTest, ChildrenFlaggedForRemovalGoInTheNextUpdateWith606) {
    CDialogBench bench;
    XDialog* focus = bench.Make("dlg_focus");
    XWidget* a = Find(focus, "btn_a");
    XWidget* c = Find(focus, "btn_c");
    bench.parent->Take();
    a->SheduleDestroyWithEffect(0, 0);
    c->SheduleDestroyWithEffect(0, 128);
    focus->RunProcess();
    EXPECT_EQ(Find(focus, "btn_a"), nullptr);
    EXPECT_EQ(focus->GetChildCount(), 3);
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_CHILD_REMOVED, "btn_a", 0}}))
        << "606 reaches the dialog itself, which passes it on";
    for (int tick = 2; tick <= 17; ++tick) focus->RunProcess();
    EXPECT_NE(Find(focus, "btn_c"), nullptr) << "still fading";
    EXPECT_TRUE(bench.parent->Take().empty());
    focus->RunProcess();
    EXPECT_EQ(Find(focus, "btn_c"), nullptr) << "removed the tick after it reached 0";
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_CHILD_REMOVED, "btn_c", 0}}));
}

// A widget that only logs that it was drawn.
std::vector<std::string>* g_DrawLog = nullptr;

class CDrawProbe : public XWidget {
public:
    using XWidget::XWidget;
    void Draw() override { g_DrawLog->push_back(m_pRecord->name.GetData()); }
};

// A dialog whose children are draw probes and whose hooks log themselves.
class CHookDialog : public XDialog {
public:
    using XDialog::XDialog;
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override {
        XWidget* probe = MakeAndInitWidget(MakeWidget<CDrawProbe>, this, m_pTemplate, record, placement);
        if (probe != nullptr && record->name == "modal") probe->SetModal(true);
        return probe;
    }
    void PreDraw() override { g_DrawLog->push_back("PreDraw"); }
    void PostDraw() override { g_DrawLog->push_back("PostDraw"); }
};

TEST(DialogTest, PreDrawFollowsTheBackgroundAndPostDrawPrecedesTheFirstModalChild) {
    CScreenHost host;
    auto templ = Parse(
        "dialog = d\n background = bg\n child = a\n end\n child = modal\n end\n child = b\n end\nend\n"
        "image = bg\nend\nimage = a\nend\nimage = modal\nend\nimage = b\nend\n");
    std::vector<std::string> log;
    g_DrawLog = &log;
    CRecorder parent(&host, nullptr);
    auto* dialog = static_cast<XDialog*>(
        MakeAndInitWidget(MakeWidget<CHookDialog>, &parent, templ.get(), templ->GetWidget("d"), nullptr));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetBackgroundWidget(), dialog->GetChildPtrAt(0)) << "the background is the first child";
    dialog->Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"bg", "PreDraw", "a", "PostDraw", "modal", "b"}));

    log.clear();
    dialog->DrawZOrder(dialog->GetChildPtrAt(1), dialog->GetChildPtrAt(3));
    EXPECT_EQ(log, (std::vector<std::string>{"a", "PostDraw", "modal"})) << "from a up to, not including, b";
    log.clear();
    dialog->GetChildPtrAt(2)->SetModal(false);
    dialog->DrawZOrder(nullptr, dialog->GetChildPtrAt(2));
    EXPECT_EQ(log, (std::vector<std::string>{"bg", "PreDraw", "a"})) << "no closing PostDraw before the stop";
    EXPECT_EQ(dialog->GetNextChildWidgetAfter(nullptr), dialog->GetChildPtrAt(0));
    EXPECT_EQ(dialog->GetNextChildWidgetAfter(dialog->GetChildPtrAt(3)), nullptr);
    g_DrawLog = nullptr;
    parent.DeleteAllChildWidgets();
}

TEST(DialogTest, SizesAndTheColourFill) {
    CScreenHost host;
    host.MakeSoftScreen(64, 48);
    host.SetPak({Strip2x("panel", 30, 12, {kPressed})});
    ASSERT_EQ(host.m_Sets.AddSpriteSetSingle("panel", "panel", "", 1, 1, false, false), 1);
    auto templ = Parse(
        "dialog = d_box\n size = 20 10\n color = 255 0 0\nend\n"
        "dialog = d_wide\n size = 0 10\n color = 0 255 0\nend\n"
        "dialog = d_screen\n color = 0 0 255\nend\n"
        "dialog = d_bg\n background = bg\n size_method = 1\nend\n"
        "dialog = d_bg0\n background = bg\n size_method = 0\nend\n"
        "image = bg\n set = panel\nend\n");
    CRecorder parent(&host, nullptr);
    const auto make = [&](const char* name, int x, int y) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        return static_cast<XDialog*>(
            MakeAndInitWidget(MakeWidget<XDialog>, &parent, templ.get(), templ->GetWidget(name), &placement));
    };
    XDialog* bg = make("d_bg", 0, 0);
    ASSERT_NE(bg, nullptr);
    EXPECT_EQ(bg->GetPosition().width, 30) << "size method 1: the background's size";
    EXPECT_EQ(bg->GetPosition().height, 12);
    XDialog* bg0 = make("d_bg0", 0, 0);
    EXPECT_EQ(bg0->GetPosition().width, 64) << "size method 0: the back buffer's";
    EXPECT_EQ(bg0->GetPosition().height, 48);

    make("d_screen", 0, 0)->Draw();
    EXPECT_EQ(host.Pixel(63, 47), PackRGB565(0, 0, 255)) << "a dialog over the whole screen clears it";
    make("d_wide", 10, 20)->Draw();
    EXPECT_EQ(host.Pixel(9, 25), PackRGB565(0, 0, 255));
    EXPECT_EQ(host.Pixel(10, 25), PackRGB565(0, 255, 0)) << "no width: from x to the right edge";
    EXPECT_EQ(host.Pixel(63, 29), PackRGB565(0, 255, 0));
    EXPECT_EQ(host.Pixel(63, 30), PackRGB565(0, 0, 255));
    make("d_box", 5, 5)->Draw();
    EXPECT_EQ(host.Pixel(5, 5), PackRGB565(255, 0, 0));
    EXPECT_EQ(host.Pixel(24, 14), PackRGB565(255, 0, 0));
    EXPECT_EQ(host.Pixel(25, 14), PackRGB565(0, 0, 255)) << "exactly its rectangle";
    EXPECT_EQ(host.Pixel(24, 15), PackRGB565(0, 0, 255));
    parent.DeleteAllChildWidgets();
}

TEST(DialogTest, RecordsThatFailADialogAndRecordsThatAreSkipped) {
    CScreenHost host;
    host.MountTemplates({});
    auto templ = Parse(
        "dialog = d_skips\n background = no_such_bg\n child = no_such_record\n end\n child = img\n end\nend\n"
        "dialog = d_root_child\n child = r\n end\nend\n"
        "dialog = d_bad_image\n child = img_nofile\n end\nend\n"
        "dialog = d_bad_background\n background = img_nofile\nend\n"
        "root = r\nend\n"
        "image = img\n set = no_such_set\nend\n"
        "image = img_nofile\n file = Images\\nothing.png\nend\n");
    CRecorder parent(&host, nullptr);
    const auto make = [&](const char* name) {
        return MakeAndInitWidget(MakeWidget<XDialog>, &parent, templ.get(), templ->GetWidget(name), nullptr);
    };
    XWidget* skips = make("d_skips");
    ASSERT_NE(skips, nullptr) << "missing records and sprite sets are skipped";
    EXPECT_EQ(skips->GetChildCount(), 1);
    EXPECT_EQ(skips->GetBackgroundWidget(), nullptr);
    const int before = parent.GetChildCount();
    EXPECT_TRUE(host.m_FailedWidgets.empty()) << "a skipped record is no failure";
    EXPECT_EQ(make("d_root_child"), nullptr) << "the factory makes no root";
    // The root is never made, so only the dialog it broke failed.
    EXPECT_EQ(host.m_FailedWidgets, (std::vector<std::string>{"d_root_child"}));
    host.m_FailedWidgets.clear();
    EXPECT_EQ(make("d_bad_image"), nullptr) << "a child that fails its initialisation";
    // The host hears of each widget that failed, the child before the dialog it broke.
    EXPECT_EQ(host.m_FailedWidgets, (std::vector<std::string>{"img_nofile", "d_bad_image"}));
    host.m_FailedWidgets.clear();
    EXPECT_EQ(make("d_bad_background"), nullptr) << "a background that fails";
    ASSERT_FALSE(host.m_FailedWidgets.empty());
    EXPECT_EQ(host.m_FailedWidgets.back(), "d_bad_background");
    EXPECT_EQ(parent.GetChildCount(), before) << "failed dialogs are removed and deleted";
    parent.DeleteAllChildWidgets();
}

}  // namespace

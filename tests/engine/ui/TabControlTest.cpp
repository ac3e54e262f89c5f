// Tabs: a pressed tab reports 1011 to its control, which activates every tab of that id and has
// the game object report 1012 with the tab's index to its own parent; a tab never clicks; the
// active tab draws its second frame.
#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>
#include <vector>

#include "DialogFixtures.h"
#include "ui/TabControl.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace dialogtest;

const char* const kTabs =
    "dialog = tabs\n"
    " child = tab_a\n  position = 0 0\n end\n"
    " child = tab_b\n  position = 50 0\n end\n"
    " child = img\n  position = 0 30\n end\n"
    " child = tab_b\n  position = 100 0\n end\n"
    "end\n"
    "button = tab_a\n set = btn\nend\n"
    "button = tab_b\n set = btn\nend\n"
    "image = img\n set = btn\nend\n";

// A widget that keeps the messages it gets with their senders.
class CSenderLog : public XWidget, public CSentLog {
public:
    explicit CSenderLog(CXElement* parent) : XWidget(parent, nullptr, nullptr, nullptr) {}
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        // 1012 carries an index, not an id.
        if (code == XMSG_TAB_ACTIVATED)
            sent.push_back({sender, {code, "", lparam}, wparam});
        else
            Record(sender, code, wparam, lparam);
        return 1;
    }
};

// A control whose button records stay plain game buttons.
class CNoTabs : public CXTabControlBase {
public:
    using CXTabControlBase::CXTabControlBase;
    CXTabBase* CreateTab(TWidget*, const WidgetContext*) override { return nullptr; }
};

class CTabBench {
public:
    explicit CTabBench(TWidgetMaker maker = MakeWidget<CXTabControlBase>) {
        host.MountTemplates({});
        host.MakeSoftScreen(160, 60);
        templ = Parse(kTabs);
        log = std::make_unique<CSenderLog>(&host);
        control = MakeAndInitWidget(maker, log.get(), templ.get(), templ->GetWidget("tabs"), nullptr);
    }
    ~CTabBench() { log->DeleteAllChildWidgets(); }
    CXTabBase* Tab(int index) { return dynamic_cast<CXTabBase*>(control->GetChildPtrAt(index)); }
    void Touch(int type, int x, int y) { host.Pointer(x, y, type, control); }

    CScreenHost host;
    std::unique_ptr<TTemplate> templ;
    std::unique_ptr<CSenderLog> log;
    XWidget* control = nullptr;
};

TEST(TabControlTest, APressedTabActivatesItsIdAndTheControlReportsTheLowestIndex) {
    CTabBench bench;
    ASSERT_NE(bench.control, nullptr);
    auto* control = static_cast<CXTabControlBase*>(bench.control);
    EXPECT_FALSE(control->IsModal());
    EXPECT_EQ(control->GetModalKind(), kModalPosition);
    ASSERT_TRUE(bench.Tab(0) && bench.Tab(1) && bench.Tab(3));
    EXPECT_EQ(bench.Tab(2), nullptr) << "the image is no tab";
    EXPECT_EQ(bench.Tab(1)->GetPosition().width, 40) << "the rectangle is the frame's";
    EXPECT_TRUE(bench.Tab(1)->Contains(90, 20)) << "far edges inside";
    bench.log->sent.clear();

    bench.Touch(XPOINTER_PRESS, 120, 10);  // the second tab_b
    EXPECT_EQ(bench.host.XGetCapture(), bench.Tab(3));
    EXPECT_FALSE(bench.Tab(0)->IsActive());
    EXPECT_TRUE(bench.Tab(1)->IsActive()) << "every tab of the id";
    EXPECT_TRUE(bench.Tab(3)->IsActive());
    ASSERT_EQ(bench.log->sent.size(), 1u);
    EXPECT_EQ(bench.log->sent[0].message.code, XMSG_TAB_ACTIVATED);
    EXPECT_EQ(bench.log->sent[0].wparam, 1) << "the lowest index among tabs of that id";
    EXPECT_EQ(bench.log->sent[0].sender, &bench.host) << "sent by the game object";
    bench.Touch(XPOINTER_MOVE, 150, 50);
    EXPECT_FALSE(bench.Tab(3)->IsPressed()) << "outside";
    bench.Touch(XPOINTER_RELEASE, 120, 10);
    EXPECT_EQ(bench.host.XGetCapture(), nullptr);
    EXPECT_EQ(bench.log->sent.size(), 1u) << "no click from a tab";

    bench.Touch(XPOINTER_PRESS, 20, 10);
    bench.Touch(XPOINTER_RELEASE, 20, 10);
    EXPECT_TRUE(bench.Tab(0)->IsActive());
    EXPECT_FALSE(bench.Tab(1)->IsActive());
    ASSERT_EQ(bench.log->sent.size(), 2u);
    EXPECT_EQ(bench.log->sent[1].wparam, 0);

    EXPECT_TRUE(control->ActivateTab(3));
    EXPECT_FALSE(bench.Tab(0)->IsActive());
    EXPECT_FALSE(bench.Tab(1)->IsActive());
    EXPECT_TRUE(bench.Tab(3)->IsActive());
    EXPECT_EQ(bench.log->sent.size(), 2u) << "ActivateTab sends nothing";

    bench.Tab(0)->SheduleCreateWithEffect(0, 256);
    EXPECT_EQ(bench.Tab(0)->NotifyPointerEvent(20, 10, XPOINTER_PRESS), 0) << "a fading tab ignores the pointer";
}

TEST(TabControlTest, TheActiveTabDrawsItsSecondFrame) {
    CTabBench bench;
    auto* control = static_cast<CXTabControlBase*>(bench.control);
    control->ActivateTab(1);
    control->Draw();
    EXPECT_EQ(bench.host.Pixel(20, 10), Rgb565Of(kIdle));
    EXPECT_EQ(bench.host.Pixel(70, 10), Rgb565Of(kPressed));
    EXPECT_EQ(bench.host.Pixel(120, 10), Rgb565Of(kIdle)) << "only the tab activated by index";
}

TEST(TabControlTest, AControlMakingNoTabLeavesPlainGameButtons) {
    CTabBench bench(MakeWidget<CNoTabs>);
    ASSERT_NE(bench.control, nullptr);
    EXPECT_EQ(typeid(*bench.control->GetChildPtrAt(0)), typeid(XGameButton));
}

}  // namespace

// The scrollable dialog: its page layout, page switching, the drift back to the current page,
// the 20-pixel hold at the first and last pages, and the wandering of its buttons.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "DialogFixtures.h"
#include "ui/ScrollableDialog.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace dialogtest;

// A 200 x 100 dialog of n buttons, 40 x 20 each, placed by the dialog.
std::string Grid(int n) {
    std::string text = "dialog = grid\n modal = children\n size = 200 100\n";
    for (int i = 0; i < n; ++i) text += " child = b" + std::to_string(i) + "\n end\n";
    text += "end\n";
    for (int i = 0; i < n; ++i) text += "button = b" + std::to_string(i) + "\n set = btn\n size = 40 20\nend\n";
    return text;
}

// The game dialog's buttons are wandering ones here.
class CGrid : public CXScrollableDialog {
public:
    using CXScrollableDialog::CXScrollableDialog;
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override {
        return MakeAndInitWidget(MakeWidget<CXScrollableDialogButton>, this, m_pTemplate, record, placement);
    }
};

// A host whose random values are the highest they can be.
class CHighRandomHost : public CScreenHost {
public:
    int RandomValue(int n) override { return n - 1; }
};

class CGridBench {
public:
    explicit CGridBench(int n) {
        host.MountTemplates({});
        templ = Parse(Grid(n));
        parent = std::make_unique<CRecorder>(&host, nullptr);
        grid = static_cast<CGrid*>(
            MakeAndInitWidget(MakeWidget<CGrid>, parent.get(), templ.get(), templ->GetWidget("grid"), nullptr));
    }
    ~CGridBench() { parent->DeleteAllChildWidgets(); }
    // The centre of child i.
    TCoord2D Centre(int i) {
        const TCoordRect2D r = static_cast<XWidget*>(grid->GetChildPtrAt(i))->GetDrawingRect();
        return {r.x + r.width / 2, r.y + r.height / 2};
    }
    void Touch(int type, int x, int y) { host.Pointer(x, y, type, grid); }

    CHighRandomHost host;
    std::unique_ptr<TTemplate> templ;
    std::unique_ptr<CRecorder> parent;
    CGrid* grid = nullptr;
};

TEST(ScrollableDialogTest, SevenButtonsOnAThreeByTwoGridMakeTwoPages) {
    CGridBench bench(7);
    ASSERT_NE(bench.grid, nullptr);
    EXPECT_FALSE(bench.grid->ArrangeChildren(4, 2));
    EXPECT_FALSE(bench.grid->ArrangeChildren(3, 3));
    ASSERT_TRUE(bench.grid->ArrangeChildren(3, 2));
    EXPECT_EQ(bench.grid->GetPageCount(), 2);
    // The first page starts after a 60-pixel margin: the dialog sits at x 60.
    EXPECT_EQ(bench.grid->GetPosition().x, 60);
    // Six as 3 + 3 in 66-pixel cells, rows 50 pixels high; the seventh alone on page 2, one row.
    const TCoord2D want[] = {{60 + 33, 25}, {60 + 99, 25},  {60 + 165, 25},     {60 + 33, 75},
                             {60 + 99, 75}, {60 + 165, 75}, {60 + 200 + 33, 50}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(bench.Centre(i).x, want[i].x) << i;
        EXPECT_EQ(bench.Centre(i).y, want[i].y) << i;
    }
    EXPECT_EQ(bench.grid->GetPosition().width, 320 * 2) << "a screen's width per page";

    // Five on a page: 3 + 2, the second row shifted by half a cell.
    CGridBench five(5);
    ASSERT_TRUE(five.grid->ArrangeChildren(3, 2));
    EXPECT_EQ(five.Centre(3).x, 60 + 33 + 33);
    EXPECT_EQ(five.Centre(4).x, 60 + 99 + 33);
    // Four: 2 + 2 in 100-pixel cells.
    CGridBench four(4);
    ASSERT_TRUE(four.grid->ArrangeChildren(3, 2));
    EXPECT_EQ(four.Centre(1).x, 60 + 150);
    EXPECT_EQ(four.Centre(2).y, 75);
}

TEST(ScrollableDialogTest, PagesSlideIntoPlaceAndStopAtTheLast) {
    CGridBench bench(7);
    ASSERT_TRUE(bench.grid->ArrangeChildren(3, 2));
    EXPECT_FALSE(bench.grid->SwitchToPage(2));
    EXPECT_TRUE(bench.grid->ScrollToNextPage());
    EXPECT_EQ(bench.grid->GetCurrentPage(), 1);
    bench.grid->RunProcess();
    EXPECT_EQ(bench.grid->GetPosition().x, 60) << "no jump: the offset makes up for the page";
    for (int tick = 0; tick < 60; ++tick) bench.grid->RunProcess();
    EXPECT_EQ(bench.grid->GetDragOffset(), 0);
    EXPECT_EQ(bench.grid->GetPosition().x, 60 - 200) << "slid to the second page";
    EXPECT_TRUE(bench.grid->ScrollToNextPage()) << "on the last page: true, and nothing changes";
    EXPECT_EQ(bench.grid->GetCurrentPage(), 1);
    EXPECT_EQ(bench.grid->GetDragOffset(), 0);
    EXPECT_TRUE(bench.grid->SwitchToPage(0));
    bench.grid->RunProcess();
    EXPECT_EQ(bench.grid->GetPosition().x, 60) << "at once";
}

TEST(ScrollableDialogTest, ASwipeRightOnTheFirstPageOnlySpringsBack) {
    CGridBench bench(7);
    ASSERT_TRUE(bench.grid->ArrangeChildren(3, 2));
    bench.parent->Take();
    const TCoord2D b0 = bench.Centre(0);
    bench.Touch(XPOINTER_PRESS, b0.x, b0.y);
    bench.Touch(XPOINTER_MOVE, b0.x + 30, b0.y);  // starts the drag
    bench.Touch(XPOINTER_MOVE, b0.x + 80, b0.y);  // 50 more: held at 20 pixels
    EXPECT_EQ(bench.grid->GetDragOffset(), 5120);
    bench.Touch(XPOINTER_RELEASE, b0.x + 80, b0.y);
    EXPECT_EQ(bench.grid->GetCurrentPage(), 0);
    int most = 0;
    for (int tick = 0; tick < 40; ++tick) {
        bench.grid->RunProcess();
        most = std::max(most, bench.grid->GetDragOffset());
    }
    EXPECT_EQ(most, 5120) << "never more than 20 pixels";
    EXPECT_EQ(bench.grid->GetDragOffset(), 0);
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_PRESSED, "b0", 0}})) << "a swipe is no tap";

    // A swipe left moves on to the next page; a tap clicks.
    bench.Touch(XPOINTER_PRESS, b0.x, b0.y);
    bench.Touch(XPOINTER_MOVE, b0.x - 30, b0.y);
    bench.Touch(XPOINTER_MOVE, b0.x - 60, b0.y);
    bench.Touch(XPOINTER_RELEASE, b0.x - 60, b0.y);
    EXPECT_EQ(bench.grid->GetCurrentPage(), 1);
    for (int tick = 0; tick < 60; ++tick) bench.grid->RunProcess();
    const TCoord2D b6 = bench.Centre(6);
    bench.parent->Take();
    bench.Touch(XPOINTER_PRESS, b6.x, b6.y);
    bench.Touch(XPOINTER_RELEASE, b6.x, b6.y);
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_PRESSED, "b6", 0}, {XMSG_CLICK, "b6", 0}}));
}

TEST(ScrollableDialogTest, ButtonsWanderWithinTheirAmplitudesWhileNotPressed) {
    CGridBench bench(1);
    auto* button = static_cast<CXScrollableDialogButton*>(bench.grid->GetChildPtrAt(0));
    ASSERT_NE(button, nullptr);
    // The highest random start: 2 x 384 - 1 - 384 and 2 x 768 - 1 - 768.
    EXPECT_EQ(button->GetFloatX(), 383);
    EXPECT_EQ(button->GetFloatY(), 767);
    button->RunProcess();
    EXPECT_EQ(button->GetFloatX(), 393) << "x moves by 10 and turns at its amplitude";
    EXPECT_EQ(button->GetFloatY(), 749) << "y moves by -18";
    button->RunProcess();
    EXPECT_EQ(button->GetFloatX(), 383);
    for (int tick = 0; tick < 500; ++tick) {
        button->RunProcess();
        ASSERT_LE(std::abs(button->GetFloatX()), 384 + 10);
        ASSERT_LE(std::abs(button->GetFloatY()), 768 + 18);
    }
    button->NotifyPointerEvent(0, 0, XPOINTER_PRESS);
    const int x = button->GetFloatX();
    button->RunProcess();
    EXPECT_EQ(button->GetFloatX(), x) << "still while pressed";
}

}  // namespace

// Scroll lists driven by scripted pointer sequences, checked position by position per tick: a tap
// against a drag at the 10-pixel threshold, a drag, the decay of a fling, the halving of an
// outward speed past an end and the spring back by a sixth of the distance (1 to 15 pixels a
// tick), the scroll bar, categories with remembered positions, and the cross-fade between them.
// Expected positions were worked out by hand from the motion rules and are written as numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DialogFixtures.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "ui/ScrollDialog.h"
#include "ui/ScrollMotion.h"
#include "ui/TabControl.h"
#include "ui/WidgetMakers.h"

namespace {

using namespace dialogtest;

constexpr int kRowHeight = 40;
constexpr int kListY = 100;  // the list's area starts 100 pixels down and reaches the bottom (480)

// A row that is hit on its rectangle (the rows carry no image).
class CTestRow : public CXScrollItemBase {
public:
    CTestRow(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
        : CXScrollItemBase(parent, templ, record, placement) {
        SetRectHit(true);
    }
};

// A list of 40-pixel rows named c<category>_r<row>, rowsPerCategory[c] of them in category c.
class CTestList : public CXScrollDialogBase {
public:
    CTestList(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
        : CXScrollDialogBase(parent, templ, record, placement, nullptr) {}
    int GetScrollItemHeight(int /*category*/) override { return kRowHeight; }
    CXScrollItemBase* CreateScrollItemObject(CXElement* parent, TTemplate* templ, TWidget* record,
                                             const WidgetContext* placement, void* /*data*/) override {
        return new CTestRow(parent, templ, record, placement);
    }
    bool CreateScrollItems() override {
        const int category = GetCurrentCategory();
        for (int i = 0; i < rowsPerCategory[category]; ++i) {
            const std::string id = "c" + std::to_string(category) + "_r" + std::to_string(i);
            if (!AddScrollItem(CommonString(id.c_str()), nullptr)) return false;
        }
        return true;
    }
    void SetContainer(IScrollDialogContainer* container) { m_pContainer = container; }
    void DisallowDrag() { m_bDragAllowed = false; }
    using CXScrollDialogBase::GetScrollItemHeight;

    std::vector<int> rowsPerCategory{20};
};

// The same list ending 40 pixels above the screen's bottom, so both edges of its area show.
class CMarginList : public CTestList {
public:
    CMarginList(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
        : CTestList(parent, templ, record, placement) {
        m_nBottomMargin = 40;
    }
};

// The list under a recording parent, its scroll-bar caps loaded, and the touches as the game
// delivers them (the first to the list, the rest to whoever holds the capture).
class CListBench {
public:
    explicit CListBench(bool bottomMargin = false) {
        host.SetPak({Strip2x("edge", 8, 6, {kIdle, kPressed})});
        EXPECT_EQ(host.m_Sets.AddSpriteSetSingle("ScrollerEdge", "edge", "", 2, 2, false, false), 1);
        EXPECT_EQ(host.m_Sets.GetSpriteSetNamed("ScrollerEdge")->AddReference(), 1);
        templ = Parse("dialog = lst\n modal = children\nend\n");
        parent = std::make_unique<CRecorder>(&host, nullptr);
        WidgetContext placement;
        placement.y = kListY;
        list =
            static_cast<CTestList*>(MakeAndInitWidget(bottomMargin ? MakeWidget<CMarginList> : MakeWidget<CTestList>,
                                                      parent.get(), templ.get(), templ->GetWidget("lst"), &placement));
    }
    ~CListBench() {
        parent->DeleteAllChildWidgets();
        host.m_Sets.GetSpriteSetNamed("ScrollerEdge")->ReleaseReference();
    }
    void Touch(int type, int x, int y) { host.Pointer(x, y, type, list); }
    // Position relative to the top limit, in 1/256 pixel.
    int FromTop() const { return list->GetScrollPosition() - list->GetTopLimit(); }
    int RowY(int index) const { return list->GetChildPtrAt(index)->GetPosition().y; }

    CScreenHost host;
    std::unique_ptr<TTemplate> templ;
    std::unique_ptr<CRecorder> parent;
    CTestList* list = nullptr;
};

TEST(ScrollDialogTest, TheListFillsTheScreenBelowItAndLaysItsRowsOut) {
    CListBench bench;
    CTestList* list = bench.list;
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->IsModal());
    const TCoordRect2D area = list->GetListArea();
    EXPECT_EQ(area.y, kListY);
    EXPECT_EQ(area.width, 320);
    EXPECT_EQ(area.height, 480 - kListY);
    ASSERT_TRUE(list->SetCurrentCategory(0));
    EXPECT_EQ(list->GetChildCount(), 20);
    // Half a row of room at each end: the limits hold the first row 20 pixels below the area's top
    // and the last 20 pixels above its bottom.
    EXPECT_EQ(list->GetTopLimit(), (-kListY - 20) * 256);
    EXPECT_EQ(list->GetBottomLimit(), (20 * 40 + 20 - kListY - 380) * 256);
    EXPECT_EQ(list->GetScrollPosition(), list->GetTopLimit());
    EXPECT_EQ(bench.RowY(0), kListY + 20);
    EXPECT_EQ(bench.RowY(19), kListY + 20 + 19 * 40);
    EXPECT_EQ(list->GetChildPtrAt(3)->GetPosition().width, 320);
    EXPECT_TRUE(list->Contains(0, kListY));
    EXPECT_TRUE(list->Contains(320, 480)) << "edges inside";
    EXPECT_FALSE(list->Contains(10, kListY - 1));

    // The bar: 460 pixels of range over a 380-pixel area would be 83 %, held to 80 %: 304 high,
    // 8 pixels in from the right, 6 wide; it slides 76 pixels over the range.
    list->RunProcess();
    EXPECT_EQ(list->GetScrollBarRect().x, 312);
    EXPECT_EQ(list->GetScrollBarRect().width, 6);
    EXPECT_EQ(list->GetScrollBarRect().height, 304);
    EXPECT_EQ(list->GetScrollBarRect().y, 0);
    list->SetScrollPosition(list->GetTopLimit() + 230 * 256);
    list->RunProcess();
    EXPECT_EQ(list->GetScrollBarRect().y, 38) << "half way";
    list->SetScrollPosition(list->GetTopLimit() - 20 * 256);
    list->RunProcess();
    EXPECT_EQ(list->GetScrollBarRect().y, 0);
    // The tick springs back 20/6 pixels first (853/256), leaving 4267/256 over: the bar loses half.
    EXPECT_EQ(list->GetScrollBarRect().height, 304 - 4267 / 512);

    list->SetPendingPositionRequest(1);
    list->ArrangeScrollItems();
    EXPECT_EQ(list->GetScrollPosition(), list->GetBottomLimit());
    EXPECT_EQ(bench.RowY(19) + 40, 480 - 20) << "the last row ends half a row above the bottom";
}

struct TTapCase {
    int moveBy;  // pixels straight down before the release
    bool tap;
    const char* why;
};

TEST(ScrollDialogTest, ATapBelowTheThresholdAndADragFromIt) {
    const TTapCase cases[] = {
        {9, true, "81 squared pixels: still a tap"},
        {10, false, "100 squared pixels: a drag"},
    };
    for (const TTapCase& c : cases) {
        CListBench bench;
        ASSERT_TRUE(bench.list->SetCurrentCategory(0));
        bench.parent->Take();
        bench.Touch(XPOINTER_PRESS, 50, 130);
        EXPECT_EQ(bench.host.XGetCapture(), bench.list) << "the list holds the capture, not the row";
        auto* row = static_cast<CTestRow*>(bench.list->GetChildPtrAt(0));
        EXPECT_TRUE(row->IsPressed());
        bench.Touch(XPOINTER_MOVE, 50, 130 + c.moveBy);
        EXPECT_EQ(row->IsPressed(), c.tap) << c.why;
        EXPECT_EQ(bench.list->IsDragging(), !c.tap) << c.why;
        EXPECT_EQ(bench.FromTop(), 0) << "the crossing move itself scrolls nothing";
        bench.Touch(XPOINTER_RELEASE, 50, 130 + c.moveBy);
        EXPECT_EQ(bench.host.XGetCapture(), nullptr);
        std::vector<TMessage> want{{XMSG_PRESSED, "c0_r0", 0}};
        if (c.tap) want.push_back({XMSG_CLICK, "c0_r0", 0});
        EXPECT_EQ(bench.parent->Take(), want) << c.why;
    }
}

TEST(ScrollDialogTest, ADragMovesTheRowsAndAFlingDecaysAPixelPerTick) {
    CListBench bench;
    ASSERT_TRUE(bench.list->SetCurrentCategory(0));
    bench.Touch(XPOINTER_PRESS, 50, 300);
    bench.Touch(XPOINTER_MOVE, 50, 290);  // crosses the threshold
    bench.Touch(XPOINTER_MOVE, 50, 270);
    EXPECT_EQ(bench.FromTop(), 20 * 256) << "the content follows the finger up 20 pixels";
    bench.list->RunProcess();
    EXPECT_EQ(bench.RowY(0), kListY + 20 - 20) << "the rows move with the position";
    EXPECT_EQ(bench.FromTop(), 20 * 256) << "no motion while the finger is down";
    bench.Touch(XPOINTER_MOVE, 50, 262);
    EXPECT_EQ(bench.FromTop(), 28 * 256);
    bench.Touch(XPOINTER_RELEASE, 50, 262);
    EXPECT_EQ(bench.list->GetScrollSpeed(), 8 * 256) << "the last move, as a speed";

    // 8, 7, ..., 1 pixels, then rest: 36 pixels more.
    const int positions[] = {36, 43, 49, 54, 58, 61, 63, 64, 64, 64};
    for (int tick = 0; tick < 10; ++tick) {
        bench.list->RunProcess();
        EXPECT_EQ(bench.FromTop(), positions[tick] * 256) << tick;
        EXPECT_EQ(bench.RowY(0), kListY + 20 - positions[tick]) << tick;
    }
    EXPECT_EQ(bench.list->GetScrollSpeed(), 0);
}

TEST(ScrollDialogTest, PastTheTopTheOutwardSpeedHalvesThenTheListSpringsBack) {
    CListBench bench;
    ASSERT_TRUE(bench.list->SetCurrentCategory(0));
    bench.Touch(XPOINTER_PRESS, 50, 200);
    bench.Touch(XPOINTER_MOVE, 50, 210);
    bench.Touch(XPOINTER_MOVE, 50, 270);  // 60 down, starting at the limit: full rate
    EXPECT_EQ(bench.FromTop(), -60 * 256);
    bench.Touch(XPOINTER_MOVE, 50, 290);  // past the limit: half rate
    EXPECT_EQ(bench.FromTop(), -70 * 256);
    bench.Touch(XPOINTER_RELEASE, 50, 290);
    EXPECT_EQ(bench.list->GetScrollSpeed(), -10 * 256);

    // Halving -2560 until it is gone, then a sixth of the distance a tick, at least a pixel.
    const int fromTop[] = {-19200, -19840, -20160, -20320, -20320, -16934, -14112, -11760, -9800,
                           -8167,  -6806,  -5672,  -4727,  -3940,  -3284,  -2737,  -2281,  -1901,
                           -1585,  -1321,  -1065,  -809,   -553,   -297,   -41,    0};
    for (int tick = 0; tick < static_cast<int>(std::size(fromTop)); ++tick) {
        bench.list->RunProcess();
        EXPECT_EQ(bench.FromTop(), fromTop[tick]) << tick;
        if (fromTop[tick] != 0) {
            EXPECT_EQ(bench.list->GetScrollBarAlpha(), 255) << "shown while past the end";
        }
    }
    EXPECT_EQ(bench.list->GetScrollSpeed(), 0) << "stopped exactly on the limit";
    // The bar fades out over 8 ticks once the list stops, the first being the tick it stopped on.
    EXPECT_EQ(bench.list->GetScrollBarAlpha(), 223);
    for (int tick = 2; tick <= 8; ++tick) {
        bench.list->RunProcess();
        EXPECT_EQ(bench.list->GetScrollBarAlpha(), std::max(0, 255 - 32 * tick)) << tick;
    }
}

struct TSpringCase {
    int startFromLimit;  // pixels past the limit (negative: above the top, positive: below the end)
    int firstStep;       // 1/256 pixels moved back on the first tick
    const char* why;
};

TEST(ScrollDialogTest, TheSpringBackIsClampedToOneToFifteenPixels) {
    const TSpringCase cases[] = {
        {-100, 3840, "a sixth of 100 pixels is over 15: 15"},
        {-3, 256, "a sixth of 3 pixels is under 1: 1"},
        {-60, 2560, "a sixth of 60 pixels: 10"},
        {100, -3840, "below the end: 15 back up"},
        {60, -2560, "below the end: a sixth of 60 pixels, 10"},
        {3, -256, "below the end: at least 1"},
    };
    for (const TSpringCase& c : cases) {
        CListBench bench;
        ASSERT_TRUE(bench.list->SetCurrentCategory(0));
        const int limit = c.startFromLimit < 0 ? bench.list->GetTopLimit() : bench.list->GetBottomLimit();
        bench.list->SetScrollPosition(limit + c.startFromLimit * 256);
        bench.list->RunProcess();
        EXPECT_EQ(bench.list->GetScrollPosition() - limit, c.startFromLimit * 256 + c.firstStep) << c.why;
        for (int tick = 0; tick < 200; ++tick) bench.list->RunProcess();
        EXPECT_EQ(bench.list->GetScrollPosition(), limit) << c.why;
    }
}

TEST(ScrollDialogTest, APressStopsAnOvershootOnTheLimit) {
    const struct {
        bool fromEnd;
        int pixels;  // from the top limit or the end
        int expectedFromLimit;
        const char* why;
    } cases[] = {
        {false, -30, 0, "pulled down past the top: held on the top"},
        {true, 25, 0, "pushed up past the end: held on the end"},
        {false, 50, 50, "inside the limits: stays"},
        {true, -1, -1, "a pixel before the end: stays"},
    };
    for (const auto& c : cases) {
        CListBench bench;
        ASSERT_TRUE(bench.list->SetCurrentCategory(0));
        const int limit = c.fromEnd ? bench.list->GetBottomLimit() : bench.list->GetTopLimit();
        bench.list->SetScrollPosition(limit + c.pixels * 256);
        bench.Touch(XPOINTER_PRESS, 50, 300);
        EXPECT_EQ(bench.list->GetScrollPosition(), limit + c.expectedFromLimit * 256) << c.why;
        bench.list->RunProcess();
        EXPECT_EQ(bench.list->GetScrollPosition(), limit + c.expectedFromLimit * 256) << c.why << ", the next tick";
        bench.Touch(XPOINTER_RELEASE, 50, 300);
    }
}

TEST(ScrollDialogTest, PastTheEndAnOutwardFlingHalvesAndAShortListCannotScroll) {
    CListBench bench;
    ASSERT_TRUE(bench.list->SetCurrentCategory(0));
    const int bottom = bench.list->GetBottomLimit();
    bench.list->SetScrollPosition(bottom - 2 * 256);
    bench.Touch(XPOINTER_PRESS, 50, 300);
    bench.Touch(XPOINTER_MOVE, 50, 290);
    bench.Touch(XPOINTER_MOVE, 50, 278);  // 12 up: the end is crossed on this move, so full rate
    bench.Touch(XPOINTER_MOVE, 50, 258);  // 20 up past the end: 10
    EXPECT_EQ(bench.list->GetScrollPosition() - bottom, 20 * 256);
    bench.Touch(XPOINTER_RELEASE, 50, 258);
    // The outward 10 pixels a tick halve: 5, 2.5, 1.25, 0.625, then nothing.
    const int fromEnd[] = {20 * 256 + 1280, 20 * 256 + 1920, 20 * 256 + 2240, 20 * 256 + 2400, 20 * 256 + 2400};
    for (int tick = 0; tick < 5; ++tick) {
        bench.list->RunProcess();
        EXPECT_EQ(bench.list->GetScrollPosition() - bottom, fromEnd[tick]) << tick;
    }

    // Three rows fit the area: both limits are the top; a pull springs back.
    CListBench shortBench;
    shortBench.list->rowsPerCategory = {3};
    ASSERT_TRUE(shortBench.list->SetCurrentCategory(0));
    EXPECT_EQ(shortBench.list->GetBottomLimit(), shortBench.list->GetTopLimit());
    shortBench.Touch(XPOINTER_PRESS, 50, 130);
    shortBench.Touch(XPOINTER_MOVE, 50, 100);
    shortBench.Touch(XPOINTER_MOVE, 50, 60);  // up 40, starting on the end: full rate
    EXPECT_EQ(shortBench.FromTop(), 40 * 256);
    shortBench.Touch(XPOINTER_MOVE, 50, 40);  // 20 more, past the end: 10
    EXPECT_EQ(shortBench.FromTop(), 50 * 256);
    shortBench.Touch(XPOINTER_RELEASE, 50, 40);
    for (int tick = 0; tick < 100; ++tick) shortBench.list->RunProcess();
    EXPECT_EQ(shortBench.FromTop(), 0);

    // Showing the end less 26 pixels and two rows lies above the top of a short list: back to it.
    shortBench.list->SetPendingPositionRequest(2);
    shortBench.list->ArrangeScrollItems();
    EXPECT_EQ(shortBench.FromTop(), (-26 - 80) * 256);
    for (int tick = 0; tick < 100; ++tick) shortBench.list->RunProcess();
    EXPECT_EQ(shortBench.FromTop(), 0);
}

TEST(ScrollDialogTest, WithoutDragALongMoveUnpressesTheRowAndTheReleaseTaps) {
    CListBench bench;
    bench.list->DisallowDrag();
    ASSERT_TRUE(bench.list->SetCurrentCategory(0));
    bench.parent->Take();
    bench.Touch(XPOINTER_PRESS, 50, 130);
    bench.Touch(XPOINTER_MOVE, 50, 180);
    EXPECT_FALSE(static_cast<CTestRow*>(bench.list->GetChildPtrAt(0))->IsPressed());
    EXPECT_FALSE(bench.list->IsDragging());
    bench.Touch(XPOINTER_MOVE, 50, 230);
    EXPECT_EQ(bench.FromTop(), 0) << "no scrolling";
    bench.Touch(XPOINTER_RELEASE, 50, 230);
    EXPECT_EQ(bench.parent->Take(), (std::vector<TMessage>{{XMSG_PRESSED, "c0_r0", 0}, {XMSG_CLICK, "c0_r2", 0}}))
        << "the row under the release gets the tap";
}

TEST(ScrollDialogTest, AMoveWithoutAPressOnTheListStartsNothing) {
    // A finger that went down elsewhere (on nothing that took the capture) and slides onto the
    // list must not start a drag measured from "no press".
    CListBench bench;
    ASSERT_TRUE(bench.list->SetCurrentCategory(0));
    bench.Touch(XPOINTER_MOVE, 50, 300);
    bench.Touch(XPOINTER_MOVE, 50, 200);
    EXPECT_FALSE(bench.list->IsDragging());
    EXPECT_EQ(bench.host.XGetCapture(), nullptr);
    bench.list->RunProcess();
    EXPECT_EQ(bench.FromTop(), 0);
}

// A channel moved toward black by alpha a: c + (a x (0 - c) >> 8), the shift flooring.
std::uint16_t Darker(std::uint16_t p, int a) {
    auto ch = [a](int c) { return c + static_cast<int>(std::floor(-a * c / 256.0)); };
    return static_cast<std::uint16_t>(ch(p >> 11) << 11 | ch((p >> 5) & 63) << 5 | ch(p & 31));
}

// A blit's blend of source s over d with weight a: d + ((s - d) x a >> 8) per channel.
std::uint16_t Blended(std::uint16_t d, std::uint16_t s, int a) {
    auto ch = [a](int dc, int sc) { return dc + static_cast<int>(std::floor((sc - dc) * a / 256.0)); };
    return static_cast<std::uint16_t>(ch(d >> 11, s >> 11) << 11 | ch((d >> 5) & 63, (s >> 5) & 63) << 5 |
                                      ch(d & 31, s & 31));
}

// Bright, different in every column and row.
std::uint16_t Ground(int x, int y) {
    return static_cast<std::uint16_t>((31 - x % 6) << 11 | (63 - (x + 2 * y) % 9) << 5 | (31 - y % 4));
}

void PaintGround(CScreenHost& host) {
    auto* bits = reinterpret_cast<std::uint16_t*>(host.m_Screen.m_pBackBuffer->GetBits());
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 320; ++x) bits[y * 320 + x] = Ground(x, y);
}

// The list's area (0, 100, 320, 340) is shaded black at 64, or in proportion to the list's
// opacity; lines of black at 128, two pixels thick, lie along its top and its bottom edge; during a
// category fade the area goes black at the fade's alpha over all of it.
TEST(ScrollDialogTest, TheAreaIsShadedEdgedAndFadedToBlack) {
    const struct {
        FIXED_FLOAT opacity;
        int fadeTicks;
        int shade, fade;
        const char* why;
    } cases[] = {
        {kOpacityFull, 0, 64, 0, "full opacity: 64"},
        {kOpacityFull - 1, 0, 63, 0, "just under: (65279 x 64 / 255) >> 8"},
        {32768, 0, 32, 0, "half"},
        {4000, 0, 3, 0, "faint"},
        {13300, 0, 13, 0, "(13300 x 64 / 255) >> 8 = 13, where a division by 256 would give 12"},
        {kOpacityFull, 2, 64, 96, "two ticks into a category fade"},
        {kOpacityFull, 5, 64, 240, "five ticks in"},
    };
    for (const auto& c : cases) {
        CListBench bench(true);
        CTestList* list = bench.list;
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->GetListArea().y, kListY);
        ASSERT_EQ(list->GetListArea().height, 340);
        list->rowsPerCategory = {0, 0};
        list->ApplyOpacity(c.opacity);
        if (c.fadeTicks > 0) {
            list->FadeToCategory(1);
            for (int tick = 0; tick < c.fadeTicks; ++tick) list->RunProcess();
            ASSERT_EQ(list->GetCategoryFadeAlpha(), c.fade) << c.why;
        }
        PaintGround(bench.host);
        list->Draw();
        int bad = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 320; ++x) {
                std::uint16_t want = Ground(x, y);
                const bool inArea = y >= 100 && y < 440;
                if (inArea) want = Darker(want, c.shade);
                if (y == 100 || y == 101 || y == 440 || y == 441) want = Darker(want, 128);
                if (inArea && c.fade > 0) want = Darker(want, c.fade);
                if (bench.host.Pixel(x, y) != want && ++bad <= 3)
                    ADD_FAILURE() << c.why << ": (" << x << ", " << y << ") is " << bench.host.Pixel(x, y)
                                  << ", expected " << want;
            }
    }
}

// The same on OpenGL ES, where a shade or line alpha one step off shows as it cannot on 16-bit
// pixels: over white, the area at shade a reads 255 - a, and each edge line one row that is
// darkened again by 128 (the row the rasteriser picks at the edge, above or below it).
TEST(ScrollDialogTest, TheShadeAndTheEdgeLinesOnOpenGl) {
    mediatest::CHeadlessGl gl(320, 480);
    if (!gl.IsValid()) GTEST_SKIP() << "no headless EGL / GLES1 here";
    const struct {
        FIXED_FLOAT opacity;
        int shade;
    } cases[] = {{kOpacityFull, 64}, {32768, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shade);
        CListBench bench(true);
        ASSERT_NE(bench.list, nullptr);
        bench.host.m_RenderSwitches.m_bReleasePixelsAfterUpload = true;
        bench.host.MakeGlScreen(320, 480);
        bench.host.m_Screen.m_pBackBuffer->FillRectangle(0, 0, 320, 480, 255, 255, 255);
        bench.list->ApplyOpacity(c.opacity);
        bench.list->Draw();
        const mediatest::TImage img = gl.Read();
        const int shaded = 255 * (255 - c.shade) / 255;
        EXPECT_EQ(img.At(160, 250)[1], shaded) << "the area";
        EXPECT_EQ(img.At(160, 20)[1], 255) << "above it";
        EXPECT_EQ(img.At(160, 460)[1], 255) << "below it";
        // Each edge: one row near it darkened by 128 more than the area or the screen around it.
        for (int edge : {100, 440}) {
            int lined = 0;
            for (int y = edge - 2; y <= edge + 2; ++y) {
                const int plain = y >= 100 && y < 440 ? shaded : 255;
                const int v = img.At(160, y)[1];
                if (v == plain) continue;
                ++lined;
                EXPECT_EQ(v, (plain * 127 + 127) / 255) << "row " << y << " of the edge at " << edge;
            }
            EXPECT_EQ(lined, 1) << "the edge at " << edge;
        }
    }
}

// A cap of 8 x 6 pixels whose rows differ, so each drawn row tells which cap row it is.
std::unique_ptr<CWinDibBitmap> Cap(IElementHost* host, bool top) {
    auto cap = std::make_unique<CWinDibBitmap>(host);
    EXPECT_EQ(cap->Create(8, 6), 1);
    auto* bits = reinterpret_cast<std::uint16_t*>(cap->GetBits());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            bits[y * 8 + x] = static_cast<std::uint16_t>(top ? (4 * y + 2) << 5 : (4 * y + 3) << 11 | (2 * x + 1));
    return cap;
}

// The bar drawn at its geometry over a patterned screen, against the steps written out: with
// a = alpha / 255 x 95 (nothing under 1, nor for a bar of 1 pixel), the two caps blended at a
// (skipped at 10 and under, as any blit is), the top one from a pixel above the bar and the
// bottom one to a pixel below it, and black at a between them from 3 pixels in; a bar of 2 to 5
// pixels shows the top (height >> 1) + 1 rows of the top cap and the rest from the bottom cap's
// last rows.
TEST(ScrollBarTest, CapsAndFillAtEveryHeight) {
    CScreenHost host;
    auto top = Cap(&host, true), bottom = Cap(&host, false);
    const auto* topBits = reinterpret_cast<const std::uint16_t*>(top->GetBits());
    const auto* bottomBits = reinterpret_cast<const std::uint16_t*>(bottom->GetBits());
    constexpr int kAreaX = 5, kAreaY = 7, kBarX = 30, kBarY = 10;
    for (int alpha : {255, 128, 20, 2}) {
        for (int height : {1, 2, 3, 4, 5, 6, 7, 20}) {
            const std::string why = "alpha " + std::to_string(alpha) + ", height " + std::to_string(height);
            PaintGround(host);
            TScrollBar bar;
            bar.x = kBarX;
            bar.y = kBarY;
            bar.width = 6;
            bar.height = height;
            bar.alpha = alpha;
            bar.Draw(&host, host.m_Screen.m_pBackBuffer, top.get(), bottom.get(), kAreaX, kAreaY);

            std::vector<std::uint16_t> want(320 * 480);
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 320; ++x) want[y * 320 + x] = Ground(x, y);
            const double a = alpha / 255.0 * 95;
            const int shade = static_cast<int>(a);
            const int left = kAreaX + kBarX - 1, yTop = kAreaY + kBarY, yBottom = yTop + height;
            // Cap row `row` of `cap` drawn on screen row y.
            auto capRow = [&](const std::uint16_t* cap, int row, int y) {
                if (shade <= 10) return;
                for (int x = 0; x < 8; ++x) {
                    std::uint16_t& d = want[y * 320 + left + x];
                    d = Blended(d, cap[row * 8 + x], shade);
                }
            };
            if (a >= 1 && height > 1) {
                if (height >= 6) {
                    for (int row = 0; row < 6; ++row) capRow(topBits, row, yTop - 1 + row);
                    for (int row = 0; row < 6; ++row) capRow(bottomBits, row, yBottom + 1 - 6 + row);
                    for (int y = yTop + 3; y < yTop + 3 + height - 6; ++y)
                        for (int x = kAreaX + kBarX; x < kAreaX + kBarX + 6; ++x)
                            want[y * 320 + x] = Darker(want[y * 320 + x], shade);
                } else {
                    const int topRows = (height >> 1) + 1, bottomRows = height + 2 - topRows;
                    for (int row = 0; row < topRows; ++row) capRow(topBits, row, yTop - 1 + row);
                    for (int k = 0; k < bottomRows; ++k)
                        capRow(bottomBits, 6 - bottomRows + k, yBottom + 1 - bottomRows + k);
                }
            }
            int bad = 0;
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 320; ++x)
                    if (host.Pixel(x, y) != want[y * 320 + x] && ++bad <= 3)
                        ADD_FAILURE() << why << ": (" << x << ", " << y << ") is " << host.Pixel(x, y) << ", expected "
                                      << want[y * 320 + x];
        }
    }
}

// A holder of a list and a tab control of six tabs (six categories).
class CTabHolder : public CRecorder, public IScrollDialogContainer {
public:
    using CRecorder::CRecorder;
};

TEST(ScrollDialogTest, CategoriesRememberPositionsUpToFourAndCrossFade) {
    CListBench bench;
    CTestList* list = bench.list;
    auto templ = Parse(
        "dialog = tabs\n child = t0\n end\n child = t1\n end\n child = t2\n end\n child = t3\n end\n"
        " child = t4\n end\n child = t5\n end\nend\n"
        "button = t0\nend\nbutton = t1\nend\nbutton = t2\nend\nbutton = t3\nend\nbutton = t4\nend\nbutton = t5\nend\n");
    CTabHolder holder(&bench.host, nullptr);
    auto* tabs = static_cast<CXTabControlBase*>(
        MakeAndInitWidget(MakeWidget<CXTabControlBase>, &holder, templ.get(), templ->GetWidget("tabs"), nullptr));
    ASSERT_NE(tabs, nullptr);
    holder.m_pTabControl = tabs;
    holder.m_pScrollDialog = list;
    list->SetContainer(&holder);
    list->rowsPerCategory = {20, 20, 20, 20, 20, 20};
    EXPECT_EQ(list->GetNumCategories(), 6);
    EXPECT_EQ(holder.GetNumTabs(), 6);

    struct TVisit {
        int category;
        int expectFromTop;  // pixels, where the category opens
        int scrollTo;       // pixels, where the visit leaves it
    };
    const TVisit visits[] = {
        {1, 0, 100}, {2, 0, 50}, {1, 100, 30}, {5, 0, 70}, {0, 0, 0}, {5, 0, 0}, {2, 50, 0}, {1, 30, 0},
    };
    for (const TVisit& v : visits) {
        ASSERT_TRUE(list->SetCurrentCategory(v.category)) << v.category;
        EXPECT_EQ(bench.FromTop(), v.expectFromTop * 256) << "category " << v.category;
        EXPECT_EQ(static_cast<XWidget*>(list->GetChildPtrAt(0))->GetRecord()->name,
                  ("c" + std::to_string(v.category) + "_r0").c_str());
        list->SetScrollPosition(list->GetTopLimit() + v.scrollTo * 256);
    }
    EXPECT_FALSE(list->SetCurrentCategory(6)) << "out of range";
    EXPECT_EQ(list->GetChildCount(), 0) << "and left empty";

    // The cross-fade: 48 a tick to black, the switch at 255, and 48 a tick back.
    ASSERT_TRUE(list->SetCurrentCategory(3));
    list->FadeToCategory(4);
    const int alphas[] = {48, 96, 144, 192, 240, 255, 207, 159, 111, 63, 15, 0};
    for (int tick = 0; tick < 12; ++tick) {
        list->RunProcess();
        EXPECT_EQ(list->GetCategoryFadeAlpha(), alphas[tick]) << tick;
        EXPECT_EQ(list->GetCurrentCategory(), tick < 5 ? 3 : 4) << tick;
        EXPECT_EQ(list->IsCategoryFading(), tick < 11) << tick;
        if (tick < 11) {
            EXPECT_EQ(list->NotifyPointerEvent(50, 130, XPOINTER_PRESS), 1);
            EXPECT_EQ(bench.host.XGetCapture(), nullptr) << "input does nothing during the fade";
        }
    }
    EXPECT_FALSE(list->IsCategoryFading());
    EXPECT_EQ(list->GetCategoryFadeAlpha(), 0);
    bench.parent->DeleteAllChildWidgets();
    holder.DeleteAllChildWidgets();
    bench.list = nullptr;
}

}  // namespace

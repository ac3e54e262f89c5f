#include "ui/XElement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/WinDibBitmap.h"
#include "testsupport/FakeElementHost.h"

namespace {

struct TSeen {
    std::string who;
    int x, y, type, touchId;
};

struct TLog {
    std::vector<TSeen> pointer;
    std::vector<TSeen> keys;
    std::vector<std::string> drawn;
    std::vector<std::string> focused;
    std::vector<std::string> messages;  // "receiver<-sender:code,w,l"
};

// An element that records what reaches it.
class CRec : public CXElement {
public:
    CRec(CXElement* parent, TLog* log, std::string name, int x = 0, int y = 0, int w = 0, int h = 0,
         IElementHost* game = nullptr)
        : CXElement(parent, game), m_Log(log), m_Name(std::move(name)) {
        SetPosition(x, y, w, h);
    }
    int NotifyPointerEvent(int x, int y, int type) override {
        if (!m_bLeaf) return CXElement::NotifyPointerEvent(x, y, type);
        m_Log->pointer.push_back({m_Name, x, y, type, -1});
        return m_nResult;
    }
    int NotifyMultiTouchPointerEvent(int x, int y, int type, int touchId) override {
        if (!m_bLeaf) return CXElement::NotifyMultiTouchPointerEvent(x, y, type, touchId);
        m_Log->pointer.push_back({m_Name, x, y, type, touchId});
        return m_nResult;
    }
    int NotifyKeyEvent(int key, int type) override {
        if (!m_bLeaf) return CXElement::NotifyKeyEvent(key, type);
        m_Log->keys.push_back({m_Name, key, type, 0, 0});
        return 7;
    }
    void Draw() override {
        m_Log->drawn.push_back(m_Name);
        CXElement::Draw();
    }
    void OnSetFocus() override { m_Log->focused.push_back(m_Name); }
    int OnMessage(CXElement* sender, int code, XWPARAM w, int l) override {
        const auto* rec = dynamic_cast<CRec*>(sender);
        m_Log->messages.push_back(m_Name + "<-" + (rec ? rec->m_Name : "?") + ":" + std::to_string(code) + "," +
                                  std::to_string(w) + "," + std::to_string(l));
        return m_nMessageResult;
    }
    bool IsButton() override { return m_nSoftKey != 0; }
    int GetSoftKeyId() override { return m_nSoftKey; }

    TLog* m_Log;
    std::string m_Name;
    int m_nResult = 0;  // what the element answers; the parent's dispatch must not pass it on
    int m_nMessageResult = 0;
    int m_nSoftKey = 0;
    bool m_bLeaf = true;  // false: dispatch like a plain element instead of recording
};

// root with A (0,0,100,100), B (50,50,100,100) and C (200,200,10,10), in that child order.
struct TTree {
    TLog log;
    CRec root{nullptr, &log, "root", 0, 0, 1000, 1000};
    CRec* a = new CRec(&root, &log, "A", 0, 0, 100, 100);
    CRec* b = new CRec(&root, &log, "B", 50, 50, 100, 100);
    CRec* c = new CRec(&root, &log, "C", 200, 200, 10, 10);
    TTree() { root.m_bLeaf = false; }
    ~TTree() {
        delete c;
        delete b;
        delete a;
    }
};

// The same tree with a fourth, wide child D (300,20,40,10) on top: its x and y differ, so a pair
// taken the wrong way round shows.
struct TDispatchTree : TTree {
    CRec d{&root, &log, "D", 300, 20, 40, 10};
};

struct TDispatchCase {
    const char* why;
    int x, y;
    bool hideB, modalA, modalC, hideC;
    const char* taker;  // "" = nobody
    int result;
};

const TDispatchCase kDispatchCases[] = {
    {"topmost taker wins where two overlap", 60, 60, false, false, false, false, "B", 1},
    {"only the lower child contains the point", 10, 10, false, false, false, false, "A", 1},
    {"far corner is inside (edges included)", 150, 150, false, false, false, false, "B", 1},
    {"one past the far corner is outside", 151, 151, false, false, false, false, "", 0},
    {"top-left corner is inside", 50, 50, false, false, false, false, "B", 1},
    {"left edge below the other child", 50, 120, false, false, false, false, "B", 1},
    {"one left of the left edge, below the other child", 49, 120, false, false, false, false, "", 0},
    {"x and y apart inside the wide child", 335, 25, false, false, false, false, "D", 1},
    {"the same pair swapped is outside it", 25, 335, false, false, false, false, "", 0},
    {"top-left corner of the wide child", 300, 20, false, false, false, false, "D", 1},
    {"one above the wide child's top edge", 300, 19, false, false, false, false, "", 0},
    {"far corner of the wide child", 340, 30, false, false, false, false, "D", 1},
    {"hidden child is skipped", 60, 60, true, false, false, false, "A", 1},
    {"modal child met first swallows", 60, 60, false, false, true, false, "", 1},
    {"hidden modal child still swallows", 60, 60, false, false, true, true, "", 1},
    {"modal child containing the point takes it", 205, 205, false, false, true, false, "C", 1},
    {"modal child below the taker does not matter", 60, 60, false, true, false, false, "B", 1},
    {"modal child below swallows a point nobody above takes", 300, 300, false, true, false, false, "", 1},
};

void Configure(TTree& t, const TDispatchCase& c) {
    if (c.hideB) t.b->Hide();
    t.a->SetModal(c.modalA);
    t.c->SetModal(c.modalC);
    if (c.hideC) t.c->Hide();
}

TEST(XElementDispatch, PointerAndMultiTouchFollowTheHitRules) {
    for (const TDispatchCase& c : kDispatchCases) {
        SCOPED_TRACE(c.why);
        {
            TDispatchTree t;
            Configure(t, c);
            t.root.SetFocus(nullptr);
            EXPECT_EQ(t.root.NotifyPointerEvent(c.x, c.y, XPOINTER_PRESS), c.result);
            if (*c.taker == '\0') {
                EXPECT_TRUE(t.log.pointer.empty());
                EXPECT_EQ(t.root.GetActiveObjectPtr(), nullptr);
            } else {
                ASSERT_EQ(t.log.pointer.size(), 1u);
                EXPECT_EQ(t.log.pointer[0].who, c.taker);
                EXPECT_EQ(t.log.pointer[0].x, c.x);
                EXPECT_EQ(t.log.pointer[0].y, c.y);
                EXPECT_EQ(t.log.pointer[0].type, XPOINTER_PRESS);
                auto* active = dynamic_cast<CRec*>(t.root.GetActiveObjectPtr());
                ASSERT_NE(active, nullptr);
                EXPECT_EQ(active->m_Name, c.taker);
            }
        }
        {
            TDispatchTree t;
            Configure(t, c);
            t.root.SetFocus(t.a);
            EXPECT_EQ(t.root.NotifyMultiTouchPointerEvent(c.x, c.y, XPOINTER_MOVE, 1), c.result);
            if (*c.taker == '\0') {
                EXPECT_TRUE(t.log.pointer.empty());
            } else {
                ASSERT_EQ(t.log.pointer.size(), 1u);
                EXPECT_EQ(t.log.pointer[0].who, c.taker);
                EXPECT_EQ(t.log.pointer[0].touchId, 1);
                EXPECT_EQ(t.log.pointer[0].type, XPOINTER_MOVE);
            }
            EXPECT_EQ(t.root.GetActiveObjectPtr(), t.a) << "multi-touch must not move the focus";
        }
    }
}

TEST(XElementDispatch, HiddenElementTakesNothingAndKeepsItsFocus) {
    TTree t;
    t.root.SetFocus(t.a);
    t.root.Hide();
    EXPECT_EQ(t.root.NotifyPointerEvent(60, 60, XPOINTER_PRESS), 0);
    EXPECT_EQ(t.root.NotifyMultiTouchPointerEvent(60, 60, XPOINTER_PRESS, 1), 0);
    EXPECT_EQ(t.root.NotifyKeyEvent(5, 1), 0);
    EXPECT_TRUE(t.log.pointer.empty());
    EXPECT_EQ(t.root.GetActiveObjectPtr(), t.a);
}

TEST(XElementTree, NewChildIsLastAndActiveAndInheritsTheGame) {
    CFakeElementHost game;
    TLog log;
    CRec screen(&game, &log, "screen");
    CRec first(&screen, &log, "first");
    CRec second(&screen, &log, "second");
    EXPECT_EQ(screen.GetGamePtr(), &game);
    EXPECT_EQ(second.GetGamePtr(), &game);
    EXPECT_EQ(game.GetActiveObjectPtr(), &screen);
    ASSERT_EQ(screen.GetChildCount(), 2);
    EXPECT_EQ(screen.GetChildPtrAt(1), &second);
    EXPECT_EQ(screen.GetActiveObjectPtr(), &second);
    EXPECT_EQ(screen.GetChildPtrAt(2), nullptr);
    EXPECT_EQ(screen.GetChildPtrAt(-1), nullptr);
    EXPECT_EQ(second.GetSavedMessage().target, &screen);
    // SetFocus tells the new active child.
    screen.SetFocus(&first);
    EXPECT_EQ(log.focused, (std::vector<std::string>{"first"}));
    screen.RemoveChild(&first);
    screen.RemoveChild(&second);
    game.RemoveChild(&screen);
}

TEST(XElementTree, RemovingChildrenKeepsOrderAndDropsTheFocus) {
    TTree t;
    t.root.SetFocus(t.b);
    t.root.RemoveChild(t.b);
    EXPECT_EQ(t.root.GetActiveObjectPtr(), nullptr);
    ASSERT_EQ(t.root.GetChildCount(), 2);
    EXPECT_EQ(t.root.GetChildPtrAt(0), t.a);
    EXPECT_EQ(t.root.GetChildPtrAt(1), t.c);
    EXPECT_FALSE(t.root.ContatinsChild(t.b));

    CRec stranger(nullptr, &t.log, "stranger");
    t.root.SetFocus(t.a);
    t.root.RemoveChild(&stranger);
    t.root.RemoveChildAt(5);
    t.root.RemoveChildAt(-1);
    EXPECT_EQ(t.root.GetChildCount(), 2);
    EXPECT_EQ(t.root.GetActiveObjectPtr(), t.a);
}

TEST(XElementTree, DrawGoesInChildOrderOverVisibleChildrenOnly) {
    TTree t;
    t.b->Hide();
    t.root.Draw();
    EXPECT_EQ(t.log.drawn, (std::vector<std::string>{"root", "A", "C"}));

    t.log.drawn.clear();
    t.root.Hide();
    t.root.Draw();
    EXPECT_EQ(t.log.drawn, (std::vector<std::string>{"root"}));

    // Show is recursive; Hide was not.
    t.root.Show();
    EXPECT_TRUE(t.b->IsVisible());
}

TEST(XElementTree, HideDropsTheParentsFocusAndDestroyUnlinks) {
    TTree t;
    t.root.SetFocus(t.a);
    t.a->Hide();
    EXPECT_EQ(t.root.GetActiveObjectPtr(), nullptr);
    t.c->Destroy();
    EXPECT_FALSE(t.c->IsVisible());
    EXPECT_EQ(t.c->GetParent(), nullptr);
    EXPECT_EQ(t.root.GetChildCount(), 2);
}

struct TFocusCase {
    const char* why;
    int children;
    int active;  // index of the active child, -1 none, 9 a stranger
    int hidden;  // index of a hidden child, -1 none
    bool forward;
    int result;
    int newActive;  // -1 none
};

const TFocusCase kFocusCases[] = {
    {"no children, no focus", 0, -1, -1, true, 1, -1},
    {"no focus: the first child becomes active", 3, -1, -1, true, 1, 0},
    {"forward to the next", 3, 0, -1, true, 1, 1},
    {"forward wraps to the first", 3, 2, -1, true, 1, 0},
    {"backward to the previous", 3, 1, -1, false, 1, 0},
    {"backward wraps to the last", 3, 0, -1, false, 1, 2},
    {"hidden child is passed over", 3, 0, 1, true, 1, 2},
    {"a single child cannot move", 1, 0, -1, true, 0, 0},
    {"a focus that is not a child", 3, 9, -1, true, 0, 9},
};

TEST(XElementFocus, NextAndPreviousFollowChildOrder) {
    for (const TFocusCase& c : kFocusCases) {
        SCOPED_TRACE(c.why);
        TLog log;
        CRec root(nullptr, &log, "root");
        CRec stranger(nullptr, &log, "stranger");
        std::vector<std::unique_ptr<CRec>> kids;
        for (int i = 0; i < c.children; ++i) kids.push_back(std::make_unique<CRec>(&root, &log, std::to_string(i)));
        if (c.hidden >= 0) kids[c.hidden]->Hide();
        CXElement* active = c.active == 9 ? &stranger : (c.active >= 0 ? kids[c.active].get() : nullptr);
        root.SetFocus(active);
        const int result = c.forward ? root.SetNextActiveObject(2) : root.SetPrevActiveObject(1);
        EXPECT_EQ(result, c.result);
        CXElement* expected = c.newActive == 9 ? &stranger : (c.newActive >= 0 ? kids[c.newActive].get() : nullptr);
        EXPECT_EQ(root.GetActiveObjectPtr(), expected);
    }
}

TEST(XElementKeys, KeysGoToTheActiveChildAndTheDialogRuleMovesFocus) {
    TTree t;
    EXPECT_EQ(t.root.NotifyKeyEvent(5, 1), 7) << "C was constructed last and is active";
    ASSERT_EQ(t.log.keys.size(), 1u);
    EXPECT_EQ(t.log.keys[0].who, "C");

    t.root.SetFocus(nullptr);
    EXPECT_EQ(t.root.NotifyKeyEvent(5, 1), 0);

    // Dialog rule: key 2 pressed moves forward and is consumed; released it goes to the child.
    t.root.SetFocus(t.a);
    t.log.keys.clear();
    EXPECT_EQ(t.root.NotifyKeyEventDialogHelper(XKEY_NEXT, 1), 1);
    EXPECT_EQ(t.root.GetActiveObjectPtr(), t.b);
    EXPECT_TRUE(t.log.keys.empty());
    EXPECT_EQ(t.root.NotifyKeyEventDialogHelper(XKEY_NEXT, 0), 7);
    EXPECT_EQ(t.log.keys.back().who, "B");

    // A visible modal child gets every key.
    t.a->SetModal(true);
    EXPECT_EQ(t.root.NotifyKeyEventDialogHelper(XKEY_PREV, 1), 7);
    EXPECT_EQ(t.log.keys.back().who, "A");
    EXPECT_EQ(t.root.FindModalChild(), t.a);
    t.a->Hide();
    EXPECT_EQ(t.root.FindModalChild(), nullptr);
}

TEST(XElementMessages, SendClimbsToTheParentAndSavedMessagesNeedACode) {
    TTree t;
    t.root.m_nMessageResult = 42;
    EXPECT_EQ(t.a->SendMessage(nullptr, 600, 1, 2, false), 42);
    EXPECT_EQ(t.a->SendMessage(t.b, 601, 3, 4, true), 0);
    EXPECT_EQ(t.log.messages, (std::vector<std::string>{"root<-A:600,1,2", "B<-A:601,3,4"}));

    // The base OnMessage passes the message on unchanged, sender included, and 0 at the top.
    CXElement plainRoot(nullptr, nullptr);
    CXElement middle(&plainRoot, nullptr);
    CRec leaf(&middle, &t.log, "leaf");
    EXPECT_EQ(middle.OnMessage(&leaf, 605, 0, 0), 0);
    EXPECT_EQ(leaf.SendMessage(nullptr, 605, 0, 0, false), 0);  // reaches middle, which climbs to 0

    t.log.messages.clear();
    t.a->SetupSavedMessage(t.b, 0, 9, 9, false);
    EXPECT_EQ(t.a->SendSavedMessage(), 0);
    EXPECT_TRUE(t.log.messages.empty());
    t.b->m_nMessageResult = 5;
    t.a->SetupSavedMessage(t.b, 1002, 7, 8, true);
    EXPECT_EQ(t.a->SendSavedMessage(), 5);
    EXPECT_EQ(t.log.messages, (std::vector<std::string>{"B<-A:1002,7,8"}));
    middle.RemoveChild(&leaf);
    plainRoot.RemoveChild(&middle);
}

TEST(XElementMisc, StandardButtonsAndSlideState) {
    TTree t;
    t.b->m_nSoftKey = 2;
    t.c->m_nSoftKey = 2;
    t.a->m_nSoftKey = 1;
    EXPECT_EQ(t.root.GetStandardButton(2), t.b) << "first in child order";
    EXPECT_EQ(t.root.GetStandardButton(1), t.a);
    EXPECT_EQ(t.root.GetStandardButton(3), nullptr);

    // State 1 lasts one step and returns to 0; state 2 counts its counter to 0 and stays.
    struct CPeek : CXElement {
        CPeek() : CXElement(nullptr, nullptr) {}
        int State() const { return m_nSlideState; }
        int Counter() const { return m_nSlideCounter; }
    } p;
    p.SetSlideState(1);
    EXPECT_EQ(p.Counter(), 1);
    p.ProcessSlideState();
    EXPECT_EQ(p.State(), 0);
    EXPECT_EQ(p.Counter(), 0);
    p.SetSlideState(2);
    p.ProcessSlideState();
    p.ProcessSlideState();
    EXPECT_EQ(p.State(), 2);
    EXPECT_EQ(p.Counter(), 0);
}

TEST(XElementCapture, DeletingTheCapturingElementReleasesTheCapture) {
    CFakeElementHost game;
    TLog log;
    auto* screen = new CRec(&game, &log, "screen", 0, 0, 320, 480);
    auto* button = new CRec(screen, &log, "button", 10, 10, 50, 20);
    auto* other = new CRec(screen, &log, "other", 100, 100, 50, 20);

    game.XSetCapture(button);
    delete other;  // not the capture holder: the capture stays
    EXPECT_EQ(game.XGetCapture(), button);

    SAFE_FREE_XELEMENT(button);
    EXPECT_EQ(button, nullptr);
    EXPECT_EQ(game.XGetCapture(), nullptr);
    EXPECT_EQ(screen->GetChildCount(), 1) << "SAFE_FREE_XELEMENT unlinks from the parent";

    // Deleting the screen while one of its buttons held the capture: no dangling capture either.
    auto* held = new CRec(screen, &log, "held");
    game.XSetCapture(held);
    delete held;
    EXPECT_EQ(game.XGetCapture(), nullptr);

    CXElement* raw = screen;
    SAFE_FREE_XELEMENT(raw);
    EXPECT_EQ(game.GetChildCount(), 0);
}

TEST(XElementFade, ScalesEveryChannelOfTheBackBuffer) {
    CFakeElementHost game;
    auto* back = new CWinDibBitmap(nullptr);
    ASSERT_EQ(back->Create(2, 1), 1);
    auto* px = reinterpret_cast<std::uint16_t*>(back->GetBits());
    px[0] = 0xFFFF;  // r 31, g 63, b 31
    px[1] = (20u << 11) | (40u << 5) | 10u;
    game.m_Screen.m_pBackBuffer = back;
    CXElement screen(&game, nullptr);
    screen.DrawFastFadeDoubleBufferToBlack(128);
    // Each field times 128, shifted right by 8.
    EXPECT_EQ(px[0], (15u << 11) | (31u << 5) | 15u);
    EXPECT_EQ(px[1], (10u << 11) | (20u << 5) | 5u);
    screen.DrawFastFadeDoubleBufferToBlack(0);
    EXPECT_EQ(px[0], 0u);
    game.RemoveChild(&screen);
}

}  // namespace

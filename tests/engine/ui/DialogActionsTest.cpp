// Template actions on a test screen read from a pak: clicks bound to actions, the fades their steps
// schedule (tick by tick, against the fade step worked out by hand), where 605, 606 and 607
// arrive, the back action that puts the screen back as it was, and widgets shown from files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DialogFixtures.h"
#include "ui/Button.h"

namespace {

using namespace dialogtest;

// A 0.5 s fade (128 in 24.8 seconds) lasts 16.5 ticks at 33 a second, that is 264 sixteenths of a
// tick, so its step is 65280 x 16 / 264 = 3956 (rounded down) and the whole range takes 17 ticks.
constexpr FIXED_FLOAT kHalfSecondStep = 65280 * 16 / 264;
static_assert(kHalfSecondStep == 3956);

const char* const kScreen =
    "root = root_test\n"
    " child = btn_open\n"
    "  position = 20 100\n"
    " end\n"
    " child = btn_other\n"
    "  position = 20 200\n"
    " end\n"
    " list = actions\n"
    "  onCommand = btn_open, acn_open\n"
    "  onCommand = btn_close, actionBack\n"
    "  onCommand = btn_broken, acn_missing\n"
    " end\n"
    "end\n"
    "button = btn_open\n set = btn\nend\n"
    "button = btn_other\n set = btn\nend\n"
    "button = btn_close\n set = btn\nend\n"
    "button = btn_plain\n set = btn\nend\n"
    "dialog = dlg_panel\n"
    " modal = children\n"
    " child = btn_close\n"
    "  position = 10 10\n"
    " end\n"
    "end\n"
    "action = acn_open\n"
    " destroy = btn_open, 1, 0.5\n"
    " create = dlg_panel, 100, 50, left, 1, 0, 0.5, 1, 0.5\n"
    "end\n"
    "action = acn_twice\n"
    " create = btn_plain, 0, 300\n"
    "end\n"
    "action = acn_drop_plain\n"
    " destroy = btn_plain\n"
    "end\n";

// The host with the test screen open.
class CTestScreen {
public:
    CTestScreen() {
        host.MountTemplates({{"ui_main.txt", kScreen}});
        root = new CProbeRoot(&host);
        EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_test"), 1);
    }
    ~CTestScreen() { SAFE_FREE_XELEMENT(root); }

    CScreenHost host;
    CProbeRoot* root;
};

TEST(DialogActionsTest, ABoundClickRunsItsActionAndActionBackPutsTheScreenBack) {
    CTestScreen screen;
    CProbeRoot* root = screen.root;
    CScreenHost& host = screen.host;
    EXPECT_EQ(host.Take(), (std::vector<TMessage>{{XMSG_DIALOG_INIT, "root_test", 0}}))
        << "607 with the root's id goes to its parent, the game";
    root->Take();

    XButton* open = Find<XButton>(root, "btn_open");
    ASSERT_NE(open, nullptr);
    const TCoordRect2D openRect = open->GetPosition();
    const WidgetContext openPlacement = open->GetContext();
    EXPECT_EQ(openRect.x, 20);
    EXPECT_EQ(openRect.y, 100);

    host.Tap(40, 110);
    // The root sees the press, the click, the new panel's 607 and then 605 from itself.
    ASSERT_EQ(root->sent.size(), 4u);
    EXPECT_EQ(root->sent[1].message, (TMessage{XMSG_CLICK, "btn_open", 0}));
    XWidget* panel = Find(root, "dlg_panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(root->sent[2].sender, panel) << "607 goes from the new dialog to its parent";
    EXPECT_EQ(root->sent[2].message, (TMessage{XMSG_DIALOG_INIT, "dlg_panel", 0}));
    EXPECT_EQ(root->sent[3].sender, root) << "605 is sent by the dialog to itself";
    EXPECT_EQ(root->sent[3].message, (TMessage{XMSG_ACTION_DONE, "acn_open", 0}));
    root->Take();
    EXPECT_EQ(host.Take(), (std::vector<TMessage>{{XMSG_PRESSED, "btn_open", 0},
                                                  {XMSG_DIALOG_INIT, "dlg_panel", 0},
                                                  {XMSG_ACTION_DONE, "acn_open", 0}}))
        << "the bound click stops at the root; the rest climbs on";
    EXPECT_EQ(root->GetBackActionCount(), 1) << "the panel holds a button bound to actionBack";
    EXPECT_EQ(root->GetChildPtrAt(root->GetChildCount() - 1), panel) << "created on top";
    EXPECT_EQ(panel->GetPosition().x, 100);
    EXPECT_EQ(panel->GetPosition().y, 50);
    EXPECT_EQ(Find(root, "btn_close")->GetPosition().x, 110) << "placed inside the panel";

    // Tick by tick: the panel fades in while the button fades out, each by the step per tick.
    EXPECT_EQ(panel->GetOwnOpacity(), 0);
    for (int tick = 1; tick <= 17; ++tick) {
        root->RunProcess();
        EXPECT_EQ(panel->GetOwnOpacity(), std::min(65280, tick * kHalfSecondStep)) << tick;
        ASSERT_EQ(Find(root, "btn_open"), open) << tick;
        EXPECT_EQ(open->GetOwnOpacity(), std::max(0, 65280 - tick * kHalfSecondStep)) << tick;
        EXPECT_TRUE(root->Take().empty()) << tick;
    }
    root->RunProcess();
    EXPECT_EQ(Find(root, "btn_open"), nullptr) << "removed on the 18th tick";
    ASSERT_EQ(root->sent.size(), 1u);
    EXPECT_EQ(root->sent[0].sender, root);
    EXPECT_EQ(root->sent[0].message, (TMessage{XMSG_CHILD_REMOVED, "btn_open", 0}));
    root->Take();
    host.Take();

    // The panel's close button is bound in the root's record to the back action.
    host.Tap(130, 70);
    EXPECT_EQ(root->GetBackActionCount(), 0) << "the back action ran and is gone";
    EXPECT_EQ(host.Take(),
              (std::vector<TMessage>{{XMSG_PRESSED, "btn_close", 0}, {XMSG_ACTION_DONE, "actionBack", 0}}));
    XButton* reopened = Find<XButton>(root, "btn_open");
    ASSERT_NE(reopened, nullptr) << "the destroyed button is back";
    const TCoordRect2D rect = reopened->GetPosition();
    EXPECT_EQ(rect.x, openRect.x);
    EXPECT_EQ(rect.y, openRect.y);
    EXPECT_EQ(rect.width, openRect.width);
    EXPECT_EQ(rect.height, openRect.height);
    const WidgetContext& placement = reopened->GetContext();
    EXPECT_EQ(placement.x, openPlacement.x);
    EXPECT_EQ(placement.y, openPlacement.y);
    EXPECT_EQ(placement.inEffect, openPlacement.inEffect);
    EXPECT_EQ(reopened->GetOwnOpacity(), 65280) << "its placement has no fade-in: it shows at once";
    EXPECT_TRUE(panel->IsFadingOut()) << "the panel closes with its own out-effect";
    for (int tick = 1; tick <= 17; ++tick) {
        root->RunProcess();
        EXPECT_EQ(panel->GetOwnOpacity(), std::max(0, 65280 - tick * kHalfSecondStep)) << tick;
    }
    root->Take();
    root->RunProcess();
    EXPECT_EQ(Find(root, "dlg_panel"), nullptr);
    EXPECT_EQ(root->Take(), (std::vector<TMessage>{{XMSG_CHILD_REMOVED, "dlg_panel", 0}}));
    EXPECT_EQ(root->GetChildCount(), 2) << "the two buttons, as at the start";
}

TEST(DialogActionsTest, UnboundAndMissingActionsAndTheBackActionOfAPlainDialog) {
    CTestScreen screen;
    CProbeRoot* root = screen.root;
    screen.host.Take();
    root->Take();

    static const char kOther[] = "btn_other";
    EXPECT_EQ(root->OnMessage(root, XMSG_CLICK, XIdParam(kOther), 7), 1);
    ASSERT_EQ(screen.host.sent.size(), 1u);
    EXPECT_EQ(screen.host.sent[0].sender, root);
    EXPECT_EQ(screen.host.sent[0].wparam, XIdParam(kOther)) << "the very same id pointer";
    EXPECT_EQ(screen.host.sent[0].message, (TMessage{XMSG_CLICK, "btn_other", 7})) << "unbound: on to the parent";
    screen.host.Take();
    root->Take();

    EXPECT_EQ(root->OnMessage(root, XMSG_CLICK, XIdParam("btn_broken"), 0), 1) << "bound to a missing action";
    EXPECT_EQ(root->Take(), (std::vector<TMessage>{{XMSG_CLICK, "btn_broken", 0}})) << "the click itself, no 605";
    EXPECT_TRUE(screen.host.sent.empty());

    // A dialog that is no root keeps no back actions, yet reports the back action done.
    CRecorder parent(&screen.host, nullptr);
    TDialog record;
    record.kind = kWidgetDialog;
    record.name = "dlg_plain";
    auto* binding = new ChildAction();
    binding->widgetId = "btn_x";
    binding->action = gc_strBackActionId;
    binding->event = kBindingEventClick;
    ASSERT_EQ(record.group.actions.AddOwned(binding), 1);
    XDialog plain(&parent, root->GetTemplate(), &record, nullptr);
    ASSERT_EQ(plain.OnInitWidget(), 1);
    parent.Take();
    EXPECT_EQ(plain.OnMessage(&plain, XMSG_CLICK, XIdParam("btn_x"), 0), 1);
    EXPECT_EQ(parent.Take(), (std::vector<TMessage>{{XMSG_ACTION_DONE, "actionBack", 0}}));
    parent.RemoveChild(&plain);
}

TEST(DialogActionsTest, AnActionRunTwiceMakesTwoWidgetsAndADestroyTakesTheFirst) {
    CTestScreen screen;
    CProbeRoot* root = screen.root;
    EXPECT_EQ(root->DoAction(CommonString("acn_twice")), 1);
    EXPECT_EQ(root->DoAction(CommonString("acn_twice")), 1);
    std::vector<XWidget*> plain;
    for (int i = 0; i < root->GetChildCount(); ++i) {
        auto* w = static_cast<XWidget*>(root->GetChildPtrAt(i));
        if (w->GetRecord()->name == "btn_plain") plain.push_back(w);
    }
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(root->GetBackActionCount(), 0) << "nothing with a back button was opened";
    EXPECT_EQ(root->DoAction(CommonString("acn_drop_plain")), 1);
    EXPECT_TRUE(plain[0]->IsDestroyPending()) << "the first in child order";
    EXPECT_FALSE(plain[1]->IsDestroyPending());
    root->RunProcess();
    EXPECT_EQ(Find(root, "btn_plain"), plain[1]) << "removed at the next update, without a fade";
    EXPECT_EQ(root->DoAction(CommonString("no_such_action")), 0);
}

TEST(DialogActionsTest, WidgetsShownFromFiles) {
    CScreenHost host;
    host.MountTemplates({{"ui_main.txt", kScreen},
                         {"extra.txt",
                          "button = btn_plain\n set = btn\n size = 30 30\nend\n"
                          "button = \"btn_quoted\"\n set = btn\nend\n"
                          "action = \"acn_file\"\n create = btn_quoted, 5, 6\nend\n"}});
    auto* root = new CProbeRoot(&host);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_test"), 1);
    root->Take();

    // A plain dialog reads one record from the file (its name written in quotes there) and owns
    // it. Out after a delay of 2.0 s (66 ticks) over 0.5 s.
    XWidget* shown =
        root->XDialog::DisplayWidget("extra.txt", "btn_quoted", 40, 60, 1, 1, 0, 0, false, 0, 0, true, 512, 128);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetPosition().x, 20) << "centred on x 40: the 40-pixel frame starts at 20";
    EXPECT_EQ(shown->GetPosition().y, 50);
    for (int tick = 1; tick <= 65; ++tick) root->RunProcess();
    EXPECT_EQ(shown->GetOwnOpacity(), 65280) << "no fade before the 66th tick";
    root->RunProcess();
    EXPECT_EQ(shown->GetOwnOpacity(), 65280 - kHalfSecondStep) << "the fade-out starts 66 ticks after the show";
    for (int tick = 67; tick <= 82; ++tick) root->RunProcess();
    EXPECT_EQ(Find(root, "btn_quoted"), shown);
    EXPECT_EQ(shown->GetOwnOpacity(), 0);
    root->Take();
    root->RunProcess();
    EXPECT_EQ(Find(root, "btn_quoted"), nullptr);
    EXPECT_EQ(root->Take(), (std::vector<TMessage>{{XMSG_CHILD_REMOVED, "btn_quoted", 0}}))
        << "the id of a widget that owned its record survives the widget";

    EXPECT_EQ(root->XDialog::DisplayWidget("extra.txt", "btn_plain", 0, 0, 0, 0, 0, 0, false, 0, 0, false, 0, 0),
              nullptr)
        << "a name written without quotes in the file is not found";
    EXPECT_EQ(root->XDialog::DisplayWidget("none.txt", "btn_quoted", 0, 0, 0, 0, 0, 0, false, 0, 0, false, 0, 0),
              nullptr);

    // The cached root takes plain names from the cached template of the file, sharing the record.
    XWidget* cached = root->DisplayWidget("extra.txt", "btn_plain", 0, 0, 0, 0, 0, 0, false, 0, 0, false, 0, 0);
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(cached->GetPosition().width, 30);

    // Actions from a file: the plain dialog's reader matches the quoted name and sends 605.
    EXPECT_EQ(root->XDialog::DoAction(CommonString("extra.txt"), CommonString("acn_file")), 1);
    EXPECT_NE(Find(root, "btn_quoted"), nullptr);
    EXPECT_EQ(root->Take(), (std::vector<TMessage>{{XMSG_ACTION_DONE, "acn_file", 0}}));
    EXPECT_EQ(root->XDialog::DoAction(CommonString(""), CommonString("acn_file")), 0);
    SAFE_FREE_XELEMENT(root);
}

}  // namespace

// Screen roots and the template cache: one read per template file until a flush, rebuilding a
// root, the background alignment, records found in other cached files, a template full of
// dangling references, and a screen deleted by a message it sent while its own code is still
// running (run under ASan to see that nothing of it is touched afterwards).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogFixtures.h"
#include "ui/TemplateCache.h"

namespace {

using namespace dialogtest;

std::string Screen(const char* buttonName) {
    return std::string("root = root_a\n child = ") + buttonName + "\n  position = 10 10\n end\nend\n" +
           "button = " + buttonName + "\n set = btn\nend\n";
}

TEST(RootTest, CachedRootsReadTheFileOnceUntilAFlush) {
    CScreenHost host;
    host.MountTemplates({{"ui_main.txt", Screen("btn_first")}});
    auto* first = new CProbeRoot(&host);
    ASSERT_EQ(first->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    EXPECT_NE(Find(first, "btn_first"), nullptr);
    TTemplate* shared = first->GetTemplate();
    SAFE_FREE_XELEMENT(first);
    EXPECT_EQ(host.TemplateCache().count, 1) << "the template outlives the screen";

    // The file changes in the pak; a second screen still gets the parsed first version.
    host.MountTemplates({{"ui_main.txt", Screen("btn_second")}});
    auto* second = new CProbeRoot(&host);
    ASSERT_EQ(second->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    EXPECT_EQ(second->GetTemplate(), shared);
    EXPECT_NE(Find(second, "btn_first"), nullptr) << "not read again";
    EXPECT_EQ(second->FindCachedTemplate("UI_MAIN.TXT"), nullptr) << "names compare byte for byte";
    EXPECT_EQ(second->FindCachedTemplate("ui_main.tx"), nullptr);
    EXPECT_EQ(second->FindCachedTemplate(nullptr), nullptr);
    SAFE_FREE_XELEMENT(second);

    // After a flush (a language change) the next screen reads the file again.
    host.FlushCachedTemplates();
    EXPECT_EQ(host.TemplateCache().count, 0);
    auto* third = new CProbeRoot(&host);
    ASSERT_EQ(third->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    EXPECT_NE(Find(third, "btn_second"), nullptr);
    EXPECT_EQ(host.TemplateCache().count, 1);
    SAFE_FREE_XELEMENT(third);
}

// A template file that ends inside a block was cut short: its later records are missing, so no
// screen is built from it (even one whose root lies before the cut) and nothing is cached; the
// whole file, and one ending in a comment, are read.
TEST(RootTest, ATemplateFileCutShortIsNotRead) {
    const std::string whole = Screen("btn_first") + "action = acn_a\n create = btn_first, 1, 1\nend\n";
    struct TCase {
        std::string text;
        int built;
        const char* why;
    } const cases[] = {
        {whole, 1, "the whole file"},
        {whole + "// the end\n\n", 1, "a comment after the last block"},
        {whole + "text = \"txt_stats_rounds_2_val\"\n    caption ", 0, "cut inside a widget's block"},
        {whole + "root = root_b\n child = btn_first\n  position = 1 1\n end\n", 0, "cut before a root's end"},
        {whole + "action = acn_b\n create = btn_first, 2, 2\n", 0, "cut inside an action"},
    };
    for (const TCase& c : cases) {
        CScreenHost host;
        host.MountTemplates({{"ui_main.txt", c.text}});
        auto* root = new CProbeRoot(&host);
        EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_a"), c.built) << c.why;
        EXPECT_EQ(host.TemplateCache().count, c.built) << c.why;
        SAFE_FREE_XELEMENT(root);
    }
}

// The refusal names the file and the open block, with the name's unprintable bytes masked: a
// garbled file's "name" is whatever bytes it holds.
TEST(RootTest, ATemplateCutShortIsToldByFileAndBlock) {
    struct TCase {
        std::string text;
        const char* told;
    } const cases[] = {
        {Screen("btn_first") + "text = txt_val\n caption ", "the block of the widget txt_val (no \"end\")"},
        {Screen("btn_first") + "action = acn_b\n create = btn_first, 2, 2\n", "the block of the action acn_b"},
        {"\x89PNG\r\n\x1a\n this is no picture", "the block of the widget ?PNG (no \"end\")"},
    };
    for (const TCase& c : cases) {
        CScreenHost host;
        host.MountTemplates({{"ui_main.txt", c.text}});
        auto* root = new CProbeRoot(&host);
        testing::internal::CaptureStderr();
        EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_a"), 0);
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find("ui_main.txt is damaged: the file ends inside "), std::string::npos) << told;
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_NE(told.find(": it is cut short\n"), std::string::npos) << told;
        SAFE_FREE_XELEMENT(root);
    }
}

TEST(RootTest, InitRootFailuresAndRebuilds) {
    CScreenHost host;
    host.MountTemplates(
        {{"ui_main.txt",
          "root = root_a\n child = btn_open\n end\n list = actions\n  onCommand = btn_close, actionBack\n"
          "  onCommand = btn_open, acn_open\n end\nend\n"
          "button = btn_open\n set = btn\nend\nbutton = btn_close\n set = btn\nend\n"
          "action = acn_open\n create = btn_close, 50, 50\nend\n"}});
    auto* root = new CProbeRoot(&host);
    EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_missing"), 0);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(root->InitRoot(CommonString("no_such_file.txt"), "root_a"), 0);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), nullptr), 1) << "null: the first root record";
    EXPECT_EQ(root->GetRecord()->name, "root_a");
    EXPECT_EQ(root->GetPosition().width, 320) << "a root without a size covers the screen";
    EXPECT_EQ(root->GetPosition().height, 480);
    EXPECT_TRUE(root->IsModal());

    host.Tap(20, 10);
    EXPECT_EQ(root->GetBackActionCount(), 1);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    EXPECT_EQ(root->GetBackActionCount(), 0) << "the back actions of the first build are dropped";
    EXPECT_EQ(root->GetChildCount(), 1) << "the first tree is gone; one button again";
    EXPECT_EQ(Find(root, "btn_close"), nullptr);
    TTemplate* cached = root->GetTemplate();
    SAFE_FREE_XELEMENT(root);

    // A plain root reads and owns its own template (ASan sees it freed with the root).
    auto* plain = new XRoot(&host);
    ASSERT_EQ(plain->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    EXPECT_EQ(host.TemplateCache().count, 1) << "a plain root leaves the cache alone";
    EXPECT_NE(plain->GetTemplate(), cached);
    EXPECT_EQ(XRoot::FindRoot(&host), plain);
    SAFE_FREE_XELEMENT(plain);
    EXPECT_EQ(XRoot::FindRoot(&host), nullptr);
}

TEST(RootTest, TheBackgroundIsAlignedByTheRootRecord) {
    CScreenHost host;
    host.MountTemplates(
        {{"ui_main.txt",
          "root = root_c\n size = 200 100\n background = bg\n alignBg = center\n alignBgV = bottom\nend\n"
          "root = root_r\n size = 200 100\n background = bg\n alignBg = right\nend\n"
          "image = bg\n set = btn\nend\n"}});
    auto* root = new CProbeRoot(&host);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_c"), 1);
    EXPECT_EQ(root->GetBackgroundWidget()->GetPosition().x, (200 - 40) / 2);
    EXPECT_EQ(root->GetBackgroundWidget()->GetPosition().y, 100 - 20);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_r"), 1);
    EXPECT_EQ(root->GetBackgroundWidget()->GetPosition().x, 200 - 40);
    EXPECT_EQ(root->GetBackgroundWidget()->GetPosition().y, 0);
    SAFE_FREE_XELEMENT(root);
}

TEST(RootTest, CreateStepsFindRecordsInOtherCachedTemplates) {
    CScreenHost host;
    host.MountTemplates({{"ui_main.txt", "root = root_a\nend\naction = acn_far\n create = btn_far, 5, 5\nend\n"},
                         {"other.txt", "button = btn_far\n set = btn\nend\nimage = img_bad\n file = nothing\nend\n"}});
    auto* root = new CProbeRoot(&host);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    EXPECT_EQ(root->DoAction(CommonString("acn_far")), 1);
    EXPECT_EQ(Find(root, "btn_far"), nullptr) << "other.txt is not cached yet";

    // The cached root's file action caches other.txt on the way.
    EXPECT_EQ(root->DoAction(CommonString("other.txt"), CommonString("acn_none")), 0);
    EXPECT_EQ(host.TemplateCache().count, 2);
    EXPECT_EQ(root->DoAction(CommonString("acn_far")), 1);
    EXPECT_NE(Find(root, "btn_far"), nullptr) << "described only in other.txt";

    // A record that fails its initialisation stays in the cached template for the next try.
    EXPECT_EQ(root->DisplayWidget("other.txt", "img_bad", 0, 0, 0, 0, 0, 0, false, 0, 0, false, 0, 0), nullptr);
    EXPECT_EQ(root->DisplayWidget("other.txt", "img_bad", 0, 0, 0, 0, 0, 0, false, 0, 0, false, 0, 0), nullptr);
    EXPECT_NE(root->FindCachedTemplate("other.txt")->GetWidget("img_bad"), nullptr);
    EXPECT_EQ(root->DisplayWidget("nothing.txt", "img_bad", 0, 0, 0, 0, 0, 0, false, 0, 0, false, 0, 0), nullptr);
    SAFE_FREE_XELEMENT(root);
}

// A template whose records name records, sprite sets, files and actions that do not exist.
const char* const kHostile =
    "root = root_hostile\n"
    " background = img_nowhere\n"
    " child = btn_ghost\n end\n"
    " child = img_noset\n end\n"
    " child = dlg_inner\n end\n"
    " list = actions\n  onCommand = btn_real, acn_missing\n  onCommand = , \n  onCommand = lonely\n end\n"
    "end\n"
    "image = img_noset\n set = no_such_set\nend\n"
    "dialog = dlg_inner\n modal = children\n child = btn_real\n  position = 0 100\n end\n child = missing_again\n "
    "end\nend\n"
    "button = btn_real\n set = btn\nend\n"
    "root = root_child_is_root\n child = root_hostile\n end\nend\n"
    "root = root_missing_file\n child = img_nofile\n end\nend\n"
    "image = img_nofile\n file = Images\\nothing.png\nend\n"
    "action = acn_broken\n create = no_such_record, 0, 0\n destroy = no_such_widget\n create\nend\n";

TEST(RootTest, AHostileTemplateBuildsWhatItCanAndFailsWhereItMust) {
    CScreenHost host;
    host.MountTemplates({{"ui_main.txt", kHostile}});
    auto* root = new CProbeRoot(&host);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_hostile"), 1);
    EXPECT_EQ(root->GetBackgroundWidget(), nullptr);
    EXPECT_EQ(root->GetChildCount(), 2) << "img_noset (empty) and dlg_inner";
    ASSERT_NE(Find(root, "btn_real"), nullptr);
    root->Take();
    host.Take();

    host.Tap(20, 110);
    EXPECT_EQ(root->Take(), (std::vector<TMessage>{{XMSG_PRESSED, "btn_real", 0}, {XMSG_CLICK, "btn_real", 0}}))
        << "bound to a missing action: no 605";
    EXPECT_EQ(root->DoAction(CommonString("acn_broken")), 1) << "steps on missing records do nothing";
    EXPECT_EQ(root->GetChildCount(), 2);
    EXPECT_EQ(root->GetBackActionCount(), 0);

    EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_child_is_root"), 0);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_missing_file"), 0);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_hostile"), 1) << "the shared template is intact";
    SAFE_FREE_XELEMENT(root);
}

// The game switching screens at once when it sees a message: the screen root, which is still
// running the code that sent it, is deleted under it.
TEST(RootTest, AScreenDeletedByItsOwnMessageTouchesNothingAfterwards) {
    CScreenHost host;
    host.MountTemplates(
        {{"ui_main.txt",
          "root = root_a\n child = btn_go\n  position = 0 0\n end\n child = btn_stay\n  position = 0 40\n"
          " end\n list = actions\n  onCommand = btn_go, acn_go\n end\nend\n"
          "button = btn_go\n set = btn\nend\nbutton = btn_stay\n set = btn\nend\n"
          "action = acn_go\n destroy = btn_stay\nend\n"}});
    CProbeRoot* root = nullptr;
    int deleteOn = 0;
    host.onMessage = [&](int code) {
        if (code == deleteOn && root != nullptr) SAFE_FREE_XELEMENT(root);
    };

    // 605 after the click's action: the click, the dialog and the pressed button all go.
    root = new CProbeRoot(&host);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    deleteOn = XMSG_ACTION_DONE;
    host.Tap(20, 10);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(host.GetChildCount(), 0);
    EXPECT_EQ(host.XGetCapture(), nullptr);

    // 606 from the update that removed a faded-out child: the update stops there.
    root = new CProbeRoot(&host);
    ASSERT_EQ(root->InitRoot(CommonString("ui_main.txt"), "root_a"), 1);
    deleteOn = XMSG_CHILD_REMOVED;
    Find(root, "btn_stay")->SheduleDestroyWithEffect(0, 0);
    Find(root, "btn_go")->SheduleDestroyWithEffect(0, 0);
    root->RunProcess();
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(host.GetChildCount(), 0);
}

}  // namespace

// The template model: record creation, lookups, removal, the memory estimate and deep copies.
#include "ui/Template.h"

#include <gtest/gtest.h>

#include <memory>

#include "TemplateFixtures.h"

namespace {

using templatetest::S;

TEST(TemplateTest, KindsOutsideTheTableMakeNothing) {
    EXPECT_EQ(TTemplate::CreateWidget(11), nullptr);
    EXPECT_EQ(TTemplate::CreateWidget(-1), nullptr);
    TTemplate t;
    EXPECT_EQ(t.AddWidget(11), 0);
    EXPECT_EQ(t.AddWidget(-1), 0);
    EXPECT_EQ(t.widgets.count, 0);
    EXPECT_EQ(WidgetTypeName(11), nullptr);
    EXPECT_STREQ(WidgetTypeName(5), "ProgressBar");
    EXPECT_STREQ(WidgetTypeNameForFile(8), "text_multi");
    // CreateWidget leaves the kind to the caller.
    std::unique_ptr<TWidget> button(TTemplate::CreateWidget(kWidgetButton));
    EXPECT_EQ(button->kind, 0);
}

TEST(TemplateTest, LookupsFindTheFirstExactMatch) {
    TTemplate t;
    for (int kind : {kWidgetDialog, kWidgetDialog, kWidgetRoot}) {
        ASSERT_EQ(t.AddWidget(kind), 1);
        t.LastWidget()->kind = static_cast<signed char>(kind);
    }
    t.widgets.data[0]->name = "dlg_Main";
    t.widgets.data[1]->name = "dlg_Main";
    t.widgets.data[2]->name = "root";
    EXPECT_EQ(t.GetWidget("dlg_Main"), t.widgets.data[0]);
    EXPECT_EQ(t.GetWidget("dlg_main"), nullptr);
    EXPECT_EQ(t.GetWidget(nullptr), nullptr);
    EXPECT_EQ(t.GetFirstRootWidget(), t.widgets.data[2]);
    t.RemoveWidget(2);
    t.RemoveWidget(7);
    t.RemoveWidget(-1);
    EXPECT_EQ(t.widgets.count, 2);
    EXPECT_EQ(t.GetFirstRootWidget(), nullptr) << "only dialogs left";

    ASSERT_EQ(t.AddAction(), 1);
    ASSERT_EQ(t.AddAction(), 1);
    t.actions.data[0]->name = "acn";
    t.actions.data[1]->name = "acn";
    EXPECT_EQ(t.GetAction(CommonString("acn")), t.actions.data[0]);
    EXPECT_EQ(t.GetAction(CommonString("")), nullptr);
    t.actions.data[1]->name = CommonString();
    EXPECT_EQ(t.GetAction(CommonString()), nullptr) << "an empty name matches nothing, not even an empty one";
    t.RemoveAction(0);
    t.RemoveAction(3);
    EXPECT_EQ(t.actions.count, 1);
}

TEST(TemplateTest, TotalBytesCountsRecordsAndActions) {
    TTemplate t;
    EXPECT_EQ(t.GetTotalBytes(), 40);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(t.AddWidget(kWidgetImage), 1);
    for (int i = 0; i < 2; ++i) ASSERT_EQ(t.AddAction(), 1);
    EXPECT_EQ(t.GetTotalBytes(), 200);
}

TEST(TemplateTest, CopiesAreDeep) {
    auto t = templatetest::Parse(
        "dialog = d\n background = bg\n child = a\n position = 1 2\n end\n actions\n onCommand = a, go\n end\nend\n"
        "action = go\n create = a 1 2\nend\n");
    TWidget* source = TTemplate::CopyWidget(t->GetWidget("d"));
    ASSERT_NE(source, nullptr);
    std::unique_ptr<TWidget> copy(TTemplate::CopyWidget(source));
    delete source;  // the copy keeps its own placements and bindings
    auto* dialog = dynamic_cast<TDialog*>(copy.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->kind, kWidgetDialog);
    EXPECT_EQ(S(dialog->background), "bg");
    ASSERT_EQ(dialog->group.children.count, 1);
    EXPECT_EQ(S(dialog->group.children.data[0]->name), "a");
    EXPECT_EQ(dialog->group.children.data[0]->y, 2);
    ASSERT_EQ(dialog->group.actions.count, 1);
    EXPECT_EQ(S(dialog->group.actions.data[0]->action), "go");

    // Assigning a group appends copies and keeps what was there.
    Group group(dialog->group);
    group = dialog->group;
    EXPECT_EQ(group.children.count, 2);
    EXPECT_NE(group.children.data[0], dialog->group.children.data[0]);

    TAction action(*t->actions.data[0]);
    ASSERT_EQ(action.steps.count, 1);
    EXPECT_NE(action.steps.data[0], t->actions.data[0]->steps.data[0]);
    EXPECT_EQ(action.steps.data[0]->context.x, 1);

    std::unique_ptr<TWidget> odd(TTemplate::CreateWidget(kWidgetImage));
    odd->kind = 11;
    EXPECT_EQ(TTemplate::CopyWidget(odd.get()), nullptr);
    EXPECT_EQ(TTemplate::CopyWidget(nullptr), nullptr);
}

}  // namespace

// The template reader over template strings: block structure, child placements, action steps,
// command bindings and the single-record and single-action reads.
#include "ui/TemplateReader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "TemplateFixtures.h"
#include "core/MemFile.h"

namespace {

using templatetest::Parse;
using templatetest::Record;
using templatetest::S;

constexpr FIXED_FLOAT Sec(double s) { return static_cast<FIXED_FLOAT>(s * 256 + (s < 0 ? -0.5 : 0.5)); }

TEST(TemplateReaderTest, EveryTypeWordMakesItsRecordWithItsDefaults) {
    std::string text;
    for (int kind = 0; kind < kWidgetKindCount; ++kind)
        text += std::string(WidgetTypeNameForFile(kind)) + " = \"w" + std::to_string(kind) + "\"\nend\n";
    auto t = Parse(text);
    ASSERT_EQ(t->widgets.count, kWidgetKindCount);
    for (int kind = 0; kind < kWidgetKindCount; ++kind) {
        TWidget* r = t->widgets.data[kind];
        EXPECT_EQ(r->kind, kind);
        EXPECT_EQ(S(r->name), "w" + std::to_string(kind)) << "quotes removed";
        EXPECT_EQ(r->width, 0);
        EXPECT_EQ(r->height, 0);
        EXPECT_EQ(r->txtid.Length(), 0);
    }
    EXPECT_NE(dynamic_cast<TRoot*>(t->widgets.data[kWidgetRoot]), nullptr);
    EXPECT_NE(dynamic_cast<TImage*>(t->widgets.data[kWidgetImage]), nullptr);
    EXPECT_NE(dynamic_cast<TWText*>(t->widgets.data[kWidgetText]), nullptr);
    EXPECT_NE(dynamic_cast<TButton*>(t->widgets.data[kWidgetButton]), nullptr);
    EXPECT_EQ(dynamic_cast<TRoot*>(t->widgets.data[kWidgetDialog]), nullptr);
    EXPECT_NE(dynamic_cast<TProgress*>(t->widgets.data[kWidgetProgress]), nullptr);
    EXPECT_NE(dynamic_cast<TTiledBG*>(t->widgets.data[kWidgetTiledBG]), nullptr);
    EXPECT_NE(dynamic_cast<TTextMulti*>(t->widgets.data[kWidgetTextMulti]), nullptr);
    EXPECT_NE(dynamic_cast<TTextInfo*>(t->widgets.data[kWidgetTextInfo]), nullptr);

    auto* root = static_cast<TRoot*>(t->widgets.data[kWidgetRoot]);
    EXPECT_EQ(root->size_method, 0);
    EXPECT_EQ(root->bgCenterTilesX, 1);
    auto* dialog = dynamic_cast<TDialog*>(t->widgets.data[kWidgetDialog]);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->size_method, 1);
    EXPECT_EQ(dialog->bgCenterTilesX, 1);
    EXPECT_EQ(dialog->bgCenterTilesY, 1);
    EXPECT_EQ(dialog->modal, kModalDefault);
    EXPECT_FALSE(dialog->hasColor);
    auto* tuner = dynamic_cast<TTuner*>(t->widgets.data[kWidgetTuner]);
    ASSERT_NE(tuner, nullptr);
    EXPECT_EQ(tuner->step, 5);
    EXPECT_EQ(tuner->max, 100);
    EXPECT_FALSE(tuner->vertical);
    auto* check = dynamic_cast<TCheckBox*>(t->widgets.data[kWidgetCheckBox]);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->textAlign, 1);
    EXPECT_EQ(check->textOffset, -10000);
    EXPECT_EQ(static_cast<TTextMulti*>(t->widgets.data[kWidgetTextMulti])->mt_align, 1);
    EXPECT_EQ(static_cast<TTextMulti*>(t->widgets.data[kWidgetTextMulti])->row_add_dy, 0);
    EXPECT_EQ(static_cast<TTextInfo*>(t->widgets.data[kWidgetTextInfo])->infoType, 0);
    auto* textRecord = static_cast<TWText*>(t->widgets.data[kWidgetText]);
    EXPECT_EQ(textRecord->text.effect, 0);
    EXPECT_EQ(textRecord->text.givenFlags, 0);
}

TEST(TemplateReaderTest, UnknownTopLevelKeysOpenRoots) {
    auto t = Parse("Dialog = d1\n caption = x\nend\nlabel\nend\n");
    ASSERT_EQ(t->widgets.count, 2);
    EXPECT_EQ(t->widgets.data[0]->kind, kWidgetRoot) << "type words are case-sensitive";
    EXPECT_EQ(S(t->widgets.data[0]->name), "d1");
    EXPECT_NE(dynamic_cast<TRoot*>(t->widgets.data[0]), nullptr);
    EXPECT_EQ(t->widgets.data[1]->kind, kWidgetRoot) << "a bare word at top level";
    EXPECT_EQ(S(t->widgets.data[1]->name), "label");
}

TEST(TemplateReaderTest, ChildPlacementLines) {
    auto t = Parse(
        "dialog = d\n"
        " size = 10 10\n"
        " child = \"a\"\n"
        "  centered\n"
        "  position = 3 4\n"  // after the bare word: x 3 again, alignXInParent stays 1
        "  align = center\n"
        "  alignY = bottom\n"
        "  in = 0.5\n"
        " end\n"
        " child = b\n"
        "  position = centered, 40\n"
        "  alignX = right\n"
        "  alignXInParent = center\n"
        "  alignYInParent = bottom\n"
        "  in = 0.25 1.5\n"
        "  out = -1 .5\n"
        "  size = 99 99\n"  // not a placement key: ignored, and not the record's own
        " end\n"
        " child = c\n"
        "  position = 17\n"  // one part: nothing
        "  alignX = Right\n"
        " child = d\n"  // a second child line straight after: its own placement
        "  y = 5\n"
        "  position = 8 9\n"
        "  out = 2\n"
        " end\n"
        "end\n");
    auto* d = Record<TDialog>(*t, "d");
    ASSERT_EQ(d->group.children.count, 4);
    EXPECT_EQ(d->width, 10) << "the size before the first child reaches the record";
    const WidgetContext& a = *d->group.children.data[0];
    EXPECT_EQ(S(a.name), "a");
    EXPECT_EQ(a.x, 3);
    EXPECT_EQ(a.y, 4);
    EXPECT_EQ(a.alignXInParent, 1);
    EXPECT_EQ(a.alignX, 1);
    EXPECT_EQ(a.alignY, 2);
    EXPECT_TRUE(a.inEffect);
    EXPECT_EQ(a.inDelay, Sec(0.5));
    EXPECT_EQ(a.inDuration, 0);
    EXPECT_FALSE(a.outEffect);
    const WidgetContext& b = *d->group.children.data[1];
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.alignXInParent, 1);
    EXPECT_EQ(b.y, 40);
    EXPECT_EQ(b.alignX, 2);
    EXPECT_EQ(b.alignYInParent, 2);
    EXPECT_EQ(b.inDelay, Sec(0.25));
    EXPECT_EQ(b.inDuration, Sec(1.5));
    EXPECT_TRUE(b.outEffect);
    EXPECT_EQ(b.outDelay, Sec(-1));
    EXPECT_EQ(b.outDuration, Sec(0.5));
    const WidgetContext& c = *d->group.children.data[2];
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, 0);
    EXPECT_EQ(c.alignX, 0) << "words are case-sensitive";
    const WidgetContext& dd = *d->group.children.data[3];
    EXPECT_EQ(dd.x, 8);
    EXPECT_EQ(dd.y, 9);
    EXPECT_EQ(dd.outDelay, Sec(2));
    EXPECT_EQ(dd.outDuration, 0);
}

TEST(TemplateReaderTest, BareCenteredKeepsY) {
    auto t = Parse("dialog = d\n child = a\n position = 5 6\n centered\n end\nend\n");
    const WidgetContext& a = *Record<TDialog>(*t, "d")->group.children.data[0];
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, 6);
    EXPECT_EQ(a.alignXInParent, 1);
}

TEST(TemplateReaderTest, NestedEndsAndListsInNonDialogs) {
    auto t = Parse(
        "button = b\n"
        " caption = one\n"
        " child = x\n"  // no placement in a button; lines up to the next end are ignored
        " caption = two\n"
        " end\n"
        " caption = three\n"
        "end\n"
        "dialog = d\n"
        " actions\n"
        "  onCommand = b, go\n"
        " end\n"
        " modal = children\n"  // the binding list is closed: the record's own key again
        "end\n"
        "text = t\n caption = \"actions\"\nend\n"
        "text = u\n caption = actions\n caption = after\nend\n");
    auto* b = Record<TButton>(*t, "b");
    EXPECT_EQ(S(b->text.caption), "three");
    auto* d = Record<TDialog>(*t, "d");
    EXPECT_EQ(d->modal, kModalChildren);
    ASSERT_EQ(d->group.actions.count, 1);
    EXPECT_EQ(S(Record<TWText>(*t, "t")->text.caption), "actions") << "quoted: reaches the record";
    EXPECT_EQ(Record<TWText>(*t, "u")->text.caption.Length(), 0) << "bare: switches to a binding list";
    EXPECT_EQ(t->widgets.count, 4);
}

TEST(TemplateReaderTest, MissingEndsKeepLinesInTheOpenBlock) {
    // The first block has no end: the next opening line reaches it as an unknown property, and the
    // lines after it apply to the open record.
    auto t = Parse("text = a\n caption = A\nimage = b\n caption = B\nend\nimage = c\n file = c.png\n");
    ASSERT_EQ(t->widgets.count, 2);
    EXPECT_EQ(S(Record<TWText>(*t, "a")->text.caption), "B");
    EXPECT_EQ(S(Record<TImage>(*t, "c")->image.file), "c.png") << "a file ending inside a block keeps it";
    EXPECT_EQ(t->GetWidget("b"), nullptr);
}

TEST(TemplateReaderTest, IndentedEndClosesAndExtraEndsAreHarmless) {
    auto t = Parse("end\nend\n   text = a\n      caption = A\n   end\nend\ntext = b\nend\n");
    ASSERT_EQ(t->widgets.count, 2);
    EXPECT_EQ(S(Record<TWText>(*t, "a")->text.caption), "A");
}

TEST(TemplateReaderTest, CommandBindings) {
    auto t = Parse(
        "root = r\n"
        " actions\n"
        "  onCommand = \"btn_play\", \"acn_play\"\n"
        "  onCommand = btn_back actionBack\n"
        "  onCommand = btn_play, acn_other\n"
        "  onCommand = btn_lonely\n"
        "  onClick = btn_x, acn_x\n"
        " end\n"
        "end\n");
    auto* r = Record<TRoot>(*t, "r");
    ASSERT_EQ(r->group.actions.count, 3);
    const ChildAction* play = r->group.GetChildAction(CommonString("btn_play"), 600);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(S(play->action), "acn_play") << "the first binding of an id wins";
    EXPECT_EQ(play->event, 600);
    EXPECT_EQ(S(r->group.GetChildAction(CommonString("btn_back"), 600)->action), gc_strBackActionId);
    EXPECT_EQ(r->group.GetChildAction(CommonString("btn_play"), 601), nullptr);
    EXPECT_EQ(r->group.GetChildAction(CommonString("btn_lonely"), 600), nullptr);
}

TEST(TemplateReaderTest, LongListsGrowByDoublingAndReadEveryLineInOrder) {
    // 20,000 lines of each list kind; a list that grew one element at a time would copy itself
    // once per line (130,000 lines took 21 s).
    constexpr int kLines = 20000;
    std::string text = "dialog = d\n size = 10 10\n";
    for (int i = 0; i < kLines; ++i) text += " child = c" + std::to_string(i) + "\n";
    text += " actions\n";
    for (int i = 0; i < kLines; ++i) text += "  onCommand = b" + std::to_string(i) + ", a" + std::to_string(i) + "\n";
    text += " end\nend\naction = many\n";
    for (int i = 0; i < kLines; ++i) text += " destroy = w" + std::to_string(i) + "\n";
    text += "end\n";
    for (int i = 0; i < kLines; ++i) text += "image = i" + std::to_string(i) + "\nend\n";
    auto t = Parse(text);

    // From a list's own step s the room doubles: s, 2s, 4s, ... the first at least the count.
    const auto doubled = [](int step, int count) {
        int room = step;
        while (room < count) room *= 2;
        return room;
    };
    auto* d = Record<TDialog>(*t, "d");
    ASSERT_EQ(d->group.children.count, kLines);
    EXPECT_EQ(d->group.children.capacity, doubled(1, kLines));
    EXPECT_EQ(S(d->group.children.data[0]->name), "c0");
    EXPECT_EQ(S(d->group.children.data[kLines - 1]->name), "c19999");
    ASSERT_EQ(d->group.actions.count, kLines);
    EXPECT_EQ(d->group.actions.capacity, doubled(1, kLines));
    EXPECT_EQ(S(d->group.GetChildAction(CommonString("b12345"), 600)->action), "a12345");
    ASSERT_EQ(t->actions.count, 1);
    const TAction& a = *t->actions.data[0];
    ASSERT_EQ(a.steps.count, kLines);
    EXPECT_EQ(a.steps.capacity, doubled(1, kLines));
    EXPECT_EQ(S(a.steps.data[kLines - 1]->name), "w19999");
    ASSERT_EQ(t->widgets.count, kLines + 1);
    EXPECT_EQ(t->widgets.capacity, doubled(5, kLines + 1));
    EXPECT_EQ(S(t->widgets.data[kLines]->name), "i19999");
}

TEST(TemplateReaderTest, DestroySteps) {
    auto t = Parse(
        "action = acn\n"
        " destroy = dlg_a, 0\n"
        " destroy = dlg_b 1\n"
        " destroy = dlg_c 1 0.5 extra\n"
        " destroy = dlg_d -1 2\n"
        " destroy =\n"
        " nothing = x\n"
        "end\n");
    ASSERT_EQ(t->actions.count, 1);
    const TAction& a = *t->actions.data[0];
    EXPECT_EQ(S(a.name), "acn");
    ASSERT_EQ(a.steps.count, 5) << "every step line adds a step, other keys none";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.steps.data[i]->type, kStepDestroy);
    EXPECT_EQ(S(a.steps.data[0]->name), "dlg_a");
    EXPECT_FALSE(a.steps.data[0]->context.outEffect);
    EXPECT_TRUE(a.steps.data[1]->context.outEffect);
    EXPECT_EQ(a.steps.data[1]->context.outDuration, 0);
    EXPECT_EQ(a.steps.data[2]->context.outDuration, Sec(0.5));
    EXPECT_FALSE(a.steps.data[3]->context.outEffect) << "-1 turns the effect off";
    EXPECT_EQ(a.steps.data[4]->name.Length(), 0);
}

TEST(TemplateReaderTest, CreateSteps) {
    auto t = Parse(
        "action = acn\n"
        " create = only\n"
        " create = w, 12\n"
        " create = w 12 34\n"
        " create = w centered 40 center 1 0.5 1.25 1 0.75 ignored\n"
        " create = \"w\" -5 6 right 0 2\n"
        " createV2 = v centered 40\n"
        " createV2 = v 1 2 right center center bottom 1 0.5 1 1 2 ignored\n"
        " createV2 = v, 1\n"
        "end\n");
    const TAction& a = *t->actions.data[0];
    ASSERT_EQ(a.steps.count, 8);
    const WidgetContext* c[8];
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(a.steps.data[i]->type, kStepCreate);
        c[i] = &a.steps.data[i]->context;
        EXPECT_EQ(c[i]->outDelay, 0) << "no step line sets the out delay";
        EXPECT_EQ(c[i]->name.Length(), 0) << "nor the placement's own name";
    }
    EXPECT_EQ(S(a.steps.data[0]->name), "only");
    EXPECT_EQ(c[1]->x, 0) << "two values: the number is not read";
    EXPECT_EQ(c[1]->y, 0);
    EXPECT_EQ(c[2]->x, 12);
    EXPECT_EQ(c[2]->y, 34);
    EXPECT_EQ(c[3]->x, 0);
    EXPECT_EQ(c[3]->alignXInParent, 1);
    EXPECT_EQ(c[3]->y, 40);
    EXPECT_EQ(c[3]->alignX, 1);
    EXPECT_TRUE(c[3]->inEffect);
    EXPECT_EQ(c[3]->inDelay, Sec(0.5));
    EXPECT_EQ(c[3]->inDuration, Sec(1.25));
    EXPECT_TRUE(c[3]->outEffect);
    EXPECT_EQ(c[3]->outDuration, Sec(0.75));
    EXPECT_EQ(c[3]->alignY, 0) << "create never sets the vertical alignments";
    EXPECT_EQ(S(a.steps.data[4]->name), "w");
    EXPECT_EQ(c[4]->x, -5);
    EXPECT_EQ(c[4]->alignX, 2);
    EXPECT_FALSE(c[4]->inEffect);
    EXPECT_EQ(c[4]->inDelay, Sec(2));
    EXPECT_EQ(c[5]->x, 0) << "createV2 reads centered as the integer 0";
    EXPECT_EQ(c[5]->alignXInParent, 0);
    EXPECT_EQ(c[5]->y, 40);
    EXPECT_EQ(c[6]->x, 1);
    EXPECT_EQ(c[6]->y, 2);
    EXPECT_EQ(c[6]->alignX, 2);
    EXPECT_EQ(c[6]->alignXInParent, 1);
    EXPECT_EQ(c[6]->alignY, 1);
    EXPECT_EQ(c[6]->alignYInParent, 2);
    EXPECT_TRUE(c[6]->inEffect);
    EXPECT_EQ(c[6]->inDelay, Sec(0.5));
    EXPECT_EQ(c[6]->inDuration, Sec(1));
    EXPECT_TRUE(c[6]->outEffect);
    EXPECT_EQ(c[6]->outDuration, Sec(2));
    EXPECT_EQ(c[7]->x, 0);
}

TEST(TemplateReaderTest, StepLinesOutsideActionsChangeNothing) {
    CTemplateReader reader;
    TTemplate t;
    reader.SetTemplate(&t);
    CommonStringRS<50> key("create");
    CommonStringRS<50> value("w 1 2");
    reader.SetActionProperty(key, value, nullptr);
    EXPECT_EQ(t.actions.count, 0);
    // In a widget block the same key is a property no record takes.
    auto parsed = Parse("image = i\n create = w 1 2\nend\n");
    EXPECT_EQ(parsed->actions.count, 0);
}

const char kFile[] =
    "dialog = dlg\n"
    " child = first\n"
    " end\n"
    " child = second\n"
    " end\n"
    "end\n"
    "dialog = dlg\n caption = later\nend\n"
    "action = \"quoted\"\n destroy = a\nend\n"
    "action = plain\n destroy = b\n create = c\nend\n"
    "action = open\n destroy = z\n";

TEST(TemplateReaderTest, ReadWidgetStopsAtTheFirstEnd) {
    CTemplateReader reader;
    TWidget* record = reader.ReadWidgetFromBytes({kFile, std::strlen(kFile)}, "dlg");
    ASSERT_NE(record, nullptr);
    auto* dialog = dynamic_cast<TDialog*>(record);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->kind, kWidgetDialog);
    ASSERT_EQ(dialog->group.children.count, 1) << "the end of the child list ends the record";
    EXPECT_EQ(S(dialog->group.children.data[0]->name), "first");
    delete record;
    EXPECT_EQ(reader.ReadWidgetFromBytes({kFile, std::strlen(kFile)}, "nope"), nullptr);
    EXPECT_EQ(reader.ReadWidgetFromBytes({kFile, std::strlen(kFile)}, nullptr), nullptr);
    const char open[] = "text = t\n caption = x\n";
    EXPECT_EQ(reader.ReadWidgetFromBytes({open, std::strlen(open)}, "t"), nullptr) << "no end before the file ends";
}

TEST(TemplateReaderTest, ReadActionMatchesTheNameAsWritten) {
    CTemplateReader reader;
    const std::span<const char> bytes{kFile, std::strlen(kFile)};
    EXPECT_EQ(reader.ReadActionFromBytes(bytes, "quoted"), nullptr) << "written in quotes: a plain name differs";
    TAction* quoted = reader.ReadActionFromBytes(bytes, "\"quoted\"");
    ASSERT_NE(quoted, nullptr);
    EXPECT_EQ(S(quoted->name), "quoted") << "stored without the quotes";
    EXPECT_EQ(quoted->steps.count, 1);
    delete quoted;
    TAction* plain = reader.ReadActionFromBytes(bytes, "plain");
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(plain->steps.count, 2);
    EXPECT_EQ(plain->steps.data[1]->type, kStepCreate);
    delete plain;
    EXPECT_EQ(reader.ReadActionFromBytes(bytes, "open"), nullptr) << "no end before the file ends";
    EXPECT_EQ(reader.ReadActionFromBytes(bytes, nullptr), nullptr);

    // The whole-file read keeps both dialogs; lookups find the first.
    auto t = Parse(kFile);
    EXPECT_EQ(t->widgets.count, 2);
    EXPECT_EQ(t->GetWidget("dlg"), t->widgets.data[0]);
    EXPECT_EQ(t->actions.count, 3);
    EXPECT_EQ(t->GetAction(CommonString("open"))->steps.count, 1);
}

TEST(TemplateReaderTest, FileEntryPointsReadFromTheStart) {
    CMemoryFile file;
    const std::size_t size = std::strlen(kFile);
    void* block = std::malloc(size);
    std::memcpy(block, kFile, size);
    ASSERT_EQ(file.Attach(block, static_cast<int>(size)), 1);
    file.Seek(20, FileSeek::Start);
    CTemplateReader reader;
    TTemplate t;
    reader.SetTemplate(&t);
    EXPECT_EQ(reader.ReadTemplate(&file), 1);
    EXPECT_EQ(t.widgets.count, 2);
    EXPECT_EQ(t.actions.count, 3);
    TWidget* record = reader.ReadWidget(&file, "dlg");
    ASSERT_NE(record, nullptr);
    delete record;
    TAction* action = reader.ReadAction(&file, "plain");
    ASSERT_NE(action, nullptr);
    delete action;
}

}  // namespace

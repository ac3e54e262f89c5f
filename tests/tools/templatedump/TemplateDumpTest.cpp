// The template dump: its text for a small template written out by hand, the references --check
// reports, and the program's command line.
#include "templatedump/TemplateDump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "testsupport/RunCommand.h"
#include "testsupport/ScratchDir.h"
#include "ui/TemplateReader.h"

namespace {

std::unique_ptr<TTemplate> Parse(const std::string& text) {
    CTemplateReader reader;
    return std::unique_ptr<TTemplate>(reader.ReadTemplateFromBytes({text.data(), text.size()}, "t.txt"));
}

const char kTemplate[] =
    "root = scr\n"
    " child = btn_go\n"
    "  position = centered, 40\n"
    "  in = 0.5 0.25\n"
    " end\n"
    " actions\n"
    "  onCommand = btn_go, acn_go\n"
    " end\n"
    "end\n"
    "button = btn_go\n"
    " set = buttons\n"
    " frame = 2\n"
    " caption = \"Go\"\n"
    " effect = shadow\n"
    " shoulder = right\n"
    "end\n"
    "tuner = tun\n"
    " tunerId = track\n"
    " max = 10\n"
    " vertical\n"
    "end\n"
    "action = acn_go\n"
    " destroy = btn_go 1 0.5\n"
    " createV2 = tun 4 5 right center center bottom 1 0 1\n"
    "end\n";

TEST(TemplateDumpTest, DumpShowsEveryRecordPlacementBindingAndStep) {
    auto t = Parse(kTemplate);
    const std::string expected =
        "3 records, 1 actions\n"
        "record root \"scr\" size 0 0\n"
        "  modal default, background \"\", bgCenterTiles 1 1, size_method 0, alignBg 0 0\n"
        "  child \"btn_go\" at 0 40, align left/top, from parent center/top, in after 0.50 s over 0.25 s\n"
        "  onCommand \"btn_go\" -> \"acn_go\"\n"
        "record button \"btn_go\" size 0 0\n"
        "  image set \"buttons\" frame 2\n"
        "  caption \"Go\" style \"\" effect shadow\n"
        "  shoulder right\n"
        "record tuner \"tun\" size 0 0\n"
        "  tunerId \"track\" frame 0, fullId \"\" frame 0, handleId \"\"\n"
        "  step 5 max 10 offsets 0 0 vertical\n"
        "action \"acn_go\"\n"
        "  destroy \"btn_go\", out over 0.50 s\n"
        "  create \"tun\" at 4 5, align right/center, from parent center/bottom, in after 0.00 s over 1.00 s\n";
    EXPECT_EQ(templatedump::DumpTemplate(*t), expected);
    EXPECT_TRUE(templatedump::CheckTemplate(*t).empty());
}

TEST(TemplateDumpTest, CheckListsReferencesThatLeadNowhere) {
    auto t = Parse(
        "dialog = d\n background = bg\n child = missing\n end\n actions\n onCommand = a, acn_none\n onCommand = b, "
        "actionBack\n end\nend\n"
        "text = d\nend\n"
        "action = acn\n create = ghost\n destroy = ghost\nend\n"
        "action = acn\nend\n");
    const std::vector<std::string> expected = {
        "record \"d\": background \"bg\" names no record",
        "record \"d\": child \"missing\" names no record",
        "record \"d\": onCommand \"a\" names no action \"acn_none\"",
        "record \"d\": an earlier record has this name",
        "action \"acn\": create \"ghost\" names no record",
        "action \"acn\": an earlier action has this name",
    };
    EXPECT_EQ(templatedump::CheckTemplate(*t), expected);
}

TEST(TemplateDumpTest, CommandLine) {
    CScratchDir dir;
    const std::string good = dir.Path("good.txt");
    const std::string bad = dir.Path("bad.txt");
    std::ofstream(good) << kTemplate;
    std::ofstream(bad) << "root = r\n child = nothing\n end\nend\n";
    const std::string exe = TEMPLATEDUMP_EXE;
    int status = -1;

    EXPECT_NE(RunCommand(exe + " --help", &status).find("Usage: templatedump"), std::string::npos);
    EXPECT_EQ(status, 0);
    const std::string dump = RunCommand(exe + " " + good, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(dump, templatedump::DumpTemplate(*Parse(kTemplate)));
    EXPECT_NE(RunCommand(exe + " --check " + good, &status).find("0 problem(s)"), std::string::npos);
    EXPECT_EQ(status, 0);
    EXPECT_NE(
        RunCommand(exe + " --check " + bad, &status).find("problem: record \"r\": child \"nothing\" names no record"),
        std::string::npos);
    EXPECT_EQ(status, 1);
    RunCommand(exe + " " + dir.Path("absent.txt") + " 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
    RunCommand(exe + " 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}

}  // namespace

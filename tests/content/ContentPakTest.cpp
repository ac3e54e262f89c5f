// The content checker over the built pak, and over copies of it with one fault planted each: the
// checker passes the pak as built and fails each copy for that fault alone.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <span>
#include <sstream>

#include "contentcheck/ContentChecker.h"
#include "pakwriter/PakWriter.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/ScratchDir.h"

namespace {

using namespace contentcheck;
using Bytes = std::vector<std::uint8_t>;

struct TMember {
    Bytes data;
    bool deflate = true;
};
using TMembers = std::map<std::string, TMember>;

std::string ReadRefs() {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(pakwriter::ReadFileBytes(COBBLE_CODE_REFS, bytes));
    return std::string(bytes.begin(), bytes.end());
}

class ContentPakTest : public ::testing::Test {
protected:
    // Every member of the built pak with its compression.
    static TMembers Built() {
        CPakContent pak;
        std::string error;
        EXPECT_TRUE(pak.Open(COBBLE_PAK, error)) << error;
        TMembers members;
        for (const std::string& name : pak.Names()) {
            TMember& m = members[name];
            EXPECT_TRUE(pak.Read(name, m.data)) << name;
            m.deflate = pak.Method(name) != 0;
        }
        return members;
    }

    std::vector<std::string> Check(const TMembers& members) {
        std::vector<pakwriter::TPakMember> list;
        for (const auto& [name, m] : members) list.push_back({name, m.data, m.deflate, false, -1});
        const std::string path = m_Dir.Path("fixture" + std::to_string(m_Serial++) + ".pak");
        EXPECT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak(list)));
        return CheckPak(path);
    }

    static std::vector<std::string> CheckPak(const std::string& path) {
        std::vector<std::string> findings;
        std::string error;
        EXPECT_TRUE(CheckPakFile(path, ReadRefs(), TCheckOptions{COBBLE_CONTENT_PHASE}, findings, error)) << error;
        return findings;
    }

    CScratchDir m_Dir;
    int m_Serial = 0;
};

std::string Join(const std::vector<std::string>& lines) {
    std::ostringstream all;
    for (const std::string& l : lines) all << l << "\n";
    return all.str();
}

// The text with its first `from` replaced; fails the test when there is none.
void Replace(TMember& member, const std::string& from, const std::string& to) {
    std::string text(member.data.begin(), member.data.end());
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    member.data.assign(text.begin(), text.end());
}

// The sheet member of a sprite set, as the built pak's description files declare it.
std::string SheetOf(const char* set) {
    CPakContent pak;
    std::string error;
    EXPECT_TRUE(pak.Open(COBBLE_PAK, error)) << error;
    Bytes bytes;
    EXPECT_TRUE(pak.Read("ui\\ui_sprites.txt", bytes));
    const std::span<const char> text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_NE(AddSpriteSetsFromBytes(pak.Sprites(), pak.Game(), text, "ui_sprites.txt"), 0);
    CSpriteSet* found = pak.Sprites()->GetSpriteSetNamed(set);
    return found != nullptr ? "i_vga\\" + std::string(found->m_File.GetDataConst()) + ".png" : std::string();
}

TEST_F(ContentPakTest, TheBuiltPakHasNoFinding) { EXPECT_EQ(Join(CheckPak(COBBLE_PAK)), ""); }

// The findings of the rows of code_refs.txt that name any of the marks and none of the exceptions,
// checked on the built pak at a later phase than it is built for: content that came in ahead of
// the rest of its phase. Only the rows' own findings: the data tables are checked for the whole
// phase.
std::vector<std::string> FindingsOfRowsAhead(std::initializer_list<const char*> marks,
                                             std::initializer_list<const char*> exceptions, char phase) {
    std::vector<std::string> errors;
    std::vector<TCodeRef> rows;
    for (const TCodeRef& row : ParseCodeRefs(ReadRefs(), "code_refs.txt", errors)) {
        bool named = false, excepted = false;
        for (const std::string& arg : row.args) {
            for (const char* mark : marks) named = named || arg.find(mark) != std::string::npos;
            for (const char* other : exceptions) excepted = excepted || arg == other;
        }
        if (named && !excepted) rows.push_back(row);
    }
    EXPECT_EQ(Join(errors), "");
    EXPECT_FALSE(rows.empty());
    CPakContent pak;
    std::string error;
    EXPECT_TRUE(pak.Open(COBBLE_PAK, error)) << error;
    CContentChecker checker(pak, rows, TCheckOptions{phase});
    checker.Run();
    std::vector<std::string> own;
    for (const std::string& finding : checker.Findings().All())
        if (finding.starts_with("code_refs.txt:")) own.push_back(finding);
    return own;
}

// The yard screen's share of the farm's content is in before the farm shop's: its rows are proven
// as the farm's phase will prove them.
TEST_F(ContentPakTest, TheYardsRowsHoldAheadOfTheFarmShop) {
    EXPECT_EQ(Join(FindingsOfRowsAhead(
                  {"root_yard", "pb_birds", "pb_plants", "pb_comfort", "pb_decor", "pb_farm_", "chicken-selection",
                   "farm-tap", "FarmDecorSelection", "red_circle_notify", "yard_star", "farm\\cloud-"},
                  {"root_buy"}, 'C')),
              "");
}

// The play screen's share of the round's content came in ahead of the rest of it: its rows are
// proven as the round's phase will prove them, before the whole pak is built for that phase.
TEST_F(ContentPakTest, ThePlayScreensRowsHoldAheadOfTheRestOfTheRound) {
    EXPECT_EQ(Join(FindingsOfRowsAhead({"root_play", "btn_play_", "txt_unlock_line", "play_menu\\"}, {}, 'B')), "");
}

TEST_F(ContentPakTest, EachPlantedFaultFailsTheCheckForItsReason) {
    struct TCase {
        const char* fault;
        std::function<void(TMembers&)> plant;
        const char* finding;
    };
    const std::string sheet = SheetOf("HudCoin");
    ASSERT_FALSE(sheet.empty());
    const TCase cases[] = {
        {"a ui set whose sheet is missing", [&](TMembers& m) { ASSERT_EQ(m.erase(sheet), 1u); },
         "set HudCoin: the set HudCoin does not load"},
        {"a text key without a text", [](TMembers& m) { Replace(m["Lang\\texts.csv"], "ID_LevelNum,Level %d\n", ""); },
         "text ID_LevelNum: Lang\\texts.csv has no text for ID_LevelNum"},
        {"a template without a required id",
         [](TMembers& m) {
             Replace(m["ui\\ui_iphone\\ui_main.txt"],
                     "    child = \"pb_loading\"\n        position = centered, 300\n        align = center\n", "");
         },
         "reach root_screen_loader: pb_loading cannot be reached from root_screen_loader"},
        {"a quest naming an object of another yard",
         [](TMembers& m) { Replace(m["Data\\miniquests.txt"], "buy2 = bird1", "buy2 = bird4"); },
         "quest q1_feed asks for bird4, which yard1 does not sell"},
        {"a deflated Ogg track", [](TMembers& m) { m["Sound_BB\\startmenu.ogg"].deflate = true; },
         "Sound_BB\\startmenu.ogg is deflated (method 8); streamed music must be stored"},
    };
    for (const TCase& c : cases) {
        TMembers members = Built();
        c.plant(members);
        const std::vector<std::string> findings = Check(members);
        EXPECT_EQ(findings.size(), 1u) << c.fault << ":\n" << Join(findings);
        EXPECT_NE(Join(findings).find(c.finding), std::string::npos) << c.fault << ":\n" << Join(findings);
    }
}

}  // namespace

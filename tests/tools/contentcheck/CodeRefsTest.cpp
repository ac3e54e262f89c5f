// Reading code_refs.txt: rows, comments, and the rows it refuses.
#include <gtest/gtest.h>

#include "contentcheck/CodeRefs.h"

namespace {

using contentcheck::ParseCodeRefs;

TEST(CodeRefsTest, RowsKeepKindArgumentsPhaseAndLine) {
    std::vector<std::string> errors;
    const auto rows = ParseCodeRefs(
        "# a comment line\n"
        "\n"
        "path   Lang\\texts.csv   A   # trailing comment\n"
        "set  Ball1  32  gameplay  B\n"
        "inside dlg_Players btn_player_1 btn_player_2 img_list_bg C\n",
        "refs", errors);
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kind, "path");
    EXPECT_EQ(rows[0].args, std::vector<std::string>{"Lang\\texts.csv"});
    EXPECT_EQ(rows[0].phase, 'A');
    EXPECT_EQ(rows[0].line, 3);
    EXPECT_EQ(rows[1].args, (std::vector<std::string>{"Ball1", "32", "gameplay"}));
    EXPECT_EQ(rows[1].phase, 'B');
    EXPECT_EQ(rows[2].args.size(), 4u);
    EXPECT_EQ(rows[2].line, 5);
}

TEST(CodeRefsTest, MalformedRowsAreRefusedWithTheirLine) {
    struct TCase {
        const char* row;
        const char* message;
    };
    const TCase cases[] = {
        {"sprite Ball1 32 gameplay A", "refs:1: unknown kind 'sprite'"},
        {"set Ball1 32 gameplay", "refs:1: the last column must be the phase"},
        {"set Ball1 32 gameplay E", "refs:1: the last column must be the phase"},
        {"set Ball1 32 A", "refs:1: 'set' takes 3 arguments, not 2"},
        {"path a b A", "refs:1: 'path' takes 1 arguments, not 2"},
        {"inside dlg A", "refs:1: 'inside' takes 2 or more arguments, not 1"},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> errors;
        EXPECT_TRUE(ParseCodeRefs(c.row, "refs", errors).empty()) << c.row;
        ASSERT_EQ(errors.size(), 1u) << c.row;
        EXPECT_EQ(errors[0].rfind(c.message, 0), 0u) << errors[0];
    }
}

}  // namespace

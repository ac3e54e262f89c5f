// The raw value check of the data files and the format signatures of texts.
#include <gtest/gtest.h>

#include "contentcheck/DataTables.h"

namespace {

using namespace contentcheck;

TEST(DataTablesTest, ValueSyntaxFindsCutCommentsAndUnquotedSeparators) {
    const auto faults = CheckValueSyntax(
        "name = \"fine: quoted\"\n"
        "url = \"http://example\"\n"
        "note = a // comment: with = signs\n"
        "time = 10:30\r\n"
        "key: value\n");
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0].line, 2);
    EXPECT_NE(faults[0].why.find("\"//\" inside double quotes"), std::string::npos);
    EXPECT_EQ(faults[1].line, 4);
    EXPECT_NE(faults[1].why.find("':'"), std::string::npos);
}

TEST(DataTablesTest, FormatSignatureListsConversionsInOrder) {
    struct TCase {
        const char* text;
        const char* signature;
    };
    const TCase cases[] = {
        {"Loading", "-"},           {"Level %d", "%d"}, {"%d%%", "%d%%"}, {"Every %s marble %s.", "%s%s"},
        {"%-5.2f and %ld", "%f%d"}, {"100%", "%"},
    };
    for (const TCase& c : cases) EXPECT_EQ(FormatSignature(c.text), c.signature) << c.text;
}

}  // namespace

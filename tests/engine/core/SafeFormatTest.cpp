#include "core/SafeFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Str(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

// Well-formed texts: the reference is the C library's own snprintf over the same values.
TEST(SafeFormatTest, WellFormedTextsMatchSnprintf) {
    char expected[256];

    std::snprintf(expected, sizeof expected, "Loading %d%%", 42);
    EXPECT_EQ(Str(SafeFormat("Loading %d%%", {42})), expected);

    std::snprintf(expected, sizeof expected, "Buy %s for %d coins?", "Golden Perch", 1250);
    EXPECT_EQ(Str(SafeFormat("Buy %s for %d coins?", {"Golden Perch", 1250})), expected);

    std::snprintf(expected, sizeof expected, "%d Boost Points added!", -7);
    EXPECT_EQ(Str(SafeFormat("%d Boost Points added!", {-7})), expected);

    std::snprintf(expected, sizeof expected, "%d%d%s", -2147483647 - 1, 2147483647, "");
    EXPECT_EQ(Str(SafeFormat("%d%d%s", {-2147483647 - 1, 2147483647, ""})), expected);

    std::snprintf(expected, sizeof expected, "no conversions, 100%% sure");
    EXPECT_EQ(Str(SafeFormat("no conversions, 100%% sure", {})), expected);

    const CommonString name("Wren");
    std::snprintf(expected, sizeof expected, "Welcome back, %s!", "Wren");
    EXPECT_EQ(Str(SafeFormat("Welcome back, %s!", {name})), expected);
}

// What a broken data text must turn into: printf would read values that were never passed
// (or write through "%n"); here every such sequence stays text.
TEST(SafeFormatTest, EverythingElseStaysLiteral) {
    struct TCase {
        const char* format;
        std::string expected;
        const char* why;
    };
    const TCase cases[] = {
        {"%s and %s", "Ada and %s", "a conversion beyond the values given"},
        {"%n%x%p%f%5d%-s%ld", "%n%x%p%f%5d%-s%ld", "other letters, widths, flags and lengths"},
        {"100%", "100%", "a lone % at the end"},
        {"%", "%", "only a %"},
        {"%%d", "%d", "an escaped % before a d"},
        {"%%%s", "%Ada", "escape, then a conversion"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Str(SafeFormat(c.format, {"Ada"})), c.expected) << c.why;
}

TEST(SafeFormatTest, ValueOfTheWrongKindStaysLiteralButKeepsLaterValuesInPlace) {
    // The translator swapped the two conversions: neither matches, nothing reads the wrong type.
    EXPECT_EQ(Str(SafeFormat("%d coins for %s", {"Ada", 5})), "%d coins for %s");
    // The first does not match, the second still gets the second value.
    EXPECT_EQ(Str(SafeFormat("%d then %d", {"Ada", 5})), "%d then 5");
    // Surplus values are ignored.
    EXPECT_EQ(Str(SafeFormat("just %d", {1, 2, "three"})), "just 1");
}

TEST(SafeFormatTest, NullFormatAndNullTextAndLongResults) {
    EXPECT_EQ(SafeFormat(nullptr, {1}).Length(), 0);
    EXPECT_EQ(Str(SafeFormat("[%s]", {static_cast<const char*>(nullptr)})), "[]");
    // No 199-character cut as in CommonString::Format.
    const std::string word(500, 'w');
    EXPECT_EQ(Str(SafeFormat("%s!", {word.c_str()})), word + "!");
}

}  // namespace

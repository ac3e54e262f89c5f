#include "core/QuorvanUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

struct THashCase {
    const char* name;
    unsigned int expected;
    const char* why;
};

// Expected values from a separate Python implementation of the PJW/ELF hash over signed
// bytes. An unsigned-char hash gives 0xFF for "\xff"; the signed one gives 0x0FFFFF0F.
TEST(QuorvanUtilsTest, HashMatchesIndependentVectors) {
    const THashCase cases[] = {
        {"", 0x0, "empty name"},
        {"a", 0x61, "one character"},
        {"abc", 0x6783, "short name"},
        {"ui_main.txt", 0x079CADC4, "folds the top nibble back in"},
        {"Effects\\MarbleTrace.pfd", 0x05122274, "path with a backslash"},
        {"abcdefghijklmnopqrstuvwxyz0123456789", 0x067D7F09, "long name"},
        {"\xff", 0x0FFFFF0F, "byte 255 counts as -1"},
        {"\xe9t\xe9", 0x0FFF2FD9, "accented bytes count as negative"},
        {"\x80\x80\x80\x80\x80\x80\x80\x80\x80", 0x0666DDE0, "many bytes of -128"},
    };
    for (const THashCase& c : cases) {
        SCOPED_TRACE(c.why);
        const unsigned int h = GetHashCode(c.name);
        EXPECT_EQ(h, c.expected);
        EXPECT_EQ(h & 0x80000000u, 0u);
    }
    EXPECT_EQ(GetHashCode(nullptr), 0u);
}

struct TPointCase {
    int x;
    int y;
    int inside;
    const char* why;
};

const TPointCase kPointCases[] = {
    {0, 0, 1, "top-left corner"},
    {10, 10, 1, "bottom-right corner is inside"},
    {5, 5, 1, "middle"},
    {11, 10, 0, "one past the right edge"},
    {10, 11, 0, "one past the bottom edge"},
    {-1, 0, 0, "left of the rectangle"},
    {0, -1, 0, "above the rectangle"},
};

TEST(QuorvanUtilsTest, PtInRectIncludesAllFourEdgesInEveryUnit) {
    const TCoordRect2D pixels{0, 0, 10, 10};
    const TRect2D fixed{0, 0, 10 * 256, 10 * 256};
    const TRect2D_16 fixed16{0, 0, 10 * 65536, 10 * 65536};
    for (const TPointCase& c : kPointCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(PtInRect(c.x, c.y, &pixels), c.inside);
        EXPECT_EQ(PtInRect(c.x, c.y, &fixed), c.inside);
        EXPECT_EQ(PtInRect(c.x, c.y, &fixed16), c.inside);
        const TVector2D point{c.x * 256 + 128, c.y * 256 + 255};
        EXPECT_EQ(PtInRect(point, &pixels), c.inside) << "fractions are dropped";
        EXPECT_EQ(PtInRect(point, &fixed), c.inside);
    }
}

TEST(QuorvanUtilsTest, PtInRectEdgeCases) {
    // A 24.8 rectangle from 0.5 to 1.5 holds only the pixel 1.
    const TRect2D half{128, 128, 256, 256};
    EXPECT_EQ(PtInRect(0, 1, &half), 0);
    EXPECT_EQ(PtInRect(1, 1, &half), 1);
    EXPECT_EQ(PtInRect(2, 1, &half), 0);
    const TRect2D_16 half16{32768, 32768, 65536, 65536};
    EXPECT_EQ(PtInRect(0, 1, &half16), 0);
    EXPECT_EQ(PtInRect(1, 1, &half16), 1);

    // The vector forms round towards minus infinity: -1/256 is pixel -1, outside.
    const TCoordRect2D pixels{0, 0, 10, 10};
    EXPECT_EQ(PtInRect(TVector2D{-1, 0}, &pixels), 0);
    EXPECT_EQ(PtInRect(TVector2D{0, 255}, &pixels), 1);

    // Far points must not wrap into the rectangle when turned into 16.16.
    const TRect2D_16 origin16{0, 0, 65536, 65536};
    EXPECT_EQ(PtInRect(65536, 0, &origin16), 0);
    EXPECT_EQ(PtInRect(INT_MIN, 0, &origin16), 0);

    EXPECT_EQ(PtInRect(0, 0, static_cast<const TCoordRect2D*>(nullptr)), 0);
    EXPECT_EQ(PtInRect(0, 0, static_cast<const TRect2D*>(nullptr)), 0);
}

struct TAtanCase {
    int x;
    int y;
    int expected;
    const char* why;
};

TEST(QuorvanUtilsTest, FastAtan2Table) {
    const TAtanCase cases[] = {
        {5, 0, 360, "positive x axis gives 360, not 0"},
        {0, 0, 270, "origin"},
        {0, 5, 90, "positive y axis"},
        {0, -5, 270, "negative y axis"},
        {-5, 0, 180, "negative x axis"},
        {3, 3, 45, "first diagonal"},
        {-3, 3, 135, "second diagonal"},
        {-3, -3, 225, "third diagonal"},
        {3, -3, 315, "fourth diagonal"},
        {40, 1, 1, "just above the x axis reads entry 1"},
        {1, 40, 89, "just right of the y axis"},
        {-40, -1, 181, "just below the negative x axis"},
        {1, -40, 271, "just right of the negative y axis"},
        {INT_MIN, INT_MIN, 225, "extreme values do not overflow"},
    };
    for (const TAtanCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(fast_atan2(c.x, c.y), c.expected);
    }
    EXPECT_EQ(fast_atan(3, 3), 45);
    EXPECT_EQ(fast_atan(20, 2), 3) << "index ((2*256/20)*5120)>>16 = 1";
    EXPECT_EQ(fast_atan(5, 0), 360);
    EXPECT_EQ(fast_atan(-3, -3), 225);
}

// Angular distance in degrees, ignoring whole turns.
double TurnDistance(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

TEST(QuorvanUtilsTest, ArctangentsStayCloseToTheTrueAngle) {
    // Table entries are whole degrees and the index is truncated, so the finer table stays
    // within 3 degrees of atan2 and the coarser one within 4.
    for (int x = -60; x <= 60; x += 3) {
        for (int y = -60; y <= 60; y += 4) {
            if (x == 0 && y == 0) {
                continue;
            }
            const double truth =
                std::atan2(static_cast<double>(y), static_cast<double>(x)) * 180.0 / 3.14159265358979323846;
            const int fine = fast_atan2(x, y);
            const int coarse = fast_atan(x, y);
            EXPECT_LE(TurnDistance(fine, truth), 3.0) << x << "," << y;
            EXPECT_LE(TurnDistance(coarse, truth), 4.0) << x << "," << y;
            EXPECT_GE(fine, 0);
            EXPECT_LE(fine, 360);
        }
    }
}

struct TTurnCase {
    int fromDegrees;
    int toDegrees;
    int expectedDegrees;
    const char* why;
};

TEST(QuorvanUtilsTest, ClosestRotationAngleTable) {
    const TTurnCase cases[] = {
        {350, 10, 20, "across zero, forwards"},
        {10, 350, -20, "across zero, backwards"},
        {90, 90, 0, "no turn"},
        {0, 180, 180, "half turn from the smaller angle is +180"},
        {180, 0, -180, "half turn from the larger angle is -180"},
        {0, 181, -179, "just past a half turn goes the other way"},
        {730, 20, 10, "whole turns are dropped"},
        {-10, 10, 20, "negative angles wrap"},
        {-370, 350, 0, "the same direction written two ways"},
    };
    for (const TTurnCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ClosestRotationAngle(c.fromDegrees * 256, c.toDegrees * 256), c.expectedDegrees * 256);
    }
    // Fractions of a degree survive.
    EXPECT_EQ(ClosestRotationAngle(0, 128), 128);
    EXPECT_EQ(ClosestRotationAngle(128, 0), -128);
}

TEST(QuorvanUtilsTest, IntToCommonStringTable) {
    const struct {
        int value;
        const char* text;
    } cases[] = {
        {0, "0"}, {7, "7"}, {-7, "-7"}, {1000, "1000"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(IntToCommonString(c.value).IsEqual(c.text)) << c.text;
    }
}

struct TFindCase {
    std::string needle;
    std::string haystack;
    int found;
    const char* why;
};

TEST(QuorvanUtilsTest, FindSubstrTable) {
    const std::string longNeedle(300, 'n');
    const TFindCase cases[] = {
        {"abc", "xxabcxx", 1, "in the middle"},
        {"abc", "abcxx", 1, "at the start"},
        {"abc", "xxabc", 1, "at the end"},
        {"abd", "xxabcxx", 0, "absent"},
        {"ABC", "xxabcxx", 0, "case matters"},
        {"abc", "abc", 1, "equal lengths, equal text"},
        {"abc", "abd", 0, "equal lengths, different text"},
        {"abcd", "abc", 0, "needle longer than the haystack"},
        {"", "abc", 0, "an empty needle never matches"},
        {"", "", 0, "empty against empty"},
        {"a", "", 0, "empty haystack"},
        {longNeedle, "xx" + longNeedle + "yy", 1, "a needle past the old work buffer"},
        {longNeedle + "z", "xx" + longNeedle + "yy" + longNeedle, 0, "long and absent"},
    };
    for (const TFindCase& c : cases) {
        SCOPED_TRACE(c.why);
        const CommonString needle(c.needle.c_str());
        const CommonString haystack(c.haystack.c_str());
        EXPECT_EQ(FindSubstr(&needle, &haystack), c.found);
    }
    const CommonString text("abc");
    EXPECT_EQ(FindSubstr(nullptr, &text), 0);
    EXPECT_EQ(FindSubstr(&text, nullptr), 0);
}

TEST(QuorvanUtilsTest, DeviceOemIsNeverMatched) {
    EXPECT_EQ(IsDeviceOEMStringEqual("RIM"), 0);
    EXPECT_EQ(IsDeviceOEMStringEqual(""), 0);
    EXPECT_EQ(IsDeviceOEMStringEqual(nullptr), 0);
}

}  // namespace

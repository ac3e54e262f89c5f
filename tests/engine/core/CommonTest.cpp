#include "core/Common.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Pattern(size_t length, int mul, int add) {
    std::string s(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        s[i] = static_cast<char>((static_cast<int>(i) * mul + add) & 0xFF);
    }
    return s;
}

std::string AllBytes() {
    std::string s(256, '\0');
    for (int i = 0; i < 256; ++i) {
        s[static_cast<size_t>(i)] = static_cast<char>(i);
    }
    return s;
}

struct TCrcCase {
    std::string data;
    unsigned short expected;
    const char* why;
};

// Expected values come from a separate bit-by-bit implementation of CRC-16/X-25 in Python
// (reflected 0x8408, start 0xFFFF, complemented, bytes exchanged). The published X-25 check
// value of "123456789" is 0x906E, so exchanged 0x6E90.
TEST(CommonTest, Crc16MatchesIndependentVectors) {
    const TCrcCase cases[] = {
        {"123456789", 0x6E90, "standard check input"},
        {"abc", 0x259E, "short text"},
        {"A", 0xF5A3, "one byte"},
        {std::string(1, '\0'), 0x78F0, "a zero byte counts"},
        {std::string("\xff\x80\x00\x7f", 4), 0x90BE, "bytes above 127 are unsigned"},
        {AllBytes(), 0x3C30, "every byte value once"},
        {Pattern(1000, 7, 3), 0x2E6A, "a thousand-byte record"},
    };
    for (const TCrcCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(calc_crc16(c.data.data(), static_cast<unsigned short>(c.data.size())), c.expected);
    }
}

TEST(CommonTest, Crc16OfNothingIsZero) {
    EXPECT_EQ(calc_crc16(nullptr, 0), 0);
    EXPECT_EQ(calc_crc16("abc", 0), 0);
}

TEST(CommonTest, Crc16CoversOnlyTheGivenLength) {
    // A file of 70000 bytes is checked over its first 70000 mod 65536 = 4464 bytes.
    const std::string data = Pattern(70000, 13, 1);
    const auto length = static_cast<unsigned short>(data.size());
    EXPECT_EQ(length, 4464);
    EXPECT_EQ(calc_crc16(data.data(), length), 0xF868);
}

TEST(CommonTest, PlatformQueries) {
    EXPECT_EQ(IsPenSupported(), 1);
    EXPECT_EQ(GetPlatformType(), 9);
}

struct TCrossCase {
    int x1, y1, x2, y2;
    int at, from, to;  // the axis-parallel segment: y (or x), then its two ends
    int result;
    int outX, outY;
    const char* why;
};

// Crossing points worked out by hand from the line equations.
TEST(CommonTest, LinesIntersectHorizontal) {
    const TCrossCase cases[] = {
        {0, 0, 2, 40, 20, 0, 10, 1, 1, 20, "steep rising segment"},
        {0, 10, 10, 0, 5, 0, 10, 1, 5, 5, "falling segment"},
        {0, 0, 10, 10, 5, 0, 10, 1, 5, 5, "diagonal"},
        {0, 0, 40, 10, 5, 0, 40, 1, 20, 5, "shallow rising segment"},
        {3, 0, 3, 10, 4, 0, 10, 1, 3, 4, "vertical segment"},
        {0, 10, 10, 0, 5, 6, 10, 0, 0, 0, "crossing left of the horizontal segment"},
        {0, 10, 10, 0, 5, 10, 0, 1, 5, 5, "segment ends given right to left"},
        {0, 0, 2, 40, 50, 0, 10, 0, 0, 0, "height beyond the first segment"},
        {0, 0, 2, 40, -1, -10, 10, 0, 0, 0, "height before the first segment"},
        {0, 5, 10, 5, 5, 0, 10, 0, 0, 0, "parallel horizontal segments"},
    };
    for (const TCrossCase& c : cases) {
        SCOPED_TRACE(c.why);
        int outX = -999;
        int outY = -999;
        EXPECT_EQ(LinesIntersectH(c.x1, c.y1, c.x2, c.y2, c.from, c.at, c.to, &outX, &outY), c.result);
        if (c.result == 1) {
            EXPECT_EQ(outX, c.outX);
            EXPECT_EQ(outY, c.outY);
        } else {
            EXPECT_EQ(outX, -999) << "outputs are untouched on failure";
            EXPECT_EQ(outY, -999);
        }
    }
}

TEST(CommonTest, LinesIntersectVertical) {
    const TCrossCase cases[] = {
        {0, 0, 2, 40, 1, 0, 40, 1, 1, 20, "steep rising segment"},
        {0, 10, 10, 0, 5, 0, 10, 1, 5, 5, "falling segment"},
        {0, 0, 10, 10, 5, 0, 10, 1, 5, 5, "diagonal"},
        {0, 0, 40, 10, 20, 0, 10, 1, 20, 5, "shallow rising segment"},
        {0, 4, 10, 4, 7, 0, 10, 1, 7, 4, "horizontal segment"},
        {0, 0, 10, 10, 5, 6, 10, 0, 0, 0, "crossing below the vertical segment"},
        {0, 0, 10, 10, 20, 0, 30, 0, 0, 0, "x beyond the first segment"},
        {3, 0, 3, 10, 3, 0, 10, 0, 0, 0, "parallel vertical segments have no one crossing"},
    };
    for (const TCrossCase& c : cases) {
        SCOPED_TRACE(c.why);
        int outX = -999;
        int outY = -999;
        EXPECT_EQ(LinesIntersectV(c.x1, c.y1, c.x2, c.y2, c.at, c.from, c.to, &outX, &outY), c.result);
        if (c.result == 1) {
            EXPECT_EQ(outX, c.outX);
            EXPECT_EQ(outY, c.outY);
        } else {
            EXPECT_EQ(outX, -999);
            EXPECT_EQ(outY, -999);
        }
    }
}

}  // namespace

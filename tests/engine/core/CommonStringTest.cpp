#include "core/CommonString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "VectorFile.h"
#include "core/File.h"

namespace {

// The four ways to reach length 0: three without a buffer, three with a 1-byte block.
enum class EmptyKind { Default, FromNull, FromEmptyText, FormatEmpty, ZeroChar, ReadZeroCount };

CommonString MakeEmpty(EmptyKind kind) {
    switch (kind) {
        case EmptyKind::Default:
            return CommonString();
        case EmptyKind::FromNull:
            return CommonString(static_cast<const char*>(nullptr));
        case EmptyKind::FromEmptyText:
            return CommonString("");
        case EmptyKind::FormatEmpty: {
            CommonString s("old text");
            s.Format("%s", "");
            return s;
        }
        case EmptyKind::ZeroChar:
            return CommonString('\0');
        case EmptyKind::ReadZeroCount: {
            CVectorFile file;
            file.data = {0, 0};
            CommonString s("old text");
            EXPECT_EQ(ReadString(&file, s), 1);
            return s;
        }
    }
    return CommonString();
}

struct TEmptyCase {
    EmptyKind kind;
    bool hasBuffer;
    const char* why;
};

const TEmptyCase kEmptyCases[] = {
    {EmptyKind::Default, false, "default constructed"},
    {EmptyKind::FromNull, false, "null pointer gives no buffer"},
    {EmptyKind::FromEmptyText, false, "\"\" gives no buffer"},
    {EmptyKind::FormatEmpty, true, "Format with an empty result allocates the terminator"},
    {EmptyKind::ZeroChar, true, "one-character constructor with the zero character"},
    {EmptyKind::ReadZeroCount, true, "ReadString of a zero count"},
};

TEST(CommonStringTest, EmptyAndNullRules) {
    for (const TEmptyCase& c : kEmptyCases) {
        SCOPED_TRACE(c.why);
        // Copy-construct through a move-free path too: both must keep the rule.
        CommonString s = MakeEmpty(c.kind);
        EXPECT_EQ(s.Length(), 0);
        EXPECT_EQ(s.GetData() != nullptr, c.hasBuffer);
        // IsEqual("") holds only for an allocated empty string.
        EXPECT_EQ(s.IsEqual(""), c.hasBuffer);
        EXPECT_FALSE(s.IsEqual(nullptr));
        EXPECT_FALSE(s.IsEqual("x"));
        // operator== folds null, "" and every empty string together.
        EXPECT_TRUE(s == "");
        EXPECT_TRUE(s == static_cast<const char*>(nullptr));
        EXPECT_TRUE("" == s);
        EXPECT_TRUE(s == CommonString());
        EXPECT_FALSE(s == "x");
        // A copy of any empty string is the plain empty string.
        const CommonString copy(s);
        EXPECT_EQ(copy.GetData(), nullptr);
    }
}

TEST(CommonStringTest, ConstructionAndAssignmentCopyTheText) {
    char source[] = "marble";
    CommonString s(source);
    ASSERT_NE(s.GetData(), nullptr);
    EXPECT_NE(s.GetData(), source) << "the text must be copied, not borrowed";
    source[0] = 'X';
    EXPECT_STREQ(s.GetData(), "marble");
    EXPECT_EQ(s.Length(), 6);

    CommonString t;
    t = s;
    EXPECT_STREQ(t.GetData(), "marble");
    EXPECT_NE(t.GetData(), s.GetData());

    t = "farm";
    EXPECT_STREQ(t.GetData(), "farm");
    t = static_cast<const char*>(nullptr);
    EXPECT_EQ(t.GetData(), nullptr);
    t = "x";
    t = "";
    EXPECT_EQ(t.GetData(), nullptr);

    const CommonString one('q');
    EXPECT_STREQ(one.GetData(), "q");
    EXPECT_EQ(one.Length(), 1);
}

TEST(CommonStringTest, SelfAssignmentKeepsTheText) {
    CommonString s("yard");
    const char* before = s.GetData();
    s = s.GetData();
    EXPECT_EQ(s.GetData(), before);
    EXPECT_STREQ(s.GetData(), "yard");
    CommonString& alias = s;
    s = alias;
    EXPECT_STREQ(s.GetData(), "yard");
    // A suffix of our own buffer is copied before the old block goes.
    s = s.GetData() + 2;
    EXPECT_STREQ(s.GetData(), "rd");
}

TEST(CommonStringTest, AttachTakesTheBlockWithoutCopying) {
    CommonString s("old");
    char* block = static_cast<char*>(std::malloc(4));
    std::memcpy(block, "new", 4);
    s.Attach(block);
    EXPECT_EQ(s.GetData(), block);
    EXPECT_EQ(s.Length(), 3);
}

struct TEqualCase {
    const char* a;
    const char* b;
    bool equal;
    const char* why;
};

TEST(CommonStringTest, EqualityComparesLengthAndBytes) {
    const TEqualCase cases[] = {
        {"abc", "abc", true, "same text"},
        {"abc", "abd", false, "last byte differs"},
        {"abc", "ab", false, "prefix is not equal"},
        {"ab", "abc", false, "longer is not equal"},
        {"Abc", "abc", false, "case is not folded"},
        {"\xe9t\xe9", "\xe9t\xe9", true, "bytes above 127"},
        {nullptr, "", true, "null and \"\" are both empty"},
        {"", "a", false, "empty against text"},
    };
    for (const TEqualCase& c : cases) {
        SCOPED_TRACE(c.why);
        const CommonString a(c.a);
        const CommonString b(c.b);
        EXPECT_EQ(a == b, c.equal);
        EXPECT_EQ(a == c.b, c.equal);
        EXPECT_EQ(c.a == b, c.equal);
        EXPECT_EQ(a != b, !c.equal);
    }
}

TEST(CommonStringTest, ConcatenationTable) {
    const TEqualCase cases[] = {
        {"Lang\\", "texts.csv", true, "both non-empty"},
        {"", "texts.csv", true, "empty left"},
        {"Lang\\", "", true, "empty right"},
        {"", "", true, "both empty"},
    };
    for (const TEqualCase& c : cases) {
        SCOPED_TRACE(c.why);
        const CommonString joined = CommonString(c.a) + CommonString(c.b);
        const std::string expected = std::string(c.a) + c.b;
        EXPECT_EQ(joined.Length(), static_cast<int>(expected.size()));
        if (expected.empty()) {
            EXPECT_EQ(joined.GetData(), nullptr);
        } else {
            EXPECT_STREQ(joined.GetData(), expected.c_str());
        }
    }
}

TEST(CommonStringTest, FormatIsBoundedToItsWorkBuffer) {
    CommonString s;
    s.Format("arena%d", 3);
    EXPECT_STREQ(s.GetData(), "arena3");

    // A result longer than the work buffer is cut to 199 characters, never written past it.
    const std::string longArg(500, 'z');
    s.Format("%s!", longArg.c_str());
    EXPECT_EQ(s.Length(), CommonString::kFormatBufferSize - 1);
    EXPECT_EQ(std::string(s.GetData()), longArg.substr(0, 199));

    // 199 characters exactly fit whole.
    const std::string fits(199, 'k');
    s.Format("%s", fits.c_str());
    EXPECT_EQ(std::string(s.GetData()), fits);

    // The arguments may be the string's own text.
    s = "ab";
    s.Format("%s-%s", s.GetData(), s.GetData());
    EXPECT_STREQ(s.GetData(), "ab-ab");
}

TEST(CommonStringTest, WriteStringStoresA16BitCountAndTheBytes) {
    CVectorFile file;
    CommonString hello("hello");
    ASSERT_EQ(WriteString(&file, hello), 1);
    const std::vector<unsigned char> expected = {5, 0, 'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(file.data, expected);

    CVectorFile emptyFile;
    CommonString empty;
    ASSERT_EQ(WriteString(&emptyFile, empty), 1);
    EXPECT_EQ(emptyFile.data, (std::vector<unsigned char>{0, 0}));

    // 70000 characters: the count is 70000 mod 65536 = 4464 (0x1170), then 4464 bytes.
    std::string big(70000, '\0');
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('a' + i % 26);
    }
    CVectorFile bigFile;
    CommonString bigString(big.c_str());
    ASSERT_EQ(WriteString(&bigFile, bigString), 1);
    ASSERT_EQ(bigFile.data.size(), 2u + 4464u);
    EXPECT_EQ(bigFile.data[0], 0x70);
    EXPECT_EQ(bigFile.data[1], 0x11);
    EXPECT_EQ(std::string(bigFile.data.begin() + 2, bigFile.data.end()), big.substr(0, 4464));
}

TEST(CommonStringTest, WriteStringReportsShortWrites) {
    CommonString s("hello");
    CVectorFile noRoomForCount;
    noRoomForCount.capacity = 1;
    EXPECT_EQ(WriteString(&noRoomForCount, s), 0);
    CVectorFile noRoomForText;
    noRoomForText.capacity = 4;
    EXPECT_EQ(WriteString(&noRoomForText, s), 0);
    EXPECT_EQ(WriteString(nullptr, s), 0);
}

struct TReadCase {
    std::vector<unsigned char> bytes;
    int result;
    const char* text;  // expected text after the read (nullptr: no buffer)
    const char* why;
};

TEST(CommonStringTest, ReadStringTable) {
    const TReadCase cases[] = {
        {{3, 0, 'c', 'o', 'w'}, 1, "cow", "whole string"},
        {{3, 0, 'c', 'o', 'w', 'x'}, 1, "cow", "reads only count bytes"},
        {{0, 0}, 1, "", "zero count gives an allocated empty string"},
        {{}, 0, "previous", "no count at all leaves the string unchanged"},
        {{3}, 0, "previous", "half a count leaves the string unchanged"},
        {{5, 0, 'a', 'b'}, 0, "previous", "truncated bytes leave the string unchanged"},
    };
    for (const TReadCase& c : cases) {
        SCOPED_TRACE(c.why);
        CVectorFile file;
        file.data = c.bytes;
        CommonString s("previous");
        EXPECT_EQ(ReadString(&file, s), c.result);
        ASSERT_NE(s.GetData(), nullptr);
        EXPECT_STREQ(s.GetData(), c.text);
    }
}

TEST(CommonStringTest, WriteThenReadRoundTripsBytesAbove127) {
    CVectorFile file;
    CommonString out("caf\xc3\xa9 \xff");
    ASSERT_EQ(WriteString(&file, out), 1);
    file.position = 0;
    CommonString in;
    ASSERT_EQ(ReadString(&file, in), 1);
    EXPECT_TRUE(in == out);
}

// ---- CommonStringRS<N> -------------------------------------------------------------------

template <typename Capacity>
class CommonStringRSTest : public ::testing::Test {};

using Capacities = ::testing::Types<std::integral_constant<int, 11>, std::integral_constant<int, 24>,
                                    std::integral_constant<int, 50>, std::integral_constant<int, 247>>;
TYPED_TEST_SUITE(CommonStringRSTest, Capacities);

// True when p points into the object itself (the inline buffer).
template <typename S>
bool PointsInside(const S& s, const char* p) {
    const auto* begin = reinterpret_cast<const char*>(&s);
    return p >= begin && p < begin + sizeof(S);
}

TYPED_TEST(CommonStringRSTest, PlacementByLength) {
    constexpr int N = TypeParam::value;
    using S = CommonStringRS<N>;
    struct TPlaceCase {
        int length;
        bool onHeap;
        const char* why;
    };
    const TPlaceCase cases[] = {
        {1, false, "one character is inline"},
        {N - 1, false, "below capacity is inline"},
        {N, false, "exactly N characters stay inline"},
        {N + 1, true, "N + 1 characters go to the heap"},
        {3 * N, true, "well past capacity"},
    };
    for (const TPlaceCase& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string text(static_cast<size_t>(c.length), 'm');
        S s(text.c_str());
        EXPECT_EQ(s.Length(), c.length);
        EXPECT_EQ(s.IsOnHeap(), c.onHeap);
        EXPECT_EQ(PointsInside(s, s.GetData()), !c.onHeap);
        EXPECT_EQ(std::string(s.GetData()), text);
        EXPECT_TRUE(s.IsEqual(text.c_str()));

        // Copies follow the same rule by the source length and own their own block.
        S copy(s);
        EXPECT_EQ(copy.IsOnHeap(), c.onHeap);
        EXPECT_NE(copy.GetData(), s.GetData());
        EXPECT_TRUE(copy == s);

        // Assignment over a heap string and over an inline one.
        S heapTarget(std::string(N + 5, 'h').c_str());
        heapTarget = s;
        EXPECT_EQ(heapTarget.IsOnHeap(), c.onHeap);
        EXPECT_EQ(std::string(heapTarget.GetData()), text);
        S inlineTarget("i");
        inlineTarget = s;
        EXPECT_EQ(std::string(inlineTarget.GetData()), text);
    }
}

TYPED_TEST(CommonStringRSTest, EmptyReadsAsNull) {
    using S = CommonStringRS<TypeParam::value>;
    for (const char* source : {static_cast<const char*>(nullptr), ""}) {
        S s(source);
        EXPECT_EQ(s.Length(), 0);
        EXPECT_EQ(s.GetData(), nullptr);
        EXPECT_FALSE(s.IsOnHeap());
        EXPECT_TRUE(s.IsEqual(""));
        EXPECT_TRUE(s == "");
        EXPECT_FALSE(s.IsEqual(nullptr));
        EXPECT_FALSE(s.IsEqual("a"));
    }
    S notEmpty("abc");
    EXPECT_FALSE(notEmpty.IsEqual(nullptr));
    EXPECT_FALSE(notEmpty.IsEqual("ab"));
    EXPECT_FALSE(notEmpty.IsEqual("abd"));
    EXPECT_FALSE(notEmpty == "abcd");
    S s("x");
    s = S();
    EXPECT_EQ(s.GetData(), nullptr);
}

TYPED_TEST(CommonStringRSTest, ConcatenationPlacesTheSum) {
    constexpr int N = TypeParam::value;
    using S = CommonStringRS<N>;
    struct TJoinCase {
        int left;
        int right;
        const char* why;
    };
    const TJoinCase cases[] = {
        {0, 0, "both empty"},
        {0, 3, "empty left copies the right"},
        {3, 0, "empty right copies the left"},
        {1, N - 1, "sum exactly N stays inline"},
        {1, N, "sum N + 1 goes to the heap"},
        {N + 2, N + 3, "two heap strings"},
    };
    for (const TJoinCase& c : cases) {
        SCOPED_TRACE(c.why);
        const std::string a(static_cast<size_t>(c.left), 'a');
        const std::string b(static_cast<size_t>(c.right), 'b');
        const S joined = S(a.c_str()) + S(b.c_str());
        EXPECT_EQ(joined.Length(), c.left + c.right);
        EXPECT_EQ(joined.IsOnHeap(), c.left + c.right > N);
        EXPECT_TRUE(joined.IsEqual((a + b).c_str()));
    }
    // The quoting use: a value between two double quotes.
    const S quoted = S("\"") + "Yard 2" + "\"";
    EXPECT_TRUE(quoted.IsEqual("\"Yard 2\""));
}

TYPED_TEST(CommonStringRSTest, FormatIsBoundedAndPlacedByLength) {
    constexpr int N = TypeParam::value;
    using S = CommonStringRS<N>;
    S s(std::string(N + 4, 'h').c_str());
    s.Format("%d:%s", 7, "x");
    EXPECT_TRUE(s.IsEqual("7:x"));
    EXPECT_FALSE(s.IsOnHeap()) << "the old heap block is released";

    const std::string exact(static_cast<size_t>(N), 'e');
    s.Format("%s", exact.c_str());
    EXPECT_FALSE(s.IsOnHeap());
    EXPECT_TRUE(s.IsEqual(exact.c_str()));

    const std::string over(static_cast<size_t>(N + 1), 'o');
    s.Format("%s", over.c_str());
    EXPECT_TRUE(s.IsOnHeap());
    EXPECT_TRUE(s.IsEqual(over.c_str()));

    // Past the 2000-byte work buffer the result is cut to 1999 characters.
    const std::string huge(5000, 'q');
    s.Format("%s", huge.c_str());
    EXPECT_EQ(s.Length(), kCommonStringRSFormatBufferSize - 1);
    EXPECT_TRUE(s.IsEqual(huge.substr(0, 1999).c_str()));

    // An empty result is the ordinary empty string.
    s.Format("%s", "");
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.GetData(), nullptr);

    // The arguments may be the string's own text, inline or on the heap.
    s = S("ab");
    s.Format("%s%s", s.GetData(), s.GetData());
    EXPECT_TRUE(s.IsEqual("abab"));
    s = S(over.c_str());
    s.Format("%s.", s.GetData());
    EXPECT_TRUE(s.IsEqual((over + ".").c_str()));
}

TYPED_TEST(CommonStringRSTest, MoveKeepsTheTextWithoutSharingABlock) {
    constexpr int N = TypeParam::value;
    using S = CommonStringRS<N>;
    for (int length : {3, N + 3}) {
        const std::string text(static_cast<size_t>(length), 'v');
        S source(text.c_str());
        S target(std::move(source));
        EXPECT_TRUE(target.IsEqual(text.c_str()));
        EXPECT_FALSE(PointsInside(source, target.GetData()));
        S assigned("z");
        assigned = std::move(target);
        EXPECT_TRUE(assigned.IsEqual(text.c_str()));
    }
}

}  // namespace

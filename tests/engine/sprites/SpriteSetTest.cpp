// Sprite sets loaded from a test pak: reference counting, the kinds, atlas data and sub-sets.
#include <gtest/gtest.h>

#include <cstring>

#include "core/QuorvanUtils.h"
#include "render/DibBitmap.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/MediaTestGame.h"

using namespace mediatest;

namespace {

// A w x h picture of one colour, opaque unless alpha is given.
Bytes Png(int w, int h, std::array<std::uint8_t, 4> c, bool withAlpha = true) {
    return EncodePng(MakeImage(w, h, c), withAlpha);
}

// RGB565 of the seen pixel (x, y) of a software bitmap stored as seen.
std::uint16_t PixelAt(IDibBitmap* b, int x, int y) {
    auto* soft = dynamic_cast<CWinDibBitmap*>(b);
    const unsigned char* p = soft->GetBits() + (static_cast<std::size_t>(y) * soft->GetStoredWidth() + x) * 2;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

class SpriteSetTest : public ::testing::Test {
protected:
    CMediaTestGame game;
    CSpriteSetManager& manager = *game.m_Manager;
};

}  // namespace

TEST(SpriteSetNames, HashIsThe31BitPjwHashOverSignedCharacters) {
    struct TCase {
        const char* name;
        unsigned int expected;  // computed with an independent script
    } const cases[] = {
        {"", 0},
        {"a", 97},
        {"ab", 1650},
        {"marble_blue", 48634661},
        {"ui_button_background_long_name", 89301173},
        {"\xe9t\xe9", 268382169},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(CalculateSpriteSetNameHashCode(c.name), c.expected) << c.name;
        EXPECT_EQ(CalculateSpriteSetNameHashCode(c.name), GetHashCode(c.name)) << c.name;
    }
    EXPECT_EQ(CalculateSpriteSetNameHashCode(nullptr), 0u);
}

TEST(SpriteSetNames, PatternsSubstituteOneIndexAndKeepEveryOtherPercentLiterally) {
    const std::string longName(300, 'x');
    struct TCase {
        std::string pattern;
        int index;
        std::string expected;
        const char* why;
    } const cases[] = {
        {"ui\\bird%d.png", 3, "ui\\bird3.png", "plain %d"},
        {"ui\\bird%02d", 7, "ui\\bird07", "zero padded"},
        {"f%3d", 5, "f  5", "space padded"},
        {"%d_%d", 1, "1_%d", "only the first conversion is used"},
        {"100%", 2, "100%", "a trailing percent stays"},
        {"%s%n%d", 4, "%s%n4", "printf conversions that would read or write memory stay text"},
        {"%%d", 9, "%9", "a percent before the conversion stays"},
        {"plain.png", 1, "plain.png", "no conversion"},
        {"a%d", -12, "a-12", "negative index"},
        {longName + "%d", 42, longName + "42", "no 200-byte limit"},
    };
    for (const TCase& c : cases) {
        const CommonString out = FormatSpritePattern(c.pattern.c_str(), c.index);
        EXPECT_STREQ(out.GetDataConst(), c.expected.c_str()) << c.why;
    }
}

TEST_F(SpriteSetTest, UndefinedSetRefusesReferences) {
    CSpriteSet set;
    EXPECT_EQ(set.AddReference(), 0);
    EXPECT_EQ(set.GetRefCount(), 0);
    ASSERT_EQ(manager.AddSpriteSet(new CSpriteSet()), 1);
    EXPECT_EQ(manager.GetSpriteSetAt(0)->AddReference(), 0);
    EXPECT_EQ(manager.AddSpriteSetRef("nothing"), 0);
}

TEST_F(SpriteSetTest, ReferencesLoadOnceReleaseAtZeroAndReload) {
    game.SetPak({{"Images\\f1.png", Png(4, 2, {255, 0, 0, 255})},
                 {"Images\\f2.png", Png(4, 2, {0, 255, 0, 255})},
                 {"Images\\f3.png", Png(4, 2, {0, 0, 255, 255})}});
    ASSERT_EQ(manager.AddSpriteSetMulti("birds", "f%d.png", "", 3, 1, false, false), 1);
    CSpriteSet* set = manager.GetSpriteSetNamed("birds");
    ASSERT_NE(set, nullptr);
    EXPECT_FALSE(set->IsLoaded()) << "defining loads nothing";

    ASSERT_EQ(set->AddReference(), 1);
    ASSERT_EQ(set->GetNumFrames(), 3);
    EXPECT_EQ(PixelAt(set->GetFrame(0), 0, 0), PackRGB565(255, 0, 0));
    EXPECT_EQ(PixelAt(set->GetFrame(1), 3, 1), PackRGB565(0, 255, 0));
    EXPECT_EQ(PixelAt(set->GetFrame(2), 1, 1), PackRGB565(0, 0, 255));
    IDibBitmap* first = set->GetFrame(0);

    // With the images gone from the pak a second reference must not need them.
    game.SetPak({});
    EXPECT_EQ(set->AddReference(), 1);
    EXPECT_EQ(set->GetRefCount(), 2);
    EXPECT_EQ(set->GetFrame(0), first);
    set->ReleaseReference();
    EXPECT_TRUE(set->IsLoaded());
    set->ReleaseReference();
    EXPECT_FALSE(set->IsLoaded());
    EXPECT_EQ(set->GetNumFrames(), 0);
    EXPECT_EQ(set->GetRefCount(), 0);
    EXPECT_EQ(set->AddReference(), 0) << "the next reference loads again, and the images are gone";
    EXPECT_EQ(set->GetRefCount(), 0);

    game.SetPak({{"Images\\f1.png", Png(4, 2, {255, 0, 0, 255})},
                 {"Images\\f2.png", Png(4, 2, {0, 255, 0, 255})},
                 {"Images\\f3.png", Png(4, 2, {0, 0, 255, 255})}});
    EXPECT_EQ(manager.AddSpriteSetRef("birds"), 1);
    EXPECT_EQ(set->GetNumFrames(), 3);
}

TEST_F(SpriteSetTest, MultiFailsWholeOnAMissingImageAndOptionalLeavesAHole) {
    game.SetPak(
        {{"Images\\m1.png", Png(2, 2, {255, 255, 255, 255})}, {"Images\\m3.png", Png(2, 2, {255, 255, 255, 255})}});
    ASSERT_EQ(manager.AddSpriteSetMulti("strict", "m%d", "", 3, 1, false, false), 1);
    ASSERT_EQ(manager.AddSpriteSetMultiOptional("lenient", "m%d", "", 3, 1, false, false), 1);

    CSpriteSet* strict = manager.GetSpriteSetNamed("strict");
    EXPECT_EQ(strict->AddReference(), 0);
    EXPECT_FALSE(strict->IsLoaded());
    EXPECT_EQ(strict->GetRefCount(), 0) << "the loader's reference is given back";

    CSpriteSet* lenient = manager.GetSpriteSetNamed("lenient");
    ASSERT_EQ(lenient->AddReference(), 1);
    ASSERT_EQ(lenient->GetNumFrames(), 3);
    EXPECT_NE(lenient->GetFrame(0), nullptr);
    EXPECT_EQ(lenient->GetFrame(1), nullptr);
    EXPECT_NE(lenient->GetFrame(2), nullptr);
}

TEST_F(SpriteSetTest, MultiTakesASeparateAlphaImageByTheSameIndex) {
    TImage alpha = MakeImage(2, 1, {0, 0, 0, 0});
    alpha.Set(1, 0, {0, 0, 0, 200});
    game.SetPak({{"Images\\c0.png", Png(2, 1, {10, 20, 30, 255}, false)}, {"Images\\a0.png", EncodePng(alpha)}});
    ASSERT_EQ(manager.AddSpriteSetMulti("pair", "c%d", "a%d", 1, 0, false, false), 1);
    CSpriteSet* set = manager.GetSpriteSetNamed("pair");
    ASSERT_EQ(set->AddReference(), 1);
    IDibBitmap* frame = set->GetFrame(0);
    ASSERT_NE(frame->GetAlphaBits(), nullptr);
    EXPECT_EQ(frame->GetAlphaBits()[0], 0);
    EXPECT_EQ(frame->GetAlphaBits()[1], 200);
}

TEST_F(SpriteSetTest, SingleStripIsCutIntoFramesPerRow) {
    // 3 frames of 2 x 2, two per row: the last row holds one frame.
    TImage strip = MakeImage(4, 4, {0, 0, 0, 255});
    const std::array<std::uint8_t, 4> colours[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (int i = 0; i < 3; ++i)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) strip.Set((i % 2) * 2 + x, (i / 2) * 2 + y, colours[i]);
    game.SetPak({{"Images\\strip.png", EncodePng(strip)}});
    ASSERT_EQ(manager.AddSpriteSetSingle("strip", "strip.png", "", 3, 2, false, false), 1);
    CSpriteSet* set = manager.GetSpriteSetNamed("strip");
    ASSERT_EQ(set->AddReference(), 1);
    ASSERT_EQ(set->GetNumFrames(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(set->GetFrame(i)->m_Width, 2);
        EXPECT_EQ(set->GetFrame(i)->m_Height, 2);
        EXPECT_EQ(PixelAt(set->GetFrame(i), 1, 1), PackRGB565(colours[i][0], colours[i][1], colours[i][2])) << i;
    }
}

TEST_F(SpriteSetTest, AFrameCountAboveTheMaximumFailsTheSetByNameBeforeAnyFrameIsMade) {
    // A 128 x 128 sheet has a cell of at least one pixel for every count below; the image names
    // of the Multi sets exist for the first frames only.
    game.SetPak({{"Images\\sheet.png", Png(128, 128, {90, 90, 90, 255})},
                 {"Images\\m0.png", Png(1, 1, {90, 90, 90, 255})}});
    struct TCase {
        const char* name;
        int kind;
        int frames;
        int perRowOrFirst;
        bool loads;
        const char* why;
    } const cases[] = {
        {"AtTheLimit", kSpriteSetSingle, 4096, 64, true, "4096 frames, 64 per row: the largest set that loads"},
        {"OneTooMany", kSpriteSetSingle, 4097, 64, false, "one frame more than a set may have"},
        {"Hostile", kSpriteSetSingle, 1000000, 11, false, "a count no sheet of the game has cells for"},
        {"HostileMulti", kSpriteSetMultiOptional, 5000, 0, false, "one image per frame, most of them absent"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.kind == kSpriteSetSingle)
            ASSERT_EQ(manager.AddSpriteSetSingle(c.name, "sheet.png", "", c.frames, c.perRowOrFirst, false, false), 1);
        else
            ASSERT_EQ(manager.AddSpriteSetMultiOptional(c.name, "m%d", "", c.frames, c.perRowOrFirst, false, false), 1);
        CSpriteSet* set = manager.GetSpriteSetNamed(c.name);
        ::testing::internal::CaptureStderr();
        const int referenced = set->AddReference();
        const std::string log = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(referenced, c.loads ? 1 : 0);
        EXPECT_EQ(set->GetNumFrames(), c.loads ? c.frames : 0);
        EXPECT_EQ(set->GetRefCount(), c.loads ? 1 : 0);
        if (!c.loads) {
            const std::string told = std::string("sprites: set ") + c.name + ": " + std::to_string(c.frames) + " frames";
            EXPECT_NE(log.find(told), std::string::npos) << log;
        }
    }
    const CSpriteSet* largest = manager.GetSpriteSetNamed("AtTheLimit");
    EXPECT_EQ(largest->GetFrame(4095)->m_Width, 2) << "64 cells of 2 x 2 per row of the sheet";
    EXPECT_EQ(largest->GetFrame(4095)->m_Height, 2);
}

TEST_F(SpriteSetTest, CommonAlphaServesEveryFrameAndMustHaveTheFrameSize) {
    TImage alpha = MakeImage(2, 2, {0, 0, 0, 255});
    alpha.Set(0, 0, {0, 0, 0, 0});
    game.SetPak({{"Images\\strip.png", Png(6, 2, {9, 9, 9, 255}, false)},
                 {"Images\\mask.png", EncodePng(alpha)},
                 {"Images\\bigmask.png", EncodePng(MakeImage(6, 2, {0, 0, 0, 128}))}});
    ASSERT_EQ(manager.AddSpriteSetSingleCommonAlpha("shared", "strip.png", "mask.png", 3, 3, false, false), 1);
    CSpriteSet* set = manager.GetSpriteSetNamed("shared");
    ASSERT_EQ(set->AddReference(), 1);
    ASSERT_EQ(set->GetNumFrames(), 3);
    ASSERT_NE(set->m_pCommonAlpha, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(set->GetFrame(i)->GetAlphaBits(), set->m_pCommonAlpha->GetAlphaBits()) << i;
        EXPECT_EQ(set->GetFrame(i)->GetAlphaBits()[0], 0);
        EXPECT_EQ(set->GetFrame(i)->GetAlphaBits()[3], 255);
    }
    set->ReleaseReference();
    EXPECT_EQ(set->m_pCommonAlpha, nullptr);

    // An alpha image the size of the whole strip would be read past each frame's plane.
    ASSERT_EQ(manager.AddSpriteSetSingleCommonAlpha("wrong", "strip.png", "bigmask.png", 3, 3, false, false), 1);
    CSpriteSet* wrong = manager.GetSpriteSetNamed("wrong");
    EXPECT_EQ(wrong->AddReference(), 0);
    EXPECT_FALSE(wrong->IsLoaded());
    EXPECT_EQ(wrong->GetRefCount(), 0);
}

namespace {

const char* const kAtlasData =
    "3\n"
    "item0\n0\n0\n4\n2\n"
    "item1\n4\n0\n4\n2\n"
    "other\n0\n2\n8\n2\n";

}  // namespace

TEST_F(SpriteSetTest, AtlasSubSetTakesFramesFromTheTextureSetAndHoldsItsReference) {
    game.SetPak({{"Images\\atlas.png", Png(8, 4, {1, 2, 3, 255})}, {"Images\\atlas.txt", ToBytes(kAtlasData)}});
    ASSERT_EQ(manager.AddSpriteSetMulti("atlas", "atlas.png", "", 1, 1, false, false), 1);
    manager.GetLastSpriteSet()->DefineTextureAtlasDataFileName("atlas.txt");
    ASSERT_EQ(manager.AddSpriteSetSingle("icons", "", "", 1, 1, false, false), 1);
    manager.GetLastSpriteSet()->DefineTextureAtlasSubSet("atlas", "item%d", 0, 2);
    ASSERT_EQ(manager.AddSpriteSetSingle("broken", "", "", 1, 1, false, false), 1);
    manager.GetLastSpriteSet()->DefineTextureAtlasSubSet("atlas", "item%d", 1, 2);  // item2 is missing

    CSpriteSet* atlas = manager.GetSpriteSetNamed("atlas");
    CSpriteSet* icons = manager.GetSpriteSetNamed("icons");
    ASSERT_EQ(icons->AddReference(), 1);
    EXPECT_EQ(icons->GetNumFrames(), 2);
    EXPECT_EQ(atlas->GetRefCount(), 1) << "the sub-set holds the texture set";
    ASSERT_EQ(atlas->m_AtlasItems.count, 3);
    const CSpriteSetTextureAtlasItem* other = atlas->FindAtlasItem("other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->m_y, 2);
    EXPECT_EQ(other->m_Width, 8);
    EXPECT_EQ(atlas->FindAtlasItem("item9"), nullptr);
    EXPECT_EQ(atlas->FindAtlasItem(nullptr), nullptr);

    CSpriteSet* broken = manager.GetSpriteSetNamed("broken");
    EXPECT_EQ(broken->AddReference(), 0);
    EXPECT_FALSE(broken->IsLoaded());
    EXPECT_EQ(atlas->GetRefCount(), 1) << "the failed sub-set gave its reference back";

    icons->ReleaseReference();
    EXPECT_EQ(atlas->GetRefCount(), 0);
    EXPECT_FALSE(atlas->IsLoaded());

    // Loaded again, the texture set reads its atlas again without piling up items.
    ASSERT_EQ(icons->AddReference(), 1);
    EXPECT_EQ(atlas->m_AtlasItems.count, 3);
}

TEST_F(SpriteSetTest, SubSetsNamingEachOtherAsTextureSetsFailInsteadOfRecursing) {
    // A broken description: "a" takes its frames from "b" and "b" from "a", and "c" from itself
    // by way of "b". Each reference must fail cleanly and leave every set unloaded.
    game.SetPak({{"Images\atlas.png", Png(8, 4, {1, 2, 3, 255})}, {"Images\atlas.txt", ToBytes(kAtlasData)}});
    ASSERT_TRUE(game.m_SpriteSwitches.m_bTextureAtlasMode);
    const char* ring[][2] = {{"a", "b"}, {"b", "a"}, {"c", "b"}};
    for (const auto& link : ring) {
        ASSERT_EQ(manager.AddSpriteSetMulti(link[0], "atlas.png", "", 1, 1, false, false), 1);
        manager.GetLastSpriteSet()->DefineTextureAtlasDataFileName("atlas.txt");
        manager.GetLastSpriteSet()->DefineTextureAtlasSubSet(link[1], "item%d", 0, 1);
    }
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_EQ(manager.AddSpriteSetRef(name), 0) << name;
        for (const char* other : {"a", "b", "c"}) {
            EXPECT_EQ(manager.GetSpriteSetNamed(other)->GetRefCount(), 0) << name << " then " << other;
            EXPECT_FALSE(manager.GetSpriteSetNamed(other)->IsLoaded()) << name << " then " << other;
        }
    }
}

TEST_F(SpriteSetTest, AtlasDataOfTheDoubleResolutionTwinIsHalvedOutside2xMode) {
    game.m_RenderSwitches.m_bDoubleResolution = false;
    game.SetPak({{"Images\\atlas.png", Png(8, 4, {1, 2, 3, 255})},
                 {"Images_2x\\atlas.txt", ToBytes("1\nstar\n9\n4\n17\n6\n")}});
    ASSERT_EQ(manager.AddSpriteSetMulti("atlas", "atlas.png", "", 1, 1, false, false), 1);
    CSpriteSet* atlas = manager.GetLastSpriteSet();
    atlas->DefineTextureAtlasDataFileName("atlas.txt");
    ASSERT_EQ(atlas->AddReference(), 1);
    const CSpriteSetTextureAtlasItem* star = atlas->FindAtlasItem("star");
    ASSERT_NE(star, nullptr);
    EXPECT_EQ(star->m_x, 4);
    EXPECT_EQ(star->m_y, 2);
    EXPECT_EQ(star->m_Width, 8);
    EXPECT_EQ(star->m_Height, 3);
}

TEST_F(SpriteSetTest, SetWhoseAtlasDataCannotBeReadIsNotLeftLoaded) {
    game.SetPak({{"Images\\atlas.png", Png(8, 4, {1, 2, 3, 255})}});
    ASSERT_EQ(manager.AddSpriteSetMulti("atlas", "atlas.png", "", 1, 1, false, false), 1);
    CSpriteSet* atlas = manager.GetLastSpriteSet();
    atlas->DefineTextureAtlasDataFileName("missing.txt");
    EXPECT_EQ(atlas->AddReference(), 0);
    EXPECT_FALSE(atlas->IsLoaded());
    EXPECT_EQ(atlas->GetRefCount(), 0);
}

TEST(SpriteSetAtlasItems, ReadingStopsAtTheCountOrTheEndOfTheFile) {
    struct TCase {
        const char* text;
        int items;
        const char* why;
    } const cases[] = {
        {"2\na\n1\n2\n3\n4\nb\n5\n6\n7\n8\nc\n9\n9\n9\n9\n", 2, "items past the count are ignored"},
        {"3\na\n1\n2\n3\n4\nb\n5\n6\n", 1, "an item cut short at the end is dropped"},
        {"// atlas\n\n1\nname with blanks\n1\n2\n3\n4\n", 1, "comments and blank lines are skipped"},
        {"-5\na\n1\n2\n3\n4\n", 0, "a negative count reads nothing"},
        {"", 0, "an empty file reads nothing"},
    };
    for (const TCase& c : cases) {
        CSpriteSet set;
        const std::span<const char> bytes(c.text, std::strlen(c.text));
        EXPECT_EQ(set.ReadTextureAtlasItemsFromBytes(bytes, "atlas.txt", false), 1) << c.why;
        EXPECT_EQ(set.m_AtlasItems.count, c.items) << c.why;
    }
    CSpriteSet set;
    const char* text = "1\nname with blanks\n1\n2\n3\n4\n";
    ASSERT_EQ(set.ReadTextureAtlasItemsFromBytes({text, std::strlen(text)}, "atlas.txt", false), 1);
    EXPECT_NE(set.FindAtlasItem("name with blanks"), nullptr) << "the name is the whole line";
}

TEST_F(SpriteSetTest, GroupUnloadFreesEveryReferenceOfTheGroupOnly) {
    game.SetPak({{"Images\\a.png", Png(2, 2, {1, 1, 1, 255})}});
    ASSERT_EQ(manager.AddSpriteSetMulti("g1", "a.png", "", 1, 1, false, false), 1);
    manager.GetLastSpriteSet()->SetGroupName("gameplay");
    ASSERT_EQ(manager.AddSpriteSetMulti("f1", "a.png", "", 1, 1, false, false), 1);
    manager.GetLastSpriteSet()->SetGroupName("farm");
    ASSERT_EQ(manager.AddSpriteSetMulti("none", "a.png", "", 1, 1, false, false), 1);
    CSpriteSet* g1 = manager.GetSpriteSetNamed("g1");
    CSpriteSet* f1 = manager.GetSpriteSetNamed("f1");
    CSpriteSet* none = manager.GetSpriteSetNamed("none");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(g1->AddReference(), 1);
    ASSERT_EQ(f1->AddReference(), 1);
    ASSERT_EQ(none->AddReference(), 1);

    UnloadSritesSetsWithGroupName(&game, "gameplay");
    EXPECT_EQ(g1->GetRefCount(), 0);
    EXPECT_FALSE(g1->IsLoaded());
    EXPECT_TRUE(f1->IsLoaded());
    UnloadSritesSetsWithGroupName(&game, "");
    EXPECT_TRUE(none->IsLoaded()) << "the empty group names no set";
}

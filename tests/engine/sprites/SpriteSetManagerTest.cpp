// The sprite-set registry and the description-file reader.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/MediaTestGame.h"

using namespace mediatest;

namespace {

class SpriteSetManagerTest : public ::testing::Test {
protected:
    int Read(const std::string& text) {
        return AddSpriteSetsFromBytes(&manager, &game, std::span<const char>(text.data(), text.size()), "test.txt");
    }
    std::string Names() const {
        std::string out;
        for (int i = 0; i < manager.GetNumSpriteSets(); ++i) {
            out += manager.GetSpriteSetAt(i)->m_Name.GetDataConst();
            out += ' ';
        }
        return out;
    }
    CMediaTestGame game;
    CSpriteSetManager& manager = *game.m_Manager;
};

}  // namespace

TEST_F(SpriteSetManagerTest, DuplicateNamesAreKeptAndLookupsFindTheFirst) {
    ASSERT_EQ(manager.AddSpriteSetMulti("dup", "first", "", 1, 1, false, false), 1);
    ASSERT_EQ(manager.AddSpriteSetMulti("dup", "second", "", 1, 1, false, false), 1);
    ASSERT_EQ(manager.AddSpriteSetMulti("other", "x", "", 1, 1, true, true), 1);
    EXPECT_EQ(manager.GetNumSpriteSets(), 3);
    EXPECT_EQ(manager.GetSpriteSetNamed("dup")->m_File, "first");
    EXPECT_EQ(manager.GetIdOfSpriteSetNamed("dup"), 0);
    EXPECT_EQ(manager.GetIdOfSpriteSetNamed("other"), 2);
    EXPECT_EQ(manager.GetIdOfSpriteSetNamed("Other"), -1) << "names are case-sensitive";
    EXPECT_EQ(manager.GetSpriteSetNamed(nullptr), nullptr);
    EXPECT_EQ(manager.GetSpriteSetAt(3), nullptr);
    EXPECT_EQ(manager.GetSpriteSetAt(-1), nullptr);
    EXPECT_EQ(manager.GetLastSpriteSet()->m_remove_rgba_in3d, 1);
    EXPECT_EQ(manager.GetLastSpriteSet()->m_force_8888_texture, 1);
    EXPECT_EQ(manager.AddSpriteSet(nullptr), 0);

    manager.DeleteSpriteSet("dup");
    EXPECT_EQ(Names(), "dup other ");
    EXPECT_EQ(manager.GetSpriteSetNamed("dup")->m_File, "second");
    manager.DeleteSpriteSet(7);
    manager.DeleteSpriteSet(static_cast<CSpriteSet*>(nullptr));
    EXPECT_EQ(manager.GetNumSpriteSets(), 2);
    manager.DeleteSpriteSet(manager.GetSpriteSetNamed("other"));
    EXPECT_EQ(Names(), "dup ");
    manager.DestroySpriteSets();
    EXPECT_EQ(manager.GetNumSpriteSets(), 0);
    EXPECT_EQ(manager.GetLastSpriteSet(), nullptr);
}

TEST_F(SpriteSetManagerTest, DescriptionBlocksDefineSetsOfEachKind) {
    const std::string text =
        "// sprite sets of the test\n"
        "set = strip\n"
        "file = \"ui\\strip.png\", 8\n"
        "group = gameplay\n"
        "remove_rgba_in3d\n"
        "force_atlas = 1\n"
        "end\n"
        "set = numbers, multi\n"
        "file = num%d.png, 10, 0\n"
        "afile = num%d_a.png\n"
        "force_8888_texture = 0\n"
        "will_use_fill_alpha\n"
        "end\n"
        "set = \"logo\"\n"
        "file = logo.png\n"
        "skip_auto = yes\n"
        "end\n"
        "set = opt, multi_optional\n"
        "file = o%d, 3, 5\n"
        "end\n"
        "set = masks, common_alpha\n"
        "file = masks.png, 6, 3\n"
        "afile = mask.png\n"
        "set = ignored inside a block\n"
        "end\n";
    ASSERT_EQ(Read(text), 1);
    ASSERT_EQ(Names(), "strip numbers logo opt masks ");

    struct TExpect {
        const char* name;
        int kind, a, b;
        const char* file;
        const char* afile;
        const char* why;
    } const expected[] = {
        {"strip", kSpriteSetSingle, 8, 8, "ui\\strip.png", nullptr, "one number gives a frames in one row"},
        {"numbers", kSpriteSetMulti, 10, 0, "num%d.png", "num%d_a.png", "the third part is the first index"},
        {"logo", kSpriteSetMulti, 1, 1, "logo.png", nullptr, "a lone name becomes a Multi set of one"},
        {"opt", kSpriteSetMultiOptional, 3, 5, "o%d", nullptr, "optional images"},
        {"masks", kSpriteSetSingleCommonAlpha, 6, 3, "masks.png", "mask.png", "the third part is frames per row"},
    };
    for (const TExpect& e : expected) {
        const CSpriteSet* s = manager.GetSpriteSetNamed(e.name);
        ASSERT_NE(s, nullptr) << e.name;
        EXPECT_EQ(s->m_nKind, e.kind) << e.why;
        EXPECT_EQ(s->m_a, e.a) << e.why;
        EXPECT_EQ(s->m_b, e.b) << e.why;
        EXPECT_STREQ(s->m_File.GetDataConst(), e.file) << e.why;
        EXPECT_STREQ(s->m_AFile.GetDataConst(), e.afile) << e.why;
    }
    const CSpriteSet* strip = manager.GetSpriteSetNamed("strip");
    EXPECT_EQ(strip->m_GroupName, "gameplay");
    EXPECT_EQ(strip->m_remove_rgba_in3d, 1);
    EXPECT_EQ(strip->m_force_atlas, 1);
    const CSpriteSet* numbers = manager.GetSpriteSetNamed("numbers");
    EXPECT_EQ(numbers->m_force_8888_texture, 0);
    EXPECT_EQ(numbers->m_will_use_fill_alpha, 1);
    EXPECT_EQ(manager.GetSpriteSetNamed("logo")->m_skip_auto, 1);
}

TEST_F(SpriteSetManagerTest, FlagsOnlyInTheirOwnForm) {
    ASSERT_EQ(Read("set = a\nfile = a.png\nskip_auto\nwill_use_fill_alpha = 1\nend\n"), 1);
    const CSpriteSet* a = manager.GetSpriteSetNamed("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_skip_auto, 0) << "skip_auto counts only as a property";
    EXPECT_EQ(a->m_will_use_fill_alpha, 0) << "will_use_fill_alpha counts only as a bare line";
}

TEST_F(SpriteSetManagerTest, BlockWithoutEndAddsNothingAndLinesOutsideBlocksAreIgnored) {
    ASSERT_EQ(Read("file = stray.png\nend\nset = first\nfile = a.png\nend\nset = open\nfile = b.png\n"), 1);
    EXPECT_EQ(Names(), "first ");
}

TEST_F(SpriteSetManagerTest, AtlasLinesDefineDataAndSubSetsAndAMalformedIndexFailsTheRead) {
    ASSERT_EQ(Read("set = atlas\nfile = atlas.png\natlas_data = \"atlas.txt\"\nend\n"
                   "set = icons\natlas_texture = atlas\natlas_indexes = \"icon%02d\", 3, 4\nend\n"),
              1);
    const CSpriteSet* atlas = manager.GetSpriteSetNamed("atlas");
    EXPECT_EQ(atlas->m_bHasAtlasData, 1);
    EXPECT_EQ(atlas->m_AtlasDataFile, "atlas.txt");
    const CSpriteSet* icons = manager.GetSpriteSetNamed("icons");
    EXPECT_EQ(icons->m_bIsAtlasSubSet, 1);
    EXPECT_EQ(icons->m_AtlasTextureSet, "atlas");
    EXPECT_EQ(icons->m_AtlasItemPattern, "icon%02d");
    EXPECT_EQ(icons->m_nFirstItem, 3);
    EXPECT_EQ(icons->m_nItemCount, 4);

    EXPECT_EQ(Read("set = before\nfile = x.png\nend\nset = bad\natlas_indexes = icon%d, 3\nend\nset = after\nend\n"),
              0);
    EXPECT_EQ(Names(), "atlas icons before ") << "sets added before the failure stay";
}

TEST_F(SpriteSetManagerTest, FilesAreReadThroughTheGamesPaks) {
    game.SetPak({{"Data\\sprites.txt", ToBytes("set = one\nfile = one.png\nend\nset = two\nfile = two.png\nend\n")},
                 {"Data\\more.txt", ToBytes("set = two\nset = three\n")}});
    EXPECT_EQ(AddSpriteSetsFromFile(&game, "Data\\sprites.txt"), 1);
    EXPECT_EQ(Names(), "one two ");
    EXPECT_EQ(AddSpriteSetsFromFile(&game, "Data\\missing.txt"), 0);
    EXPECT_EQ(AddSpriteSetsFromFile(nullptr, "Data\\sprites.txt"), 0);

    EXPECT_EQ(DestroySpriteSetsFromFile(&game, "Data\\more.txt"), 1);
    EXPECT_EQ(Names(), "one ") << "every set line names a set to delete, in or out of a block";
    EXPECT_EQ(DestroySpriteSetsFromFile(&game, "Data\\missing.txt"), 0);

    CSpriteSetManager* saved = game.m_Manager;
    game.m_Manager = nullptr;
    EXPECT_EQ(AddSpriteSetsFromFile(&game, "Data\\sprites.txt"), 0) << "no manager";
    game.m_Manager = saved;
}

// A file read whole is taken; one with lines but no set, or one that ends inside a block, is
// refused (the sets before the cut stay, as after any failure); an empty file declares nothing.
TEST_F(SpriteSetManagerTest, AFileOfGarbageOrCutShortIsRefused) {
    const std::string whole = "set = one\nfile = one.png\nend\nset = two\nfile = two.png\nend\n";
    struct TCase {
        std::string text;
        int result;
        const char* names;
        const char* why;
    } const cases[] = {
        {whole, 1, "one two ", "a whole file"},
        {whole + "// nothing more\n\n", 1, "one two ", "comments after the last block"},
        {"", 1, "", "an empty file"},
        {"\x89PNG\r\n\x1a\n this is no picture \x89PNG\r\n", 0, "", "bytes of another kind of file"},
        {"file = stray.png\nend\n", 0, "", "lines outside any set"},
        {whole + "set = tutoria", 0, "one two ", "cut inside a set's name"},
        {whole + "set = three\n    file = \"three.png\"\n ", 0, "one two ", "cut before a set's end"},
    };
    for (const TCase& c : cases) {
        game.m_Manager->DestroySpriteSets();
        game.SetPak({{"ui\\sets.txt", ToBytes(c.text)}});
        EXPECT_EQ(AddSpriteSetsFromFile(&game, "ui\\sets.txt"), c.result) << c.why;
        EXPECT_EQ(Names(), c.names) << c.why;
    }
    // The byte reader itself keeps the rule of the format: the open block is dropped, the read
    // succeeds, and the report tells what it saw.
    const std::string cut = whole + "set = three\nfile = three.png\n";
    TSpriteFileReport report;
    game.m_Manager->DestroySpriteSets();
    EXPECT_EQ(AddSpriteSetsFromBytes(&manager, &game, std::span<const char>(cut.data(), cut.size()), "t", &report), 1);
    EXPECT_EQ(report.setBlocks, 3);
    EXPECT_EQ(report.dataLines, 8);
    EXPECT_STREQ(report.openAtEnd.GetDataConst(), "three");
}

TEST_F(SpriteSetManagerTest, ManagerGoesWithLoadedSubSetsBeforeTheirTextureSets) {
    game.SetPak({{"Images\\atlas.png", EncodePng(MakeImage(8, 4, {1, 2, 3, 255}))},
                 {"Images\\atlas.txt", ToBytes("1\ni0\n0\n0\n4\n4\n")}});
    // The sub-set comes first in the list: deleting last to first alone would free the texture
    // set while the sub-set still has to give its reference back.
    ASSERT_EQ(Read("set = icons\natlas_texture = atlas\natlas_indexes = i%d, 0, 1\nend\n"
                   "set = atlas\nfile = atlas.png\natlas_data = atlas.txt\nend\n"),
              1);
    ASSERT_EQ(manager.AddSpriteSetRef("icons"), 1);
    EXPECT_EQ(manager.GetSpriteSetNamed("atlas")->GetRefCount(), 1);
    manager.DestroySpriteSets();  // the sanitizer builds catch a use after free here
    EXPECT_EQ(manager.GetNumSpriteSets(), 0);
}

TEST_F(SpriteSetManagerTest, SetsDeclaredInAPakFileLoadOnReferenceAndGoWithTheirGroup) {
    // The whole way a screen takes its images: a description file in the pak defines the sets,
    // a reference loads them from the images directory, the group unload frees them.
    auto png = [](std::array<std::uint8_t, 4> c) { return EncodePng(MakeImage(2, 2, c)); };
    const std::string text =
        "set = digits, multi\nfile = \"d%02d.png\", 3, 8\ngroup = gameplay\nend\n"
        "set = medals, multi_optional\nfile = m%d, 3, 1\ngroup = gameplay\nend\n"
        "set = logo\nfile = logo.png\nend\n";
    game.SetPak({{"Data\\sprites.txt", ToBytes(text)},
                 {"Images\\d08.png", png({255, 0, 0, 255})},
                 {"Images\\d09.png", png({0, 255, 0, 255})},
                 {"Images\\d10.png", png({0, 0, 255, 255})},
                 {"Images\\m1.png", png({9, 9, 9, 255})},
                 {"Images\\m3.png", png({9, 9, 9, 255})},
                 {"Images\\logo.png", png({255, 255, 255, 255})}});
    ASSERT_EQ(AddSpriteSetsFromFile(&game, "Data\\sprites.txt"), 1);
    ASSERT_EQ(Names(), "digits medals logo ");
    for (const char* name : {"digits", "medals", "logo"})
        EXPECT_FALSE(manager.GetSpriteSetNamed(name)->IsLoaded()) << name << ": reading loads nothing";

    auto red = [](IDibBitmap* b) {
        const unsigned char* p = b->GetBits();
        return p == nullptr ? -1 : (p[1] >> 3);  // top five bits of the first RGB565 pixel
    };
    CSpriteSet* digits = manager.GetSpriteSetNamed("digits");
    ASSERT_EQ(manager.AddSpriteSetRef("digits"), 1);
    ASSERT_EQ(manager.AddSpriteSetRef("digits"), 1);
    ASSERT_EQ(digits->GetNumFrames(), 3);
    EXPECT_EQ(red(digits->GetFrame(0)), 31) << "d08: the first index comes from the file line";
    EXPECT_EQ(red(digits->GetFrame(1)), 0) << "d09";
    ASSERT_NE(digits->GetFrame(2), nullptr) << "d10";

    CSpriteSet* medals = manager.GetSpriteSetNamed("medals");
    ASSERT_EQ(manager.AddSpriteSetRef("medals"), 1);
    ASSERT_EQ(medals->GetNumFrames(), 3);
    EXPECT_NE(medals->GetFrame(0), nullptr);
    EXPECT_EQ(medals->GetFrame(1), nullptr) << "m2 is missing: a hole, not a failure";
    EXPECT_NE(medals->GetFrame(2), nullptr);

    CSpriteSet* logo = manager.GetSpriteSetNamed("logo");
    ASSERT_EQ(manager.AddSpriteSetRef("logo"), 1);
    ASSERT_EQ(logo->GetNumFrames(), 1) << "one image by its name";

    UnloadSritesSetsWithGroupName(&game, "gameplay");
    EXPECT_FALSE(digits->IsLoaded()) << "both references went at once";
    EXPECT_EQ(digits->GetRefCount(), 0);
    EXPECT_FALSE(medals->IsLoaded());
    EXPECT_TRUE(logo->IsLoaded()) << "a set of no group stays";

    ASSERT_EQ(manager.AddSpriteSetRef("digits"), 1) << "loads again on the next reference";
    EXPECT_EQ(red(digits->GetFrame(0)), 31);
    EXPECT_EQ(DestroySpriteSetsFromFile(&game, "Data\\sprites.txt"), 1);
    EXPECT_EQ(manager.GetNumSpriteSets(), 0);
}

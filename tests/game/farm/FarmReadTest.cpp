// The yard table and the per-yard object files, read through the game's paks.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/farm/FarmManager.h"
#include "testsupport/MediaTestGame.h"
#include "testsupport/FakeFarmGame.h"

namespace {

std::string Text(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

class FarmRead : public ::testing::Test {
protected:
    // Mounts a pak with these members (names below "Data\").
    void Mount(const std::vector<std::pair<std::string, std::string>>& files) {
        std::vector<std::pair<std::string, mediatest::Bytes>> members;
        for (const auto& [name, text] : files) members.emplace_back("Data\\" + name, mediatest::ToBytes(text));
        mediatest::SetCommonPak(game, dir.Path("common" + std::to_string(serial++) + ".pak"), members);
    }
    CScratchDir dir;
    CFakeFarmGame game;
    int serial = 0;
};

TEST_F(FarmRead, YardKeysAndTheirDefaults) {
    Mount({{"yards.txt",
            "yard = \"yard1\"\n"
            "  name = \"Meadow\"\n"
            "  file = yard1_objects.txt\n"
            "  icon = icon_yard1\n"
            "  show_after = yard0, 2\n"
            "  unlock_after = all_previous 3\n"
            "  sky_color_top = 10 20 300\n"
            "  sky_color_bottom = 1,2,3\n"
            "  coins_star1 = 1 2 3 4\n"
            "  coins_star2 = 5 6\n"
            "  coins_star3 = 7 8 9 10\n"
            "  unknown_key = 5\n"
            "end\n"
            "yard = yard2\n"
            "  file = empty.txt\n"
            "end\n"},
           {"yard1_objects.txt", ""},
           {"empty.txt", ""}});
    CFarmManager farm(&game);
    ASSERT_TRUE(farm.PostConstruct());
    ASSERT_EQ(farm.GetNumYards(), 2);
    const YardDef* y = farm.GetYardDef(0);
    EXPECT_EQ(Text(y->id), "yard1");
    EXPECT_EQ(Text(y->name), "Meadow");
    EXPECT_EQ(Text(y->file), "yard1_objects.txt");
    EXPECT_EQ(Text(y->icon), "icon_yard1");
    EXPECT_EQ(Text(y->showAfter), "yard0");
    EXPECT_EQ(y->showStars, 2);
    EXPECT_EQ(Text(y->unlockAfter), "all_previous");
    EXPECT_EQ(y->unlockStars, 3);
    // Colour parts are kept in 8 bits: 300 wraps to 44.
    EXPECT_EQ(y->skyTop[0], 10);
    EXPECT_EQ(y->skyTop[1], 20);
    EXPECT_EQ(y->skyTop[2], 44);
    EXPECT_EQ(y->skyBottom[0], 1);
    EXPECT_EQ(y->skyBottom[2], 3);
    const int star1[4] = {1, 2, 3, 4}, star2[4] = {5, 6, 0, 0}, star3[4] = {7, 8, 9, 10};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(y->starThresholds[0][c], star1[c]);
        EXPECT_EQ(y->starThresholds[1][c], star2[c]) << "missing parts read as 0";
        EXPECT_EQ(y->starThresholds[2][c], star3[c]);
    }

    const YardDef* d = farm.GetYardDef(1);
    EXPECT_EQ(Text(d->id), "yard2");
    EXPECT_EQ(Text(d->name), "");
    EXPECT_EQ(Text(d->icon), "");
    EXPECT_EQ(Text(d->showAfter), "");
    EXPECT_EQ(d->showStars, 0);
    EXPECT_EQ(Text(d->unlockAfter), "");
    EXPECT_EQ(d->unlockStars, 1);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(d->skyTop[c] + d->skyBottom[c], 0);
    const int defaults[3] = {100, 200, 500};
    for (int s = 0; s < 3; ++s)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(d->starThresholds[s][c], defaults[s]);
}

TEST_F(FarmRead, UnlockAfterValues) {
    struct TCase {
        const char* value;
        const char* id;
        int stars;
        const char* why;
    } cases[] = {
        {"yard1 2", "yard1", 2, "id and stars"},
        {"yard1", "yard1", 0, "an id without a count requires 0 stars"},
        {"\"yard1\", 3", "yard1", 3, "quotes are removed from the id"},
        {"all_previous, 2", "all_previous", 2, "all_previous stays as text"},
    };
    for (const TCase& c : cases) {
        Mount({{"yards.txt", std::string("yard = y\nfile = o.txt\nunlock_after = ") + c.value + "\nend\n"},
               {"o.txt", ""}});
        CFarmManager farm(&game);
        ASSERT_TRUE(farm.PostConstruct()) << c.why;
        EXPECT_EQ(Text(farm.GetYardDef(0)->unlockAfter), c.id) << c.why;
        EXPECT_EQ(farm.GetYardDef(0)->unlockStars, c.stars) << c.why;
    }
}

TEST_F(FarmRead, YardBlockRulesAndLookups) {
    Mount({{"yards.txt",
            "name = stray\n"
            "yard = a\n"
            "yard = b\n"  // inside an open block: ignored
            "name = A\n"
            "file = o.txt\n"
            "end\n"
            "yard = b\nfile = o.txt\nend\n"
            "yard = a\nname = second a\nfile = o.txt\nend\n"},
           {"o.txt", ""}});
    CFarmManager farm(&game);
    ASSERT_TRUE(farm.PostConstruct());
    ASSERT_EQ(farm.GetNumYards(), 3);
    EXPECT_EQ(Text(farm.GetYardDef(0)->name), "A");
    EXPECT_EQ(Text(farm.GetYardDef(1)->id), "b");
    EXPECT_EQ(farm.GetYardIndex(CommonString("a")), 2);
    EXPECT_EQ(Text(farm.GetYardDef(CommonString("a"))->name), "second a");
    EXPECT_EQ(farm.GetYardIndex(CommonString("zzz")), -1);
    EXPECT_EQ(farm.GetYardDef(CommonString("zzz")), nullptr);
    EXPECT_EQ(farm.GetYardDef(3), nullptr);
    EXPECT_EQ(farm.GetYardDef(-1), nullptr);
}

TEST_F(FarmRead, EveryObjectKeyAndItsDefault) {
    Mount({{"yards.txt", "yard = y\nfile = objects.txt\nend\n"},
           {"objects.txt",
            "decor = \"fountain\"\n"
            "  name = \"Fountain\"\n"
            "  desc = A fountain\n"
            "  name_id = ID_Fountain\n"
            "  desc_id = ID_FountainDesc\n"
            "  sprite = fountain_spr\n"
            "  icon_sprite = fountain_icon\n"
            "  image = fountain_img\n"
            "  price = 250\n"
            "  default = no\n"
            "  flag = movable\n"
            "  flag = ground\n"
            "  flag = norotate\n"
            "  flag = shiny\n"
            "  face_offset = 12 -7\n"
            "  scale = 0.75\n"
            "  drag_bottom_offset = 20\n"
            "  effects_shape = 1 2 3 4\n"
            "  effects_shape_seg = 5 6\n"
            "  effects_center = 10 11\n"
            "  effects_shape_closed = 1\n"
            "  effects_name = sparkle\n"
            "  effects_particles_per_frame = 0.5\n"
            "  spot = drink\n"
            "  spot_point = 3 4\n"
            "  spot_point = -5 6\n"
            "  spot_look = 7 -8\n"
            "  moves_on_wind = 5\n"
            "  obj_is_baloon = 1\n"
            "  obj_is_jumper = 0\n"
            "  moves_on_wind_counter = 0.25\n"
            "  shadow_offset = 0.5\n"
            "  obj_shadow_angle = 30\n"
            "  obj_shadow_angle_horz_shift = -4\n"
            "  anim_speed = 1.5\n"
            "end\n"
            "plant = bush\n"
            "end\n"}});
    CFarmManager farm(&game);
    ASSERT_TRUE(farm.PostConstruct());
    YardDef* yard = farm.GetYardDef(0);
    ASSERT_EQ(yard->objects[kCategoryDecor].count, 1);
    const FarmObjectDef& f = *yard->objects[kCategoryDecor][0];
    EXPECT_EQ(Text(f.id), "fountain");
    EXPECT_EQ(f.category, kCategoryDecor);
    EXPECT_EQ(Text(f.name), "Fountain");
    EXPECT_EQ(Text(f.desc), "A fountain");
    EXPECT_EQ(Text(f.nameId), "ID_Fountain");
    EXPECT_EQ(Text(f.descId), "ID_FountainDesc");
    EXPECT_EQ(Text(f.sprite), "fountain_spr");
    EXPECT_EQ(Text(f.iconSprite), "fountain_icon");
    EXPECT_EQ(Text(f.image), "fountain_img");
    EXPECT_EQ(f.price, 250);
    EXPECT_EQ(f.flags, 0x01u | 0x02u | 0x08u);
    EXPECT_FALSE(f.canRotate);
    EXPECT_EQ(f.faceOffset[0], 12);
    EXPECT_EQ(f.faceOffset[1], -7);
    EXPECT_EQ(f.scale, 49152);
    EXPECT_EQ(f.dragBottomOffset, 20);
    ASSERT_EQ(f.effectShape.count, 3);
    EXPECT_EQ(f.effectShape[0].x, 1 * 65536);
    EXPECT_EQ(f.effectShape[1].y, 4 * 65536);
    EXPECT_EQ(f.effectShape[2].x, 5 * 65536);
    EXPECT_TRUE(f.effectShapeIsPoints);
    EXPECT_TRUE(f.effectShapeClosed);
    EXPECT_EQ(f.effectCenter.x, 10 * 256);
    EXPECT_EQ(f.effectCenter.y, 11 * 256);
    EXPECT_EQ(Text(f.effectName), "sparkle");
    EXPECT_EQ(f.particlesPerFrame, 128);
    EXPECT_EQ(Text(f.spot), "drink");
    ASSERT_EQ(f.spotPoints.count, 2);
    EXPECT_EQ(f.spotPoints[0].x, 3 * 256);
    EXPECT_EQ(f.spotPoints[1].x, -5 * 256);
    EXPECT_EQ(f.spotPoints[1].y, 6 * 256);
    EXPECT_EQ(f.spotLook.x, 7 * 256);
    EXPECT_EQ(f.spotLook.y, -8 * 256);
    EXPECT_EQ(f.movesOnWind, 1);
    EXPECT_EQ(f.isBalloon, 1);
    EXPECT_EQ(f.isJumper, 0);
    EXPECT_EQ(f.windSpeed, 16384);
    EXPECT_EQ(f.shadowOffset, 128);
    EXPECT_EQ(f.shadowAngle, 30);
    EXPECT_EQ(f.shadowHorzShift, -4);
    EXPECT_FLOAT_EQ(f.animSpeed, 1.5f);

    ASSERT_EQ(yard->objects[kCategoryPlants].count, 1);
    const FarmObjectDef& b = *yard->objects[kCategoryPlants][0];
    EXPECT_EQ(Text(b.id), "bush");
    EXPECT_EQ(b.category, kCategoryPlants);
    EXPECT_EQ(Text(b.name) + Text(b.desc) + Text(b.nameId) + Text(b.descId) + Text(b.sprite) + Text(b.iconSprite) +
                  Text(b.image) + Text(b.effectName) + Text(b.spot),
              "");
    EXPECT_EQ(b.price, 0);
    EXPECT_EQ(b.flags, 0u);
    EXPECT_TRUE(b.canRotate);
    EXPECT_EQ(b.faceOffset[0] | b.faceOffset[1], 0);
    EXPECT_EQ(b.scale, 65536);
    EXPECT_EQ(b.shadowOffset, 154);
    EXPECT_EQ(b.animSpeed, 0.0f);
    EXPECT_EQ(b.movesOnWind + b.isBalloon + b.isJumper + b.shadowAngle + b.shadowHorzShift, 0);
    EXPECT_EQ(b.windSpeed, 655);
    EXPECT_EQ(b.dragBottomOffset, -1000);
    EXPECT_EQ(b.effectShape.count, 0);
    EXPECT_FALSE(b.effectShapeIsPoints);
    EXPECT_FALSE(b.effectShapeClosed);
    EXPECT_EQ(b.effectCenter.x | b.effectCenter.y, 0);
    EXPECT_EQ(b.particlesPerFrame, 256);
    EXPECT_EQ(b.spotPoints.count, 0);
    EXPECT_EQ(b.spotLook.x | b.spotLook.y, 0);
}

TEST_F(FarmRead, MalformedListValuesAddNothing) {
    struct TCase {
        const char* line;
        int shapePoints;
        bool pointsFlag;
        int spotPoints;
        const char* why;
    } cases[] = {
        {"effects_shape = 1 2 3", 0, false, 0, "an odd count of shape numbers adds no point"},
        {"effects_shape = 1", 0, false, 0, "one number is no point"},
        {"effects_shape_seg = 1 2 3", 0, false, 0, "the points flag needs points"},
        {"spot_point = 4", 0, false, 0, "a spot point with one number adds nothing"},
        {"effects_shape = 1 2\neffects_shape = 3 4 5 6", 3, false, 0, "shape lines append"},
    };
    for (const TCase& c : cases) {
        Mount({{"yards.txt", "yard = y\nfile = o.txt\nend\n"},
               {"o.txt", std::string("bird = b\n") + c.line + "\nend\n"}});
        CFarmManager farm(&game);
        ASSERT_TRUE(farm.PostConstruct()) << c.why;
        const FarmObjectDef& def = *farm.GetYardDef(0)->objects[kCategoryBirds][0];
        EXPECT_EQ(def.effectShape.count, c.shapePoints) << c.why;
        EXPECT_EQ(def.effectShapeIsPoints, c.pointsFlag) << c.why;
        EXPECT_EQ(def.spotPoints.count, c.spotPoints) << c.why;
    }
}

TEST_F(FarmRead, BlockKeywordsObjectAndLookups) {
    Mount({{"yards.txt", "yard = y1\nfile = one.txt\nend\nyard = y2\nfile = two.txt\nend\n"},
           {"one.txt",
            "price = 5\n"       // outside a block: skipped
            "object = ghost\n"  // defines nothing ...
            "price = 9\n"       // ... so its lines are skipped like any line outside a block
            "end\n"
            "bird = bird1\nprice = 10\ncomfort = bench\nend\n"  // a second keyword inside a block is skipped
            "comfort = bench\nprice = 30\nend\n"
            "decor = bird1\nprice = 77\nend\n"},
           {"two.txt", "plant = tree\nprice = 40\nend\nbird = bird1\nprice = 11\nend\n"}});
    CFarmManager farm(&game);
    ASSERT_TRUE(farm.PostConstruct());
    YardDef* y1 = farm.GetYardDef(0);
    EXPECT_EQ(y1->objects[0].count, 1);
    EXPECT_EQ(y1->objects[1].count, 0);
    EXPECT_EQ(y1->objects[2].count, 1);
    EXPECT_EQ(y1->objects[3].count, 1);
    EXPECT_EQ(farm.GetFarmObjectDef(y1, CommonString("ghost")), nullptr);
    EXPECT_EQ(farm.GetFarmObjectDef(CommonString("ghost")), nullptr);
    // Categories are searched in order 0 to 3: the bird wins over the decor of the same id.
    ASSERT_NE(farm.GetFarmObjectDef(y1, CommonString("bird1")), nullptr);
    EXPECT_EQ(farm.GetFarmObjectDef(y1, CommonString("bird1"))->price, 10);
    EXPECT_EQ(farm.GetFarmObjectDef(y1, CommonString("bench"))->price, 30);
    // Over every yard, the first yard in index order wins.
    EXPECT_EQ(farm.GetFarmObjectDef(CommonString("bird1"))->price, 10);
    EXPECT_EQ(farm.GetFarmObjectDef(CommonString("tree"))->price, 40);
    EXPECT_EQ(farm.GetFarmObjectDef(nullptr, CommonString("tree")), nullptr);
}

TEST_F(FarmRead, MissingFilesFailTheLoad) {
    Mount({{"yards.txt", "yard = y1\nfile = one.txt\nend\nyard = y2\nfile = missing.txt\nend\n"},
           {"one.txt", "bird = b\nend\n"}});
    CFarmManager farm(&game);
    EXPECT_FALSE(farm.PostConstruct());
    EXPECT_EQ(farm.GetYardDef(0)->objects[0].count, 1) << "the yards read before stay";

    Mount({{"other.txt", ""}});
    CFarmManager none(&game);
    EXPECT_FALSE(none.PostConstruct());
    EXPECT_EQ(none.GetNumYards(), 0);
    EXPECT_FALSE(none.ReadObjectDefsFromFile(static_cast<YardDef*>(nullptr)));
}

// An empty or garbage object file leaves its yard black with an empty shop, and a price past an
// int wraps into another price: both are refused, naming the member.
TEST_F(FarmRead, ObjectFilesWithNoObjectsOrPricesOutOfBoundsAreRefused) {
    const struct {
        const char* why;
        std::string objects;
        bool reads;
        const char* told;  // in the check's failure, or on stderr when the read fails
    } cases[] = {
        {"an empty file", "", true, "Data\\y1.txt: 0 objects for the yard y1, where 1 to 1000 are expected"},
        {"garbage", "\x01\x02 not a data file\n=== ///\n", true, "Data\\y1.txt: 0 objects for the yard y1"},
        {"a price past an int", "bird = b\nprice = 99999999999\nend\n", false,
         "farm: object b: a price of 99999999999, outside 0 to 1000000"},
        {"a negative price", "bird = b\nprice = -5\nend\n", false, "farm: object b: a price of -5"},
        {"too many objects", "", true, "Data\\y1.txt: 1001 objects for the yard y1"},
        {"a file cut inside an object's block",
         "bird = b\nprice = 5\nend\nplant = apple_tree\n    name = \"Apple Tree\"\n    price = 35\n    flag = movable",
         false,
         "farm: Data\\y1.txt is damaged: the file ends inside the block of the object apple_tree (no \"end\"): "
         "it is cut short"},
        {"a file cut inside a keyword's name", "bird = b\nend\ndecor = ", false,
         "farm: Data\\y1.txt is damaged: the file ends inside the block of the object ? (no \"end\")"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::string objects = c.objects;
        if (std::string(c.why) == "too many objects")
            for (int i = 0; i < 1001; ++i) objects += "decor = d" + std::to_string(i) + "\nend\n";
        Mount({{"yards.txt", "yard = y1\nfile = y1.txt\nend\n"}, {"y1.txt", objects}});
        CFarmManager farm(&game);
        testing::internal::CaptureStderr();
        const bool read = farm.PostConstruct();
        CommonString failure;
        const bool counted = read && farm.CheckYardObjectCounts(failure);
        const std::string told = testing::internal::GetCapturedStderr() + Text(failure);
        EXPECT_EQ(read, c.reads);
        EXPECT_FALSE(counted);
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        if (!c.reads) {
            EXPECT_NE(told.find("farm: Data\\y1.txt: the object file of yard y1 could not be read"), std::string::npos)
                << told;
        }
    }
    // A yard table cut inside a yard's block is refused too, before any object file is read.
    {
        Mount({{"yards.txt", "yard = y1\nfile = y1.txt\nend\nyard = y2\n  file = y2"}, {"y1.txt", "bird = b\nend\n"}});
        CFarmManager farm(&game);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(farm.PostConstruct());
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find("farm: Data\\yards.txt is damaged: the file ends inside the block of the yard y2 (no "
                            "\"end\"): it is cut short"),
                  std::string::npos)
            << told;
    }
    // The edges still read: one object, and a price at the bound.
    Mount({{"yards.txt", "yard = y1\nfile = y1.txt\nend\n"}, {"y1.txt", "bird = b\nprice = 1000000\nend\n"}});
    CFarmManager farm(&game);
    ASSERT_TRUE(farm.PostConstruct());
    CommonString failure;
    EXPECT_TRUE(farm.CheckYardObjectCounts(failure)) << Text(failure);
    EXPECT_EQ(farm.GetFarmObjectDef(CommonString("b"))->price, 1000000);
}

}  // namespace

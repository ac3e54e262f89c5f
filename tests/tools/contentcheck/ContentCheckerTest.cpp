// The checker over a small pak made here: a pak that keeps every rule gives no finding, and each
// fault planted in it alone gives the finding that names it.
#include <gtest/gtest.h>
#include <png.h>

#include <functional>
#include <map>

#include "contentcheck/ContentChecker.h"
#include "pakwriter/PakWriter.h"
#include "testsupport/ImageFixtures.h"
#include "testsupport/ScratchDir.h"

namespace {

using namespace contentcheck;
using Bytes = std::vector<std::uint8_t>;
using TMembers = std::map<std::string, Bytes>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Png(int w, int h, bool alpha) {
    return MakePng(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4, 200),
                   alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
}

// A RIFF WAVE of PCM samples written byte by byte.
Bytes Wav(int rate, int channels, int samples) {
    Bytes b;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(t[i]));
    };
    const std::uint32_t data = static_cast<std::uint32_t>(samples * channels * 2);
    tag("RIFF");
    put(36 + data, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(channels), 2);
    put(static_cast<std::uint32_t>(rate), 4);
    put(static_cast<std::uint32_t>(rate * channels * 2), 4);
    put(static_cast<std::uint32_t>(channels * 2), 2);
    put(16, 2);
    tag("data");
    put(data, 4);
    for (int i = 0; i < samples * channels; ++i) put(static_cast<std::uint32_t>((i * 300) & 0x3FFF), 2);
    return b;
}

const char* const kRefs =
    "path Lang\\texts.csv A\n"
    "image ui\\logo - A\n"
    "image ui\\bg opaque A\n"
    "set Hud 1 ui A\n"
    "set Strip 4 ui A\n"
    "set Later 1 gameplay B\n"
    "effect Sparks Effects\\sparks.pfd A\n"
    "pfdkey ParticleSprites A\npfdkey ParticleNumSprites A\npfdkey ParticleNumSpritesPerRow A\n"
    "pfdkey MaxParticles A\npfdkey EmissionSpeed A\n"
    "sound SFX_CLICK A\n"
    "font FontA - A\nfont FontB 1 A\n"
    "text ID_HELLO - A\ntext ID_LEVEL %d A\n";

std::string Objects(const std::string& extra) {
    return "decor = yard_bg\n default = 1\n sprite = bg\nend\n"
           "decor = yard_sun\n default = 1\n sprite = sun\nend\n"
           "bird = bird1\n price = 10\n flag = movable\n icon_sprite = icon\nend\n"
           "plant = daisy\n price = 5\n flag = movable\n sprite = s\nend\n"
           "comfort = feeder\n price = 5\n flag = movable\n sprite = s\n spot = eat\n spot_point = 0, 4\nend\n"
           "decor = fence\n price = 5\n flag = movable\n sprite = s\nend\n" +
           extra;
}

// Every member of a pak that keeps all rules (phase A) for the rows of kRefs.
TMembers GoodPak() {
    TMembers m;
    m["Lang\\texts.csv"] = Text(
        ",enUS\n,English\nID_HELLO,Hello\nID_LEVEL,Level %d\nID_P,Pouch\n"
        "ID_P_DESC,Adds 5    to your purse\nID_P_DESC2,Nice\n");
    m["i_vga\\ui\\logo.png"] = Png(8, 8, true);
    m["i_vga\\ui\\bg.png"] = Png(8, 8, false);
    m["ui\\ui_sprites.txt"] = Text(
        "set = Hud\n file = \"sprites\\hud\"\n group = ui\nend\n"
        "set = Strip\n file = \"sprites\\strip\", 4, 2\n group = ui\nend\n"
        "set = iap_pouch\n file = \"sprites\\hud\"\n group = ui\nend\n");
    m["i_vga\\sprites\\hud.png"] = Png(4, 4, true);
    m["i_vga\\sprites\\strip.png"] = Png(8, 8, true);
    m["Effects\\sparks.pfd"] = Text(
        "ParticleSprites = particles\\p_dot\nParticleNumSprites = 2\nParticleNumSpritesPerRow = 2\n"
        "MaxParticles = 50\nEmissionSpeed = 0\n");
    m["i_vga\\particles\\p_dot.png"] = Png(8, 4, true);
    std::string sfx = "sfx = SFX_CLICK\n file = click.wav\nend\n";
    for (int i = 1; i < 6; ++i) sfx += "sfx = SFX_" + std::to_string(i) + "\n file = click.wav\nend\n";
    m["Data\\sfx.txt"] = Text(sfx);
    m["Sound_BB\\click.wav"] = Wav(22050, 1, 100);
    std::string styles;
    for (const char* id : {"FontA", "FontB", "FontC", "FontD", "FontE", "FontF", "FontG", "FontH"})
        styles += std::string("font = ") + id + "\n file = \"fonts\\f.fdb\"\nend\n";
    styles += "style = st_normal\n font = FontA\nend\n";
    m["ui\\ui_iphone\\game_styles.txt"] = Text(styles);
    m["i_vga\\fonts\\f.fdb"] = Bytes(2692, 0);
    m["i_vga\\fonts\\f_rgba.png"] = Png(32, 28, true);
    m["Data\\arenas.txt"] = Text(
        "arena = arena1\n name = \"One\"\nend\n"
        "arena = arena2\n coin_money = 2\n unlock_by = yard1\nend\n"
        "arena = arena3\n coin_money = 3\n unlock_by = yard2\nend\n");
    std::string yards;
    for (int i = 1; i <= 4; ++i) {
        yards += "yard = yard" + std::to_string(i) + "\n file = \"y" + std::to_string(i) + ".txt\"\n";
        if (i > 1) yards += " unlock_after = yard" + std::to_string(i - 1) + ", 2\n";
        yards += "end\n";
    }
    m["Data\\yards.txt"] = Text(yards);
    m["Data\\y1.txt"] =
        Text(Objects("decor = wooden_frog\n price = 5\n flag = movable\n sprite = s\nend\n"
                     "decor = wooden_kittens\n price = 5\n flag = movable\n sprite = s\nend\n"
                     "decor = wooden_dogs\n price = 5\n flag = movable\n sprite = s\nend\n"
                     "comfort = new_basket2\n price = 5\n flag = movable\n sprite = s\nend\n"));
    for (int i = 2; i <= 4; ++i) m["Data\\y" + std::to_string(i) + ".txt"] = Text(Objects(""));
    std::string quests;
    for (int i = 1; i <= 4; ++i)
        quests += "quests_for_yard = yard" + std::to_string(i) +
                  "\n affect_arena = arena1\n quest = q\n  buy1 = feeder\n  buy2 = bird1\n  extraScore = red, 2\n "
                  "end\nend\n";
    m["Data\\miniquests.txt"] = Text(quests);
    m["Data\\addcoins.txt"] = Text(
        "purchase = coins_pouch\n name = ID_P\n desc = ID_P_DESC\n desc2 = ID_P_DESC2\n price = \"$0.99\"\n"
        " sprite_id = iap_pouch\n blackberry_id = \"sku_1\"\n coins = 5\nend\n"
        "purchase = inapp_upgrade_points\n name = ID_P\n desc = ID_P_DESC2\n desc2 = ID_P_DESC2\n"
        " sprite_id = iap_pouch\n blackberry_id = \"sku_2\"\n hide_from_list = 1\nend\n");
    // What the object files name: the objects' pictures, the bird's views and the emotion of the
    // feeder's spot.
    m["ui\\farm_obj_sprites.txt"] = Text(
        "set = s\n file = \"sprites\\hud\"\n group = farm\nend\n"
        "set = bg\n file = \"sprites\\bg\"\n group = farm\nend\n"
        "set = sun\n file = \"sprites\\hud\"\n group = farm\nend\n"
        "set = icons_eat\n file = \"sprites\\hud\"\n group = farm\nend\n"
        "set = icons_question\n file = \"sprites\\hud\"\n group = farm\nend\n");
    m["ui\\shop_sprites.txt"] = Text("set = icon\n file = \"sprites\\hud\"\n group = farm\nend\n");
    std::string views;
    for (const char* view : {"_L", "_T", "_B", "_LT", "_LB"})
        views += std::string("set = Chicken1") + view + "\n file = \"sprites\\walk\", 8, 8\nend\n";
    m["ui\\chicken_sprites.txt"] = Text(views);
    m["i_vga\\sprites\\bg.png"] = Png(8, 8, false);
    m["i_vga\\sprites\\walk.png"] = Png(32, 4, true);
    m["Data\\bird_sounds.txt"] = Text("bird = bird1\n eat = cluck.wav\nend\n");
    m["Sound_BB\\Birds\\cluck.wav"] = Wav(22050, 1, 50);
    return m;
}

class ContentCheckerTest : public ::testing::Test {
protected:
    // Writes the members as a pak (deflated, or stored where named), checks it and returns the
    // findings.
    std::vector<std::string> Check(const TMembers& members, const std::string& refs = kRefs, char phase = 'A',
                                   const std::vector<std::string>& stored = {}) {
        std::vector<pakwriter::TPakMember> list;
        for (const auto& [name, data] : members) {
            pakwriter::TPakMember m;
            m.name = name;
            m.data = data;
            m.deflate = std::find(stored.begin(), stored.end(), name) == stored.end();
            list.push_back(m);
        }
        const std::string path = m_Dir.Path("pak" + std::to_string(m_Serial++) + ".pak");
        EXPECT_TRUE(pakwriter::WriteBytesToFile(path, pakwriter::BuildPak(list)));
        std::vector<std::string> findings;
        std::string error;
        EXPECT_TRUE(CheckPakFile(path, refs, TCheckOptions{phase}, findings, error)) << error;
        return findings;
    }

    CScratchDir m_Dir;
    int m_Serial = 0;
};

std::string Join(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

TEST_F(ContentCheckerTest, APakThatKeepsEveryRuleHasNoFinding) { EXPECT_EQ(Join(Check(GoodPak())), ""); }

TEST_F(ContentCheckerTest, EachPlantedFaultIsFoundByItsOwnFinding) {
    struct TCase {
        const char* fault;
        std::function<void(TMembers&)> plant;
        const char* finding;
        std::size_t count = 1;  // findings in all: the fault's own, and those it must cause
    };
    auto replace = [](TMembers& m, const std::string& member, const std::string& from, const std::string& to) {
        std::string text(m[member].begin(), m[member].end());
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        m[member] = Text(text);
    };
    const std::string csv = "Lang\\texts.csv", sprites = "ui\\ui_sprites.txt", pfd = "Effects\\sparks.pfd";
    const TCase cases[] = {
        {"a text key without text", [&](TMembers& m) { replace(m, csv, "ID_HELLO,Hello\n", ""); },
         "code_refs.txt:16 text ID_HELLO: Lang\\texts.csv has no text for ID_HELLO"},
        {"a format text with other conversions", [&](TMembers& m) { replace(m, csv, "Level %d", "Level %s"); },
         "has the conversions %s, the code supplies %d"},
        {"a text that is not ASCII", [&](TMembers& m) { replace(m, csv, "Hello", "H\xe9llo"); }, "is not ASCII"},
        {"an image missing", [](TMembers& m) { m.erase("i_vga\\ui\\logo.png"); },
         "image ui\\logo: ImageLoad finds no image i_vga\\ui\\logo"},
        {"an opaque image with alpha", [](TMembers& m) { m["i_vga\\ui\\bg.png"] = Png(8, 8, true); },
         "image ui\\bg: must be opaque"},
        {"a set not declared", [&](TMembers& m) { replace(m, sprites, "set = Hud\n", "set = Hood\n"); },
         "no sprite description declares the set Hud"},
        {"a set in the wrong group",
         [&](TMembers& m) { replace(m, sprites, "hud\"\n group = ui", "hud\"\n group = farm"); },
         "the set Hud is in group farm, not ui"},
        {"a ui set whose sheet is missing", [](TMembers& m) { m.erase("i_vga\\sprites\\strip.png"); },
         "the set Strip does not load"},
        {"a set with too few frames", [&](TMembers& m) { replace(m, sprites, "strip\", 4, 2", "strip\", 2, 2"); },
         "the set Strip has 2 frames; it needs 4"},
        {"a sheet that is no whole number of frames",
         [](TMembers& m) { m["i_vga\\sprites\\strip.png"] = Png(9, 8, true); },
         "i_vga\\sprites\\strip.png is 9 x 8, not 2 x 2 whole frames"},
        {"an effect key the game ignores", [&](TMembers& m) { replace(m, pfd, "EmissionSpeed", "EmitSpeed"); },
         "Effects\\sparks.pfd:5: EmitSpeed is no effect key"},
        {"a particle strip of two rows", [&](TMembers& m) { replace(m, pfd, "PerRow = 2", "PerRow = 1"); },
         "differ; strips are one row"},
        {"MaxParticles out of range", [&](TMembers& m) { replace(m, pfd, "MaxParticles = 50", "MaxParticles = 0"); },
         "MaxParticles 0 is outside 1..10000"},
        {"a particle strip missing", [](TMembers& m) { m.erase("i_vga\\particles\\p_dot.png"); },
         "the particle system cannot be set up"},
        {"a sound the table lacks",
         [&](TMembers& m) { replace(m, "Data\\sfx.txt", "sfx = SFX_CLICK", "sfx = SFX_CLACK"); },
         "Data\\sfx.txt has no effect SFX_CLICK"},
        {"a sound at the wrong rate", [](TMembers& m) { m["Sound_BB\\click.wav"] = Wav(44100, 1, 100); },
         "at 44100 Hz; the game's sounds are PCM mono 16 bits at 22050 Hz", 7},  // the row and the six table entries
        {"a bird sound missing", [](TMembers& m) { m.erase("Sound_BB\\Birds\\cluck.wav"); },
         "the pak has no sound Sound_BB\\Birds\\cluck.wav"},
        {"fewer than six effects",
         [&](TMembers& m) { replace(m, "Data\\sfx.txt", "sfx = SFX_5\n file = click.wav\nend\n", ""); },
         "5 effects; the loader's first six steps"},
        {"font records in the wrong order",
         [&](TMembers& m) {
             replace(m, "ui\\ui_iphone\\game_styles.txt", "font = FontA", "font = FontX");
             replace(m, "ui\\ui_iphone\\game_styles.txt", "font = FontB", "font = FontA");
             replace(m, "ui\\ui_iphone\\game_styles.txt", "font = FontX", "font = FontB");
         },
         "font FontB is record 0; the code needs it as record 1"},
        {"a short metrics file", [](TMembers& m) { m["i_vga\\fonts\\f.fdb"] = Bytes(100, 0); },
         "shorter than 2688 bytes", 2},  // both fonts of the rows share the file
        {"a ninth font",
         [](TMembers& m) {
             const std::string more = "font = FontI\n file = \"fonts\\f.fdb\"\nend\n";
             m["ui\\ui_iphone\\game_styles.txt"].insert(m["ui\\ui_iphone\\game_styles.txt"].begin(), more.begin(),
                                                        more.end());
         },
         "the style table refuses it", 2},  // and FontB moves to record 2
        {"arenas out of order",
         [&](TMembers& m) {
             replace(m, "Data\\arenas.txt", "arena = arena2", "arena = arenaX");
             replace(m, "Data\\arenas.txt", "arena = arena3", "arena = arena2");
         },
         "the arenas must be exactly arena1, arena2, arena3 in this order"},
        {"a coin value the start text does not promise",
         [&](TMembers& m) { replace(m, "Data\\arenas.txt", "coin_money = 2", "coin_money = 5"); },
         "coin_money 5; the start text promises 2"},
        {"three yards",
         [&](TMembers& m) {
             replace(m, "Data\\yards.txt", "yard = yard4\n file = \"y4.txt\"\n unlock_after = yard3, 2\nend\n", "");
             replace(m, "Data\\miniquests.txt",
                     "quests_for_yard = yard4\n affect_arena = arena1\n quest = q\n  buy1 = feeder\n  buy2 = bird1\n  "
                     "extraScore = red, 2\n end\nend\n",
                     "");
         },
         "3 yards; the play screen needs 4"},
        {"an unlock without its star count",
         [&](TMembers& m) { replace(m, "Data\\yards.txt", "unlock_after = yard1, 2", "unlock_after = yard1"); },
         "unlock_after needs a yard id (or all_previous) and a star count"},
        {"an object for sale that cannot move",
         [&](TMembers& m) {
             replace(m, "Data\\y2.txt", "price = 5\n flag = movable\n sprite = s\nend\ncomfort",
                     "price = 5\n sprite = s\nend\ncomfort");
         },
         "daisy is for sale but not movable"},
        {"a category with nothing priced",
         [&](TMembers& m) { replace(m, "Data\\y3.txt", "plant = daisy\n price = 5", "plant = daisy\n price = 0"); },
         "nothing priced for sale among the plants"},
        {"a yard without its sun",
         [&](TMembers& m) { replace(m, "Data\\y2.txt", "decor = yard_sun", "decor = yard_moon"); },
         "the default objects yard_bg and yard_sun must both be there"},
        // What object files name: four yards sell bird1 and the feeder, so their faults count four.
        {"a bird missing a view",
         [&](TMembers& m) { replace(m, "ui\\chicken_sprites.txt", "set = Chicken1_LB\n", "set = Chicken1_XX\n"); },
         "Data\\y1.txt bird1: no sprite description declares the set Chicken1_LB", 4},
        {"a bird's view with too few walk frames",
         [&](TMembers& m) {
             replace(m, "ui\\chicken_sprites.txt", "set = Chicken1_T\n file = \"sprites\\walk\", 8, 8",
                     "set = Chicken1_T\n file = \"sprites\\hud\"");
         },
         "the set Chicken1_T has 1 frames; it needs 8", 4},
        {"a spot's emotion missing",
         [&](TMembers& m) { replace(m, "ui\\farm_obj_sprites.txt", "set = icons_eat\n", "set = icons_food\n"); },
         "Data\\y1.txt feeder spot: no sprite description declares the set icons_eat", 4},
        {"an icon outside the farm group",
         [&](TMembers& m) {
             replace(m, "ui\\farm_obj_sprites.txt", "icons_question\n file = \"sprites\\hud\"\n group = farm",
                     "icons_question\n file = \"sprites\\hud\"\n group = ui");
         },
         "the set icons_question is in group ui, not farm", 4},
        {"a robot, a mower, a kennel and a photo board without their sets",
         [&](TMembers& m) {
             replace(m, "Data\\y2.txt", "decor = fence",
                     "comfort = robot\n price = 9\n flag = movable\n icon_sprite = icon\nend\n"
                     "comfort = lawn_mower\n price = 9\n flag = movable\n icon_sprite = icon\nend\n"
                     "decor = doghouse2\n price = 9\n flag = movable\n sprite = s\nend\n"
                     "decor = photostand01\n price = 9\n flag = movable\n sprite = s\nend\n"
                     "decor = fence");
         },
         "Data\\y2.txt robot: no sprite description declares the set robot_right_down", 7 + 5 + 1 + 2 + 1},
        {"a bird without its shop icon", [&](TMembers& m) { replace(m, "Data\\y2.txt", " icon_sprite = icon\n", ""); },
         "Data\\y2.txt bird1: the creature bird1 needs an icon_sprite for the shop"},
        {"an object whose effect the pak lacks",
         [&](TMembers& m) {
             replace(m, "Data\\y2.txt", "decor = fence\n price = 5",
                     "decor = fence\n effects_name = smoke\n price = 5");
         },
         "Data\\y2.txt fence effects_name: the pak has no effect file Effects\\smoke.pfd"},
        {"an achievement's object sold nowhere",
         [&](TMembers& m) { replace(m, "Data\\y1.txt", "decor = wooden_dogs", "decor = stone_dogs"); },
         "no yard sells wooden_dogs"},
        {"a quest naming an object of another yard",
         [&](TMembers& m) {
             replace(m, "Data\\y1.txt", "decor = fence", "decor = fence1");
             replace(m, "Data\\miniquests.txt", "buy1 = feeder", "buy1 = fence1");
             replace(m, "Data\\miniquests.txt", "yard2\n affect_arena = arena1\n quest = q\n  buy1 = feeder",
                     "yard2\n affect_arena = arena1\n quest = q\n  buy1 = fence1");
         },
         "quest q asks for fence1, which yard2 does not sell"},
        {"one object in two quests",
         [&](TMembers& m) {
             replace(m, "Data\\miniquests.txt", " end\nend\nquests_for_yard = yard2",
                     " end\n quest = q2\n  buy1 = daisy\n  buy2 = bird1\n  extraScore = blue, 1\n end\nend\n"
                     "quests_for_yard = yard2");
         },
         "bird1 belongs to two quests of yard1"},
        {"a quest colour the game does not know",
         [&](TMembers& m) { replace(m, "Data\\miniquests.txt", "extraScore = red, 2", "extraScore = purple, 2"); },
         "Data\\miniquests.txt yard1 q: quest q gives no bonus"},
        {"quest sets out of yard order",
         [&](TMembers& m) {
             replace(m, "Data\\miniquests.txt", "quests_for_yard = yard1", "quests_for_yard = yardX");
             replace(m, "Data\\miniquests.txt", "quests_for_yard = yard2", "quests_for_yard = yard1");
         },
         "quest set 1 is for yardX; the sets follow the yards of yards.txt, so it must be yard1",
         3},  // and yardX sells neither of its quest's objects
        {"a coin text without the four blanks",
         [&](TMembers& m) { replace(m, csv, "Adds 5    to your purse", "Adds 5 to your purse"); },
         "the text of ID_P_DESC needs exactly one run of four blanks"},
        {"two products with one SKU", [&](TMembers& m) { replace(m, "Data\\addcoins.txt", "\"sku_2\"", "\"sku_1\""); },
         "inapp_upgrade_points needs a blackberry_id of its own"},
        {"a value cut by a comment inside quotes",
         [&](TMembers& m) { replace(m, "Data\\arenas.txt", "\"One\"", "\"One // Two\""); },
         "Data\\arenas.txt:2: \"//\" inside double quotes starts a comment"},
        {"an unquoted colon in a value", [&](TMembers& m) { replace(m, "Data\\addcoins.txt", "\"$0.99\"", "$0:99"); },
         "Data\\addcoins.txt:5: a value holding ':' must be written in double quotes"},
    };
    const std::string good = Join(Check(GoodPak()));
    ASSERT_EQ(good, "");
    for (const TCase& c : cases) {
        TMembers members = GoodPak();
        c.plant(members);
        const std::vector<std::string> findings = Check(members);
        const std::string all = Join(findings);
        EXPECT_NE(all.find(c.finding), std::string::npos) << c.fault << ":\n" << all;
        EXPECT_EQ(findings.size(), c.count) << c.fault << ":\n" << all;
    }
}

const char* const kTemplateRows =
    "root root_menu A\n"
    "runs root_menu acn_code A\n"
    "runs * acn_wait A\n"
    "reach root_menu txt_hello pb_bar A\n"
    "inside dlg_popup btn_close pb_bar A\n"
    "direct root_menu dlg_main dlg_popup A\n"
    "nested txt_hello A\n"
    "special dlg_popup A\n"
    "caption txt_hello %d A\n"
    "fullbar pb_bar A\n"
    "recthit btn_open btn_absent A\n"
    "tabs dlg_popup 1 A\n"
    "frames btn_open 4 A\n"
    "direct * dlg_wait A\n";

const char* const kTemplate =
    "root = \"root_menu\"\n"
    "    child = \"dlg_main\"\n"
    "        position = 0, 0\n"
    "    end\n"
    "    actions\n"
    "        onCommand = btn_open, \"acn_open\"\n"
    "        onCommand = btn_close, actionBack\n"
    "    end\n"
    "end\n"
    "dialog = \"dlg_main\"\n"
    "    child = \"btn_open\"\n"
    "        position = 4, 4\n"
    "    child = \"txt_hello\"\n"
    "        position = 4, 40\n"
    "    end\n"
    "end\n"
    "button = \"btn_open\"\n"
    "    set = \"Strip\"\n"
    "    size = 40, 30\n"
    "    caption = \"Hello\"\n"
    "    txtid = ID_HELLO\n"
    "    style = st_normal\n"
    "end\n"
    "text = \"txt_hello\"\n"
    "    caption = \"Level %d\"\n"
    "    txtid = ID_LEVEL\n"
    "end\n"
    "dialog = \"dlg_popup\"\n"
    "    background = \"img_back\"\n"
    "    child = \"btn_close\"\n"
    "        position = 0, 0\n"
    "    child = \"pb_bar\"\n"
    "        position = 0, 30\n"
    "    end\n"
    "end\n"
    "image = \"img_back\"\n"
    "    set = \"Hud\"\n"
    "end\n"
    "button = \"btn_close\"\n"
    "    set = \"Strip\"\n"
    "end\n"
    "progress = \"pb_bar\"\n"
    "    set_empty = \"Strip\"\n"
    "    set_full = \"Strip\"\n"
    "    frame_full = 1\n"
    "end\n"
    "action = \"acn_open\"\n"
    "    createV2 = \"dlg_popup\", 0, 0, center, center, center, center, 1, 0, 0.25, 1, 0.2\n"
    "end\n"
    "dialog = \"dlg_wait\"\n"
    "end\n"
    "action = \"acn_wait\"\n"
    "    create = \"dlg_wait\", 0, 0, left, 1, 0, 0.2, 1, 0.2\n"
    "end\n"
    "action = \"acn_code\"\n"
    "    destroy = \"dlg_popup\", 1, 0.2\n"
    "end\n";

TEST_F(ContentCheckerTest, TheTemplateRowsAndReferences) {
    TMembers good = GoodPak();
    good["ui\\ui_iphone\\ui_main.txt"] = Text(kTemplate);
    const std::string refs = std::string(kRefs) + kTemplateRows;
    ASSERT_EQ(Join(Check(good, refs)), "");

    struct TCase {
        const char* fault;
        const char* from;
        const char* to;
        const char* finding;
    };
    const TCase cases[] = {
        {"the root missing", "root = \"root_menu\"", "root = \"root_other\"", "the template has no root root_menu"},
        {"a code action missing", "action = \"acn_code\"", "action = \"acn_other\"",
         "the template has no action acn_code"},
        {"a required id out of reach", "        onCommand = btn_open, \"acn_open\"\n", "",
         "pb_bar cannot be reached from root_menu"},
        {"a required child missing", "    child = \"btn_close\"\n        position = 0, 0\n", "",
         "dlg_popup holds no child btn_close"},
        {"a game class placed on the root", "    child = \"dlg_main\"\n        position = 0, 0\n",
         "    child = \"dlg_main\"\n        position = 0, 0\n    child = \"txt_hello\"\n",
         "txt_hello is placed on the root root_menu; it must sit inside a dialog"},
        {"a special dialog inside a dialog", "    child = \"txt_hello\"\n",
         "    child = \"dlg_popup\"\n    child = \"txt_hello\"\n",
         "dlg_popup is placed inside the dialog dlg_main; only a root makes it"},
        {"a format caption with other conversions", "Level %d\"", "Level %s\"",
         "the caption \"Level %s\" has the conversions %s, the code supplies %d"},
        {"a tab control with a tab too many", "    child = \"pb_bar\"\n", "    child = \"btn_open\"\n",
         "dlg_popup holds 2 tab buttons, the code expects 1"},
        {"a button of too few frames", "button = \"btn_open\"\n    set = \"Strip\"",
         "button = \"btn_open\"\n    set = \"Hud\"", "the set Hud has 1 frames; it needs 4"},
        {"the action on every root creating something else", "    create = \"dlg_wait\"", "    create = \"dlg_main\"",
         "dlg_wait is not a direct child of *"},
        {"a progress bar without a full image", "    set_full = \"Strip\"\n", "",
         "pb_bar is no progress bar with a full image"},
        {"a style the table lacks", "style = st_normal", "style = st_fancy",
         "style st_fancy is not in game_styles.txt"},
        {"a txtid without text", "txtid = ID_HELLO", "txtid = ID_HOLA", "has no text for its txtid ID_HOLA"},
        {"a button set of one frame", "button = \"btn_close\"\n    set = \"Strip\"",
         "button = \"btn_close\"\n    set = \"Hud\"", "the set Hud has 1 frames; it needs 2"},
        {"a child that is no record", "    child = \"btn_open\"", "    child = \"btn_opem\"",
         "a child names btn_opem, which is no record"},
        {"a binding to no action", "btn_open, \"acn_open\"", "btn_open, \"acn_opem\"",
         "onCommand runs acn_opem, which is no action"},
        {"a step creating no record", "createV2 = \"dlg_popup\"", "createV2 = \"dlg_popop\"",
         "a create step names dlg_popop, which is no record"},
        {"a rectangle-hit button without a size", "    size = 40, 30\n", "",
         "btn_open is hit-tested by its rectangle but gives no size"},
        {"a rectangle-hit button one pixel high", "size = 40, 30", "size = 40, 1",
         "btn_open is hit-tested by its rectangle but gives no size"},
        {"a placement that fades out", "        position = 4, 40\n", "        position = 4, 40\n        out = 0, 0.2\n",
         "the placement of txt_hello fades out"},
    };
    for (const TCase& c : cases) {
        TMembers members = good;
        std::string text = kTemplate;
        const auto at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.fault;
        text.replace(at, std::string(c.from).size(), c.to);
        members["ui\\ui_iphone\\ui_main.txt"] = Text(text);
        const std::string all = Join(Check(members, refs));
        EXPECT_NE(all.find(c.finding), std::string::npos) << c.fault << ":\n" << all;
    }

    TMembers percent = good;
    std::string csv(percent["Lang\\texts.csv"].begin(), percent["Lang\\texts.csv"].end());
    percent["Lang\\texts.csv"] = Text(csv + "ID_RATE,100% fun\n");
    EXPECT_NE(Join(Check(percent, refs)).find("ID_RATE: the text holds '%', but no code fills it in as a format"),
              std::string::npos);
}

// The yard and the farm shop are built once the "farm" sprite sets are loaded: what only they show
// may be drawn from those sets; a record another screen shows may not.
TEST_F(ContentCheckerTest, OnlyTheFarmsScreensMayShowTheFarmsSets) {
    const std::string farmOnly =
        "root = \"root_yard\"\n    child = \"pb_farm\"\n        position = 0, 0\n    end\nend\n"
        "progress = \"pb_farm\"\n    set_empty = \"s\"\n    set_full = \"s\"\nend\n"
        "root = \"root_menu\"\n    child = \"img_logo\"\n        position = 0, 0\n    end\nend\n"
        "image = \"img_logo\"\n    set = \"Hud\"\nend\n";
    TMembers members = GoodPak();
    members["ui\\ui_iphone\\ui_main.txt"] = Text(farmOnly);
    EXPECT_EQ(Join(Check(members)), "");

    // The menu shows the bar too.
    std::string shared = farmOnly;
    const std::string menuChild = "child = \"img_logo\"";
    shared.replace(shared.find(menuChild), menuChild.size(), "child = \"pb_farm\"");
    members["ui\\ui_iphone\\ui_main.txt"] = Text(shared);
    const std::string all = Join(Check(members));
    EXPECT_NE(all.find("pb_farm empty set: the set s is in group farm, not ui"), std::string::npos) << all;
}

TEST_F(ContentCheckerTest, RowsOfLaterPhasesWaitForTheirPhase) {
    EXPECT_EQ(Join(Check(GoodPak(), kRefs, 'A')), "");
    EXPECT_NE(Join(Check(GoodPak(), kRefs, 'B')).find("code_refs.txt:6 set Later: no sprite description declares"),
              std::string::npos);
}

TEST_F(ContentCheckerTest, MusicMustBeStoredAndDecode) {
    const std::string refs = "music Sound_BB\\m.ogg 0 A\n";
    TMembers members{{"Sound_BB\\m.ogg", Text("not an ogg stream")}};
    EXPECT_NE(Join(Check(members, refs)).find("Sound_BB\\m.ogg is deflated (method 8); streamed music must be stored"),
              std::string::npos);
    EXPECT_NE(Join(Check(members, refs, 'A', {"Sound_BB\\m.ogg"})).find("does not open as an Ogg Vorbis stream"),
              std::string::npos);
    EXPECT_NE(Join(Check({}, refs)).find("the pak has no member Sound_BB\\m.ogg"), std::string::npos);
}

}  // namespace

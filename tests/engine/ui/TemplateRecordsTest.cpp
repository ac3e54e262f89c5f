// The property keys of every record kind: what each key sets, the order in which a record offers a
// line to its base, and how integers keep the low bits of their field.
#include "ui/TemplateRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TemplateFixtures.h"

namespace {

using templatetest::Parse;
using templatetest::Record;
using templatetest::S;

// One record block and what its fields must hold afterwards.
struct TKeyCase {
    const char* why;
    const char* block;  // the whole block, opening line to "end"
    std::function<void(TTemplate&)> check;
};

void RunCases(const std::vector<TKeyCase>& cases) {
    for (const TKeyCase& c : cases) {
        SCOPED_TRACE(c.why);
        auto t = Parse(c.block);
        ASSERT_NE(t, nullptr);
        c.check(*t);
    }
}

TEST(TemplateRecordsTest, KeysOfEveryRecordAndOfTexts) {
    RunCases({
        {"txtid and size on any record", "image = i\n txtid = \"TXT_HELLO\"\n size = 120, 40\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(S(r->txtid), "TXT_HELLO");
             EXPECT_EQ(r->width, 120);
             EXPECT_EQ(r->height, 40);
         }},
        {"size with one value: the height reads 0", "text = x\n size = 120\nend",
         [](TTemplate& t) {
             auto* r = Record<TWText>(t, "x");
             EXPECT_EQ(r->width, 120);
             EXPECT_EQ(r->height, 0);
         }},
        {"size keeps the low 16 bits", "text = x\n size = 70000 -70000\nend",
         [](TTemplate& t) {
             auto* r = Record<TWText>(t, "x");
             EXPECT_EQ(r->width, static_cast<short>(70000 & 0xFFFF));
             EXPECT_EQ(r->height, static_cast<short>(-70000));
         }},
        {"caption and style lose their quotes", "text = x\n caption = \"Hi, there\"\n style = \"Big\"\nend",
         [](TTemplate& t) {
             auto* r = Record<TWText>(t, "x");
             EXPECT_EQ(S(r->text.caption), "Hi, there");
             EXPECT_EQ(S(r->text.style), "Big");
         }},
        {"color with three parts sets the colour and its flag", "text = x\n color = 255,200 0\nend",
         [](TTemplate& t) {
             auto* r = Record<TWText>(t, "x");
             EXPECT_EQ(r->text.color.r, 255);
             EXPECT_EQ(r->text.color.g, 200);
             EXPECT_EQ(r->text.color.b, 0);
             EXPECT_EQ(r->text.givenFlags, kTextColorGiven);
         }},
        {"color with two parts changes nothing", "text = x\n color = 10 20\nend",
         [](TTemplate& t) {
             auto* r = Record<TWText>(t, "x");
             EXPECT_EQ(r->text.color.r, 0);
             EXPECT_EQ(r->text.givenFlags, 0);
         }},
        {"color bytes keep their low 8 bits", "text = x\n color = 256 -1 511\nend",
         [](TTemplate& t) {
             auto* r = Record<TWText>(t, "x");
             EXPECT_EQ(r->text.color.r, 0);
             EXPECT_EQ(r->text.color.g, 255);
             EXPECT_EQ(r->text.color.b, 255);
         }},
    });
}

TEST(TemplateRecordsTest, EffectValues) {
    struct TEffectCase {
        const char* value;
        int effect;
        bool flagged;
        const char* why;
    };
    const TEffectCase cases[] = {
        {"2", 2, true, "one digit is a number"},
        {"glow", 3, true, "a name"},
        {"\"white border2\"", 6, true, "a quoted name with a blank"},
        {"white_border", 4, true, "name with underscore"},
        {"Glow", 0, false, "names are case-sensitive"},
        {"12", 0, false, "two characters are a name, and no such name"},
        {"7", 0, true, "a digit past the table maps to none"},
        {"9", 0, true, "the highest digit maps to none"},
        {"x", 0, true, "one character that is no digit reads as 0"},
    };
    for (const TEffectCase& c : cases) {
        SCOPED_TRACE(c.why);
        auto t = Parse(std::string("text = x\n effect = ") + c.value + "\nend");
        auto* r = Record<TWText>(*t, "x");
        EXPECT_EQ(r->text.effect, c.effect);
        EXPECT_EQ((r->text.givenFlags & kTextEffectGiven) != 0, c.flagged);
    }
    // An unknown name after a known one: the effect drops to 0, the flag stays as it was.
    auto t = Parse("text = x\n effect = border\n effect = sparkle\nend");
    auto* r = Record<TWText>(*t, "x");
    EXPECT_EQ(r->text.effect, 0);
    EXPECT_EQ(r->text.givenFlags, kTextEffectGiven);
}

TEST(TemplateRecordsTest, ImageKeys) {
    RunCases({
        {"file with only a path", "image = i\n file = Images\\a.png\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(S(r->image.file), "Images\\a.png");
             EXPECT_EQ(r->image.frameCount, 1);
             EXPECT_EQ(r->image.framesPerRow, 1);
             EXPECT_FALSE(r->image.useSet);
         }},
        {"file with one number", "image = i\n file = a, 4\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(r->image.frameCount, 4);
             EXPECT_EQ(r->image.framesPerRow, 4);
         }},
        {"file with two numbers", "image = i\n file = a 4 2\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(r->image.frameCount, 4);
             EXPECT_EQ(r->image.framesPerRow, 2);
         }},
        {"afile after file changes no frame number", "image = i\n file = a\n afile = a_a, 4\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(S(r->image.afile), "a_a");
             EXPECT_EQ(r->image.frameCount, 1);
             EXPECT_EQ(r->image.framesPerRow, 1);
         }},
        {"afile before file sets both numbers", "image = i\n afile = a_a, 4\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(r->image.frameCount, 4);
             EXPECT_EQ(r->image.framesPerRow, 4);
         }},
        {"afile with two numbers before file", "image = i\n afile = a_a 6 3\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_EQ(r->image.frameCount, 6);
             EXPECT_EQ(r->image.framesPerRow, 3);
         }},
        {"set and frame", "image = i\n set = \"ui buttons\"\n frame = 70000\nend",
         [](TTemplate& t) {
             auto* r = Record<TImage>(t, "i");
             EXPECT_TRUE(r->image.useSet);
             EXPECT_EQ(S(r->image.set), "ui buttons");
             EXPECT_EQ(r->image.frame, static_cast<short>(70000));
         }},
        {"bare force_4444_texture", "image = i\n force_4444_texture\nend",
         [](TTemplate& t) { EXPECT_EQ(Record<TImage>(t, "i")->image.textureFormat, 2); }},
        {"force_8888_texture = 1", "image = i\n force_8888_texture = 1\nend",
         [](TTemplate& t) { EXPECT_EQ(Record<TImage>(t, "i")->image.textureFormat, 1); }},
        {"force_4444_texture = 0 leaves it", "image = i\n force_8888_texture\n force_4444_texture = 0\nend",
         [](TTemplate& t) { EXPECT_EQ(Record<TImage>(t, "i")->image.textureFormat, 1); }},
    });
}

TEST(TemplateRecordsTest, ButtonAndCheckBoxKeys) {
    RunCases({
        {"a button takes image, text and shoulder keys",
         "button = b\n set = btns\n frame = 2\n caption = Play\n color = 1 2 3\n shoulder = right\nend",
         [](TTemplate& t) {
             auto* r = Record<TButton>(t, "b");
             EXPECT_EQ(S(r->image.set), "btns");
             EXPECT_EQ(r->image.frame, 2);
             EXPECT_EQ(S(r->text.caption), "Play");
             EXPECT_EQ(r->text.color.b, 3);
             EXPECT_EQ(r->shoulder, 2);
         }},
        {"shoulder is case-sensitive", "button = b\n shoulder = Left\nend",
         [](TTemplate& t) { EXPECT_EQ(Record<TButton>(t, "b")->shoulder, 0); }},
        {"check box: file goes to the button image, file_checked to the ticked one",
         "checkBox = c\n file = off.png\n file_checked = on.png 2\n afile_checked = on_a\n set_checked = ticks\nend",
         [](TTemplate& t) {
             auto* r = Record<TCheckBox>(t, "c");
             EXPECT_EQ(S(r->image.file), "off.png");
             EXPECT_EQ(S(r->checkedImage.file), "on.png");
             EXPECT_EQ(r->checkedImage.frameCount, 2);
             EXPECT_EQ(S(r->checkedImage.afile), "on_a");
             EXPECT_TRUE(r->checkedImage.useSet);
             EXPECT_EQ(S(r->checkedImage.set), "ticks");
         }},
        {"textAlign words", "checkBox = a\n textAlign = Side\nend\ncheckBox = b\n textAlign = left\nend",
         [](TTemplate& t) {
             EXPECT_EQ(Record<TCheckBox>(t, "a")->textAlign, 1);
             EXPECT_EQ(Record<TCheckBox>(t, "b")->textAlign, 0);
         }},
        {"textOffset: 0, a number, and no number",
         "checkBox = a\n textOffset = 0\nend\ncheckBox = b\n textOffset = -4\nend\ncheckBox = c\n textOffset = "
         "wide\nend",
         [](TTemplate& t) {
             EXPECT_EQ(Record<TCheckBox>(t, "a")->textOffset, 0);
             EXPECT_EQ(Record<TCheckBox>(t, "b")->textOffset, -4);
             EXPECT_EQ(Record<TCheckBox>(t, "c")->textOffset, kNoTextOffset);
         }},
    });
}

TEST(TemplateRecordsTest, TextVariantsProgressAndTiles) {
    RunCases({
        {"mt_align words and integers",
         "text_multi = a\n mt_align = right\n row_add_dy = 3\nend\ntext_multi = b\n mt_align = 200\nend",
         [](TTemplate& t) {
             EXPECT_EQ(Record<TTextMulti>(t, "a")->mt_align, 2);
             EXPECT_EQ(Record<TTextMulti>(t, "a")->row_add_dy, 3);
             EXPECT_EQ(Record<TTextMulti>(t, "b")->mt_align, static_cast<signed char>(200));
         }},
        {"infoType names and digits",
         "textInfo = a\n infoType = buildDate\nend\ntextInfo = b\n infoType = 4\nend\ntextInfo = c\n infoType = "
         "\"shopLink\"\nend\ntextInfo = d\n infoType = 2\nend",
         [](TTemplate& t) {
             EXPECT_EQ(Record<TTextInfo>(t, "a")->infoType, kInfoBuildDate);
             EXPECT_EQ(Record<TTextInfo>(t, "b")->infoType, kInfoShopLink2);
             EXPECT_EQ(Record<TTextInfo>(t, "c")->infoType, kInfoShopLink);
             EXPECT_EQ(Record<TTextInfo>(t, "d")->infoType, kInfoVersion);
         }},
        {"progress: the two images",
         "progress = p\n file_empty = e.png\n afile_full = f_a 3\n set_full = bar\n frame_full = 1\n frame_empty = "
         "4\n set_empty = bars\nend",
         [](TTemplate& t) {
             auto* r = Record<TProgress>(t, "p");
             EXPECT_EQ(S(r->emptyImage.file), "e.png");
             EXPECT_EQ(S(r->fullImage.afile), "f_a");
             EXPECT_EQ(r->fullImage.frameCount, 3);
             EXPECT_EQ(S(r->fullImage.set), "bar");
             EXPECT_EQ(r->fullImage.frame, 1);
             EXPECT_EQ(r->emptyImage.frame, 4);
             EXPECT_EQ(S(r->emptyImage.set), "bars");
             EXPECT_EQ(r->fullOffsetX, 0);
             EXPECT_EQ(r->clipEmpty, 0);
         }},
        {"tiles: middle column keys set no border flag", "tiledBG = a\n top = t\n center = c\n bottom = b\nend",
         [](TTemplate& t) {
             auto* r = Record<TTiledBG>(t, "a");
             EXPECT_EQ(S(r->tiles[kTileTop]), "t");
             EXPECT_EQ(S(r->tiles[kTileCenter]), "c");
             EXPECT_EQ(S(r->tiles[kTileBottom]), "b");
             EXPECT_FALSE(r->hasBorderTiles);
         }},
        {"tiles: a corner sets the border flag", "tiledBG = a\n right_bottom = rb\nend",
         [](TTemplate& t) {
             auto* r = Record<TTiledBG>(t, "a");
             EXPECT_EQ(S(r->tiles[kTileRightBottom]), "rb");
             EXPECT_TRUE(r->hasBorderTiles);
         }},
        {"single_set and own_tiles",
         "tiledBG = a\n single_set = whatever\n own_tiles = -3, 2\nend\ntiledBG = b\n own_tiles = 300 1\nend\ntiledBG "
         "= c\n "
         "own_tiles = 5\nend",
         [](TTemplate& t) {
             auto* a = Record<TTiledBG>(t, "a");
             EXPECT_TRUE(a->single_set);
             EXPECT_TRUE(a->hasBorderTiles);
             EXPECT_TRUE(a->own_tiles);
             EXPECT_EQ(a->ownTilesX, 0);
             EXPECT_EQ(a->ownTilesY, 2);
             EXPECT_EQ(Record<TTiledBG>(t, "b")->ownTilesX, 44);  // 300 = 0x12C, low byte 0x2C
             auto* c = Record<TTiledBG>(t, "c");
             EXPECT_TRUE(c->own_tiles);
             EXPECT_EQ(c->ownTilesX, 0);
         }},
    });
}

// An image description as one line, for comparing every field at once.
std::string Describe(const ImageDesc& d) {
    return "file=" + S(d.file) + " afile=" + S(d.afile) + " set=" + S(d.set) + (d.useSet ? " (set)" : "") +
           " frame=" + std::to_string(d.frame) + " frames=" + std::to_string(d.frameCount) + "/" +
           std::to_string(d.framesPerRow);
}

// Each progress-bar key alone: it fills its own field of its own image, and the other image keeps
// every default.
TEST(TemplateRecordsTest, EachProgressKeyFillsItsOwnImageOnly) {
    const std::string untouched = Describe(ImageDesc());
    const struct {
        const char* line;
        bool full;  // which image the key belongs to
        const char* described;
    } cases[] = {
        {"file_empty = e", false, "file=e afile= set= frame=0 frames=1/1"},
        {"file_full = f", true, "file=f afile= set= frame=0 frames=1/1"},
        {"afile_empty = ea", false, "file= afile=ea set= frame=0 frames=0/0"},
        {"afile_full = fa", true, "file= afile=fa set= frame=0 frames=0/0"},
        {"set_empty = es", false, "file= afile= set=es (set) frame=0 frames=0/0"},
        {"set_full = fs", true, "file= afile= set=fs (set) frame=0 frames=0/0"},
        {"frame_empty = 3", false, "file= afile= set= frame=3 frames=0/0"},
        {"frame_full = 4", true, "file= afile= set= frame=4 frames=0/0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto t = Parse(std::string("progress = p\n ") + c.line + "\nend");
        ASSERT_NE(t, nullptr);
        const TProgress* r = Record<TProgress>(*t, "p");
        EXPECT_EQ(Describe(c.full ? r->fullImage : r->emptyImage), c.described);
        EXPECT_EQ(Describe(c.full ? r->emptyImage : r->fullImage), untouched);
    }
}

// Each tile key alone names its own place of the 3 x 3 grid (row by row) and no other; the six
// keys of the side columns also mark the background as having border tiles.
TEST(TemplateRecordsTest, EachTileKeyNamesItsOwnPlace) {
    const struct {
        const char* key;
        int row, column;
    } cases[] = {{"left_top", 0, 0},    {"top", 0, 1},    {"right_top", 0, 2},
                 {"left", 1, 0},        {"center", 1, 1}, {"right", 1, 2},
                 {"left_bottom", 2, 0}, {"bottom", 2, 1}, {"right_bottom", 2, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        auto t = Parse(std::string("tiledBG = a\n ") + c.key + " = tile\nend");
        ASSERT_NE(t, nullptr);
        const TTiledBG* r = Record<TTiledBG>(*t, "a");
        for (int place = 0; place < kTileCount; ++place)
            EXPECT_EQ(S(r->tiles[place]), place == c.row * 3 + c.column ? "tile" : "") << "place " << place;
        EXPECT_EQ(r->hasBorderTiles, c.column != 1);
        EXPECT_FALSE(r->single_set);
    }
}

TEST(TemplateRecordsTest, TunerDialogAndRootKeys) {
    RunCases({
        {"tuner keys",
         "tuner = t\n tunerId = track\n tunerFrame = 300\n fullId = fill\n fullFrame = 2\n handleId = knob\n step = "
         "65541\n max = 50\n offsetLeft = 4\n offsetRight = -6\n vertical\nend",
         [](TTemplate& t) {
             auto* r = Record<TTuner>(t, "t");
             EXPECT_EQ(S(r->tunerId), "track");
             EXPECT_EQ(r->tunerFrame, 44);
             EXPECT_EQ(S(r->fullId), "fill");
             EXPECT_EQ(r->fullFrame, 2);
             EXPECT_EQ(S(r->handleId), "knob");
             EXPECT_EQ(r->step, 5);  // 65541 keeps its low 16 bits
             EXPECT_EQ(r->max, 50);
             EXPECT_EQ(r->offsetLeft, 4);
             EXPECT_EQ(r->offsetRight, -6);
             EXPECT_TRUE(r->vertical);
         }},
        {"vertical under any key", "tuner = t\n orientation = vertical\nend",
         [](TTemplate& t) { EXPECT_TRUE(Record<TTuner>(t, "t")->vertical); }},
        {"dialog keys",
         "dialog = d\n bgCenterTilesX = 257\n bgCenterTilesY = 3\n background = \"bg\"\n color = 1 2 3\n size_method = "
         "0\n modal = children\nend",
         [](TTemplate& t) {
             auto* r = Record<TDialog>(t, "d");
             EXPECT_EQ(r->bgCenterTilesX, 1);
             EXPECT_EQ(r->bgCenterTilesY, 3);
             EXPECT_EQ(S(r->background), "bg");
             EXPECT_TRUE(r->hasColor);
             EXPECT_EQ(r->color.g, 2);
             EXPECT_EQ(r->size_method, 0);
             EXPECT_EQ(r->modal, kModalChildren);
         }},
        {"dialog modal words", "dialog = a\n modal = position\nend\ndialog = b\n modal = Children\nend",
         [](TTemplate& t) {
             EXPECT_EQ(Record<TDialog>(t, "a")->modal, kModalPosition);
             EXPECT_EQ(Record<TDialog>(t, "b")->modal, kModalDefault);
         }},
        {"root takes no modal, but alignBg", "root = r\n modal = children\n alignBg = right\n alignBgV = 7\nend",
         [](TTemplate& t) {
             auto* r = Record<TRoot>(t, "r");
             EXPECT_EQ(r->modal, kModalDefault);
             EXPECT_EQ(r->alignBg, 2);
             EXPECT_EQ(r->alignBgV, 7);
             EXPECT_EQ(r->size_method, 0);
         }},
    });
}

// SetProperty answers whether the key belongs to the record's class or a base, whatever the value.
TEST(TemplateRecordsTest, SetPropertyTellsWhichKeysARecordTakes) {
    struct TTaken {
        int kind;
        const char* key;
        const char* value;
        int taken;
    };
    const TTaken cases[] = {
        {kWidgetImage, "size", "", 1},
        {kWidgetImage, "caption", "x", 0},
        {kWidgetText, "file", "x", 0},
        {kWidgetText, "color", "1", 1},
        {kWidgetButton, "caption", "x", 1},
        {kWidgetButton, "textAlign", "1", 0},
        {kWidgetCheckBox, "shoulder", "left", 1},
        {kWidgetCheckBox, "set_checked", "s", 1},
        {kWidgetTextMulti, "infoType", "1", 0},
        {kWidgetTextInfo, "mt_align", "1", 0},
        {kWidgetProgress, "file", "x", 0},
        {kWidgetProgress, "frame_full", "x", 1},
        {kWidgetTiledBG, "left", "x", 1},
        {kWidgetTuner, "", "vertical", 1},
        {kWidgetTuner, "verticals", "", 0},
        {kWidgetDialog, "modal", "x", 1},
        {kWidgetRoot, "modal", "children", 0},
        {kWidgetRoot, "color", "1 2", 1},
        {kWidgetImage, "", "force_8888_texture", 1},
        {kWidgetImage, "filex", "a", 0},
        {kWidgetImage, "fil", "a", 0},
    };
    for (const TTaken& c : cases) {
        TWidget* record = TTemplate::CreateWidget(c.kind);
        ASSERT_NE(record, nullptr);
        CommonStringRS<50> key(c.key);
        CommonStringRS<50> value(c.value);
        EXPECT_EQ(record->SetProperty(key, value), c.taken) << WidgetTypeName(c.kind) << " " << c.key;
        delete record;
    }
}

}  // namespace

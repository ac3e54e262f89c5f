// The style table: reading game_styles.txt, its limits, defaults and fallbacks, and the effect
// names.
#include "ui/UILayout.h"

#include <gtest/gtest.h>

#include <string>

#include "text/BitmapFont.h"

namespace {

std::string S(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

int Load(CUILayout& layout, const std::string& text) { return layout.LoadFromUILayoutBytes(text, "styles.txt"); }

std::string Blocks(const char* kind, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::string(kind) + " = " + kind + std::to_string(i) + "\nend\n";
    return text;
}

TEST(UILayoutTest, ReadsFontsAndStyles) {
    CUILayout layout(nullptr);
    ASSERT_EQ(Load(layout,
                   "// fonts\n"
                   "font = FontSmall\n file = \"fonts\\small.png\"\n add_width = -1\n add_height = 300\n"
                   "  style = ignored\nend\n"
                   "font = FontBig\n file = fonts\\big.png\nend\n"
                   "colour = 1 2 3\n"  // between blocks: ignored
                   "style = Title\n font = \"FontBig\"\n color = 255,200,0\n effect = glow\nend\n"
                   "style = Body\n color = 1 2\n effect = 12\n font = FontSmall\n"),
              1);
    ASSERT_EQ(layout.GetFontCount(), 2);
    ASSERT_EQ(layout.GetStyleCount(), 2);
    const UILayout_FontData* small = layout.GetFontById(CommonString("FontSmall"));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(S(small->file), "fonts\\small.png");
    EXPECT_EQ(small->add_width, -1);
    EXPECT_EQ(small->add_height, 44) << "300 keeps its low 8 bits";
    EXPECT_EQ(layout.GetDefaultFont(), small);
    const UILayout_FontData* big = layout.GetFontAt(1);
    EXPECT_EQ(big->add_width, 0);
    EXPECT_EQ(big->add_height, 0);

    const UILayout_StyleData* title = layout.GetStyleById(CommonString("Title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(layout.GetDefaultStyle(), title);
    EXPECT_EQ(S(title->fontId), "FontBig");
    EXPECT_EQ(title->red, 255);
    EXPECT_EQ(title->green, 200);
    EXPECT_EQ(title->blue, 0);
    EXPECT_EQ(title->effect, 3);
    const UILayout_StyleData* body = layout.GetStyleAt(1);
    EXPECT_EQ(body->red, 0) << "two colour parts leave it black";
    EXPECT_EQ(body->effect, 0) << "\"12\" is a name, and unknown";
    EXPECT_EQ(S(body->fontId), "FontSmall") << "a block still open at the end stays as read";
    EXPECT_EQ(layout.GetStyleById(CommonString()), nullptr);
    EXPECT_EQ(layout.GetFontById(CommonString("fontsmall")), nullptr);
}

TEST(UILayoutTest, EightOfEachAndNoNinth) {
    CUILayout layout(nullptr);
    EXPECT_EQ(Load(layout, Blocks("font", 8) + Blocks("style", 8)), 1);
    EXPECT_EQ(layout.GetFontCount(), 8);
    EXPECT_EQ(layout.GetStyleCount(), 8);
    EXPECT_EQ(S(layout.GetStyleAt(7)->id), "style7");

    CUILayout fonts(nullptr);
    EXPECT_EQ(Load(fonts, Blocks("font", 9) + Blocks("style", 1)), 0);
    EXPECT_EQ(fonts.GetFontCount(), 8) << "what was read before stays";
    EXPECT_EQ(fonts.GetStyleCount(), 0) << "the read stopped at the ninth font";

    CUILayout styles(nullptr);
    EXPECT_EQ(Load(styles, Blocks("style", 9)), 0);
    EXPECT_EQ(styles.GetStyleCount(), 8);
    EXPECT_EQ(styles.AddStyle(CommonString("x"), CommonString("y"), 1, 2, 3, 4), 0);
    EXPECT_EQ(styles.AddNewStyleData(), nullptr);
    EXPECT_EQ(fonts.AddFont(CommonString("x"), CommonString("y"), 0, 0), 0);
}

// A read that ends inside a block leaves it open as read, but the next read starts outside any
// block: its "font" and "style" lines open records of their own.
TEST(UILayoutTest, ASecondReadStartsOutsideTheBlockTheFirstLeftOpen) {
    CUILayout afterStyle(nullptr);
    ASSERT_EQ(Load(afterStyle, "style = A\n color = 1 2 3\n"), 1);
    ASSERT_EQ(Load(afterStyle, "font = F\n file = f.png\n add_width = 2\nend\n"), 1);
    ASSERT_EQ(afterStyle.GetFontCount(), 1);
    const UILayout_FontData* font = afterStyle.GetFontById(CommonString("F"));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(S(font->file), "f.png");
    EXPECT_EQ(font->add_width, 2);
    EXPECT_EQ(S(afterStyle.GetStyleById(CommonString("A"))->fontId), "") << "not the open style's font";

    CUILayout afterFont(nullptr);
    ASSERT_EQ(Load(afterFont, "font = G\n file = g.png\n"), 1);
    ASSERT_EQ(Load(afterFont, "style = T\n color = 4 5 6\n file = other.png\nend\n"), 1);
    ASSERT_EQ(afterFont.GetStyleCount(), 1);
    const UILayout_StyleData* style = afterFont.GetStyleById(CommonString("T"));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->red, 4);
    EXPECT_EQ(style->blue, 6);
    EXPECT_EQ(S(afterFont.GetFontById(CommonString("G"))->file), "g.png") << "not the open font's file";
}

// A style table the game could not draw with is refused, naming the member and what is wrong.
TEST(UILayoutTest, CheckRefusesEmptyCutAndFilelessTables) {
    const std::string whole = "font = F\n file = f.fdb\nend\nstyle = S\n font = F\nend\n";
    struct TCase {
        std::string text;
        const char* failure;  // null: accepted
        const char* why;
    } const cases[] = {
        {whole, nullptr, "one font and one style"},
        {whole + "// the end\n", nullptr, "a comment after the last block"},
        {"font = F\n file = f.fdb\nend\n", nullptr, "fonts alone: every style is optional"},
        {"", "st.txt is damaged: no font record (\"font = ID\" up to \"end\"): the file is empty or not a style table",
         "an empty file"},
        {"\x89PNG\r\n\x1a\n this is no picture \x89PNG\r\n",
         "st.txt is damaged: no font record (\"font = ID\" up to \"end\"): the file is empty or not a style table",
         "bytes of another kind of file"},
        {"style = S\n font = F\nend\n",
         "st.txt is damaged: no font record (\"font = ID\" up to \"end\"): the file is empty or not a style table",
         "styles without a font to draw with"},
        {whole + "font = Fo",
         "st.txt is damaged: the file ends inside the block of the font Fo (no \"end\"): it is cut short",
         "cut inside a font's name"},
        {whole + "style = T\n color = 1 2 3\n",
         "st.txt is damaged: the file ends inside the block of the style T (no \"end\"): it is cut short",
         "cut before a style's end"},
        {"font = F\nend\nstyle = S\nend\n", "st.txt is damaged: the font F has no file", "a font without an image"},
    };
    for (const TCase& c : cases) {
        CUILayout layout(nullptr);
        ASSERT_EQ(Load(layout, c.text), 1) << c.why;
        CommonString failure;
        EXPECT_EQ(layout.CheckTable("st.txt", failure), c.failure == nullptr) << c.why;
        EXPECT_EQ(S(failure), c.failure != nullptr ? c.failure : "") << c.why;
    }
}

TEST(UILayoutTest, DuplicateIdsFindTheFirst) {
    CUILayout layout(nullptr);
    ASSERT_EQ(Load(layout, "style = S\n color = 1 1 1\nend\nstyle = S\n color = 2 2 2\nend\n"), 1);
    EXPECT_EQ(layout.GetStyleCount(), 2);
    EXPECT_EQ(layout.GetStyleById(CommonString("S"))->red, 1);
}

TEST(UILayoutTest, EffectNamesAndDigits) {
    struct TCase {
        const char* value;
        int effect;
    };
    const TCase cases[] = {{"0", 0},           {"3", 3},
                           {"6", 6},           {"7", 0},
                           {"9", 0},           {"none", 0},
                           {"shadow", 1},      {"border", 2},
                           {"glow", 3},        {"white_border", 4},
                           {"border2", 5},     {"white border2", 6},
                           {"\"border2\"", 5}, {"Shadow", 0}};
    for (const TCase& c : cases) {
        CUILayout layout(nullptr);
        ASSERT_EQ(Load(layout, std::string("style = s\n effect = ") + c.value + "\nend\n"), 1);
        EXPECT_EQ(layout.GetStyleAt(0)->effect, c.effect) << c.value;
    }
    for (int i = 0; i < kTextEffectCount; ++i) EXPECT_EQ(WhichEffectName(g_EffectNames[i]), i);
    EXPECT_EQ(WhichEffectName("white  border2"), -1);
    EXPECT_EQ(WhichEffectName(nullptr), -1);
    EXPECT_EQ(SanitizeTextEffect(-1), 0);
    EXPECT_EQ(SanitizeTextEffect(6), 6);
    EXPECT_EQ(SanitizeTextEffect(200), 0);
}

TEST(UILayoutTest, StylesTakeTheirFontOrTheFirst) {
    CUILayout layout(nullptr);
    ASSERT_EQ(Load(layout,
                   "font = A\nend\nfont = B\nend\nfont = C\nend\n"
                   "style = onB\n font = B\nend\nstyle = onMissing\n font = Z\nend\nstyle = onC\n font = C\nend\n"),
              1);
    layout.PrepareFontPointersForStyles();
    EXPECT_EQ(layout.GetStyleAt(0)->font, nullptr) << "no font loaded anywhere";

    // Loaded fonts without files: the table only keeps and hands out the objects.
    auto* a = new CBitmapFontText(nullptr);
    auto* b = new CBitmapFontText(nullptr);
    layout.GetFontAt(0)->font = a;
    layout.GetFontAt(1)->font = b;
    layout.PrepareFontPointersForStyles();
    EXPECT_EQ(layout.GetStyleAt(0)->font, b);
    EXPECT_EQ(layout.GetStyleAt(1)->font, a) << "no such font record: the first font";
    EXPECT_EQ(layout.GetStyleAt(2)->font, a) << "its font is not loaded: the first font";
    layout.Destroy();
    EXPECT_EQ(layout.GetFontCount(), 0);
    EXPECT_EQ(layout.GetStyleCount(), 0);
    EXPECT_EQ(layout.GetDefaultStyle(), nullptr);
}

}  // namespace

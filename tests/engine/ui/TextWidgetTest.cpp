// Text widgets, captions and the style table with loaded fonts: which style a widget takes, what
// its record overrides, sizes, line breaking, localised captions and the game's fixed texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WidgetFixtures.h"
#include "core/LocManager2.h"
#include "text/BitmapFont.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Text.h"
#include "ui/TextMulti.h"
#include "ui/WidgetFactory.h"

namespace {

using namespace widgettest;

class TextWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fontbaker::TBakedFont baked = fonttest::Bake(12);
        auto members = fonttest::FontMembers(baked, "Images\\sans", fontbaker::EForm::RgbaPng);
        members.push_back({"Lang\\texts.csv", ToBytes("id,enUS\nname,English\nTXT_HELLO,Hello there\n")});
        members.push_back({"ui\\ui_iphone\\game_styles.txt",
                           ToBytes("font = Small\n file = sans.jpg\n add_width = 3\n add_height = 2\nend\n"
                                   "font = Missing\n file = nothing.jpg\nend\n"
                                   "style = Body\n font = Small\n color = 10 20 30\n effect = border\nend\n"
                                   "style = Title\n font = Missing\n color = 200 100 50\n effect = glow\nend\n")});
        host.SetPak(members);
        ASSERT_EQ(host.m_Layout.LoadFromUILayoutFile(CommonString("ui\\ui_iphone\\game_styles.txt")), 1);
        ASSERT_EQ(host.m_Layout.ReLoadFonts(), 1);
        font = host.m_Layout.GetFontAt(0)->font;
        ASSERT_NE(font, nullptr);
        templ = Parse(
            "text = plain\n caption = \"Hi there\"\nend\n"
            "text = titled\n style = Title\n color = 1 2 3\n caption = T\nend\n"
            "text = unknown\n style = Nope\n effect = 9\n caption = U\nend\n"
            "text = hello\n txtid = TXT_HELLO\n caption = fallback\nend\n"
            "text = nokey\n txtid = TXT_NONE\n caption = fallback\nend\n"
            "text_multi = multi\n caption = \"one two three four five six seven eight nine ten\"\n row_add_dy = "
            "3\nend\n"
            "text_multi = empty\nend\n"
            "textInfo = info\n infoType = buildDate\n caption = ignored\n txtid = TXT_HELLO\nend\n"
            "textInfo = version\nend\n"
            "button = cap\n caption = Go\nend\n"
            "checkBox = chk\n caption = Sound\nend\n");
        parentRecord.name = "dlg";
        parent = std::make_unique<CRecorder>(&host, &parentRecord);
    }
    void TearDown() override { parent->DeleteAllChildWidgets(); }

    static mediatest::Bytes ToBytes(const std::string& s) { return mediatest::Bytes(s.begin(), s.end()); }

    template <class T>
    T* Make(const char* name, int x = 0, int y = 0) {
        WidgetContext placement;
        placement.x = static_cast<short>(x);
        placement.y = static_cast<short>(y);
        return dynamic_cast<T*>(
            CreateAndInitLeafWidget(parent.get(), templ.get(), templ->GetWidget(name), &placement, 1, 1));
    }
    static std::string S(const CommonString& s) { return s.GetData() ? s.GetData() : ""; }

    CUiHost host;
    CBitmapFontText* font = nullptr;
    std::unique_ptr<TTemplate> templ;
    TWidget parentRecord;
    std::unique_ptr<CRecorder> parent;
};

TEST_F(TextWidgetTest, FontsLoadWithTheirSpacingAndStylesFallBackToTheFirstFont) {
    EXPECT_EQ(font->m_nLetterSpacing, 3);
    EXPECT_EQ(font->m_nHeightAdjustment, 2);
    EXPECT_EQ(host.m_Layout.GetFontAt(1)->font, nullptr) << "a font file that is not there";
    EXPECT_EQ(host.m_Layout.GetStyleById(CommonString("Body"))->font, font);
    EXPECT_EQ(host.m_Layout.GetStyleById(CommonString("Title"))->font, font) << "its font did not load";
    // Loading again replaces the fonts, and the styles follow: none keeps the font that went.
    ASSERT_EQ(host.m_Layout.ReLoadFonts(), 1);
    EXPECT_EQ(host.m_Layout.GetStyleById(CommonString("Body"))->font, host.m_Layout.GetFontAt(0)->font);
    EXPECT_EQ(host.m_Layout.GetStyleById(CommonString("Title"))->font, host.m_Layout.GetFontAt(0)->font);
    // A missing style file empties the table.
    EXPECT_EQ(host.m_Layout.LoadFromUILayoutFile(CommonString("ui\\ui_iphone\\none.txt")), 0);
    EXPECT_EQ(host.m_Layout.GetFontCount(), 0);
}

TEST_F(TextWidgetTest, StyleChoiceAndRecordOverrides) {
    XText* plain = Make<XText>("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(S(plain->GetLook().styleId), "Body") << "no style: the first";
    EXPECT_EQ(plain->GetLook().red, 10);
    EXPECT_EQ(plain->GetLook().blue, 30);
    EXPECT_EQ(plain->GetLook().effect, 2);
    EXPECT_EQ(plain->GetLook().font, font);

    XText* titled = Make<XText>("titled");
    EXPECT_EQ(S(titled->GetLook().styleId), "Title");
    EXPECT_EQ(titled->GetLook().red, 1) << "the record's colour";
    EXPECT_EQ(titled->GetLook().green, 2);
    EXPECT_EQ(titled->GetLook().effect, 3) << "the style's effect";

    XText* unknown = Make<XText>("unknown");
    EXPECT_EQ(S(unknown->GetLook().styleId), "Body") << "an unknown style: the first";
    EXPECT_EQ(unknown->GetLook().red, 10);
    EXPECT_EQ(unknown->GetLook().effect, 0) << "the record's effect 9 is out of the table: none";

    host.m_pUILayout = nullptr;
    XText* bare = Make<XText>("plain");
    EXPECT_EQ(bare->GetLook().font, nullptr);
    EXPECT_EQ(bare->GetLook().red, 255) << "white without a style";
    EXPECT_EQ(bare->GetSize().width, 1) << "no font: the element's own size";
}

TEST_F(TextWidgetTest, TextSizeIsTheCaptionsExtent) {
    XText* plain = Make<XText>("plain");
    EXPECT_EQ(plain->GetSize().width, font->Length2("Hi there"));
    EXPECT_EQ(plain->GetSize().height, font->GetCharHeight());
    plain->SetCaption(CommonString("Hi"));
    EXPECT_EQ(plain->GetSize().width, font->Length2("Hi")) << "a new caption shows at once";
}

TEST_F(TextWidgetTest, LocalisedCaptions) {
    CLocManager2 loc(&host);
    ASSERT_EQ(loc.Init(CommonString("Lang\\texts.csv"), 10), 1);
    loc.SetCurrentLanguage(0);
    host.m_pLocManager = &loc;
    EXPECT_EQ(S(Make<XText>("hello")->GetCaption()), "Hello there");
    EXPECT_EQ(Make<XText>("nokey")->GetCaption().Length(), 0) << "an id without a text";
    host.m_pLocManager = nullptr;
    EXPECT_EQ(S(Make<XText>("hello")->GetCaption()), "fallback") << "no localisation: the record's caption";
    parent->DeleteAllChildWidgets();
}

TEST_F(TextWidgetTest, MultiLineTextWrapsAtItsWidth) {
    XTextMulti* multi = Make<XTextMulti>("multi");
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->GetSize().width, 100) << "no size: 100 pixels";
    const int lines = multi->GetLineCount();
    EXPECT_GE(lines, 2);
    EXPECT_EQ(multi->GetSize().height, lines * (font->GetCharHeight() + 3));
    // A caption that fits in one line at 100 pixels.
    multi->SetCaption(CommonString("one"));
    EXPECT_EQ(multi->FormatText(), 1);
    EXPECT_EQ(multi->GetLineCount(), 1);

    XTextMulti* empty = Make<XTextMulti>("empty");
    ASSERT_NE(empty, nullptr) << "an empty caption formats";
    EXPECT_EQ(empty->GetLineCount(), 0);
    EXPECT_EQ(empty->GetSize().width, 5);
    EXPECT_EQ(empty->GetSize().height, 5);

    host.m_pUILayout = nullptr;
    EXPECT_EQ(Make<XTextMulti>("multi"), nullptr) << "no font: the widget fails and is removed";
    EXPECT_EQ(parent->GetChildCount(), 2);
}

TEST_F(TextWidgetTest, InformationTextsShowTheGamesTexts) {
    XTextInfo* info = Make<XTextInfo>("info");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(S(info->GetCaption()), "build date") << "whatever its caption or txtid say";
    EXPECT_EQ(S(Make<XTextInfo>("version")->GetCaption()), "version");
    static_cast<TTextInfo*>(templ->GetWidget("version"))->infoType = 7;
    EXPECT_EQ(Make<XTextInfo>("version"), nullptr) << "types from 5 up fail";
}

TEST_F(TextWidgetTest, CaptionOnlyButtonAndCheckBoxUseTheCaption) {
    XButton* button = Make<XButton>("cap", 50, 20);
    ASSERT_NE(button, nullptr);
    // No image: the element is 1 x 1, so the centre is (50, 20); the caption's extent around it.
    const int half = font->Length2("Go") >> 1;
    const int halfHeight = font->GetCharHeight() >> 1;
    EXPECT_TRUE(button->Contains(50 - half, 20 - halfHeight));
    EXPECT_FALSE(button->Contains(50 + half, 20));
    EXPECT_FALSE(button->Contains(50, 20 + halfHeight));
    button->SetCaption(CommonString());
    EXPECT_FALSE(button->Contains(50, 20)) << "no caption, no extent";

    XCheckBox* check = Make<XCheckBox>("chk");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->CalcTextOffset(), font->Length2(" ")) << "one blank beside the box";
    EXPECT_EQ(check->GetSize().width, font->Length2("Sound") + font->Length2(" ")) << "no box image";
    EXPECT_EQ(check->GetSize().height, font->GetCharHeight());
}

}  // namespace

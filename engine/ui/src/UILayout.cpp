// The style table: its records, lookups and the reader of game_styles.txt.
#include "ui/UILayout.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "TemplateText.h"
#include "core/SafeFormat.h"
#include "render/RenderHost.h"
#include "text/BitmapFont.h"

using namespace ui_text;

const char* const g_EffectNames[kTextEffectCount] = {"none",         "shadow",  "border",       "glow",
                                                     "white_border", "border2", "white border2"};

int WhichEffectName(const char* name) {
    if (name == nullptr) return -1;
    for (int i = 0; i < kTextEffectCount; ++i)
        if (std::strcmp(name, g_EffectNames[i]) == 0) return i;
    return -1;
}

int SanitizeTextEffect(int effect) { return effect >= 0 && effect < kTextEffectCount ? effect : 0; }

UILayout_FontData::~UILayout_FontData() { SafeDelete(font); }

CUILayout::CUILayout(IRenderHost* game) : m_pGame(game) {}

CUILayout::~CUILayout() { Destroy(); }

int CUILayout::LoadFromUILayoutFile(const CommonString& path) {
    Destroy();
    const std::optional<std::vector<char>> bytes = ReadGameFile(m_pGame, path);
    if (!bytes) {
        std::fprintf(stderr, "ui: %s: cannot open\n", path.GetData() != nullptr ? path.GetData() : "");
        return 0;
    }
    return LoadFromUILayoutBytes(*bytes, path.GetData());
}

int CUILayout::LoadFromUILayoutFile(IFile* file) {
    const std::vector<char> bytes = ReadWholeFile(file);
    return LoadFromUILayoutBytes(bytes, "game_styles.txt");
}

int CUILayout::LoadFromUILayoutBytes(std::span<const char> bytes, const char* name) {
    m_bInFontBlock = m_bInStyleBlock = false;
    TParseInput input = ParseInputOf(bytes, name);
    CommonStringRS<50> line;
    while (Parser::GetNextLine(input, line)) {
        if (!ReadLine(line)) {
            std::fprintf(stderr, "ui: %s:%d: more than %d fonts or styles\n", input.name,
                         Parser::LineNumberAt(input, input.lineStart), kMaxFonts);
            return 0;
        }
    }
    return 1;
}

bool CUILayout::CheckTable(const char* member, CommonString& failure) const {
    const char* name = member != nullptr ? member : "";
    if (m_bInFontBlock || m_bInStyleBlock) {
        const CommonString& open = m_bInFontBlock ? m_Fonts[m_nFontCount - 1]->id : m_Styles[m_nStyleCount - 1]->id;
        failure = SafeFormat("%s is damaged: the file ends inside the block of the %s %s (no \"end\"): it is cut short",
                             {name, m_bInFontBlock ? "font" : "style", open});
        return false;
    }
    if (m_nFontCount < 1) {
        failure = SafeFormat(
            "%s is damaged: no font record (\"font = ID\" up to \"end\"): the file is empty or not a "
            "style table",
            {name});
        return false;
    }
    for (int i = 0; i < m_nFontCount; ++i) {
        if (m_Fonts[i]->file.Length() > 0) continue;
        failure = SafeFormat("%s is damaged: the font %s has no file", {name, m_Fonts[i]->id});
        return false;
    }
    return true;
}

bool CUILayout::ReadLine(const CommonStringRS<50>& line) {
    if (Is(line, "end")) {
        m_bInFontBlock = m_bInStyleBlock = false;
        return true;
    }
    if (!Parser::IsPropertyString(line)) return true;
    Text key;
    Text value;
    Parser::ReadPropertyFromString(line, key, value);
    if (m_bInFontBlock) {
        UILayout_FontData* font = m_Fonts[m_nFontCount - 1];
        if (Is(key, "file"))
            font->file = NameOf(value);
        else if (Is(key, "add_width"))
            font->add_width = static_cast<signed char>(IntOf(value));
        else if (Is(key, "add_height"))
            font->add_height = static_cast<signed char>(IntOf(value));
        return true;
    }
    if (m_bInStyleBlock) {
        UILayout_StyleData* style = m_Styles[m_nStyleCount - 1];
        if (Is(key, "color")) {
            ReadColor(value, style->red, style->green, style->blue);
        } else if (Is(key, "font")) {
            style->fontId = NameOf(value);
        } else if (Is(key, "effect")) {
            bool given = false;
            style->effect = static_cast<unsigned char>(ReadEffect(value, given));
        }
        return true;
    }
    if (Is(key, "font")) {
        UILayout_FontData* font = AddNewFontData();
        if (font == nullptr) return false;
        font->id = CommonString(value.GetData());
        m_bInFontBlock = true;
    } else if (Is(key, "style")) {
        UILayout_StyleData* style = AddNewStyleData();
        if (style == nullptr) return false;
        style->id = CommonString(value.GetData());
        m_bInStyleBlock = true;
    }
    return true;
}

int CUILayout::LoadRecordFont(int i, const CommonString& path) {
    UILayout_FontData* record = GetFontAt(i);
    if (record == nullptr || m_pGame == nullptr) return 0;
    auto font = std::make_unique<CBitmapFontText>(m_pGame);
    if (!font->LoadFont(path.GetData())) {
        std::fprintf(stderr, "ui: font %s: cannot load %s\n",
                     record->id.GetData() != nullptr ? record->id.GetData() : "",
                     path.GetData() != nullptr ? path.GetData() : "");
        return 0;
    }
    font->m_nLetterSpacing = record->add_width;
    if (record->add_height != 0) font->m_nHeightAdjustment = record->add_height;
    delete record->font;
    record->font = font.release();
    return 1;
}

int CUILayout::ReLoadFonts() {
    if (m_pGame == nullptr) return 0;
    for (int i = 0; i < m_nFontCount; ++i) (void)LoadRecordFont(i, m_pGame->GetImagesDirectory() + m_Fonts[i]->file);
    // A replaced font is gone: no style may keep pointing at it.
    PrepareFontPointersForStyles();
    return 1;
}

namespace {

// The first record of the list whose id equals id; an empty id matches nothing.
template <class TRecord>
TRecord* FindById(TRecord* const* records, int count, const CommonString& id) {
    if (id.GetData() == nullptr) return nullptr;
    for (int i = 0; i < count; ++i)
        if (records[i]->id.IsEqual(id.GetData())) return records[i];
    return nullptr;
}

}  // namespace

UILayout_FontData* CUILayout::GetFontById(const CommonString& id) const { return FindById(m_Fonts, m_nFontCount, id); }

UILayout_StyleData* CUILayout::GetStyleById(const CommonString& id) const {
    return FindById(m_Styles, m_nStyleCount, id);
}

UILayout_FontData* CUILayout::GetDefaultFont() const { return GetFontAt(0); }

UILayout_StyleData* CUILayout::GetDefaultStyle() const { return GetStyleAt(0); }

UILayout_FontData* CUILayout::GetFontAt(int i) const { return i >= 0 && i < m_nFontCount ? m_Fonts[i] : nullptr; }

UILayout_StyleData* CUILayout::GetStyleAt(int i) const { return i >= 0 && i < m_nStyleCount ? m_Styles[i] : nullptr; }

void CUILayout::PrepareFontPointersForStyles() {
    CBitmapFontText* fallback = m_nFontCount > 0 ? m_Fonts[0]->font : nullptr;
    for (int i = 0; i < m_nStyleCount; ++i) {
        UILayout_StyleData* style = m_Styles[i];
        const UILayout_FontData* own = GetFontById(style->fontId);
        style->font = own != nullptr && own->font != nullptr ? own->font : fallback;
    }
}

int CUILayout::AddFont(const CommonString& id, const CommonString& file, int addWidth, int addHeight) {
    UILayout_FontData* font = AddNewFontData();
    if (font == nullptr) return 0;
    font->id = id;
    font->file = file;
    font->add_width = static_cast<signed char>(addWidth);
    font->add_height = static_cast<signed char>(addHeight);
    return 1;
}

int CUILayout::AddStyle(const CommonString& id, const CommonString& fontId, int r, int g, int b, int effect) {
    UILayout_StyleData* style = AddNewStyleData();
    if (style == nullptr) return 0;
    style->id = id;
    style->fontId = fontId;
    style->red = static_cast<unsigned char>(r);
    style->green = static_cast<unsigned char>(g);
    style->blue = static_cast<unsigned char>(b);
    style->effect = static_cast<unsigned char>(SanitizeTextEffect(effect));
    return 1;
}

UILayout_FontData* CUILayout::AddNewFontData() {
    if (m_nFontCount >= kMaxFonts) return nullptr;
    m_Fonts[m_nFontCount] = new UILayout_FontData();
    return m_Fonts[m_nFontCount++];
}

UILayout_StyleData* CUILayout::AddNewStyleData() {
    if (m_nStyleCount >= kMaxStyles) return nullptr;
    m_Styles[m_nStyleCount] = new UILayout_StyleData();
    return m_Styles[m_nStyleCount++];
}

void CUILayout::Destroy() {
    DestroyFontsData();
    DestroyStylesData();
}

void CUILayout::DestroyFontsData() {
    for (int i = 0; i < m_nFontCount; ++i) SafeDelete(m_Fonts[i]);
    m_nFontCount = 0;
    m_bInFontBlock = false;
}

void CUILayout::DestroyStylesData() {
    for (int i = 0; i < m_nStyleCount; ++i) SafeDelete(m_Styles[i]);
    m_nStyleCount = 0;
    m_bInStyleBlock = false;
}

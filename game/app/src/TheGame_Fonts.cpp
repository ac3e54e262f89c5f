// The game's fonts: the style table that names them, the one font the start-up loads, the others
// loaded a step at a time by the loader screen, the eight the game draws with directly, and the
// reload when the language changes to or from one with glyph images of its own.
#include <cstdio>
#include <new>

#include "core/LocManager2.h"
#include "game/app/TheGame.h"
#include "game/progress/ApplicationData.h"
#include "text/BitmapFont.h"
#include "ui/UILayout.h"

namespace {

// The language whose glyphs have images of their own.
constexpr const char* kOwnGlyphsLanguage = "ruRU";
// The font record loaded during the start-up; the loader screen loads the others.
constexpr int kStartUpFont = 3;

struct TGameFontRow {
    const char* id;
    char spaceAs;  // the character whose advance becomes the space width; 0 keeps the font's
};
// In the order of EGameFont.
constexpr TGameFontRow kGameFonts[kGameFontCount] = {
    {"FontSmall", 't'},   {"FontBig", 'I'},    {"FontDebug", 'I'},  {"FontButtonNormal", 'I'},
    {"FontScores", '\0'}, {"FontCoins", '\0'}, {"FontLifes", '\0'}, {"FontVerySmall", 'i'},
};

// The glyph image of that language: the path cut at its last '.' (whole when it has none) and
// "_ruRU.jpg" appended.
CommonString OwnGlyphsPath(const CommonString& path) {
    const char* text = path.GetDataConst();
    int cut = path.Length();
    for (int i = path.Length() - 1; i >= 0; --i) {
        if (text[i] == '.') {
            cut = i;
            break;
        }
    }
    CommonString result = path;
    if (cut < path.Length()) result.GetData()[cut] = '\0';
    return CommonString(result.GetDataConst()) + CommonString("_") + CommonString(kOwnGlyphsLanguage) +
           CommonString(".jpg");
}

}  // namespace

CUILayout* CTheGame::UILayout() { return m_pUILayout; }

CBitmapFontText* CTheGame::GetDebugFont() { return m_Fonts[kGameFontDebug]; }

int CTheGame::InitUILayout() {
    SafeDelete(m_pUILayout);
    m_pUILayout = new (std::nothrow) CUILayout(this);
    if (m_pUILayout == nullptr) return 0;
    const CommonString path = GetUIDirectory() + CommonString("game_styles.txt");
    if (!m_pUILayout->LoadFromUILayoutFile(path)) {
        m_StartUpFailure = path + CommonString(": the style table cannot be opened or read in the paks");
        return 0;
    }
    return m_pUILayout->CheckTable(path.GetDataConst(), m_StartUpFailure) ? 1 : 0;
}

bool CTheGame::ReLoadFonts() {
    if (m_pLocManager == nullptr) {
        const CommonString table = GetModuleDirectory() + CommonString("Lang\\texts.csv");
        if (InitLocManager2(table) == nullptr) {
            m_StartUpFailure = table + CommonString(": the text table cannot be opened or read in the paks");
            return false;
        }
        if (m_pLocManager->GetTableDamage().Length() > 0) {
            m_StartUpFailure = table + CommonString(" is damaged: ") + m_pLocManager->GetTableDamage();
            SafeDelete(m_pLocManager);
            return false;
        }
        int language = 0;
        if (CApplicationData* data = GetAppData()) {
            // A stored index the table does not have (another build's, or a damaged file) falls
            // back to the first language and is stored so.
            if (data->m_nLanguageIndex < 0 || data->m_nLanguageIndex >= m_pLocManager->GetLanguageCount())
                data->m_nLanguageIndex = 0;
            language = data->m_nLanguageIndex;
        }
        m_pLocManager->SetCurrentLanguage(language);
    }
    if (m_pUILayout == nullptr || !LoadFont(kStartUpFont)) return false;
    m_pUILayout->PrepareFontPointersForStyles();
    return true;
}

int CTheGame::LoadFont(int i) {
    if (m_pUILayout == nullptr) return 0;
    if (i < 0 || i >= m_pUILayout->GetFontCount()) return 1;
    const UILayout_FontData* record = m_pUILayout->GetFontAt(i);
    if (record == nullptr || record->font != nullptr) return 1;
    const CommonString path = GetImagesDirectory() + record->file;
    // A language with glyphs of its own tries its image first; without one the plain font does.
    if (CurrentLanguageId() == kOwnGlyphsLanguage && m_pUILayout->LoadRecordFont(i, OwnGlyphsPath(path))) return 1;
    return m_pUILayout->LoadRecordFont(i, path);
}

int CTheGame::ReLoadFontsLastStep() {
    if (m_pUILayout == nullptr || m_pUILayout->GetDefaultFont() == nullptr) return 0;
    for (int row = 0; row < kGameFontCount; ++row) {
        const UILayout_FontData* record = m_pUILayout->GetFontById(CommonString(kGameFonts[row].id));
        if (record == nullptr) continue;
        if (record->font == nullptr) return 0;
        m_Fonts[row] = record->font;
        if (kGameFonts[row].spaceAs != '\0') m_Fonts[row]->SetSpaceWidthAsCharBC(kGameFonts[row].spaceAs);
    }
    m_pUILayout->PrepareFontPointersForStyles();
    return 1;
}

int CTheGame::ReLoadAllFontsOnLanguageChanged(int oldIndex, int newIndex) {
    if (m_pLocManager == nullptr || m_pUILayout == nullptr) return 0;
    if (!(m_pLocManager->GetLangID(oldIndex) == kOwnGlyphsLanguage) &&
        !(m_pLocManager->GetLangID(newIndex) == kOwnGlyphsLanguage))
        return 1;
    // Nothing may keep pointing at a font while it is replaced: a reload that fails half-way
    // leaves the game's fonts and the styles empty rather than pointing at deleted fonts.
    for (CBitmapFontText*& font : m_Fonts) font = nullptr;
    for (int i = 0; i < m_pUILayout->GetFontCount(); ++i) SafeDelete(m_pUILayout->GetFontAt(i)->font);
    m_pUILayout->PrepareFontPointersForStyles();
    for (int i = 0; i < m_pUILayout->GetFontCount(); ++i)
        if (!LoadFont(i)) return 0;
    return ReLoadFontsLastStep();
}

CBitmapFontText* CTheGame::GetFontById(const CommonString& id) {
    const UILayout_FontData* record = m_pUILayout != nullptr ? m_pUILayout->GetFontById(id) : nullptr;
    return record != nullptr ? record->font : nullptr;
}

CommonString CTheGame::CurrentLanguageId() {
    if (m_pLocManager == nullptr) return CommonString();
    return m_pLocManager->GetLangID(m_pLocManager->GetCurrentLanguage());
}

#pragma once
// The UI style table: at most 8 fonts and 8 named text styles, read from game_styles.txt. A font
// record names a bitmap-font image and two spacing adjustments and owns the loaded font; a style
// names a font record and gives a colour and a text effect. Text widgets copy a style by id when
// they are initialised, falling back to the first style; the template reader maps effect names
// through the same table of names.
//
// File format (the data-file line syntax): outside a block, "font = <id>" or "style = <id>" opens
// a block that a line "end" closes. In a font block: file (image path, relative to the images
// directory), add_width, add_height. In a style block: font (a font id), color (r g b), effect
// (a digit 0..6 or an effect name). Other keys are ignored.
//
// Depends on: core (strings, files, parser), render (IRenderHost: files, images directory), text
// (CBitmapFontText). Main thread only.

#include <cstddef>
#include <span>

#include "core/Common.h"
#include "core/CommonString.h"

class CBitmapFontText;
class IRenderHost;
class IFile;

// Text effect names by number (0..6): "none", "shadow", "border", "glow", "white_border",
// "border2", "white border2".
inline constexpr int kTextEffectCount = 7;
extern const char* const g_EffectNames[kTextEffectCount];
// The number of the effect named exactly name (case-sensitive), or -1 (also for null).
[[nodiscard]] int WhichEffectName(const char* name);
// An effect number as the fonts take it: values outside 0..6 become 0 (none).
[[nodiscard]] int SanitizeTextEffect(int effect);

// One font record; owns its loaded font.
struct UILayout_FontData {
    UILayout_FontData() = default;
    UILayout_FontData(const UILayout_FontData&) = delete;
    UILayout_FontData& operator=(const UILayout_FontData&) = delete;
    ~UILayout_FontData();

    CommonString id;
    CommonString file;                // image path relative to the images directory
    signed char add_width = 0;        // the font's letter spacing once loaded
    signed char add_height = 0;       // the font's height adjustment once loaded, when not 0
    CBitmapFontText* font = nullptr;  // owned; null until loaded
};

// One text style.
struct UILayout_StyleData {
    UILayout_StyleData() = default;
    UILayout_StyleData(const UILayout_StyleData&) = delete;
    UILayout_StyleData& operator=(const UILayout_StyleData&) = delete;
    // Forgets the font pointer; the font belongs to its font record.
    ~UILayout_StyleData() { font = nullptr; }

    CommonString id;
    CommonString fontId;
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;
    unsigned char effect = 0;         // 0..6
    CBitmapFontText* font = nullptr;  // not owned; set by PrepareFontPointersForStyles
};

class CUILayout {
public:
    static constexpr int kMaxFonts = 8;
    static constexpr int kMaxStyles = 8;

    // An empty table; game is kept for loading fonts and files and may be null.
    explicit CUILayout(IRenderHost* game);
    CUILayout(const CUILayout&) = delete;
    CUILayout& operator=(const CUILayout&) = delete;
    // Destroy.
    virtual ~CUILayout();

    // Empties the table, then reads the file at path (a memory file of the game, from the paks): 0
    // when it cannot be opened, else LoadFromUILayoutFile's result.
    [[nodiscard]] int LoadFromUILayoutFile(const CommonString& path);
    // Reads the format above from the file's current content (from its start), adding to what the
    // table holds: 1 at the end of the file, 0 when a ninth font or style is opened (what was
    // read before stays).
    [[nodiscard]] int LoadFromUILayoutFile(IFile* file);
    // The decoding entry the file reader, the tests and the fuzz target share: the same over bytes;
    // name is for messages.
    [[nodiscard]] int LoadFromUILayoutBytes(std::span<const char> bytes, const char* name);
    // After a read: true when the table is one text can be drawn with; otherwise false, with
    // `member` and what is wrong in `failure`. Refused: no font record (an empty or garbled file;
    // the first font is the default every style falls back to), a font record without a file, and
    // a block still open when the file ended (a file cut short: the records after it are missing).
    [[nodiscard]] bool CheckTable(const char* member, CommonString& failure) const;

    // The first record whose id equals id byte for byte; an empty id matches nothing.
    UILayout_FontData* GetFontById(const CommonString& id) const;
    UILayout_StyleData* GetStyleById(const CommonString& id) const;
    // The first font record or style; null when there is none.
    UILayout_FontData* GetDefaultFont() const;
    UILayout_StyleData* GetDefaultStyle() const;
    // Gives every style the loaded font of its font record, else the first record's font (null
    // when none is loaded). Call after fonts are loaded.
    void PrepareFontPointersForStyles();

    // Loads the font of every record from the images directory + its file (LoadRecordFont), then
    // gives the styles their fonts again (PrepareFontPointersForStyles). 0 without a game, else 1.
    int ReLoadFonts();
    // Loads the font at path into record i, with the record's letter spacing and, when not 0, its
    // height adjustment; it replaces the record's font only when it loads. 1 on success, 0 for a
    // failed load, no game or an index outside the table. Styles keep the old font pointer until
    // PrepareFontPointersForStyles.
    [[nodiscard]] int LoadRecordFont(int i, const CommonString& path);

    // Append a filled record: 1, or 0 when 8 are already there.
    int AddFont(const CommonString& id, const CommonString& file, int addWidth, int addHeight);
    int AddStyle(const CommonString& id, const CommonString& fontId, int r, int g, int b, int effect);
    // Append an empty record and answer it; null when 8 are already there.
    UILayout_FontData* AddNewFontData();
    UILayout_StyleData* AddNewStyleData();

    // Deletes every font (with its font object) and every style; both counts become 0.
    void Destroy();
    void DestroyFontsData();
    void DestroyStylesData();

    int GetFontCount() const { return m_nFontCount; }
    int GetStyleCount() const { return m_nStyleCount; }
    // Record i, or null out of range.
    UILayout_FontData* GetFontAt(int i) const;
    UILayout_StyleData* GetStyleAt(int i) const;
    IRenderHost* GetGame() const { return m_pGame; }

private:
    // One line of the file; false when the read must stop (a ninth record).
    bool ReadLine(const CommonStringRS<50>& line);

    UILayout_FontData* m_Fonts[kMaxFonts] = {};
    int m_nFontCount = 0;
    UILayout_StyleData* m_Styles[kMaxStyles] = {};
    int m_nStyleCount = 0;
    bool m_bInFontBlock = false;
    bool m_bInStyleBlock = false;
    IRenderHost* m_pGame = nullptr;
};

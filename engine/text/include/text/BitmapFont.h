#pragma once
// Text: the engine's only text renderer, a bitmap font. A glyph image (one bitmap holding every
// glyph on a grid) plus a metrics file ".fdb" with A/B/C widths in quarter pixels per character
// code. Strings are measured (Length2, GetCharHeight), drawn at integer pixels into any bitmap
// with a colour, an alpha and one of seven outline effects (TextOut), and on OpenGL ES at 16.16
// positions, scaled and rotated (TextOutF). Line breaking is CQuorvanTextFormat
// (text/QuorvanTextFormat.h).
//
// Files, for a glyph-image path P with a 4-character extension and base = P less it:
//   - base + "_rgba" (".jpg" with "_a.jpg", or ".png"): the full-colour glyph image;
//   - otherwise P as a greyscale JPEG alpha plane, with base + "_eff.jpg" as its colour plane
//     (without it the font is alpha-only);
//   - P + ".fdb", else base + ".fdb": the metrics (DecodeFdb below).
// The font tool tools/fontbaker writes all of these from a TrueType font.
//
// Depends on: core (memory files), render (bitmaps, image loaders, GL ES batch); its owner is
// reached through IRenderHost (bitmap factory, renderer kind, switches). Main thread only. No build
// switches.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/Common.h"

class IRenderHost;
class IDibBitmap;
class CWinDibBitmap;

// Text effects, shared with the style file and the text widgets.
enum : int {
    kTextEffectNone = 0,
    kTextEffectShadow = 1,
    kTextEffectBorder = 2,
    kTextEffectGlow = 3,
    kTextEffectWhiteBorder = 4,
    kTextEffectBorder2 = 5,
    kTextEffectWhiteBorder2 = 6,
};

// The ".fdb" layout: 224 records {A int32, B uint32, C int32} for codes 32..255, then the
// optional vertical inset V (int32) and glyph count N (int32, 1..224) followed by N codes.
inline constexpr int kFdbFirstCode = 32;
inline constexpr int kFdbCodeCount = 224;
inline constexpr int kFdbAbcBlockSize = kFdbCodeCount * 12;  // 2688
inline constexpr int kFdbMaxGlyphs = 224;

struct TABCWidth {
    int A = 0;           // quarter pixels before the glyph
    unsigned int B = 0;  // quarter pixels of the glyph
    int C = 0;           // quarter pixels after it
};

// Glyph rectangle in image pixels: right is the last column (inclusive), bottom one past the
// last row.
struct TGlyphRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// What a ".fdb" file holds, decoded.
struct TFdbData {
    TABCWidth abc[256];     // codes below 32 stay 0; codes past the end of a short file stay 0
    int verticalInset = 0;  // V, quarter pixels; 0 when absent
    bool hasInset = false;
    int glyphCount = 0;  // N; 0 when there is no glyph list
    std::uint8_t glyphs[kFdbMaxGlyphs] = {};
};

enum class EFdbResult {
    Ok,
    BadGlyphCount,   // N present but outside 1..224
    ShortGlyphList,  // fewer than N codes follow
};

// Decodes ".fdb" bytes. The file may end anywhere in the ABC block (the codes read so far keep
// their values, a value cut short keeps the bytes read with its high bytes 0). `name` is used in
// the one "font:" message a failure logs.
[[nodiscard]] EFdbResult DecodeFdb(std::span<const std::uint8_t> bytes, const char* name, TFdbData& out);

class CBitmapFontText {
public:
    // No image; tables zero; letter spacing 2, height adjustment 0, inset 0, space width 0.
    explicit CBitmapFontText(IRenderHost* game);
    CBitmapFontText(const CBitmapFontText&) = delete;
    CBitmapFontText& operator=(const CBitmapFontText&) = delete;
    // Frees the glyph list, Destroy, Close.
    virtual ~CBitmapFontText();

    // ---- Loading --------------------------------------------------------------------------
    // Loads the glyph image and the metrics of the font at path (see the header comment);
    // replaces what was loaded before. 1, or 0 when no glyph image loads, no ".fdb" opens, or the
    // ".fdb" glyph list is malformed. The glyph image stays loaded when only the metrics fail.
    [[nodiscard]] int LoadFont(const char* path);
    // Takes metrics from ".fdb" bytes and lays the glyph cells out over the current glyph image
    // size (0 x 0 without an image). 1 or 0 as LoadFont; the ABC table is reset first.
    [[nodiscard]] int LoadMetricsFromBytes(std::span<const std::uint8_t> bytes, const char* name);
    // Forgets the plane pointers (kept for the record; drawing asks the bitmap each time).
    void Destroy();
    // Deletes the glyph image.
    void Close();
    void HWReleasePixelDataInRAM();

    // ---- Metrics ----------------------------------------------------------------------------
    // Stores the record of code c (0..255, others ignored) and sets its right edge and advance.
    void SetABCWidth(int c, int A, int B, int C);
    void GetABCWidth(int c, int& A, int& B, int& C) const;
    void SetSpaceWidthAsCharBC(char c);   // the character's advance
    void SetSpaceWidthAsCharABC(char c);  // its CharLength2
    void SetSpaceWidthAsInt(int width);
    int GetCharWidth() const { return m_nCellWidth; }
    // Height adjustment + cell height - (V >> 1).
    int GetCharHeight() const;
    // advance[c] + (A[c] >> 2): how far the pen moves over c.
    int CharLength2(char c) const;
    // Pixels: space width per ' ', CharLength2 + letter spacing per other character; 0 for null.
    int Length2(const char* text) const;

    // ---- Drawing (BitmapFont_Draw.cpp, BitmapFont_DrawF.cpp) ------------------------------------
    // Draws text with its top-left at (x, y). effect 0..6 (others draw nothing); clip null for
    // none. Through GL when the game renders with GL ES, else by the target's pixel format.
    void TextOut(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g, unsigned char b,
                 int effect, unsigned char alpha, TCoordRect2D* clip);
    // GL ES only: text at 16.16 (x, y), scaled and turned by angle degrees (16.16) about it. A
    // clip rectangle is applied with the scissor test. Effects other than 0..6 draw plain text.
    void TextOutF(IDibBitmap* dst, const char* text, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y, FIXED_FLOAT_16 scaleX,
                  FIXED_FLOAT_16 scaleY, FIXED_FLOAT_16 angle, unsigned char r, unsigned char g, unsigned char b,
                  int effect, unsigned char alpha, TCoordRect2D* clip);
    // One glyph by the target's pixel format; returns how far the pen moves (CharLength2).
    int DrawChar(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                 unsigned char alpha, TCoordRect2D* clip);
    // One glyph as a textured quad; returns the pen's move as a 16.16 vector.
    TVector2D_16 DrawCharF(IDibBitmap* dst, char c, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y, FIXED_FLOAT_16 scaleX,
                           FIXED_FLOAT_16 scaleY, FIXED_FLOAT_16 angle, unsigned char r, unsigned char g,
                           unsigned char b, unsigned char alpha, TCoordRect2D* clip);

    // The per-format string and glyph routines. The 16-bit members serve every target on GL ES.
    void TextOut_565bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                        unsigned char b, unsigned char alpha, TCoordRect2D* clip);
    void TextOut_444bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                        unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip);
    void TextOut_555bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                        unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip);
    void TextOut_24bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                       unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip);
    void TextOut_32bpp(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                       unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip);
    int DrawChar_565bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                        unsigned char alpha, TCoordRect2D* clip);
    int DrawChar_444bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                        unsigned char alpha, TCoordRect2D* clip);
    int DrawChar_555bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                        unsigned char alpha, TCoordRect2D* clip);
    int DrawChar_24bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                       unsigned char alpha, TCoordRect2D* clip);
    int DrawChar_32bpp(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                       unsigned char alpha, TCoordRect2D* clip);

    // ---- Read access ------------------------------------------------------------------------
    IDibBitmap* GetGlyphImage() const { return m_pGlyphImage; }
    const TGlyphRect& GetGlyphRect(int c) const { return m_GlyphRects[c & 0xFF]; }
    int GetAdvance(int c) const { return m_Advances[c & 0xFF]; }
    int GetSpaceWidth() const { return m_nSpaceWidth; }
    int GetVerticalInset() const { return m_nVerticalInset; }
    int GetCellHeight() const { return m_nCellHeight; }
    int GetGlyphCount() const { return m_nGlyphCount; }
    const std::uint8_t* GetGlyphList() const { return m_pGlyphList; }
    int GetImageWidth() const { return m_nImageWidth; }
    int GetImageHeight() const { return m_nImageHeight; }

    // Public settings: pixels added after every non-space character, and pixels added to the
    // line height (half of them to the drawing y). The UI layout sets both from its styles.
    int m_nLetterSpacing = 2;
    int m_nHeightAdjustment = 0;
    // Pixels between the lines of a text laid out in several lines, for screens that lay them
    // out themselves; a screen that changes it restores it. The font's own routines do not read it.
    int m_nLineSpacing = 0;

private:
    void LayOutGlyphs();
    void ForgetLayout();
    // The glyph image's planes as the software paths may read them: null when absent, released
    // after upload, or no longer of the size the layout was made for.
    const std::uint8_t* AlphaPlane() const;
    const std::uint8_t* PixelPlane() const;
    bool IsScreenTarget(IDibBitmap* dst) const;
    bool IsGles() const;
    // Shared placement and clipping of the DrawChar members; false when nothing is to be drawn.
    struct TGlyphBox {
        int x = 0, y = 0, w = 0, h = 0;  // destination box after clipping (as seen)
        int sx = 0, sy = 0;              // top-left of the box in the glyph image
    };
    bool PlaceGlyph(IDibBitmap* dst, int x, int y, unsigned char c, unsigned char alpha, TCoordRect2D* clip,
                    TGlyphBox& box) const;
    // The software blend of the 12/15/24/32-bit members.
    int DrawCharGeneric(IDibBitmap* dst, int x, int y, char c, unsigned char r, unsigned char g, unsigned char b,
                        unsigned char alpha, TCoordRect2D* clip, int format);
    void TextOutGeneric(IDibBitmap* dst, int x, int y, const char* text, unsigned char r, unsigned char g,
                        unsigned char b, int effect, unsigned char alpha, TCoordRect2D* clip, int format);
    void DrawTextOutFPass(IDibBitmap* dst, const char* text, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y, FIXED_FLOAT_16 scaleX,
                          FIXED_FLOAT_16 scaleY, FIXED_FLOAT_16 angle, unsigned char r, unsigned char g,
                          unsigned char b, unsigned char alpha);

    IRenderHost* m_pGame = nullptr;
    IDibBitmap* m_pGlyphImage = nullptr;  // owned
    int m_nImageWidth = 0;
    int m_nImageHeight = 0;
    int m_nStoredWidth = 0;  // stored size of the glyph image when it was laid out
    int m_nStoredHeight = 0;
    TABCWidth m_ABC[256];
    int m_nCellWidth = 0;
    int m_nCellHeight = 0;
    TGlyphRect m_GlyphRects[256];
    int m_Advances[256] = {};
    int m_nVerticalInset = 0;
    int m_nSpaceWidth = 0;
    std::uint8_t* m_pGlyphList = nullptr;  // malloc block, or null
    int m_nGlyphCount = 0;
};

// Turns (x, y) by angle degrees and adds (cx, cy); all 16.16, results rounded half away from 0.
void RotatePointInternal_CBitmapFontText(FIXED_FLOAT_16 cx, FIXED_FLOAT_16 cy, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                                         FIXED_FLOAT_16 angle, FIXED_FLOAT_16& outX, FIXED_FLOAT_16& outY);

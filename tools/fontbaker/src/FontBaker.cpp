// Rendering a TrueType font into the cells of a bitmap-font glyph image, with its metrics.
#include "fontbaker/FontBaker.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace fontbaker {

namespace {

struct TFreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~TFreeType() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

// One glyph as rendered, with the effect baked in: coverage of the ink and of the black effect.
struct TGlyph {
    int width = 0, height = 0;  // of the padded box
    int left = 0;               // pen to the box's left edge, pixels
    int top = 0;                // box top above the baseline, pixels
    int advance = 0;            // pixels
    std::vector<std::uint8_t> ink, effect;
};

struct TPadding {
    int left = 0, right = 0, top = 0, bottom = 0;
};

TPadding PaddingOf(EEffect effect) {
    switch (effect) {
        case EEffect::Outline:
            return {1, 1, 1, 1};
        case EEffect::Shadow:
            return {0, 1, 0, 1};
        default:
            return {};
    }
}

// Windows-1252 at 128..159; 0 where the code page defines no character.
constexpr std::uint32_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool RenderGlyph(FT_Face face, int code, ECharMap map, EEffect effect, TGlyph& out) {
    out = TGlyph();
    const std::uint32_t character = CharacterOf(code, map);
    if (character == 0 || FT_Get_Char_Index(face, character) == 0) {
        return true;  // no ink, no advance
    }
    if (FT_Load_Char(face, character, FT_LOAD_RENDER) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    const TPadding pad = PaddingOf(effect);
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const int bw = static_cast<int>(bm.width), bh = static_cast<int>(bm.rows);
    if (bw == 0 || bh == 0) {
        return true;
    }
    out.width = bw + pad.left + pad.right;
    out.height = bh + pad.top + pad.bottom;
    out.left = slot->bitmap_left - pad.left;
    out.top = slot->bitmap_top + pad.top;
    out.ink.assign(static_cast<std::size_t>(out.width * out.height), 0);
    out.effect.assign(out.ink.size(), 0);
    for (int y = 0; y < bh; ++y) {
        const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
        for (int x = 0; x < bw; ++x) {
            const std::uint8_t v =
                bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0) : row[x];
            out.ink[static_cast<std::size_t>((y + pad.top) * out.width + x + pad.left)] = v;
        }
    }
    auto inkAt = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= out.width || y >= out.height) return 0;
        return out.ink[static_cast<std::size_t>(y * out.width + x)];
    };
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int e = 0;
            if (effect == EEffect::Outline) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) e = std::max(e, inkAt(x + dx, y + dy));
            } else if (effect == EEffect::Shadow) {
                e = inkAt(x - 1, y - 1);
            }
            out.effect[static_cast<std::size_t>(y * out.width + x)] = static_cast<std::uint8_t>(e);
        }
    }
    return true;
}

}  // namespace

std::uint32_t CharacterOf(int code, ECharMap map) {
    if (code < 32 || code > 255 || code == 127) return 0;
    if (code >= 128 && code < 160) return map == ECharMap::Cp1252 ? kCp1252High[code - 128] : 0;
    return static_cast<std::uint32_t>(code);
}

bool BakeFont(const TBakeOptions& options, TBakedFont& out, std::string& error) {
    out = TBakedFont();
    if (options.pixelSize < 4 || options.pixelSize > 200) {
        error = "pixel size must be 4..200";
        return false;
    }
    if (options.glyphs.size() > 224) {
        error = "a glyph list holds at most 224 codes";
        return false;
    }
    if (options.cellMarginY < 0 || options.cellMarginY > 16) {
        error = "the cell margin must be 0..16";
        return false;
    }
    for (std::uint8_t code : options.glyphs) {
        if (code < 32) {
            error = "glyph codes start at 32";
            return false;
        }
    }
    TFreeType ft;
    if (FT_Init_FreeType(&ft.library) != 0 || FT_New_Face(ft.library, options.fontPath.c_str(), 0, &ft.face) != 0) {
        error = "cannot open font " + options.fontPath;
        return false;
    }
    if (FT_Set_Pixel_Sizes(ft.face, 0, static_cast<FT_UInt>(options.pixelSize)) != 0) {
        error = "cannot size font";
        return false;
    }
    std::vector<int> codes;
    if (options.glyphs.empty()) {
        for (int c = 32; c < 256; ++c) codes.push_back(c);
        out.columns = 16;
        out.rows = 14;
    } else {
        codes.assign(options.glyphs.begin(), options.glyphs.end());
        const int n = static_cast<int>(codes.size());
        out.columns = n <= 16 ? n : 16;
        out.rows = n <= 16 ? 1 : (n + 15) / 16;
        out.glyphs = options.glyphs;
    }

    std::vector<TGlyph> glyphs(256);
    for (int c = 32; c < 256; ++c) {
        if (!RenderGlyph(ft.face, c, options.charMap, options.effect, glyphs[static_cast<std::size_t>(c)])) {
            error = "cannot render character " + std::to_string(c);
            return false;
        }
    }
    const TPadding pad = PaddingOf(options.effect);
    const FT_Size_Metrics& m = ft.face->size->metrics;
    const int ascender = static_cast<int>((m.ascender + 63) >> 6);
    const int descender = static_cast<int>((-m.descender + 63) >> 6);
    // The margin keeps a blank row between vertically adjacent cells, so a glyph drawn scaled
    // with filtering never picks up ink from the cell above or below.
    const int margin = options.cellMarginY;
    out.baseline = ascender + pad.top + margin;
    out.cellHeight = ascender + descender + pad.top + pad.bottom + 2 * margin;

    for (int c = 32; c < 256; ++c) {
        const TGlyph& g = glyphs[static_cast<std::size_t>(c)];
        TAbc& abc = out.abc[c];
        // The loader draws the cell from its left edge at pen + A/4, so ink is stored flush left
        // and a left bearing that reaches before the pen is dropped (A never negative).
        const int lead = std::max(g.left, 0);
        abc.a = lead * 4;
        abc.b = static_cast<std::uint32_t>(g.width * 4);
        abc.c = (g.advance - lead - g.width) * 4;
        out.cellHeight = std::max(out.cellHeight, out.baseline - g.top + g.height + margin);
    }
    // A cell must hold the drawn span (A + B) / 4 + 1 of its glyph and no part of the next.
    int cellWidth = 1;
    for (int code : codes) {
        const TAbc& abc = out.abc[code];
        cellWidth = std::max(cellWidth, static_cast<int>((abc.a + static_cast<std::int32_t>(abc.b)) / 4) + 2);
    }
    out.cellWidth = cellWidth;
    out.width = out.cellWidth * out.columns;
    out.height = out.cellHeight * out.rows;
    out.verticalInset = options.verticalInset;
    out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);

    const bool darkFringe = options.effect != EEffect::None;
    for (std::size_t i = 0; i < out.rgba.size(); i += 4) {
        out.rgba[i] = darkFringe ? 0 : options.r;
        out.rgba[i + 1] = darkFringe ? 0 : options.g;
        out.rgba[i + 2] = darkFringe ? 0 : options.b;
    }
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const TGlyph& g = glyphs[static_cast<std::size_t>(codes[i])];
        const int cellX = static_cast<int>(i % static_cast<std::size_t>(out.columns)) * out.cellWidth;
        const int cellY = static_cast<int>(i / static_cast<std::size_t>(out.columns)) * out.cellHeight;
        const int originY = cellY + out.baseline - g.top;
        for (int y = 0; y < g.height; ++y) {
            const int py = originY + y;
            if (py < cellY || py >= cellY + out.cellHeight) continue;
            for (int x = 0; x < g.width; ++x) {
                const std::size_t src = static_cast<std::size_t>(y * g.width + x);
                const int ink = g.ink[src];
                const int eff = g.effect[src];
                // Ink over the black effect: alpha = ink + effect x (1 - ink), colour = the ink's
                // share of it.
                const int alpha = ink + eff * (255 - ink) / 255;
                if (alpha == 0) continue;
                std::uint8_t* px = &out.rgba[(static_cast<std::size_t>(py) * out.width + cellX + x) * 4];
                px[0] = static_cast<std::uint8_t>(options.r * ink / alpha);
                px[1] = static_cast<std::uint8_t>(options.g * ink / alpha);
                px[2] = static_cast<std::uint8_t>(options.b * ink / alpha);
                px[3] = static_cast<std::uint8_t>(alpha);
            }
        }
    }
    return true;
}

}  // namespace fontbaker

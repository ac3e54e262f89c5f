// Laying out the contact sheet.
#include "imagegen/ContactSheet.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "ContactSheet_Internal.h"
#include "imagegen/Canvas.h"
#include "imagegen/Generate.h"
#include "imagegen/Text.h"

namespace imagegen {

namespace {

namespace fs = std::filesystem;

constexpr int kSheetWidth = 1400;
constexpr int kMargin = 16, kGap = 14, kLabelHeight = 14;
const TRgba kBackground = Rgb(0x263238);

// A label in the generator's own lettering, rasterised by FreeType.
CImage Label(const std::string& text, float size, const TRgba& colour) {
    const CFont* font = BoldFont();
    if (font == nullptr) return CImage(1, 1);
    return font->Rasterise(text, static_cast<int>(size), colour);
}

void FillRect(CImage& dst, int x, int y, int w, int h, const std::uint8_t rgba[4]) {
    for (int j = std::max(0, y); j < std::min(dst.Height(), y + h); ++j)
        for (int i = std::max(0, x); i < std::min(dst.Width(), x + w); ++i) std::memcpy(dst.At(i, j), rgba, 4);
}

void Checkerboard(CImage& dst, int x, int y, int w, int h) {
    for (int j = std::max(0, y); j < std::min(dst.Height(), y + h); ++j) {
        for (int i = std::max(0, x); i < std::min(dst.Width(), x + w); ++i) {
            const bool dark = (((i - x) / 8) + ((j - y) / 8)) % 2 == 0;
            const std::uint8_t v = dark ? 0x8A : 0xA6;
            std::uint8_t* p = dst.At(i, j);
            p[0] = v;
            p[1] = v;
            p[2] = static_cast<std::uint8_t>(v + 6);
            p[3] = 255;
        }
    }
}

CImage Zoomed(const CImage& src, int zoom) {
    if (zoom == 1) return src;
    CImage out(src.Width() * zoom, src.Height() * zoom);
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) std::memcpy(out.At(x, y), src.At(x / zoom, y / zoom), 4);
    return out;
}

struct TTile {
    CImage image, label;
    int width = 0, height = 0;
};

// One font record or style of the style file.
struct TStyleLine {
    std::string id, fontId, file;
    int addWidth = 0;
    std::uint8_t rgb[3] = {255, 255, 255};
    int effect = 0;
};

bool ReadStyles(const std::string& path, std::vector<TStyleLine>& fonts, std::vector<TStyleLine>& styles,
                std::string& error) {
    std::string text;
    if (!ReadWholeFile(path, text)) {
        error = "cannot read " + path;
        return false;
    }
    // The style file shares the block syntax of the sprite descriptions; a small reader suffices.
    TStyleLine* open = nullptr;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (const std::size_t c = line.find("//"); c != std::string::npos) line.resize(c);
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
        if (line == "end") {
            open = nullptr;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(" \t\""));
            s.erase(s.find_last_not_of(" \t\"") + 1);
            return s;
        };
        const std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        if (open == nullptr && (key == "font" || key == "style")) {
            (key == "font" ? fonts : styles).push_back({});
            open = key == "font" ? &fonts.back() : &styles.back();
            open->id = value;
        } else if (open != nullptr && key == "file") {
            open->file = value;
        } else if (open != nullptr && key == "add_width") {
            open->addWidth = std::atoi(value.c_str());
        } else if (open != nullptr && key == "font") {
            open->fontId = value;
        } else if (open != nullptr && key == "color") {
            int r = 255, g = 255, b = 255;
            if (std::sscanf(value.c_str(), "%d , %d , %d", &r, &g, &b) == 3) {
                open->rgb[0] = static_cast<std::uint8_t>(r);
                open->rgb[1] = static_cast<std::uint8_t>(g);
                open->rgb[2] = static_cast<std::uint8_t>(b);
            }
        } else if (open != nullptr && key == "effect") {
            open->effect = value == "shadow" ? 1 : value == "border" ? 2 : 0;
        }
    }
    return true;
}

// The glyph used for a space by the game object's font set-up, per font record.
char SpaceCharOf(const std::string& id) {
    if (id == "FontSmall") return 't';
    if (id == "FontButtonNormal" || id == "FontBig" || id == "FontDebug") return 'I';
    if (id == "FontVerySmall") return 'i';
    return '_';
}

bool LoadFont(const std::string& imagesDir, const TStyleLine& record, TBakedFontView& font, std::string& error) {
    std::string file = record.file;
    std::replace(file.begin(), file.end(), '\\', '/');
    if (file.size() < 4) {
        error = "font " + record.id + " has no file";
        return false;
    }
    const std::string base = (fs::path(imagesDir) / file.substr(0, file.size() - 4)).string();
    std::string png, fdb;
    if (!ReadWholeFile(base + "_rgba.png", png) || !ReadWholeFile(base + ".fdb", fdb)) {
        error = "cannot read the glyph image or metrics of " + base;
        return false;
    }
    const std::vector<std::uint8_t> pngBytes(png.begin(), png.end()), fdbBytes(fdb.begin(), fdb.end());
    if (!DecodePng(pngBytes, font.glyphs, error) || !ReadFdb(fdbBytes, font, error)) {
        error = base + ": " + error;
        return false;
    }
    const unsigned char space = static_cast<unsigned char>(SpaceCharOf(record.id));
    font.spaceWidth = (font.b[space] + font.c[space]) / 4 + font.a[space] / 4;
    font.letterSpacing = record.addWidth;
    return true;
}

}  // namespace

bool ReadFdb(const std::vector<std::uint8_t>& bytes, TBakedFontView& font, std::string& error) {
    if (bytes.size() < 224 * 12) {
        error = "metrics shorter than 224 entries";
        return false;
    }
    auto le32 = [&](std::size_t at) {
        return static_cast<std::int32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                         (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
    };
    for (int code = 32; code < 256; ++code) {
        const std::size_t at = static_cast<std::size_t>(code - 32) * 12;
        font.a[code] = le32(at);
        font.b[code] = le32(at + 4);
        font.c[code] = le32(at + 8);
    }
    return true;
}

int TextWidth(const TBakedFontView& font, const std::string& text) {
    int w = 0;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        w += ch == ' ' ? font.spaceWidth : (font.b[c] + font.c[c]) / 4 + font.a[c] / 4 + font.letterSpacing;
    }
    return w;
}

void DrawBakedText(CImage& dst, const TBakedFontView& font, const std::string& text, int x, int y,
                   const std::uint8_t rgb[3], int effect) {
    const int cellW = font.glyphs.Width() / 16, cellH = font.glyphs.Height() / 14;
    const auto pass = [&](int dx, int dy, const std::uint8_t colour[3]) {
        int pen = x + dx;
        for (char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (ch == ' ') {
                pen += font.spaceWidth;
                continue;
            }
            // The game blits the cell's first (A + B) / 4 + 1 columns at pen + A / 4.
            const int i = c - 32, sx = (i % 16) * cellW, sy = (i / 16) * cellH;
            const int w = (font.a[c] + font.b[c]) / 4 + 1;
            CImage glyph(w, cellH);
            for (int gy = 0; gy < cellH; ++gy) {
                for (int gx = 0; gx < w && sx + gx < font.glyphs.Width(); ++gx) {
                    const std::uint8_t* s = font.glyphs.At(sx + gx, sy + gy);
                    std::uint8_t* d = glyph.At(gx, gy);
                    for (int k = 0; k < 3; ++k) d[k] = static_cast<std::uint8_t>(s[k] * colour[k] / 255);
                    d[3] = s[3];
                }
            }
            Composite(dst, glyph, pen + font.a[c] / 4, y + dy);
            pen += (font.b[c] + font.c[c]) / 4 + font.a[c] / 4 + font.letterSpacing;
        }
    };
    const std::uint8_t black[3] = {0, 0, 0};
    if (effect == 1) pass(1, 1, black);
    if (effect == 2)
        for (const auto& [dx, dy] : {std::pair{1, -1}, {-1, -1}, {-1, 1}, {1, 1}}) pass(dx, dy, black);
    pass(0, 0, rgb);
}

bool BuildContactSheet(const std::vector<TImageSpec>& specs, const std::string& imagesDir,
                       const std::string& stylesPath, int zoom, CImage& out, std::string& error) {
    std::vector<TTile> tiles;
    for (const TImageSpec& spec : specs) {
        std::string bytes;
        const std::string file = (fs::path(imagesDir) / ImageFileName(spec)).string();
        TTile tile;
        if (!ReadWholeFile(file, bytes) ||
            !DecodePng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), tile.image, error)) {
            error = "cannot read " + file + (error.empty() ? "" : ": " + error);
            return false;
        }
        tile.image = Zoomed(tile.image, zoom);
        const std::string caption = spec.path + "  " + std::to_string(spec.layout.SheetWidth()) + "x" +
                                    std::to_string(spec.layout.SheetHeight()) +
                                    (spec.layout.frames > 1 ? "  " + std::to_string(spec.layout.frames) + "f" : "");
        tile.label = Label(caption, 10, Rgb(0xCFD8DC));
        tile.width = std::max(tile.image.Width(), std::min(tile.label.Width(), 260));
        tile.height = tile.image.Height() + kLabelHeight + 2;
        tiles.push_back(std::move(tile));
    }
    std::vector<TStyleLine> fonts, styles;
    std::map<std::string, TBakedFontView> loaded;
    if (!stylesPath.empty()) {
        if (!ReadStyles(stylesPath, fonts, styles, error)) return false;
        for (const TStyleLine& f : fonts) {
            TBakedFontView view;
            if (!LoadFont(imagesDir, f, view, error)) return false;
            loaded[f.id] = std::move(view);
        }
    }
    // With fonts and styles at hand, the start menu is put together first.
    CImage mockups;
    if (!stylesPath.empty()) {
        std::map<std::string, TStyleView> views;
        for (const TStyleLine& st : styles) {
            TStyleView v;
            v.fontId = st.fontId;
            std::copy_n(st.rgb, 3, v.rgb);
            v.effect = st.effect;
            views.emplace(st.id, v);
        }
        if (!BuildMockups(imagesDir, loaded, views, mockups, error)) return false;
    }
    int width = kSheetWidth;
    for (const TTile& t : tiles) width = std::max(width, t.width + 2 * kMargin);
    // Shelf layout: tiles left to right, a new shelf when the next does not fit.
    struct TPlace {
        int x, y;
    };
    std::vector<TPlace> places;
    const int mockupTop = kMargin + 30;
    int x = kMargin, y = mockupTop + (mockups.IsEmpty() ? 0 : mockups.Height() + kLabelHeight + kGap), shelf = 0;
    for (const TTile& t : tiles) {
        if (x + t.width > width - kMargin && x > kMargin) {
            x = kMargin;
            y += shelf + kGap;
            shelf = 0;
        }
        places.push_back({x, y});
        x += t.width + kGap;
        shelf = std::max(shelf, t.height);
    }
    y += shelf + kGap + 10;
    const int fontTop = y;
    int fontsHeight = 0;
    for (const TStyleLine& f : fonts) fontsHeight += loaded[f.id].glyphs.Height() / 14 + 8;
    for (const TStyleLine& s : styles) {
        const auto it = loaded.find(s.fontId);
        fontsHeight += (it != loaded.end() ? it->second.glyphs.Height() / 14 : 12) + 8;
    }
    CImage sheet(width, fontTop + fontsHeight + (fonts.empty() ? 0 : 40) + kMargin);
    const std::uint8_t bg[4] = {static_cast<std::uint8_t>(kBackground.r * 255),
                                static_cast<std::uint8_t>(kBackground.g * 255),
                                static_cast<std::uint8_t>(kBackground.b * 255), 255};
    FillRect(sheet, 0, 0, sheet.Width(), sheet.Height(), bg);
    Composite(sheet, Label("Cobblebrooks content: images and fonts of the pak", 16, Rgb(0xFFD640)), kMargin, 8);
    if (!mockups.IsEmpty()) {
        Blit(sheet, mockups, kMargin, mockupTop);
        Composite(sheet, Label("start menu and options popup put together (320 x 480)", 10, Rgb(0xCFD8DC)), kMargin,
                  mockupTop + mockups.Height() + 2);
    }
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const TTile& t = tiles[i];
        Checkerboard(sheet, places[i].x, places[i].y, t.image.Width(), t.image.Height());
        Composite(sheet, t.image, places[i].x, places[i].y);
        Composite(sheet, t.label, places[i].x, places[i].y + t.image.Height() + 2);
    }
    y = fontTop;
    const std::uint8_t white[3] = {255, 255, 255};
    const std::string sample = "The quick brown fox jumps over the lazy dog 0123456789 +-%!?";
    for (const TStyleLine& f : fonts) {
        const TBakedFontView& view = loaded[f.id];
        const CImage name = Label(f.id + " (" + f.file + ")", 11, Rgb(0xCFD8DC));
        Composite(sheet, name, kMargin, y + 2);
        DrawBakedText(sheet, view, sample, kMargin + 230, y, white, 0);
        y += view.glyphs.Height() / 14 + 8;
    }
    for (const TStyleLine& s : styles) {
        const auto it = loaded.find(s.fontId);
        const CImage name = Label(s.id + " (" + s.fontId + ")", 11, Rgb(0xCFD8DC));
        Composite(sheet, name, kMargin, y + 2);
        if (it != loaded.end())
            DrawBakedText(sheet, it->second, "Play  Options  Coins 1,234  Level 7", kMargin + 230, y, s.rgb, s.effect);
        y += (it != loaded.end() ? it->second.glyphs.Height() / 14 : 12) + 8;
    }
    for (int j = 0; j < sheet.Height(); ++j)
        for (int i = 0; i < sheet.Width(); ++i) sheet.At(i, j)[3] = 255;
    out = std::move(sheet);
    return true;
}

}  // namespace imagegen

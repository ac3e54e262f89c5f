// Glyph outlines from FreeType, flattened into polygon contours.
#include "imagegen/Text.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace imagegen {

struct CFont::TState {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    // A FreeType face serves one thread at a time; images render on several.
    std::mutex lock;
    ~TState() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

namespace {

// Collects the contours of one glyph in pixels, flattening the curves.
struct TOutlineSink {
    float scale = 1, penX = 0, baseY = 0;
    std::vector<std::vector<TVec>> contours;
    TVec last;

    TVec Map(const FT_Vector* v) const {
        return {penX + static_cast<float>(v->x) * scale, baseY - static_cast<float>(v->y) * scale};
    }
    int Steps() const { return scale * 2048 > 40 ? 10 : 6; }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<TOutlineSink*>(user);
    s->contours.emplace_back();
    s->last = s->Map(to);
    s->contours.back().push_back(s->last);
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<TOutlineSink*>(user);
    s->last = s->Map(to);
    s->contours.back().push_back(s->last);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<TOutlineSink*>(user);
    const std::vector<TVec> points = QuadraticCurve(s->last, s->Map(control), s->Map(to), s->Steps());
    s->contours.back().insert(s->contours.back().end(), points.begin() + 1, points.end());
    s->last = points.back();
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<TOutlineSink*>(user);
    const std::vector<TVec> points = CubicCurve(s->last, s->Map(c1), s->Map(c2), s->Map(to), s->Steps());
    s->contours.back().insert(s->contours.back().end(), points.begin() + 1, points.end());
    s->last = points.back();
    return 0;
}

}  // namespace

CFont::CFont() : m_state(std::make_unique<TState>()) {}

CFont::~CFont() = default;

bool CFont::Load(const std::string& path, std::string& error) {
    m_state = std::make_unique<TState>();
    if (FT_Init_FreeType(&m_state->library) != 0 ||
        FT_New_Face(m_state->library, path.c_str(), 0, &m_state->face) != 0) {
        error = "cannot open font " + path;
        m_state = std::make_unique<TState>();
        return false;
    }
    return true;
}

bool CFont::IsLoaded() const { return m_state->face != nullptr; }

namespace {

struct TPlacedGlyph {
    FT_UInt index = 0;
    float pen = 0;  // font units from the start of the text
};

// The glyphs of the text with the pen position of each, in font units: unhinted advances plus
// kerning. The whole advance goes to width.
std::vector<TPlacedGlyph> LayOut(FT_Face face, std::string_view text, float& width) {
    std::vector<TPlacedGlyph> glyphs;
    width = 0;
    FT_UInt previous = 0;
    for (char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(ch));
        FT_Vector kern{0, 0};
        if (previous != 0 && FT_HAS_KERNING(face) &&
            FT_Get_Kerning(face, previous, index, FT_KERNING_UNSCALED, &kern) == 0)
            width += static_cast<float>(kern.x);
        glyphs.push_back({index, width});
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
            width += static_cast<float>(face->glyph->advance.x);
        previous = index;
    }
    return glyphs;
}

}  // namespace

float CFont::Measure(std::string_view text, float pixelSize) const {
    FT_Face face = m_state->face;
    if (face == nullptr) return 0;
    const std::lock_guard<std::mutex> guard(m_state->lock);
    float width = 0;
    LayOut(face, text, width);
    return width * pixelSize / static_cast<float>(face->units_per_EM);
}

CShape CFont::Shape(std::string_view text, float pixelSize, float x, float baselineY, EAlign align) const {
    FT_Face face = m_state->face;
    if (face == nullptr) return {};
    const std::lock_guard<std::mutex> guard(m_state->lock);
    const float scale = pixelSize / static_cast<float>(face->units_per_EM);
    float units = 0;
    const std::vector<TPlacedGlyph> placed = LayOut(face, text, units);
    const float width = units * scale;
    const float start = align == EAlign::Left ? x : align == EAlign::Centre ? x - width / 2 : x - width;
    std::vector<CShape> glyphs;
    FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    for (const TPlacedGlyph& g : placed) {
        if (FT_Load_Glyph(face, g.index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) continue;
        TOutlineSink sink;
        sink.scale = scale;
        sink.penX = start + g.pen * scale;
        sink.baseY = baselineY;
        if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE && face->glyph->outline.n_contours > 0 &&
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink) == 0) {
            glyphs.push_back(Contours(sink.contours));
        }
    }
    return Union(glyphs);
}

float CFont::CapHeight(float pixelSize) const {
    FT_Face face = m_state->face;
    if (face == nullptr) return 0;
    const std::lock_guard<std::mutex> guard(m_state->lock);
    const FT_UInt index = FT_Get_Char_Index(face, 'H');
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return 0;
    FT_BBox box;
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    return static_cast<float>(box.yMax) * pixelSize / static_cast<float>(face->units_per_EM);
}

CImage CFont::Rasterise(std::string_view text, int pixelSize, const TRgba& colour) const {
    FT_Face face = m_state->face;
    if (face == nullptr || pixelSize < 1) return {};
    const std::lock_guard<std::mutex> guard(m_state->lock);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) return {};
    const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    const int descender = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    int width = 0;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
    CImage image(std::max(width, 1), ascender + descender);
    const auto byte = [](float v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    int pen = 0;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        for (unsigned y = 0; y < g->bitmap.rows; ++y) {
            for (unsigned x = 0; x < g->bitmap.width; ++x) {
                const int px = pen + g->bitmap_left + static_cast<int>(x);
                const int py = ascender - g->bitmap_top + static_cast<int>(y);
                if (px < 0 || py < 0 || px >= image.Width() || py >= image.Height()) continue;
                const std::uint8_t coverage = g->bitmap.buffer[static_cast<long>(y) * g->bitmap.pitch + x];
                std::uint8_t* p = image.At(px, py);
                p[0] = byte(colour.r);
                p[1] = byte(colour.g);
                p[2] = byte(colour.b);
                p[3] = std::max(p[3], static_cast<std::uint8_t>(coverage * colour.a + 0.5f));
            }
        }
        pen += static_cast<int>((g->advance.x + 32) >> 6);
    }
    return image;
}

const CFont* BoldFont() {
    static const CFont* font = [] {
        static CFont bold;
        std::string error;
        if (!bold.Load(std::string(COBBLE_DEJAVU_DIR) + "/DejaVuSans-Bold.ttf", error)) {
            std::fprintf(stderr, "imagegen: %s\n", error.c_str());
            return static_cast<const CFont*>(nullptr);
        }
        return static_cast<const CFont*>(&bold);
    }();
    return font;
}

}  // namespace imagegen

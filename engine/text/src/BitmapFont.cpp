// CBitmapFontText: loading the glyph image and the metrics, the glyph layout and measuring.
// Drawing is in BitmapFont_Draw.cpp (integer positions) and BitmapFont_DrawF.cpp (GL ES, scaled).
#include "text/BitmapFont.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "core/MemFile.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

namespace {

// Reads up to 4 little-endian bytes at pos; the bytes that are missing at the end read as 0.
// Returns how many bytes were there.
int ReadLE32(std::span<const std::uint8_t> bytes, std::size_t& pos, std::uint32_t& value) {
    value = 0;
    int got = 0;
    while (got < 4 && pos < bytes.size()) {
        value |= static_cast<std::uint32_t>(bytes[pos]) << (8 * got);
        ++pos;
        ++got;
    }
    return got;
}

void StoredSizeOf(IDibBitmap* bitmap, int& w, int& h) {
    w = h = 0;
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap)) {
        w = soft->GetStoredWidth();
        h = soft->GetStoredHeight();
    }
}

}  // namespace

EFdbResult DecodeFdb(std::span<const std::uint8_t> bytes, const char* name, TFdbData& out) {
    out = TFdbData();
    std::size_t pos = 0;
    std::uint32_t value = 0;
    bool ended = false;
    for (int c = kFdbFirstCode; c < 256 && !ended; ++c) {
        TABCWidth& abc = out.abc[c];
        if (ReadLE32(bytes, pos, value) == 0) {
            ended = true;
            break;
        }
        abc.A = static_cast<int>(value);
        if (ReadLE32(bytes, pos, value) == 0) {
            ended = true;
            break;
        }
        abc.B = value;
        if (ReadLE32(bytes, pos, value) == 0) {
            ended = true;
            break;
        }
        abc.C = static_cast<int>(value);
    }
    if (ended) {
        return EFdbResult::Ok;
    }
    if (ReadLE32(bytes, pos, value) == 4) {
        out.verticalInset = static_cast<int>(value);
        out.hasInset = true;
    }
    if (ReadLE32(bytes, pos, value) != 4) {
        return EFdbResult::Ok;
    }
    const int count = static_cast<int>(value);
    if (count < 1 || count > kFdbMaxGlyphs) {
        std::fprintf(stderr, "font: %s: glyph count %d outside 1..%d\n", name ? name : "", count, kFdbMaxGlyphs);
        return EFdbResult::BadGlyphCount;
    }
    if (bytes.size() - pos < static_cast<std::size_t>(count)) {
        std::fprintf(stderr, "font: %s: glyph list of %d codes is cut short\n", name ? name : "", count);
        return EFdbResult::ShortGlyphList;
    }
    std::memcpy(out.glyphs, bytes.data() + pos, static_cast<std::size_t>(count));
    out.glyphCount = count;
    return EFdbResult::Ok;
}

CBitmapFontText::CBitmapFontText(IRenderHost* game) : m_pGame(game) {}

CBitmapFontText::~CBitmapFontText() {
    std::free(m_pGlyphList);
    m_pGlyphList = nullptr;
    m_nGlyphCount = 0;
    Destroy();
    Close();
}

void CBitmapFontText::Destroy() {
    // Planes are asked of the glyph image at each draw; a pointer kept across an upload would
    // point at memory the upload may have released.
}

void CBitmapFontText::Close() {
    SafeDelete(m_pGlyphImage);
    m_nImageWidth = m_nImageHeight = 0;
    m_nStoredWidth = m_nStoredHeight = 0;
}

void CBitmapFontText::HWReleasePixelDataInRAM() {
    if (m_pGlyphImage != nullptr) {
        m_pGlyphImage->HWReleasePixelDataInRAM();
    }
}

int CBitmapFontText::LoadFont(const char* path) {
    Destroy();
    Close();
    if (m_pGame == nullptr || path == nullptr) {
        return 0;
    }
    const std::string full(path);
    const std::string base = full.size() >= 4 ? full.substr(0, full.size() - 4) : std::string();
    m_pGlyphImage = m_pGame->CreateBitmapObject();
    if (m_pGlyphImage == nullptr) {
        return 0;
    }
    m_pGlyphImage->SetOrientaionMode(kOrientationNormal);

    // The planes stay in RAM until both are in; the one upload follows below.
    constexpr TextureUpload kInRam = TextureUpload::kKeepInRam;
    if (ImageLoad(m_pGame, (base + "_rgba").c_str(), m_pGlyphImage, kInRam) == nullptr) {
        if (ImageLoad_JPG_Alpha(m_pGame, path, m_pGlyphImage, kInRam) == nullptr) {
            Close();
            return 0;
        }
        // The colour plane must match the alpha plane texel for texel; one of another size is
        // ignored as a missing one is, and the font stays alpha-only.
        const std::string eff = base + "_eff.jpg";
        IDibBitmap* probe = m_pGame->CreateBitmapObject();
        if (probe != nullptr) {
            probe->SetOrientaionMode(kOrientationNormal);
            int pw = 0, ph = 0, aw = 0, ah = 0;
            if (ImageLoad_JPG(m_pGame, eff.c_str(), probe, kInRam) != nullptr) {
                StoredSizeOf(probe, pw, ph);
                StoredSizeOf(m_pGlyphImage, aw, ah);
                if (pw == aw && ph == ah) {
                    (void)ImageLoad_JPG(m_pGame, eff.c_str(), m_pGlyphImage, kInRam);
                }
            }
            delete probe;
        }
    }

    m_nImageWidth = m_pGlyphImage->m_Width;
    m_nImageHeight = m_pGlyphImage->m_Height;
    StoredSizeOf(m_pGlyphImage, m_nStoredWidth, m_nStoredHeight);
    (void)m_pGlyphImage->HWUpdateTexture();
    if (m_pGame->RenderSwitches().m_bReleasePixelsAfterUpload) {
        m_pGlyphImage->HWReleasePixelDataInRAM();
    }

    std::unique_ptr<CMemoryFile> file(m_pGame->CreateMemoryFileObject());
    if (file == nullptr) {
        return 0;
    }
    if (file->Open(m_pGame, (full + ".fdb").c_str(), FileMode::Read) == 0 &&
        file->Open(m_pGame, (base + ".fdb").c_str(), FileMode::Read) == 0) {
        std::fprintf(stderr, "font: %s: no metrics file\n", path);
        // Nothing of the font loaded before may stay laid out over the new glyph image.
        (void)LoadMetricsFromBytes({}, path);
        return 0;
    }
    if (file->Seek(0, FileSeek::Start) == 0) {
        Close();
        return 0;
    }
    const int size = file->GetSize();
    const auto* data = static_cast<const std::uint8_t*>(file->GetBuffer());
    const std::span<const std::uint8_t> bytes =
        data != nullptr && size > 0 ? std::span<const std::uint8_t>(data, static_cast<std::size_t>(size))
                                    : std::span<const std::uint8_t>();
    return LoadMetricsFromBytes(bytes, path);
}

int CBitmapFontText::LoadMetricsFromBytes(std::span<const std::uint8_t> bytes, const char* name) {
    // A reload starts from nothing: an inset or glyph list of the font loaded before must not
    // survive into a file that has none.
    for (TABCWidth& abc : m_ABC) {
        abc = TABCWidth();
    }
    m_nVerticalInset = 0;
    std::free(m_pGlyphList);
    m_pGlyphList = nullptr;
    m_nGlyphCount = 0;
    auto fdb = std::make_unique<TFdbData>();
    const EFdbResult result = DecodeFdb(bytes, name, *fdb);
    for (int c = kFdbFirstCode; c < 256; ++c) {
        m_ABC[c] = fdb->abc[c];
    }
    if (fdb->hasInset) {
        m_nVerticalInset = fdb->verticalInset;
    }
    if (result != EFdbResult::Ok) {
        ForgetLayout();
        return 0;
    }
    if (fdb->glyphCount > 0) {
        m_pGlyphList = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(fdb->glyphCount)));
        if (m_pGlyphList == nullptr) {
            ForgetLayout();
            return 0;
        }
        std::memcpy(m_pGlyphList, fdb->glyphs, static_cast<std::size_t>(fdb->glyphCount));
        m_nGlyphCount = fdb->glyphCount;
    }
    LayOutGlyphs();
    m_nSpaceWidth = m_Advances[static_cast<unsigned char>('_')];
    return 1;
}

void CBitmapFontText::ForgetLayout() {
    // The cells of the font loaded before do not describe the new glyph image: a reload whose
    // metrics fail leaves no glyph to draw rather than the old font's rectangles and advances.
    for (int c = 0; c < 256; ++c) {
        m_GlyphRects[c] = TGlyphRect();
        m_Advances[c] = 0;
    }
    m_nSpaceWidth = 0;
}

void CBitmapFontText::LayOutGlyphs() {
    for (int c = 0; c < 256; ++c) {
        m_GlyphRects[c] = TGlyphRect();
        m_Advances[c] = 0;
    }
    const int W = m_nImageWidth;
    const int H = m_nImageHeight;
    int cols = 16;
    int rows = 14;
    int cells = kFdbCodeCount;
    if (m_nGlyphCount > 0) {
        cells = m_nGlyphCount;
        cols = m_nGlyphCount <= 16 ? m_nGlyphCount : 16;
        rows = m_nGlyphCount <= 16 ? 1 : (m_nGlyphCount + 15) / 16;
    }
    m_nCellWidth = W / cols;
    m_nCellHeight = H / rows;
    for (int i = 0; i < cells; ++i) {
        const int c = m_nGlyphCount > 0 ? m_pGlyphList[i] : kFdbFirstCode + i;
        TABCWidth& abc = m_ABC[c];
        // Values beyond 1000 quarter pixels are damage in the file; the space's stand in.
        if (abc.A > 1000) {
            abc.A = m_ABC[32].A;
        }
        if (abc.B > 1000u) {
            abc.B = m_ABC[32].B;
        }
        const int column = i % cols;
        const int row = i / cols;
        TGlyphRect& rect = m_GlyphRects[c];
        rect.left = static_cast<int>((static_cast<long long>(W) * column) / cols);
        rect.top = static_cast<int>((static_cast<long long>(H) * row) / rows);
        rect.right = rect.left + static_cast<int>((static_cast<std::uint32_t>(abc.A) + abc.B) >> 2);
        rect.bottom = rect.top + m_nCellHeight;
        m_Advances[c] = static_cast<int>((abc.B + static_cast<std::uint32_t>(abc.C)) >> 2);
    }
}

void CBitmapFontText::SetABCWidth(int c, int A, int B, int C) {
    if (c < 0 || c > 255) {
        return;
    }
    m_ABC[c].A = A;
    m_ABC[c].B = static_cast<unsigned int>(B);
    m_ABC[c].C = C;
    m_GlyphRects[c].right = m_GlyphRects[c].left + static_cast<int>((static_cast<long long>(A) + B) / 4);
    m_Advances[c] = static_cast<int>((static_cast<long long>(B) + C) / 4);
}

void CBitmapFontText::GetABCWidth(int c, int& A, int& B, int& C) const {
    if (c < 0 || c > 255) {
        A = B = C = 0;
        return;
    }
    A = m_ABC[c].A;
    B = static_cast<int>(m_ABC[c].B);
    C = m_ABC[c].C;
}

void CBitmapFontText::SetSpaceWidthAsCharBC(char c) { m_nSpaceWidth = m_Advances[static_cast<unsigned char>(c)]; }

void CBitmapFontText::SetSpaceWidthAsCharABC(char c) { m_nSpaceWidth = CharLength2(c); }

void CBitmapFontText::SetSpaceWidthAsInt(int width) { m_nSpaceWidth = width; }

int CBitmapFontText::GetCharHeight() const { return m_nHeightAdjustment + m_nCellHeight - (m_nVerticalInset >> 1); }

int CBitmapFontText::CharLength2(char c) const {
    const unsigned char code = static_cast<unsigned char>(c);
    return m_Advances[code] + (m_ABC[code].A >> 2);
}

int CBitmapFontText::Length2(const char* text) const {
    if (text == nullptr) {
        return 0;
    }
    // Damaged metrics can hold advances near 2^30; the sum saturates instead of overflowing.
    long long width = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        width += *p == ' ' ? m_nSpaceWidth : static_cast<long long>(CharLength2(*p)) + m_nLetterSpacing;
        width = std::clamp<long long>(width, INT_MIN, INT_MAX);
    }
    return static_cast<int>(width);
}

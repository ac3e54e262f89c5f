// Textures built from PVRTC tile files: a text descriptor names the grid, each tile is a PVR
// (version 2) file with its mip levels back to back after a 52-byte header.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/MemFile.h"
#include "core/Parser.h"
#include "render/GlesApi.h"
#include "render/ImageLoaders.h"
#include "render/RenderHost.h"
#include "render/TextureData.h"
#include "render/WinDibBitmap.h"

namespace {

constexpr std::size_t kPvrHeaderSize = 52;

std::uint32_t ReadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

int Log2Up(int v) {
    int s = 0;
    while ((1 << s) < v) ++s;
    return s;
}

int Scale16(int size, int tile) {
    if (tile <= 0 || size == tile) return 65536;
    return static_cast<int>(((static_cast<std::int64_t>(size) << 16) + tile / 2) / tile);
}

}  // namespace

int QuorvanTextureData::ProcessPVRData(std::span<const std::uint8_t> bytes, TexLevelData* levels, int* levelCount,
                                       bool* hasAlpha) {
    if (levelCount) *levelCount = 0;
    if (bytes.size() < kPvrHeaderSize) return 0;
    const std::uint8_t* h = bytes.data();
    if (h[44] != 'P' || h[45] != 'V' || h[46] != 'R' || h[47] != '!') return 0;
    const std::uint32_t format = ReadLE32(h + 16) & 0xFF;
    bool fourBits;
    if (format == 13 || format == 25)
        fourBits = true;
    else if (format == 12 || format == 24)
        fourBits = false;
    else
        return 0;
    const std::uint64_t dataLength = ReadLE32(h + 20);
    // Every level must lie inside the file: a data length beyond it is a broken file.
    if (dataLength == 0 || dataLength > bytes.size() - kPvrHeaderSize) return 0;
    std::uint64_t width = ReadLE32(h + 8), height = ReadLE32(h + 4);
    if (width == 0 || height == 0) return 0;
    std::uint64_t offset = 0;
    int count = 0;
    while (offset < dataLength) {
        if (count == kMaxPvrLevels) return 0;
        const std::uint64_t blocksAcross = fourBits ? width / 4 : width / 8;
        const std::uint64_t blocksDown = height / 4;
        const std::uint64_t size = (blocksAcross < 2 ? 2 : blocksAcross) * (blocksDown < 2 ? 2 : blocksDown) * 8;
        if (size > dataLength - offset) return 0;
        if (levels) {
            levels[count].data = h + kPvrHeaderSize + offset;
            levels[count].size = static_cast<std::size_t>(size);
        }
        ++count;
        offset += size;
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    if (levelCount) *levelCount = count;
    if (hasAlpha) *hasAlpha = ReadLE32(h + 40) != 0;
    return 1;
}

void QuorvanTextureData::texImage2DPVRTC(int level, int bpp, bool alpha, int w, int h, const void* data) {
    GLenum format;
    if (bpp == 4)
        format = alpha ? GL_COMPRESSED_RGBA_PVRTC_4BPPV1_IMG : GL_COMPRESSED_RGB_PVRTC_4BPPV1_IMG;
    else
        format = alpha ? GL_COMPRESSED_RGBA_PVRTC_2BPPV1_IMG : GL_COMPRESSED_RGB_PVRTC_2BPPV1_IMG;
    const long long size = std::max(static_cast<long long>(w) * h * bpp / 8, 32LL);
    g_Gl.CompressedTexImage2D(GL_TEXTURE_2D, level, format, w, h, 0, static_cast<GLsizei>(size), data);
}

int QuorvanTextureData::ParsePvrDescriptor(std::span<const std::uint8_t> text, TPvrDescriptor* out) {
    TPvrDescriptor d;
    TParseInput input;
    input.bytes = reinterpret_cast<const char*>(text.data());
    input.size = static_cast<int>(std::min<std::size_t>(text.size(), 1 << 20));
    input.name = "pvr descriptor";
    CommonStringRS<50> line, name, value;
    while (Parser::GetNextLine(input, line)) {
        if (!Parser::ReadPropertyFromString(line, name, value)) continue;
        const std::string key = name.GetData() ? name.GetData() : "";
        const long n = std::strtol(value.GetData() ? value.GetData() : "", nullptr, 10);
        // Clamped so that sizes computed from these values stay far from overflow.
        const int v = static_cast<int>(std::clamp(n, -(1L << 20), 1L << 20));
        if (key == "BorderSize")
            d.borderSize = v;
        else if (key == "FullWidth")
            d.fullWidth = v;
        else if (key == "FullHeight")
            d.fullHeight = v;
        else if (key == "NumTilesX")
            d.numTilesX = v;
        else if (key == "NumTilesY")
            d.numTilesY = v;
        else if (key == "SubTextureSize")
            d.subTextureSize = v;
        else if (key == "BPP")
            d.bpp = v;
    }
    if (d.fullWidth < 1 || d.fullHeight < 1 || d.numTilesX < 1 || d.numTilesY < 1 || d.subTextureSize < 1 ||
        d.bpp < 1 || d.borderSize < 0 || 2 * d.borderSize >= d.subTextureSize)
        return 0;
    // The grid is bounded so a hostile descriptor cannot ask for millions of tile records.
    if (static_cast<long long>(d.numTilesX) * d.numTilesY > 4096) return 0;
    if (out) *out = d;
    return 1;
}

int QuorvanTextureData::PVR_CreateTextureFrom(
    std::span<const std::uint8_t> descriptor, const char* descriptorPath, bool is2x,
    const std::function<std::vector<std::uint8_t>(const char* name)>& loadTile) {
    m_Pvr = 1;
    TPvrDescriptor d;
    if (!descriptorPath || !ParsePvrDescriptor(descriptor, &d)) return 0;
    ReleaseTextureData();
    m_Pvr = 1;
    m_TileCount = d.numTilesX * d.numTilesY;
    m_Tiles = new (std::nothrow) TTextureTile[m_TileCount];
    if (!m_Tiles) {
        m_TileCount = 0;
        return 0;
    }
    m_TilesAcross = d.numTilesX;
    m_TilesDown = d.numTilesY;
    for (int i = 0; i < m_TileCount; ++i) {
        // The empty default of 64 x 64: quad blits of PVR textures are not supported; the triangle
        // path maps through the border and scale instead.
        m_Tiles[i].texWidth = m_Tiles[i].texHeight = 64;
        m_Tiles[i].logicalWidth = m_Tiles[i].logicalHeight = 64;
        m_Tiles[i].xShift = m_Tiles[i].yShift = 6;
    }
    std::string base(descriptorPath);
    base = base.size() > 4 ? base.substr(0, base.size() - 4) : std::string();
    bool alpha = false;
    for (int i = 0; i < m_TileCount; ++i) {
        char suffix[24];  // "_" + up to 11 digits of an int + ".pvr"
        std::snprintf(suffix, sizeof suffix, "_%04d.pvr", i + 1);
        const std::string name = base + suffix;
        const std::vector<std::uint8_t> file = loadTile ? loadTile(name.c_str()) : std::vector<std::uint8_t>();
        if (file.empty()) return 0;
        m_Tiles[i].name = GLES_CreateTextureSurface(d.subTextureSize, d.subTextureSize, true);
        if (m_Tiles[i].name == 0) return 0;
        TexLevelData levels[kMaxPvrLevels];
        int count = 0;
        if (!ProcessPVRData(file, levels, &count, &alpha)) return 0;
        int size = d.subTextureSize;
        for (int level = 0; level < count; ++level) {
            texImage2DPVRTC(level, d.bpp, alpha, size, size, levels[level].data);
            size = size > 1 ? size / 2 : 1;
        }
    }
    const int tileSize = d.subTextureSize - 2 * d.borderSize;
    m_Width = m_LogicalWidth = m_ViewWidth = d.fullWidth;
    m_Height = m_LogicalHeight = m_ViewHeight = d.fullHeight;
    m_TileWidth = m_TileHeight = tileSize;
    m_TileXMask = m_TileYMask = tileSize - 1;
    m_TileXShift = m_TileYShift = Log2Up(tileSize);
    m_XScale = Scale16(d.fullWidth, tileSize);
    m_YScale = Scale16(d.fullHeight, tileSize);
    m_ViewX = m_ViewY = m_ViewX16 = m_ViewY16 = 0;
    m_AtlasView = 0;
    m_SourceBitmap = nullptr;
    m_Is2x = is2x ? 1 : 0;
    SetTileLogicalSizes(false);
    if (is2x) HalveForDoubleResolution();
    m_PvrAlpha = alpha ? 1 : 0;
    m_PvrScale = static_cast<float>(tileSize) / static_cast<float>(d.subTextureSize);
    m_PvrBorder = static_cast<float>(d.borderSize) / static_cast<float>(d.subTextureSize);
    return 1;
}

int QuorvanTextureData::PVR_CreateTexture(IDibBitmap* bitmap, const char* descriptorPath) {
    m_Pvr = 1;
    if (!descriptorPath) return 0;
    CMemoryFile descriptor;
    if (!DidLoadOpenImageFile1x_2x(m_pGame, descriptor, bitmap, descriptorPath, false)) return 0;
    const auto* text = static_cast<const std::uint8_t*>(descriptor.GetBuffer());
    const int size = descriptor.GetSize();
    auto* owner = dynamic_cast<CWinDibBitmap*>(bitmap);
    const bool is2x = owner && owner->Is2xImage();
    IRenderHost* game = m_pGame;
    return PVR_CreateTextureFrom(
        std::span<const std::uint8_t>(text, text && size > 0 ? static_cast<std::size_t>(size) : 0), descriptorPath,
        is2x, [game](const char* name) {
            CMemoryFile tile;
            std::vector<std::uint8_t> bytes;
            if (!tile.Open(game, name, FileMode::Read)) return bytes;
            const auto* p = static_cast<const std::uint8_t*>(tile.GetBuffer());
            if (p && tile.GetSize() > 0) bytes.assign(p, p + tile.GetSize());
            return bytes;
        });
}

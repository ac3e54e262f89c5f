#pragma once
// The OpenGL ES textures of one bitmap: an image of any size cut into a grid of power-of-two
// tiles, uploaded from the bitmap's RAM planes through one staging buffer, or a view of a
// rectangle of another bitmap's tiles (sprite atlases), or tiles built from PVRTC files. It also
// draws: axis-aligned blits split at tile borders into batched quads, and textured triangles
// clipped against the tiles.
//
// Main thread only (GL context, staging buffer and the state cache of GlesGlobals.h).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include <GLES/gl.h>

#include "render/DibBitmap.h"
#include "render/GlesGlobals.h"

class IRenderHost;

// Limits of the tiling; the staging buffer holds the largest tile in 32-bit texels plus 1 KiB.
inline constexpr int gMaxTextureWidth = 1024;
inline constexpr int gMaxTextureHeight = 1024;
inline constexpr int gMinTextureWidth = 8;
inline constexpr int gMinTextureHeight = 8;
inline constexpr int gMaxTextureAspectRatio = 16;
inline constexpr int g_nTextureDataBufferSize = 4195328;

// One texture of the grid.
struct TTextureTile {
    int texWidth = 0, texHeight = 0;          // texels
    int logicalWidth = 0, logicalHeight = 0;  // halved for 2x images
    int xShift = 0, yShift = 0;               // log2 of the logical size, rounded up
    GLuint name = 0;                          // 0 = none
};
static_assert(sizeof(TTextureTile) == 7 * 4, "tile records are seven 32-bit words");

// Vertex of textured triangles: position and u, v in 16.16 pixels (u, v absolute texels of the
// source bitmap), colour bytes.
struct QuorvanVertex {
    std::int32_t x = 0, y = 0, z = 0;
    std::int32_t u = 0, v = 0;
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
};

// A polygon under clipping: inline room for 100 vertices, doubling into the heap beyond.
class FastStackVertexList {
public:
    FastStackVertexList() = default;
    ~FastStackVertexList();
    FastStackVertexList(const FastStackVertexList&) = delete;
    FastStackVertexList& operator=(const FastStackVertexList&) = delete;

    void Clear() { m_Count = 0; }
    void Add(const QuorvanVertex& v);
    int Count() const { return m_Count; }
    QuorvanVertex& operator[](int i) { return m_Data[i]; }
    const QuorvanVertex& operator[](int i) const { return m_Data[i]; }
    int Capacity() const { return m_Capacity; }

private:
    static constexpr int kInline = 100;
    QuorvanVertex m_Inline[kInline];
    QuorvanVertex* m_Data = m_Inline;
    QuorvanVertex* m_Heap = nullptr;
    int m_Count = 0;
    int m_Capacity = kInline;
};

// One PVRTC mip level inside a PVR file's bytes.
struct TexLevelData {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};
inline constexpr int kMaxPvrLevels = 16;

// What an upload reads of a bitmap: its stored planes and sizes, and the texels it asks for.
struct TTextureSource {
    const std::uint8_t* pixels = nullptr;  // RGB565 (2 bytes) or red, green, blue (3 bytes)
    const std::uint8_t* alpha = nullptr;
    int width = 0, height = 0;  // stored columns and rows
    int bytesPerPixel = 2;
    bool is2x = false;
    TexelDepth depth = TexelDepth::kBySwitches;
};

// The integers of a PVR tile-set descriptor.
struct TPvrDescriptor {
    int borderSize = 0, fullWidth = 0, fullHeight = 0, numTilesX = 0, numTilesY = 0;
    int subTextureSize = 0, bpp = 0;
};

class QuorvanTextureData {
public:
    explicit QuorvanTextureData(IRenderHost* game);
    ~QuorvanTextureData();
    QuorvanTextureData(const QuorvanTextureData&) = delete;
    QuorvanTextureData& operator=(const QuorvanTextureData&) = delete;

    // Uploads the bitmap's planes (a CWinDibBitmap or derived) as the depth asks; 1 on success, 0
    // on failure (a texture name of 0, the staging buffer, a tile too big). Tiles made before a
    // failure stay.
    [[nodiscard]] int CreateTextureData(IDibBitmap* bitmap, bool alphaOnly, TexelDepth depth = TexelDepth::kBySwitches);
    // The same from planes described directly.
    [[nodiscard]] int CreateTextureDataFrom(const TTextureSource& src, bool alphaOnly);
    // Builds the grid for a W x H image without textures.
    void CreateTextureTiles(int width, int height);
    // Deletes own GL textures and the tile array; back to the empty state.
    void ReleaseTextureData();
    // Makes this a view of the rectangle (x, y, w, h) of the atlas's textures; 1 or 0 (the atlas
    // has no texture data or no tiles).
    [[nodiscard]] int SetTextureDataFromAtlas(IDibBitmap* atlas, int x, int y, int w, int h, bool second);

    // Builds the textures from a PVR tile set: the descriptor is read through the game's image
    // file search, the tiles "<descriptor less 4 chars>_%04d.pvr" (numbered from 1). 1 or 0.
    [[nodiscard]] int PVR_CreateTexture(IDibBitmap* bitmap, const char* descriptorPath);
    // The same over bytes: the descriptor text and a loader for tile file names (empty = missing).
    [[nodiscard]] int PVR_CreateTextureFrom(std::span<const std::uint8_t> descriptor, const char* descriptorPath,
                                            bool is2x,
                                            const std::function<std::vector<std::uint8_t>(const char* name)>& loadTile);

    // The GL name of the tile holding (x, y) (logical pixels, view origin included); cuts w and h
    // to the tile and gives its texture coordinates in 16.16 (1.0 = the whole texture).
    GLuint GetTexture(int x, int y, int& w, int& h, int& uL, int& vT, int& uR, int& vB) const;
    // Blits the w x h part at (sx, sy) to (x, y) as batched quads with colour (r, g, b, a).
    void Blt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int r, int g, int b, int a);
    // Draws n triangles (three vertices each) with absolute texel u, v.
    void BltTriangles_AbsoluteUV_Fast(IDibBitmap* dst, const QuorvanVertex* triangles, int n, bool ignoreColours);

    void SetTextureMapMode(int s, int t) {
        m_WrapS = s;
        m_WrapT = t;
    }
    void GetTextureMapMode(int& s, int& t) const {
        s = m_WrapS;
        t = m_WrapT;
    }

    // Generates a texture set up for the engine's filters; the arguments are not used.
    static GLuint GLES_CreateTextureSurface(int w, int h, bool alpha);
    // Converts and uploads the tile at (x, y) of tw x th texels, as 32-bit RGBA when the host's
    // switch or the source's depth asks for it or the pixels are 24-bit; 1 or 0.
    static int GLES_CopyImageToTexture(QuorvanTextureData* data, IRenderHost* game, GLuint name,
                                       const TTextureSource& src, int x, int y, int tw, int th, bool hasAlpha,
                                       bool alphaOnly);
    // Parses a PVR (version 2) file; every level lies inside `bytes`. 1 or 0.
    static int ProcessPVRData(std::span<const std::uint8_t> bytes, TexLevelData* levels, int* levelCount,
                              bool* hasAlpha);
    static void texImage2DPVRTC(int level, int bpp, bool alpha, int w, int h, const void* data);
    // Parses a descriptor's text; 1 or 0 (a key other than BorderSize below 1).
    static int ParsePvrDescriptor(std::span<const std::uint8_t> text, TPvrDescriptor* out);
    // The best power-of-two texture size for a w x h request.
    static void GetBestTextureDimensions(int w, int h, int& outW, int& outH);

    // Read access for the bitmap, fonts and tests.
    int TileCount() const { return m_TileCount; }
    int TilesAcross() const { return m_TilesAcross; }
    int TilesDown() const { return m_TilesDown; }
    const TTextureTile* Tiles() const { return m_Tiles; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    int LogicalWidth() const { return m_LogicalWidth; }
    int LogicalHeight() const { return m_LogicalHeight; }
    int TileWidth() const { return m_TileWidth; }
    int TileHeight() const { return m_TileHeight; }
    int TileXShift() const { return m_TileXShift; }
    int TileYShift() const { return m_TileYShift; }
    int XScale() const { return m_XScale; }
    int YScale() const { return m_YScale; }
    bool IsAtlasView() const { return m_AtlasView != 0; }
    int ViewX() const { return m_ViewX; }
    int ViewY() const { return m_ViewY; }
    // The view origin in logical pixels (halved for a 2x atlas).
    int ViewXLogical() const { return m_ViewX16 >> 16; }
    int ViewYLogical() const { return m_ViewY16 >> 16; }
    int ViewWidth() const { return m_ViewWidth; }
    int ViewHeight() const { return m_ViewHeight; }
    int TexelType() const { return m_TexelType; }
    bool IsPvr() const { return m_Pvr != 0; }
    bool HasPvrAlpha() const { return m_PvrAlpha != 0; }
    float PvrBorder() const { return m_PvrBorder; }
    float PvrScale() const { return m_PvrScale; }
    int FormatKind() const { return m_FormatKind; }

private:
    void ResetToEmpty();
    void HalveForDoubleResolution();
    void SetTileLogicalSizes(bool half);
    void EmitClippedTriangle(IDibBitmap* dst, const QuorvanVertex* tri, bool ignoreColours);

    TTextureTile* m_Tiles = nullptr;
    int m_TileCount = 0;
    int m_TilesAcross = 0, m_TilesDown = 0;
    int m_Width = 0, m_Height = 0;
    int m_LogicalWidth = 0, m_LogicalHeight = 0;
    int m_TileWidth = 64, m_TileHeight = 64;
    int m_TileXMask = 63, m_TileYMask = 63;
    int m_TileXShift = 6, m_TileYShift = 6;
    int m_XScale = 65536, m_YScale = 65536;
    std::uint16_t m_AtlasView = 0;
    int m_ViewX = 0, m_ViewY = 0;
    int m_ViewX16 = 0, m_ViewY16 = 0;
    int m_ViewWidth = 0, m_ViewHeight = 0;
    int m_TexelType = -1;
    IDibBitmap* m_SourceBitmap = nullptr;
    std::uint8_t m_Is2x = 0;
    std::uint8_t m_Pvr = 0;
    float m_PvrBorder = 0.0f, m_PvrScale = 1.0f;
    std::uint8_t m_PvrAlpha = 0;
    int m_WrapS = Renderer_TextureMapMode_Clamp, m_WrapT = Renderer_TextureMapMode_Clamp;
    int m_FormatKind = 0;
    IRenderHost* m_pGame = nullptr;
};

// The shared staging buffer (allocated on first upload); freed when the screen bitmap goes.
void OGLES_FreeTextureStagingBuffer();

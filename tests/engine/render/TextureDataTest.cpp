// Texture tiling, upload, blits across tiles, textured triangles and PVR parsing.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "render/GlesGlobals.h"
#include "render/TextureData.h"
#include "testsupport/FakeRenderHost.h"
#include "testsupport/GlesTestContext.h"

namespace {

std::uint16_t Rgb565(int r, int g, int b) {
    return static_cast<std::uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

struct TTileCase {
    int w, h;
    int across, down, tileW, tileH;
    int lastW, lastH;  // texture size of the bottom-right tile
    int xScale, yScale;
    const char* why;
};

TEST(TextureTilingTest, GridSizesAndScales) {
    // Scales by hand: round(w / tileW * 65536).
    const TTileCase cases[] = {
        {100, 30, 1, 1, 128, 32, 128, 32, 51200, 61440, "one tile rounded up to powers of two"},
        {1100, 10, 2, 1, 1024, 64, 128, 64, 70400, 10240,
         "aspect limit doubles the short side; right tile best(76, 64)"},
        {4, 4, 1, 1, 8, 8, 8, 8, 32768, 32768, "minimum size 8"},
        {2000, 1500, 2, 2, 1024, 1024, 1024, 512, 128000, 96000, "corner sized by right width and bottom height"},
        {64, 64, 1, 1, 64, 64, 64, 64, 65536, 65536, "exact power of two: scale exactly 1.0"},
    };
    for (const TTileCase& c : cases) {
        QuorvanTextureData tex(nullptr);
        tex.CreateTextureTiles(c.w, c.h);
        EXPECT_EQ(tex.TilesAcross(), c.across) << c.why;
        EXPECT_EQ(tex.TilesDown(), c.down) << c.why;
        EXPECT_EQ(tex.TileWidth(), c.tileW) << c.why;
        EXPECT_EQ(tex.TileHeight(), c.tileH) << c.why;
        const TTextureTile& last = tex.Tiles()[tex.TileCount() - 1];
        EXPECT_EQ(last.texWidth, c.lastW) << c.why;
        EXPECT_EQ(last.texHeight, c.lastH) << c.why;
        EXPECT_EQ(tex.XScale(), c.xScale) << c.why;
        EXPECT_EQ(tex.YScale(), c.yScale) << c.why;
        EXPECT_EQ(tex.Tiles()[0].name, 0u);
    }
}

class TextureRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
        ctx.BeginScene(0, 0, 0);
        Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
    }
    void TearDown() override { GLES_ResetStateCache(); }

    // A w x h RGB565 image whose colour encodes the column (low five bits in red, the next bits in
    // green) and the row (blue), so every source column of a wide image is told apart on readback.
    static std::uint16_t ColumnColour(int x, int y) {
        return Rgb565((x * 8) & 0xF8, ((x >> 5) * 4) & 0xFC, (y * 8) & 0xF8);
    }
    static void ExpectColumnColour(const std::array<std::uint8_t, 4>& p, int x, int y, const char* why) {
        // GL widens 565 channels by bit replication.
        const std::uint16_t c = ColumnColour(x, y);
        const int r5 = (c >> 11) & 31, g6 = (c >> 5) & 63, b5 = c & 31;
        EXPECT_EQ(p[0], (r5 << 3) | (r5 >> 2)) << why << " column " << x;
        EXPECT_EQ(p[1], (g6 << 2) | (g6 >> 4)) << why << " column " << x;
        EXPECT_EQ(p[2], (b5 << 3) | (b5 >> 2)) << why << " column " << x;
    }
    std::vector<std::uint16_t> ColumnImage(int w, int h) {
        std::vector<std::uint16_t> px(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[y * w + x] = ColumnColour(x, y);
        return px;
    }
    static TTextureSource Source(const std::vector<std::uint16_t>& px, int w, int h,
                                 const std::uint8_t* alpha = nullptr) {
        TTextureSource s;
        s.pixels = reinterpret_cast<const std::uint8_t*>(px.data());
        s.alpha = alpha;
        s.width = w;
        s.height = h;
        return s;
    }

    CGlesTestContext ctx{128, 32};
};

TEST_F(TextureRenderTest, ReuploadAtSameSizeKeepsTextureNames) {
    auto px = ColumnImage(100, 30);
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, 100, 30), false), 1);
    const GLuint first = tex.Tiles()[0].name;
    EXPECT_NE(first, 0u);
    EXPECT_EQ(tex.TexelType(), GL_UNSIGNED_SHORT_5_6_5);
    EXPECT_EQ(tex.FormatKind(), 1);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, 100, 30), false), 1);
    EXPECT_EQ(tex.Tiles()[0].name, first);
    std::vector<std::uint8_t> alpha(3000, 255);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, 100, 30, alpha.data()), false), 1);
    EXPECT_EQ(tex.FormatKind(), 2) << "a new format kind rebuilds";
    EXPECT_EQ(tex.TexelType(), GL_UNSIGNED_SHORT_4_4_4_4);
}

TEST_F(TextureRenderTest, WideBitmapIsSplitAtTileBordersAndDrawsSeamlessly) {
    const int W = 1100, H = 4;
    auto px = ColumnImage(W, H);
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, W, H), false), 1);
    ASSERT_EQ(tex.TileCount(), 2);
    CGlesCallCounter calls;
    // Source columns 1000..1099 straddle the border at 1024.
    tex.Blt(nullptr, 0, 0, 100, 4, 1000, 0, 255, 255, 255, 255);
    GLES_FlushBuffer();
    EXPECT_EQ(calls.bindTexture(), 2) << "one quad per tile, each with its own texture";
    EXPECT_EQ(calls.drawElementsIndexTotal(), 12);
    const auto frame = ctx.ReadFrame();
    for (int x = 0; x < 100; ++x) {
        const std::uint8_t* p = &frame[(2 * 128 + x) * 4];
        ExpectColumnColour({p[0], p[1], p[2], p[3]}, 1000 + x, 2, "tile split");
    }
}

TEST_F(TextureRenderTest, NegativeSourceXMovesTheDestination) {
    auto px = ColumnImage(16, 4);
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, 16, 4), false), 1);
    tex.Blt(nullptr, 10, 0, 8, 4, -3, 0, 255, 255, 255, 255);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(12, 1)[0], 0) << "columns left of x - sx stay untouched";
    ExpectColumnColour(ctx.Pixel(13, 1), 0, 1, "source column 0 at x - sx");
    ExpectColumnColour(ctx.Pixel(17, 1), 4, 1, "then on");
    EXPECT_EQ(ctx.Pixel(18, 1)[0], 0) << "width cut by the clipped part";
}

TEST_F(TextureRenderTest, BlitOutsideTheImageDrawsNothing) {
    auto px = ColumnImage(16, 4);
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, 16, 4), false), 1);
    CGlesCallCounter calls;
    tex.Blt(nullptr, 0, 0, 8, 4, 16, 0, 255, 255, 255, 255);
    tex.Blt(nullptr, 0, 0, 8, 4, 0, -4, 255, 255, 255, 255);
    GLES_FlushBuffer();
    EXPECT_EQ(calls.drawElements(), 0);
}

TEST_F(TextureRenderTest, TrianglesAcrossTilesMatchThePlainBlit) {
    const int W = 1100, H = 4;
    auto px = ColumnImage(W, H);
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, W, H), false), 1);
    // Two triangles covering destination (0, 0)-(100, 4) from source (1000, 0)-(1100, 4), 16.16.
    auto V = [](int x, int y, int u, int v) {
        return QuorvanVertex{.x = x << 16, .y = y << 16, .u = u << 16, .v = v << 16};
    };
    const QuorvanVertex tris[6] = {V(0, 0, 1000, 0), V(100, 0, 1100, 0), V(100, 4, 1100, 4),
                                   V(0, 0, 1000, 0), V(100, 4, 1100, 4), V(0, 4, 1000, 4)};
    tex.BltTriangles_AbsoluteUV_Fast(nullptr, tris, 2, false);
    GLES_FlushBuffer();
    const auto frame = ctx.ReadFrame();
    for (int x = 0; x < 100; ++x) {
        const std::uint8_t* p = &frame[(1 * 128 + x) * 4];
        ExpectColumnColour({p[0], p[1], p[2], p[3]}, 1000 + x, 1, "triangles across the tile border");
    }
}

// With the switch for drivers that draw on the CPU, a 4444 texture goes up as 8888 holding the
// values the driver itself widens 4444 texels to; drawn magnified (filtered between texels) and
// blended, it must give the frame the 4444 upload gives, pixel for pixel.
TEST_F(TextureRenderTest, Widened4444UploadDrawsTheFrameOf4444) {
    constexpr int W = 24, H = 8;
    std::vector<std::uint16_t> px(W * H);
    std::vector<std::uint8_t> alpha(W * H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            px[y * W + x] = Rgb565((x * 11) & 255, (y * 37 + x * 5) & 255, (255 - x * 9) & 255);
            alpha[y * W + x] = static_cast<std::uint8_t>((x * 23 + y * 41) % 256);
        }
    }
    auto V = [](int x, int y, int u, int v) {
        return QuorvanVertex{.x = x << 16, .y = y << 16, .u = u << 16, .v = v << 16};
    };
    // Destination (3, 1)-(123, 31) from the whole image: five and nearly four times as large.
    const QuorvanVertex tris[6] = {V(3, 1, 0, 0), V(123, 1, W, 0),  V(123, 31, W, H),
                                   V(3, 1, 0, 0), V(123, 31, W, H), V(3, 31, 0, H)};
    std::vector<std::uint8_t> frames[2];
    for (bool widen : {false, true}) {
        CFakeRenderHost host;
        host.m_RenderSwitches.m_bWiden4444Uploads = widen;
        QuorvanTextureData tex(&host);
        CTexImageRecorder uploads;
        ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, W, H, alpha.data()), false), 1);
        ASSERT_EQ(uploads.Uploads().size(), 1u);
        EXPECT_EQ(uploads.Uploads()[0].type, widen ? GL_UNSIGNED_BYTE : GL_UNSIGNED_SHORT_4_4_4_4);
        EXPECT_EQ(tex.TexelType(), GL_UNSIGNED_SHORT_4_4_4_4) << "the texels keep the 4444 layout's values";
        ctx.BeginScene(40, 90, 160);
        Renderer_SetBlendMode(Renderer_BlendMode_Normal, nullptr);
        tex.BltTriangles_AbsoluteUV_Fast(nullptr, tris, 2, false);
        GLES_FlushBuffer();
        frames[widen ? 1 : 0] = ctx.ReadFrame();
        GLES_ResetStateCache();
    }
    // The picture is there: most of the quad differs from the ground.
    int drawn = 0;
    for (int y = 1; y < 31; ++y) {
        for (int x = 3; x < 123; ++x) {
            const std::uint8_t* p = &frames[0][(y * 128 + x) * 4];
            drawn += p[0] != 40 || p[1] != 90 || p[2] != 160;
        }
    }
    EXPECT_GT(drawn, 120 * 30 / 2);
    ASSERT_EQ(frames[0].size(), frames[1].size());
    for (std::size_t i = 0; i < frames[0].size(); i += 4) {
        if (std::memcmp(&frames[0][i], &frames[1][i], 3) != 0) {
            ADD_FAILURE() << "pixel (" << i / 4 % 128 << ", " << i / 4 / 128 << ") differs";
            break;
        }
    }
}

TEST_F(TextureRenderTest, OffScreenTrianglesAreCulledOnTheSingleTilePath) {
    auto px = ColumnImage(16, 4);
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(Source(px, 16, 4), false), 1);
    QuorvanVertex tri[3];
    tri[0].x = -(10 << 16);
    tri[1].x = -(1 << 16);
    tri[2].x = -(5 << 16);
    tri[2].y = 4 << 16;
    // Without a destination there is no right or bottom edge to cull against, but all-left culls.
    tex.BltTriangles_AbsoluteUV_Fast(nullptr, tri, 1, false);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 0);
}

TEST(FastStackVertexListTest, GrowsPastItsInlineRoomKeepingVertices) {
    FastStackVertexList list;
    for (int i = 0; i < 250; ++i) {
        QuorvanVertex v;
        v.x = i;
        list.Add(v);
    }
    EXPECT_EQ(list.Count(), 250);
    EXPECT_EQ(list.Capacity(), 400);
    for (int i = 0; i < 250; ++i) EXPECT_EQ(list[i].x, i);
}

// ---- PVR -----------------------------------------------------------------------------------

std::vector<std::uint8_t> PvrFile(int w, int h, int format, std::uint32_t dataLength, std::size_t actualData,
                                  std::uint32_t alphaMask = 0, const char* tag = "PVR!") {
    std::vector<std::uint8_t> f(52 + actualData, 0xAB);
    auto put = [&](int off, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) f[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 52);
    put(4, static_cast<std::uint32_t>(h));
    put(8, static_cast<std::uint32_t>(w));
    put(12, 0);
    put(16, static_cast<std::uint32_t>(format) | 0x8000);
    put(20, dataLength);
    put(40, alphaMask);
    std::memcpy(&f[44], tag, 4);
    return f;
}

struct TPvrCase {
    int w, h, format;
    std::uint32_t dataLength;
    std::size_t actual;
    int ok, levels;
    const char* tag;
    const char* why;
};

TEST(PvrParseTest, HeaderLevelsAndBounds) {
    // Level sizes by hand: 4 bpp 16x16: 4x4 blocks = 128 bytes; 8x8: 2x2 = 32; 4x4 and below: 2x2
    // minimum = 32 each. 2 bpp 16x16: 2 x 4 blocks -> max(2,2) x 4 = 64.
    const TPvrCase cases[] = {
        {16, 16, 13, 128, 128, 1, 1, "PVR!", "one 4 bpp level"},
        {16, 16, 25, 128 + 32 + 32 + 32 + 32, 256, 1, 5, "PVR!", "full mip chain down to 1 x 1"},
        {16, 16, 12, 64, 64, 1, 1, "PVR!", "2 bpp level"},
        {16, 16, 13, 128, 127, 0, 0, "PVR!", "data length beyond the file"},
        {16, 16, 13, 100, 128, 0, 0, "PVR!", "a level crossing the data length"},
        {16, 16, 13, 0xFFFFFFF0u, 128, 0, 0, "PVR!", "huge data length"},
        {16, 16, 14, 128, 128, 0, 0, "PVR!", "not a PVRTC format"},
        {16, 16, 13, 128, 128, 0, 0, "PVR?", "wrong tag"},
        {16, 16, 13, 0, 0, 0, 0, "PVR!", "no levels"},
    };
    for (const TPvrCase& c : cases) {
        const auto file = PvrFile(c.w, c.h, c.format, c.dataLength, c.actual, 0, c.tag);
        TexLevelData levels[kMaxPvrLevels];
        int count = -1;
        bool alpha = true;
        EXPECT_EQ(QuorvanTextureData::ProcessPVRData(file, levels, &count, &alpha), c.ok) << c.why;
        if (!c.ok) continue;
        EXPECT_EQ(count, c.levels) << c.why;
        EXPECT_FALSE(alpha);
        EXPECT_EQ(levels[0].data, file.data() + 52);
    }
    EXPECT_EQ(QuorvanTextureData::ProcessPVRData(std::span<const std::uint8_t>(), nullptr, nullptr, nullptr), 0);
    const auto withAlpha = PvrFile(8, 8, 13, 32, 32, 0xFF000000u);
    bool alpha = false;
    int count = 0;
    ASSERT_EQ(QuorvanTextureData::ProcessPVRData(withAlpha, nullptr, &count, &alpha), 1);
    EXPECT_TRUE(alpha);
}

std::vector<std::uint8_t> Bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

TEST(PvrParseTest, DescriptorValues) {
    TPvrDescriptor d;
    const std::string good =
        "BorderSize = 0\nFullWidth = 100\nFullHeight=60 // comment\nNumTilesX = 2\nNumTilesY = 1\n"
        "SubTextureSize = 64\nBPP = 4\n";
    ASSERT_EQ(QuorvanTextureData::ParsePvrDescriptor(Bytes(good), &d), 1) << "BorderSize 0 is accepted";
    EXPECT_EQ(d.fullWidth, 100);
    EXPECT_EQ(d.fullHeight, 60);
    EXPECT_EQ(d.numTilesX, 2);
    EXPECT_EQ(d.subTextureSize, 64);
    std::string badBpp = good;
    badBpp.replace(badBpp.find("BPP = 4"), 7, "BPP = 0");
    EXPECT_EQ(QuorvanTextureData::ParsePvrDescriptor(Bytes(badBpp), &d), 0) << "BPP 0 fails";
    std::string missing = good;
    missing.erase(missing.find("NumTilesY"), 14);
    EXPECT_EQ(QuorvanTextureData::ParsePvrDescriptor(Bytes(missing), &d), 0) << "a missing key counts as 0";
}

TEST(PvrTextureTest, BuildsEveryTileAndLevelUpToTheUpload) {
    CGlesTestContext ctx(8, 8);
    if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
    GLES_ResetStateCache();
    const std::string desc =
        "BorderSize = 2\nFullWidth = 120\nFullHeight = 60\nNumTilesX = 2\nNumTilesY = 1\nSubTextureSize = 64\nBPP = "
        "4\n";
    std::map<std::string, std::vector<std::uint8_t>> files;
    // 64 x 64 at 4 bpp: 16 x 16 blocks x 8 = 2048 bytes, then 512, 128, 32, 32, 32, 32.
    const std::uint32_t chain = 2048 + 512 + 128 + 32 * 4;
    files["Images\\sky_0001.pvr"] = PvrFile(64, 64, 25, chain, chain, 0xFF);
    files["Images\\sky_0002.pvr"] = PvrFile(64, 64, 25, 2048, 2048, 0xFF);
    auto loader = [&](const char* name) {
        auto it = files.find(name);
        return it == files.end() ? std::vector<std::uint8_t>() : it->second;
    };
    {
        CGlesCallCounter calls;
        QuorvanTextureData tex(nullptr);
        ASSERT_EQ(tex.PVR_CreateTextureFrom(Bytes(desc), "Images\\sky.txt", false, loader), 1);
        EXPECT_EQ(calls.compressedTexImage(), 7 + 1);
        EXPECT_TRUE(tex.IsPvr());
        EXPECT_TRUE(tex.HasPvrAlpha());
        EXPECT_EQ(tex.Width(), 120);
        EXPECT_EQ(tex.TileWidth(), 60);
        EXPECT_FLOAT_EQ(tex.PvrScale(), 60.0f / 64.0f);
        EXPECT_FLOAT_EQ(tex.PvrBorder(), 2.0f / 64.0f);
        EXPECT_EQ(tex.XScale(), 131072);
        EXPECT_NE(tex.Tiles()[1].name, 0u);
    }
    {
        files["Images\\sky_0002.pvr"] = PvrFile(64, 64, 25, 2048, 2048, 0xFF, "XVR!");
        QuorvanTextureData tex(nullptr);
        EXPECT_EQ(tex.PVR_CreateTextureFrom(Bytes(desc), "Images\\sky.txt", false, loader), 0)
            << "one bad tile fails the whole texture";
    }
    {
        files.erase("Images\\sky_0002.pvr");
        QuorvanTextureData tex(nullptr);
        EXPECT_EQ(tex.PVR_CreateTextureFrom(Bytes(desc), "Images\\sky.txt", false, loader), 0) << "missing tile";
    }
}

}  // namespace

namespace {

TEST_F(TextureRenderTest, TrueColourPixelsGoUpAsRgba8888) {
    // 24-bit planes (red, green, blue bytes) have no 16-bit layout: they always upload as 8888.
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < 16; ++i) rgb.insert(rgb.end(), {201, 17, 99});
    TTextureSource src;
    src.pixels = rgb.data();
    src.width = src.height = 4;
    src.bytesPerPixel = 3;
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(src, false), 1);
    EXPECT_EQ(tex.TexelType(), GL_UNSIGNED_BYTE);
    tex.Blt(nullptr, 0, 0, 4, 4, 0, 0, 255, 255, 255, 255);
    GLES_FlushBuffer();
    const auto p = ctx.Pixel(1, 1);
    EXPECT_EQ(p[0], 201);
    EXPECT_EQ(p[1], 17);
    EXPECT_EQ(p[2], 99);
}

}  // namespace

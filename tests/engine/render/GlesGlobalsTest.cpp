// The GL state cache, the blend modes and the quad batcher: draw-call counts through the counting
// wrapper, GL state read back from the context, and rendered pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "render/GlesGlobals.h"
#include "render/TextureData.h"
#include "testsupport/GlesTestContext.h"

namespace {

class GlesGlobalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ctx.IsValid()) GTEST_SKIP() << "no headless EGL context";
        ctx.BeginScene();
    }
    void TearDown() override { GLES_ResetStateCache(); }

    // An untextured quad of w x h pixels at (x, y) with one colour.
    static void Quad(int x, int y, int w, int h, GLubyte r = 255, GLubyte g = 255, GLubyte b = 255, GLubyte a = 255) {
        const GLfixed xy[8] = {x << 8, y << 8, (x + w) << 8, y << 8, (x + w) << 8, (y + h) << 8, x << 8, (y + h) << 8};
        const GLfixed uv[8] = {0, 0, 0x10000, 0, 0x10000, 0x10000, 0, 0x10000};
        const GLubyte c[16] = {r, g, b, a, r, g, b, a, r, g, b, a, r, g, b, a};
        GLES_RenderQUAD(xy, uv, c);
    }

    CGlesTestContext ctx{64, 64};
};

TEST_F(GlesGlobalsTest, SameStateQuadsGoOutInOneDrawCall) {
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, nullptr);
    CGlesCallCounter calls;
    Quad(0, 0, 8, 8);
    Quad(10, 0, 8, 8);
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, nullptr);  // same state again: no break
    Quad(20, 0, 8, 8);
    EXPECT_EQ(calls.drawElements(), 0) << "nothing may be drawn before the flush";
    GLES_FlushBuffer();
    EXPECT_EQ(calls.drawElements(), 1);
    EXPECT_EQ(calls.drawElementsIndexTotal(), 18);
    GLES_FlushBuffer();
    EXPECT_EQ(calls.drawElements(), 1) << "an empty batch draws nothing";
}

TEST_F(GlesGlobalsTest, BlendChangeSplitsTheBatchAndKeepsOrder) {
    Renderer_SetBlendMode(Renderer_BlendMode_Normal, nullptr);
    CGlesCallCounter calls;
    Quad(0, 0, 8, 8);
    Renderer_SetBlendMode(Renderer_BlendMode_Additive, nullptr);
    EXPECT_EQ(calls.drawElements(), 1) << "the state change draws what was batched first";
    EXPECT_EQ(calls.drawElementsIndexTotal(), 6);
    Quad(10, 0, 8, 8);
    GLES_FlushBuffer();
    EXPECT_EQ(calls.drawElements(), 2);
}

TEST_F(GlesGlobalsTest, BatchFlushesBeforeItOverflows) {
    CGlesCallCounter calls;
    for (int i = 0; i < 166; ++i) Quad(i % 60, 0, 1, 1);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 996);
    EXPECT_EQ(calls.drawElements(), 0);
    Quad(0, 1, 1, 1);
    EXPECT_EQ(calls.drawElements(), 1);
    EXPECT_EQ(calls.drawElementsIndexTotal(), 996) << "the 167th quad draws the first 166";
    EXPECT_EQ(g_GLES_NumIndexesUsed, 6);
    EXPECT_EQ(g_GLES_NumVertexUsed, 4);
    // Triangles obey the same limit.
    GLES_FlushBuffer();
    calls.Reset();
    const GLfixed xyz[9] = {0, 0, 0, 256, 0, 0, 256, 256, 0};
    const GLfixed uv[6] = {};
    for (int i = 0; i < 332; ++i) GLES_RenderTRIANGLE_3D(xyz, uv, nullptr);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 996);
    GLES_RenderTRIANGLE_3D(xyz, uv, nullptr);
    EXPECT_EQ(calls.drawElements(), 1);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 3);
}

TEST_F(GlesGlobalsTest, QuadIndicesAndNullColourMeanOpaqueWhite) {
    const GLfixed xy[8] = {0, 0, 256, 0, 256, 256, 0, 256};
    const GLfixed uv[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(GLES_RenderQUAD(xy, uv, nullptr), 4);
    EXPECT_EQ(GLES_RenderQUAD(xy, uv, nullptr), 8);
    const GLushort expected[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(g_GLES_Indexes[i], expected[i]) << i;
    for (int i = 0; i < 32; ++i) EXPECT_EQ(g_GLES_Colors[i], 255) << i;
    EXPECT_EQ(g_GLES_TexCoords[4 * 2 + 1], 2);
    EXPECT_EQ(g_GLES_Coords[2 * 3 + 0], 256);
    EXPECT_EQ(g_GLES_Coords[2 * 3 + 2], 0);
}

TEST_F(GlesGlobalsTest, ReselectingCurrentStateIssuesNoGlCall) {
    QuorvanTextureData tex(nullptr);
    std::vector<std::uint16_t> px(16, 0xFFFF);
    TTextureSource src;
    src.pixels = reinterpret_cast<const std::uint8_t*>(px.data());
    src.width = src.height = 4;
    ASSERT_EQ(tex.CreateTextureDataFrom(src, false), 1);
    const GLuint name = tex.Tiles()[0].name;
    GLES_SelectTexture(name, 0);
    Renderer_SetBlendMode(Renderer_BlendMode_Additive, nullptr);
    GLES_SetTextEnvironmentColor(10 << 8, 20 << 8, 30 << 8, 40 << 8);
    Quad(0, 0, 4, 4);
    CGlesCallCounter calls;
    GLES_SelectTexture(name, 0);
    GLES_BlendMode(1, GL_SRC_ALPHA, GL_ONE);
    GLES_SetTextEnvironmentMode(GL_MODULATE);
    GLES_SetTextEnvironmentColor(10 << 8, 20 << 8, 30 << 8, 40 << 8);
    Renderer_SetBlendMode(7, nullptr);  // outside 0-3: nothing
    Renderer_SetBlendMode(-1, nullptr);
    EXPECT_EQ(calls.total(), 0);
    EXPECT_EQ(g_GLES_NumIndexesUsed, 6) << "the batch must not be drawn";
    EXPECT_EQ(g_GLES_BlendDestFactor, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(g_TextEnvironmentColorARGB, 10u | 20u << 8 | 30u << 16 | 40u << 24);
}

TEST_F(GlesGlobalsTest, RestoreCachingSupportPutsGlBackInStep) {
    // Foreign GL calls behind the cache's back.
    GLES_FlushBuffer();
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const GLfixed red[4] = {0x10000, 0, 0, 0x10000};
    glTexEnvxv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, red);
    glEnable(GL_TEXTURE_2D);
    GLfixed dummy[3];
    glVertexPointer(3, GL_FIXED, 0, dummy);
    GLES_RestoreCachingSupport();

    GLint v = 0;
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC, &v);
    EXPECT_EQ(v, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &v);
    EXPECT_EQ(v, GL_ONE_MINUS_SRC_ALPHA);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &v);
    EXPECT_EQ(v, GL_MODULATE);
    GLfloat colour[4] = {1, 1, 1, 1};
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, colour);
    for (float c : colour) EXPECT_EQ(c, 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(g_Current_texName, 0u);
    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<void*>(g_GLES_Coords));
    glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, static_cast<void*>(g_GLES_Colors));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(g_GLES_ColorBufferUsageChanged, 1);
}

TEST_F(GlesGlobalsTest, CounterClockwiseQuadIsCulled) {
    Renderer_SetBlendMode(Renderer_BlendMode_Opaque, nullptr);
    GLES_SelectTexture(0, 0);
    // Corners top-left, bottom-left, bottom-right, top-right: counter-clockwise on the screen.
    const GLfixed ccw[8] = {0, 0, 0, 16 << 8, 16 << 8, 16 << 8, 16 << 8, 0};
    const GLfixed uv[8] = {};
    GLES_RenderQUAD(ccw, uv, nullptr);
    Quad(32, 0, 16, 16);
    GLES_FlushBuffer();
    EXPECT_EQ(ctx.Pixel(8, 8)[0], 0) << "counter-clockwise quad must be culled";
    EXPECT_EQ(ctx.Pixel(40, 8)[0], 255) << "clockwise quad is drawn";
}

TEST_F(GlesGlobalsTest, ViewportIsSetByTheFirstProjectionOnly) {
    GLES_ResetStateCache();
    CGlesCallCounter calls;
    TGlesProjection p;
    p.storedWidth = p.logicalWidth = 64;
    p.storedHeight = p.logicalHeight = 64;
    GLES_ApplyProjection2D(p);
    GLES_ApplyProjection2D(p);
    p.physicalViewport = true;
    p.physicalWidth = 10;
    GLES_ApplyProjection3D(p);
    EXPECT_EQ(calls.viewport(), 1);
    GLint vp[4] = {};
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 64);
    EXPECT_EQ(vp[3], 64);
}

// The projection matrices against the same transforms built directly with GL: only a landscape
// game on a turned screen gets the quarter turns. Rotation angle 0 eases to 0.5 (sin 0 = 0, so
// (0 + 256) / 512), a half of the 180-degree turn.
TEST_F(GlesGlobalsTest, ProjectionsTurnOnlyALandscapeGameOnATurnedScreen) {
    struct Case {
        int logicalW, logicalH;
        bool turnedScreen;
        bool quarterTurns;
    };
    const Case cases[] = {{64, 32, true, true}, {64, 32, false, false}, {32, 64, true, false}};
    const float t = std::tan(0.26179916666666664f);
    for (const Case& c : cases) {
        TGlesProjection p;
        p.storedWidth = p.storedHeight = 64;
        p.logicalWidth = c.logicalW;
        p.logicalHeight = c.logicalH;
        p.turnedScreen = c.turnedScreen;
        const float W = static_cast<float>(c.logicalW), H = static_cast<float>(c.logicalH);
        GLfloat got[16] = {}, want[16] = {};

        GLES_ApplyProjection2D(p);
        glMatrixMode(GL_PROJECTION);
        glGetFloatv(GL_PROJECTION_MATRIX, got);
        glLoadIdentity();
        if (c.quarterTurns) glRotatef(-90.0f, 0, 0, 1);
        // The fixed-point projection spans W << 8 in 16.16 units: W / 256 as a float.
        glOrthof(0, W / 256, H / 256, 0, 0, 1);
        if (c.quarterTurns) {
            glTranslatef(W / 512, H / 512, 0);
            glRotatef(90.0f, 0, 0, 1);
            glTranslatef(-W / 512, -H / 512, 0);
        }
        glGetFloatv(GL_PROJECTION_MATRIX, want);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(got[i], want[i], 1e-4) << "2D, " << c.logicalW << " wide, element " << i;

        GLES_ApplyProjection3D(p);
        glMatrixMode(GL_PROJECTION);
        glGetFloatv(GL_PROJECTION_MATRIX, got);
        glLoadIdentity();
        if (c.quarterTurns) glRotatef(-90.0f, 0, 0, 1);
        const float a = W / H;
        glFrustumf(-t * a, t * a, -t, t, 1, 1000);
        if (c.quarterTurns) glRotatef(-90.0f, 0, 0, 1);
        glGetFloatv(GL_PROJECTION_MATRIX, want);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(got[i], want[i], 1e-3) << "3D, " << c.logicalW << " wide, element " << i;
    }
}

// One textured 8 x 8 quad per blend mode over a dark blue background; expected colours from the
// blend equations of the fixed-function pipeline.
struct TBlendCase {
    int mode;
    GLubyte r, g, b, a;  // the blit's colour and alpha
    int er, eg, eb;      // expected over the left (opaque texel) half
    const char* why;
};

TEST_F(GlesGlobalsTest, EachBlendModeMatchesItsEquation) {
    // White texture, alpha 255 in the left half and 0 in the right half.
    std::vector<std::uint16_t> px(64, 0xFFFF);
    std::vector<std::uint8_t> alpha(64, 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) alpha[y * 8 + x] = 255;
    TTextureSource src;
    src.pixels = reinterpret_cast<const std::uint8_t*>(px.data());
    src.alpha = alpha.data();
    src.width = src.height = 8;
    QuorvanTextureData tex(nullptr);
    ASSERT_EQ(tex.CreateTextureDataFrom(src, false), 1);
    const int bgB = 200;
    const TBlendCase cases[] = {
        {Renderer_BlendMode_Normal, 255, 0, 0, 128, 128, 0, bgB * 127 / 255, "src alpha / one minus src alpha"},
        {Renderer_BlendMode_Additive, 200, 100, 0, 128, 100, 50, bgB, "src alpha / one adds"},
        {Renderer_BlendMode_TexEnvBlend, 0, 255, 0, 255, 0, 255, 0, "alpha shape filled with the colour"},
        {Renderer_BlendMode_Opaque, 10, 20, 30, 60, 10, 20, 30, "blending off ignores alpha"},
    };
    for (const TBlendCase& c : cases) {
        ctx.BeginScene(0, 0, bgB);
        Renderer_SetBlendMode(c.mode, nullptr);
        tex.Blt(nullptr, 0, 0, 8, 8, 0, 0, c.r, c.g, c.b, c.a);
        GLES_FlushBuffer();
        const auto p = ctx.Pixel(1, 3);
        EXPECT_NEAR(p[0], c.er, 2) << c.why;
        EXPECT_NEAR(p[1], c.eg, 2) << c.why;
        EXPECT_NEAR(p[2], c.eb, 2) << c.why;
        const auto right = ctx.Pixel(6, 3);
        if (c.mode == Renderer_BlendMode_Opaque) {
            EXPECT_NEAR(right[0], c.r, 2) << "opaque ignores the texture's alpha too";
        } else if (c.mode == Renderer_BlendMode_Additive) {
            EXPECT_NEAR(right[2], bgB, 2) << c.why;
            EXPECT_NEAR(right[0], 0, 2) << "transparent texels add nothing";
        } else {
            EXPECT_NEAR(right[2], bgB, 2) << "transparent texels keep the background: " << c.why;
            EXPECT_NEAR(right[1], 0, 2) << c.why;
        }
    }
}

TEST(GlesScurveTest, EndsAndMiddle) {
    // sin with 0.017453292 per degree stays just inside -1 and 1, so the truncated x 255 is 254
    // (worked out in Python with the same constants).
    EXPECT_FLOAT_EQ(internal_scurve(0.0f), 2.0f / 512.0f);
    EXPECT_FLOAT_EQ(internal_scurve(1.0f), 510.0f / 512.0f);
    EXPECT_FLOAT_EQ(internal_scurve(0.5f), 0.5f);
}

}  // namespace

#pragma once
// Process-wide OpenGL ES state of the renderer: the shared vertex batch, the cache of the GL state
// the engine touches, the four blend modes and the projections of the screen bitmap.
//
// Depends on: GL ES 1.1 through the call table of render/GlesApi.h. Thread: main thread only; the
// batch, the cache and the GL context are shared without locks. Every cached setter draws what is
// batched before it changes GL state, so drawing order is kept while consecutive quads with one
// state go out in one glDrawElements.
//
// Code that issues GL calls of its own (lines, gradients, two-texture blits) calls
// GLES_FlushBuffer first and GLES_RestoreCachingSupport afterwards.

#include <cstdint>

#include <GLES/gl.h>

class IRenderHost;
class IDibBitmap;

// Batch capacity in vertices and in indices. A quad is appended only while fewer than
// kGlesFlushAtIndexes indices are batched, so a batch never holds more than 999 indices.
inline constexpr int kGlesBatchCapacity = 1000;
inline constexpr int kGlesFlushAtIndexes = 994;

// Positions are 24.8 pixel coordinates (x, y, z) handed to GL as GL_FIXED; the particle system
// also uses g_GLES_Coords as scratch space outside a batch.
extern GLfixed g_GLES_Coords[kGlesBatchCapacity * 3];
extern GLfixed g_GLES_TexCoords[kGlesBatchCapacity * 2];  // 16.16, 65536 = 1.0
extern GLubyte g_GLES_Colors[kGlesBatchCapacity * 4];     // r, g, b, a per vertex
extern GLushort g_GLES_Indexes[kGlesBatchCapacity];
extern std::int32_t g_GLES_NumVertexUsed;
extern std::int32_t g_GLES_NumIndexesUsed;

// State cache; initial values as GL starts (see GlesGlobals.cpp).
extern int g_GLES_BlendModeEnabled;
extern GLenum g_GLES_BlendSourceFactor;
extern GLenum g_GLES_BlendDestFactor;
extern GLenum g_GLES_TextEnvironmentMode;
extern std::uint32_t g_TextEnvironmentColorARGB;
extern GLuint g_Current_texName;  // 0 = GL_TEXTURE_2D disabled
extern int g_GLES_ColorBufferUsed;
extern int g_GLES_ColorBufferUsageChanged;
extern int g_bRenderingMode2D;
extern int g_bViewportSetUp;
extern GLint g_prefer_GL_LINEAR;   // filter of every texture created
extern GLint g_prefer_GL_NEAREST;  // filter handed by untextured fills and lines (ignored by selection)

enum Renderer_BlendMode {
    Renderer_BlendMode_Normal = 0,       // src alpha / one minus src alpha, modulate
    Renderer_BlendMode_Additive = 1,     // src alpha / one, modulate
    Renderer_BlendMode_TexEnvBlend = 2,  // the texture's alpha shape filled with the environment colour
    Renderer_BlendMode_Opaque = 3,       // blending off
};

enum Renderer_TextureMapMode {
    Renderer_TextureMapMode_Clamp = 0,
    Renderer_TextureMapMode_Repeat = 1,
};

// Appends one quad (corners top-left, top-right, bottom-right, bottom-left: clockwise on screen).
// xy: 8 positions in 24.8; uv: 8 texture values in 16.16; colors: 16 bytes or null for opaque
// white. Returns the vertex count after the append.
int GLES_RenderQUAD(const GLfixed* xy, const GLfixed* uv, const GLubyte* colors);
// Appends one triangle: xyz 9 positions (24.8), uv 6 values, colors 12 bytes or null.
int GLES_RenderTRIANGLE_3D(const GLfixed* xyz, const GLfixed* uv, const GLubyte* colors);
// Draws and empties the batch (nothing when it is empty).
void GLES_FlushBuffer();

void GLES_BlendMode(int enable, GLenum sourceFactor, GLenum destFactor);
void GLES_SetTextEnvironmentMode(GLenum mode);
// r, g, b, a as GL_FIXED: callers pass byte << 8.
void GLES_SetTextEnvironmentColor(GLfixed r, GLfixed g, GLfixed b, GLfixed a);
// Binds the texture (0 = none, GL_TEXTURE_2D off). The filter argument is not used.
void GLES_SelectTexture(GLuint name, GLint filter);

void Renderer_SetBlendMode(int mode, IDibBitmap* bitmap);
// For a bitmap whose textures are one tile: binds it and sets its wrap modes; otherwise nothing.
void Renderer_SetTextureMapMode(int modeS, int modeT, IDibBitmap* bitmap);

void GLES_SetupXY_UV_Pointers();
// Puts GL and the cache back in step after foreign GL calls.
void GLES_RestoreCachingSupport();

// What the projections need to know of the screen bitmap and the game.
struct TGlesProjection {
    int storedWidth = 0, storedHeight = 0;    // the target's stored size (viewport when not turned)
    int logicalWidth = 0, logicalHeight = 0;  // W, H of the orthographic projection
    bool turnedScreen = false;
    bool physicalViewport = false;  // 2x-image mode or the physical-viewport switch
    int physicalWidth = 0, physicalHeight = 0;
    int rotationAngle = 0;  // the game's screen-rotation angle, 24.8 degrees
};
// The 2-D projection: y down, 256 units per pixel. Issues glViewport only on the first call.
void GLES_ApplyProjection2D(const TGlesProjection& p);
void GLES_ApplyProjection3D(const TGlesProjection& p);
// Ease curve of the screen-rotation animation: 0 at t = 0, 1 at t = 1.
float internal_scurve(float t);

// Game-level entry points (renderer kind 5 = GL ES).
void GLES_Set2DRenderingMode(IRenderHost* game, IDibBitmap* bitmap);
void GLES_Set3DRenderingMode(IRenderHost* game, IDibBitmap* bitmap);
IDibBitmap* OGLES_InitAndCreateRenderTarget(IRenderHost* game);
IDibBitmap* OGLES_CreateBitmap(IRenderHost* game);
// The engine's GL double buffer in one step: OGLES_InitAndCreateRenderTarget, sized w x h, no
// alpha plane, RAM pixels released, kept as the game's back buffer and draw target. Null (and
// nothing kept) when the bitmap cannot be made.
IDibBitmap* OGLES_CreateScreenTarget(IRenderHost* game, int w, int h);
void OGLES_RemoveBitmapFromList(IDibBitmap* bitmap);
// Presents the frame through the platform's buffer swap (set by the shell, see below).
void GLES_RenderToScreenOrSwapBuffers();
// The shell installs its buffer swap here at start-up; without one presenting does nothing.
void GLES_SetSwapBuffersHook(void (*swap)());

// Back to the initial cache values and an empty batch, for a fresh GL context (tests, restarts).
void GLES_ResetStateCache();

#pragma once
// Drawing on top of the bitmap interface: arbitrary textured triangles from a bitmap's textures,
// stretched blits (16.16 or 24.8 coordinates), translucent and additive rectangle fills that work
// on the GL screen and on 16-bit RAM bitmaps, a software stretch and a two-texture blit.
//
// Main thread only (GL state and the shared batch).

#include "core/Common.h"
#include "render/TextureData.h"

class IRenderHost;
class IDibBitmap;

// Six vertices (two triangles) shared by the rotator's and the stretched draws; valid only
// during one draw.
extern QuorvanVertex g_globalQuorvanVertex_2_3[6];

// src's texture data draws the n triangles (u, v absolute texels of src).
void DrawTexturedTriangles_AbsoluteUV(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src,
                                      const QuorvanVertex* triangles, int n, bool ignoreColours);
// The source rectangle (sx, sy, sw, sh) stretched onto (dx, dy, dw, dh), all 16.16 pixels, with
// alpha 255 + offset (nothing at 0 or below) and a Renderer_BlendMode.
void Bitmap_StretchDrawF16_Transparent(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 dx,
                                       FIXED_FLOAT_16 dy, FIXED_FLOAT_16 dw, FIXED_FLOAT_16 dh, FIXED_FLOAT_16 sx,
                                       FIXED_FLOAT_16 sy, FIXED_FLOAT_16 sw, FIXED_FLOAT_16 sh, int alphaOffset,
                                       int blendMode);
void Bitmap_StretchDrawF16(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy,
                           FIXED_FLOAT_16 dw, FIXED_FLOAT_16 dh, FIXED_FLOAT_16 sx, FIXED_FLOAT_16 sy,
                           FIXED_FLOAT_16 sw, FIXED_FLOAT_16 sh, int blendMode);
// The same in 24.8 coordinates.
void Bitmap_StretchDrawF_Transparent(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT dx,
                                     FIXED_FLOAT dy, FIXED_FLOAT dw, FIXED_FLOAT dh, FIXED_FLOAT sx, FIXED_FLOAT sy,
                                     FIXED_FLOAT sw, FIXED_FLOAT sh, int alphaOffset, int blendMode);
void Bitmap_StretchDrawF(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT dx, FIXED_FLOAT dy,
                         FIXED_FLOAT dw, FIXED_FLOAT dh, FIXED_FLOAT sx, FIXED_FLOAT sy, FIXED_FLOAT sw, FIXED_FLOAT sh,
                         int blendMode);
// Translucent fill (a = 255 is the opaque FillRectangle); GL quad on the GL screen target, else
// each 16-bit pixel moves toward the colour by a / 256. A negative extent is turned round.
void FillRectangle_Transparent(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, int r, int g, int b,
                               int a);
// Additive fill: a GL quad on the GL renderer, else saturating adds on 16-bit pixels.
void FillRectangle_Additive(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, int r, int g, int b);
// Turns a rectangle by the bitmap's orientation mode (w and h swap in modes 1 and 2).
void SetRectAccordingToOrientationMode(IDibBitmap* bitmap, int& x, int& y, int& w, int& h);
// Software nearest-texel stretch of (sx, sy, sw, sh) of src onto (x, y, w, h) of dst; 0 sizes mean
// src's size. Blended by src's alpha plane when it has one.
void Bitmap_StretchDraw(IDibBitmap* dst, IDibBitmap* src, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
void Bitmap_StretchDraw_Transparent(IDibBitmap* dst, IDibBitmap* src, int x, int y, int w, int h, int sx, int sy,
                                    int sw, int sh, int alphaOffset);  // does nothing
// Colour from one bitmap's textures, alpha from another's, on the GL screen target.
void BitBlt_Texture1RGB_Texture2A(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, IDibBitmap* colour,
                                  int cx, int cy, IDibBitmap* alpha, int ax, int ay, int unused);

#pragma once
// Free helpers the screens, widgets and effects use on top of the bitmap interface: clipped
// blits, sheared and stretched sprites as textured triangles, a smooth-shaded quad and a
// vertical gradient (GL only), ease curves, number formatting, angle and rectangle distances,
// and debug lines. Functions taking the game use it to tell the renderer kind (5 = GL ES) and the
// current draw target. Main thread only.
//
// Multi-line text output (TextOutF) belongs with the fonts, which sit above this area.

#include "core/Common.h"
#include "core/CommonString.h"

class IRenderHost;
class IDibBitmap;
class CQuorvanImageRotatorScaler;

// Blit of (sx, sy, w, h) of src to (x, y) of dst cut to the clip rectangle; w, h of 0 mean src's
// stored size. mode 1 additive, 2 multiplied by white (a plain tinted blit), anything else plain.
void BitBlt_Clipped(IDibBitmap* dst, IDibBitmap* src, int x, int y, int w, int h, int sx, int sy, int alphaOffset,
                    const TCoordRect2D& clip, int mode);
// One smooth-shaded untextured quad with per-corner colours (r, g, b, a of each corner), on the
// GL screen target only; drawn at once.
void DrawQuad(IRenderHost* game, IDibBitmap* dst, int blendMode, int x0, int y0, int x1, int y1, int x2, int y2, int x3,
              int y3, const int colours[16]);
// Vertical gradient from colour 0 (top) to colour 1 (bottom), alpha 255, on GL.
void FillRectangleGradientV(IRenderHost* game, IDibBitmap* dst, int x, int y, int w, int h, unsigned char r0,
                            unsigned char g0, unsigned char b0, unsigned char r1, unsigned char g1, unsigned char b1);
// src as a horizontally sheared quad: the top edge moved by `top`, the bottom by `bottom` (all
// 16.16 pixels); flags mirror the texture; alpha's low byte on every corner.
void DrawShifted(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                 FIXED_FLOAT_16 anchorX, FIXED_FLOAT_16 anchorY, FIXED_FLOAT_16 top, FIXED_FLOAT_16 bottom, int flags,
                 int alpha);
// src scaled by (kx, ky) about the anchor, each corner shifted horizontally (s0 top-left, s1
// top-right, s2 bottom-right, s3 bottom-left, scaled by kx) and tinted (r, g, b, alpha).
void DrawStretched(IRenderHost* game, IDibBitmap* dst, IDibBitmap* src, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                   FIXED_FLOAT_16 anchorX, FIXED_FLOAT_16 anchorY, FIXED_FLOAT_16 kx, FIXED_FLOAT_16 ky, int flags,
                   int alpha, FIXED_FLOAT_16 s0, FIXED_FLOAT_16 s1, FIXED_FLOAT_16 s2, FIXED_FLOAT_16 s3, int r, int g,
                   int b);
// Ease in and out over t in 0..256 (FIXED_FLOAT): 0..256, through the rotator's sine table.
FIXED_FLOAT SCurve(FIXED_FLOAT t, CQuorvanImageRotatorScaler* rotator);
// The same in 16.16: 0..65535 (0x8000 at one half).
FIXED_FLOAT_16 SCurve16(FIXED_FLOAT_16 t, CQuorvanImageRotatorScaler* rotator);
// value (between from and to) eased: from + (to - from) x SCurve16((value - from) / (to - from));
// from itself when from and to are equal.
double GetSCurvedValue(IRenderHost* game, double from, double value, double to);
// atan2 in degrees, 0 to 360.
double atan2_degree_360(double y, double x);
// Room for any int with thousands commas and the terminating null ("-2,147,483,648").
inline constexpr int kCommasTextSize = 16;
// Writes n with a comma between every group of three digits into out, the sign in front of the
// digits ("-1,234", never "-,234"); returns the length. Other formatters build on it.
int FormatWithCommasInto(int n, char (&out)[kCommasTextSize]);
// "1,234,567"; a negative number keeps its sign in front of the digits ("-1,234").
CommonString FormatWithCommas(int n);
// Distance between two rectangles (0 when they overlap), FIXED_FLOAT.
FIXED_FLOAT GetDistanceBetweenRects(const TRect2D& a, const TRect2D& b);
// GL debug lines (no caller in the game): Start, any number of lines, End.
void DebugDrawLine_Start(IRenderHost* game);
void DebugDrawLine(IRenderHost* game, int x0, int y0, int x1, int y1, int r, int g, int b, int alphaStart,
                   int alphaEnd);
void DebugDrawLine_End(IRenderHost* game);
// The GL renderer's line (the hardware path of DrawLine_AA): a GL line from (x0, y0) with alpha0
// to (x1, y1) with alpha1, in screen pixels. Returns 1.
int GLES_DrawLine_AA(IRenderHost* game, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0, int alpha1);

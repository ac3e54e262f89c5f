// Lines between two screen points with an alpha that runs from one end to the other. On the GL
// ES renderer the installed hardware path draws a GL line; otherwise an anti-aliased line three
// pixels across is blended into the game's 16-bit back buffer. Main thread only.
#pragma once

class IRenderHost;
class IDibBitmap;

// Draws on the GL screen target; returns 1 when it drew.
using DrawLineHardwareFn = int (*)(IRenderHost* game, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0,
                                   int alpha1);

// Installed by the GL renderer at start-up; null (the default) leaves every line to software.
void SetDrawLineHardwarePath(DrawLineHardwareFn fn);

// Coordinates in screen pixels; colour and alphas use their low 8 bits; alpha0 belongs to
// (x0, y0), alpha1 to (x1, y1). Renderer kind 5 goes to the hardware path (its result is
// returned); otherwise the line is drawn into the back buffer and the result is 0.
int DrawLine_AA(IRenderHost* game, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0, int alpha1);

// The software line into any 16-bit bitmap, turned by that bitmap's orientation mode.
void DrawLine_AA_Software(IDibBitmap* target, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha0,
                          int alpha1);

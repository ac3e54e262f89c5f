// The game's one rotator: draws a bitmap rotated and scaled about its centre with one of four
// blends, and owns the sine and cosine tables other parts use for angles (GetLookupIndex).
//
// Units: positions and angles are FIXED_FLOAT (24.8; angles in degrees, a full turn is 92160),
// draw scales FIXED_FLOAT_16 (0x10000 = 1.0). A positive angle turns clockwise on the screen.
// On the GL screen target a draw goes to the installed hardware path; everywhere else it runs
// the software family below (inverse mapping into RGB565). Main thread only.
#pragma once

#include "core/Common.h"

class IRenderHost;
class IDibBitmap;

// One rotated draw as the entry points receive it, handed to the hardware path first.
struct TRotatedDraw {
    enum Kind { kPlain, kTransparent, kAdditive, kMultiply, kAlphaChannel };
    Kind kind = kPlain;
    IDibBitmap* src = nullptr;
    IDibBitmap* dst = nullptr;
    FIXED_FLOAT x = 0;  // destination point the source centre lands on
    FIXED_FLOAT y = 0;
    FIXED_FLOAT angle = 0;
    FIXED_FLOAT_16 scale = kFixed16One;
    int r = 255, g = 255, b = 255;
    int alphaOffset = 0;
    int flags = 0;
};

// The GL ES renderer's way of drawing a rotated bitmap. Draw returns true when it took the draw
// (the destination is its screen target); false sends the draw down the software path.
class IRotatorHardwarePath {
public:
    virtual ~IRotatorHardwarePath() = default;
    virtual bool Draw(const TRotatedDraw& draw) = 0;
};

class CQuorvanImageRotatorScaler {
public:
    // Stores the game and the table size N; the tables come with Initialize.
    CQuorvanImageRotatorScaler(IRenderHost* game, int entries);
    virtual ~CQuorvanImageRotatorScaler();

    CQuorvanImageRotatorScaler(const CQuorvanImageRotatorScaler&) = delete;
    CQuorvanImageRotatorScaler& operator=(const CQuorvanImageRotatorScaler&) = delete;

    // Allocates and fills the four tables; 0 when memory runs out (the destructor frees what
    // was made), else 1.
    [[nodiscard]] int Initialize();
    void SetQuality(int quality) { m_nQuality = quality; }  // 0 lowest, 1 high, 2 highest
    int GetQuality() const { return m_nQuality; }
    // Table index of an angle in FIXED_FLOAT degrees; any angle (negative, beyond a full turn)
    // is taken modulo a full turn, so the index always lies in 0..N-1.
    int GetLookupIndex(FIXED_FLOAT angle) const;
    int GetEntries() const { return m_nEntries; }
    // The tables (N entries each, null before Initialize): sin and cos x 256 and x 65536.
    const int* GetSin256() const { return m_pSin256; }
    const int* GetCos256() const { return m_pCos256; }
    const int* GetSin65536() const { return m_pSin65536; }
    const int* GetCos65536() const { return m_pCos65536; }

    // The GL renderer installs its path here; not owned. Null: software only.
    void SetHardwarePath(IRotatorHardwarePath* path) { m_pHardwarePath = path; }

    void DrawRotatedBitmap(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle,
                           FIXED_FLOAT_16 scale, int flags);
    void DrawRotatedBitmapTransparent(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle,
                                      FIXED_FLOAT_16 scale, int alphaOffset, int flags);
    void DrawRotatedBitmapAdditive(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle,
                                   FIXED_FLOAT_16 scale, int r, int g, int b, int alphaOffset, int flags);
    void DrawRotatedBitmapMultiply(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle,
                                   FIXED_FLOAT_16 scale, int r, int g, int b, int alphaOffset, int flags);
    void DrawRotatedBitmapAlphaChannel(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                       FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int r, int g, int b, int alphaOffset,
                                       int flags);
    // Rotation about the source point (originX, originY), which is drawn on (x, y). Blend modes:
    // 0 plain (transparent when alphaOffset < 0), 1 additive, 2 multiply, 3 alpha channel; other
    // values draw nothing.
    void DrawRotatedBitmapWithSourceOriginWithBlendMode(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                        FIXED_FLOAT angle, int originX, int originY,
                                                        FIXED_FLOAT_16 scale, int blendMode, int alphaOffset, int r,
                                                        int g, int b, int flags);
    // A new bitmap (from the game's factory) holding src rotated; here scale is FIXED_FLOAT
    // (256 = 1.0). Null for a null or empty src, a scale of 15 or less, or when memory runs out.
    IDibBitmap* CreateRotatedBitmap(IDibBitmap* src, FIXED_FLOAT angle, FIXED_FLOAT scale);

    // The software family: centre already in the destination's stored coordinates, angle in
    // 0..92159. Each draws nothing when a plane it needs is missing.
    void SW565_DrawRotatedBitmapHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                        FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int flags);
    void SW565_DrawRotatedBitmapHighest_NoAlpha(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int flags);
    void SW565_DrawRotatedBitmapHigh(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y, FIXED_FLOAT angle,
                                     FIXED_FLOAT_16 scale, int flags);
    void SW565_DrawRotatedBitmapLowest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                       FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int flags);
    void SW565_DrawRotatedBitmapTransparentHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                   FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int alphaOffset, int flags);
    void SW565_DrawRotatedBitmapMultiplyHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int r, int g, int b,
                                                int alphaOffset, int flags);
    void SW565_DrawRotatedBitmapAlphaChannelHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                    FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int r, int g, int b,
                                                    int alphaOffset, int flags);
    void SW565_DrawRotatedBitmapAdditiveHighest(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int r, int g, int b,
                                                int alphaOffset, int flags);
    void SW565_DrawRotatedBitmapAdditiveHighest_NoAlpha(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                        FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int r, int g, int b,
                                                        int alphaOffset, int flags);
    void SW565_DrawRotatedBitmapAdditiveLowest_NoAlpha(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT x, FIXED_FLOAT y,
                                                       FIXED_FLOAT angle, FIXED_FLOAT_16 scale, int r, int g, int b,
                                                       int alphaOffset, int flags);

private:
    // Entry-point work shared by every blend: hardware path, orientation, angle wrap.
    bool PrepareSoftwareDraw(TRotatedDraw& draw);

    IRenderHost* m_pGame;
    int* m_pSin256 = nullptr;
    int* m_pCos256 = nullptr;
    int* m_pSin65536 = nullptr;
    int* m_pCos65536 = nullptr;
    int m_nEntries;
    int m_nIndexScale;
    int m_nQuality = 2;
    IRotatorHardwarePath* m_pHardwarePath = nullptr;
};

// Converts a FIXED_FLOAT point to the stored coordinates of dst by dst's orientation mode.
void SetCoordsAccordingToOrientationModeF(IDibBitmap* dst, FIXED_FLOAT& x, FIXED_FLOAT& y);

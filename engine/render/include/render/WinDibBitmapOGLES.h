#pragma once
// The bitmap of the OpenGL ES renderer: everything of the software bitmap (RAM planes, alpha,
// orientation, 2x images) plus GL textures mirroring its pixels. A draw whose destination is the
// game's current draw target (the screen bitmap, itself one of these) becomes batched textured
// quads; a draw into any other bitmap takes the software path of CWinDibBitmap.
//
// Main thread only. A worker may fill a bitmap with pixels only while nothing uploads there
// (immediate upload off and no HWUpdateTexture).

#include "render/TextureData.h"
#include "render/WinDibBitmap.h"

class CWinDibBitmapOGLES : public CWinDibBitmap {
public:
    explicit CWinDibBitmapOGLES(IRenderHost* game);
    // Frees the texture staging buffer when this is the draw target, then the textures.
    ~CWinDibBitmapOGLES() override;

    // Adopt the plane, then upload right away when hardware textures and immediate upload are on.
    // When that upload fails the bitmap drops its pointer (the caller still owns the buffer) and
    // returns 0.
    int SetBits(unsigned char* pixels, int w, int h) override;
    int SetAlphaBits(unsigned char* alpha, int w, int h) override;
    void ClearBitmap(unsigned char r, unsigned char g, unsigned char b) override;
    int Destroy() override;
    int DestroyAlpha() override;
    int DestroyBits() override;
    // GL path when dst is the draw target; the flip flags are not applied there.
    void Draw(IDibBitmap* dst, int x, int y, int w, int h, int flags, int alphaOffset) override;
    void FastDraw(IDibBitmap* dst, int x, int y) override;  // nothing
    void FastCopy(IDibBitmap* dst, int from, int to, int n) override;
    void StretchDraw(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh, int flags,
                     int alphaOffset) override;  // nothing
    void FillAlphaNoStretch(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x, int y, int w,
                            int h, int flags, int alphaOffset) override;
    // Draws the batch and presents the frame through the platform's buffer swap.
    void DrawToDeviceScreen() override;
    void SetBitsPerPixel(int bits) override;
    int GetBitsPerPixel() override;
    void DrawLineV(int x, int y0, int y1, unsigned char r, unsigned char g, unsigned char b,
                   unsigned char a) override;  // nothing
    void DrawLineH(int x0, int x1, int y, unsigned char r, unsigned char g, unsigned char b,
                   unsigned char a) override;  // nothing
    void DrawRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g,
                       unsigned char b) override;  // nothing
    // GL path when this bitmap is the draw target, else the software fill.
    void FillRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) override;
    // Always the GL path (additive blending).
    void FillAlphaNoStretchAdditive(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x, int y,
                                    int w, int h, int flags, int alphaOffset) override;
    void BitBlt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) override;
    void BitBltAdditive(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) override;
    void BitBltMultiply(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                        int alphaOffset) override;
    // GL path when dst is the draw target, else nothing.
    void BitBltMultiplyAdditive(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                                int alphaOffset) override;
    void ReplaceAlphaWithTransparentColor() override;  // nothing
    // On the RAM pixels only; the caller uploads again.
    void AdjustHSL(short dh, short ds, short dl) override;
    // GL path (an additive white quad of alpha delta) when this is the back buffer.
    void AddBrightness(short delta) override;

    void HWBeginScene() override;
    int HWUpdateTexture(TexelDepth depth = TexelDepth::kBySwitches) override;
    void HWReleaseTexture() override;
    // Replaces the RAM planes by one-pixel placeholders after upload. An external (shared) alpha
    // plane is left alone: other bitmaps still read it.
    void HWReleasePixelDataInRAM() override;
    void* GetHWResource() override { return &m_TextureData; }
    int HWInitFromTextureAtlas(IDibBitmap* atlas, int x, int y, int w, int h) override;

    void DrawOpaque(IDibBitmap* dst, int x, int y, int w, int h, int flags) override;
    void DrawToDeviceScreen(int x, int y) override;  // nothing

    void Set2DRenderingMode();
    void Set3DRenderingMode();
    // Uploads the planes (0 with neither plane or when the upload fails).
    int GLES_UpdateTexture(TexelDepth depth = TexelDepth::kBySwitches);
    void GLES_ReleaseTexture();

    QuorvanTextureData& TextureData() { return m_TextureData; }

private:
    bool IsDrawTarget(IDibBitmap* dst) const;
    void GlBlit(int blendMode, int x, int y, int w, int h, int sx, int sy, int r, int g, int b, int alphaOffset);
    TGlesProjection Projection() const;

    QuorvanTextureData m_TextureData;
    bool m_SceneSetUp = false;
};

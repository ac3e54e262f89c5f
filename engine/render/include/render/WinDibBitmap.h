// The software bitmap: keeps both planes in RAM and does every draw on the CPU with integer
// arithmetic on RGB565 pixels. It is the bitmap of the software renderer and the base of the
// OpenGL ES bitmap, which falls back on these operations whenever its destination is not the GL
// screen target. Main thread only (or a worker that owns the bitmap outright).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "render/DibBitmap.h"

class IRenderHost;
namespace render_detail {
class CRunTable;
class CKeyRunTable;
}  // namespace render_detail

class CWinDibBitmap : public IDibBitmap {
public:
    // Takes bits per pixel from the game's screen properties and the game's orientation mode. A
    // null game is allowed (tests, tools): 16 bits, mode 0, no 2x mode, default key settings.
    explicit CWinDibBitmap(IRenderHost* game);
    // Leaves the game's list of created bitmaps (when the game keeps one), then Destroy.
    ~CWinDibBitmap() override;

    CWinDibBitmap(const CWinDibBitmap&) = delete;
    CWinDibBitmap& operator=(const CWinDibBitmap&) = delete;

    void SetOrientaionMode(int mode) override;
    int GetOrientationMode() override;
    int Create(int w, int h) override;
    int SetBits(unsigned char* pixels, int w, int h) override;
    int SetAlphaBits(unsigned char* alpha, int w, int h) override;
    void ClearBitmap(unsigned char r, unsigned char g, unsigned char b) override;
    int Destroy() override;
    int DestroyAlpha() override;
    int DestroyBits() override;
    unsigned char* GetBits() override;
    unsigned char* GetAlphaBits() override;
    // Draws as BitBlt from the top-left corner; the flip flags are not applied on this path.
    void Draw(IDibBitmap* dst, int x, int y, int w, int h, int flags, int alphaOffset) override;
    void FastDraw(IDibBitmap* dst, int x, int y) override;
    void CopyAlpha(IDibBitmap* dst, int x, int y, int w, int h) override;
    void CopyBitmap(IDibBitmap* dst, int x, int y, int w, int h) override;
    void SetExternalAlpha(unsigned char* alpha) override;
    void FastCopy(IDibBitmap* dst, int from, int to, int n) override;
    bool IsAlphaExternal() override;
    void StretchDraw(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh, int flags,
                     int alphaOffset) override;
    void FillAlphaNoStretch(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x, int y, int w,
                            int h, int flags, int alphaOffset) override;
    void DrawToDeviceScreen() override;
    void SetBitsPerPixel(int bits) override;
    int GetBitsPerPixel() override;
    void DrawLineV(int x, int y0, int y1, unsigned char r, unsigned char g, unsigned char b, unsigned char a) override;
    void DrawLineH(int x0, int x1, int y, unsigned char r, unsigned char g, unsigned char b, unsigned char a) override;
    void DrawRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) override;
    void FillRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) override;
    void FillAlphaNoStretchAdditive(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x, int y,
                                    int w, int h, int flags, int alphaOffset) override;
    void BitBlt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) override;
    void BitBltAdditive(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) override;
    void BitBltMultiply(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                        int alphaOffset) override;
    void BitBltMultiplyAdditive(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                                int alphaOffset) override;
    void WriteBits(int x, int y, unsigned char* data, int n) override;
    void WriteAlphaBits(int x, int y, unsigned char* data, int n) override;
    void ReplaceAlphaWithTransparentColor() override;
    void AdjustHSL(short dh, short ds, short dl) override;
    void AddBrightness(short delta) override;

    // Draws with alpha offset 0 and the flip flags applied.
    virtual void DrawOpaque(IDibBitmap* dst, int x, int y, int w, int h, int flags);
    // Nothing in either bitmap class.
    virtual void DrawToDeviceScreen(int x, int y);

    // Recomputes the four public sizes from the stored size, the orientation mode and the 2x rule.
    void UpdateWidthAndHeight();
    // Adopts a buffer owned elsewhere as w stored columns by h rows (never turned); returns 1.
    int SetExternalBits(unsigned char* pixels, int w, int h);
    // Turns a rectangle seen on a bitmap with this bitmap's mode into its stored anchor; w and h
    // swap in modes 1 and 2. `ref` supplies the sizes (this bitmap or the destination).
    void SetRectAccordingToOrientationMode(IDibBitmap* ref, int& x, int& y, int& w, int& h);
    // The blit conversion: source rectangle by this bitmap's sizes, destination by dst's.
    void SetBitBltCoordsAccordingToOrientationMode(IDibBitmap* dst, int& x, int& y, int& w, int& h, int& sx, int& sy);

    // The 2x-image flag set by the image loader; call UpdateWidthAndHeight after changing it.
    bool Is2xImage() const { return m_Is2xImage; }
    void Set2xImage(bool on) { m_Is2xImage = on; }
    int GetStoredWidth() const { return m_StoredWidth; }
    int GetStoredHeight() const { return m_StoredHeight; }
    std::size_t StoredPixelCount() const {
        return static_cast<std::size_t>(m_StoredWidth) * static_cast<std::size_t>(m_StoredHeight);
    }
    int GetPixelFormat() const { return m_PixelFormat; }
    int GetBytesPerPixel() const { return m_BytesPerPixel; }
    bool IsColorKeyed() const { return m_UseTransparentColor; }
    std::uint16_t GetTransparentColor() const { return m_TransparentColor; }
    IRenderHost* GetGame() const { return m_pGame; }

    // A plane released after a texture upload is replaced by a tiny placeholder; the software
    // paths must then treat it as absent. The GL bitmap marks that here.
    void SetPlanesValid(bool pixelsValid, bool alphaValid) {
        m_PixelsValid = pixelsValid;
        m_AlphaValid = alphaValid;
    }
    bool ArePixelsValid() const { return m_PixelsValid; }
    bool IsAlphaValid() const { return m_AlphaValid; }
    // The planes as the software paths see them: null when absent or only a placeholder. The
    // writable forms count as a change of the planes (PlanesMayChange); a path that only reads
    // this bitmap's planes, as the source of a draw, takes the const forms.
    unsigned char* PixelsForDrawing() const {
        PlanesMayChange();
        return m_PixelsValid ? m_Bits : nullptr;
    }
    unsigned char* AlphaForDrawing() const {
        PlanesMayChange();
        return m_AlphaValid ? m_AlphaBits : nullptr;
    }
    const unsigned char* PixelsToRead() const { return m_PixelsValid ? m_Bits : nullptr; }
    const unsigned char* AlphaToRead() const { return m_AlphaValid ? m_AlphaBits : nullptr; }

    // The blits keep a run table of a bitmap drawn more than once (clear runs passed over, opaque
    // runs copied). Whatever may write a plane drops it: every writable accessor, and every
    // operation that sets, frees or writes the planes. A buffer handed to SetBits or SetAlphaBits
    // belongs to the bitmap from then on and is not written through the caller's pointer.
    void PlanesMayChange() const;

protected:
    // Workers in stored coordinates, called only by the virtual operations above.
    void BitBlt565(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset);
    void BitBlt565_Fast(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy);
    void BitBlt_TransparentColor(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset);
    void BitBltAdditive565(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset);
    void BitBltMultiply565(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                           int alphaOffset);
    void Draw565(IDibBitmap* dst, int x, int y, int w, int h, int flags, int alphaOffset);
    void DrawWithoutAlpha_16Bits(IDibBitmap* dst, int x, int y, int w, int h, int flags);
    void FastDraw565(IDibBitmap* dst, int x, int y);
    void StretchDraw565(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh, int flags,
                        int alphaOffset);
    // The orientation wrapper of Draw, DrawOpaque, FastDraw, StretchDraw and the alpha fills.
    void ConvertDrawPosition(IDibBitmap* dst, int& x, int& y, int& flags);

    int m_StoredWidth = 0;
    int m_StoredHeight = 0;
    bool m_Is2xImage = false;
    unsigned char* m_Bits = nullptr;
    unsigned char* m_AlphaBits = nullptr;  // equals m_Bits in the 32-bit format
    int m_BitsPerPixel = 16;
    int m_BytesPerPixel = 2;
    int m_PixelFormat = kPixelFormat565;
    int m_OrientationMode = kOrientationNormal;
    IRenderHost* m_pGame = nullptr;
    bool m_AlphaExternal = false;
    bool m_BitsExternal = false;
    bool m_UseTransparentColor = false;
    std::uint16_t m_TransparentColor = 0;
    bool m_PixelsValid = true;
    bool m_AlphaValid = true;

private:
    // The run tables for the source side of a blit, each built once, on the second blit since the
    // planes last changed (a bitmap drawn once is not worth the scan); null when there is none to be
    // had or its runs are too short to pay. The alpha blits skip alpha 10 and below whatever the
    // fade; the unfaded blit also copies alpha 240 and above, and has a table of its own that
    // counts those as whole, the faded ones one whose whole runs are fully opaque. The colour-key
    // table keeps its own packed copy of the pixels that are not the key.
    const render_detail::CRunTable* AlphaRuns(bool unfaded);
    const render_detail::CKeyRunTable* KeyRuns();
    bool TableDue(unsigned which);

    enum : unsigned { kUnfadedAlphaTable = 1, kFadedAlphaTable = 2, kKeyTable = 4 };
    mutable std::unique_ptr<render_detail::CRunTable> m_UnfadedAlphaRuns;
    mutable std::unique_ptr<render_detail::CRunTable> m_FadedAlphaRuns;
    mutable std::unique_ptr<render_detail::CKeyRunTable> m_KeyRuns;
    mutable int m_BlitsSinceChange = 0;  // counts to 2, then stays
    mutable unsigned m_TablesTried = 0;  // the tables built (or found not to pay) since the change
};

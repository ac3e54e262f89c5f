// Rendering: the bitmap interface every image, sprite frame, glyph page and draw target goes through.
//
// Owns: the pixel model shared by the software bitmap (CWinDibBitmap, engine/render) and the
// OpenGL ES bitmap. Depends on nothing but the C++ standard library. Bitmaps are used from the
// main thread only; the news picture loader's worker may decode into a bitmap nobody else holds.
//
// Pixel model:
//   - pixels are RGB565 (format code 2) in a row-major buffer with no gap between rows, plus a
//     separate alpha plane of one byte per pixel (0 transparent, 255 opaque). A bitmap without
//     an alpha plane counts as opaque wherever an operation can draw without it;
//   - both planes are malloc'ed and freed with free, unless flagged external;
//   - four public sizes (m_Width, m_Height as drawn; m_BufferWidth, m_BufferHeight as stored),
//     all halved for a double-resolution image while the game runs in 2x mode;
//   - orientation modes 0 (stored as seen), 1 and 2 (stored turned by 90 degrees);
//   - flip flags: bit 0 mirrors horizontally, bit 1 vertically;
//   - an alpha offset is added to every source alpha; below -255 nothing is drawn.
// Failures: only Create (0 when memory runs out) and HWUpdateTexture report anything; every draw
// whose buffers are missing or whose clipped area is empty silently draws nothing.
#pragma once

#include <cstdint>

// Pixel format codes kept by a bitmap.
enum : int {
    kPixelFormat444 = 0,  // 12-bit RGB in a 16-bit word: red bits 8-11, green 4-7, blue 0-3
    kPixelFormat555 = 1,  // red bits 10-14, green 5-9, blue 0-4
    kPixelFormat565 = 2,  // red bits 11-15, green 5-10, blue 0-4; every bitmap the system makes
    kPixelFormat24 = 3,   // three bytes: blue, green, red
    kPixelFormat32 = 4,   // four bytes: blue, green, red, alpha (the pixel buffer is its own alpha)
};

// Orientation modes: how a bitmap's pixels are stored relative to how they are seen.
enum : int {
    kOrientationNormal = 0,   // stored as seen
    kOrientationTurned1 = 1,  // seen (x, y) stored at column y, row rows - 1 - x
    kOrientationTurned2 = 2,  // seen (x, y) stored at column columns - 1 - y, row x
};

// Flip flags of the draw operations; other bits are ignored.
enum : int {
    kFlipHorizontal = 1,  // the source row is read from its right end
    kFlipVertical = 2,    // source rows are read from the bottom
};

// Alpha offsets: 0 draws as stored, -255 hides every pixel, anything lower draws nothing at all.
inline constexpr int kAlphaOffsetNone = 0;
inline constexpr int kAlphaOffsetHidden = -255;

// The texels an upload asks for. The host's 32-bit switch is program-wide; kForce8888 asks for
// 32-bit RGBA for this one upload whatever the switch says (a sprite set that wants full depth).
enum class TexelDepth { kBySwitches, kForce8888 };

// Packs 8-bit channels into an RGB565 pixel.
constexpr std::uint16_t PackRGB565(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}
constexpr int Red5(std::uint16_t p) { return (p >> 11) & 31; }
constexpr int Green6(std::uint16_t p) { return (p >> 5) & 63; }
constexpr int Blue5(std::uint16_t p) { return p & 31; }

class IDibBitmap {
public:
    // Public sizes, read directly by callers (see the header comment).
    int m_Width = 0;
    int m_Height = 0;
    int m_BufferWidth = 0;
    int m_BufferHeight = 0;

    // Releases the planes (and any textures).
    virtual ~IDibBitmap() = default;

    // Stores the orientation mode (0, 1, 2); call before pixels are given.
    virtual void SetOrientaionMode(int mode) = 0;
    virtual int GetOrientationMode() = 0;
    // Drops both planes and allocates w x h pixels (contents undefined) and, for 16-bit formats,
    // an alpha plane filled with 255. Returns 1, or 0 when an allocation fails (what was
    // allocated before the failure stays).
    virtual int Create(int w, int h) = 0;
    // Adopts a malloc'ed pixel buffer of a w x h image (stored turned in modes 1 and 2); the
    // bitmap frees it. Returns 1.
    virtual int SetBits(unsigned char* pixels, int w, int h) = 0;
    // Adopts a malloc'ed alpha plane of a w x h image. Returns 1.
    virtual int SetAlphaBits(unsigned char* alpha, int w, int h) = 0;
    virtual void ClearBitmap(unsigned char r, unsigned char g, unsigned char b) = 0;
    // DestroyBits then DestroyAlpha; returns 1.
    virtual int Destroy() = 0;
    // Frees the alpha plane unless external; afterwards there is none and the external flag is off.
    virtual int DestroyAlpha() = 0;
    // Frees the pixel buffer unless external.
    virtual int DestroyBits() = 0;
    // The pixel buffer or the alpha plane, or null; still owned by the bitmap.
    virtual unsigned char* GetBits() = 0;
    virtual unsigned char* GetAlphaBits() = 0;
    // Draws the top-left w x h part (0, 0 = whole) at (x, y) of dst with the alpha offset.
    virtual void Draw(IDibBitmap* dst, int x, int y, int w, int h, int flags, int alphaOffset) = 0;
    // Draws the whole bitmap at (x, y) of dst with its alpha plane and no offset.
    virtual void FastDraw(IDibBitmap* dst, int x, int y) = 0;
    // Copies this bitmap's alpha values into dst's alpha plane at (x, y), clipped; w, h below 1
    // mean the whole bitmap.
    virtual void CopyAlpha(IDibBitmap* dst, int x, int y, int w, int h) = 0;
    // Copies pixels into dst at (x, y) without blending, clipped; w, h below 1 mean the whole.
    virtual void CopyBitmap(IDibBitmap* dst, int x, int y, int w, int h) = 0;
    // Uses an alpha plane owned elsewhere; the bitmap never frees it.
    virtual void SetExternalAlpha(unsigned char* alpha) = 0;
    // Raw copy of n pixels from pixel index `from` of this bitmap to index `to` of dst. Unchecked:
    // the caller keeps within both buffers.
    virtual void FastCopy(IDibBitmap* dst, int from, int to, int n) = 0;
    virtual bool IsAlphaExternal() = 0;
    // Draws the sw x sh part at (sx, sy) scaled to dw x dh at (x, y); 0 = the buffer size.
    virtual void StretchDraw(IDibBitmap* dst, int x, int y, int dw, int dh, int sx, int sy, int sw, int sh, int flags,
                             int alphaOffset) = 0;
    // Paints the colour through this bitmap's alpha shape at (x, y) of dst.
    virtual void FillAlphaNoStretch(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x, int y,
                                    int w, int h, int flags, int alphaOffset) = 0;
    // Presents the finished frame (the software bitmap does nothing).
    virtual void DrawToDeviceScreen() = 0;
    // Stores bits per pixel; bytes per pixel become 2 below 24 bits, else 3.
    virtual void SetBitsPerPixel(int bits) = 0;
    virtual int GetBitsPerPixel() = 0;
    // Lines in stored coordinates, from the first end up to but not including the second,
    // blended with alpha a.
    virtual void DrawLineV(int x, int y0, int y1, unsigned char r, unsigned char g, unsigned char b,
                           unsigned char a) = 0;
    virtual void DrawLineH(int x0, int x1, int y, unsigned char r, unsigned char g, unsigned char b,
                           unsigned char a) = 0;
    // Opaque one-pixel outline and opaque fill of a rectangle given as seen.
    virtual void DrawRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) = 0;
    virtual void FillRectangle(int x, int y, int w, int h, unsigned char r, unsigned char g, unsigned char b) = 0;
    // Adds the colour, weighted by alpha plus offset, to dst with saturation.
    virtual void FillAlphaNoStretchAdditive(IDibBitmap* dst, unsigned char r, unsigned char g, unsigned char b, int x,
                                            int y, int w, int h, int flags, int alphaOffset) = 0;
    // Alpha blit of the w x h part at (sx, sy) (0 = width or height) to (x, y) of dst.
    virtual void BitBlt(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) = 0;
    // As BitBlt, but the weighted source is added to dst with saturation.
    virtual void BitBltAdditive(IDibBitmap* dst, int x, int y, int w, int h, int sx, int sy, int alphaOffset) = 0;
    // As BitBlt with each source channel scaled by its tint (about r/256); (255, 255, 255) is
    // exactly BitBlt.
    virtual void BitBltMultiply(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx, int sy,
                                int alphaOffset) = 0;
    // Tinted additive blit; only the GL bitmap draws it.
    virtual void BitBltMultiplyAdditive(IDibBitmap* dst, int r, int g, int b, int x, int y, int w, int h, int sx,
                                        int sy, int alphaOffset) = 0;
    // Unclipped writes of n 16-bit pixels / n alpha bytes at stored (x, y).
    virtual void WriteBits(int x, int y, unsigned char* data, int n) = 0;
    virtual void WriteAlphaBits(int x, int y, unsigned char* data, int n) = 0;
    // Turns the alpha plane into a colour key (the game's threshold and transparent colour) and
    // drops the plane; keyed drawing is on afterwards.
    virtual void ReplaceAlphaWithTransparentColor() = 0;
    virtual void AdjustHSL(short dh, short ds, short dl) = 0;
    // Brightens every pixel by delta/256 of its value, saturating; negative delta does nothing.
    virtual void AddBrightness(short delta) = 0;

    // Hardware-texture operations; the defaults suit a bitmap without textures.
    virtual void HWBeginScene() {}
    // Uploads changed planes into textures, as 32-bit RGBA when the host's switch or depth asks
    // for it; 1 on success.
    virtual int HWUpdateTexture(TexelDepth depth = TexelDepth::kBySwitches) {
        (void)depth;
        return 1;
    }
    virtual void HWReleaseTexture() {}
    virtual void HWReleasePixelDataInRAM() {}
    // The bitmap's texture data (QuorvanTextureData), or null.
    virtual void* GetHWResource() { return nullptr; }
    virtual void* GetHWResource2() { return nullptr; }
    // Makes this bitmap a view of a region of an atlas's textures; 1 on success.
    virtual int HWInitFromTextureAtlas(IDibBitmap* atlas, int x, int y, int w, int h) {
        (void)atlas;
        (void)x;
        (void)y;
        (void)w;
        (void)h;
        return 1;
    }
    // A hint that the bitmap will be used for alpha-shape fills.
    virtual void HWOptimizeForAlphaDrawing() {}
};

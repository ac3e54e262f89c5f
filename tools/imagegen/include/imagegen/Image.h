// Finished images of the generator: 8-bit RGBA with straight alpha, rows from the top; PNG
// encoding in the two forms the game reads (RGBA, and RGB without an alpha channel for opaque
// pictures), and sprite sheets laid out row-major in exact multiples of their frame size.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace imagegen {

class CImage {
public:
    CImage() = default;
    // Transparent black of the given size.
    CImage(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_width == 0 || m_height == 0; }
    // The 4 bytes (r, g, b, a) of a pixel; no bounds check.
    std::uint8_t* At(int x, int y) { return &m_rgba[(static_cast<std::size_t>(y) * m_width + x) * 4]; }
    const std::uint8_t* At(int x, int y) const { return &m_rgba[(static_cast<std::size_t>(y) * m_width + x) * 4]; }
    const std::vector<std::uint8_t>& Bytes() const { return m_rgba; }
    std::uint8_t* Data() { return m_rgba.data(); }

private:
    int m_width = 0, m_height = 0;
    std::vector<std::uint8_t> m_rgba;
};

enum class EPngForm { Rgba, Rgb };

// The PNG file bytes (no time or text chunks, so equal images give equal files); empty when
// libpng fails. Rgb drops the alpha channel: use it only for opaque images.
[[nodiscard]] std::vector<std::uint8_t> EncodePng(const CImage& image, EPngForm form);
// Any 8-bit PNG libpng can expand to RGBA; false with a message on bad bytes.
[[nodiscard]] bool DecodePng(std::span<const std::uint8_t> bytes, CImage& out, std::string& error);

// True when every alpha is 255.
bool IsOpaque(const CImage& image);
// True when red, green and blue are equal wherever the pixel is not fully transparent.
bool IsNeutral(const CImage& image);
// Copies src into dst with its top-left at (x, y), clipped to dst.
void Blit(CImage& dst, const CImage& src, int x, int y);
// Draws src over dst (alpha compositing) with its top-left at (x, y), clipped to dst.
void Composite(CImage& dst, const CImage& src, int x, int y);

// How a sheet holds its frames: frames per row, then as many rows as needed (the last row
// may be part-filled), every frame the same size.
struct TSheetLayout {
    int frameWidth = 0, frameHeight = 0;
    int frames = 1, perRow = 1;
    int Rows() const { return perRow > 0 ? (frames + perRow - 1) / perRow : 0; }
    int SheetWidth() const { return frameWidth * perRow; }
    int SheetHeight() const { return frameHeight * Rows(); }
};

// The sprite loader cuts a sheet into perRow columns and Rows() rows: false with a message when
// the layout is invalid or the sheet is not exactly perRow frames wide and Rows() frames high.
[[nodiscard]] bool CheckSheet(const TSheetLayout& layout, int width, int height, std::string& error);
// Places frame i at column i % perRow, row i / perRow. Every frame must have the layout's
// frame size; false with a message otherwise.
[[nodiscard]] bool AssembleSheet(const TSheetLayout& layout, const std::vector<CImage>& frames, CImage& out,
                                 std::string& error);

}  // namespace imagegen

#pragma once
// Test images written by libpng's and libjpeg's write sides, to memory.

#include <cstdint>
#include <string>
#include <vector>

// A PNG from RGBA8 pixels (w x h x 4). colourType is a PNG_COLOR_TYPE_*; the pixels are
// converted to it (grey takes red). bitDepth 16 widens each 8-bit value v to v * 257.
std::vector<std::uint8_t> MakePng(int w, int h, const std::vector<std::uint8_t>& rgba, int colourType,
                                  bool interlaced = false, int bitDepth = 8);
// A PNG of one colour.
std::vector<std::uint8_t> MakeSolidPng(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                       std::uint8_t a = 255);
// A JPEG at quality 100: components 1 (grey, from red), 3 (RGB) or 4 (CMYK, every channel red).
std::vector<std::uint8_t> MakeJpeg(int w, int h, const std::vector<std::uint8_t>& rgb, int components);
std::vector<std::uint8_t> MakeSolidJpeg(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                        int components = 3);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

#pragma once
// Where pixel (x, y) of a W x H image goes in a plane stored by orientation mode: mode 0 as
// seen (W wide), modes 1 and 2 turned by 90 degrees (H wide, W tall). Pixel and alpha planes of
// one image share the mapping.

#include <cstddef>

struct TImageLayout {
  int mode;
  int width, height;  // the image as seen

  std::size_t Index(int x, int y) const {
    switch (mode) {
      case 1:
        return static_cast<std::size_t>(width - 1 - x) * height + y;
      case 2:
        return static_cast<std::size_t>(x) * height + (height - 1 - y);
      default:
        return static_cast<std::size_t>(y) * width + x;
    }
  }
};

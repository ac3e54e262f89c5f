#include "platform/FrameDump.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/PngRead.h"

namespace platform {
namespace {

std::string TempPath(const char* name) { return std::string(COBBLE_BINARY_DIR) + "/" + name; }

TEST(FrameDump, WrittenPixelsReadBackExactlyTopRowFirst) {
    const int w = 3, h = 2;
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x * 80), static_cast<std::uint8_t>(y * 200),
                                     static_cast<std::uint8_t>(7 + x + y), static_cast<std::uint8_t>(255 - x)});
    const std::string path = TempPath("frame_dump_test.png");
    ASSERT_TRUE(WriteRgbaPng(path, w, h, rgba));
    const TPngPixels png = ReadPngFile(path);
    std::remove(path.c_str());
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, w);
    EXPECT_EQ(png.height, h);
    EXPECT_EQ(png.rgba, rgba);
}

TEST(FrameDump, MismatchedSizesAndUnwritablePathsFailWithoutAFile) {
    const std::vector<std::uint8_t> four(4, 9);
    const std::string path = TempPath("frame_dump_bad.png");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteRgbaPng(path, 2, 1, four));
    EXPECT_FALSE(WriteRgbaPng(path, 0, 1, {}));
    EXPECT_FALSE(WriteRgbaPng("/nonexistent/dir/x.png", 1, 1, four));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("platform:"), std::string::npos);
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
    EXPECT_EQ(std::fopen((path + ".tmp").c_str(), "rb"), nullptr);
}

}  // namespace
}  // namespace platform

// The canvas: coverage against areas worked out by hand, the blend modes, the box filter, and
// the paints (gradients, the sphere shader) against their formulas.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "imagegen/Canvas.h"

using namespace imagegen;

namespace {

double AlphaSum(const CImage& image) {
    double sum = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) sum += image.At(x, y)[3] / 255.0;
    return sum;
}

}  // namespace

TEST(Canvas, CoveredAreaMatchesTheShapesArea) {
    CCanvas c(40, 40);
    c.Fill(Circle(20.3f, 19.6f, 12.5f), Rgb(0xFFFFFF));
    // pi r^2 = 490.87; anti-aliasing spreads the edge but keeps the area.
    EXPECT_NEAR(AlphaSum(c.Resolve()), 3.14159265 * 12.5 * 12.5, 1.5);

    CCanvas r(30, 30);
    r.Fill(Rect(3.25f, 4.5f, 20, 10.5f), Rgb(0xFFFFFF));
    EXPECT_NEAR(AlphaSum(r.Resolve()), 20 * 10.5, 0.5);
}

TEST(Canvas, AnEdgeThroughAPixelCoversItInProportion) {
    // A half-plane ending at x = 10.5 covers pixel 10 half, pixel 9 fully, pixel 11 not at all.
    CCanvas c(20, 4);
    c.Fill(Rect(-5, -5, 15.5f, 20), Rgb(0xFFFFFF));
    const CImage image = c.Resolve();
    EXPECT_EQ(image.At(9, 2)[3], 255);
    EXPECT_NEAR(image.At(10, 2)[3], 128, 2);
    EXPECT_EQ(image.At(11, 2)[3], 0);
    // A quarter-pixel edge lands on a sample boundary of the 4 x 4 grid.
    CCanvas q(20, 4);
    q.Fill(Rect(-5, -5, 15.25f, 20), Rgb(0xFFFFFF));
    EXPECT_NEAR(q.Resolve().At(10, 2)[3], 64, 2);
}

TEST(Canvas, ResolveGivesStraightColourUnderPartialAlpha) {
    CCanvas c(4, 4);
    c.Fill(Rect(0, 0, 4, 4), Rgb(0xFF4000, 0.5f));
    const CImage image = c.Resolve();
    const std::uint8_t* p = image.At(1, 1);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 64);
    EXPECT_EQ(p[2], 0);
    EXPECT_NEAR(p[3], 128, 1);
}

TEST(Canvas, BlendModes) {
    const auto pixel = [](CCanvas& c) {
        const CImage image = c.Resolve();
        const std::uint8_t* p = image.At(2, 2);
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    CCanvas over(4, 4);
    over.Fill(Rect(0, 0, 4, 4), Rgb(0x0000FF));
    over.Fill(Rect(0, 0, 4, 4), Rgb(0xFF0000, 0.25f));
    EXPECT_EQ(pixel(over), (std::array<int, 4>{64, 0, 191, 255})) << "a quarter red over blue";

    CCanvas atop(4, 4);
    atop.Fill(Rect(0, 0, 2, 4), Rgb(0x0000FF));
    atop.Fill(Rect(0, 0, 4, 4), Rgb(0xFF0000), {EBlend::Atop});
    const CImage atopImage = atop.Resolve();
    EXPECT_EQ(atopImage.At(0, 0)[0], 255) << "painted where something was";
    EXPECT_EQ(atopImage.At(3, 0)[3], 0) << "nothing where nothing was";

    CCanvas behind(4, 4);
    behind.Fill(Rect(0, 0, 4, 4), Rgb(0x00FF00, 0.5f));
    behind.Fill(Rect(0, 0, 4, 4), Rgb(0xFF0000), {EBlend::Behind});
    // Green at half alpha over opaque red: (127.5, 127.5, 0).
    const std::array<int, 4> b = pixel(behind);
    EXPECT_NEAR(b[0], 128, 1);
    EXPECT_NEAR(b[1], 128, 1);
    EXPECT_EQ(b[3], 255);

    CCanvas erase(4, 4);
    erase.Fill(Rect(0, 0, 4, 4), Rgb(0xFFFFFF));
    erase.Fill(Rect(0, 0, 4, 4), Rgb(0x000000, 0.75f), {EBlend::Erase});
    EXPECT_NEAR(pixel(erase)[3], 64, 1);
    EXPECT_EQ(pixel(erase)[0], 255) << "erasing keeps the colour of what stays";
}

TEST(Canvas, FeatheredEdgesRampAcrossTwiceTheFeather) {
    CCanvas c(40, 4);
    TFill soft;
    soft.feather = 4;
    c.Fill(Rect(-10, -10, 30, 30), Rgb(0xFFFFFF), soft);
    const CImage image = c.Resolve();
    // The outline is at x = 20; the ramp runs from 16 to 24 and is symmetric about it.
    EXPECT_EQ(image.At(15, 2)[3], 255) << "beyond the ramp inside";
    EXPECT_EQ(image.At(24, 2)[3], 0) << "beyond the ramp outside";
    EXPECT_NEAR(image.At(19, 2)[3] + image.At(20, 2)[3], 255, 2);
    EXPECT_NEAR(image.At(17, 2)[3] + image.At(22, 2)[3], 255, 2);
    EXPECT_GT(image.At(17, 2)[3], image.At(19, 2)[3]);
}

TEST(Canvas, OriginMovesTheViewOfTheDrawing) {
    CCanvas c(10, 10);
    c.SetOrigin(100, 50);
    c.Fill(Rect(103, 52, 2, 2), Rgb(0xFFFFFF));
    const CImage image = c.Resolve();
    EXPECT_EQ(image.At(3, 2)[3], 255);
    EXPECT_EQ(image.At(5, 2)[3], 0);
}

TEST(Paint, GradientsInterpolateBetweenTheirStops) {
    const TPaint linear = Linear(0, 0, 10, 0, {{0.0f, Rgb(0x000000)}, {1.0f, Rgb(0xFFFFFF)}});
    EXPECT_NEAR(linear(5, 99).r, 0.5f, 1e-5f) << "points project onto the line";
    EXPECT_NEAR(linear(-3, 0).r, 0.0f, 1e-6f) << "clamped before the start";
    const TStops three = {{0.0f, Rgb(0xFF0000)}, {0.5f, Rgb(0x00FF00)}, {1.0f, Rgb(0x0000FF)}};
    const TRgba quarter = SampleStops(three, 0.25f);
    EXPECT_NEAR(quarter.r, 0.5f, 1e-5f);
    EXPECT_NEAR(quarter.g, 0.5f, 1e-5f);
    const TPaint radial = Radial(0, 0, 10, {{0.0f, Rgb(0xFFFFFF)}, {1.0f, Rgb(0x000000)}});
    EXPECT_NEAR(radial(6, 8).r, 0.0f, 1e-5f) << "distance 10 is the end";
    EXPECT_NEAR(radial(3, 4).r, 0.5f, 1e-5f);
}

TEST(Paint, SphereShaderLightsFromTheUpperLeft) {
    TSphere s;
    s.cx = 0;
    s.cy = 0;
    s.r = 10;
    float diffuse = 0, specular = 0;
    // At the centre the normal faces the viewer: the diffuse term is the light's z component,
    // 0.6 / |(-0.5, -0.62, 0.6)|.
    SphereTerms(s, 0, 0, diffuse, specular);
    EXPECT_NEAR(diffuse, 0.6f / std::sqrt(0.25f + 0.3844f + 0.36f), 1e-4f);
    float upperLeft = 0, lowerRight = 0;
    SphereTerms(s, -4, -5, upperLeft, specular);
    const float spotSpecular = specular;
    SphereTerms(s, 4, 5, lowerRight, specular);
    EXPECT_GT(upperLeft, 0.95f);
    EXPECT_LT(lowerRight, 0.2f);
    EXPECT_GT(spotSpecular, specular);
}

// Deterministic randomness: fixed sequences, lattice values, ranges, the periodic wrap.
#include <gtest/gtest.h>

#include <cmath>

#include "imagegen/Noise.h"

using namespace imagegen;

TEST(Noise, ValueNoiseInterpolatesItsLattice) {
    const CValueNoise noise(42);
    for (int x = -3; x <= 3; ++x)
        for (int y = -3; y <= 3; ++y)
            EXPECT_FLOAT_EQ(noise.At(static_cast<float>(x), static_cast<float>(y)), noise.Lattice(x, y));
    // Half way between two lattice points the quintic fade is one half: the mean of the two.
    EXPECT_NEAR(noise.At(0.5f, 0), (noise.Lattice(0, 0) + noise.Lattice(1, 0)) / 2, 1e-6f);
    float lo = 1, hi = 0;
    for (int i = 0; i < 2000; ++i) {
        const float v = noise.Fbm(i * 0.37f, i * 0.11f, 4);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GE(lo, 0.0f);
    EXPECT_LE(hi, 1.0f);
    EXPECT_GT(hi - lo, 0.3f) << "the noise actually varies";
}

TEST(Noise, SeedsGiveFixedAndDifferentFields) {
    const CValueNoise a(1), b(1), c(2);
    int differ = 0;
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(a.At(i * 0.7f, i * 1.3f), b.At(i * 0.7f, i * 1.3f));
        differ += a.Lattice(i, i) != c.Lattice(i, i);
    }
    EXPECT_GT(differ, 45);
}

TEST(Noise, PeriodicNoiseRepeatsExactly) {
    const CValueNoise noise(9);
    for (float x = 0; x < 4; x += 0.3f)
        for (float y = 0; y < 16; y += 0.7f)
            EXPECT_NEAR(noise.Periodic(x, y, 4, 16), noise.Periodic(x + 4, y - 16, 4, 16), 1e-5f) << x << "," << y;
}

TEST(Noise, RandomRangesStayInBoundsAndRepeatPerSeed) {
    CRandom r(7), again(7);
    bool sawLow = false, sawHigh = false;
    for (int i = 0; i < 5000; ++i) {
        const float v = r.Range(2, 3);
        EXPECT_EQ(v, again.Range(2, 3));
        ASSERT_GE(v, 2.0f);
        ASSERT_LT(v, 3.0f);
        const int k = r.Int(-2, 2);
        again.Int(-2, 2);
        ASSERT_GE(k, -2);
        ASSERT_LE(k, 2);
        sawLow |= k == -2;
        sawHigh |= k == 2;
    }
    EXPECT_TRUE(sawLow && sawHigh) << "both ends of an integer range occur";
}

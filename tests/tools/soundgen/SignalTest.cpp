// Whole-sound operations on small hand-made fixtures.
#include <gtest/gtest.h>

#include <cmath>

#include "soundgen/Signal.h"

namespace {

using namespace soundgen;

TEST(FoldIntoLoop, AddsEveryLapBeyondTheLengthOntoTheStart) {
    Samples s = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    FoldIntoLoop(s, 4);
    EXPECT_EQ(s, (Samples{1 + 5 + 9, 2 + 6 + 10, 3 + 7, 4 + 8}));
}

TEST(FoldIntoLoop, ShortSoundsArePaddedAndZeroEmpties) {
    Samples s = {1, 2};
    FoldIntoLoop(s, 4);
    EXPECT_EQ(s, (Samples{1, 2, 0, 0}));
    FoldIntoLoop(s, 0);
    EXPECT_TRUE(s.empty());
}

TEST(FadeEdges, EndsAtZeroWithRaisedCosineRamps) {
    Samples s(100, 1.0f);
    FadeEdges(s, 10, 20);
    EXPECT_EQ(s.front(), 0.0f);
    EXPECT_EQ(s.back(), 0.0f);
    EXPECT_NEAR(s[5], 0.5, 1e-6) << "half way up the fade-in";
    EXPECT_NEAR(s[99 - 10], 0.5, 1e-6) << "half way down the fade-out";
    EXPECT_EQ(s[10], 1.0f);
    EXPECT_EQ(s[79], 1.0f);
}

TEST(NormalisePeak, PutsThePeakAtTheLevel) {
    Samples s = {0.1f, -0.4f, 0.2f};
    NormalisePeak(s, -6.0);
    EXPECT_NEAR(Peak(s), std::pow(10.0, -6.0 / 20.0), 1e-6);
    EXPECT_NEAR(s[0] / s[2], 0.5, 1e-6) << "shape kept";
    Samples silence(5, 0.0f);
    NormalisePeak(silence, -6.0);
    EXPECT_EQ(Peak(silence), 0.0f);
}

TEST(Measures, RmsMeanAndDcRemoval) {
    Samples s = {1, -1, 1, -1, 3};
    EXPECT_NEAR(Mean(s), 0.6, 1e-9);
    EXPECT_NEAR(Rms(s), std::sqrt(13.0 / 5.0), 1e-9);
    RemoveDc(s);
    EXPECT_NEAR(Mean(s), 0.0, 1e-7);
    EXPECT_NEAR(s[4], 2.4, 1e-6);
}

TEST(MixInto, AddsAtAnOffsetAndGrows) {
    Samples target = {1, 1};
    MixInto(target, {1, 2, 3}, 1, 2.0f);
    EXPECT_EQ(target, (Samples{1, 3, 4, 6}));
}

}  // namespace

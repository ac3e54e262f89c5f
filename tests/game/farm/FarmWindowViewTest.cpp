// The yard's sky on the real pak: where the sun stands, how much of it clouds cover and the tint
// that gives, the band the clouds drift in (also on screens too short for one), and the tap ring
// as the screen draws it frame by frame.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "YardTestGame.h"
#include "render/WinDibBitmap.h"

namespace {

class YardViewTest : public YardTest {
protected:
    // Cloud i becomes a picture of w x h pixels centred at (x, y); the others drift far off.
    void PlaceCloud(int i, int w, int h, int x, int y) {
        auto* picture = new CWinDibBitmap(&game);
        ASSERT_EQ(picture->Create(w, h), 1);
        delete Yard()->m_Clouds[i];
        Yard()->m_Clouds[i] = picture;
        Yard()->m_CloudPositions[i] = TVector2D{x * 256, y * 256};
    }
    void CloudsAway() {
        for (int i = 0; i < Yard()->m_CloudPositions.count; ++i)
            Yard()->m_CloudPositions[i] = TVector2D{-5000 * 256, 0};
    }
    double Cover() {
        CQuorvanArray<int> indices;
        CQuorvanArray<double> ratios;
        return Yard()->GetPercentageSunCoveredByClouds(indices, ratios);
    }
};

TEST_F(YardViewTest, TheSunStandsRightOfTheMiddleAndLowInTheEvening) {
    Open();
    TVector2D sun = Yard()->GetSunPosition();
    EXPECT_EQ(sun.x, static_cast<int>(0.7 * 320 * 256));
    EXPECT_EQ(sun.y, 40 * 256);
    Open("yard4");
    sun = Yard()->GetSunPosition();
    EXPECT_EQ(sun.x, static_cast<int>(0.4 * 320 * 256));
    EXPECT_EQ(sun.y, 35 * 256);
}

TEST_F(YardViewTest, CloudsCoverTheSunSquareByTheirCores) {
    Open();
    const TVector2D sun = Yard()->GetSunPosition();
    const int sx = sun.x >> 8, sy = sun.y >> 8;
    // A 120-pixel cloud's core is 56 x 56: it covers the 52 x 52 square whole.
    const struct {
        const char* what;
        int w, h, dx;  // the picture's size and how far right of the sun it stands
        double cover;
    } rows[] = {
        {"a core over the whole square", 120, 120, 0, 1.0},
        {"half the square: the core's left edge at the sun's centre", 120, 120, 28, 0.5},
        {"a core clear of the square", 120, 120, 55, 0.0},
        {"a cloud 8 pixels wide has no core", 8, 400, 0, 0.0},
        {"a cloud 8 pixels high has no core", 400, 8, 0, 0.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CloudsAway();
        PlaceCloud(0, row.w, row.h, sx + row.dx, sy);
        CQuorvanArray<int> indices;
        CQuorvanArray<double> ratios;
        EXPECT_NEAR(Yard()->GetPercentageSunCoveredByClouds(indices, ratios), row.cover, 1e-9);
        EXPECT_EQ(indices.count, row.cover > 0 ? 1 : 0);
        if (row.cover > 0) {
            EXPECT_EQ(indices[0], 0);
            // The share of the core (56 x 56) that lies on the sun.
            EXPECT_NEAR(ratios[0], row.cover * 52 * 52 / (56.0 * 56.0), 1e-9);
        }
    }
    // Two whole covers make 2.0, and a blue of 255 - 190 = 65.
    CloudsAway();
    PlaceCloud(0, 120, 120, sx, sy);
    PlaceCloud(3, 120, 120, sx, sy);
    EXPECT_NEAR(Cover(), 2.0, 1e-9);
    const TSunTint tint = SunTintForCover(Cover());
    EXPECT_EQ(tint.r, 255);
    EXPECT_EQ(tint.g, 255 - 62);
    EXPECT_EQ(tint.b, 65);
    // No sun, no cover.
    Yard()->m_pSunImage = nullptr;
    EXPECT_EQ(Cover(), 0.0);
}

TEST_F(YardViewTest, TheSunsTintNeverGoesBelowNought) {
    // (255, 255 - 31 c, 255 - 95 c) cut towards zero, each held at 0.
    const struct {
        double cover;
        int g, b;
    } rows[] = {{0.0, 255, 255}, {-1.0, 255, 255}, {0.5, 240, 208}, {1.0, 224, 160},
                {2.68, 172, 1},  {2.7, 172, 0},    {3.0, 162, 0},   {9.0, 0, 0}};
    for (const auto& row : rows) {
        const TSunTint tint = SunTintForCover(row.cover);
        EXPECT_EQ(tint.r, 255) << row.cover;
        EXPECT_EQ(tint.g, row.g) << row.cover;
        EXPECT_EQ(tint.b, row.b) << row.cover;
    }
}

TEST_F(YardViewTest, CloudsDriftInTheirBandAndComeBackFromTheLeft) {
    Open();
    // On 480 rows the band is 50 rows high: the higher, the faster, from 0.75 down to 0.15.
    for (int i = 0; i < 200; ++i) {
        TVector2D position, speed;
        Yard()->GetRandomCloudPos(i % 2 == 0, position, speed);
        const int y = position.y >> 8;
        ASSERT_GE(y, 0);
        ASSERT_LE(y, 49);
        EXPECT_EQ(position.y % 256, 0);
        EXPECT_EQ(speed.y, 0);
        EXPECT_EQ(speed.x, std::lround(((1.0 - y / 50.0) * 0.6 + 0.15) * 256.0)) << y;
        if (i % 2 == 0) {
            EXPECT_EQ(position.x, -60 * 256);
        } else {
            EXPECT_GE(position.x, -60 * 256);
            EXPECT_LT(position.x, (320 + 60) * 256);
        }
    }
    // A cloud past the right side comes back from the left.
    Yard()->m_CloudPositions[2] = TVector2D{(320 + 120) * 256 - 1, 10 * 256};
    Yard()->m_CloudSpeeds[2] = TVector2D{1, 0};
    Frames(1);
    EXPECT_EQ(Yard()->m_CloudPositions[2].x, -60 * 256);
}

TEST_F(YardViewTest, AScreenTooShortForTheCloudBandStillPlacesItsClouds) {
    Open();
    // 430 rows and fewer leave no band: the clouds keep to its top row at the slowest drift's top.
    IDibBitmap* before = game.m_Screen.m_pBackBuffer;
    for (int h : {431, 430, 400}) {
        CWinDibBitmap shorter(&game);
        ASSERT_EQ(shorter.Create(320, h), 1);
        game.m_Screen.m_pBackBuffer = &shorter;
        for (int i = 0; i < 20; ++i) {
            TVector2D position, speed;
            Yard()->GetRandomCloudPos(false, position, speed);
            EXPECT_EQ(position.y, 0) << h;
            EXPECT_EQ(speed.x, 192) << h << ": 0.75 pixel a frame";
        }
    }
    game.m_Screen.m_pBackBuffer = before;
}

TEST_F(YardViewTest, ATapRingIsDrawnFor22FramesFromClockOne) {
    Open();
    CRecordingRotatorPath recorder;
    Tap(160, 400);
    ASSERT_EQ(Yard()->m_Animations.count, 1);
    RecordDrawing(recorder);
    std::vector<TRotatedDraw> rings;
    for (int frame = 1; frame <= 30; ++frame) {
        Frames(1);
        recorder.draws.clear();
        Yard()->DrawAnimations();
        for (const TRotatedDraw& d : recorder.draws)
            if (d.src == Yard()->m_pTapImage) rings.push_back(d);
        if (frame == 1) {
            ASSERT_EQ(Yard()->m_Animations.count, 1);
            EXPECT_EQ(Yard()->m_Animations[0].clock, 256) << "its first drawing is at clock 1.0";
        }
    }
    RestoreDrawing();
    ASSERT_EQ(rings.size(), 22u);
    EXPECT_EQ(Yard()->m_Animations.count, 0) << "gone once its clock passed 22";
    // Grows from a tenth to one and a half and fades, eased, added, where the finger lifted.
    const auto eased = [](double t) { return (1.0 - std::cos(M_PI * t)) / 2.0; };
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const double e = eased((i + 1) / 22.0);
        EXPECT_EQ(rings[i].kind, TRotatedDraw::kAdditive);
        EXPECT_EQ(rings[i].x, 160 * 256);
        EXPECT_EQ(rings[i].y, 400 * 256);
        EXPECT_NEAR(rings[i].scale, 6554 + (98304 - 6554) * e, 200.0) << i;
        EXPECT_NEAR(rings[i].alphaOffset, -255.0 * e, 2.0) << i;
    }
}

}  // namespace

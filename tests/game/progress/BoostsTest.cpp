// The boost table and the value pulse.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ProgressFakeGame.h"
#include "game/progress/Bouncer.h"
#include "game/progress/UpgradeManager.h"

namespace {

TEST(UpgradeManager, TheSixBoostsWithTheirLabelsAndCosts) {
    struct TRow {
        const char* id;
        const char* caption;
        std::vector<std::string> labels;
        std::vector<int> costs;
    } rows[] = {
        {"boost_combo", "Combo Extra Score:", {"None", "25%", "50%", "75%", "100%"}, {0, 1, 1, 1, 1}},
        {"boost_life", "Extra Lifes:", {"None", "1", "2", "3"}, {0, 1, 2, 3}},
        {"boost_coin1", "Double Coin Bonus Chance:", {"0%", "25%", "50%", "75%", "100%"}, {0, 1, 1, 1, 1}},
        {"boost_xray", "Ray Bomb:", {"4 Rays", "6 Rays", "8 Rays", "10 Rays", "12 Rays"}, {0, 1, 2, 2, 3}},
        {"boost_color_bomb", "2-color Bomb Chance:", {"0%", "25%", "50%", "75%", "100%"}, {0, 1, 2, 2, 3}},
        {"boost_bomb", "Fire Ball Extra Range:", {"0%", "10%", "20%", "30%", "40%", "50%"}, {0, 1, 2, 2, 2, 3}},
    };
    CProgressTestGame game;
    CUpgradeManager manager(&game);
    ASSERT_TRUE(manager.PostConstruct());
    int everyLevel = 0;
    for (int type = 0; type < 6; ++type) {
        const TRow& row = rows[type];
        SCOPED_TRACE(row.id);
        EXPECT_EQ(std::string(g_strUpgradeTextIds[type]), row.id);
        EXPECT_EQ(manager.GetUpgradeType(CommonString(row.id)), type);
        EXPECT_EQ(Str(manager.GetCaption(type)), row.caption);
        ASSERT_EQ(manager.GetNumLevels(type), static_cast<int>(row.labels.size()));
        for (int level = 0; level < manager.GetNumLevels(type); ++level) {
            EXPECT_EQ(Str(manager.GetLevelLabel(type, level)), row.labels[level]);
            EXPECT_EQ(manager.GetLevelCost(type, level), row.costs[level]);
            everyLevel += manager.GetLevelCost(type, level);
        }
        EXPECT_EQ(manager.GetLevelLabel(type, manager.GetNumLevels(type)).Length(), 0);
    }
    EXPECT_EQ(everyLevel, 40) << "every level of every boost";
    EXPECT_EQ(manager.GetNumLevels(6), 0);
    EXPECT_EQ(manager.GetLevelCost(-1, 1), 0);
}

TEST(UpgradeManager, OnlyExactIdsAreBoosts) {
    CUpgradeManager manager(nullptr);
    ASSERT_TRUE(manager.PostConstruct());
    for (const char* id : {"boost_Bomb", "", "btn_play_upgrades", "boost_bomb ", "boost"})
        EXPECT_EQ(manager.GetUpgradeType(CommonString(id)), -1) << "'" << id << "'";
}

// Records the turns it hears.
class CTurns : public IBouncerListener {
public:
    void OnBouncerTurn(Bouncer* bouncer, bool atMaximum) override {
        turns.push_back(atMaximum ? 'T' : 'B');
        values.push_back(bouncer->value);
    }
    std::string turns;
    std::vector<float> values;
};

TEST(Bouncer, StartedAtTheTopItTurnsAtOnceAndStaysThereThatFrame) {
    Bouncer b;
    CTurns listener;
    b.listener = &listener;
    b.Start(0.95f, 1.05f, 0.005f, 1.05f);
    b.RunProcess();
    EXPECT_FLOAT_EQ(b.value, 1.05f);
    EXPECT_FLOAT_EQ(b.velocity, -0.005f);
    EXPECT_EQ(listener.turns, "T");
    b.RunProcess();
    EXPECT_NEAR(b.value, 1.045f, 1e-6);
}

TEST(Bouncer, RunsBetweenItsBoundsAndTurnsAtEach) {
    Bouncer b;
    CTurns listener;
    b.listener = &listener;
    b.Start(0.0f, 1.0f, 0.25f, 0.5f);
    // 0.75, 1.0, then above: turns at 1; down 0.75 .. 0.0, below: turns at 0; up again.
    const float expected[] = {0.75f, 1.0f, 1.0f, 0.75f, 0.5f, 0.25f, 0.0f, 0.0f, 0.25f};
    for (float value : expected) {
        b.RunProcess();
        EXPECT_FLOAT_EQ(b.value, value);
    }
    EXPECT_EQ(listener.turns, "TB");

    Bouncer still;
    still.value = 0.3f;
    still.velocity = 1.0f;
    still.RunProcess();
    EXPECT_FLOAT_EQ(still.value, 0.3f) << "an inactive bouncer does not move";
}

TEST(Bouncer, TheEasedValueIsASineWaveBetweenTheBounds) {
    struct TCase {
        float minimum, maximum, value, eased;
    } cases[] = {
        {0.95f, 1.05f, 0.95f, 0.95f},
        {0.95f, 1.05f, 1.0f, 1.0f},
        {0.95f, 1.05f, 1.05f, 1.05f},
        // A quarter of the way: (sin(-pi/4) + 1) / 2 of the range.
        {0.0f, 4.0f, 1.0f, 4.0f * (1.0f - std::sqrt(0.5f)) / 2.0f},
        {2.0f, 2.0f, 7.0f, 7.0f},     // equal bounds: the value itself
        {2.0f, 2.0005f, 7.0f, 7.0f},  // a range below 0.001 likewise
    };
    for (const TCase& c : cases) {
        Bouncer b;
        b.minimum = c.minimum;
        b.maximum = c.maximum;
        b.value = c.value;
        EXPECT_NEAR(b.GetCurValueSineWaved(), c.eased, 1e-5) << c.minimum << ".." << c.maximum << " at " << c.value;
    }
}

}  // namespace

#include "app/GlobalConstants.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 9> Values(const CGlobalConst& c) {
    return {c.m_nTextCenterX, c.m_nTextCenterY,        c.m_nThirdValue,  c.m_nAdBannerHeight,      c.m_nAdX,
            c.m_nAdY,         c.m_nPlayAreaSideMargin, c.m_nPlayAreaTop, c.m_nPlayAreaBottomMargin};
}

TEST(GlobalConstants, TablesPerResolutionId) {
    struct TCase {
        int id;
        std::array<int, 9> expected;
    };
    const TCase cases[] = {
        {18, {160, 240, 220, 50, 0, 0, 12, 116, 11}},
        {22, {180, 240, 220, 42, 9, 0, 12, 116, 11}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.id);
        GC.InitForResolution(c.id);
        EXPECT_EQ(Values(GC), c.expected);
    }
    GC.InitForRes_iPhone();
    EXPECT_EQ(Values(GC), cases[0].expected);
    GC.InitForRes_iPad480x360();
    EXPECT_EQ(Values(GC), cases[1].expected);
}

TEST(GlobalConstants, UnknownIdChangesNothing) {
    GC.InitForRes_iPhone();
    GC.m_nTextCenterX = 123;  // as the game does after start-up with half the back buffer's width
    const std::array<int, 9> before = Values(GC);
    for (int id : {0, 20, 21, 23, -18}) {
        GC.InitForResolution(id);
        EXPECT_EQ(Values(GC), before) << id;
    }
}

}  // namespace

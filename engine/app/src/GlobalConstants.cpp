#include "app/GlobalConstants.h"

CGlobalConst GC;

void CGlobalConst::InitForResolution(int id) {
    if (id == kResolutionIdSmall) {
        InitForRes_iPhone();
    } else if (id == kResolutionIdWide) {
        InitForRes_iPad480x360();
    }
}

void CGlobalConst::InitForRes_iPhone() {
    m_nTextCenterX = 160;
    m_nTextCenterY = 240;
    m_nThirdValue = 220;
    m_nAdBannerHeight = 50;
    m_nAdX = 0;
    m_nAdY = 0;
    m_nPlayAreaSideMargin = 12;
    m_nPlayAreaTop = 116;
    m_nPlayAreaBottomMargin = 11;
}

void CGlobalConst::InitForRes_iPad480x360() {
    m_nTextCenterX = 180;
    m_nTextCenterY = 240;
    m_nThirdValue = 220;
    m_nAdBannerHeight = 42;
    m_nAdX = 9;
    m_nAdY = 0;
    m_nPlayAreaSideMargin = 12;
    m_nPlayAreaTop = 116;
    m_nPlayAreaBottomMargin = 11;
}

// Per-resolution layout numbers of the gameplay screen, the farm and the award banner, held in the
// one global GC. Filled once at start-up by the game's LoadGlobalConstants; read directly.
// Main thread only.
#pragma once

// Logical resolution ids the table knows.
enum : int { kResolutionIdSmall = 18, kResolutionIdWide = 22 };

class CGlobalConst {
public:
    // Leaves the values as they are: the global GC starts at zero like any static object.
    CGlobalConst() {}

    // Id 18 or 22 sets all nine values from the table; any other id changes nothing.
    void InitForResolution(int id);
    // The id-18 values (320-wide screens).
    void InitForRes_iPhone();
    // The id-22 values (360-wide screens).
    void InitForRes_iPad480x360();

    // All in logical pixels.
    int m_nTextCenterX;  // centre of the floating gameplay texts; the game replaces it
                         // with half the back buffer's width after start-up
    int m_nTextCenterY;
    int m_nThirdValue;
    int m_nAdBannerHeight;  // taken off the top of the play layout while the ad shows
    int m_nAdX;
    int m_nAdY;
    int m_nPlayAreaSideMargin;
    int m_nPlayAreaTop;
    int m_nPlayAreaBottomMargin;
};

extern CGlobalConst GC;

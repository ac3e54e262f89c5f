// The tiled hint: the text on a dark panel made of whole tiles of "tutorial_tiledbg" (a 3 x 3
// nine-patch: corners, edges, centre), with the close button in its top-right corner and, when
// the hint is about a widget, a black arrow ("tutorial_black_arrow") from the panel's top edge
// towards it. Used by the yard, the round statistics and the boosts screen (kinds 3 to 8; closing
// kind k sets hint flag k of the profile). See FocusedTutorial.h for the host's part. Main
// thread only.
#pragma once

#include "game/widgets/FocusedTutorial.h"

class CTiledBGTutorial : public CFocusedTutorial {
public:
    // panel: the rectangle (pixels) the panel is sized for and centred on; focus, when given, is
    // the widget the black arrow points at.
    CTiledBGTutorial(CGameBase* game, int kind, int x, int y, const char* text, TCoordRect2D panel, XWidget* focus);

    // The fade and the bobbing.
    void RunProcess() override;
    // The panel, the black arrow, the close button and the text; nothing at alpha 0.
    void Draw(IDibBitmap* dst) override;
    bool HitTestCloseButton(int x, int y) override;

    // The panel as laid out: whole tiles, centred on the requested rectangle.
    TCoordRect2D GetPanel() const { return m_Panel; }
    int GetMiddleTilesAcross() const { return m_nMiddleTilesX; }
    int GetMiddleTilesDown() const { return m_nMiddleTilesY; }

protected:
    // The nine tiles, the black arrow (only with a focus widget), the panel in whole tiles, the
    // text and the close button: false when a set is missing or the text cannot be laid out.
    bool LayOut() override;

private:
    TCoordRect2D m_Requested;
    TCoordRect2D m_Panel = {};
    IDibBitmap* m_Tiles[9] = {};  // grid order, row by row; frames of the sprite set, not owned
    int m_nMiddleTilesX = 0;
    int m_nMiddleTilesY = 0;
    IDibBitmap* m_pBlackArrow = nullptr;
    double m_dBob[2] = {};
    double m_dBobSpeed[2] = {};
    double m_dBobShown[2] = {};
};

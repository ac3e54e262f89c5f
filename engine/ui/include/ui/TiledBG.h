#pragma once
// The tiled background: up to nine tiles in a 3 x 3 grid (corners, sides, centre), each a frame
// of a named sprite set, built to a size by repeating the middle column and the middle row. The
// repeat counts come from the dialog that creates it, or from the record's own "own_tiles".

#include "ui/ContainedSpriteSet.h"
#include "ui/Widget.h"

class CSpriteSet;
class IDibBitmap;

// A panel of any size drawn from the nine frames of a loaded set (row by row: corners, sides and
// centre): the corners at the corners, the sides and the centre repeated between them, the last
// repeat cut to fit. Nothing when the set has fewer than nine frames or the size is smaller than
// two corners.
void DrawTiledPanel(IDibBitmap* target, CSpriteSet* tiles, int x, int y, int w, int h, int alphaOffset);

class XTiledBG : public XWidget {
public:
    // columnRepeats and rowRepeats: how often the middle column and the middle row are drawn.
    XTiledBG(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context, int columnRepeats,
             int rowRepeats);

    // The grid from its first to its last present row and column, whatever the opacity.
    void Draw() override;
    // Places the widget and loads the tiles (a name that is empty or unknown leaves its tile out);
    // 0 when a tile cannot be loaded.
    int OnInitWidget() override;
    // The full size of the grid; the element's where that is below 1.
    TElementSize GetSize() override;

    int GetColumnRepeats() const { return m_nColumnRepeats; }
    int GetRowRepeats() const { return m_nRowRepeats; }

protected:
    // A named set with frame 0, then the holder shows frame.
    int LoadTile(ContainedSpriteSet& holder, const CommonString& name, int frame);

    int m_nColumnRepeats;
    int m_nRowRepeats;
    ContainedSpriteSet m_Tiles[kTileCount];  // grid order, row by row
    bool m_bSingleSet = false;
    bool m_bSideColumns = false;
    int m_nFullWidth = 0;
    int m_nFullHeight = 0;
    IDibBitmap* m_TileBitmaps[kTileCount] = {};  // grid order; null where a tile is missing
    bool m_bRowPresent[3] = {};
    bool m_bColumnPresent[3] = {};
    int m_RowHeights[3] = {};
    int m_ColumnWidths[3] = {};
    int m_nFirstColumn = 0;
    int m_nLastColumn = 0;
    int m_nFirstRow = 0;
    int m_nLastRow = 0;
};

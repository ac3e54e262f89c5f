// The tiled background.
#include "ui/TiledBG.h"

#include <algorithm>

#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"

namespace {

int WidthOf(const IDibBitmap* bitmap) { return bitmap != nullptr ? bitmap->m_Width : 0; }
int HeightOf(const IDibBitmap* bitmap) { return bitmap != nullptr ? bitmap->m_Height : 0; }

// First present of three places (0 when the first is, else 1 for the middle, else 2), and the last.
int FirstPresent(const bool present[3]) { return present[0] ? 0 : present[1] ? 1 : 2; }
int LastPresent(const bool present[3]) { return present[2] ? 2 : present[1] ? 1 : 0; }

}  // namespace

XTiledBG::XTiledBG(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context,
                   int columnRepeats, int rowRepeats)
    : XWidget(parent, templ, record, context), m_nColumnRepeats(columnRepeats), m_nRowRepeats(rowRepeats) {}

int XTiledBG::LoadTile(ContainedSpriteSet& holder, const CommonString& name, int frame) {
    // A tile without a name stays empty.
    return name.Length() == 0 ? 1 : LoadNamedSpriteSet(GetGamePtr(), holder, name, frame);
}

int XTiledBG::OnInitWidget() {
    if (!XWidget::OnInitWidget()) return 0;
    const auto* record = dynamic_cast<const TTiledBG*>(m_pRecord);
    if (record == nullptr) return 0;
    m_bSideColumns = record->hasBorderTiles;
    m_bSingleSet = record->single_set;
    for (int place = 0; place < kTileCount; ++place) {
        const int column = place % 3;
        // The middle column always loads; the side columns only when the record gave side tiles.
        if (!m_bSingleSet && column != 1 && !m_bSideColumns) continue;
        const CommonString& name = m_bSingleSet ? record->tiles[kTileCenter] : record->tiles[place];
        if (!LoadTile(m_Tiles[place], name, m_bSingleSet ? place : 0)) return 0;
    }
    if (record->own_tiles) {
        m_nColumnRepeats = record->ownTilesX < 0 ? 0 : record->ownTilesX;
        m_nRowRepeats = record->ownTilesY < 0 ? 0 : record->ownTilesY;
    }
    for (int place = 0; place < kTileCount; ++place) m_TileBitmaps[place] = m_Tiles[place].CurrentBitmap();
    const auto tile = [this](int row, int column) { return m_TileBitmaps[row * 3 + column]; };
    m_nFullWidth = WidthOf(tile(1, 0)) + WidthOf(tile(1, 2)) + WidthOf(tile(1, 1)) * m_nColumnRepeats;
    m_nFullHeight = HeightOf(tile(0, 1)) + HeightOf(tile(2, 1)) + HeightOf(tile(1, 1)) * m_nRowRepeats;
    for (int i = 0; i < 3; ++i) {
        m_bRowPresent[i] = tile(i, 0) != nullptr || tile(i, 1) != nullptr || tile(i, 2) != nullptr;
        m_bColumnPresent[i] = tile(0, i) != nullptr || tile(1, i) != nullptr || tile(2, i) != nullptr;
    }
    m_bColumnPresent[0] = m_bColumnPresent[0] && m_bSideColumns;
    m_bColumnPresent[2] = m_bColumnPresent[2] && m_bSideColumns;
    m_nFirstColumn = FirstPresent(m_bColumnPresent);
    m_nLastColumn = LastPresent(m_bColumnPresent);
    m_nFirstRow = FirstPresent(m_bRowPresent);
    m_nLastRow = LastPresent(m_bRowPresent);
    for (int column = m_nFirstColumn; column <= m_nLastColumn; ++column) {
        m_ColumnWidths[column] = 0;
        for (int row = 0; row < 3 && m_ColumnWidths[column] == 0; ++row)
            if (tile(row, column) != nullptr) m_ColumnWidths[column] = WidthOf(tile(row, column));
    }
    for (int row = m_nFirstRow; row <= m_nLastRow; ++row) {
        m_RowHeights[row] = 0;
        for (int column = 0; column < 3 && m_RowHeights[row] == 0; ++column)
            if (tile(row, column) != nullptr) m_RowHeights[row] = HeightOf(tile(row, column));
    }
    return 1;
}

TElementSize XTiledBG::GetSize() {
    return {m_nFullWidth < 1 ? m_Rect.width : m_nFullWidth, m_nFullHeight < 1 ? m_Rect.height : m_nFullHeight};
}

void XTiledBG::Draw() {
    IDibBitmap* target = GetBackBuffer();
    if (target == nullptr || m_nFirstColumn > m_nLastColumn || m_nFirstRow > m_nLastRow) return;
    const int alphaOffset = OpacityToAlphaOffset(GetOpacity());
    int y = m_Rect.y;
    int rowsLeft = m_nRowRepeats;
    for (int row = m_nFirstRow; row <= m_nLastRow;) {
        if (row == 1 && rowsLeft <= 0) {
            row = 2;
            continue;
        }
        int x = m_Rect.x;
        int columnsLeft = m_nColumnRepeats;
        for (int column = m_nFirstColumn; column <= m_nLastColumn;) {
            if (column == 1 && columnsLeft <= 0) {
                column = 2;
                continue;
            }
            if (IDibBitmap* bitmap = m_TileBitmaps[row * 3 + column])
                bitmap->Draw(target, x, y, bitmap->m_Width, bitmap->m_Height, 0, alphaOffset);
            x += m_ColumnWidths[column];
            if (column == 1)
                --columnsLeft;
            else
                ++column;
        }
        y += m_RowHeights[row];
        if (row == 1)
            --rowsLeft;
        else
            ++row;
    }
}

void DrawTiledPanel(IDibBitmap* target, CSpriteSet* tiles, int x, int y, int w, int h, int alphaOffset) {
    if (target == nullptr || tiles == nullptr || tiles->GetNumFrames() < kTileCount) return;
    IDibBitmap* tile[kTileCount] = {};
    for (int i = 0; i < kTileCount; ++i)
        if ((tile[i] = tiles->GetFrame(i)) == nullptr) return;
    const int cornerW = tile[0]->m_Width, cornerH = tile[0]->m_Height;
    const int sideW = tile[1]->m_Width, sideH = tile[3]->m_Height;
    const int innerW = w - 2 * cornerW, innerH = h - 2 * cornerH;
    if (innerW < 0 || innerH < 0 || sideW < 1 || sideH < 1) return;
    auto row = [&](int top, int height, IDibBitmap* left, IDibBitmap* middle, IDibBitmap* right) {
        left->Draw(target, x, top, cornerW, height, 0, alphaOffset);
        for (int dx = 0; dx < innerW; dx += sideW)
            middle->Draw(target, x + cornerW + dx, top, std::min(sideW, innerW - dx), height, 0, alphaOffset);
        right->Draw(target, x + w - cornerW, top, cornerW, height, 0, alphaOffset);
    };
    row(y, cornerH, tile[0], tile[1], tile[2]);
    for (int dy = 0; dy < innerH; dy += sideH)
        row(y + cornerH + dy, std::min(sideH, innerH - dy), tile[3], tile[4], tile[5]);
    row(y + h - cornerH, cornerH, tile[6], tile[7], tile[8]);
}

#pragma once
// The progress bar: an empty image with the first columns of a full image drawn over it, as many
// as the progress (0..256) covers of the full image's width.

#include "ui/ContainedSpriteSet.h"
#include "ui/Widget.h"

class XProgress : public XWidget {
public:
    XProgress(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);

    // The empty image (from where the fill ends, with the cut flag), then the filled columns.
    void Draw() override;
    // Places the widget and loads both images; 0 when one cannot be loaded.
    int OnInitWidget() override;
    // A width or height below 2 is the empty image's, or the full image's when that is below 2 too.
    TElementSize GetSize() override;

    // p clamped to 0..256; takes effect only when it changes and the full image has a bitmap.
    void SetProgress(int p);
    // SetProgress(percent x 256 / 100).
    void SetPercent(int percent);
    int GetProgress() const { return m_nProgress; }
    int GetFillWidth() const { return m_nFillWidth; }

protected:
    ContainedSpriteSet m_Empty;
    ContainedSpriteSet m_Full;
    short m_nFullOffsetX = 0;
    short m_nFullOffsetY = 0;
    bool m_bCut = false;  // the empty image starts where the fill ends
    int m_nProgress = 0;
    int m_nFillWidth = 0;
};

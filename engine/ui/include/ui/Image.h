#pragma once
// The image widget: one frame of its image, drawn at the widget's origin with the widget's
// opacity. Without a size in its record it measures as its frame.

#include "ui/ContainedSpriteSet.h"
#include "ui/Widget.h"

class XImage : public XWidget {
public:
    XImage(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);

    void Draw() override;
    // Places the widget, then loads the record's image; 0 when it is no image record or the image
    // files cannot be loaded.
    int OnInitWidget() override;
    // The element's size; a width or height below 2 is the held frame's.
    TElementSize GetSize() override;

    ContainedSpriteSet& Image() { return m_Image; }

protected:
    ContainedSpriteSet m_Image;
};

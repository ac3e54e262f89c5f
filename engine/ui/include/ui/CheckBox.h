#pragma once
// The check box: a button with a second image for the ticked state and its caption beside the box
// (text alignment 1) or centred with it. A completed click or key 5 going up toggles it and sends
// 604 with the new state; Check sets it silently.

#include "ui/Button.h"

class XCheckBox : public XButton {
public:
    XCheckBox(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);

    void Draw() override;
    // The rectangle (x, y, GetSize()), all edges inside.
    bool Contains(int x, int y) override;
    // The button, then the ticked image, text alignment and offset.
    int OnInitWidget() override;
    // The element's size when both are above 1; else from the two images' first frames and the
    // caption with its offset.
    TElementSize GetSize() override;

    // Sets the ticked state without a message.
    virtual void Check(bool checked) { m_bChecked = checked; }
    bool IsChecked() const { return m_bChecked; }
    // Pixels between box and caption: the given offset, else one blank's width beside the box with
    // a font, else 0.
    int CalcTextOffset();

protected:
    // Toggles and sends 604 instead of a click.
    void OnReleasedInside() override;
    // Key 5 going up toggles whether or not it was pressed.
    bool KeyUpNeedsPress() const override { return false; }

    bool m_bChecked = false;
    ContainedSpriteSet m_CheckedImage;
    unsigned char m_nTextAlign = 1;  // 1: box at the left edge, caption beside it
    short m_nTextOffset = kNoTextOffset;
};

#pragma once
// The push button: an image of up to four state frames (0 idle, 1 focused, 2 pressed, 3 disabled)
// with a caption drawn over its centre in a text style. A press takes the pointer capture and
// sends 601 (pressed) to the parent; a release inside sends 600 (click). While it or a widget
// above it is fading, the button ignores input and shows frame 0.

#include "core/CommonString.h"
#include "ui/Image.h"
#include "ui/TextLook.h"

class XButton : public XImage {
public:
    XButton(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);
    ~XButton() override;

    // Background, then caption; nothing below opacity 1.
    void Draw() override;
    // Key 5 down presses (601), key 5 up after a press clicks (600).
    int NotifyKeyEvent(int key, int type) override;
    // Press: pressed, capture, 601. Move with the capture: pressed while inside. Release with the
    // capture: released, and 600 when inside. 0 when disabled, hidden or fading.
    int NotifyPointerEvent(int x, int y, int type) override;
    // The state frame's bitmap centred on CalcCenter (far edges outside); without an image set the
    // caption's extent.
    bool Contains(int x, int y) override;
    bool IsEnabled() override { return m_bEnabled; }
    bool IsButton() override { return true; }
    int GetSoftKeyId() override { return m_nSoftKeyId; }
    void CancelActiveState() override { m_bPressed = false; }
    // The image, then the shoulder, frame count, localised caption and text style.
    int OnInitWidget() override;
    bool IsInteractive() override { return true; }
    bool IsButtonWidget() override { return true; }
    // The element's size when both are above 1, else the state frame's.
    TElementSize GetSize() override;

    // (x + width/2, y + height/2) of GetSize.
    TCoord2D CalcCenter();
    // The state frame: 2 pressed (1 with two frames, 0 with one), 1 focused with two or more
    // frames, else 0; 3 when disabled with four or more frames.
    int CalcCurrentSprite();
    void DrawButtonBackground();
    void DrawButtonText();

    const CommonString& GetCaption() const { return m_Caption; }
    void SetCaption(const CommonString& caption) { m_Caption = caption; }
    void SetEnabled(bool enabled) { m_bEnabled = enabled; }
    bool IsPressed() const { return m_bPressed; }
    const TTextLook& GetLook() const { return m_Look; }

protected:
    // A press by the pointer, once pressed and holding the capture: the button reports it (601).
    virtual void OnPointerPressed();
    // A release inside with the capture held, or key 5 going up: the button clicks (600).
    virtual void OnReleasedInside();
    // Key 5 going up completes a click only after key 5 went down; a check box toggles on any.
    virtual bool KeyUpNeedsPress() const { return true; }
    // Not disabled, visible and not fading: input reaches it.
    bool AcceptsInput();
    // The bitmap of the state frame, or null.
    IDibBitmap* StateBitmap();

    CommonString m_Caption;
    TTextLook m_Look;  // black and effect 0 until a style is chosen
    signed char m_nSoftKeyId = 0;
    signed char m_nFrameCount = 3;
    bool m_bTextStays = false;   // the caption does not move while pressed
    bool m_bImageShift = false;  // the image moves one pixel while pressed
    bool m_bPressed = false;
    bool m_bEnabled = true;
};

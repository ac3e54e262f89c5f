#pragma once
// The slider: a track, a filled part up to the handle and a handle, all frames of named sprite
// sets, horizontal or vertical. The value runs from 0 to the maximum in steps; a press or a drag
// snaps it to the nearest step (a tie goes up) and sends 603 (changing), the release sends 602
// (set), and direction keys step it and send 602. Step and maximum are at least 1.

#include "ui/ContainedSpriteSet.h"
#include "ui/Widget.h"

class XTuner : public XWidget {
public:
    XTuner(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);

    void Draw() override;
    // Press (capture, dragging, 603), move with the capture (603), release with the capture (602);
    // the value follows the point. No visibility or fading test; always 1.
    int NotifyPointerEvent(int x, int y, int type) override;
    // Key 2 (horizontal) or 4 (vertical) steps up, key 1 or 3 down, sending 602: 1; other keys 0.
    int SetNextActiveObject(int key) override;
    int SetPrevActiveObject(int key) override;
    void CancelActiveState() override { m_bDragging = false; }
    // Places the widget, loads the three sets, reads step, maximum, offsets and direction and sizes
    // the widget from its images; 0 without a track or fill, or when a set cannot be loaded.
    int OnInitWidget() override;
    bool IsInteractive() override { return true; }
    // (length, thickness), or (thickness, length) when vertical.
    TElementSize GetSize() override;

    // The value clamped to 0..maximum; sends nothing.
    void SetCurrent(int value);
    // The maximum (at least 1); a larger value comes down to it.
    void SetMax(int maximum);
    int GetCurrent() const { return m_nValue; }
    int GetMax() const { return m_nMax; }
    int GetStep() const { return m_nStep; }
    int GetHandlePos() const { return m_nHandlePos; }
    bool IsDragging() const { return m_bDragging; }
    void SetDisabled(bool disabled) { m_bDisabled = disabled; }

    // The pixels the handle can travel: length less both offsets.
    int GetTotalSlidingWidth() const;
    // Handle position = value x sliding width / maximum.
    void RecalcCurrentHandlePos();
    // The value of the step nearest to p pixels from the widget's start (a tie goes to the higher).
    void AdjustToClosestValue(int p);
    // The handle's frame for dragging, focus and the disabled state.
    int CalcCurrentHandleSprite();

protected:
    // A named set with frame 0, then the holder shows frame.
    int LoadTunerBg(ContainedSpriteSet& holder, const CommonString& name, int frame);
    void InitTunerSize();
    // The value follows the pointer, then the message goes to the parent.
    void FollowPointer(int x, int y, int code);
    void StepBy(int delta);

    ContainedSpriteSet m_Background;
    ContainedSpriteSet m_Full;
    ContainedSpriteSet m_Handle;
    bool m_bDisabled = false;
    bool m_bDragging = false;
    int m_nStep = 4;
    int m_nValue = 50;
    int m_nMax = 100;
    bool m_bVertical = false;
    int m_nOffsetLeft = 0;
    int m_nOffsetRight = 0;
    int m_nLength = 0;     // extent along the axis
    int m_nThickness = 0;  // extent across it
    int m_nHandlePos = 0;  // pixels from the start of the sliding range
};

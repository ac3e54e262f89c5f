#pragma once
// The purchase wait dialog: while the payment service answers a purchase, the current screen is
// dimmed and a spinner of twelve spokes turns over it, the leading spoke 30 degrees further every
// second frame and the others fading behind it, each with a soft shadow. The game object shows it
// and takes it down through the template actions "acn_show_in_app_wait" and
// "acn_hide_in_app_wait".
//
// Depends on: the game dialog, the image loader and the game's rotator. Main thread only.

#include "core/Common.h"
#include "ui/GameDialog.h"

class IDibBitmap;

class CXInAppWaitDlg : public XGameDialog {
public:
    static constexpr int kSpokes = 12;
    static constexpr FIXED_FLOAT kSpokeTurn = 30 * 256;  // degrees, 24.8

    CXInAppWaitDlg(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);
    // Deletes the spoke image.
    ~CXInAppWaitDlg() override;

    // The dialog's set-up, then the spoke image "particles\line_circle": 0 when it cannot be
    // loaded (the dialog is then not made).
    int OnInitWidget() override;
    // The dialog's update; every second frame the spinner turns on by one spoke.
    void RunProcess() override;
    // The dialog, then the spinner at the screen's centre, 50 pixels below the dialog's middle.
    void Draw() override;

    // The leading spoke's angle, 0 up to a full turn (24.8 degrees).
    FIXED_FLOAT GetAngle() const { return m_nAngle; }
    IDibBitmap* GetSpokeImage() const { return m_pSpoke; }

private:
    IDibBitmap* m_pSpoke = nullptr;  // owned
    FIXED_FLOAT m_nAngle = 0;
    int m_nFrameCounter = 0;
};

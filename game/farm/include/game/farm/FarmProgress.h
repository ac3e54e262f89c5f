// CXFarmProgress: one of the four bars of the yard screen and the farm shop (records "pb_birds",
// "pb_plants", "pb_comfort", "pb_decor"), showing how far the open yard's points of one category
// have come towards the threshold of the yard's next star: the category's caption to the bar's
// left, the percentage to its right. The bar fills one pixel a frame, and does not move while a
// dialog is open over its screen; the yard screen awards a star only when every bar has caught up.
//
// Made by the screen root's factory (MakeFarmProgress<category>). Reads the current profile's
// yard and the farm manager's points and stars each frame. Main thread only.
#pragma once

#include <new>

#include "core/Common.h"
#include "core/CommonString.h"
#include "ui/GameProgress.h"

class CBitmapFontText;
class IDibBitmap;
struct YardDef;

// The captions of the four categories, in category order.
extern const char* const gstr_NAME_PROGRESS_CATEGORY[4];

class CXFarmProgress : public XGameProgress {
public:
    // category 0 birds, 1 plants, 2 comfort, 3 decor. Nothing shown until the first Update.
    CXFarmProgress(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement, int category);

    // The bar's images (both needed), the yard, the font and the caption's place, then the first
    // Update: 1, or 0 when an image is missing.
    int OnInitWidget() override;
    // The fades, then Update unless the screen under the bar has a dialog open.
    void RunProcess() override;
    // The trough, the fill with its end cap, the caption and the percentage, at the widget's
    // opacity; nothing when it is transparent.
    void Draw() override;

    // Takes the thresholds of the yard's next star (the third once three are earned), the points
    // and the label, and moves the shown length one pixel towards the target (the first call
    // jumps to it).
    void Update();

    // Red, green, blue of the caption and the percentage.
    void SetTextColour(int r, int g, int b);

    int GetCategory() const { return m_nCategory; }
    // Pixels of the fill the points ask for, and the pixels drawn now (-1 before the first Update).
    double GetTargetLength() const { return m_dTargetLength; }
    double GetShownLength() const { return m_dShownLength; }
    // Pixels of fill travel: the full image's width less the left inset and the end cap.
    double GetBarLength() const { return m_dBarLength; }
    int GetFillWidth() const { return m_nBarFillWidth; }
    const CommonString& GetLabel() const { return m_Label; }
    const CommonString& GetCaption() const { return m_Caption; }
    int GetTextRed() const { return m_TextColour[0]; }
    int GetTextGreen() const { return m_TextColour[1]; }
    int GetTextBlue() const { return m_TextColour[2]; }

private:
    int m_nBarFillWidth = 0;  // shown length + left inset
    int m_nLeftInset = 0;
    int m_nEndCap = 0;
    double m_dBarLength = 0;
    IDibBitmap* m_pFullImage = nullptr;  // frames of the bar's sets; not owned
    IDibBitmap* m_pEmptyImage = nullptr;
    YardDef* m_pYardDef = nullptr;  // the farm manager's
    int m_nCategory;
    int m_nThreshold = 1;  // points of the next star, at least 1
    double m_dLengthScale = 0;
    int m_nStarLevel = -1;  // min(stars, 2) the threshold was taken for
    int m_nPoints = 0;
    double m_dTargetLength = 0;
    double m_dShownLength = -1.0;
    CBitmapFontText* m_pFont = nullptr;  // the game's "FontVerySmall"
    FIXED_FLOAT_16 m_nTextScaleX = kFixed16One;
    FIXED_FLOAT_16 m_nTextScaleY = kFixed16One;
    CommonString m_Caption;
    FIXED_FLOAT_16 m_nCaptionOffsetX = 0;
    FIXED_FLOAT_16 m_nCaptionOffsetY = 0;
    FIXED_FLOAT_16 m_nLabelOffsetX = 0;
    FIXED_FLOAT_16 m_nLabelOffsetY = 0;
    CommonString m_Label;
    int m_TextColour[3] = {255, 255, 255};
};

// The factory's maker of the bar of one category, for table rows.
template <int Category>
XWidget* MakeFarmProgress(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement) {
    return new (std::nothrow) CXFarmProgress(parent, templ, record, placement, Category);
}

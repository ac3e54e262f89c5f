#pragma once
// The multi-line text: its caption broken into lines for the record's width (100 when none) and
// drawn left-aligned, centred or right-aligned, with extra pixels between rows. After changing the
// caption a screen calls FormatText.

#include "ui/Text.h"

class CQuorvanTextFormat;

class XTextMulti : public XText {
public:
    XTextMulti(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);
    // Deletes the text format.
    ~XTextMulti() override;

    void Draw() override;
    // The text, then alignment, width and row spacing from the record, then FormatText's result.
    int OnInitWidget() override;
    // (width, lines x (line height + row spacing)) with a font and a caption; else 5 x 5.
    TElementSize GetSize() override;
    // Places and aligns the widget again, then re-breaks the caption.
    void ReInitWidgetPosition() override;

    // Re-breaks the caption into lines: 0 without a font, 1 for an empty caption, else the
    // formatter's result.
    virtual int FormatText();

    int GetLineCount() const;

protected:
    CQuorvanTextFormat* m_pTextFormat = nullptr;  // owned
    int m_nWidth = 100;
    int m_nAlignment = 1;  // 0 left, 1 centre, 2 right
    int m_nRowSpacing = 0;
};

#pragma once
// The one-line text widget and the information text. A text takes its caption from its record
// (localised when the record has a txtid) and its look from a style of the style table, which the
// record's own colour and effect override. Screens change the caption with SetCaption; it shows
// from the next frame. The information text shows one of the game's fixed texts instead.

#include "core/CommonString.h"
#include "ui/TextLook.h"
#include "ui/Widget.h"

class XText : public XWidget {
public:
    XText(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);
    ~XText() override;

    // The caption at the widget's origin with the opacity as alpha; nothing without a font.
    void Draw() override;
    // Places the widget, then the caption and the text style; 0 for a record without text.
    int OnInitWidget() override;
    // The element's size; a width below 2 is the caption's, a height below 2 the font's line.
    TElementSize GetSize() override;

    const CommonString& GetCaption() const { return m_Caption; }
    void SetCaption(const CommonString& caption) { m_Caption = caption; }
    const TTextLook& GetLook() const { return m_Look; }
    // The caption's colour in place of its style's, from the next frame.
    void SetColour(unsigned char r, unsigned char g, unsigned char b) {
        m_Look.red = r;
        m_Look.green = g;
        m_Look.blue = b;
    }

protected:
    CommonString m_Caption;
    TTextLook m_Look;
};

class XTextInfo : public XText {
public:
    XTextInfo(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* context);

    // The text, then the game's text of the record's info type in place of the caption: 0 (and any
    // unlisted type) the version, 1 the build date, 3 and 4 the two shop links. A type of 5 or more
    // fails.
    int OnInitWidget() override;

protected:
    unsigned char m_nInfoType = 0;
};

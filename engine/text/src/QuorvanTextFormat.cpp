// CQuorvanTextFormat: word wrapping and aligned drawing of text blocks.
#include "text/QuorvanTextFormat.h"

#include <new>
#include <string>

#include "text/BitmapFont.h"

CQuorvanTextFormat::CQuorvanTextFormat() { m_Lines.growBy = 5; }

CQuorvanTextFormat::~CQuorvanTextFormat() { Clear(); }

int CQuorvanTextFormat::AddString(const char* text) {
    auto* line = new (std::nothrow) CommonString(text);
    if (line == nullptr) {
        return 0;
    }
    if (m_Lines.Add(line) == 0) {
        delete line;
        return 0;
    }
    return 1;
}

void CQuorvanTextFormat::Clear() { m_Lines.RemoveAll(); }

CommonString* CQuorvanTextFormat::GetString(int i) const {
    if (i < 0 || i >= m_Lines.count) {
        return nullptr;
    }
    return m_Lines.data[i];
}

int CQuorvanTextFormat::CalcFormatHeight(CBitmapFontText* font, int spacing) const {
    if (font == nullptr) {
        return 0;
    }
    return m_Lines.count * (font->GetCharHeight() + spacing);
}

int CQuorvanTextFormat::FormatText(int width, CBitmapFontText* font, const char* text) {
    if (text == nullptr || *text == '\0' || font == nullptr) {
        return 0;
    }
    std::string copy;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p != '\r') {
            copy.push_back(*p);
        }
    }
    if (copy.empty()) {
        return 1;  // nothing but carriage returns: no line at all
    }
    int gap = font->Length2(" ");
    gap = gap < 0 ? 0 : (gap > 10 ? 10 : gap);

    std::string line;
    std::string word;
    const std::size_t n = copy.size();
    // Every position up to and including the terminating zero is visited.
    for (std::size_t i = 0; i <= n; ++i) {
        const char c = i < n ? copy[i] : '\0';
        bool lineBreak = c == '\n' || c == '\0';
        bool wordEnd = c == ' ' || lineBreak;
        if (c == '\\' && i + 1 < n && copy[i + 1] == 'n') {
            lineBreak = wordEnd = true;
            ++i;  // the two characters count as one break
        }
        if (!wordEnd) {
            word.push_back(c);
            continue;
        }
        // Measured with the font's letter spacing after the last character and a gap of at most
        // 10 pixels, while the joined line holds a real space.
        const bool fits = font->Length2(line.c_str()) + gap + font->Length2(word.c_str()) < width;
        if (fits) {
            line = line.empty() ? word : line + " " + word;
            if (lineBreak) {
                if (AddString(line.c_str()) == 0) {
                    return 0;
                }
                line.clear();
            }
        } else {
            if (!line.empty() && AddString(line.c_str()) == 0) {
                return 0;
            }
            if (lineBreak && c != '\0') {
                if (AddString(word.c_str()) == 0) {
                    return 0;
                }
                line.clear();
            } else {
                line = word;
                if (c == '\0' && AddString(line.c_str()) == 0) {
                    return 0;
                }
            }
        }
        word.clear();
    }
    return 1;
}

void CQuorvanTextFormat::TextOut(IDibBitmap* dst, int x, int y, CBitmapFontText* font, int r, int g, int b, int effect,
                                 unsigned char alpha, int spacing, TCoordRect2D* clip) {
    if (font == nullptr) {
        return;
    }
    const int h = font->GetCharHeight();
    for (int i = 0; i < m_Lines.count; ++i) {
        const char* text = m_Lines.data[i]->GetDataConst();
        const char* shown = text != nullptr ? text : "";
        int lineX = x;
        switch (m_nAlignment) {
            case 0:
                break;
            case 1:
                lineX = x + (m_nWidth >> 1) - (font->Length2(shown) >> 1);
                break;
            case 2:
                lineX = x + m_nWidth - font->Length2(shown);
                break;
            default:
                return;
        }
        font->TextOut(dst, lineX, y + i * (h + spacing), shown, static_cast<unsigned char>(r),
                      static_cast<unsigned char>(g), static_cast<unsigned char>(b), effect, alpha, clip);
    }
}

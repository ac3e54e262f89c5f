// The widget suites' host: the fake element host with a sprite-set manager, a style table, a
// common pak built in code from PNG images and baked fonts, and a software back buffer; plus a
// parent that records the messages its widgets send, and templates parsed from strings.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "render/GlesGlobals.h"
#include "render/WinDibBitmap.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/BakedFonts.h"
#include "testsupport/FakeElementHost.h"
#include "testsupport/MediaTestGame.h"
#include "ui/Template.h"
#include "ui/TemplateReader.h"
#include "ui/UILayout.h"
#include "ui/Widget.h"

namespace widgettest {

using Bytes = std::vector<std::uint8_t>;
using TRgba = std::array<std::uint8_t, 4>;

// A w x h PNG strip of frames frames side by side, frame i filled with colours[i].
inline Bytes Strip(int frameWidth, int height, const std::vector<TRgba>& colours) {
    const int frames = static_cast<int>(colours.size());
    mediatest::TImage img = mediatest::MakeImage(frameWidth * frames, height, {0, 0, 0, 255});
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < frameWidth; ++x) img.Set(f * frameWidth + x, y, colours[f]);
    return mediatest::EncodePng(img);
}

// The game's configuration: double-resolution images. Each strip lies in the 2x directory at twice
// its size, so frames measure frameWidth x height once loaded.
inline std::pair<std::string, Bytes> Strip2x(const std::string& name, int frameWidth, int height,
                                             const std::vector<TRgba>& colours) {
    return {"Images_2x\\" + name + ".png", Strip(frameWidth * 2, height * 2, colours)};
}

class CUiHost : public CFakeElementHost {
public:
    CUiHost() {
        m_Screen.m_nOrientationMode = 0;
        m_Screen.m_nOrientationAngle = 0;
        m_RenderSwitches.m_bDoubleResolution = true;
        m_pSpriteSetManager = &m_Sets;
        m_pUILayout = &m_Layout;
    }
    ~CUiHost() override {
        m_Layout.Destroy();
        m_Sets.DestroySpriteSets();
    }

    // Replaces the common pak by one holding these members.
    void SetPak(const std::vector<std::pair<std::string, Bytes>>& members) {
        mediatest::SetCommonPak(*this, m_Dir.Path("ui" + std::to_string(m_PakSerial++) + ".pak"), members);
    }
    // A w x h software back buffer cleared to the colour; the host owns it.
    IDibBitmap* MakeSoftScreen(int w, int h, unsigned char r = 0, unsigned char g = 0, unsigned char b = 0) {
        auto* screen = new CWinDibBitmap(this);
        EXPECT_EQ(screen->Create(w, h), 1);
        screen->ClearBitmap(r, g, b);
        delete m_Screen.m_pBackBuffer;
        m_Screen.m_pBackBuffer = m_Screen.m_pDrawTarget = screen;
        m_nGameWidth = w;
        m_nGameHeight = h;
        return screen;
    }
    // A w x h screen bitmap through OpenGL ES, in place of any earlier back buffer.
    void MakeGlScreen(int w, int h) {
        delete m_Screen.m_pBackBuffer;
        m_Screen.m_pBackBuffer = m_Screen.m_pDrawTarget = nullptr;
        mediatest::MakeGlScreenOn(*this, w, h);
    }
    // The RGB565 pixel at (x, y) of the software back buffer.
    std::uint16_t Pixel(int x, int y) const {
        const auto* bits = reinterpret_cast<const std::uint16_t*>(m_Screen.m_pBackBuffer->GetBits());
        return bits[y * m_Screen.m_pBackBuffer->m_Width + x];
    }

    CSpriteSetManager m_Sets{this, 40};
    CUILayout m_Layout{this};

private:
    CScratchDir m_Dir;
    int m_PakSerial = 0;
};

// One message as a parent received it.
struct TMessage {
    int code;
    std::string id;  // the wparam as the widget id text
    int lparam;
    bool operator==(const TMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TMessage& m) {
    return out << "{" << m.code << ", " << m.id << ", " << m.lparam << "}";
}

// A parent widget that keeps every message its children send.
class CRecorder : public XWidget {
public:
    CRecorder(CXElement* parent, TWidget* record) : XWidget(parent, nullptr, record, nullptr) {}
    int OnMessage(CXElement* /*sender*/, int code, XWPARAM wparam, int lparam) override {
        const char* id = XIdText(wparam);
        messages.push_back({code, id != nullptr ? id : "", lparam});
        return 1;
    }
    std::vector<TMessage> Take() { return std::exchange(messages, {}); }
    std::vector<TMessage> messages;
};

inline std::unique_ptr<TTemplate> Parse(const std::string& text) {
    CTemplateReader reader;
    return std::unique_ptr<TTemplate>(reader.ReadTemplateFromBytes({text.data(), text.size()}, "widgets.txt"));
}

}  // namespace widgettest

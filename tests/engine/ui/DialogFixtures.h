// The dialog and screen suites' host: the widget host that also records what reaches the top of
// the tree and routes pointer events as the game does (to the capture first), a screen root that
// records what is sent to it, and the template files and button images of a test pak.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "WidgetFixtures.h"
#include "render/DibBitmap.h"
#include "ui/Dialog.h"
#include "ui/Root.h"

namespace dialogtest {

using namespace widgettest;

// A fixture colour as the RGB565 back buffer holds it.
inline std::uint16_t Rgb565Of(const TRgba& c) { return PackRGB565(c[0], c[1], c[2]); }

constexpr TRgba kIdle{255, 0, 0, 255};
constexpr TRgba kPressed{0, 0, 255, 255};

// One message with the element that sent it.
struct TSent {
    CXElement* sender;
    TMessage message;
    XWPARAM wparam;
};

// The messages an element received, with their senders.
class CSentLog {
public:
    void Record(CXElement* sender, int code, XWPARAM wparam, int lparam) {
        const char* id = XIdText(wparam);
        sent.push_back({sender, {code, id != nullptr ? id : "", lparam}, wparam});
    }
    // The messages so far without their senders; the log starts again.
    std::vector<TMessage> Take() {
        std::vector<TMessage> out;
        for (const TSent& s : sent) out.push_back(s.message);
        sent.clear();
        return out;
    }
    std::vector<TSent> sent;
};

// The host as the top of a screen's tree: keeps every message that climbs to it, and may act on
// one (a screen switch deleting the screen, say) through onMessage.
class CScreenHost : public CUiHost, public CSentLog {
public:
    CScreenHost() { MakeSoftScreen(320, 480); }

    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        Record(sender, code, wparam, lparam);
        if (onMessage) onMessage(code);
        return 0;
    }
    // A pointer event as the game delivers it: to the capture holder when there is one, else down
    // the tree from the host (or straight to target, standing for the tree's dispatch).
    int Pointer(int x, int y, int type, CXElement* target = nullptr) {
        if (m_pCapture != nullptr) return m_pCapture->NotifyPointerEvent(x, y, type);
        return target != nullptr ? target->NotifyPointerEvent(x, y, type) : NotifyPointerEvent(x, y, type);
    }
    void Tap(int x, int y) {
        Pointer(x, y, XPOINTER_PRESS);
        Pointer(x, y, XPOINTER_RELEASE);
    }
    // Mounts a pak with the template files (names below the UI directory) and the button strip
    // "btn" (40 x 20, idle red and pressed blue), declared as the set "btn".
    void MountTemplates(const std::vector<std::pair<std::string, std::string>>& files) {
        std::vector<std::pair<std::string, Bytes>> members = {Strip2x("btn", 40, 20, {kIdle, kPressed})};
        for (const auto& [name, text] : files) members.push_back({m_UIDir + name, Bytes(text.begin(), text.end())});
        SetPak(members);
        if (m_Sets.GetSpriteSetNamed("btn") == nullptr) {
            EXPECT_EQ(m_Sets.AddSpriteSetSingle("btn", "btn", "", 2, 2, false, false), 1);
        }
    }
    using CSentLog::Take;

    std::function<void(int code)> onMessage;
};

// A cached screen root that keeps every message sent to it, before passing it on as a screen's
// OnMessage does for what it does not handle.
class CProbeRoot : public XCachedTemplateRoot, public CSentLog {
public:
    using XCachedTemplateRoot::XCachedTemplateRoot;
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        Record(sender, code, wparam, lparam);
        return XCachedTemplateRoot::OnMessage(sender, code, wparam, lparam);
    }
};

// The widget with that id below root, as class T.
template <class T = XWidget>
T* Find(XWidget* root, const char* id) {
    return dynamic_cast<T*>(root->FindChildWithWidgetId(id));
}

}  // namespace dialogtest

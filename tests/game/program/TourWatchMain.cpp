// The game program with a watcher for the screen tour. Nothing of the game is changed: the shell,
// the game object, the real pak beside the program, the platform's settings, input script, clock
// and frame dumps are the real program's. The watcher only reports, on stdout, what a scripted run
// cannot show in its pictures:
//
//   tour: <frame> <screen> [<dialog>...]   whenever the open screen or its dialogs change: the
//                                          screen's root record (or "loader" for the start-up
//                                          loader, which has none) and the ids of the dialogs
//                                          standing directly on it, fading out ones left out
//   tour: <frame> widget <id> failed       a widget whose set-up failed and was dropped
//   tour: end <frame> finished <0|1> <code>  once, when the game object goes: whether its finished
//                                          flag was raised, and the finish code
//
// <frame> is the number of frames presented so far, the count the input script's lines use.
//
// With COBBLE_TOUR_LAYOUT=1 it also lists, on each change, the buttons of the topmost dialog (or
// of the screen) with their rectangles in logical pixels: the help to write a tour's touches.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "game/app/TheGame.h"
#include "game/widgets/GameRoot.h"
#include "platform/EglSurface.h"
#include "shell/Program.h"
#include "ui/Widget.h"

namespace {

std::string IdOf(CXElement* element) {
    XWidget* widget = dynamic_cast<XWidget*>(element);
    if (widget == nullptr || widget->GetRecord() == nullptr) return std::string();
    const char* name = widget->GetRecord()->name.GetDataConst();
    return name != nullptr ? name : "";
}

// Every widget below element (depth first) that answers clicks and has an id, with its rectangle.
void ListButtons(CXElement* element, int depth) {
    for (int i = 0; i < element->GetChildCount(); ++i) {
        CXElement* child = element->GetChildPtrAt(i);
        XWidget* widget = dynamic_cast<XWidget*>(child);
        if (widget == nullptr || widget->IsFadingOut()) continue;
        const std::string id = IdOf(widget);
        const TCoordRect2D r = widget->GetDrawingRect();
        if (!id.empty())
            std::printf("tour-layout: %*s%s %d,%d %dx%d\n", depth * 2, "", id.c_str(), r.x, r.y, r.width, r.height);
        if (widget->IsGroupWidget() && depth < 3) ListButtons(widget, depth + 1);
    }
}

class CTourGame : public CTheGame {
public:
    CTourGame() {
        const char* layout = std::getenv("COBBLE_TOUR_LAYOUT");
        m_bLayout = layout != nullptr && std::string(layout) == "1";
    }
    ~CTourGame() override {
        std::printf("tour: end %d finished %d %d\n", platform::PresentedFrameCount(), IsFinished() ? 1 : 0,
                    GetFinishCode());
        std::fflush(stdout);
    }

    void NoteWidgetInitFailed(const CommonString& id) override {
        CTheGame::NoteWidgetInitFailed(id);
        std::printf("tour: %d widget %s failed\n", platform::PresentedFrameCount(),
                    id.Length() > 0 ? id.GetDataConst() : "(no id)");
        std::fflush(stdout);
    }

    void Draw() override {
        CTheGame::Draw();
        CXElement* screen = GetActiveObjectPtr();
        std::string state = "(none)";
        if (screen != nullptr) {
            const XGameRoot* root = AsGameRoot(screen);
            state = root != nullptr && root->GetRootName().Length() > 0 ? root->GetRootName().GetDataConst() : "loader";
            for (int i = 0; i < screen->GetChildCount(); ++i) {
                XWidget* child = dynamic_cast<XWidget*>(screen->GetChildPtrAt(i));
                if (child == nullptr || !child->IsGroupWidget() || child->IsFadingOut()) continue;
                const std::string id = IdOf(child);
                if (!id.empty()) state += " " + id;
            }
        }
        if (state == m_LastState) return;
        m_LastState = state;
        std::printf("tour: %d %s\n", platform::PresentedFrameCount(), state.c_str());
        if (m_bLayout && screen != nullptr) ListButtons(screen, 0);
        std::fflush(stdout);
    }

private:
    std::string m_LastState;
    bool m_bLayout = false;
};

}  // namespace

CGameBase* CreateGameObject() { return new (std::nothrow) CTourGame(); }

int main() { return RunProgram(); }

// The game program with a test road through the yard, for scripted runs while the farm shop,
// which hands the yard its purchases, is not written yet. Everything else is the real program: the
// shell, the game object, the real pak beside it, the platform's settings, clock and frame dumps.
//
// The road, set by the environment:
//  COBBLE_ROAD_COINS   a player "Ada" with these coins is made when the loader finishes and the
//                      saves hold no player (a first start), so that no name is asked; she has
//                      been through the play screen's hints, so that its buttons answer at once.
//  COBBLE_ROAD_SHOP    object ids, comma-separated: the farm shop's stand-in. The yard's buy
//                      button (game message 1010) hands over the next id as the shop will, as the
//                      pending purchase name with message 1009, and the yard buys it.
//  COBBLE_ROAD_STEPS   "frame:action[:argument]" steps separated by ';', run at that draw:
//                        click:WIDGET    a touch on the widget's centre, on any open screen
//                        tap:OBJECT      a touch on the yard object's centre
//                        drag:OBJECT:X,Y the object dragged until its anchor stands at world X, Y
// Touches go through the game object's pointer entry, as the shell delivers them. Each time the
// yard opens (restored from its record) and each time it is saved, one line "road: yard opened
// ..." or "road: yard saved ..." tells its stars, points and objects; the group loader's opening
// is told too.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "game/app/TheGame.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/FarmWindow.h"
#include "game/farm/YardCamera.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "shell/Program.h"
#include "ui/Widget.h"

namespace {

struct TStep {
    int frame = 0;
    std::string action, object, argument;
};

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, at))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

std::vector<TStep> ReadSteps() {
    std::vector<TStep> steps;
    const char* text = std::getenv("COBBLE_ROAD_STEPS");
    for (const std::string& item : Split(text != nullptr ? text : "", ';')) {
        const std::vector<std::string> f = Split(item, ':');
        if (f.size() < 2) continue;
        TStep step;
        step.frame = std::atoi(f[0].c_str());
        step.action = f[1];
        if (f.size() > 2) step.object = f[2];
        if (f.size() > 3) step.argument = f[3];
        steps.push_back(step);
    }
    return steps;
}

// One line about the yard in the farm manager: stars, points, coins and every object with its
// world position and mirroring.
void TellYard(CTheGame* game, const char* what) {
    CFarmManager* farm = game->m_pFarmManager;
    const TUserProfile* player = game->GetCurrentProfile();
    std::printf("road: yard %s %s stars %d points %d %d %d %d coins %d objects", what,
                player != nullptr ? player->m_CurrentYard.GetDataConst() : "?", farm->m_nStars,
                farm->m_CategoryPoints[0], farm->m_CategoryPoints[1], farm->m_CategoryPoints[2],
                farm->m_CategoryPoints[3], player != nullptr ? player->m_nCoins : -1);
    for (int i = 0; i < farm->m_Objects.count; ++i) {
        CFarmObject* o = farm->m_Objects[i];
        std::printf(" %s@%d,%d%s", o->m_Id.GetDataConst(), o->m_Position.x, o->m_Position.y, o->IsRotated() ? "r" : "");
    }
    std::printf("\n");
    std::fflush(stdout);
}

class CRoadYard : public CXFarmWindow {
public:
    using CXFarmWindow::CXFarmWindow;
    int OnInitElement() override {
        const int result = CXFarmWindow::OnInitElement();
        if (result) TellYard(TheGame(), "opened");
        return result;
    }
    bool SaveResume(IFile* file, int version) override {
        TellYard(TheGame(), "saved");
        return CXFarmWindow::SaveResume(file, version);
    }
};

class CRoadGame : public CTheGame {
public:
    CRoadGame() : m_Steps(ReadSteps()) {
        const char* shop = std::getenv("COBBLE_ROAD_SHOP");
        m_Shop = Split(shop != nullptr ? shop : "", ',');
        const char* coins = std::getenv("COBBLE_ROAD_COINS");
        m_nCoins = coins != nullptr ? std::atoi(coins) : -1;
    }
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::Farm) return new (std::nothrow) CRoadYard(this);
        if (kind == EScreen::GroupLoader) std::printf("road: the group loader opens\n");
        return CTheGame::NewScreen(kind, a, b);
    }
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        if (code == MSG_RUN_START_MENU && m_nCoins >= 0 && GetAppData() != nullptr &&
            GetAppData()->m_Profiles.count == 0) {
            // A first start: the player the run is about, with coins to spend.
            const int i = CreateNewUserProfile();
            if (i >= 0) {
                GetAppData()->SetUserName(i, CommonString("Ada"));
                GetAppData()->m_nCurrentProfile = i;
                GetCurrentProfile()->m_nCoins = m_nCoins;
                for (int hint : {kHintPlayArenaButton, kHintPlayYardButton, kHintPlayBoostsButton})
                    GetCurrentProfile()->m_HintFlags[hint] = true;
            }
        }
        if (code == MSG_RUN_FARM_SHOP) {
            // The shop stand-in: the player picks the next object, the shop hands it over.
            if (m_nShopped < static_cast<int>(m_Shop.size()))
                m_PendingPurchaseName = CommonString(m_Shop[static_cast<std::size_t>(m_nShopped++)].c_str());
            return CTheGame::OnMessage(sender, MSG_RUN_FARM, 0, 0);
        }
        return CTheGame::OnMessage(sender, code, wparam, lparam);
    }
    void Draw() override {
        CTheGame::Draw();
        ++m_nDraws;
        for (const TStep& step : m_Steps)
            if (step.frame == m_nDraws) RunStep(step);
    }

private:
    void Touch(int type, int x, int y) { (void)NotifyPointerEvent(x, y, type); }
    void TapAt(int x, int y) {
        Touch(XPOINTER_PRESS, x, y);
        Touch(XPOINTER_RELEASE, x, y);
    }
    CFarmObject* Object(const std::string& id) {
        return m_pFarmManager != nullptr ? m_pFarmManager->GetFarmObject(id.c_str()) : nullptr;
    }
    static TCoord2D Centre(CFarmObject* object) {
        const TRect2D r = object->GetObjectRect();
        return {(r.x + r.width / 2) >> 8, (r.y + r.height / 2) >> 8};
    }
    void RunStep(const TStep& step) {
        if (step.action == "click") {
            XGameRoot* screen = AsGameRoot(GetActiveObjectPtr());
            XWidget* widget = screen != nullptr ? screen->FindChildWithWidgetId(step.object.c_str()) : nullptr;
            if (widget == nullptr) {
                std::printf("road: no %s at draw %d\n", step.object.c_str(), m_nDraws);
                return;
            }
            const TCoordRect2D r = widget->GetDrawingRect();
            TapAt(r.x + r.width / 2, r.y + r.height / 2);
        } else if (step.action == "tap" || step.action == "drag") {
            CFarmObject* object = Object(step.object);
            if (object == nullptr) {
                std::printf("road: no %s in the yard at draw %d\n", step.object.c_str(), m_nDraws);
                return;
            }
            const TCoord2D from = Centre(object);
            if (step.action == "tap") {
                TapAt(from.x, from.y);
                return;
            }
            const std::vector<std::string> xy = Split(step.argument, ',');
            const TVector2D target{std::atoi(xy.at(0).c_str()) * 256, std::atoi(xy.at(1).c_str()) * 256};
            const TVector2D anchor = WorldToScreen(this, object->m_Position);
            const TVector2D to = WorldToScreen(this, target);
            // The finger keeps its grab on the object all the way.
            const int gx = from.x - (anchor.x >> 8), gy = from.y - (anchor.y >> 8);
            Touch(XPOINTER_PRESS, from.x, from.y);
            Touch(XPOINTER_MOVE, from.x + 20, from.y);
            const int tx = (to.x >> 8) + gx, ty = (to.y >> 8) + gy;
            Touch(XPOINTER_MOVE, (from.x + tx) / 2, (from.y + ty) / 2);
            Touch(XPOINTER_MOVE, tx, ty);
            Touch(XPOINTER_RELEASE, tx, ty);
        }
    }

    std::vector<TStep> m_Steps;
    std::vector<std::string> m_Shop;
    int m_nShopped = 0;
    int m_nCoins = -1;
    int m_nDraws = 0;
};

}  // namespace

CGameBase* CreateGameObject() { return new (std::nothrow) CRoadGame(); }

int main() { return RunProgram(); }

// The game program with a test road to the boosts screen and the coin shop, for scripted runs
// while the play screen, through which a player reaches both, is not written yet. Everything else
// is the real program: the shell, the game object, the real pak beside it and the platform's
// settings and input script.
//
// The road: the start menu stands in for the play screen. Its Play button (game message 1008)
// opens the boosts screen, as the play screen's boosts button will (1018), and the boosts
// screen's back button (1008 again) returns to the start menu. At the draw numbered by
// COBBLE_ROAD_SHOP_FRAME (if set), the game takes the road a cannot-buy dialog takes to the coin
// shop: the pending start action "acn_addcoins_on" and a screen switch; the boosts screen stands
// in for the play screen there too, opening with the shop shown, its list from the top, and
// answering a click on a row as the play screen will.
#include <cstdlib>
#include <cstring>
#include <new>

#include "game/app/TheGame.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/UpgradesScreen.h"
#include "shell/Program.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr const char* kShopAction = "acn_addcoins_on";

// The boosts screen carrying the coin shop as the play screen will.
class CRoadBoostsScreen : public CXUpgradesScreen {
public:
    using CXUpgradesScreen::CXUpgradesScreen;

    int OnInitElement() override {
        if (!CXUpgradesScreen::OnInitElement()) return 0;
        CTheGame* game = TheGame();
        if (game == nullptr || game->m_PendingStartAction.Length() == 0) return 1;
        const CommonString action = game->m_PendingStartAction;
        game->m_PendingStartAction = CommonString();
        (void)DoAction(kTemplateFile, action);
        if (action == kShopAction)
            if (XWidget* shop = FindChildWithWidgetId("dlg_addcoins")) shop->ApplyOpacity(kOpacityFull);
        return 1;
    }
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        if (AnswerCoinShopMessage(TheGame(), sender, code, wparam)) return 1;
        return CXUpgradesScreen::OnMessage(sender, code, wparam, lparam);
    }
};

class CRoadGame : public CTheGame {
public:
    CRoadGame() {
        const char* frame = std::getenv("COBBLE_ROAD_SHOP_FRAME");
        m_nShopFrame = frame != nullptr ? std::atoi(frame) : -1;
    }
    XGameRoot* NewScreen(EScreen kind, int a, int b) override {
        if (kind == EScreen::Upgrades) return new (std::nothrow) CRoadBoostsScreen(this);
        return CTheGame::NewScreen(kind, a, b);
    }
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override {
        if (code == MSG_RUN_PLAY_SCREEN) {
            // Delivered while the screen that asked is still open.
            if (m_pStartMenu != nullptr)
                (void)RunUpgradesScreen();
            else
                (void)RunStartMenu();
            return 1;
        }
        return CTheGame::OnMessage(sender, code, wparam, lparam);
    }
    void Draw() override {
        CTheGame::Draw();
        if (++m_nDraws != m_nShopFrame) return;
        m_PendingStartAction = CommonString(kShopAction);
        (void)SendMessage(this, MSG_RUN_UPGRADES, 0, 0, true);
    }

private:
    int m_nShopFrame = -1;
    int m_nDraws = 0;
};

}  // namespace

CGameBase* CreateGameObject() { return new (std::nothrow) CRoadGame(); }

int main() { return RunProgram(); }

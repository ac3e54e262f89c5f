#include "game/screens/PendingScreens.h"

#include "game/app/TheGame.h"
#include "game/progress/UserProfile.h"
#include "render/DibBitmap.h"
#include "text/BitmapFont.h"
#include "ui/UILayout.h"

XPlainScreen::XPlainScreen(CXElement* parent, const char* rootName) : XGameRoot(parent), m_pRootName(rootName) {}

int XPlainScreen::OnInitElement() { return InitRoot(CommonString("ui_main.txt"), m_pRootName); }

bool CXFarmWindow::SaveResume(IFile* /*file*/, int /*version*/) { return false; }

bool CXGameplaySurvival::SaveResume(IFile* /*file*/, int /*version*/) { return false; }

bool CXGameplaySurvival::LoadResume(IFile* /*file*/, int /*version*/) { return false; }

void CXGroupSetLoader::RunProcess() {
    XGameRoot::RunProcess();
    CTheGame* game = TheGame();
    if (game == nullptr) return;
    if (m_GroupName == "gameplay") {
        game->m_bGameplayGroupLoaded = true;
    } else if (m_GroupName == "farm") {
        game->m_bFarmGroupLoaded = true;
        if (const TUserProfile* profile = game->GetCurrentProfile()) game->m_CachedYardName = profile->m_CurrentYard;
    }
    // Posted again every frame until the next screen replaces this one; the game drops the copies
    // that arrive while the curtain falls.
    const TSavedMessage& message = GetSavedMessage();
    if (message.code != 0)
        (void)game->SendMessage(message.target, message.code, message.wparam, message.lparam, true);
    else
        (void)game->SendMessage(game, MSG_RUN_START_MENU, 0, 0, true);
}

void CXLoaderScreen::Draw() {
    IDibBitmap* back = GetBackBuffer();
    if (back == nullptr) return;
    back->ClearBitmap(0, 0, 0);
    CTheGame* game = TheGame();
    const UILayout_FontData* record =
        game != nullptr && game->UILayout() != nullptr ? game->UILayout()->GetFontAt(3) : nullptr;
    if (record == nullptr || record->font == nullptr) return;
    const char* text = "Loading";
    record->font->TextOut(back, (back->m_Width - record->font->Length2(text)) / 2, back->m_Height / 2, text, 255, 255,
                          255, kTextEffectNone, 255, nullptr);
}

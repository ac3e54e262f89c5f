// The play screen's arena and yard buttons: their set-up from the arena table, the farm's
// definitions and the current profile, and the unlock animation.
#include "game/screens/PlayScreenButtons.h"

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "ui/UILayout.h"

namespace {

// The caption is drawn at 0.75: its offsets scale by that (3/4 in 8.8 is 192).
constexpr int kCaptionScale256 = 192;
// The yard's number is measured at 281/256 (about 1.1, its drawing scale).
constexpr int kNumberWidthScale = 281;

CSpriteSet* NamedSet(CGameBase* game, const char* name) {
    return game != nullptr && game->GetSpriteSetManager() != nullptr
               ? game->GetSpriteSetManager()->GetSpriteSetNamed(name)
               : nullptr;
}

}  // namespace

// ---- Shared -----------------------------------------------------------------------------------

bool CXPlayScreenButtonBase::TakeThumbnail(int index) {
    if (index < m_Image.LoadedFrameCount()) m_Image.frame = static_cast<short>(index);
    m_pImage = m_Image.CurrentBitmap();
    return m_pImage != nullptr;
}

bool CXPlayScreenButtonBase::TakeLockImages() {
    CGameBase* game = ScreensGameOf(this);
    const CSpriteSet* locked = NamedSet(game, "btn_play_arena_locked");
    m_pLockedImage = locked != nullptr ? locked->GetFrame(0) : nullptr;
    m_pLockSet = NamedSet(game, "level_lock");
    return m_pLockedImage != nullptr && m_pLockSet != nullptr && m_pLockSet->GetFrame(0) != nullptr;
}

void CXPlayScreenButtonBase::PlaySound(const char* name) {
    CGameBase* game = ScreensGameOf(this);
    if (game != nullptr && game->GetSoundManager() != nullptr) (void)game->GetSoundManager()->PlaySoundFX(name);
}

bool CXPlayScreenButtonBase::StepLockAnimation() {
    TUnlockAnimation& u = m_Unlock;
    switch (u.state) {
        case kUnlockWait:
            if (++u.counter > kUnlockWaitFrames) {
                u.state = kUnlockOpening;
                u.counter = 0;
                u.lockFrame = 0.0;
                PlaySound("PlayMenu_UnlockLevel");
            }
            return false;
        case kUnlockOpening: {
            const double last = m_pLockSet != nullptr ? m_pLockSet->GetNumFrames() - 1 : 0.0;
            // Counted, not summed: ten steps of 0.4 added up fall short of 4 and show frame 3.
            u.lockFrame = ++u.counter * kUnlockLockFrameStep;
            if (u.lockFrame >= last) {
                u.lockFrame = last;
                u.state = kUnlockFading;
                u.counter = 0;
                u.fade = 0;
            }
            return false;
        }
        case kUnlockFading:
            if (++u.counter <= kUnlockFadeWaitFrames) return false;
            u.fade -= kUnlockFadeStep;
            if (u.fade > -255) return false;
            u.fade = -255;
            return true;
        default:
            return false;
    }
}

// ---- Arena button ------------------------------------------------------------------------------

CXPlayScreenArenaButton::CXPlayScreenArenaButton(CXElement* parent, TTemplate* templ, TWidget* record,
                                                 const WidgetContext* placement, Arena* arena)
    : CXPlayScreenButtonBase(parent, templ, record, placement), m_pArena(arena) {}

bool CXPlayScreenArenaButton::IsUnlocked() {
    CArenaManager* arenas = ArenaManagerOf(ScreensGameOf(this));
    return arenas != nullptr && arenas->IsArenaUnlocked(m_pArena);
}

int CXPlayScreenArenaButton::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    CArenaManager* arenas = ArenaManagerOf(game);
    if (arenas == nullptr || m_pArena == nullptr) return 0;
    m_bLocked = !IsUnlocked();
    const int index = arenas->GetIndexOfArena(m_pArena->id);
    if (index < 0) return 0;

    // Every entry of this arena in the profile's unlock list is shown now, once.
    TUserProfile* profile = CurrentProfileOf(game);
    if (!m_bLocked && profile != nullptr) {
        CQuorvanObjPtrArray<CommonString*>& list = profile->m_NewlyUnlockedLevels;
        for (int i = list.count - 1; i >= 0; --i) {
            CommonString* entry = list[i];
            if (entry == nullptr || !(*entry == m_pArena->id)) continue;
            (void)list.RemoveAt(i);
            delete entry;
            m_bUnlocking = true;
        }
    }

    if (!TakeThumbnail(index)) return 0;
    if ((m_bLocked || m_bUnlocking) && !TakeLockImages()) return 0;
    const UILayout_FontData* caption =
        game->UILayout() != nullptr ? game->UILayout()->GetFontById(CommonString("FontButtonNormal")) : nullptr;
    m_pCaptionFont = caption != nullptr ? caption->font : nullptr;
    if (m_pCaptionFont == nullptr) return 0;
    m_Caption = CommonString(index == 2 ? "Hard" : index == 1 ? "Medium" : "Easy");
    const int length = m_pCaptionFont->Length2(m_Caption.GetData());
    m_nCaptionOffsetX = -(length / 2) * kCaptionScale256;
    m_nCaptionOffsetY = -(m_pImage->m_Height / 2) * 256 - (m_pCaptionFont->GetCharHeight() - 4) * kCaptionScale256;
    return 1;
}

void CXPlayScreenArenaButton::RunProcess() {
    XWidget::RunProcess();
    if (m_bUnlocking && StepLockAnimation()) m_bUnlocking = false;
}

// ---- Yard button -------------------------------------------------------------------------------

CXPlayScreenYardButton::CXPlayScreenYardButton(CXElement* parent, TTemplate* templ, TWidget* record,
                                               const WidgetContext* placement, YardDef* yard)
    : CXPlayScreenButtonBase(parent, templ, record, placement), m_pYard(yard) {}

CXPlayScreenYardButton::~CXPlayScreenYardButton() { SafeDelete(m_pQuestionImage); }

bool CXPlayScreenYardButton::IsUnlocked() {
    CFarmManager* farm = FarmManagerOf(ScreensGameOf(this));
    return farm != nullptr && farm->IsYardUnlocked(m_pYard);
}

int CXPlayScreenYardButton::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    CFarmManager* farm = FarmManagerOf(game);
    if (farm == nullptr || m_pYard == nullptr) return 0;
    m_bVisible = farm->IsYardVisible(m_pYard);
    m_bLocked = !IsUnlocked();
    const int index = farm->GetYardIndex(m_pYard->id);
    if (index < 0) return 0;
    TUserProfile* profile = CurrentProfileOf(game);
    m_nStars = profile != nullptr ? profile->GetNumStarsInCompletedYard(m_pYard->id) : 0;
    if (!TakeThumbnail(index)) return 0;

    if (!m_bLocked && profile != nullptr && profile->m_NewlyUnlockedYard.Length() > 0 &&
        profile->m_NewlyUnlockedYard == m_pYard->id) {
        m_bJustUnlocked = true;
        profile->m_NewlyUnlockedYard = CommonString();
    }
    if (!m_bVisible) {
        const CommonString path = game->GetImagesDirectory() + CommonString("ui\\play_menu\\yard_question");
        m_pQuestionImage = ImageLoad(game, path.GetDataConst(), nullptr);
        if (m_pQuestionImage == nullptr) return 0;
    }
    if ((m_bLocked || m_bJustUnlocked) && !TakeLockImages()) return 0;

    m_pNumberFont = GameFontOf(game, kGameFontVerySmall);
    if (m_pNumberFont == nullptr) return 0;
    m_Number = SafeFormat("%d.", {index + 1});
    const int numberWidth = m_pNumberFont->Length2(m_Number.GetData()) * kNumberWidthScale / 256;
    m_nNumberOffsetX = (-(m_pImage->m_Width / 2) + 9 - numberWidth / 2) * 256;
    m_nNumberOffsetY = (-(m_pImage->m_Height / 2) - 1) * 256;
    m_pStarSet = NamedSet(game, "yard_star");
    return m_pStarSet != nullptr && m_pStarSet->GetFrame(0) != nullptr ? 1 : 0;
}

void CXPlayScreenYardButton::RunProcess() {
    XWidget::RunProcess();
    if (!m_bJustUnlocked) return;
    if (m_Unlock.state != kUnlockStars) {
        if (!StepLockAnimation()) return;
        m_nStarAlpha = -255;
        m_Unlock.counter = 0;
        m_nStarIndex = 0;
        m_Unlock.state = kUnlockStars;
        PlaySound("PlayMenu_UnlockYard_Star");
        return;
    }
    m_nStarAlpha += kUnlockStarStep;
    if (m_nStarAlpha < 0) return;
    m_nStarAlpha = -255;
    if (++m_nStarIndex >= kYardStarCount) {
        m_bJustUnlocked = false;
        return;
    }
    PlaySound("PlayMenu_UnlockYard_Star");
}

bool CXPlayScreenYardButton::Contains(int x, int y) { return m_bVisible && XGameButton::Contains(x, y); }

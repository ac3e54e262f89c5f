// The play screen's construction, its per-frame update and drawing, the layout on tall screens,
// and its first-run hints with the touches they let through.
#include "game/screens/PlayScreen.h"

#include <new>

#include "app/GameBase.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/gameplay/GameplayHost.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/LockedDialog.h"
#include "game/screens/MenuMusic.h"
#include "game/screens/PlayScreenButtons.h"
#include "game/screens/PlayScreenUpgradesButton.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/FullScreenTutorial.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "render/ImageRotatorScaler.h"
#include "text/BitmapFont.h"
#include "ui/WidgetMakers.h"

namespace {

// The screen is laid out for 480 lines; a taller back buffer spreads the groups over the rest.
constexpr int kLayoutHeight = 480;
constexpr int kMinimumShift = 2;
// The plus stands under the counter's "x" sign, a pixel to its left, and shrinks while pressed.
constexpr int kPlusY = 42;
constexpr FIXED_FLOAT_16 kPlusPressedScale = 62259;  // 0.95

const char* const kArenaButtonIds[] = {"btn_play_arena_1", "btn_play_arena_2", "btn_play_arena_3"};
const char* const kYardButtonIds[] = {"btn_play_yard_1", "btn_play_yard_2", "btn_play_yard_3", "btn_play_yard_4"};

// The screen's own classes among its direct children.
const TWidgetMakerRow kPlayScreenMakers[] = {
    {kWidgetDialog, "dlg_msg_arena_locked", MakeWidget<CXLockedDialog>},
    {kWidgetDialog, "dlg_msg_yard_locked", MakeWidget<CXLockedDialog>},
    {kWidgetButton, "btn_play_addcoins", MakeWidget<XRectButton>},
    {kWidgetButton, "btn_play_upgrades", MakeWidget<CXPlayScreenUpgradesButton>},
};

// The hints, by kind: the widget each points at and its text.
struct THintRow {
    const char* target;
    const char* text;
};
constexpr THintRow kHints[] = {
    {"btn_play_arena_1", "Touch Arena Button\nto start playing"},
    {"btn_play_yard_1", "Touch Yard button\nto open your Farm"},
    {"btn_play_upgrades", "Touch Boosts Button\nto manage and upgrade Boosts"},
};

// The button for the record at that index of the ids, made with its arena or yard and kept in
// the screen's list; null when the record is none of those ids.
template <class TButton, class TData, std::size_t N>
XWidget* MakeIndexedButton(CXElement* screen, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                           const char* const (&ids)[N], TData* (*dataAt)(CGameBase*, int),
                           CQuorvanArray<TButton*>& list, bool& matched) {
    for (std::size_t i = 0; i < N; ++i) {
        if (!(record->name == ids[i])) continue;
        matched = true;
        TData* data = dataAt(ScreensGameOf(screen), static_cast<int>(i));
        auto* made =
            static_cast<TButton*>(InitOrFreeWidget(new (std::nothrow) TButton(screen, templ, record, placement, data)));
        if (made != nullptr) (void)list.Add(made);
        return made;
    }
    return nullptr;
}

Arena* ArenaAt(CGameBase* game, int i) {
    CArenaManager* arenas = ArenaManagerOf(game);
    return arenas != nullptr ? arenas->GetArenaAt(i) : nullptr;
}

YardDef* YardAt(CGameBase* game, int i) {
    CFarmManager* farm = FarmManagerOf(game);
    return farm != nullptr ? farm->GetYardDef(i) : nullptr;
}

}  // namespace

CXPlayScreen::CXPlayScreen(CXElement* parent) : XGameRoot(parent) {
    m_bLivePostEffect = true;
    if (CGameBase* game = ScreensGameOf(this)) GameplayHostOf(game)->ForgetNewHighScore();
}

CXPlayScreen::~CXPlayScreen() {
    SafeDelete(m_pHint);
    SafeDelete(m_pPlusImage);
}

XWidget* CXPlayScreen::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record == nullptr) return XGameRoot::CreateAndInitChild(record, placement);
    if (TWidgetMaker make = FindWidgetMaker(kPlayScreenMakers, record))
        return MakeAndInitWidget(make, this, m_pTemplate, record, placement);
    if (record->kind == kWidgetButton) {
        bool matched = false;
        XWidget* made =
            MakeIndexedButton(this, m_pTemplate, record, placement, kArenaButtonIds, ArenaAt, m_ArenaButtons, matched);
        if (!matched)
            made =
                MakeIndexedButton(this, m_pTemplate, record, placement, kYardButtonIds, YardAt, m_YardButtons, matched);
        if (matched) return made;
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

int CXPlayScreen::OnInitElement() {
    if (!InitRoot(CommonString("ui_main.txt"), "root_play")) return 0;
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return 0;
    const CommonString plus = game->GetImagesDirectory() + CommonString("ui\\play_menu\\btn_plus_coins");
    m_pPlusImage = ImageLoad(game, plus.GetDataConst(), nullptr);
    if (m_pPlusImage == nullptr) return 0;
    UpdateFarmTutorialAvailability();
    UpdateBoostsTutorialAvailability();

    // What the screen before asked to find open: run once, then forgotten.
    if (const CommonString action = ScreensHostOf(this)->TakePendingStartAction(); action.Length() > 0) {
        (void)DoAction(CommonString("ui_main.txt"), action);
        // The coin shop is there at once, without fading in.
        XWidget* shop = FindChildWithWidgetId("dlg_addcoins");
        if (action == "acn_addcoins_on" && shop != nullptr) shop->ApplyOpacity(kOpacityFull);
    }

    m_pBoostsButton = FindChildWithWidgetId("btn_play_upgrades");
    m_pAddCoinsButton = dynamic_cast<XButton*>(FindChildWithWidgetId("btn_play_addcoins"));
    if (m_pBoostsButton == nullptr || m_pAddCoinsButton == nullptr) return 0;
    TUserProfile* profile = CurrentProfileOf(game);
    if (profile == nullptr || !profile->m_bCoinShopButtonShown) m_pAddCoinsButton->Hide();
    UpdateGameplayMusic();

    for (int i = 0; i < m_ArenaButtons.count; ++i) m_bUnlockAnimation |= m_ArenaButtons[i]->IsUnlocking();
    for (int i = 0; i < m_YardButtons.count; ++i) m_bUnlockAnimation |= m_YardButtons[i]->IsJustUnlocked();

    // The first rank-up opens the boosts, on the visit after it.
    if (profile != nullptr && profile->m_bFirstRankUpSeen) {
        profile->m_bFirstRankUpSeen = false;
        if (!profile->IsAchievementAwarded(kBoostsUnlockedAchievement) &&
            ProgressHostOf(game)->GetAchievementsManager() != nullptr)
            ProgressHostOf(game)->GetAchievementsManager()->AwardAchievement(kBoostsUnlockedAchievement);
    }
    if (profile == nullptr || !profile->IsAchievementAwarded(kBoostsUnlockedAchievement)) RearrangeForNoBoosts();
    const IDibBitmap* back = GetBackBuffer();
    if (back != nullptr && back->m_Height > kLayoutHeight) RearrangeForOver480Height();
    return 1;
}

void CXPlayScreen::UpdateFarmTutorialAvailability() {
    CGameBase* game = ScreensGameOf(this);
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    CFarmManager* farm = FarmManagerOf(game);
    m_bYardHintDue = profile != nullptr && !profile->m_HintFlags[kHintPlayYardButton] && !m_bHintShown &&
                     profile->m_nCoins > 0 && farm != nullptr && farm->CanPurchaseAnyFarmObject(profile->m_nCoins);
}

void CXPlayScreen::UpdateBoostsTutorialAvailability() {
    CGameBase* game = ScreensGameOf(this);
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    m_bBoostsHintDue = profile != nullptr && !profile->m_HintFlags[kHintPlayBoostsButton] && !m_bHintShown &&
                       profile->IsAchievementAwarded(kBoostsUnlockedAchievement);
}

void CXPlayScreen::UpdateGameplayMusic() { PlayMenuMusic(ScreensGameOf(this)); }

void CXPlayScreen::RearrangeForNoBoosts() {
    if (m_pBoostsButton != nullptr) m_pBoostsButton->Hide();
}

void CXPlayScreen::RearrangeForOver480Height() {
    const IDibBitmap* back = GetBackBuffer();
    if (back == nullptr) return;
    const bool boosts = m_pBoostsButton != nullptr && m_pBoostsButton->IsVisible();
    const int d = boosts ? m_pBoostsButton->GetDrawingRect().y - kLayoutHeight : back->m_Height - kLayoutHeight;
    if (d >= kMinimumShift) OffsetChildrenPositions(0, d);
}

void CXPlayScreen::OffsetChildrenPositions(int dx, int dy) {
    const auto move = [this, dx](const char* id, int by) {
        if (XWidget* widget = FindChildWithWidgetId(id)) widget->OffsetWidgetPosition(dx, by);
    };
    move("img_hz_line_2", dy / 4);
    move("txt_select_arena", dy / 4);
    for (int i = 0; i < m_ArenaButtons.count; ++i) m_ArenaButtons[i]->OffsetWidgetPosition(dx, dy / 2);
    move("img_hzline1", dy);
    move("txt_select_yard", dy);
    for (int i = 0; i < m_YardButtons.count; ++i) m_YardButtons[i]->OffsetWidgetPosition(dx, dy);
}

// ---- Frame ---------------------------------------------------------------------------------------

void CXPlayScreen::RunProcess() {
    // A command may switch the screen at once and delete this one.
    const auto alive = LifeToken();
    XGameRoot::RunProcess();
    if (!*alive) return;
    if (m_pHint != nullptr) {
        m_pHint->RunProcess();
        if (m_pHint->IsFinished()) SafeDelete(m_pHint);
        return;
    }
    CGameBase* game = ScreensGameOf(this);
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    if (profile == nullptr || FindModalChild() != nullptr || m_bHintShown || m_bUnlockAnimation) return;
    if (!profile->m_HintFlags[kHintPlayArenaButton]) {
        ShowArenaButtonTutorial();
        return;
    }
    if (!profile->m_HintFlags[kHintPlayYardButton] && m_bYardHintDue) ShowYardButtonTutorial();
    // Due in the same update, the boosts hint takes the place of the yard's.
    if (!profile->m_HintFlags[kHintPlayBoostsButton] && m_bBoostsHintDue) ShowBoostsButtonTutorial();
}

void CXPlayScreen::Draw() {
    XGameRoot::Draw();
    if (m_pHint != nullptr) m_pHint->Draw(GetBackBuffer());
}

void CXPlayScreen::PostDraw() {
    CGameBase* game = ScreensGameOf(this);
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    if (profile != nullptr && profile->m_bCoinShopButtonShown) {
        const FIXED_FLOAT_16 signX = FarmHostOf(game)->DrawNumCoins(255, 1.0f);
        IDibBitmap* back = GetBackBuffer();
        if (m_pAddCoinsButton != nullptr && m_pAddCoinsButton->IsVisible() && m_pPlusImage != nullptr &&
            back != nullptr && game->GetRotatorScaler() != nullptr) {
            const FIXED_FLOAT_16 scale = m_pAddCoinsButton->IsPressed() ? kPlusPressedScale : 65536;
            game->GetRotatorScaler()->DrawRotatedBitmapTransparent(m_pPlusImage, back, (signX - 65536) >> 8,
                                                                   kPlusY << 8, 0, scale, 0, 0);
        }
    }
    DrawLivePostEffect();
}

// ---- Hints ---------------------------------------------------------------------------------------

void CXPlayScreen::ShowArenaButtonTutorial() { ShowButtonTutorial(0, kHints[0].target, kHints[0].text); }
void CXPlayScreen::ShowYardButtonTutorial() { ShowButtonTutorial(1, kHints[1].target, kHints[1].text); }
void CXPlayScreen::ShowBoostsButtonTutorial() { ShowButtonTutorial(2, kHints[2].target, kHints[2].text); }

void CXPlayScreen::ShowButtonTutorial(int kind, const char* target, const char* text) {
    XWidget* widget = FindChildWithWidgetId(target);
    CGameBase* game = ScreensGameOf(this);
    if (widget == nullptr || game == nullptr) return;
    const CBitmapFontText* font = GameFontOf(game, kGameFontSmall);
    const int lift = font != nullptr ? font->GetCharHeight() / 4 : 0;
    const TCoordRect2D r = widget->GetDrawingRect();
    SafeDelete(m_pHint);
    auto* hint =
        new (std::nothrow) CFullScreenTutorial(game, kind, r.x + r.width / 2, r.y + r.height / 2 - lift, text, widget);
    if (hint == nullptr) return;
    if (!hint->PostConstruct()) {
        delete hint;
        return;
    }
    m_pHint = hint;
    m_bHintShown = true;
}

int CXPlayScreen::NotifyPointerEvent(int x, int y, int type) {
    if (m_pHint == nullptr) return XDialog::NotifyPointerEvent(x, y, type);
    // The button the hint points at works as usual; so does nothing else.
    XWidget* target = m_pHint->GetFocusWidget();
    if (target != nullptr && target->IsVisible() && target->Contains(x, y))
        return XDialog::NotifyPointerEvent(x, y, type);
    if (type == XPOINTER_PRESS && m_pHint->IsShown() && m_pHint->HitTestCloseButton(x, y)) {
        m_pHint->FadeOut();
        CGameBase* game = ScreensGameOf(this);
        if (TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr)
            profile->m_HintFlags[m_pHint->GetKind()] = true;
    }
    return 1;
}

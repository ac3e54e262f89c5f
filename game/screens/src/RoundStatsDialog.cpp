// The round statistics: building it, its timeline of count-up sections, the experience meter's
// steps, its input and its buttons, and the sharing hooks that stay silent on this platform.
#include "game/screens/RoundStatsDialog.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ExperienceRanks.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/RoundStatsQuests.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "game/widgets/TiledBGTutorial.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "ui/GameButton.h"
#include "ui/TemplateRecords.h"
#include "ui/Text.h"
#include "ui/WidgetMakers.h"

namespace {

constexpr const char* kCountSound = "SFX_RoundStats_IncCoinValue";
constexpr const char* kSectionSound = "SFX_RoundStats_ShowSection";
constexpr const char* kApplause = "SFX_APPLAUSE";
constexpr const char* kQuestListId = "dlg_roundstats_scroll";
// The round statistics' music: once, faded in over 26/256 s as the round's fades out over half
// a second.
constexpr int kMusicTrack = 5;
constexpr FIXED_FLOAT kMusicFadeIn = 26;
constexpr FIXED_FLOAT kMusicFadeOut = 128;
constexpr int kStarBlinksEffect = 9;  // index in the game's effect list
// The meter on a 320-pixel-wide screen (FIXED_FLOAT): its centre, the bar's anchor, the bar's
// top below the centre, the rank's rise above the centre.
constexpr FIXED_FLOAT kMeterX = 260 * 256, kMeterY = 158 * 256;
constexpr FIXED_FLOAT kBarAnchorX = 283 * 256 + 192;  // 283.75
constexpr FIXED_FLOAT kBarDrop = 84 * 256;
constexpr double kRankRise = 8.5;
constexpr double kRankScale = 1.15;
constexpr int kFullAlpha = 255;
constexpr FIXED_FLOAT kFullBadge = 255 * 256;
// The share reward for a new high score, in coins.
constexpr int kShareReward = 5;
constexpr int kTweetCountdown = 11;
constexpr int kGiftCoinsHint = 8;
constexpr int kGiftCoinsHintWidth = 319;
constexpr int kGiftCoinsHintTop = 132;
constexpr const char* kGiftCoinsText =
    "You are awarded with Gift Coins each round. You can gifth them to your Facebook friends and they can send you "
    "back their gift coins!";

// A count-up row: its section, the band of sparks over it (half the screen's width + a .. + b)
// and its y.
struct TRowSparks {
    int a, b, y;
};
constexpr TRowSparks kRowSparks[5] = {{-120, 20, 65}, {-105, 35, 115}, {-105, 35, 145}, {-105, 35, 175}, {0, 0, 205}};

bool Is(const char* id, const char* name) { return id != nullptr && std::strcmp(id, name) == 0; }

FIXED_FLOAT ToFixed(double pixels) { return static_cast<FIXED_FLOAT>(std::lround(pixels * 256.0)); }

}  // namespace

bool CanTwit() { return false; }

CXRoundStatsDialog::CXRoundStatsDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                       const WidgetContext* placement, CXGameplaySurvival* round)
    : XGameDialog(parent, templ, record, placement), m_pRound(round) {
    StopSound(kCountSound);
}

CXRoundStatsDialog::~CXRoundStatsDialog() = default;

CGameBase* CXRoundStatsDialog::Game() const { return ScreensGameOf(this); }

TUserProfile* CXRoundStatsDialog::Profile() const {
    CGameBase* game = Game();
    return game != nullptr ? CurrentProfileOf(game) : nullptr;
}

void CXRoundStatsDialog::PlaySound(const char* name) {
    CGameBase* game = Game();
    if (game != nullptr && game->GetSoundManager() != nullptr) (void)game->GetSoundManager()->PlaySoundFX(name);
}

void CXRoundStatsDialog::StopSound(const char* name) {
    CGameBase* game = Game();
    if (game != nullptr && game->GetSoundManager() != nullptr) game->GetSoundManager()->StopSoundFX(name);
}

void CXRoundStatsDialog::Post(int code, int wparam) {
    if (CGameBase* game = Game()) (void)game->SendMessage(game, code, wparam, 0, true);
}

void CXRoundStatsDialog::SetShown(XWidget* widget, bool shown) {
    if (widget == nullptr) return;
    if (shown)
        widget->Show();
    else
        widget->Hide();
}

CQuorvanParticleSystem2* CXRoundStatsDialog::Sparkle() const {
    CGameBase* game = Game();
    if (game == nullptr || GameplayHostOf(game)->GetParticleManager() == nullptr || m_nSparkleEffect < 0)
        return nullptr;
    return GameplayHostOf(game)->GetParticleManager()->GetParticleSystemAt(m_nSparkleEffect);
}

// ---- Building ---------------------------------------------------------------------------------

XWidget* CXRoundStatsDialog::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record == nullptr || record->kind != kWidgetDialog || record->name != kQuestListId)
        return XGameDialog::CreateAndInitChild(record, placement);
    auto* list = static_cast<CXRoundStatsQuestsScrollDialog*>(InitOrFreeWidget(
        new (std::nothrow) CXRoundStatsQuestsScrollDialog(this, m_pTemplate, record, placement, this)));
    if (list == nullptr) return nullptr;
    // Shown with the quests section.
    list->Hide();
    m_pQuestList = list;
    m_pScrollDialog = list;
    return list;
}

int CXRoundStatsDialog::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    CGameBase* game = Game();
    if (game == nullptr) return 0;
    if (CSoundManager* sounds = game->GetSoundManager()) {
        if (game->IsMusicOn())
            sounds->PlayMusicTrack(kMusicTrack, false, kMusicFadeIn, kMusicFadeOut);
        else
            sounds->StopMusicTrackWithFadeOut(0);
    }
    m_nSparkleEffect = GameplayHostOf(game)->GetParticleEffectIndex(kStarBlinksEffect);

    m_pCaption = FindChildWithWidgetId("txt_failed_cap");
    m_pQuestsCaption = FindChildWithWidgetId("txt_current_quests");
    m_pLine1 = FindChildWithWidgetId("img_hzline1");
    m_pLine2 = FindChildWithWidgetId("img_hz_line_2");
    m_pLine3 = FindChildWithWidgetId("img_hzline3");
    if (m_pCaption == nullptr || m_pQuestsCaption == nullptr || m_pLine1 == nullptr || m_pLine2 == nullptr ||
        m_pLine3 == nullptr)
        return 0;
    if (ScreensHostOf(this)->NewHighScoreRow() >= 0) {
        if (auto* text = dynamic_cast<XText*>(m_pCaption)) {
            text->SetCaption(CommonString("New High Score!"));
            text->SetColour(100, 255, 100);
        }
    }
    for (XWidget* hidden : {m_pLine1, m_pLine2, m_pLine3, m_pQuestsCaption}) hidden->Hide();
    m_nSection = 0;
    m_nDelay = kFirstDelay;

    m_pLeaderboards = FindChildWithWidgetId("btn_leaderboards");
    m_pTweet = FindChildWithWidgetId("btn_stats_twitter");
    m_pFacebook = FindChildWithWidgetId("btn_stats_facebook");
    m_pFacebookWhy = FindChildWithWidgetId("btn_stats_facebook_why");
    m_pExchange = FindChildWithWidgetId("btn_stats_exchange");
    m_pContinue = FindChildWithWidgetId("btn_failed_continue");
    if (m_pLeaderboards == nullptr || m_pFacebook == nullptr || m_pFacebookWhy == nullptr || m_pExchange == nullptr ||
        m_pContinue == nullptr)
        return 0;
    for (XWidget* button : {m_pLeaderboards, m_pTweet, m_pFacebook, m_pFacebookWhy}) {
        if (button == nullptr) continue;
        if (auto* game_button = dynamic_cast<XGameButton*>(button)) game_button->SetOneState(true);
        button->Hide();
    }
    m_pExchange->Hide();
    m_pContinue->Hide();
    // What is hidden now fades in when it is shown.
    for (int i = GetChildCount() - 1; i >= 0; --i) {
        auto* child = dynamic_cast<XWidget*>(GetChildPtrAt(i));
        if (child != nullptr && !child->IsVisible()) child->ApplyOpacity(0);
    }

    CSpriteSetManager* sets = game->GetSpriteSetManager();
    m_pCoinIcon = sets != nullptr ? sets->GetSpriteSetNamed("HudCoin") : nullptr;
    CSpriteSet* meter = sets != nullptr ? sets->GetSpriteSetNamed("XPMeterBG") : nullptr;
    CSpriteSet* bar = sets != nullptr ? sets->GetSpriteSetNamed("XPMeterProg") : nullptr;
    if (m_pCoinIcon == nullptr || meter == nullptr || bar == nullptr || meter->GetNumFrames() < 1 ||
        bar->GetNumFrames() < 1)
        return 0;
    m_pMeterBG = meter->GetFrame(0);
    m_pMeterBar = bar->GetFrame(0);
    if (m_pMeterBG == nullptr || m_pMeterBar == nullptr) return 0;

    m_nMeterX = kMeterX;
    m_nMeterY = kMeterY;
    FIXED_FLOAT anchorX = kBarAnchorX;
    if (IDibBitmap* back = GetBackBuffer(); back != nullptr && back->m_Width > 320) {
        const FIXED_FLOAT shift = ((back->m_Width - 320) >> 1) * 256;
        m_nMeterX += shift;
        anchorX += shift;
    }
    m_nBarLeft = anchorX - m_pMeterBG->m_Width * 128;
    m_nBarTop = m_nMeterY + kBarDrop - m_pMeterBG->m_Height * 128;
    m_pRankFont = ProgressHostOf(game)->GetGameFont(kGameFontLifes);

    m_uShownXP = m_pRound != nullptr ? m_pRound->m_uExperienceBefore : 0;
    m_nShownRank = XPPointsToRank(m_uShownXP);
    const long long toNext = XPRankToPoints(m_nShownRank + 1) - static_cast<long long>(m_uShownXP);
    m_nXPStep = static_cast<int>(std::clamp<long long>(toNext * 256 / m_nFramesForRank, 1, INT_MAX));
    LayOutRankText();
    m_nBarWidth = GetXPMeterProgressNeededWidth(m_uShownXP);
    return 1;
}

void CXRoundStatsDialog::LayOutRankText() {
    m_RankText.Format("%d", m_nShownRank);
    const double width = m_pRankFont != nullptr ? m_pRankFont->Length2(m_RankText.GetDataConst()) : 0;
    const double height = m_pRankFont != nullptr ? m_pRankFont->GetCharHeight() : 0;
    m_nRankLeft = m_nMeterX - ToFixed(std::round(width * 0.5 * kRankScale));
    m_nRankTop = m_nMeterY - ToFixed(kRankRise) - ToFixed(std::round(height * 0.5 * kRankScale));
}

// ---- The timeline -----------------------------------------------------------------------------

double CXRoundStatsDialog::Target(int value) const {
    const TUserProfile* profile = Profile();
    switch (value) {
        case kRoundScore:
            return m_pRound != nullptr ? m_pRound->m_nScore : 0;
        case kPickedUp:
            return m_pRound != nullptr ? m_pRound->m_nCoinsPickedUp : 0;
        case kScoreBonus:
            return m_pRound != nullptr ? m_pRound->m_nCoinsFromScore : 0;
        case kRoundTotal:
            return m_pRound != nullptr ? m_pRound->m_nRoundCoins : 0;
        case kCoinTotal:
            return profile != nullptr ? profile->m_nCoins : 0;
        default:
            return profile != nullptr ? profile->m_nCoinTally : 0;
    }
}

void CXRoundStatsDialog::StartCounting(int value, double start) {
    m_Shown[value] = start;
    m_dStep = std::max((Target(value) - start) / m_nFramesPerSection, 1.0);
    m_nSectionFrame = 0;
}

bool CXRoundStatsDialog::Count(int value) {
    const double target = Target(value);
    if (m_Shown[value] >= target && m_nSectionFrame >= m_nFramesPerSection) return true;
    if (m_nSectionFrame == 1) PlaySound(kCountSound);
    m_Shown[value] = std::min(m_Shown[value] + m_dStep, target);
    return false;
}

void CXRoundStatsDialog::StartRow(int row, int a, int b, int y) {
    m_SectionAlpha[row] = 1;
    PlaySound(kSectionSound);
    IDibBitmap* back = GetBackBuffer();
    const int half = back != nullptr ? back->m_Width / 2 : 160;
    EmitParticles(half + a, half + b, y);
}

void CXRoundStatsDialog::RunProcess() {
    const auto alive = LifeToken();
    XDialog::RunProcess();
    if (!*alive) return;
    if (m_pTutorial != nullptr) {
        m_pTutorial->RunProcess();
        if (m_pTutorial->IsFinished()) m_pTutorial.reset();
    }
    if (m_nTweetCountdown > 0 && --m_nTweetCountdown == 0) {
        m_nTweetCountdown = -1;
        DoScoreTwit();
    }
    if (GetOpacity() >= kOpacityFull) {
        CGameBase* game = Game();
        if (game != nullptr && GameplayHostOf(game)->GetParticleManager() != nullptr) {
            GameplayHostOf(game)->GetParticleManager()->RunProcess();
            GameplayHostOf(game)->GetParticleManager()->ResetDrawMarks();
        }
        for (int i = 0; i < GetChildCount(); ++i) {
            auto* child = dynamic_cast<XWidget*>(GetChildPtrAt(i));
            if (child != nullptr && child->IsVisible() && child->GetOwnOpacity() < kOpacityFull)
                child->ApplyOpacity(std::min(child->GetOwnOpacity() + kRowAlphaStep * 256, kOpacityFull));
        }
        for (int& alpha : m_SectionAlpha)
            if (alpha >= 1 && alpha < kFullAlpha) alpha = std::min(alpha + kRowAlphaStep, kFullAlpha);
    }
    if (m_nDelay > 0) {
        --m_nDelay;
        return;
    }
    ++m_nSectionFrame;
    RunSection();
    if (!m_bMeterStarted) return;
    m_nMeterAlpha = std::min(m_nMeterAlpha + kMeterAlphaStep, kFullAlpha);
    if (m_nMeterAlpha == kFullAlpha) ProcessXPMeterProgressWidth();
}

void CXRoundStatsDialog::RunSection() {
    switch (m_nSection) {
        case 0:
            m_nDelay = 0;
            StartCounting(kRoundScore, 0);
            if (CQuorvanParticleSystem2* sparkle = Sparkle()) sparkle->Stop(true);
            StartRow(0, kRowSparks[0].a, kRowSparks[0].b, kRowSparks[0].y);
            SetShown(m_pLeaderboards, true);
            SetShown(m_pLine1, true);
            m_nSection = 1;
            break;
        case 1:
            if (!Count(kRoundScore)) break;
            StartCounting(kPickedUp, 0);
            m_nDelay = kSectionDelay;
            StartRow(1, kRowSparks[1].a, kRowSparks[1].b, kRowSparks[1].y);
            m_nSection = 2;
            break;
        case 2:
            if (!Count(kPickedUp)) break;
            StopSound(kCountSound);
            StartCounting(kScoreBonus, 0);
            m_nDelay = kSectionDelay;
            StartRow(2, kRowSparks[2].a, kRowSparks[2].b, kRowSparks[2].y);
            m_nSection = 3;
            break;
        case 3:
            if (!Count(kScoreBonus)) break;
            m_Shown[kScoreBonus] = Target(kScoreBonus);
            StopSound(kCountSound);
            StartCounting(kRoundTotal, 0);
            m_nDelay = kSectionDelay;
            StartRow(3, kRowSparks[3].a, kRowSparks[3].b, kRowSparks[3].y);
            m_nSection = 4;
            break;
        case 4:
            if (!Count(kRoundTotal)) break;
            m_Shown[kRoundTotal] = Target(kRoundTotal);
            StopSound(kCountSound);
            StartCounting(kCoinTotal, std::max(Target(kCoinTotal) - Target(kRoundTotal), 0.0));
            m_nDelay = kSectionDelay;
            m_SectionAlpha[4] = 1;
            m_nSection = 5;
            break;
        case 5:
            if (!Count(kCoinTotal)) break;
            m_Shown[kCoinTotal] = Target(kCoinTotal);
            StopSound(kCountSound);
            m_nSection = 7;
            m_nDelay = kSectionDelay;
            SetShown(m_pLine3, true);
            break;
        case 7:
            if (m_pQuestsCaption != nullptr && !m_pQuestsCaption->IsVisible()) {
                PlaySound(kSectionSound);
                IDibBitmap* back = GetBackBuffer();
                const int half = back != nullptr ? back->m_Width / 2 : 160;
                EmitParticles(half - 80, half + 80, 282);
                m_pQuestsCaption->Show();
                DisplayCurrentQuestsDialog();
                m_nSection = 8;
                m_nDelay = kQuestsDelay;
                SetShown(m_pContinue, true);
            }
            StartXPMeter();
            break;
        case 8:
            if (TUserProfile* profile = Profile();
                profile != nullptr && profile->m_bFirstRankUpSeen && IsXPMeterProgressDone()) {
                if (++m_nBadgeDelay > kBadgeDelay) {
                    profile->m_bFirstRankUpSeen = false;
                    CGameBase* game = Game();
                    if (!profile->IsAchievementAwarded(kFirstBoostAchievement) && game != nullptr &&
                        ProgressHostOf(game)->GetAchievementsManager() != nullptr)
                        ProgressHostOf(game)->GetAchievementsManager()->AwardAchievement(kFirstBoostAchievement);
                }
            }
            break;
        default:
            break;
    }
}

void CXRoundStatsDialog::StartXPMeter() {
    if (m_bMeterStarted) return;
    m_bMeterStarted = true;
    const int cx = m_nMeterX >> 8, cy = m_nMeterY >> 8;
    EmitParticles(cx - 40, cx + 40, cy);
    PlaySound(kCountSound);
}

void CXRoundStatsDialog::ShowAll() {
    if (m_nSection != 8) {
        for (int i = GetChildCount() - 1; i >= 0; --i)
            if (CXElement* child = GetChildPtrAt(i)) child->Show();
        for (int& alpha : m_SectionAlpha)
            if (alpha == 0) alpha = 1;
        for (int value = 0; value < kValueCount; ++value) m_Shown[value] = Target(value);
        m_nSection = 8;
        DisplayCurrentQuestsDialog();
        for (XWidget* sharing : {m_pFacebook, m_pTweet, m_pFacebookWhy, m_pExchange, m_pLine2})
            SetShown(sharing, false);
        StartXPMeter();
    }
    StopSound(kCountSound);
}

void CXRoundStatsDialog::DisplayCurrentQuestsDialog() {
    if (m_pQuestList == nullptr) return;
    m_pQuestList->Show();
    (void)m_pQuestList->SetCurrentCategory(0);
}

// ---- The experience meter ---------------------------------------------------------------------

bool CXRoundStatsDialog::IsXPMeterProgressDone() const {
    const TUserProfile* profile = Profile();
    return m_nBurstsLeft == 0 && (profile == nullptr || m_uShownXP >= profile->m_uExperiencePoints);
}

FIXED_FLOAT CXRoundStatsDialog::GetXPMeterProgressNeededWidth(unsigned int /*xp*/) const {
    if (m_pMeterBar == nullptr) return 0;
    const long long from = XPRankToPoints(m_nShownRank);
    const long long to = XPRankToPoints(m_nShownRank + 1);
    if (to <= from) return 0;
    const double fraction =
        static_cast<double>(static_cast<long long>(m_uShownXP) - from) / static_cast<double>(to - from);
    const long long fraction256 = std::llround(fraction * 256.0);
    return static_cast<FIXED_FLOAT>(fraction256 * m_pMeterBar->m_Width);
}

void CXRoundStatsDialog::ProcessXPMeterProgressWidth() {
    const TUserProfile* profile = Profile();
    const unsigned int goal = profile != nullptr ? profile->m_uExperiencePoints : m_uShownXP;
    if (m_nBurstsLeft == 0) {
        if (m_uShownXP < goal) {
            const unsigned long long next =
                static_cast<unsigned long long>(m_uShownXP) + static_cast<unsigned>(m_nXPStep);
            m_uShownXP = static_cast<unsigned int>(std::min<unsigned long long>(next, goal));
            const int rank = XPPointsToRank(m_uShownXP);
            if (rank > m_nShownRank) {
                m_nShownRank = rank;
                LayOutRankText();
                const long long span = XPRankToPoints(rank + 1) - XPRankToPoints(rank);
                m_nXPStep = static_cast<int>(std::clamp<long long>(span * 256 / m_nFramesForRank, 1, INT_MAX));
                PlaySound(kApplause);
                m_nBurstsLeft = 3;
                m_nBurstTimer = m_nBurstInterval;
            }
        }
        if (m_uShownXP >= goal) StopSound(kCountSound);
    }
    if (m_nBurstsLeft > 0 && --m_nBurstTimer < 0) {
        const int before = m_nBurstsLeft--;
        EmitParticlesCircle(m_nMeterX >> 8, m_nMeterY >> 8, (5 - before) * 10);
        if (m_nBurstsLeft > 0)
            m_nBurstTimer = m_nBurstInterval;
        else
            PlaySound(kCountSound);
    }
    m_nBarWidth = m_nBurstsLeft > 0 && m_pMeterBar != nullptr ? m_pMeterBar->m_Width * 256
                                                              : GetXPMeterProgressNeededWidth(m_uShownXP);
    if (m_uShownXP >= goal) m_nBadgeAlpha = std::min(m_nBadgeAlpha + kBadgeAlphaStep * 256, kFullBadge);
}

// ---- Input and buttons ------------------------------------------------------------------------

int CXRoundStatsDialog::NotifyPointerEvent(int x, int y, int type) {
    if (m_nTweetCountdown > 0) return 1;
    if (m_pTutorial != nullptr && m_pTutorial->IsShown() && type == XPOINTER_PRESS &&
        m_pTutorial->HitTestCloseButton(x, y)) {
        m_pTutorial->FadeOut();
        return 1;
    }
    const auto alive = LifeToken();
    const int taken = CXElement::NotifyPointerEvent(x, y, type);
    if (*alive && taken == 0 && type == XPOINTER_PRESS) ShowAll();
    return 1;
}

int CXRoundStatsDialog::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (m_nTweetCountdown > 0) return 1;
    if (code != XMSG_CLICK) return XDialog::OnMessage(sender, code, wparam, lparam);
    const char* id = XIdText(wparam);
    if (Is(id, "btn_failed_continue")) {
        Post(MSG_RUN_PLAY_SCREEN, 0);
        return 1;
    }
    if (Is(id, "btn_failed_farm")) {
        Post(MSG_RUN_FARM, 0);
        return 1;
    }
    if (Is(id, "btn_leaderboards")) {
        // The leaderboards' OK button comes back to the play screen.
        Post(MSG_RUN_LEADERBOARDS, MSG_RUN_PLAY_SCREEN);
        return 1;
    }
    if (Is(id, "btn_stats_twitter")) {
        m_nTweetCountdown = kTweetCountdown;
        return 1;
    }
    if (Is(id, "btn_stats_facebook")) return 1;
    if (Is(id, "btn_stats_facebook_why")) {
        if (m_pTutorial == nullptr)
            RunGiftCoinsTutorial();
        else
            m_pTutorial->FadeOut();
        return 1;
    }
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

void CXRoundStatsDialog::SetChosenObject(const CommonString& yard, const CommonString& object) {
    m_ChosenYard = yard;
    m_ChosenObject = object;
}

// ---- Sharing ----------------------------------------------------------------------------------

CommonString CXRoundStatsDialog::PrepareShareText() {
    const CommonString score = FormatWithCommas(m_pRound != nullptr ? m_pRound->m_nScore : 0);
    CommonString arena;
    arena.Format("Arena %d", (m_pRound != nullptr ? m_pRound->m_nArenaIndex : 0) + 1);
    CGameBase* game = Game();
    const bool newBest = game != nullptr && ScreensHostOf(this)->NewHighScoreRow() >= 0;
    CommonString text;
    text.Format(newBest ? "I've just got a new highscore %s in Cobblebrooks on %s. Can you beat that?"
                        : "Can you beat my score %s in Cobblebrooks on %s?",
                score.GetDataConst(), arena.GetDataConst());
    return text;
}

// There is no sharing service: the text and the page are made, and nothing is sent.
void CXRoundStatsDialog::DoScoreTwit() { (void)PrepareShareText(); }
void CXRoundStatsDialog::DoScorePost() { (void)PrepareShareText(); }

void CXRoundStatsDialog::PayShareReward(bool ok, bool& paid, const char* format) {
    CGameBase* game = Game();
    TUserProfile* profile = Profile();
    if (ok && !paid && game != nullptr && ScreensHostOf(this)->NewHighScoreRow() >= 0 && profile != nullptr) {
        profile->m_nCoins += kShareReward;
        m_Shown[kCoinTotal] = profile->m_nCoins;
        if (ProgressHostOf(game)->GetAchievementsManager() != nullptr) {
            CommonString text;
            text.Format(format, kShareReward);
            ProgressHostOf(game)->GetAchievementsManager()->PlaceAwardedMessageToQueue(kAwardCoins, text);
        }
    }
    if (ok) paid = true;
}

void CXRoundStatsDialog::OnPostToTwitterResult(bool ok) {
    PayShareReward(ok, m_bTweetRewardPaid, "%d Coins for Highscore tweet!");
}

void CXRoundStatsDialog::OnPostToFacebookResult(bool ok) {
    PayShareReward(ok, m_bPostRewardPaid, "%d Coins for Highscore Post!");
}

void CXRoundStatsDialog::RunGiftCoinsTutorial() {
    if (m_pTutorial != nullptr) return;
    CGameBase* game = Game();
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    const TCoordRect2D panel{(back->m_Width - kGiftCoinsHintWidth) / 2, kGiftCoinsHintTop, kGiftCoinsHintWidth, 1};
    m_pTutorial.reset(new (std::nothrow)
                          CTiledBGTutorial(game, kGiftCoinsHint, back->m_Width / 2, 0, kGiftCoinsText, panel, nullptr));
    if (m_pTutorial != nullptr && !m_pTutorial->PostConstruct()) m_pTutorial.reset();
}

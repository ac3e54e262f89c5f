// The round statistics drawn: the template's widgets, the count-up rows, the experience meter with
// its rank, bar and boost badge, the sparks and the hint overlay.
#include <new>

#include "app/GameBase.h"
#include "game/gameplay/GameplayHost.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/UserProfile.h"
#include "game/screens/RoundStatsDialog.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/ScoreValue.h"
#include "game/widgets/TiledBGTutorial.h"
#include "particles/ParticleSystem.h"
#include "particles/ParticleSystemManager.h"
#include "particles/ParticleSystemShape.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "sprites/SpriteSet.h"
#include "text/BitmapFont.h"

namespace {

constexpr float kRowScale = 0.8f;
constexpr float kBadgeScale = 0.53f;
constexpr int kSparkBandHeight = 20;
constexpr int kSparks = 60;
constexpr int kRingPoints = 10;

// A count-up row: the section after which it shows, its caption, whether the coin shows, its x
// from the screen's middle, its y and its colour.
struct TRow {
    const char* caption;
    bool coin;
    int dx, y;
    unsigned char r, g, b;
};
constexpr TRow kRows[5] = {
    {"Round Score", false, -50, 65, 0, 192, 0},     {"Collected", true, -35, 115, 255, 255, 255},
    {"Score Bonus", true, -35, 145, 255, 255, 255}, {"Round Total", true, -35, 175, 255, 255, 255},
    {"Total", true, -35, 205, 0, 192, 0},
};

FIXED_FLOAT_16 From8(FIXED_FLOAT value) { return value << 8; }

// The sparkle effect at (x, y) (pixels) emitting its burst on the shape, which it then drops.
void Burst(CQuorvanParticleSystem2* sparkle, CQuorvanParticleSystemShape2* shape, int x, int y) {
    (void)sparkle->SetEmitShape(shape);
    sparkle->StartAt(x * 65536, y * 65536);
    sparkle->EmitNewParticles(kSparks);
    (void)sparkle->SetEmitShape(nullptr);
    sparkle->Stop(false);
}

}  // namespace

void CXRoundStatsDialog::Draw() {
    if (m_pRound != nullptr) {
        auto* friends = dynamic_cast<XWidget*>(m_pRound->FindChildWithWidgetId("dlg_facebook_friends"));
        if (friends != nullptr && friends->GetOpacity() >= kOpacityFull) {
            friends->Draw();
            return;
        }
    }
    XGameDialog::Draw();
    DrawRows();
    CGameBase* game = Game();
    IDibBitmap* back = GetBackBuffer();
    if (game != nullptr && back != nullptr && ScreensHostOf(this)->NewHighScoreRow() >= 0 && !m_bTweetRewardPaid &&
        m_pTweet != nullptr && m_pCoinIcon != nullptr) {
        // The coin reward for sharing a new best, on the share button's corner (which stays hidden).
        if (IDibBitmap* coin = m_pCoinIcon->GetFrame(0)) {
            const TCoordRect2D button = m_pTweet->GetDrawingRect();
            DrawStretched(game, back, coin, (button.x + button.width - 2) * 65536, (button.y + 2) * 65536,
                          coin->m_BufferWidth << 15, coin->m_BufferHeight << 15, kFixed16One / 2, kFixed16One / 2, 0,
                          m_pTweet->GetOpacity() >> 8, 0, 0, 0, 0, 255, 255, 255);
        }
    }
    DrawXPMeter();
    if (game != nullptr && back != nullptr && GetOpacity() >= kOpacityFull &&
        GameplayHostOf(game)->GetParticleManager() != nullptr)
        GameplayHostOf(game)->GetParticleManager()->DrawTheRest(back);
    if (m_pTutorial != nullptr && back != nullptr) m_pTutorial->Draw(back);
}

void CXRoundStatsDialog::DrawRows() {
    CGameBase* game = Game();
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    const float cx = static_cast<float>(back->m_Width / 2);
    for (int row = 0; row < 5; ++row) {
        if (m_nSection <= row) break;
        const TRow& r = kRows[row];
        const int value = row == 0 ? kRoundScore : row;  // the rows count the first five values
        (void)DrawScoreValue(game, m_pCoinIcon, r.coin, cx + static_cast<float>(r.dx), static_cast<float>(r.y),
                             kRowScale, CommonString(r.caption), static_cast<int>(m_Shown[value]), m_SectionAlpha[row],
                             r.r, r.g, r.b, false, false);
    }
}

void CXRoundStatsDialog::DrawXPMeter() {
    CGameBase* game = Game();
    IDibBitmap* back = GetBackBuffer();
    const int opacity = GetOpacity() >> 8;
    if (!m_bMeterStarted || m_nMeterAlpha <= 0 || opacity <= 0 || game == nullptr || back == nullptr ||
        m_pMeterBG == nullptr || m_pMeterBar == nullptr)
        return;
    const int a = m_nMeterAlpha * opacity / 255;
    if (a <= 0) return;
    const bool bursting = m_nBurstsLeft > 0;
    const bool blinkOn = m_nBurstTimer <= m_nBurstInterval / 2;

    Renderer_SetBlendMode(Renderer_BlendMode_Normal, m_pMeterBG);
    DrawStretched(game, back, m_pMeterBG, From8(m_nMeterX), From8(m_nMeterY), m_pMeterBG->m_BufferWidth << 15,
                  m_pMeterBG->m_BufferHeight << 15, kFixed16One, kFixed16One, 0, a, 0, 0, 0, 0, 255, 255, 255);
    if (m_pRankFont != nullptr && (!bursting || blinkOn))
        m_pRankFont->TextOutF(back, m_RankText.GetDataConst(), From8(m_nRankLeft), From8(m_nRankTop), m_nRankScale,
                              m_nRankScale, 0, 255, 255, 255, kTextEffectNone, static_cast<unsigned char>(a), nullptr);

    const TUserProfile* profile = Profile();
    const int points = profile != nullptr ? profile->m_nBoostPoints : 0;
    const int badge = m_nBadgeAlpha >> 8;
    if (m_nBarWidth > 0) {
        int barAlpha = a;
        if (points > 0 && badge > 0) barAlpha = a * (255 - badge * 179 / 256) / 255;
        const FIXED_FLOAT height = m_pMeterBar->m_Height * 256;
        const auto drawBar = [&](int blend) {
            Bitmap_StretchDrawF_Transparent(game, back, m_pMeterBar, m_nBarLeft, m_nBarTop, m_nBarWidth, height, 0, 0,
                                            m_nBarWidth, height, barAlpha - 255, blend);
        };
        if (!bursting) {
            drawBar(Renderer_BlendMode_Normal);
        } else if (blinkOn) {
            drawBar(Renderer_BlendMode_Normal);
            drawBar(Renderer_BlendMode_Additive);
        }
    }
    if (points > 0 && badge > 0 && profile != nullptr && m_uShownXP >= profile->m_uExperiencePoints) {
        const float x = static_cast<float>(m_nMeterX / 256.0) - (points >= 10 ? 15.0f : 11.0f);
        const float y = static_cast<float>(m_nBarTop / 256.0) + 10.0f;
        (void)DrawScoreValue(game, ScreensHostOf(this)->GetBoostPointsIcon(), true, x, y, kBadgeScale, CommonString(),
                             points, badge * a / 255, 255, 255, 255, false, false);
    }
}

void CXRoundStatsDialog::EmitParticles(int x1, int x2, int y) {
    CQuorvanParticleSystem2* sparkle = Sparkle();
    CGameBase* game = Game();
    if (sparkle == nullptr || game == nullptr) return;
    auto* shape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    if (shape == nullptr) return;
    const int half = (x2 - x1) >> 1;  // the band's half width, whole pixels
    const int h = kSparkBandHeight / 2;
    const TVector2D_16 corners[4] = {
        {-half * 65536, -h * 65536}, {half * 65536, -h * 65536}, {half * 65536, h * 65536}, {-half * 65536, h * 65536}};
    bool complete = true;
    for (int i = 0; i < 4 && complete; ++i) complete = shape->AddSegment(corners[i], corners[(i + 1) % 4]) == 1;
    if (complete) Burst(sparkle, shape, (x1 + x2) / 2, y);
    delete shape;
}

void CXRoundStatsDialog::EmitParticlesCircle(int x, int y, int radius) {
    CQuorvanParticleSystem2* sparkle = Sparkle();
    CGameBase* game = Game();
    if (sparkle == nullptr || game == nullptr) return;
    auto* shape = new (std::nothrow) CQuorvanParticleSystemShape2(game, game->GetRotatorScaler());
    if (shape == nullptr) return;
    shape->AddCircle(radius * 65536, kRingPoints, 0, 0);
    Burst(sparkle, shape, x, y);
    delete shape;
}

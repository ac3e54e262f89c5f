#include "game/screens/StatsDialog.h"

#include <cmath>
#include <string>

#include "app/GameBase.h"
#include "game/farm/FarmHost.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/ExperienceRanks.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/ScoreValue.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "ui/Text.h"

namespace {

constexpr const char* kArenaIds[3] = {"arena1", "arena2", "arena3"};
constexpr const char* kLockedIds[3] = {"txt_stats_score1_locked", "txt_stats_score2_locked", "txt_stats_score3_locked"};

void SetText(XWidget* dialog, const std::string& id, const CommonString& text) {
    if (auto* widget = dynamic_cast<XText*>(dialog->FindChildWithWidgetId(id.c_str()))) widget->SetCaption(text);
}

}  // namespace

int CXStatsDialog::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    IScreensHost* host = ScreensHostOf(this);
    if (host == nullptr) return 0;
    m_pCoinIcon = host->GetCoinsIcon();
    m_pBoostIcon = host->GetBoostPointsIcon();
    if (m_pCoinIcon == nullptr || m_pBoostIcon == nullptr) return 0;
    UpdateStatsControls();
    return 1;
}

void CXStatsDialog::UpdateStatsControls() {
    CGameBase* game = ScreensGameOf(this);
    CApplicationData* data = AppDataOf(game);
    const TUserProfile* profile = CurrentProfileOf(game);
    CArenaManager* arenas = ArenaManagerOf(game);
    for (int n = 0; n < 3; ++n) {
        // Without the arena table only the first arena counts as open.
        m_bArenaUnlocked[n] = arenas != nullptr ? arenas->IsArenaUnlocked(kArenaIds[n]) : n == 0;
        if (XWidget* locked = FindChildWithWidgetId(kLockedIds[n])) {
            if (m_bArenaUnlocked[n])
                locked->Hide();
            else
                locked->Show();
        }
    }
    if (profile == nullptr || data == nullptr) return;
    struct TRow {
        const char* prefix;
        const int* values;  // per arena; null for the best score
    };
    const TRow rows[] = {{"txt_stats_rounds_", profile->m_RoundsPerArena},
                         {"txt_stats_score_", nullptr},
                         {"txt_stats_match_", profile->m_MatchPerArena},
                         {"txt_stats_powerups_", profile->m_PowerUpsPerArena}};
    for (const TRow& row : rows) {
        for (int n = 0; n < 3; ++n) {
            const int value = row.values != nullptr ? row.values[n]
                                                    : data->GetCurrentUserHighScoreInTable(CommonString(kArenaIds[n]));
            // The first arena always shows its numbers; a locked one a dash.
            const CommonString text = n > 0 && !m_bArenaUnlocked[n] ? CommonString("-") : FormatWithCommas(value);
            SetText(this, std::string(row.prefix) + std::to_string(n + 1) + "_val", text);
        }
    }
    SetText(this, "txt_stats_xp_level_val", FormatWithCommas(XPPointsToRank(profile->m_uExperiencePoints)));
    for (const char* id : {"img_stats_dummy_gained", "img_stats_dummy_current"})
        if (XWidget* anchor = FindChildWithWidgetId(id)) anchor->Hide();
}

void CXStatsDialog::InitializePoints() {
    const char* const ids[kAnchorCount] = {kLockedIds[0], kLockedIds[1], kLockedIds[2], "img_stats_dummy_gained",
                                           "img_stats_dummy_current"};
    for (int i = 0; i < kAnchorCount; ++i) {
        XWidget* widget = FindChildWithWidgetId(ids[i]);
        if (widget == nullptr) continue;
        const TCoordRect2D r = widget->GetDrawingRect();
        m_Anchors[i] = TVector2D{(r.x + (r.width >> 1)) << 8, (r.y + (r.height >> 1)) << 8};
    }
}

void CXStatsDialog::RunProcess() {
    XDialog::RunProcess();
    if (m_bAnchorsReady) return;
    InitializePoints();
    m_bAnchorsReady = true;
}

void CXStatsDialog::Draw() {
    XGameDialog::Draw();
    const TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    if (!m_bAnchorsReady || profile == nullptr) return;
    int total = 0;
    for (int n = 0; n < 3; ++n) {
        total += profile->m_CoinsPerArena[n];
        if (m_bArenaUnlocked[n])
            DrawCoinsValue(profile->m_CoinsPerArena[n], m_Anchors[n].x >> 8, m_Anchors[n].y >> 8, false);
    }
    DrawCoinsValue(total, m_Anchors[kCoinsGained].x >> 8, m_Anchors[kCoinsGained].y >> 8, false);
    DrawCoinsValue(profile->m_nBoostPointsEarned, m_Anchors[kBoostPoints].x >> 8, m_Anchors[kBoostPoints].y >> 8, true);
}

void CXStatsDialog::DrawCoinsValue(int value, int x, int y, bool boost) {
    CGameBase* game = ScreensGameOf(this);
    CSpriteSet* set = boost ? m_pBoostIcon : m_pCoinIcon;
    const int opacity = GetOpacity() >> 8;
    if (game == nullptr || set == nullptr || set->GetFrame(0) == nullptr || opacity <= 127) return;
    // The values come in over the second half of the fade-in.
    const int alpha = 2 * opacity - 255;
    // The group is laid out around the icon's middle; moving that point centres it on (x, y),
    // kept on whole pixels so that the icon and the glyphs stay sharp.
    const TScoreValueExtent extent = MeasureScoreValue(game, set, true, 1.0f, value, true);
    const int iconX = x - static_cast<int>(std::lround(extent.left + extent.right)) / 2;
    DrawScoreValue(game, set, true, static_cast<float>(iconX), static_cast<float>(y), 1.0f, CommonString(), value,
                   alpha, 255, 255, 255, true, false);
}

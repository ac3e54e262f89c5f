// The leaderboards list: input, motion, the cross-fade between tables, the blink and drawing.
#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "core/SafeFormat.h"
#include "game/progress/HighScoreTable.h"
#include "game/progress/ProgressHost.h"
#include "game/screens/LeadersScreen.h"
#include "game/screens/ScreensHost.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "text/BitmapFont.h"

namespace {

constexpr int kColumnHalfSpan = 160;  // the columns keep within this of the screen's centre
constexpr int kColumnInset = 20;
constexpr int kNameAfterRank = 30;
constexpr int kTextDy = 4;
constexpr int kRowLineAlpha = 64;
constexpr int kOwnBandAlpha = 96;
constexpr int kOtherBandAlpha = 42;
constexpr unsigned char kBand[3] = {96, 255, 0};
constexpr unsigned char kNewRow[3] = {255, 96, 0};
constexpr double kPi = 3.14159265358979323846;

}  // namespace

void CXLeadersScrollDialog::RunFade() {
    m_nFade += m_nFadeStep;
    if (m_nFade > 254) {
        m_nFade = 255;
        if (m_nCurrentTable >= 0 && m_nCurrentTable < m_TableOffsets.count)
            m_TableOffsets.data[m_nCurrentTable] = m_nOffset;
        SetCurrentTable(m_nTargetTable);
        m_Bar.alpha = 0;
        m_nFadeStep = -m_nFadeStep;
        m_nOffset = m_nCurrentTable < m_TableOffsets.count ? m_TableOffsets.data[m_nCurrentTable] : kMinimumOffset;
        m_nSpeed = 0;
    } else if (m_nFade < 1) {
        m_nFade = 0;
        m_bFading = false;
    }
}

bool CXLeadersScrollDialog::IsNewRowShown() const {
    IScreensHost* host = ScreensHostOf(this);
    return host != nullptr && host->NewHighScoreRow() != -1 && host->NewHighScoreTable() == m_nCurrentTable;
}

void CXLeadersScrollDialog::RunBlink() {
    if (!IsNewRowShown() || !m_bBlinkOn) return;
    m_fBlinkValue += m_fBlinkSpeed;
    if (m_fBlinkValue > m_fBlinkHigh && m_fBlinkSpeed > 0) {
        m_fBlinkValue = m_fBlinkHigh;
        m_fBlinkSpeed = -m_fBlinkStep;
    } else if (m_fBlinkValue < m_fBlinkLow && m_fBlinkSpeed < 0) {
        m_fBlinkValue = m_fBlinkLow;
        m_fBlinkSpeed = m_fBlinkStep;
    }
}

int CXLeadersScrollDialog::BlinkAlpha(int opacity) const {
    const double span = m_fBlinkHigh - m_fBlinkLow;
    double eased = m_fBlinkValue;
    if (span >= 0.001) {
        const double t = (m_fBlinkValue - m_fBlinkLow) / span;
        eased = m_fBlinkLow + span * (std::sin(t * kPi - kPi / 2) + 1) / 2;
    }
    return static_cast<int>(eased * opacity / 255);
}

void CXLeadersScrollDialog::RunProcess() {
    const auto alive = LifeToken();
    XGameDialog::RunProcess();
    if (!*alive) return;
    if (m_bFading)
        RunFade();
    else if (!FingerDown())
        StepMotion();
    m_Bar.Update(m_nOffset, m_nMinimum, m_nMaximum, m_Visible.width, m_Visible.height,
                 !m_bFading && IsScrollBarWanted(), 0.05, 0.8);
    RunBlink();
}

int CXLeadersScrollDialog::RankX() const {
    const IDibBitmap* back = GetBackBuffer();
    const int half = (back != nullptr ? back->m_Width : 320) / 2;
    return half - std::min(half, kColumnHalfSpan) + kColumnInset;
}

int CXLeadersScrollDialog::NameX() const { return RankX() + kNameAfterRank; }

int CXLeadersScrollDialog::ScoreRight() const {
    const IDibBitmap* back = GetBackBuffer();
    const int half = (back != nullptr ? back->m_Width : 320) / 2;
    return half + std::min(half, kColumnHalfSpan) - kColumnInset;
}

void CXLeadersScrollDialog::DrawRows(IDibBitmap* back, int opacity) {
    CGameBase* game = ScreensGameOf(this);
    IScreensHost* host = ScreensHostOf(this);
    THighScoreTable* table = GetTable(m_nCurrentTable);
    CBitmapFontText* font = GameFontOf(game, kGameFontSmall);
    if (table == nullptr) return;
    TCoordRect2D clip = m_Visible;
    const bool newRowShown = IsNewRowShown();
    for (int i = 0; i < GetNumHighScoreEntries(); ++i) {
        const int top = m_Visible.y - 4 - (m_nOffset >> 8) + kRowHeight * i;
        if (top + kRowHeight <= m_Visible.y || top >= m_Visible.y + m_Visible.height) continue;
        const bool own = i == m_nOwnRow;
        const bool filled = i < table->GetCount() && !table->m_IsDefault.data[i];
        if (own || filled) {
            const TCoordRect2D band = Intersect(m_Visible.x, top, m_Visible.width, kRowHeight, m_Visible);
            if (band.width > 0 && band.height > 0)
                FillRectangle_Transparent(game, back, band.x, band.y, band.width, band.height, kBand[0], kBand[1],
                                          kBand[2], own ? kOwnBandAlpha : kOtherBandAlpha);
        }
        if (font != nullptr) {
            const bool pulsing = newRowShown && i == host->NewHighScoreRow();
            const unsigned char r = pulsing ? kNewRow[0] : 255;
            const unsigned char g = pulsing ? kNewRow[1] : 255;
            const unsigned char b = pulsing ? kNewRow[2] : 255;
            const auto alpha = static_cast<unsigned char>(pulsing ? BlinkAlpha(opacity) : opacity);
            const int y = top + kTextDy;
            const CommonString rank = SafeFormat("%d.", {i + 1});
            font->TextOut(back, RankX(), y, rank.GetDataConst(), r, g, b, 0, alpha, &clip);
            const CommonString* stored = i < table->m_Names.count ? table->m_Names.data[i] : nullptr;
            const char* name = stored != nullptr && stored->Length() > 0 ? stored->GetDataConst() : "-empty-";
            font->TextOut(back, NameX(), y, name, r, g, b, 0, alpha, &clip);
            const CommonString score = FormatWithCommas(i < table->m_Scores.count ? table->m_Scores.data[i] : 0);
            font->TextOut(back, ScoreRight() - font->Length2(score.GetDataConst()), y, score.GetDataConst(), r, g, b, 0,
                          alpha, &clip);
        }
        if (i > 0 && top > m_Visible.y && top < m_Visible.y + m_Visible.height)
            DrawLine_AA(game, m_Visible.x, top, m_Visible.x + m_Visible.width + 1, top, 255, 255, 255, kRowLineAlpha,
                        kRowLineAlpha);
    }
}

void CXLeadersScrollDialog::Draw() {
    CGameBase* game = ScreensGameOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    DrawShade(back);
    const int opacity = GetOpacity() >> 8;
    if (GetTable(m_nCurrentTable) == nullptr || opacity <= 0) return;
    DrawRows(back, opacity);
    DrawEdgeLines();
    DrawBar();
    if (m_bFading && m_nFade > 0)
        FillRectangle_Transparent(game, back, m_Visible.x, m_Visible.y, m_Visible.width, m_Visible.height, 0, 0, 0,
                                  m_nFade);
}

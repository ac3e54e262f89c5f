#include "game/farm/FarmProgress.h"

#include <algorithm>
#include <cstdint>

#include "app/GameBase.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ProgressHost.h"
#include "render/DibBitmap.h"
#include "text/BitmapFont.h"
#include "ui/Widget.h"

const char* const gstr_NAME_PROGRESS_CATEGORY[4] = {"Birds", "Plants", "Comfort", "Decor"};

namespace {

// The fill starts this many pixels into the full image; its last kEndCapPx pixels are the bar's
// rounded end, drawn after the fill wherever the fill ends.
constexpr int kLeftInsetPx = 5;
constexpr int kEndCapPx = 6;
// The stars whose thresholds the bars follow: the third star's stay once it is earned.
constexpr int kLastStarLevel = 2;

}  // namespace

CXFarmProgress::CXFarmProgress(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                               int category)
    : XGameProgress(parent, templ, record, placement), m_nCategory(category) {}

int CXFarmProgress::OnInitWidget() {
    if (!XGameProgress::OnInitWidget()) return 0;
    m_pFullImage = m_Full.CurrentBitmap();
    m_pEmptyImage = m_Empty.CurrentBitmap();
    if (m_pFullImage == nullptr || m_pEmptyImage == nullptr) return 0;
    m_nLeftInset = kLeftInsetPx;
    m_nEndCap = kEndCapPx;
    m_dBarLength = m_pFullImage->m_Width - (kLeftInsetPx + kEndCapPx);
    CGameBase* game = GameBaseOf(this);
    IFarmHost* host = FarmHostOf(game);
    IProgressHost* progress = ProgressHostOf(game);
    if (host != nullptr && host->GetFarmManager() != nullptr) m_pYardDef = host->GetFarmManager()->GetCurrentYardDef();
    if (progress != nullptr) m_pFont = progress->GetGameFont(kGameFontVerySmall);
    if (m_nCategory >= 0 && m_nCategory < kFarmCategoryCount) m_Caption = gstr_NAME_PROGRESS_CATEGORY[m_nCategory];
    if (m_pFont != nullptr) {
        const std::int64_t captionWidth = m_pFont->Length2(m_Caption.GetDataConst());
        // The caption ends one pixel left of the bar; both texts stand centred on its height.
        m_nCaptionOffsetX = static_cast<FIXED_FLOAT_16>(-kFixed16One - ((captionWidth * m_nTextScaleX)));
        m_nLabelOffsetX = kFixed16One;
        const std::int64_t textHeight = static_cast<std::int64_t>(m_pFont->GetCharHeight()) * m_nTextScaleY;
        const std::int64_t offsetY =
            (static_cast<std::int64_t>(m_pEmptyImage->m_Height) * kFixed16One - textHeight) / 2 - kFixed16One -
            kFixed16One / 2;
        m_nCaptionOffsetY = m_nLabelOffsetY = static_cast<FIXED_FLOAT_16>(offsetY);
    }
    Update();
    return 1;
}

void CXFarmProgress::RunProcess() {
    XGameProgress::RunProcess();
    CXElement* screen = GetParent();
    if (screen != nullptr && screen->FindModalChild() != nullptr) return;
    Update();
}

void CXFarmProgress::Update() {
    IFarmHost* host = FarmHostOf(GameBaseOf(this));
    const CFarmManager* farm = host != nullptr ? host->GetFarmManager() : nullptr;
    const int stars = farm != nullptr ? farm->m_nStars : 0;
    const int level = std::clamp(stars, 0, kLastStarLevel);
    bool rescaled = false;
    if (level != m_nStarLevel) {
        m_nStarLevel = level;
        const bool known = m_pYardDef != nullptr && m_nCategory >= 0 && m_nCategory < kFarmCategoryCount;
        const int threshold = known ? m_pYardDef->starThresholds[level][m_nCategory] : 0;
        m_nThreshold = threshold > 0 ? threshold : 1;
        m_dLengthScale = m_dBarLength / m_nThreshold;
        rescaled = true;
    }
    const bool known = farm != nullptr && m_nCategory >= 0 && m_nCategory < kFarmCategoryCount;
    const int points = known ? farm->m_CategoryPoints[m_nCategory] : 0;
    if (points != m_nPoints || rescaled || m_Label.Length() == 0) {
        m_nPoints = points;
        m_dTargetLength = std::clamp(points * m_dLengthScale, 0.0, m_dBarLength);
        // In whole numbers: a product with 100 / threshold rounds below 100 at the threshold
        // itself for many thresholds (97, 161, 167, ...).
        const std::int64_t percent = std::clamp<std::int64_t>(std::int64_t{points} * 100 / m_nThreshold, 0, 100);
        m_Label = SafeFormat("%d%%", {static_cast<int>(percent)});
    }
    if (m_dShownLength == -1.0) {
        m_dShownLength = m_dTargetLength;
    } else {
        m_dShownLength += std::clamp(m_dTargetLength - m_dShownLength, -1.0, 1.0);
    }
    m_nBarFillWidth = static_cast<int>(m_dShownLength) + m_nLeftInset;
}

void CXFarmProgress::SetTextColour(int r, int g, int b) {
    m_TextColour[0] = r;
    m_TextColour[1] = g;
    m_TextColour[2] = b;
}

void CXFarmProgress::Draw() {
    IDibBitmap* target = GetBackBuffer();
    const FIXED_FLOAT opacity = GetOpacity();
    if (opacity <= 0 || target == nullptr || m_pEmptyImage == nullptr || m_pFullImage == nullptr) return;
    const int alpha = opacity >> 8;
    const int alphaOffset = alpha - 255;
    const int x = m_Rect.x, y = m_Rect.y;
    m_pEmptyImage->BitBlt(target, x, y, m_pEmptyImage->m_Width, m_pEmptyImage->m_Height, 0, 0, alphaOffset);
    const int labelX = x + m_pEmptyImage->m_Width;
    const int fullWidth = m_pFullImage->m_Width;
    const int fill = std::clamp(m_nBarFillWidth, 0, fullWidth);
    if (fill > 0) m_pFullImage->BitBlt(target, x, y, fill, m_pFullImage->m_Height, 0, 0, alphaOffset);
    const int cap = std::min(m_nEndCap, fullWidth);
    m_pFullImage->BitBlt(target, x + fill, y, cap, m_pFullImage->m_Height, fullWidth - cap, 0, alphaOffset);
    if (m_pFont == nullptr) return;
    const auto r = static_cast<unsigned char>(m_TextColour[0]);
    const auto g = static_cast<unsigned char>(m_TextColour[1]);
    const auto b = static_cast<unsigned char>(m_TextColour[2]);
    const auto a = static_cast<unsigned char>(alpha);
    const std::int64_t x16 = std::int64_t{x} << 16, y16 = std::int64_t{y} << 16;
    m_pFont->TextOut(target, static_cast<int>((m_nCaptionOffsetX + x16) >> 16),
                     static_cast<int>((y16 + m_nCaptionOffsetY) >> 16), m_Caption.GetDataConst(), r, g, b, 0, a,
                     nullptr);
    const std::int64_t labelX16 = std::int64_t{labelX} << 16;
    m_pFont->TextOut(target, static_cast<int>((labelX16 + m_nLabelOffsetX) >> 16),
                     static_cast<int>((y16 + m_nLabelOffsetY) >> 16), m_Label.GetDataConst(), r, g, b, 0, a, nullptr);
}

// A farm tab's row of the farm shop: its images and texts, the star preview and its touch area.
#include "game/screens/ShopScrollItem.h"

#include <algorithm>
#include <cmath>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/QuestRowParts.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/SpriteLookups.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

// The bar set of each category, in category order.
const char* const kBarSets[kFarmCategoryCount] = {"pb_farm_birds", "pb_farm_plants", "pb_farm_comfort",
                                                  "pb_farm_decor"};
// The row is 120 pixels high; the buy button stands on its bottom, 10 pixels in from the right
// of a 320-pixel column centred on the screen.
constexpr int kRowHeight = 120;
constexpr int kButtonRightInset = 10;
constexpr int kColumnWidth = 320;
const char* const kPriceLabel = "Price: ";
const char* const kPriceLead = "Price:    x ";

// The localised text of an id when there is one, else the plain text.
CommonString LocalisedOr(CGameBase* game, const CommonString& id, const CommonString& plain) {
    CLocManager2* loc = game != nullptr ? game->GetLocManager() : nullptr;
    if (id.Length() > 0 && loc != nullptr) return loc->LoadString(id.GetDataConst());
    return plain;
}

}  // namespace

TShopPreview ComputeShopPreview(int points, int price, int threshold, int innerWidth, int leftMargin) {
    TShopPreview preview;
    const double t = threshold > 0 ? threshold : 1;
    const double p = points;
    const double q = static_cast<double>(points) + price;
    preview.now = static_cast<int>(p * 100.0 / t);
    preview.after = static_cast<int>(q * 100.0 / t);
    preview.gainText.Format("+%d%% ", preview.after - preview.now);
    preview.totalText.Format("(%d%%)", std::min(preview.after, 100));
    preview.full = preview.after > 99;
    const double perPoint = innerWidth / t;
    // Points past the threshold (a yard with all its stars) still end at the bar's inner edge.
    preview.currentEnd = leftMargin + std::clamp(p * perPoint, 0.0, static_cast<double>(innerWidth));
    preview.potentialEnd = leftMargin + std::clamp(q * perPoint, 0.0, static_cast<double>(innerWidth));
    return preview;
}

int ShopStarThreshold(const YardDef& yard, int category, int stars) {
    if (category < 0 || category >= kFarmCategoryCount) return 1;
    const int next = std::clamp(stars, 0, 2);
    return std::max(yard.starThresholds[next][category], 1);
}

TShopIconFit FitShopIcon(int iconWidth, int iconHeight, int frameWidth, int frameHeight) {
    TShopIconFit fit;
    if (iconWidth <= 0 || iconHeight <= 0) return fit;
    const double side = CXShopScrollItem::kIconSide;
    const double scale = std::min({side / iconWidth, side / iconHeight, 1.0});
    fit.scale = static_cast<FIXED_FLOAT_16>(std::lround(scale * 65536.0));
    const double w = iconWidth * scale, h = iconHeight * scale;
    fit.width = static_cast<FIXED_FLOAT>(std::lround(w * 256.0));
    fit.height = static_cast<FIXED_FLOAT>(std::lround(h * 256.0));
    fit.offsetX = static_cast<FIXED_FLOAT>(std::lround((frameWidth - w) / 2.0 * 256.0));
    fit.offsetY = static_cast<FIXED_FLOAT>(std::lround((frameHeight - h) / 2.0 * 256.0));
    return fit;
}

CXShopScrollItem::CXShopScrollItem(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                                   FarmObjectDef* definition)
    : CXScrollItemBase(parent, templ, record, placement), m_pDef(definition) {}

CXShopScrollItem::~CXShopScrollItem() = default;

int CXShopScrollItem::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    TUserProfile* profile = CurrentProfileOf(game);
    IDibBitmap* back = GetBackBuffer();
    if (m_pDef == nullptr || profile == nullptr || back == nullptr) return 0;
    m_bAffordable = profile->m_nCoins >= m_pDef->price;

    CSpriteSetManager* sets = game->GetSpriteSetManager();
    m_pIconFrame = FirstFrame(sets, "iconframe2");
    m_pCoinIcon = FirstFrame(sets, "shop_coin_icon");
    m_pButtons = SetWithFrames(sets, "btn_normal");
    const IDibBitmap* button = m_pButtons != nullptr ? m_pButtons->GetFrame(0) : nullptr;
    if (m_pIconFrame == nullptr || m_pCoinIcon == nullptr || button == nullptr) return 0;
    if (m_pDef->category >= 0 && m_pDef->category < kFarmCategoryCount)
        if (CSpriteSet* bar = SetWithFrames(sets, kBarSets[m_pDef->category])) {
            m_pBarBackground = bar->GetFrame(0);
            m_pBarFill = bar->GetFrame(1);
        }
    if (!SetupYardDef()) return 0;

    m_pIcon = FirstFrame(sets, QuestPictureSetName(*m_pDef));
    if (m_pIcon != nullptr)
        m_IconFit = FitShopIcon(m_pIcon->m_Width, m_pIcon->m_Height, m_pIconFrame->m_Width, m_pIconFrame->m_Height);

    m_nButtonWidth = button->m_Width;
    m_nButtonHeight = button->m_Height;
    m_nButtonY = kRowHeight - m_nButtonHeight;
    const int w = back->m_Width;
    m_nButtonX = w - kButtonRightInset + (kColumnWidth - w) / 2 - m_nButtonWidth;

    m_PriceText = CommonString(kPriceLead) + FormatWithCommas(m_pDef->price);
    m_PriceLabel = CommonString(kPriceLabel);
    m_Name = LocalisedOr(game, m_pDef->nameId, m_pDef->name);
    m_Desc = LocalisedOr(game, m_pDef->descId, m_pDef->desc);
    m_nOwned = profile->GetNumFarmObjectPurchased(m_pYard->id, m_pDef->id);
    m_OwnedText.Format("%d", m_nOwned);
    RecalcPotentialPercantageGrowth();
    return 1;
}

bool CXShopScrollItem::SetupYardDef() {
    CFarmManager* farm = FarmManagerOf(ScreensGameOf(this));
    m_pYard = farm != nullptr ? farm->GetCurrentYardDef() : nullptr;
    if (m_pYard == nullptr || m_pDef == nullptr) return false;
    m_nStarThreshold = ShopStarThreshold(*m_pYard, m_pDef->category, farm->m_nStars);
    return true;
}

int CXShopScrollItem::CategoryPoints() const {
    const CFarmManager* farm = FarmManagerOf(ScreensGameOf(this));
    if (farm == nullptr || m_pDef == nullptr || m_pDef->category < 0 || m_pDef->category >= kFarmCategoryCount)
        return 0;
    return farm->m_CategoryPoints[m_pDef->category];
}

void CXShopScrollItem::RecalcPotentialPercantageGrowth() {
    if (m_pDef == nullptr) return;
    m_nCurrentPoints = CategoryPoints();
    const int inner = m_pBarBackground != nullptr ? m_pBarBackground->m_Width - kBarLeftMargin - kBarRightMargin : 0;
    m_Preview = ComputeShopPreview(m_nCurrentPoints, m_pDef->price, m_nStarThreshold, inner, kBarLeftMargin);
}

void CXShopScrollItem::RunProcess() {
    XWidget::RunProcess();
    if (CategoryPoints() != m_nCurrentPoints) RecalcPotentialPercantageGrowth();
}

bool CXShopScrollItem::Contains(int x, int y) { return m_bAffordable && OnRowButton(m_Rect, GetButtonRect(), x, y); }

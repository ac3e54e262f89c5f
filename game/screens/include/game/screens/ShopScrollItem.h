#pragma once
// One row of a farm tab of the farm shop, bound to a farm object's definition: the object's icon
// in a frame, its name, how many the player has bought for this yard, a bar that previews how far
// buying it brings its category towards the yard's next star ("+15% (60%)"), the price and a buy
// button. A row the player cannot afford shows "Can't afford", dimmed, and takes no touch; an
// affordable row takes touches only on its buy button. The row's widget id is the object's id,
// so a click reaches the shop as a click with that id.
//
// Depends on: the scroll list's row, the farm manager's points and stars, the yard's star
// thresholds, the game object's profile, sprite sets, localisation and fonts. Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "ui/ScrollDialog.h"

class CSpriteSet;
class IDibBitmap;
struct FarmObjectDef;
struct YardDef;

// What buying something of a price brings a category: with p the category's points now, q = p +
// price and T the next star's threshold (at least 1), the percentages now = p x 100 / T and after
// = q x 100 / T (truncated); "+<after - now>% " and "(<min(after, 100)>%)"; full once after
// reaches 100; and the bar's two ends (pixels from its left): the current end at p and the
// potential end at q, both kept within the bar's inner width.
struct TShopPreview {
    int now = 0;
    int after = 0;
    CommonString gainText;
    CommonString totalText;
    bool full = false;
    double currentEnd = 0;
    double potentialEnd = 0;
};
// innerWidth: the bar's width less its margins; leftMargin: where the inner part starts.
TShopPreview ComputeShopPreview(int points, int price, int threshold, int innerWidth, int leftMargin);

// The next star's threshold of a category in a yard with that many stars: the threshold of star
// min(stars, 2) + 1; at least 1 (a yard that asks for nothing counts as asking for 1 point).
int ShopStarThreshold(const YardDef& yard, int category, int stars);

// An icon fitted into the 112-pixel square of its frame, never enlarged: the scale (16.16) and
// the drawn size and its offset in the frame (24.8), centred.
struct TShopIconFit {
    FIXED_FLOAT_16 scale = kFixed16One;
    FIXED_FLOAT width = 0;
    FIXED_FLOAT height = 0;
    FIXED_FLOAT offsetX = 0;
    FIXED_FLOAT offsetY = 0;
};
TShopIconFit FitShopIcon(int iconWidth, int iconHeight, int frameWidth, int frameHeight);

class CXShopScrollItem : public CXScrollItemBase {
public:
    static constexpr int kBarLeftMargin = 5;
    static constexpr int kBarRightMargin = 6;
    static constexpr int kIconSide = 112;

    // definition: not owned, the farm manager's.
    CXShopScrollItem(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                     FarmObjectDef* definition);
    ~CXShopScrollItem() override;

    // The button's set-up, then whether the player can afford it, the images ("iconframe2",
    // "shop_coin_icon", "btn_normal" required; the category's bar set when it has frames; the
    // object's icon), the buy button's place, the texts and the preview: 0 without the definition,
    // a required image or the yard.
    int OnInitWidget() override;
    // The widget's tick; the preview follows the category's points when they change.
    void RunProcess() override;
    void Draw() override;
    // Only an affordable row, and only on its buy button (edges inside).
    bool Contains(int x, int y) override;

    // The yard (the player's current one) and the next star's threshold: false without the yard.
    bool SetupYardDef();
    // The preview for the category's points now.
    void RecalcPotentialPercantageGrowth();
    // The bar with its preview and the percentages, its top-left at (x, y), clipped.
    void DrawProgressBar(int x, int y, TCoordRect2D& clip);

    FarmObjectDef* GetDefinition() const { return m_pDef; }
    const CommonString& GetName() const { return m_Name; }
    const CommonString& GetDescription() const { return m_Desc; }
    const CommonString& GetPriceText() const { return m_PriceText; }
    const CommonString& GetOwnedText() const { return m_OwnedText; }
    const CommonString& GetGainText() const { return m_Preview.gainText; }
    const CommonString& GetTotalText() const { return m_Preview.totalText; }
    const TShopPreview& GetPreview() const { return m_Preview; }
    int GetOwnedCount() const { return m_nOwned; }
    int GetStarThreshold() const { return m_nStarThreshold; }
    int GetCurrentPoints() const { return m_nCurrentPoints; }
    bool IsAffordable() const { return m_bAffordable; }
    const TShopIconFit& GetIconFit() const { return m_IconFit; }
    IDibBitmap* GetIcon() const { return m_pIcon; }
    // Relative to the row: x, y, width, height.
    TCoordRect2D GetButtonRect() const { return {m_nButtonX, m_nButtonY, m_nButtonWidth, m_nButtonHeight}; }

private:
    // The category's points in the farm manager (0 without it).
    int CategoryPoints() const;
    void DrawButton(int x, int y, int alpha, TCoordRect2D& clip);
    void DrawTexts(int x, int y, int alpha, TCoordRect2D& clip);

    FarmObjectDef* m_pDef;
    CommonString m_Name;
    CommonString m_Desc;
    YardDef* m_pYard = nullptr;
    IDibBitmap* m_pBarBackground = nullptr;  // frames of the category's bar set, or null
    IDibBitmap* m_pBarFill = nullptr;
    int m_nStarThreshold = 1;
    int m_nCurrentPoints = 0;
    TShopPreview m_Preview;
    IDibBitmap* m_pIconFrame = nullptr;  // frame 0 of "iconframe2"
    IDibBitmap* m_pIcon = nullptr;       // frame 0 of the object's icon set, or null
    TShopIconFit m_IconFit;
    IDibBitmap* m_pCoinIcon = nullptr;  // frame 0 of "shop_coin_icon"
    CSpriteSet* m_pButtons = nullptr;   // "btn_normal": 0 normal, 1 pressed
    CommonString m_PriceText;
    CommonString m_PriceLabel;
    int m_nButtonX = 0;
    int m_nButtonY = 0;
    int m_nButtonWidth = 0;
    int m_nButtonHeight = 0;
    bool m_bAffordable = false;
    int m_nOwned = 0;
    CommonString m_OwnedText;
};

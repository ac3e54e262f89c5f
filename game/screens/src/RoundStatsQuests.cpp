// The round statistics' quest list: its rows (every yard's unlocked quests, or the placeholder),
// the purchase a tap offers, and the rows drawn with their frames, objects, ticks and yard.
#include "game/screens/RoundStatsQuests.h"

#include <algorithm>
#include <new>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/screens/RoundStatsDialog.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/SpriteLookups.h"
#include "game/widgets/GameMessages.h"
#include "render/DibBitmap.h"
#include "render/DrawLine.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"

namespace {

const CommonString kTemplateFile("ui_main.txt");
constexpr const char* kPlaceholderId = "id_dummy";
// Centres in the row (pixels from its left and top): the first object, the second, the result,
// the two signs and the yard's picture.
constexpr int kFirstX = 35, kSecondX = 115, kResultX = 195, kCentreY = 36;
constexpr int kPlusX = 75, kEqualsX = 155;
constexpr int kYardX = 270, kYardY = 32;
constexpr FIXED_FLOAT_16 kYardScale = 153 * 256, kYardPressedScale = 145 * 256;  // 153/256, 145/256
constexpr double kCaptionScale = 0.8;
constexpr int kCaptionMargin = 3;
constexpr int kTickBottom = 66;
constexpr int kFaintFrame = -128, kFrame = -64;
constexpr int kLineAlpha = 128;
constexpr int kPressShade = 95;
constexpr int kFullOpacity = 65280;

// The placeholder's four lines: the first light, the others dim.
constexpr const char* kPlaceholderLines[] = {"You have no current Quests", "Buy Birds, Plants,",
                                             "Comfort equipment and Decor", "to unlock new Mini-Quests"};

// Text centred on cx with its top at y, scaled, clipped.
void CentredText(CBitmapFontText& font, IDibBitmap* back, const char* text, double cx, double top, double scale, int r,
                 int g, int b, int alpha, TCoordRect2D& clip) {
    const double width = font.Length2(text) * scale;
    const auto to16 = [](double v) { return static_cast<FIXED_FLOAT_16>(v * 65536.0); };
    font.TextOutF(back, text, to16(cx - width / 2), to16(top), to16(scale), to16(scale), 0,
                  static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b),
                  kTextEffectNone, static_cast<unsigned char>(std::clamp(alpha, 0, 255)), &clip);
}

}  // namespace

// ---- The list -----------------------------------------------------------------------------------

CXRoundStatsQuestsScrollDialog::CXRoundStatsQuestsScrollDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                                               const WidgetContext* placement,
                                                               CXRoundStatsDialog* dialog)
    : CXScrollDialogBase(parent, templ, record, placement, dialog), m_pDialog(dialog) {
    // The dialog's buttons stand below the list.
    m_nBottomMargin = kButtonsRoom;
}

CXRoundStatsQuestsScrollDialog::~CXRoundStatsQuestsScrollDialog() = default;

int CXRoundStatsQuestsScrollDialog::OnInitWidget() { return CXScrollDialogBase::OnInitWidget(); }

int CXRoundStatsQuestsScrollDialog::GetVerticalEdgesOffset() {
    if (GetChildCount() == 1) return (m_Area.height - kRowHeight) / 2;
    return 1;
}

CXScrollItemBase* CXRoundStatsQuestsScrollDialog::CreateScrollItemObject(CXElement* parent, TTemplate* templ,
                                                                         TWidget* record,
                                                                         const WidgetContext* placement, void* data) {
    const auto* row = static_cast<const TQuestRowData*>(data);
    if (row == nullptr) return new (std::nothrow) CXRoundStatsNullQuestItem(parent, templ, record, placement);
    return new (std::nothrow) CXRoundStatsQuestsScrollItem(parent, templ, record, placement, row->set, row->quest);
}

bool CXRoundStatsQuestsScrollDialog::CreateScrollItems() {
    m_nNextRowToLoad = 0;
    m_bPlaceholder = false;
    CGameBase* game = ScreensGameOf(this);
    CFarmManager* farm = FarmManagerOf(game);
    const CMiniQuestManager* quests = game != nullptr ? FarmHostOf(game)->GetMiniQuestManager() : nullptr;
    TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    int rows = 0;
    if (farm != nullptr && quests != nullptr && profile != nullptr) {
        for (int i = 0; i < farm->GetNumYards(); ++i) {
            const YardDef* yard = farm->GetYardDef(i);
            MiniQuestsSet* set = quests->GetSet(i);
            if (yard == nullptr || set == nullptr) continue;
            const MiniQuestStatesInfo* states = profile->GetMiniQuestStatesInfo(yard->id);
            if (states == nullptr) continue;
            for (int k = 0; k < states->m_Unlocked.count; ++k) {
                const CommonString* id = states->m_Unlocked.data[k];
                MiniQuest* quest = id != nullptr ? quests->GetMiniQuest(set, *id) : nullptr;
                if (quest == nullptr) continue;
                TQuestRowData data{set, quest};
                if (!AddScrollItem(quest->id, &data)) return false;
                ++rows;
            }
        }
    }
    if (rows == 0) {
        m_bPlaceholder = true;
        if (!AddScrollItem(CommonString(kPlaceholderId), nullptr)) return false;
    }
    return true;
}

void CXRoundStatsQuestsScrollDialog::RunProcess() {
    const auto alive = LifeToken();
    CXScrollDialogBase::RunProcess();
    if (!*alive || m_bPlaceholder || m_nNextRowToLoad >= GetChildCount()) return;
    // One row's pictures a frame, so that opening the list never stalls a frame.
    if (auto* row = dynamic_cast<CXRoundStatsQuestsScrollItem*>(GetChildPtrAt(m_nNextRowToLoad))) row->LoadGraphics();
    ++m_nNextRowToLoad;
}

CommonString CXRoundStatsQuestsScrollDialog::ObjectToOffer(const MiniQuest& quest, bool firstBought,
                                                           bool secondBought) {
    if (!firstBought) return quest.buy1;
    if (!secondBought) return quest.buy2;
    return CommonString();
}

int CXRoundStatsQuestsScrollDialog::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (code != XMSG_CLICK) return XDialog::OnMessage(sender, code, wparam, lparam);
    if (m_bPlaceholder) return 1;
    const char* id = XIdText(wparam);
    CXRoundStatsQuestsScrollItem* row = nullptr;
    for (int i = 0; i < GetChildCount() && row == nullptr && id != nullptr; ++i) {
        auto* candidate = dynamic_cast<CXRoundStatsQuestsScrollItem*>(GetChildPtrAt(i));
        if (candidate != nullptr && candidate->GetRecord() != nullptr && candidate->GetRecord()->name == id)
            row = candidate;
    }
    if (row == nullptr) return XDialog::OnMessage(sender, code, wparam, lparam);
    const MiniQuest* quest = row->GetQuest();
    const MiniQuestsSet* set = row->GetSet();
    const CommonString object =
        quest != nullptr ? ObjectToOffer(*quest, row->IsFirstBought(), row->IsSecondBought()) : CommonString();
    if (set == nullptr || set->yardId.Length() == 0 || object.Length() == 0 || m_pDialog == nullptr) return 1;
    m_pDialog->SetChosenObject(set->yardId, object);
    CGameBase* game = ScreensGameOf(this);
    CFarmManager* farm = FarmManagerOf(game);
    YardDef* yard = farm != nullptr ? farm->GetYardDef(set->yardId) : nullptr;
    const FarmObjectDef* def = yard != nullptr ? farm->GetFarmObjectDef(yard, object) : nullptr;
    const TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    const bool affordable = def != nullptr && profile != nullptr && def->price <= profile->m_nCoins;
    // The round screen makes the dialogs for the chosen object and carries the purchase on.
    if (CXGameplaySurvival* round = m_pDialog->GetRound())
        (void)round->DoAction(kTemplateFile, CommonString(affordable ? "acn_buy_confirm_on" : "acn_cant_buy_on"));
    return 1;
}

// ---- A quest row --------------------------------------------------------------------------------

CXRoundStatsQuestsScrollItem::CXRoundStatsQuestsScrollItem(CXElement* parent, TTemplate* templ, TWidget* record,
                                                           const WidgetContext* placement, MiniQuestsSet* set,
                                                           MiniQuest* quest)
    : CXScrollItemBase(parent, templ, record, placement), m_pSet(set), m_pQuest(quest) {}

CXRoundStatsQuestsScrollItem::~CXRoundStatsQuestsScrollItem() { ReleaseQuestObjectPictures(m_Pictures); }

int CXRoundStatsQuestsScrollItem::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    if (m_pSet == nullptr || m_pQuest == nullptr) return 0;
    m_nQuestPresent = 1;
    CGameBase* game = ScreensGameOf(this);
    TUserProfile* profile = game != nullptr ? CurrentProfileOf(game) : nullptr;
    if (game == nullptr || profile == nullptr) return 0;
    m_pTick = FirstFrame(game->GetSpriteSetManager(), "miniquest_obj_tick");
    if (m_pTick == nullptr) return 0;
    m_bFirstBought = profile->IsFarmObjectPurchased(m_pSet->yardId, m_pQuest->buy1);
    m_bSecondBought = profile->IsFarmObjectPurchased(m_pSet->yardId, m_pQuest->buy2);
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    m_pFrames = sets != nullptr ? sets->GetSpriteSetNamed("miniquest_frames") : nullptr;
    if (m_pFrames == nullptr || m_pFrames->GetNumFrames() < 1) return 0;
    CFarmManager* farm = FarmManagerOf(game);
    CSpriteSet* yards = sets->GetSpriteSetNamed("btn_play_yards");
    const int index = farm != nullptr ? farm->GetYardIndex(m_pSet->yardId) : -1;
    if (yards == nullptr || index < 0 || index >= yards->GetNumFrames()) return 0;
    m_pYardImage = yards->GetFrame(index);
    if (m_pYardImage == nullptr) return 0;
    const YardDef* yard = farm->GetYardDef(m_pSet->yardId);
    m_Caption = CommonString("in ") + (yard != nullptr ? yard->name : CommonString());
    return 1;
}

void CXRoundStatsQuestsScrollItem::LoadGraphics() {
    CGameBase* game = ScreensGameOf(this);
    CFarmManager* farm = FarmManagerOf(game);
    if (farm == nullptr || m_pQuest == nullptr || m_bGraphicsLoaded) return;
    YardDef* yard = farm->GetYardDef(m_pSet->yardId);
    if (LoadQuestObjectPictures(game, yard, *m_pQuest, m_Pictures)) m_bGraphicsLoaded = true;
}

bool CXRoundStatsQuestsScrollItem::Contains(int x, int y) {
    return x >= m_Rect.x && x < m_Rect.x + m_Rect.width && y >= m_Rect.y && y < m_Rect.y + m_Rect.height;
}

IDibBitmap* CXRoundStatsQuestsScrollItem::FrameImage(bool result, bool second, int& alphaOffset) const {
    if (m_pFrames == nullptr) return nullptr;
    if (result || m_nQuestPresent == 0) {
        alphaOffset = kFaintFrame;
        return m_pFrames->GetFrame(0);
    }
    alphaOffset = kFrame;
    return m_pFrames->GetFrame((second ? m_bSecondBought : m_bFirstBought) ? 2 : 1);
}

void CXRoundStatsQuestsScrollItem::DrawFrame(bool result, bool second, TCoordRect2D& clip) {
    int offset = 0;
    IDibBitmap* frame = FrameImage(result, second, offset);
    if (frame == nullptr) return;
    const int opacity = GetOpacity();
    if (opacity < kFullOpacity) offset = std::clamp((offset + 255) * (opacity / 256) / 255 - 255, -255, 0);
    const int cx = m_Rect.x + (result ? kResultX : second ? kSecondX : kFirstX);
    const int cy = m_Rect.y + kCentreY;
    BitBlt_Clipped(GetBackBuffer(), frame, cx - frame->m_Width / 2, cy - frame->m_Height / 2, frame->m_Width,
                   frame->m_Height, 0, 0, offset, clip, 0);
}

void CXRoundStatsQuestsScrollItem::Draw() {
    TShopRowCanvas canvas;
    CGameBase* game = ScreensGameOf(this);
    CBitmapFontText* font =
        GetShopRowCanvas(*this, canvas) && game != nullptr ? GameFontOf(game, kGameFontSmall) : nullptr;
    if (font == nullptr) return;
    IDibBitmap* back = canvas.back;
    const TCoordRect2D& area = canvas.area;
    const int x = m_Rect.x, y = m_Rect.y, bottom = m_Rect.y + m_Rect.height;
    const int areaBottom = area.y + area.height;
    if (bottom < area.y || y > areaBottom) return;
    TCoordRect2D clip{x, area.y, m_Rect.width, area.height};
    const int textAlpha = canvas.alpha;
    const int imageOffset = textAlpha - 255;
    const int lineAlpha = GetOpacity() >= kFullOpacity ? kLineAlpha : GetOpacity() * kLineAlpha / 255 / 256;

    if (IsPressed()) {
        const int top = std::max(y, area.y), end = std::min(bottom, areaBottom);
        if (end > top) FillRectangle_Transparent(game, back, 0, top, m_Rect.width, end - top, 0, 0, 0, kPressShade);
    }
    const int lineRight = area.x + area.width;
    if (y >= area.y && y <= areaBottom) DrawLine_AA(game, 0, y, lineRight, y, 255, 255, 255, lineAlpha, lineAlpha);
    const int count = m_pParent->GetChildCount();
    if (count > 0 && m_pParent->GetChildPtrAt(count - 1) == this && bottom >= area.y && bottom <= areaBottom)
        DrawLine_AA(game, 0, bottom, lineRight, bottom, 255, 255, 255, lineAlpha, lineAlpha);
    if (!m_bGraphicsLoaded) return;

    const bool bought[2] = {m_bFirstBought, m_bSecondBought};
    const int centres[2] = {kFirstX, kSecondX};
    for (int k = 0; k < 2; ++k) {
        DrawFrame(false, k == 1, clip);
        const TQuestObjectPicture& picture = m_Pictures[k];
        DrawCentredClipped(game, back, picture.image, x + centres[k], y + kCentreY, picture.scale, imageOffset, clip);
        if (bought[k])
            BitBlt_Clipped(back, m_pTick, x + centres[k] + m_pTick->m_Width / 4, y + kTickBottom - m_pTick->m_Height,
                           m_pTick->m_Width, m_pTick->m_Height, 0, 0, imageOffset, clip, 0);
    }
    const double signTop = y + kCentreY - font->GetCharHeight() / 2.0;
    CentredText(*font, back, "+", x + kPlusX, signTop, 1.0, 255, 255, 255, textAlpha, clip);
    CentredText(*font, back, "=", x + kEqualsX, signTop, 1.0, 255, 255, 255, textAlpha, clip);
    DrawFrame(true, true, clip);
    DrawCentredClipped(game, back, m_pYardImage, x + kYardX, y + kYardY, IsPressed() ? kYardPressedScale : kYardScale,
                       imageOffset, clip);
    // Centred under the yard's picture, but never past the row's right end (a long yard name).
    const double captionTop = bottom + 3 - font->GetCharHeight() * kCaptionScale;
    const double captionWidth = font->Length2(m_Caption.GetDataConst()) * kCaptionScale;
    const double captionX = std::min<double>(x + kYardX, x + m_Rect.width - kCaptionMargin - captionWidth / 2);
    CentredText(*font, back, m_Caption.GetDataConst(), captionX, captionTop, kCaptionScale, 255, 255, 255, textAlpha,
                clip);
}

// ---- The placeholder row ------------------------------------------------------------------------

int CXRoundStatsNullQuestItem::OnInitWidget() {
    if (!XButton::OnInitWidget()) return 0;
    CGameBase* game = ScreensGameOf(this);
    m_pFrame = game != nullptr ? FirstFrame(game->GetSpriteSetManager(), "miniquest_frames") : nullptr;
    return m_pFrame != nullptr ? 1 : 0;
}

void CXRoundStatsNullQuestItem::Draw() {
    TShopRowCanvas canvas;
    CGameBase* game = ScreensGameOf(this);
    CBitmapFontText* font =
        GetShopRowCanvas(*this, canvas) && game != nullptr ? GameFontOf(game, kGameFontSmall) : nullptr;
    if (font == nullptr) return;
    TCoordRect2D clip{m_Rect.x, canvas.area.y, m_Rect.width, canvas.area.height};
    const double cx = m_Rect.x + m_Rect.width / 2.0;
    const int ch = font->GetCharHeight();
    double top = m_Rect.y - 20 + ch / 2;
    for (int i = 0; i < 4; ++i, top += ch) {
        const int level = i == 0 ? 220 : 150;
        CentredText(*font, canvas.back, kPlaceholderLines[i], cx, top, 1.0, level, level, level, canvas.alpha, clip);
    }
}

// The achievements screen and its list: set-up, input, motion and drawing.
#include "game/screens/AchScreen.h"

#include <cstring>
#include <new>

#include "app/GameBase.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ProgressHost.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "text/BitmapFont.h"
#include "text/QuorvanTextFormat.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

// The achievements with their texts and icons; null outside a game or before the loader.
CAchievementsManager* AchievementsOf(const CXElement* element) {
    IProgressHost* host = ProgressHostOf(ScreensGameOf(element));
    return host != nullptr ? host->GetAchievementsManager() : nullptr;
}

constexpr int kDescriptionMargin = 80;  // the descriptions are this much narrower than the screen
constexpr int kIconX = 10;
constexpr int kIconDy = 4;
constexpr int kTextX = 70;
constexpr int kDescriptionDy = 20;
constexpr int kDescriptionLineStep = 14;
constexpr FIXED_FLOAT_16 kDescriptionScale = 52429;  // 0.8

// Earned and still-to-do description colours.
constexpr unsigned char kEarned[3] = {150, 255, 150};
constexpr unsigned char kLocked[3] = {255, 150, 150};

bool IsClick(int code, XWPARAM wparam, const char* id) {
    const char* text = code == XMSG_CLICK ? XIdText(wparam) : nullptr;
    return text != nullptr && std::strcmp(text, id) == 0;
}

}  // namespace

// ==================================================================== the screen

CXAchScreen::CXAchScreen(CXElement* parent) : XGameRoot(parent) {}

int CXAchScreen::OnInitElement() {
    if (!InitRoot(CommonString("ui_main.txt"), "root_ach")) return 0;
    if (m_pScrollDialog == nullptr || FindChildWithWidgetId("dlg_ach_scroll") != m_pScrollDialog) return 0;
    // There is no game service on this platform.
    if (XWidget* service = FindChildWithWidgetId("btn_GC_Achievements")) service->Hide();
    return 1;
}

XWidget* CXAchScreen::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (record != nullptr && record->kind == kWidgetDialog && record->name == "dlg_ach_scroll") {
        auto* list = new (std::nothrow) CXAchScrollDialog(this, m_pTemplate, record, placement, this);
        m_pScrollDialog = static_cast<CXAchScrollDialog*>(InitOrFreeWidget(list));
        return m_pScrollDialog;
    }
    return XGameRoot::CreateAndInitChild(record, placement);
}

int CXAchScreen::OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) {
    if (IsClick(code, wparam, "btn_AchievementsOK")) {
        if (CGameBase* game = ScreensGameOf(this)) (void)game->SendMessage(game, MSG_RUN_START_MENU, 0, 0, true);
        return 1;
    }
    if (IsClick(code, wparam, "btn_GC_Achievements")) return 1;
    return XDialog::OnMessage(sender, code, wparam, lparam);
}

// ==================================================================== the list: set-up

CXAchScrollDialog::CXAchScrollDialog(CXElement* parent, TTemplate* templ, TWidget* record,
                                     const WidgetContext* placement, CXAchScreen* owner)
    : CXDrawnScrollList(parent, templ, record, placement), m_pOwner(owner) {}

CXAchScrollDialog::~CXAchScrollDialog() {
    for (int i = 0; i < m_IconSets.count; ++i) m_IconSets.data[i]->ReleaseReference();
}

CBitmapFontText* CXAchScrollDialog::Font() const { return GameFontOf(ScreensGameOf(this), kGameFontSmall); }

int CXAchScrollDialog::GetNumAchievements() {
    CAchievementsManager* achievements = AchievementsOf(this);
    return achievements != nullptr ? achievements->GetNumInfos() : 0;
}

bool CXAchScrollDialog::IsEarned(int i) const {
    const TUserProfile* profile = CurrentProfileOf(ScreensGameOf(this));
    return profile != nullptr && i >= 0 && i < kAchievementCount && profile->m_AchievementFlags[i] == 1;
}

IDibBitmap* CXAchScrollDialog::FirstFrameOf(const char* setName) {
    CGameBase* game = ScreensGameOf(this);
    CSpriteSetManager* sets = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    CSpriteSet* set = sets != nullptr && setName != nullptr ? sets->GetSpriteSetNamed(setName) : nullptr;
    if (set == nullptr || !set->AddReference()) return nullptr;
    if (!m_IconSets.Add(set)) {
        set->ReleaseReference();
        return nullptr;
    }
    return set->GetNumFrames() > 0 ? set->GetFrame(0) : nullptr;
}

int CXAchScrollDialog::OnInitWidget() {
    if (!InitList() || !LoadIcons() || !FormatAchievementDescriptions()) return 0;
    ArrangeChildren();
    m_nSpeed = 0;
    m_nOffset = m_nMinimum;
    return 1;
}

bool CXAchScrollDialog::LoadIcons() {
    CAchievementsManager* achievements = AchievementsOf(this);
    m_pLockedIcon = FirstFrameOf("AchIcon_Locked");
    if (m_pLockedIcon == nullptr || achievements == nullptr) return false;
    m_Icons.count = 0;
    for (int i = 0; i < GetNumAchievements(); ++i) {
        const TAchievementInfo* info = achievements->GetInfo(i);
        IDibBitmap* icon = info != nullptr ? FirstFrameOf(info->icon.GetDataConst()) : nullptr;
        if (icon == nullptr || !m_Icons.Add(icon)) return false;
    }
    return true;
}

bool CXAchScrollDialog::FormatAchievementDescriptions() {
    CAchievementsManager* achievements = AchievementsOf(this);
    CBitmapFontText* font = Font();
    const IDibBitmap* back = GetBackBuffer();
    if (achievements == nullptr || font == nullptr || back == nullptr) return false;
    m_Descriptions.RemoveAll();
    for (int i = 0; i < GetNumAchievements(); ++i) {
        auto* format = new (std::nothrow) CQuorvanTextFormat();
        if (!m_Descriptions.AddOwned(format)) return false;
        const TAchievementInfo* info = achievements->GetInfo(i);
        const CommonString* text = info == nullptr ? nullptr : IsEarned(i) ? &info->desc1 : &info->desc0;
        // An empty description stays an empty format.
        if (text != nullptr && text->Length() > 0 &&
            !format->FormatText(back->m_Width - kDescriptionMargin, font, text->GetDataConst()))
            return false;
    }
    return true;
}

const CQuorvanTextFormat* CXAchScrollDialog::GetDescription(int i) const {
    return i >= 0 && i < m_Descriptions.count ? m_Descriptions.data[i] : nullptr;
}

void CXAchScrollDialog::ArrangeChildren() {
    m_Rect = m_Visible;
    m_Rect.height = kRowHeight * GetNumAchievements();
    SetLimits(kMinimumOffset, m_Rect.height);
    m_nOffset = kMinimumOffset;
    RecalcCurrentOffsetY();
}

void CXAchScrollDialog::RecalcCurrentOffsetY() {
    const int dy = -(m_nOffset >> 8) - m_Rect.y;
    if (dy != 0) OffsetWidgetPosition(0, dy);
}

// ==================================================================== the list: motion and drawing

void CXAchScrollDialog::RunProcess() {
    const auto alive = LifeToken();
    XGameDialog::RunProcess();
    if (!*alive) return;
    if (!FingerDown()) StepMotion();
    RecalcCurrentOffsetY();
    ProcessScrollBar();
}

void CXAchScrollDialog::ProcessScrollBar() {
    // The bar is as long as the share of the list in view (never longer than the area); a list
    // that fits has no range to divide by and gets a bar over the whole area.
    m_Bar.Update(m_nOffset, m_nMinimum, m_nMaximum, m_Visible.width, m_Visible.height, ShouldDrawScrollBar(), 0.0, 1.0);
}

void CXAchScrollDialog::Draw() {
    CAchievementsManager* achievements = AchievementsOf(this);
    IDibBitmap* back = GetBackBuffer();
    if (ScreensGameOf(this) == nullptr || back == nullptr) return;
    const int opacity = GetOpacity() >> 8;
    DrawShade(back);
    CBitmapFontText* font = Font();
    TCoordRect2D clip = m_Visible;
    const TCoordRect2D iconClip{m_Visible.x, m_Visible.y, m_Visible.width + 1, m_Visible.height};
    for (int i = 0; i < GetNumAchievements() && opacity > 0; ++i) {
        const int top = m_Visible.y - (m_nOffset >> 8) + kRowHeight * i;
        if (top + kRowHeight <= m_Visible.y || top >= m_Visible.y + m_Visible.height) continue;
        const bool earned = IsEarned(i);
        IDibBitmap* icon = earned && i < m_Icons.count ? m_Icons.data[i] : m_pLockedIcon;
        if (icon != nullptr)
            BitBlt_Clipped(back, icon, kIconX, top + kIconDy, icon->m_Width, icon->m_Height, 0, 0, opacity - 255,
                           iconClip, 0);
        if (font == nullptr) continue;
        const TAchievementInfo* info = achievements->GetInfo(i);
        if (info != nullptr && info->name.Length() > 0)
            font->TextOut(back, kTextX, top, info->name.GetDataConst(), 255, 255, 255, 0,
                          static_cast<unsigned char>(opacity), &clip);
        const CQuorvanTextFormat* lines = GetDescription(i);
        const unsigned char* colour = earned ? kEarned : kLocked;
        for (int n = 0; lines != nullptr && n < lines->GetNumStrings(); ++n) {
            const CommonString* line = lines->GetString(n);
            if (line == nullptr || line->Length() == 0) continue;
            const int y = top + kDescriptionDy + kDescriptionLineStep * n;
            font->TextOutF(back, line->GetDataConst(), kTextX << 16, y << 16, kDescriptionScale, kDescriptionScale, 0,
                           colour[0], colour[1], colour[2], 0, static_cast<unsigned char>(opacity), &clip);
        }
    }
    DrawEdgeLines();
    DrawScrollBar();
}

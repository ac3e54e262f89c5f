// The screen root's transition, drawing, initialisation and widget factory.
#include "game/widgets/GameRoot.h"

#include <algorithm>
#include <iterator>

#include "audio/SoundManager.h"
#include "game/app/TheGameOf.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmProgress.h"
#include "game/news/NewsWidgets.h"
#include "game/screens/AddCoinsDialog.h"
#include "game/widgets/InAppWaitDlg.h"
#include "game/screens/PlayerDialogs.h"
#include "game/screens/RoundStatsDialog.h"
#include "game/screens/StatsDialog.h"
#include "render/DibBitmap.h"
#include "render/DrawingHelpers.h"
#include "render/DrawingUtils.h"
#include "render/ImageLoaders.h"
#include "render/ImageRotatorScaler.h"
#include "render/RenderHost.h"
#include "ui/GameButton.h"
#include "ui/GameDialog.h"
#include "ui/GameProgress.h"
#include "ui/GameStretchImage.h"
#include "ui/Template.h"
#include "ui/TemplateRecords.h"
#include "ui/WidgetMakers.h"

namespace {

constexpr int kEffectStep = 16;
constexpr int kCurtainFull = 255;
// The soft edge of the falling curtain and of the rising one, in pixels.
constexpr int kOutEdge = 200;
constexpr int kInEdge = 255;
constexpr FIXED_FLOAT kFullTurn = 360 * 256;
constexpr FIXED_FLOAT kPostEffectTurnPerTick = 64;    // 0.25 degree
constexpr FIXED_FLOAT_16 kPostEffectScale = 0x28000;  // 2.5
constexpr int kPostEffectAlphaOffset = -220;

// The round statistics, given the round that is running.
XWidget* MakeRoundStatsDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement) {
    CTheGame* game = TheGameOf(parent);
    CXGameplaySurvival* round = game != nullptr ? game->m_pGameplayScreen : nullptr;
    return new (std::nothrow) CXRoundStatsDialog(parent, templ, record, placement, round);
}

// The game's classes for children made directly under a screen, by record kind and id; the first
// matching row wins, and a record no row takes is built as the dialog's own class. A row whose
// class is not written yet makes the game widget of its kind until its class takes the row.
const TWidgetMakerRow kScreenWidgetMakers[] = {
    {kWidgetButton, "btn_startmenu_news", MakeWidget<CXNewsButton>},
    {kWidgetButton, nullptr, MakeWidget<XGameButton>},
    {kWidgetDialog, "dlg_news", MakeWidget<CXNewsDialog>},
    {kWidgetDialog, "dlg_EnterName", MakeWidget<CXEditName>},
    {kWidgetDialog, "dlg_Players", MakeWidget<CXPlayers>},
    {kWidgetDialog, "dlg_remove_user", MakeWidget<CXRemovePlayer>},
    {kWidgetDialog, "dlg_lang", MakeWidget<CXLanguageDialog>},
    {kWidgetDialog, "dlg_level_failed2", MakeRoundStatsDialog},
    {kWidgetDialog, "dlg_addcoins", MakeWidget<CXAddCoinsFullScreenContainerDlg>},
    {kWidgetDialog, "dlg_InAppWait", MakeWidget<CXInAppWaitDlg>},
    {kWidgetDialog, "dlg_stats", MakeWidget<CXStatsDialog>},
    {kWidgetDialog, nullptr, MakeWidget<XGameDialog>},
    {kWidgetProgress, "pb_birds", MakeFarmProgress<kCategoryBirds>},
    {kWidgetProgress, "pb_plants", MakeFarmProgress<kCategoryPlants>},
    {kWidgetProgress, "pb_comfort", MakeFarmProgress<kCategoryComfort>},
    {kWidgetProgress, "pb_decor", MakeFarmProgress<kCategoryDecor>},
    {kWidgetProgress, nullptr, MakeWidget<XGameProgress>},
    {kWidgetImage, "img_DlgBg2", MakeWidget<XGameStretchImage>},
    {kWidgetImage, "img_bg", MakeWidget<XGameStretchImage>},
};

// A black band from top to bottom whose alpha runs from alphaTop to alphaBottom: one smooth-shaded
// quad on GL, a transparent fill per row on a software back buffer.
void DrawBlackGradient(CGameBase* game, IDibBitmap* dst, int width, int top, int bottom, int alphaTop,
                       int alphaBottom) {
    if (bottom <= top) return;
    if (IsGlesRenderer(game)) {
        const int colours[16] = {0, 0, 0, alphaTop, 0, 0, 0, alphaTop, 0, 0, 0, alphaBottom, 0, 0, 0, alphaBottom};
        DrawQuad(game, dst, 0, 0, top, width, top, width, bottom, 0, bottom, colours);
        return;
    }
    const int first = std::max(top, 0);
    const int last = std::min(bottom, dst->m_Height);
    for (int y = first; y < last; ++y) {
        // The alpha at the row's centre, as the shaded quad gives it.
        const int alpha = alphaTop + (alphaBottom - alphaTop) * (2 * (y - top) + 1) / (2 * (bottom - top));
        FillRectangle_Transparent(game, dst, 0, y, width, 1, 0, 0, 0, alpha);
    }
}

void PlayTransitionSound(CTheGame* game, const char* name) {
    if (game != nullptr && game->m_pSoundManager != nullptr) (void)game->m_pSoundManager->PlaySoundFX(name, false);
}

}  // namespace

XGameRoot* AsGameRoot(CXElement* element) {
    if (element == nullptr || !element->IsWidget()) return nullptr;
    auto* root = dynamic_cast<XGameRoot*>(element);
    return root != nullptr && root->IsRoot() ? root : nullptr;
}

XGameRoot::XGameRoot(CXElement* parent) : XCachedTemplateRoot(parent) {}

XGameRoot::~XGameRoot() { SafeDelete(m_pLivePostEffectImage); }

CTheGame* XGameRoot::TheGame() const { return TheGameOf(this); }

void XGameRoot::RunProcess() {
    // A child's message may switch the screen at once and delete this root with it.
    if (!RunProcessChildren()) return;
    if (!m_bLivePostEffect) return;
    m_nLivePostEffectAngle += kPostEffectTurnPerTick;
    if (m_nLivePostEffectAngle >= kFullTurn) m_nLivePostEffectAngle -= kFullTurn;
}

void XGameRoot::Draw() { XDialog::Draw(); }

int XGameRoot::OnInitWidget() {
    if (!XCachedTemplateRoot::OnInitWidget()) return 0;
    StartEffectIn();
    if (!m_bLivePostEffect) return 1;
    CTheGame* game = TheGame();
    if (game == nullptr) return 0;
    // The sun keeps its full colour and alpha: it is drawn additively, where 16-bit banding shows.
    bool& trueColour = game->m_RenderSwitches.m_bTrueColorImages;
    const bool before = trueColour;
    trueColour = true;
    const CommonString path = game->GetImagesDirectory() + CommonString("ui\\startmenu\\menu_sun2");
    m_pLivePostEffectImage = ImageLoad(game, path.GetDataConst(), nullptr);
    trueColour = before;
    return m_pLivePostEffectImage != nullptr ? 1 : 0;
}

int XGameRoot::InitRoot(const CommonString& file, const char* rootName) {
    m_RootName = CommonString(rootName != nullptr ? rootName : "");
    if (XCachedTemplateRoot::InitRoot(file, rootName)) return 1;
    TTemplate* templ = FindCachedTemplate(file.GetData());
    const TWidget* record = templ != nullptr && rootName != nullptr ? templ->GetWidget(rootName) : nullptr;
    if (templ == nullptr)
        NoteFailure(file + CommonString(" cannot be read"));
    else if (record == nullptr)
        NoteFailure(file + CommonString(" has no root record ") + m_RootName);
    else
        NoteFailure(file + CommonString(": the widgets of ") + m_RootName + CommonString(" cannot be built"));
    return 0;
}

void XGameRoot::NoteFailure(const CommonString& why) {
    if (m_Failure.Length() == 0) m_Failure = why;
}

XWidget* XGameRoot::CreateAndInitChild(TWidget* record, const WidgetContext* placement) {
    if (TWidgetMaker make = FindWidgetMaker(kScreenWidgetMakers, record))
        return MakeAndInitWidget(make, this, m_pTemplate, record, placement);
    return XCachedTemplateRoot::CreateAndInitChild(record, placement);
}

void XGameRoot::StartEffectIn() {
    m_bEffectIn = true;
    m_bEffectOut = false;
    m_nEffectProgress = 0;
}

void XGameRoot::StartEffectOut() {
    m_nEffectProgress = 0;
    m_bEffectOut = true;
    m_bEffectIn = false;
    PlayTransitionSound(TheGame(), "SFX_SCREEN_TRANSITION");
}

int XGameRoot::RunEffectProgress() {
    if (m_bEffectOut) {
        if (m_nEffectProgress > kCurtainFull - 1) {
            m_bEffectOut = false;
            // The delivery normally deletes this root with every other screen: nothing of it is
            // touched afterwards, and the transition counts as running for this frame.
            CheckAndSendSavedMessage();
            return 1;
        }
        m_nEffectProgress = std::min(m_nEffectProgress + kEffectStep, kCurtainFull);
        return 1;
    }
    if (m_bEffectIn) {
        if (m_nEffectProgress == 0) PlayTransitionSound(TheGame(), "SFX_SCREEN_TRANSITION2");
        m_nEffectProgress += kEffectStep;
        if (m_nEffectProgress > kCurtainFull - 1) m_bEffectIn = false;
        return 1;
    }
    return 0;
}

void XGameRoot::DrawEffectProgress() {
    Draw();
    DrawCurtain();
}

void XGameRoot::DrawCurtain() {
    CTheGame* game = TheGame();
    IDibBitmap* back = GetBackBuffer();
    if (game == nullptr || back == nullptr) return;
    const int w = back->m_Width;
    const int h = back->m_Height;
    const int p = m_nEffectProgress;
    if (m_bEffectOut) {
        const int bottom = p * (h + kOutEdge) / kCurtainFull;
        const int top = bottom - kOutEdge;
        if (top > 0) back->FillRectangle(0, 0, w, top, 0, 0, 0);
        DrawBlackGradient(game, back, w, top, bottom, 255, 0);
    } else if (m_bEffectIn) {
        const int edge = p * (h + kInEdge) / kCurtainFull;
        if (edge < h) back->FillRectangle(0, edge, w, h + 5 - edge, 0, 0, 0);
        DrawBlackGradient(game, back, w, edge - kInEdge, edge, 0, 255);
    }
}

void XGameRoot::DrawLivePostEffect() {
    CTheGame* game = TheGame();
    IDibBitmap* back = GetBackBuffer();
    if (!m_bLivePostEffect || m_pLivePostEffectImage == nullptr || game == nullptr || back == nullptr ||
        game->m_pRotatorScaler == nullptr)
        return;
    game->m_pRotatorScaler->DrawRotatedBitmapAdditive(m_pLivePostEffectImage, back, (back->m_Width / 2) << 8,
                                                      (back->m_Height / 2) << 8, m_nLivePostEffectAngle,
                                                      kPostEffectScale, 255, 255, 0, kPostEffectAlphaOffset, 0);
}

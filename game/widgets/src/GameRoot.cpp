// The screen root's transition, drawing, initialisation and widget factory.
#include "game/widgets/GameRoot.h"

#include <algorithm>
#include <iterator>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "game/widgets/WidgetsHost.h"
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

void PlayTransitionSound(CGameBase* game, const char* name) {
    CSoundManager* sounds = game != nullptr ? game->GetSoundManager() : nullptr;
    if (sounds != nullptr) (void)sounds->PlaySoundFX(name, false);
}

}  // namespace

XGameRoot* AsGameRoot(CXElement* element) {
    if (element == nullptr || !element->IsWidget()) return nullptr;
    auto* root = dynamic_cast<XGameRoot*>(element);
    return root != nullptr && root->IsRoot() ? root : nullptr;
}

XGameRoot::XGameRoot(CXElement* parent) : XCachedTemplateRoot(parent) {}

XGameRoot::~XGameRoot() { SafeDelete(m_pLivePostEffectImage); }

CGameBase* XGameRoot::GameBase() const { return dynamic_cast<CGameBase*>(GetGamePtr()); }

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
    CGameBase* game = GameBase();
    if (game == nullptr) return 0;
    // The sun keeps its full colour and alpha: it is drawn additively, where 16-bit banding shows.
    bool& trueColour = game->RenderSwitches().m_bTrueColorImages;
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
    IWidgetsHost* host = WidgetsHostOf(GetGamePtr());
    if (TWidgetMaker make = host != nullptr ? FindWidgetMaker(host->ScreenWidgetMakers(), record) : nullptr)
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
    PlayTransitionSound(GameBase(), "SFX_SCREEN_TRANSITION");
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
        if (m_nEffectProgress == 0) PlayTransitionSound(GameBase(), "SFX_SCREEN_TRANSITION2");
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
    CGameBase* game = GameBase();
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
    CGameBase* game = GameBase();
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    if (!m_bLivePostEffect || m_pLivePostEffectImage == nullptr || rotator == nullptr || back == nullptr) return;
    rotator->DrawRotatedBitmapAdditive(m_pLivePostEffectImage, back, (back->m_Width / 2) << 8,
                                                      (back->m_Height / 2) << 8, m_nLivePostEffectAngle,
                                                      kPostEffectScale, 255, 255, 0, kPostEffectAlphaOffset, 0);
}

void XGameRoot::CheckAndSendSavedMessage() {
    // Copied first: the delivery normally deletes every open screen, this root among them.
    const TSavedMessage message = GetSavedMessage();
    IWidgetsHost* host = WidgetsHostOf(GetGamePtr());
    if (host == nullptr || message.code == 0) return;
    host->DeliverScreenSwitch(this, message);
}

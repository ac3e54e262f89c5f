#include "game/widgets/InAppWaitDlg.h"

#include <algorithm>

#include "app/GameBase.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "render/ImageRotatorScaler.h"

namespace {

constexpr FIXED_FLOAT kFullTurn = 360 * 256;
constexpr int kFramesPerStep = 2;
constexpr int kCentreDrop = 50;
// Each spoke turns about a point on its axis 1.59375 (408/256) of its height below its top.
constexpr int kPivotPerHeight = 408;           // 24.8 pixels per pixel of height
constexpr FIXED_FLOAT_16 kSpokeScale = 0xCCCD;  // 0.8
// Each spoke behind the leading one is this much fainter.
constexpr int kSpokeFade = 21;
constexpr int kShadowOffset = 2;
constexpr int kBlendNormal = 0;
constexpr int kBlendMultiply = 2;

}  // namespace

CXInAppWaitDlg::CXInAppWaitDlg(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement)
    : XGameDialog(parent, templ, record, placement) {}

CXInAppWaitDlg::~CXInAppWaitDlg() { SafeDelete(m_pSpoke); }

int CXInAppWaitDlg::OnInitWidget() {
    if (!XDialog::OnInitWidget()) return 0;
    CGameBase* game = dynamic_cast<CGameBase*>(GetGamePtr());
    if (game == nullptr) return 0;
    const CommonString path = game->GetImagesDirectory() + CommonString("particles\\line_circle");
    m_pSpoke = ImageLoad(game, path.GetDataConst(), nullptr);
    return m_pSpoke != nullptr ? 1 : 0;
}

void CXInAppWaitDlg::RunProcess() {
    const auto alive = LifeToken();
    XDialog::RunProcess();
    if (!*alive) return;
    if (++m_nFrameCounter < kFramesPerStep) return;
    m_nFrameCounter = 0;
    m_nAngle += kSpokeTurn;
    if (m_nAngle >= kFullTurn) m_nAngle -= kFullTurn;
}

void CXInAppWaitDlg::Draw() {
    XGameDialog::Draw();
    CGameBase* game = dynamic_cast<CGameBase*>(GetGamePtr());
    CQuorvanImageRotatorScaler* rotator = game != nullptr ? game->GetRotatorScaler() : nullptr;
    IDibBitmap* back = GetBackBuffer();
    const int opacity = GetOpacity() >> 8;
    if (opacity <= 0 || m_pSpoke == nullptr || back == nullptr || rotator == nullptr)
        return;
    // The dialog covers the screen: without a size of its own it takes the back buffer's.
    const TCoordRect2D rect = GetDrawingRect();
    const FIXED_FLOAT x = (back->m_Width / 2) << 8;
    const FIXED_FLOAT y = (rect.y + kCentreDrop + rect.height / 2) << 8;
    const int pivotX = (m_pSpoke->m_Width << 8) / 2;
    const int pivotY = m_pSpoke->m_Height * kPivotPerHeight;
    for (int k = 0; k < kSpokes; ++k) {
        FIXED_FLOAT angle = m_nAngle - k * kSpokeTurn;
        if (angle < 0) angle += kFullTurn;
        const int alphaOffset = std::max(opacity - 255 - kSpokeFade * k, -255);
        const FIXED_FLOAT shadow = kShadowOffset << 8;
        rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(
            m_pSpoke, back, x + shadow, y + shadow, angle, pivotX, pivotY, kSpokeScale, kBlendMultiply, alphaOffset, 0,
            0, 0, 0);
        rotator->DrawRotatedBitmapWithSourceOriginWithBlendMode(
            m_pSpoke, back, x, y, angle, pivotX, pivotY, kSpokeScale, kBlendNormal, alphaOffset, 255, 255, 255, 0);
    }
}

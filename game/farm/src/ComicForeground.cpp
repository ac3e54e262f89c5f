#include "game/farm/ComicForeground.h"

#include <algorithm>
#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/Chicken.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmYard.h"
#include "game/farm/YardCamera.h"
#include "render/ImageRotatorScaler.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

// The flare blinks while the flash counter is 1 to 26 and has this bit set.
constexpr int kFlareLastFrame = 26;
constexpr int kFlareBlinkBit = 4;
// Where the flare sits on each board, pixels from the anchor (x mirrored with the board).
constexpr int kFlareX[2] = {-20, 20};
constexpr int kFlareY[2] = {-60, -65};
// A posing bird stands at least this far behind the board.
constexpr FIXED_FLOAT kBehindTheBoard = 20 * 256;

}  // namespace

CComicForeground::CComicForeground(CGameBase* game, const char* id) : CFarmDecorObject(game, id) {
    m_nKind = kFarmObjectPhotoStand;
}

bool CComicForeground::Init(int argument) {
    if (!CFarmDecorObject::Init(argument)) return false;
    m_FaceHole = TVector2D{m_pDef->faceOffset[0] * 256, m_pDef->faceOffset[1] * 256};
    CSpriteSetManager* sets = m_pGame->GetSpriteSetManager();
    m_pFlare = sets != nullptr ? sets->GetSpriteSetNamed("PhotoFlare") : nullptr;
    if (m_pFlare == nullptr) return false;
    m_bFirstStand = m_Id.IsEqual("photostand01");
    m_uFlags &= ~kFarmFlagRotatable;
    return true;
}

void CComicForeground::Draw(int passes) {
    CFarmDecorObject::Draw(passes);
    if ((passes & kDrawBody) == 0 || m_pFlare == nullptr) return;
    IFarmYard* yard = GetYard();
    if (yard == nullptr || yard->GetPhotoStand() != this) return;
    const int counter = yard->GetCameraFlashCounter();
    if (counter < 1 || counter > kFlareLastFrame || (counter & kFlareBlinkBit) == 0) return;
    CQuorvanImageRotatorScaler* rotator = m_pGame->GetRotatorScaler();
    IDibBitmap* flare = m_pFlare->GetFrame(0);
    if (rotator == nullptr || flare == nullptr) return;
    const std::int64_t ss = ObjectScale();
    const int board = m_bFirstStand ? 0 : 1;
    const int dx = IsRotated() ? -kFlareX[board] : kFlareX[board];
    const TVector2D anchor = ScreenPosition();
    const FIXED_FLOAT x = anchor.x + static_cast<FIXED_FLOAT>((dx * 256 * ss) >> 16);
    const FIXED_FLOAT y = anchor.y + static_cast<FIXED_FLOAT>((kFlareY[board] * 256 * ss) >> 16);
    rotator->DrawRotatedBitmapAdditive(flare, BackBuffer(), x, y, 0, static_cast<FIXED_FLOAT_16>(ss / 2), 255, 255, 255,
                                       0, 0);
}

void CComicForeground::OnBeginDragging() {
    CFarmDecorObject::OnBeginDragging();
    IFarmYard* yard = GetYard();
    if (yard != nullptr && yard->GetPhotoStand() == this) yard->StopCameraFlash();
}

TVector2D CComicForeground::GetSpotPointForChicken(CChicken* bird) {
    const std::int64_t ss = ObjectScale();
    const TVector2D anchor = ScreenPosition();
    const TVector2D face = bird != nullptr ? bird->m_FaceOffset : TVector2D{};
    TVector2D screen;
    screen.x =
        anchor.x + static_cast<FIXED_FLOAT>((ss * m_FaceHole.x) >> 16) - static_cast<FIXED_FLOAT>((ss * face.x) >> 16);
    screen.y =
        anchor.y + static_cast<FIXED_FLOAT>((ss * m_FaceHole.y) >> 16) - static_cast<FIXED_FLOAT>((ss * face.y) >> 16);
    TVector2D world = ScreenToWorld(m_pGame, screen);
    world.y = std::max(std::min(world.y, m_Position.y - kBehindTheBoard), 0);
    return world;
}

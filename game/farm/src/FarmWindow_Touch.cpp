// The yard screen's touches: which object a finger picks, taps with their rings, dragging within
// the yard, and a bird or robot dropped next to a decor object going to visit it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "app/GameBase.h"
#include "core/QuorvanUtils.h"
#include "game/farm/Chicken.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmWindow.h"
#include "game/farm/YardCamera.h"
#include "game/gameplay/GameplayMath.h"
#include "game/gameplay/TiledBGTutorial.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "render/DibBitmap.h"

namespace {

// A move counts from this far (24.8; 15 pixels) from the press on either axis.
constexpr FIXED_FLOAT kMoveThreshold = kDragStartPx * 256 - 1;
// No candidate is farther than this from a touch (pixels): the first of the list then wins.
constexpr double kFarthestCandidatePx = 1000.0;

bool MovedFar(TVector2D d) { return std::abs(d.x) > kMoveThreshold || std::abs(d.y) > kMoveThreshold; }

// The candidate whose rectangle centre lies nearest the touch (24.8); on equal distances the one
// met first stays.
CFarmObject* Nearest(const CQuorvanArray<CFarmObject*>& list, FIXED_FLOAT tx, FIXED_FLOAT ty) {
    CFarmObject* best = nullptr;
    double bestDistance = kFarthestCandidatePx;
    for (int i = 0; i < list.count; ++i) {
        const TRect2D r = list[i]->GetObjectRect();
        const std::int64_t cx = std::int64_t{r.x} + r.width / 2, cy = std::int64_t{r.y} + r.height / 2;
        const double distance = gameplay::PathLengthPx(cx - tx, cy - ty);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = list[i];
        }
    }
    return best != nullptr ? best : list[0];
}

}  // namespace

int CXFarmWindow::NotifyPointerEvent(int x, int y, int type) {
    if (FindModalChild() != nullptr) return XGameRoot::NotifyPointerEvent(x, y, type);
    // The hint is drawn over the widgets: its close button is pressed before what lies under it,
    // and the press then goes on as usual.
    if (m_pHint != nullptr && m_pHint->IsShown() && type == XPOINTER_PRESS && m_pHint->HitTestCloseButton(x, y)) {
        m_pHint->FadeOut();
        TUserProfile* profile = FarmHost() != nullptr ? CurrentProfileOf(GameBase()) : nullptr;
        const int kind = m_pHint->GetKind();
        if (profile != nullptr && kind >= 0 && kind < kHintFlagCount) profile->m_HintFlags[kind] = true;
    }
    if (!m_bDragging && CXElement::NotifyPointerEvent(x, y, type)) return 1;
    if (m_pObjects != nullptr) {
        if (type == XPOINTER_PRESS) OnPress(x, y);
        if (type == XPOINTER_MOVE) OnMove(x, y);
        if (type == XPOINTER_RELEASE) OnRelease(x, y);
    }
    return XGameRoot::NotifyPointerEvent(x, y, type);
}

void CXFarmWindow::OnPress(int x, int y) {
    CFarmObject* previous = m_pSelection;
    m_bTap = true;
    m_pSelection = HitTestObjectToSelectAt(x, y);
    // Every press counts: a later move measures from here even when nothing was picked.
    m_PressPoint = TVector2D{x * 256, y * 256};
    if (m_pSelection != previous) UpdateUIOnSelectionChanged();
    if (m_pSelection != nullptr) m_pSelection->OnSelectStarted();
}

void CXFarmWindow::OnMove(int x, int y) {
    const TVector2D d{x * 256 - m_PressPoint.x, y * 256 - m_PressPoint.y};
    if (m_pSelection == nullptr) {
        if (MovedFar(d)) m_bTap = false;
        return;
    }
    if (!m_bDragging) {
        if (!MovedFar(d)) return;
        m_bDragging = true;
        const TVector2D at = WorldToScreen(GameBase(), m_pSelection->m_Position);
        m_GrabOffset = TVector2D{m_PressPoint.x - at.x, m_PressPoint.y - at.y};
        m_pSelection->OnBeginDragging();
        return;
    }
    const IDibBitmap* back = GetBackBuffer();
    const int w = back != nullptr ? back->m_Width : 0, h = back != nullptr ? back->m_Height : 0;
    TVector2D p{x * 256 - m_GrabOffset.x, y * 256 - m_GrabOffset.y};
    p.x = std::clamp(p.x, 0, w * 256);
    p.y = std::clamp(p.y, 0, h * 256);
    TVector2D world = ScreenToWorld(GameBase(), p);
    world.x = std::clamp(world.x, 0, kYardWidth);
    world.y = std::max(world.y, CalcDragAreaTop(m_pSelection));
    world.y = std::min(world.y, kYardDepth);
    m_pSelection->m_Position = world;
}

void CXFarmWindow::OnRelease(int x, int y) {
    if (!m_bDragging && m_bTap) {
        if (m_pSelection != nullptr) m_pSelection->OnTap();
        AddTapRing(x, y);
    } else if (m_bDragging && m_pSelection != nullptr) {
        m_pSelection->OnEndDragging();
        const int kind = m_pSelection->m_nKind;
        if (kind == kFarmObjectChicken || kind == kFarmObjectRobot) DropNearSpot(m_pSelection);
    }
    m_bTap = false;
    m_bDragging = false;
    if (m_pSelection != nullptr) m_pSelection->OnSelectFinished();
}

void CXFarmWindow::DropNearSpot(CFarmObject* creature) {
    CFarmObject* target = FarmHost()->GetFarmManager()->FindAvailableSpotToVisit(creature);
    if (target == nullptr) return;
    auto* visitor = static_cast<CChicken*>(creature);
    if (target->FindFreeSpot() != -1) {
        visitor->ChangeStateToVisitSpot(target);
        return;
    }
    // Every spot is taken: the bird standing farthest from its spot makes room and walks off.
    CChicken* evicted = static_cast<CFarmDecorObject*>(target)->ReleaseSpotForChicken();
    visitor->ChangeStateToVisitSpot(target);
    if (evicted != nullptr) evicted->ChangeState(kChickenWalk, true, true);
}

CFarmObject* CXFarmWindow::HitTestObjectToSelectAt(int x, int y) {
    if (m_pObjects == nullptr) return nullptr;
    CQuorvanArray<CFarmObject*> birds, others;
    for (int i = m_pObjects->count - 1; i >= 0; --i) {
        CFarmObject* object = (*m_pObjects)[i];
        if ((object->m_uFlags & kFarmFlagSelectable) == 0) continue;
        const TRect2D r = object->GetObjectRect();
        if (r.width <= 0 || r.height <= 0 || !PtInRect(x, y, &r)) continue;
        (void)(object->m_nKind == kFarmObjectChicken ? birds.Add(object) : others.Add(object));
    }
    // Birds always win: a bird in front of a large decor object is what the finger means.
    const CQuorvanArray<CFarmObject*>& list = birds.count > 0 ? birds : others;
    if (list.count == 0) return nullptr;
    if (list.count == 1) return list[0];
    return Nearest(list, x * 256, y * 256);
}

FIXED_FLOAT CXFarmWindow::CalcDragAreaTop(CFarmObject* object) {
    if (object == nullptr || object->m_pDef == nullptr) return 0;
    const double s0 = WorldToScreenScale(TVector2D{0, 0}) / 65536.0;
    if (s0 <= 0) return 0;
    const double k = object->m_pDef->scale / 65536.0;
    const double height = object->m_Size.y / 256.0;
    double top;
    if (object->m_pDef->dragBottomOffset != kNoDragBottomOffset)
        top = s0 * k * object->m_pDef->dragBottomOffset;
    else if ((object->m_uFlags & kFarmFlagGround) != 0)
        top = k * height;
    else
        top = s0 * k * height;
    return static_cast<FIXED_FLOAT>(std::floor(top * 256.0 + 0.5));
}

void CXFarmWindow::MoveObjectToScreenPosition(CFarmObject* object, TVector2D screen) {
    if (object != nullptr) object->m_Position = ScreenToWorld(GameBase(), screen);
}

#include "game/farm/FarmObject.h"

#include <cstdint>

#include "app/GameBase.h"
#include "core/Serializer.h"
#include "game/farm/Chicken.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/farm/YardCamera.h"
#include "particles/RandomTables.h"

CFarmObject::CFarmObject(CGameBase* game, const char* id) : m_pGame(game), m_Id(id) {}

CFarmObject::~CFarmObject() {
    for (CChicken*& occupant : m_pOccupants) occupant = nullptr;
}

bool CFarmObject::Init(int /*argument*/) {
    if (m_Id.Length() == 0 || m_pGame == nullptr) return false;
    CFarmManager* farm = GetFarmManager();
    if (farm == nullptr) return false;
    m_pDef = farm->GetFarmObjectDef(farm->GetCurrentYardDef(), m_Id);
    if (m_pDef == nullptr) return false;
    m_uFlags |= m_pDef->flags;
    if (m_pDef->spot.Length() > 0 && m_pDef->spotPoints.count > 0) m_nSpotType = SpotTypeFromName(m_pDef->spot);
    return true;
}

int CFarmObject::GetNumSpotPoints() const {
    if (m_pDef == nullptr || m_pDef->spot.Length() == 0) return 0;
    return m_pDef->spotPoints.count;
}

int CFarmObject::FindFreeSpot() {
    int spots = GetNumSpotPoints();
    if (spots > kMaxSpotOccupants) spots = kMaxSpotOccupants;
    int free[kMaxSpotOccupants];
    int freeCount = 0;
    for (int i = 0; i < spots; ++i)
        if (m_pOccupants[i] == nullptr) free[freeCount++] = i;
    if (freeCount == 0) return -1;
    return free[NextGameRandom() % freeCount];
}

bool CFarmObject::IsAvailailableSpotToVisit(bool withBird) {
    if (m_bDragging || m_nSpotType == 0 || GetNumSpotPoints() == 0) return false;
    return withBird || FindFreeSpot() >= 0;
}

bool CFarmObject::Serialize(IFile* file, bool save) {
    SerializeHelper2 io{file, true, save, 0};
    io.Serialize(m_uSerialId);
    io.Serialize(m_Position);
    io.Serialize(m_Size);
    // Nothing in the game puts an object outside the yard: a place outside it is damage (and a
    // depth there would divide by zero in the camera at 658).
    if (!save && (m_Position.x < 0 || m_Position.x > kYardWidth || m_Position.y < 0 || m_Position.y > kYardDepth))
        return false;
    return io.Succeeded() != 0;
}

void CFarmObject::SendOccupantsAway() {
    for (CChicken*& occupant : m_pOccupants) {
        CChicken* bird = occupant;
        if (bird == nullptr) continue;
        occupant = nullptr;
        if (bird->m_pDestination == this) bird->m_pDestination = nullptr;
        bird->ChangeState(kChickenIdle, false, true);
    }
}

void CFarmObject::OnBeginDragging() {
    m_bDragging = true;
    SendOccupantsAway();
}

void CFarmObject::OnEndDragging() {
    m_bDragging = false;
    SendOccupantsAway();
}

void CFarmObject::OnAboutToRemove() { SendOccupantsAway(); }

void CFarmObject::MakeSportFreeFromBird(CChicken* bird) {
    for (CChicken*& occupant : m_pOccupants)
        if (occupant == bird) occupant = nullptr;
}

TVector2D CFarmObject::ScreenPosition() const { return WorldToScreen(m_pGame, m_Position); }

namespace {

// A spot point of the definition (pixels from the anchor, 24.8) as a world point: scaled by the
// depth scale alone (not the object's own scale) and mirrored with the object.
TVector2D SpotToWorld(CGameBase* game, TVector2D anchorWorld, TVector2D spot, bool mirrored) {
    const TVector2D anchor = WorldToScreen(game, anchorWorld);
    const std::int64_t s = WorldToScreenScale(anchorWorld);
    const FIXED_FLOAT dx = static_cast<FIXED_FLOAT>((s * spot.x) >> 16);
    const FIXED_FLOAT dy = static_cast<FIXED_FLOAT>((s * spot.y) >> 16);
    TVector2D screen;
    screen.x = mirrored ? anchor.x - dx : anchor.x + dx;
    screen.y = anchor.y + dy;
    return ScreenToWorld(game, screen);
}

}  // namespace

TVector2D CFarmObject::GetSpotPoint(int i) {
    if (m_pDef == nullptr || i < 0 || i >= m_pDef->spotPoints.count) return m_Position;
    return SpotToWorld(m_pGame, m_Position, m_pDef->spotPoints[i], IsRotated());
}

TVector2D CFarmObject::GetSpotLookPoint() {
    if (m_pDef == nullptr) return m_Position;
    return SpotToWorld(m_pGame, m_Position, m_pDef->spotLook, IsRotated());
}

CFarmManager* CFarmObject::GetFarmManager() const {
    IFarmHost* host = FarmHostOf(m_pGame);
    return host != nullptr ? host->GetFarmManager() : nullptr;
}

CQuorvanParticleSystemManager2* CFarmObject::GetParticleManager() const {
    IFarmHost* host = FarmHostOf(m_pGame);
    return host != nullptr ? host->GetParticleManager() : nullptr;
}

IFarmYard* CFarmObject::GetYard() const {
    const CFarmManager* farm = GetFarmManager();
    return farm != nullptr ? farm->GetYard() : nullptr;
}

bool CFarmObject::IsCreature() const {
    return m_nKind == kFarmObjectChicken || m_nKind == kFarmObjectRobot || m_nKind == kFarmObjectLawnmower;
}

IDibBitmap* CFarmObject::BackBuffer() const { return m_pGame != nullptr ? m_pGame->m_Screen.m_pBackBuffer : nullptr; }

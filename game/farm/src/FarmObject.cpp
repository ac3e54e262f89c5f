#include "game/farm/FarmObject.h"

#include "app/GameBase.h"
#include "game/app/TheGame.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmManager.h"
#include "particles/RandomTables.h"

CFarmObject::CFarmObject(CGameBase* game, const char* id) : m_pGame(game), m_Id(id) {}

CFarmObject::~CFarmObject() {
    for (CChicken*& occupant : m_pOccupants) occupant = nullptr;
}

bool CFarmObject::Init(int /*argument*/) {
    if (m_Id.Length() == 0 || m_pGame == nullptr) return false;
    CFarmManager* farm = static_cast<CTheGame*>(m_pGame)->m_pFarmManager;
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

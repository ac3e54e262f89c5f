// The marble's saved record and the marble list of a round record.
#include <new>

#include "game/widgets/RecordReading.h"
#include "core/Serializer.h"
#include "game/gameplay/Marble.h"
#include "game/gameplay/MarblePowerup.h"

namespace {

// The smallest stored marble: its type and a record with an empty path.
constexpr int kMinStoredMarbleBytes = 4 + 88;

}  // namespace

int CMarble::Serialize(IFile* file, bool writing) {
    SerializeHelper2 h{file, true, writing, 0};
    unsigned int id = m_uSavedId;
    h.Serialize(id);
    m_uSavedId = id;
    h.Serialize(m_Position);
    h.Serialize(m_PrevPosition);
    h.Serialize(m_nGlowAngle);
    h.Serialize(m_Direction);
    if (!m_Path.Serialize(file, writing)) return 0;
    h.Serialize(m_nPathDistance);
    h.Serialize(m_bEntered);
    h.Serialize(m_nCollected);
    h.Serialize(m_bRemoved);
    h.Serialize(m_nDanger);
    h.Serialize(m_nSpeed);
    h.Serialize(m_fRollDistance);
    h.Serialize(m_fRollRate);
    h.Serialize(m_nActivationCountdown);
    h.Serialize(m_nScale);
    h.Serialize(m_bOnPath);
    h.Serialize(m_bEffective);
    h.Serialize(m_nAngleOffset);
    h.Serialize(m_nEntryIndicator);
    h.Serialize(m_nPathFrames);
    h.Serialize(m_nScoreFactor);
    return h.Succeeded();
}

CMarble* CMarble::CreateForType(CGameBase* game, IPlayField* field, int type) {
    if (type >= kMarbleRed && type <= kMarbleYellow) {
        CMarble* marble = new (std::nothrow) CMarble(game, field);
        if (marble != nullptr) marble->SetColorType(type);
        return marble;
    }
    if (type >= kPowerUpTypeBase && type < kPowerUpTypeBase + kPowerUpKindCount) {
        CMarblePowerup* powerup = new (std::nothrow) CMarblePowerup(game, field);
        if (powerup != nullptr) powerup->SetPowerUpType(type - kPowerUpTypeBase);
        return powerup;
    }
    return nullptr;
}

int CMarble::SerializeList(IFile* file, bool writing, CQuorvanObjPtrArray<CMarble*>& marbles, CGameBase* game,
                           IPlayField* field) {
    SerializeHelper2 h{file, true, writing, 0};
    int count = marbles.count;
    if (!writing) marbles.RemoveAll();
    if (!gameplay::SerializeCount(h, count, kMinStoredMarbleBytes)) return 0;
    for (int i = 0; i < count; ++i) {
        if (writing) {
            CMarble* marble = marbles.data[i];
            if (marble == nullptr) return 0;
            // The identity only has to tell the marbles of one save apart; 0 stands for none.
            marble->m_uSavedId = static_cast<std::uint32_t>(i) + 1;
            if (!marble->SerializeType(file) || !marble->Serialize(file, true)) return 0;
            continue;
        }
        int type = -1;
        h.Serialize(type);
        if (!h.Succeeded()) return 0;
        CMarble* marble = CreateForType(game, field, type);
        if (marble == nullptr || !marbles.AddOwned(marble)) return 0;
        if (!marble->Serialize(file, false)) return 0;
    }
    return h.Succeeded();
}

// The open yard's record body in "saveresume.dat": the yard's stars, its four category points,
// then one entry per object that is not a default one (definition id, then the object's own
// fields). The bytes come back from a file, so every count and length is checked against what
// the file can still hold before anything is made for it.
#include <cstdint>
#include <vector>

#include "app/GameBase.h"
#include "core/File.h"
#include "core/Serializer.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "game/farm/YardCamera.h"
#include "render/DibBitmap.h"

namespace {

constexpr int kMaxStars = 3;
// The smallest object entry: an id of one byte (4 + 1) and a decor object's fields (24).
constexpr int kSmallestEntryBytes = 4 + 1 + 24;

int BytesLeft(IFile* file) {
    const int left = file->GetSize() - file->GetCurPos();
    return left > 0 ? left : 0;
}

bool IsDefaultObject(const CFarmObject* object) {
    return object->m_pDef != nullptr && (object->m_pDef->flags & kFarmFlagDefault) != 0;
}

// The definition id of an entry: a length no larger than the bytes left, then the bytes.
bool ReadEntryId(SerializeHelper2& io, IFile* file, CommonString& id) {
    int length = 0;
    io.Serialize(length);
    if (io.Succeeded() == 0 || length < 1 || length > BytesLeft(file)) return false;
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    io.Serialize(text.data(), length);
    if (io.Succeeded() == 0) return false;
    id = CommonString(text.data());
    return true;
}

}  // namespace

bool CFarmManager::SerializeCurrentYard(IFile* file, bool save, int /*version*/) {
    if (file == nullptr) return false;
    SerializeHelper2 io{file, true, save, 0};
    if (save) {
        int points = kFarmCategoryCount;
        int count = 0;
        for (int i = 0; i < m_Objects.count; ++i)
            if (!IsDefaultObject(m_Objects[i])) ++count;
        io.Serialize(m_nStars);
        io.Serialize(points);
        for (int& p : m_CategoryPoints) io.Serialize(p);
        io.Serialize(count);
        if (io.Succeeded() == 0) return false;
        for (int i = 0; i < m_Objects.count; ++i) {
            CFarmObject* object = m_Objects[i];
            if (IsDefaultObject(object)) continue;
            CommonString id = object->m_pDef != nullptr ? object->m_pDef->id : object->m_Id;
            io.Serialize(id);
            if (io.Succeeded() == 0) return false;
            // An identity unique in the record and never 0: the object's place in the list.
            object->m_uSerialId = static_cast<std::uint32_t>(i) + 1;
            if (!object->Serialize(file, true)) return false;
        }
        return true;
    }

    int stars = 0, points = 0;
    io.Serialize(stars);
    io.Serialize(points);
    if (io.Succeeded() == 0 || stars < 0 || stars > kMaxStars) return false;
    // The yard keeps four category points; more would be written past them.
    if (points < 0 || points > kFarmCategoryCount) return false;
    m_nStars = stars;
    for (int i = 0; i < points; ++i) io.Serialize(m_CategoryPoints[i]);
    int count = 0;
    io.Serialize(count);
    if (io.Succeeded() == 0 || count < 0 || count > BytesLeft(file) / kSmallestEntryBytes) return false;

    const IDibBitmap* back = m_pGame != nullptr ? m_pGame->m_Screen.m_pBackBuffer : nullptr;
    const int width = back != nullptr ? back->m_Width : (m_pGame != nullptr ? m_pGame->m_nGameWidth : 0);
    for (int i = 0; i < count; ++i) {
        CommonString id;
        if (!ReadEntryId(io, file, id)) return false;
        CFarmObject* object = CreateFarmObject(id.GetDataConst());
        if (object == nullptr) return false;
        if (!m_Objects.Add(object)) {
            delete object;
            return false;
        }
        if (!object->Serialize(file, false)) {
            // The entry is damaged: its object goes with it (a depth outside the yard would divide
            // by zero in the camera). Those read before it stay.
            m_Objects.RemoveAt(m_Objects.count - 1);
            delete object;
            return false;
        }
        // A record written on a wider screen may put the object beyond this one's side. Only a
        // position the clamp moved goes back through the camera, which does not invert exactly
        // in x: every visit would otherwise pull the objects towards the middle.
        const TVector2D screen = WorldToScreen(m_pGame, object->m_Position);
        TVector2D clamped = screen;
        if (clamped.x < 0) clamped.x = 0;
        if (clamped.x > (width - 1) * 256) clamped.x = (width - 1) * 256;
        if (clamped.x != screen.x) object->m_Position.x = ScreenToWorld(m_pGame, clamped).x;
    }
    return io.Succeeded() != 0;
}

// The player data's defaults and its part of "global.opt".
#include "game/progress/ApplicationData.h"

#include <new>

#include "SaveFields.h"
#include "core/File.h"
#include "core/Serializer.h"
#include "game/progress/HighScoreTable.h"
#include "game/progress/UserProfile.h"

using savefields::AppendRead;
using savefields::SerializeList;
using savefields::SerializeListCount;

namespace {

constexpr const char* kTablesTag = "hscr";
constexpr int kDataVersion = 2;
// Smallest stored sizes: a profile record's tag; a table's name and its 30 empty entries; an
// activity record's empty text and value.
constexpr int kMinProfileBytes = 8;
constexpr int kMinTableBytes = 4 + kHighScoreEntries * 9;
constexpr int kMinActivityBytes = 8;

}  // namespace

CApplicationData::CApplicationData()
    : m_nDerivedStartSignature(Convert4CharToInt("DRVS")), m_nDerivedEndSignature(Convert4CharToInt("DRVE")) {}

CApplicationData::~CApplicationData() = default;

void CApplicationData::SetDefaultApplicationData() {
    CBasicApplicationData::SetDefaultApplicationData();
    m_nDataVersion = kDataVersion;
    // Profiles kept from a failed read stay usable: the first becomes current.
    m_nCurrentProfile = m_Profiles.count > 0 ? 0 : -1;
    SetupDefaultHighScoreTables();
    m_nLanguageIndex = 0;
    m_nEffectsVolume = 60;
    m_nMusicVolume = 40;
}

int CApplicationData::Serialize(IFile* file, bool writing) {
    if (!CBasicApplicationData::Serialize(file, writing)) return 0;
    if (!writing) m_bSilence = false;
    SerializeHelper2 h{file, true, writing, 0};
    if (writing) m_nDataVersion = kDataVersion;
    h.Serialize(m_nDataVersion);
    h.Serialize(m_nCurrentProfile);
    if (!h.Succeeded()) return 0;
    const int profilesRead = SerializeProfiles(file, writing);
    if (!writing && (m_nCurrentProfile < 0 || m_nCurrentProfile >= m_Profiles.count)) m_nCurrentProfile = 0;
    if (!profilesRead) return 0;

    CommonString tag(kTablesTag);
    h.Serialize(tag);
    if (!h.Succeeded() || !tag.IsEqual(kTablesTag)) return 0;
    if (!SerializeTables(file, writing)) return 0;
    h.Serialize(m_nLanguageIndex);
    for (auto& list : m_ActivityLists)
        if (!SerializeActivityList(file, writing, list)) return 0;
    return h.Succeeded();
}

int CApplicationData::SerializeProfiles(IFile* file, bool writing) {
    SerializeHelper2 h{file, true, writing, 0};
    int count = m_Profiles.count;
    if (!SerializeListCount(h, count, kMinProfileBytes)) return 0;
    if (!writing) {
        if (count > kMaxUserProfiles) return 0;
        m_Profiles.RemoveAll();
    }
    for (int i = 0; i < count; ++i) {
        if (!writing) {
            auto* profile = new (std::nothrow) TUserProfile();
            if (!AppendRead(m_Profiles, profile)) return 0;
            profile->Reset();
            profile->SetGamePtr(m_pGame);
        }
        if (!m_Profiles.data[i]->Serialize(file, writing, m_nDataVersion)) {
            // A half-read profile is no player's: only fully read ones stay.
            if (!writing) savefields::DeleteAt(m_Profiles, i);
            return 0;
        }
    }
    return 1;
}

int CApplicationData::SerializeTables(IFile* file, bool writing) {
    SerializeHelper2 h{file, true, writing, 0};
    return SerializeList(h, m_HighScoreTables, kMinTableBytes,
                         [&](THighScoreTable& table) { return table.Serialize(file, writing, m_nDataVersion) != 0; });
}

int CApplicationData::SerializeActivityList(IFile* file, bool writing,
                                            CQuorvanObjPtrArray<FacebookActivityItem*>& list) {
    SerializeHelper2 h{file, true, writing, 0};
    return SerializeList(h, list, kMinActivityBytes, [&h](FacebookActivityItem& item) {
        h.Serialize(item.m_Text);
        h.Serialize(item.m_Value, 4);
        return h.Succeeded() != 0;
    });
}

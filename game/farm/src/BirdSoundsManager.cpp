#include "game/farm/BirdSoundsManager.h"

#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "core/Parser.h"
#include "core/QuorvanUtils.h"
#include "game/progress/DataFile.h"

namespace {

using Text = CommonStringRS<50>;

// The list of a record a key appends to, or null for other keys.
CQuorvanObjPtrArray<CommonString*>* ListForKey(TBirdSounds& bird, const Text& key) {
    if (key.IsEqual("eat")) return &bird.eat;
    if (key.IsEqual("drink")) return &bird.drink;
    if (key.IsEqual("question")) return &bird.question;
    if (key.IsEqual("tap")) return &bird.tap;
    if (key.IsEqual("tap_spin")) return &bird.tap_spin;
    return nullptr;
}

// Generous bounds from the content's own needs: a dozen birds, a few calls each, names and ids
// of a few characters. Past them the file is not the table it claims to be.
constexpr int kMaxBirds = 256;
constexpr int kMaxIdsPerList = 64;
constexpr int kMaxNameLength = 64;

// Whether a name or id is 1 to kMaxNameLength printable characters (it becomes a file name).
bool IsPlainName(const CommonString& text) {
    const char* s = text.GetDataConst();
    const int length = text.Length();
    if (s == nullptr || length < 1 || length > kMaxNameLength) return false;
    for (int i = 0; i < length; ++i)
        if (static_cast<unsigned char>(s[i]) < 0x20 || static_cast<unsigned char>(s[i]) > 0x7e) return false;
    return true;
}

constexpr const char* kMember = "Data\\bird_sounds.txt";

}  // namespace

CBirdSoundsManager::CBirdSoundsManager(CGameBase* game) : m_pGame(game) {}

int CBirdSoundsManager::PostConstruct() {
    if (!ReadDataFromFile(CommonString("bird_sounds.txt"))) return 0;
    m_FilePrefix = "Birds\\";
    return 1;
}

int CBirdSoundsManager::ReadDataFromFile(CommonString name) {
    if (m_pGame == nullptr) return 0;
    const CommonString path = m_pGame->GetModuleDirectory() + CommonString("Data\\") + name;
    return ReadPakDataFile(m_pGame, path, [this](IFile* file) { return ReadDataFromFile(file) != 0; }) ? 1 : 0;
}

template <class Source>
int CBirdSoundsManager::ReadLines(Source& source) {
    m_pCurrent = nullptr;
    const bool ok = ForEachDataLine(source, [this](const Text& line) { return ReadLine(line); });
    // A record still open at the end: the file was cut short (CheckTable tells it).
    m_OpenAtEnd = ok && m_pCurrent != nullptr ? (m_pCurrent->name.Length() > 0 ? m_pCurrent->name : CommonString("?"))
                                              : CommonString();
    m_pCurrent = nullptr;
    return ok ? 1 : 0;
}

int CBirdSoundsManager::ReadDataFromFile(IFile* file) { return file != nullptr ? ReadLines(file) : 0; }
int CBirdSoundsManager::ReadDataFromInput(TParseInput& input) { return ReadLines(input); }

bool CBirdSoundsManager::ReadLine(const Text& line) {
    if (line.IsEqual("end")) {
        m_pCurrent = nullptr;
        return true;
    }
    Text key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return true;
    if (m_pCurrent == nullptr) {
        if (!key.IsEqual("bird")) return true;
        auto* bird = new (std::nothrow) TBirdSounds;
        if (bird == nullptr) return false;
        if (!m_Birds.Add(bird)) {
            delete bird;
            return false;
        }
        bird->name = Parser::ExtractName(value).GetData();
        m_pCurrent = bird;
        return true;
    }
    CQuorvanObjPtrArray<CommonString*>* list = ListForKey(*m_pCurrent, key);
    if (list == nullptr) return true;
    auto* id = new (std::nothrow) CommonString(Parser::ExtractName(value).GetData());
    if (id == nullptr) return false;
    if (!list->Add(id)) {
        delete id;
        return false;
    }
    return AddUniqueSoundIdToArray(id);
}

bool CBirdSoundsManager::AddUniqueSoundIdToArray(CommonString* id) {
    const unsigned int hash = id->Length() > 0 ? GetHashCode(id->GetData()) : 0;
    for (int i = m_IdHashes.count - 1; i >= 0; --i)
        if (m_IdHashes[i] == hash && *m_Ids[i] == *id) return true;
    if (!m_Ids.Add(id)) return false;
    if (!m_IdHashes.Add(hash)) {
        m_Ids.RemoveAt(m_Ids.count - 1);
        return false;
    }
    return true;
}

int CBirdSoundsManager::AddBirdSoundsToSoundManager() {
    CSoundManager* sounds = m_pGame ? m_pGame->GetSoundManager() : nullptr;
    if (sounds == nullptr) return 0;
    for (int i = 0; i < m_Ids.count; ++i) {
        SoundFXData* entry = sounds->AddSoundFX(*m_Ids[i]);
        if (entry == nullptr) return 0;
        entry->file = m_FilePrefix.Length() > 0 ? m_FilePrefix + *m_Ids[i] : *m_Ids[i];
    }
    return 1;
}

bool CBirdSoundsManager::CheckTable(CommonString& failure) const {
    if (m_OpenAtEnd.Length() > 0)
        return RefuseDataFile(failure, kMember,
                              "the file ends inside the record of the bird %s (no \"end\"): it is cut short",
                              m_OpenAtEnd.GetDataConst());
    if (m_Birds.count < 1)
        return RefuseDataFile(failure, kMember, "no bird record (a line \"bird = name\", its calls, \"end\")");
    if (m_Birds.count > kMaxBirds)
        return RefuseDataFile(failure, kMember, "%d bird records, more than the %d a table may have", m_Birds.count,
                              kMaxBirds);
    for (int b = 0; b < m_Birds.count; ++b) {
        const TBirdSounds& bird = *m_Birds.data[b];
        if (!IsPlainName(bird.name))
            return RefuseDataFile(failure, kMember, "bird record %d has no name of 1 to %d printable characters", b + 1,
                                  kMaxNameLength);
        const char* name = bird.name.GetDataConst();
        const struct {
            const char* key;
            const CQuorvanObjPtrArray<CommonString*>& ids;
        } lists[] = {{"eat", bird.eat},
                     {"drink", bird.drink},
                     {"question", bird.question},
                     {"tap", bird.tap},
                     {"tap_spin", bird.tap_spin}};
        for (const auto& list : lists) {
            if (list.ids.count > kMaxIdsPerList)
                return RefuseDataFile(failure, kMember, "bird %s has %d %s calls, more than %d", name, list.ids.count,
                                      list.key, kMaxIdsPerList);
            for (int i = 0; i < list.ids.count; ++i)
                if (!IsPlainName(*list.ids.data[i]))
                    return RefuseDataFile(failure, kMember,
                                          "bird %s: %s call %d is no sound id of 1 to %d printable characters", name,
                                          list.key, i + 1, kMaxNameLength);
        }
    }
    return true;
}

TBirdSounds* CBirdSoundsManager::GetSoundsForBird(CommonString name) {
    for (int i = 0; i < m_Birds.count; ++i)
        if (m_Birds[i]->name == name) return m_Birds[i];
    return nullptr;
}

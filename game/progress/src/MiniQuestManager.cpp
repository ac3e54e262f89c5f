#include "game/progress/MiniQuestManager.h"

#include <climits>
#include <new>

#include "app/GameBase.h"
#include "core/Parser.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/DataFile.h"
#include "game/progress/UserProfile.h"

namespace {

// Colour words of extraScore, two per colour 1 to 4.
constexpr const char* kColourWords[8] = {"red", "color1", "green", "color2", "blue", "color3", "yellow", "color4"};

CommonString Name(const CommonStringRS<50>& value) { return CommonString(Parser::ExtractName(value).GetData()); }

// Appends an owned item; deletes it when the list cannot grow.
template <class T>
bool AppendOwned(CQuorvanObjPtrArray<T*>& list, T* item) {
    if (item == nullptr) return false;
    if (!list.Add(item)) {
        delete item;
        return false;
    }
    return true;
}

int ClampToInt(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

MiniQuestsSet::MiniQuestsSet() {
    affectedArenas.growBy = 3;
    quests.growBy = 10;
}

CMiniQuestManager::CMiniQuestManager(CGameBase* game) : m_pGame(game) { m_Sets.growBy = 4; }

CMiniQuestManager::~CMiniQuestManager() { delete m_pCurrentBonus; }

bool CMiniQuestManager::PostConstruct() {
    if (m_pGame == nullptr) return false;
    return ReadQuestDefsFromFile(m_pGame->GetModuleDirectory() + CommonString("Data\\miniquests.txt"));
}

bool CMiniQuestManager::ReadQuestDefsFromFile(CommonString path) {
    return ReadPakDataFile(m_pGame, path, [this](IFile* file) { return ReadQuestDefsFromFile(file); });
}

bool CMiniQuestManager::ReadQuestDefsFromFile(IFile* file) { return file != nullptr && ReadQuestLines(file); }

bool CMiniQuestManager::ReadQuestDefsFromInput(TParseInput& input) { return ReadQuestLines(input); }

template <class Source>
bool CMiniQuestManager::ReadQuestLines(Source& source) {
    m_pReadingSet = nullptr;
    m_pReadingQuest = nullptr;
    CommonStringRS<50> line;
    bool ok = true;
    while (ok && Parser::GetNextLine(source, line)) ok = ReadQuestLine(line);
    // The end of the file closes the blocks left open.
    m_pReadingSet = nullptr;
    m_pReadingQuest = nullptr;
    return ok;
}

bool CMiniQuestManager::ReadQuestLine(const CommonStringRS<50>& line) {
    if (line.IsEqual("end")) {
        if (m_pReadingQuest != nullptr)
            m_pReadingQuest = nullptr;
        else
            m_pReadingSet = nullptr;
        return true;
    }
    CommonStringRS<50> key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return true;  // not a property line
    if (m_pReadingQuest != nullptr) {
        ReadQuestProperty(key, value);
        return true;
    }
    if (m_pReadingSet != nullptr) return ReadSetLine(key, value);
    if (!key.IsEqual("quests_for_yard")) return true;
    auto* set = new (std::nothrow) MiniQuestsSet();
    if (set == nullptr) return false;
    set->yardId = Name(value);
    if (!AppendOwned(m_Sets, set)) return false;
    m_pReadingSet = set;
    return true;
}

bool CMiniQuestManager::ReadSetLine(const CommonStringRS<50>& key, const CommonStringRS<50>& value) {
    if (key.IsEqual("affect_arena")) {
        const CommonString arena = Name(value);
        if (!AppendOwned(m_pReadingSet->affectedArenas, new (std::nothrow) CommonString(arena))) return false;
        AffectedArenaInfo* info = GetAffectedArenaInfo(arena);
        return info != nullptr && info->sets.Add(m_pReadingSet) != 0;
    }
    if (key.IsEqual("quest")) {
        auto* quest = new (std::nothrow) MiniQuest();
        if (quest == nullptr) return false;
        quest->id = Name(value);
        if (!AppendOwned(m_pReadingSet->quests, quest)) return false;
        m_pReadingQuest = quest;
    }
    return true;
}

void CMiniQuestManager::ReadQuestProperty(const CommonStringRS<50>& key, const CommonStringRS<50>& value) {
    MiniQuest& quest = *m_pReadingQuest;
    if (key.IsEqual("buy1")) {
        quest.buy1 = Name(value);
    } else if (key.IsEqual("buy2")) {
        quest.buy2 = Name(value);
    } else if (key.IsEqual("scale1")) {
        quest.scale1 = Parser::AToF(value.GetData(), 0);
    } else if (key.IsEqual("scale2")) {
        quest.scale2 = Parser::AToF(value.GetData(), 0);
    } else if (key.IsEqual("decreaseScorePerCoin")) {
        quest.decreaseScorePerCoin = Parser::AToI(value.GetData());
    } else if (key.IsEqual("extraScore")) {
        CommonStringRS<50> parts[2];
        Parser::GetSubStringsArray(value, 2, parts);
        for (int word = 0; word < 8; ++word) {
            if (parts[0].IsEqual(kColourWords[word])) {
                quest.extraScore[word / 2] = Parser::AToI(parts[1].GetData());
                break;
            }
        }
    }
}

MiniQuest* CMiniQuestManager::FindMiniQuestContainingObject(const CommonString& yard,
                                                            const CommonString& object) const {
    if (object.Length() == 0) return nullptr;
    for (int s = m_Sets.count - 1; s >= 0; --s) {
        const MiniQuestsSet* set = m_Sets.data[s];
        if (!(set->yardId == yard)) continue;
        for (int q = set->quests.count - 1; q >= 0; --q) {
            MiniQuest* quest = set->quests.data[q];
            if (quest->buy1 == object || quest->buy2 == object) return quest;
        }
    }
    return nullptr;
}

MiniQuest* CMiniQuestManager::GetMiniQuest(const MiniQuestsSet* set, const CommonString& id) const {
    if (set == nullptr) return nullptr;
    for (int q = set->quests.count - 1; q >= 0; --q)
        if (set->quests.data[q]->id == id) return set->quests.data[q];
    return nullptr;
}

MiniQuest* CMiniQuestManager::GetMiniQuest(const CommonString& yard, const CommonString& id) const {
    for (int s = m_Sets.count - 1; s >= 0; --s) {
        if (!(m_Sets.data[s]->yardId == yard)) continue;
        if (MiniQuest* quest = GetMiniQuest(m_Sets.data[s], id)) return quest;
    }
    return nullptr;
}

AffectedArenaInfo* CMiniQuestManager::GetAffectedArenaInfo(const CommonString& arena) {
    for (int i = m_Arenas.count - 1; i >= 0; --i)
        if (m_Arenas.data[i]->arenaName == arena) return m_Arenas.data[i];
    auto* info = new (std::nothrow) AffectedArenaInfo();
    if (info == nullptr) return nullptr;
    info->arenaName = arena;
    return AppendOwned(m_Arenas, info) ? info : nullptr;
}

void CMiniQuestManager::RecalcMiniQuestResultsForCurrentArena() {
    delete m_pCurrentBonus;
    m_pCurrentBonus = new (std::nothrow) MiniQuest();
    TUserProfile* profile = CurrentProfileOf(m_pGame);
    if (m_pCurrentBonus == nullptr || profile == nullptr) return;
    AffectedArenaInfo* info = GetAffectedArenaInfo(profile->m_CurrentArena);
    if (info == nullptr) return;
    // Summed wide: the values come from a data file.
    long long extra[4] = {};
    long long coins = 0;
    for (int s = info->sets.count - 1; s >= 0; --s) {
        const MiniQuestsSet* set = info->sets.data[s];
        const MiniQuestStatesInfo* states = profile->GetMiniQuestStatesInfo(set->yardId);
        if (states == nullptr) continue;
        for (int c = 0; c < states->m_Completed.count; ++c) {
            const MiniQuest* quest = GetMiniQuest(set->yardId, *states->m_Completed.data[c]);
            if (quest == nullptr) continue;
            for (int k = 0; k < 4; ++k) extra[k] += quest->extraScore[k];
            coins += quest->decreaseScorePerCoin;
        }
    }
    for (int k = 0; k < 4; ++k) m_pCurrentBonus->extraScore[k] = ClampToInt(extra[k]);
    m_pCurrentBonus->decreaseScorePerCoin = ClampToInt(coins);
}

bool CMiniQuestManager::CheckMiniQuests(TUserProfile* profile, const CommonString& object) const {
    if (profile == nullptr) return false;
    const CommonString yard = profile->m_CurrentYard;
    const MiniQuest* quest = FindMiniQuestContainingObject(yard, object);
    if (quest == nullptr) return false;
    const int state = profile->GetMiniQuestState(yard, quest->id);
    const CommonString& other = object == quest->buy1 ? quest->buy2 : quest->buy1;
    if (profile->IsFarmObjectPurchased(yard, other)) {
        if (state >= 2) return false;
        profile->MiniQuestCompleted(yard, quest->id);
        return true;
    }
    if (state < 1) profile->MiniQuestUnlocked(yard, quest->id);
    return false;
}

int CMiniQuestManager::CalcRoundCoins(int score, const MiniQuest* bonus) {
    const long long base = score / 1000;
    long long perMille = bonus != nullptr ? bonus->decreaseScorePerCoin : 0;
    if (perMille < 0) perMille = 0;
    return ClampToInt(base + base * perMille / 1000);
}

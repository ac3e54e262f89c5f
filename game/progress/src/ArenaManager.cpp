#include "game/progress/ArenaManager.h"

#include <new>
#include <vector>

#include "app/GameBase.h"
#include "core/Parser.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/DataFile.h"
#include "game/progress/UserProfile.h"

namespace {

using Text = CommonStringRS<50>;

CommonString Unquoted(const Text& value) { return CommonString(Parser::ExtractName(value).GetData()); }

// Generous bounds from the content's own needs: three arenas, one to three coins a power-up.
constexpr int kMaxArenas = 16;
constexpr int kMaxCoinMoney = 1000;
// The arenas the game numbers 0, 1 and 2 (scores, achievements, statistics, saved rounds).
constexpr const char* kNumberedArenas[] = {"arena1", "arena2", "arena3"};

constexpr const char* kMember = "Data\\arenas.txt";

}  // namespace

CArenaManager::CArenaManager(CGameBase* game) : m_pGame(game) {}

bool CArenaManager::PostConstruct() {
    m_Arenas.RemoveAll();
    if (m_pGame == nullptr) return false;
    return ReadFile(m_pGame->GetModuleDirectory() + CommonString("Data\\arenas.txt")) != 0;
}

int CArenaManager::ReadFile(CommonString path) {
    return ReadPakDataFile(m_pGame, path, [this](IFile* file) { return ReadFile(file) != 0; }) ? 1 : 0;
}

template <class Source>
int CArenaManager::ReadLines(Source& source) {
    m_pArenaBeingRead = nullptr;
    const bool ok = ForEachDataLine(source, [this](const Text& line) { return ReadLine(line); });
    // A record still open at the end: the file was cut short (CheckTable tells it).
    m_OpenAtEnd = ok && m_pArenaBeingRead != nullptr
                      ? (m_pArenaBeingRead->id.Length() > 0 ? m_pArenaBeingRead->id : CommonString("?"))
                      : CommonString();
    m_pArenaBeingRead = nullptr;
    return ok ? 1 : 0;
}

int CArenaManager::ReadFile(IFile* file) { return file != nullptr ? ReadLines(file) : 0; }
int CArenaManager::ReadFromInput(TParseInput& input) { return ReadLines(input); }

bool CArenaManager::ReadLine(const Text& line) {
    if (line.IsEqual("end")) {
        m_pArenaBeingRead = nullptr;
        return true;
    }
    Text key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return true;
    if (m_pArenaBeingRead == nullptr) {
        if (!key.IsEqual("arena")) return true;
        auto* arena = new (std::nothrow) Arena;
        if (arena == nullptr) return false;
        if (!m_Arenas.Add(arena)) {
            delete arena;
            return false;
        }
        arena->id = Unquoted(value);
        m_pArenaBeingRead = arena;
        return true;
    }
    Arena& arena = *m_pArenaBeingRead;
    if (key.IsEqual("name")) {
        arena.name = Unquoted(value);
    } else if (key.IsEqual("bg")) {
        arena.bg = Unquoted(value);
    } else if (key.IsEqual("icon_sprite")) {
        arena.iconSprite = Unquoted(value);
    } else if (key.IsEqual("coin_sprite")) {
        arena.coinSprite = Unquoted(value);
    } else if (key.IsEqual("coin_money")) {
        arena.coinMoney = DataFileInt(value.GetData());
    } else if (key.IsEqual("unlock_by")) {
        arena.unlockBy = Unquoted(value);
    }
    return true;
}

bool CArenaManager::CheckTable(CommonString& failure, std::span<const char* const> yardIds) const {
    if (m_OpenAtEnd.Length() > 0)
        return RefuseDataFile(failure, kMember,
                              "the file ends inside the record of the arena %s (no \"end\"): it is cut short",
                              m_OpenAtEnd.GetDataConst());
    if (m_Arenas.count > kMaxArenas)
        return RefuseDataFile(failure, kMember, "%d arena records, more than the %d a table may have", m_Arenas.count,
                              kMaxArenas);
    for (const char* id : kNumberedArenas) {
        const Arena* arena = nullptr;
        for (int i = m_Arenas.count - 1; i >= 0 && arena == nullptr; --i)
            if (m_Arenas.data[i]->id.IsEqual(id)) arena = m_Arenas.data[i];
        if (arena == nullptr)
            return RefuseDataFile(failure, kMember, "no record for the arena %s (\"arena = %s\" up to \"end\")", id,
                                  id);
        if (arena->bg.Length() < 1) return RefuseDataFile(failure, kMember, "the arena %s has no background (bg)", id);
        if (arena->coinSprite.Length() < 1)
            return RefuseDataFile(failure, kMember, "the arena %s has no coin sprite set (coin_sprite)", id);
        if (arena->coinMoney < 1 || arena->coinMoney > kMaxCoinMoney)
            return RefuseDataFile(failure, kMember,
                                  "the arena %s gives %d coins a coin power-up (coin_money), outside 1 to %d", id,
                                  arena->coinMoney, kMaxCoinMoney);
    }
    if (yardIds.empty()) return true;
    for (int i = 0; i < m_Arenas.count; ++i) {
        const Arena& arena = *m_Arenas.data[i];
        if (arena.unlockBy.Length() < 1) continue;
        bool known = false;
        for (const char* yard : yardIds) known = known || arena.unlockBy.IsEqual(yard);
        if (!known)
            return RefuseDataFile(
                failure, kMember, "the arena %s is unlocked by the yard %s, which Data\\yards.txt does not have",
                arena.id.GetDataConst() != nullptr ? arena.id.GetDataConst() : "", arena.unlockBy.GetDataConst());
    }
    return true;
}

Arena* CArenaManager::GetArenaAt(int index) {
    if (index < 0 || index >= m_Arenas.count) return nullptr;
    return m_Arenas[index];
}

Arena* CArenaManager::GetArena(const char* id) {
    for (int i = m_Arenas.count - 1; i >= 0; --i)
        if (m_Arenas[i]->id.IsEqual(id)) return m_Arenas[i];
    return nullptr;
}

int CArenaManager::GetIndexOfArena(CommonString id) {
    for (int i = m_Arenas.count - 1; i >= 0; --i)
        if (m_Arenas[i]->id.IsEqual(id.GetData())) return i;
    return -1;
}

bool CArenaManager::IsArenaUnlockedFor(const Arena* arena, std::span<const char* const> completedYardIds) {
    if (arena == nullptr) return false;
    if (arena->unlockBy.Length() < 1) return true;
    for (auto it = completedYardIds.rbegin(); it != completedYardIds.rend(); ++it)
        if (arena->unlockBy.IsEqual(*it)) return true;
    return false;
}

bool CArenaManager::IsArenaUnlocked(const Arena* arena) {
    if (arena == nullptr) return false;
    std::vector<const char*> completed;
    if (const TUserProfile* profile = CurrentProfileOf(m_pGame)) {
        for (int i = 0; i < profile->GetNumCompletedYards(); ++i)
            completed.push_back(profile->m_CompletedYardNames[i]->GetData());
    }
    return IsArenaUnlockedFor(arena, completed);
}

bool CArenaManager::IsArenaUnlocked(const char* id) { return IsArenaUnlocked(GetArena(id)); }

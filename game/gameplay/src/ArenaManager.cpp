#include "game/gameplay/ArenaManager.h"

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
        arena.coinMoney = Parser::AToI(value.GetData());
    } else if (key.IsEqual("unlock_by")) {
        arena.unlockBy = Unquoted(value);
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

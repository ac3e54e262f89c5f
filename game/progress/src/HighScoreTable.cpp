#include "game/progress/HighScoreTable.h"

#include <new>

#include "SaveFields.h"
#include "core/File.h"
#include "core/Serializer.h"

namespace {

constexpr const char* kFillerName = "-empty-";

// Scores of the default entries of arena 1, best first; arena k has k times these.
constexpr int kDefaultScoreFactors[kHighScoreEntries] = {
    100000, 80000, 70000, 60000, 50000, 45000, 40000, 35000, 30000, 25000, 20000, 15000, 14000, 13000, 12000,
    11000,  10000, 9000,  8000,  7000,  6000,  5000,  4500,  4000,  3500,  3000,  2500,  2000,  1500,  1000,
};

// The first names of the default entries, one per row.
constexpr const char* kDefaultNames[kHighScoreEntries] = {
    "Ada",  "Bruno", "Clara", "Dmitri", "Elsa",  "Farid", "Greta", "Hugo",  "Ines",  "Jonas",
    "Kaia", "Lars",  "Mira",  "Nils",   "Olga",  "Pavel", "Quinn", "Rosa",  "Sven",  "Tilda",
    "Ugo",  "Vera",  "Wim",   "Xenia",  "Yusuf", "Zora",  "Anton", "Berit", "Cyril", "Dora",
};

}  // namespace

THighScoreTable::THighScoreTable() = default;

void THighScoreTable::Reset() {
    m_IsDefault.count = 0;
    m_Scores.count = 0;
    m_Names.RemoveAll();
    for (int i = 0; i < kHighScoreEntries; ++i)
        if (!Append(0, CommonString(kFillerName), true)) return;
}

bool THighScoreTable::Append(int score, const CommonString& name, bool isDefault) {
    return InsertAt(m_Scores.count, score, new (std::nothrow) CommonString(name), isDefault);
}

bool THighScoreTable::ReserveOne() {
    // An element added and dropped again leaves its slot in the block.
    if (!m_IsDefault.Add(false)) return false;
    --m_IsDefault.count;
    if (!m_Scores.Add(0)) return false;
    --m_Scores.count;
    if (!m_Names.Add(nullptr)) return false;
    --m_Names.count;
    return true;
}

bool THighScoreTable::InsertAt(int index, int score, CommonString* name, bool isDefault) {
    if (name == nullptr) return false;
    if (index < 0 || index > m_Scores.count || !ReserveOne()) {
        delete name;
        return false;
    }
    // With room in all three, the lists only move; nothing can fail half-way.
    (void)m_IsDefault.Add(isDefault);
    (void)m_Scores.Add(score);
    (void)m_Names.Add(name);
    for (int i = m_Scores.count - 1; i > index; --i) {
        m_IsDefault.data[i] = m_IsDefault.data[i - 1];
        m_Scores.data[i] = m_Scores.data[i - 1];
        m_Names.data[i] = m_Names.data[i - 1];
    }
    m_IsDefault.data[index] = isDefault;
    m_Scores.data[index] = score;
    m_Names.data[index] = name;
    return true;
}

void THighScoreTable::RemoveAt(int index) {
    if (index < 0 || index >= m_Scores.count) return;
    m_IsDefault.RemoveAt(index);
    m_Scores.RemoveAt(index);
    savefields::DeleteAt(m_Names, index);
}

int THighScoreTable::Serialize(IFile* file, bool writing, int /*version*/) {
    if (file == nullptr) return 0;
    SerializeHelper2 h{file, true, writing, 0};
    h.Serialize(m_Name);
    if (writing) {
        while (m_Scores.count < kHighScoreEntries)
            if (!Append(0, CommonString(kFillerName), true)) return 0;
    } else {
        Reset();
        if (m_Scores.count != kHighScoreEntries) return 0;
    }
    for (int i = 0; i < kHighScoreEntries; ++i) {
        h.Serialize(m_Scores.data[i]);
        h.Serialize(*m_Names.data[i]);
        h.Serialize(m_IsDefault.data[i]);
    }
    return h.Succeeded();
}

void AddHighScoreEntry(THighScoreTable* table, const CommonString& name, int score) {
    if (table == nullptr || table->m_Scores.count >= kHighScoreEntries) return;
    (void)table->Append(score, name, true);
}

THighScoreTable* CreateDefaultHighScoreTable(int i) {
    auto* table = new (std::nothrow) THighScoreTable();
    if (table == nullptr) return nullptr;
    table->m_Name.Format("arena%d", i + 1);
    for (int row = 0; row < kHighScoreEntries; ++row) {
        if (!table->Append((i + 1) * kDefaultScoreFactors[row], CommonString(kDefaultNames[row]), true)) {
            delete table;
            return nullptr;
        }
    }
    return table;
}

CommonString LevelNameToGC_LevelID(const CommonString& tableName) {
    constexpr const char* kTables[] = {"arena1", "arena2", "arena3"};
    constexpr const char* kIds[] = {"ARENA_1", "ARENA_2", "ARENA_3"};
    for (int i = 0; i < 3; ++i)
        if (tableName.IsEqual(kTables[i])) return CommonString(kIds[i]);
    return CommonString();
}

// The high-score tables of the player data and the entering of a score.
#include <new>

#include "game/progress/ApplicationData.h"
#include "game/progress/HighScoreTable.h"
#include "game/progress/UserProfile.h"

namespace {

// An own entry: the player's name and not a default entry.
bool IsOwnEntry(const THighScoreTable& table, int i, const CommonString& player) {
    return !table.m_IsDefault.data[i] && *table.m_Names.data[i] == player;
}

// Row of the first own entry of the player from the top, or -1.
int FindOwnEntry(const THighScoreTable& table, const CommonString& player) {
    for (int i = 0; i < table.GetCount(); ++i)
        if (IsOwnEntry(table, i, player)) return i;
    return -1;
}

}  // namespace

void CApplicationData::SetupDefaultHighScoreTables() {
    m_HighScoreTables.RemoveAll();
    for (int i = 0; i < kDefaultHighScoreTables; ++i) {
        THighScoreTable* table = CreateDefaultHighScoreTable(i);
        if (table != nullptr && !m_HighScoreTables.Add(table)) delete table;
    }
}

THighScoreTable* CApplicationData::GetHighScoreTable(const CommonString& name) const {
    const int i = GetHighScoreTableIndex(name);
    return i >= 0 ? m_HighScoreTables.data[i] : nullptr;
}

int CApplicationData::GetHighScoreTableIndex(const CommonString& name) const {
    for (int i = m_HighScoreTables.count - 1; i >= 0; --i)
        if (m_HighScoreTables.data[i]->m_Name == name) return i;
    return -1;
}

bool CApplicationData::DoesHighScoreTableExist(const char* name) const {
    return GetHighScoreTableIndex(CommonString(name)) >= 0;
}

int CApplicationData::SetLevelHighScoreInfo(const CommonString& tableName, const CommonString& playerName, int& score) {
    THighScoreTable* table = GetHighScoreTable(tableName);
    if (table == nullptr) return -1;
    // Room for the new entry is made before anything changes: when memory is short the table,
    // with the player's older entry, stays as it was.
    auto* name = new (std::nothrow) CommonString(playerName);
    if (name == nullptr || !table->ReserveOne()) {
        delete name;
        return -1;
    }
    // The player's older entries that the new score beats go; the row a removal empties is looked
    // at again, since the next entry has moved up into it.
    for (int i = 0; i < table->GetCount();) {
        if (!IsOwnEntry(*table, i, playerName)) {
            ++i;
            continue;
        }
        if (table->m_Scores.data[i] >= score) {
            delete name;
            return -1;
        }
        table->RemoveAt(i);
    }
    const int count = table->GetCount();
    int position = -1;
    if (count > 0 && score > table->m_Scores.data[0]) {
        position = 0;
    } else {
        // Below every equal score.
        for (int i = 1; i < count && position < 0; ++i)
            if (table->m_Scores.data[i] < score) position = i;
    }
    if (position < 0) {
        if (count >= kHighScoreEntries) {
            delete name;
            return -1;
        }
        position = count;
    }
    if (!table->InsertAt(position, score, name, false)) return -1;
    while (table->GetCount() > kHighScoreEntries) table->RemoveAt(table->GetCount() - 1);
    return position;
}

int CApplicationData::GetCurrentUserHighScoreInTable(const CommonString& tableName) {
    TUserProfile* profile = CorrectedCurrentProfile();
    const THighScoreTable* table = GetHighScoreTable(tableName);
    if (profile == nullptr || table == nullptr) return 0;
    const int row = FindOwnEntry(*table, profile->GetName());
    return row >= 0 ? table->m_Scores.data[row] : 0;
}

int CApplicationData::GetCurrentUserIndexInHighScoreTable(const CommonString& tableName) {
    TUserProfile* profile = CorrectedCurrentProfile();
    const THighScoreTable* table = GetHighScoreTable(tableName);
    if (profile == nullptr || table == nullptr) return -1;
    return FindOwnEntry(*table, profile->GetName());
}

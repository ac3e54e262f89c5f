#pragma once
// Localisation: every text the player reads comes from one CSV table (Lang\texts.csv), one row
// per text key and one column per language. Row 1 holds the language ids, row 2 their display
// names; the manager keeps only the current language's texts and answers LoadString(key).
//
// CSV rules: cells split at ',' and rows end at LF, outside quotes; CR outside quotes is
// ignored. A '"' opening a cell starts a quoted section in which ',', LF and CR are text, "" is
// one '"', and a lone '"' ends the section. In text rows \n becomes CR LF, \t a TAB, and any
// other backslash stays. Keys and texts are trimmed of spaces and TABs; header cells are not.
// Main thread only.

#include <cstddef>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class IFileHost;
class IMemFile;

// One text of the current language.
struct LocEntry {
    CommonString key;
    CommonString text;
    unsigned int hash = 0;  // GetHashCode of the key; 0 for an empty key
};

class CLocManager2 {
public:
    explicit CLocManager2(IFileHost* game);
    CLocManager2(const CLocManager2&) = delete;
    CLocManager2& operator=(const CLocManager2&) = delete;
    virtual ~CLocManager2();

    // Sets the text table's growth step, reads the language ids and names of the CSV at `path`
    // (a memory file of the game) and remembers the path: 1, or 0 when it cannot be read.
    int Init(CommonString path, int growBy);
    // The single language "enUS" ("English") without a file: 1, or 0 when memory fails.
    int InitWithDefuaultLanguage(int growBy);
    // Rows 1 and 2 of the file's buffer into the id and name lists; 0 without a buffer.
    int ReadLanguageIDs(IMemFile* file);
    // After a successful Init, loads the texts of language `index`; on success it becomes the
    // current language. An index outside the list or an empty id does nothing.
    void SetCurrentLanguage(int index);
    // Empties the table, then loads the texts of column `id` from the file at `path`: 1 or 0.
    int ReadCSVFile(CommonString path, const char* id);
    // Loads the texts of the column whose row-1 cell equals `id` (every text empty when none
    // does): 1, or 0 without a buffer.
    int ReadCSVFile(IMemFile* file, const char* id);
    void FlushStringsData();
    void ProcessHashIDs();
    // The text of the last row with this key, or an empty string.
    CommonString LoadString(const char* key);
    // The text `offset` rows after (before, when negative) the key's row, or an empty string.
    CommonString LoadString(const char* key, int offset);
    // Empty for an index outside the list.
    CommonString GetLangID(int index);
    CommonString GetLangDisplayName(int index);

    // What the last successful Init found wrong with the whole table, or empty when nothing: no
    // language in row 1 (an empty or garbled file), or a last row without its line break (a file
    // cut short).
    // The table is read all the same; whether to run on it is the caller's choice.
    const CommonString& GetTableDamage() const { return damage; }

    int GetLanguageCount() const { return languageIds.count; }
    int GetCurrentLanguage() const { return currentLanguage; }
    int GetStringCount() const { return strings.count; }

private:
    // Index of the entry with `key`, scanning from the last; -1 when absent.
    int FindEntry(const char* key) const;

    IFileHost* m_pGame;
    CommonString path;
    bool initialised = false;
    CommonString damage;
    CQuorvanObjPtrArray<CommonString*> languageIds;
    CQuorvanObjPtrArray<CommonString*> displayNames;
    int currentLanguage = -1;
    CQuorvanObjPtrArray<LocEntry*> strings;
};

// What makes the bytes of a text table no whole table (see GetTableDamage), or empty.
CommonString DescribeLocCsvDamage(const char* data, std::size_t size);

// The text without leading and trailing spaces and TABs; only blanks gives an empty string.
CommonString CropStartEndSpaces(const char* text, int length);
CommonString CropStartEndSpaces(const CommonString& text);
CommonStringRS<50> CropStartEndSpaces(const CommonStringRS<50>& text);

// The CSV reader shared by the manager, its tests and the fuzz target: calls onCell(row, column,
// text, length) at the end of each cell and onRowEnd(row) at the end of each row (the last row
// too when it has no line end). Escapes apply from row `escapesFromRow` (0-based) on. Reading
// stops at `size` or at a zero byte.
struct ICsvSink {
    virtual ~ICsvSink() = default;
    virtual bool OnCell(int row, int column, const char* text, std::size_t length) = 0;
    virtual bool OnRowEnd(int row) = 0;
};
// false when a sink call returned false (out of memory); true otherwise.
bool ParseLocCsv(const char* data, std::size_t size, int escapesFromRow, ICsvSink& sink);

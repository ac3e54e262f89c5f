#include "core/LocManager2.h"

#include <cstring>
#include <new>
#include <string>

#include "core/FileHost.h"
#include "core/MemFile.h"
#include "core/QuorvanUtils.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Row 1 holds the language ids, row 2 the display names; texts start at row 3.
constexpr int kIdRow = 0;
constexpr int kNameRow = 1;
constexpr int kFirstTextRow = 2;

}  // namespace

bool ParseLocCsv(const char* data, std::size_t size, int escapesFromRow, ICsvSink& sink) {
    std::string cell;
    cell.reserve(1024);
    int row = 0, column = 0;
    bool quoted = false, cellFresh = true, rowStarted = false;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\0') break;
        if (c != '\r') rowStarted = true;
        if (c == '\\' && row >= escapesFromRow) {
            const char next = i + 1 < size ? data[i + 1] : '\0';
            if (next == 'n') {
                cell += "\r\n";
                ++i;
            } else if (next == 't') {
                cell += '\t';
                ++i;
            } else {
                cell += '\\';  // the next character is read normally
            }
            cellFresh = false;
            continue;
        }
        if (quoted) {
            if (c == '"') {
                if (i + 1 < size && data[i + 1] == '"') {
                    cell += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == '"' && cellFresh) {
            quoted = true;
            cellFresh = false;
            continue;
        }
        if (c == ',' || c == '\n') {
            if (!sink.OnCell(row, column, cell.data(), cell.size())) return false;
            cell.clear();
            cellFresh = true;
            if (c == ',') {
                ++column;
                continue;
            }
            if (!sink.OnRowEnd(row)) return false;
            ++row;
            column = 0;
            rowStarted = false;
            continue;
        }
        if (c == '\r') continue;
        cell += c;
        cellFresh = false;
    }
    if (rowStarted) {
        if (!sink.OnCell(row, column, cell.data(), cell.size())) return false;
        if (!sink.OnRowEnd(row)) return false;
    }
    return true;
}

CommonString DescribeLocCsvDamage(const char* data, std::size_t size) {
    struct CShapeSink : ICsvSink {
        int languages = 0;
        bool OnCell(int row, int column, const char* text, std::size_t length) override {
            if (row == kIdRow && column >= 1 && CropStartEndSpaces(text, static_cast<int>(length)).Length() > 0)
                ++languages;
            return true;
        }
        bool OnRowEnd(int row) override { return row < kNameRow; }
    } sink;
    // The reader stops at a zero byte: the data ends there.
    const void* zero = data != nullptr ? std::memchr(data, '\0', size) : nullptr;
    if (zero != nullptr) size = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
    ParseLocCsv(data, size, kFirstTextRow, sink);
    if (sink.languages < 1)
        return CommonString("no language id in its first row: the file is empty or not a text table");
    if (size > 0 && data[size - 1] != '\n')
        return CommonString("its last row ends without a line break: the file is cut short");
    return CommonString();
}

CommonString CropStartEndSpaces(const char* text, int length) {
    if (text == nullptr || length <= 0) return CommonString();
    int first = 0, last = length;
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    if (first == last) return CommonString();
    std::string trimmed(text + first, static_cast<std::size_t>(last - first));
    return CommonString(trimmed.c_str());
}

CommonString CropStartEndSpaces(const CommonString& text) {
    return CropStartEndSpaces(text.GetDataConst(), text.Length());
}

CommonStringRS<50> CropStartEndSpaces(const CommonStringRS<50>& text) {
    const CommonString cropped = CropStartEndSpaces(text.GetData(), text.Length());
    return CommonStringRS<50>(cropped.GetDataConst());
}

CLocManager2::CLocManager2(IFileHost* game) : m_pGame(game) {}

CLocManager2::~CLocManager2() = default;

int CLocManager2::Init(CommonString csvPath, int growBy) {
    strings.growBy = growBy;
    if (m_pGame == nullptr) return 0;
    CMemoryFile* file = m_pGame->CreateMemoryFileObject();
    if (file == nullptr) return 0;
    int result = 0;
    damage = CommonString();
    if (file->Open(m_pGame, csvPath.GetDataConst(), FileMode::Read)) {
        result = ReadLanguageIDs(file);
        if (result && file->GetBuffer() != nullptr)
            damage = DescribeLocCsvDamage(static_cast<const char*>(file->GetBuffer()),
                                          static_cast<std::size_t>(file->GetSize()));
    }
    file->Close();
    delete file;
    if (result) {
        path = csvPath;
        initialised = true;
    }
    return result;
}

int CLocManager2::InitWithDefuaultLanguage(int growBy) {
    strings.growBy = growBy;
    auto* id = new (std::nothrow) CommonString("enUS");
    auto* name = new (std::nothrow) CommonString("English");
    if (id == nullptr || name == nullptr || !languageIds.Add(id)) {
        delete id;
        delete name;
        return 0;
    }
    if (!displayNames.Add(name)) {
        delete name;
        return 0;
    }
    return 1;
}

int CLocManager2::ReadLanguageIDs(IMemFile* file) {
    if (file == nullptr || file->GetBuffer() == nullptr) return 0;
    languageIds.RemoveAll();
    displayNames.RemoveAll();

    struct CHeaderSink : ICsvSink {
        CLocManager2* self;
        bool noMemory = false;
        bool OnCell(int row, int column, const char* text, std::size_t length) override {
            if (column == 0 || row > kNameRow) return true;
            auto* cell = new (std::nothrow) CommonString(std::string(text, length).c_str());
            auto& list = row == kIdRow ? self->languageIds : self->displayNames;
            if (cell == nullptr || !list.Add(cell)) {
                delete cell;
                noMemory = true;
                return false;
            }
            return true;
        }
        // The two header rows are all that is needed.
        bool OnRowEnd(int row) override { return row < kNameRow; }
    } sink;
    sink.self = this;
    // The header rows are taken as they stand: no escapes.
    ParseLocCsv(static_cast<const char*>(file->GetBuffer()), static_cast<std::size_t>(file->GetSize()), kFirstTextRow,
                sink);
    return sink.noMemory ? 0 : 1;
}

void CLocManager2::SetCurrentLanguage(int index) {
    if (!initialised || index < 0 || index >= languageIds.count) return;
    const CommonString* id = languageIds.data[index];
    if (id == nullptr || id->Length() == 0) return;
    if (ReadCSVFile(path, id->GetDataConst())) currentLanguage = index;
}

int CLocManager2::ReadCSVFile(CommonString csvPath, const char* id) {
    FlushStringsData();
    if (m_pGame == nullptr) return 0;
    CMemoryFile* file = m_pGame->CreateMemoryFileObject();
    if (file == nullptr) return 0;
    int result = 0;
    if (file->Open(m_pGame, csvPath.GetDataConst(), FileMode::Read)) result = ReadCSVFile(file, id);
    file->Close();
    delete file;
    return result;
}

int CLocManager2::ReadCSVFile(IMemFile* file, const char* id) {
    FlushStringsData();
    if (file == nullptr || file->GetBuffer() == nullptr) return 0;

    struct CTextSink : ICsvSink {
        CLocManager2* self;
        const char* id;
        int textColumn = -1;
        CommonString key, text;
        bool noMemory = false;
        bool OnCell(int row, int column, const char* cell, std::size_t length) override {
            if (row == kIdRow) {
                // A later equal header cell wins.
                if (column >= 1 && id != nullptr && std::string(cell, length) == id) textColumn = column;
                return true;
            }
            if (row < kFirstTextRow) return true;
            if (column == 0)
                key = CropStartEndSpaces(cell, static_cast<int>(length));
            else if (column == textColumn)
                text = CropStartEndSpaces(cell, static_cast<int>(length));
            return true;
        }
        bool OnRowEnd(int row) override {
            if (row >= kFirstTextRow && key.Length() > 0) {
                auto* entry = new (std::nothrow) LocEntry();
                if (entry == nullptr) {
                    noMemory = true;
                    return false;
                }
                entry->key = key;
                entry->text = text;
                if (!self->strings.Add(entry)) {
                    delete entry;
                    noMemory = true;
                    return false;
                }
            }
            key = CommonString();
            text = CommonString();
            return true;
        }
    } sink;
    sink.self = this;
    sink.id = id;
    ParseLocCsv(static_cast<const char*>(file->GetBuffer()), static_cast<std::size_t>(file->GetSize()), kFirstTextRow,
                sink);
    if (sink.noMemory) {
        FlushStringsData();
        return 0;
    }
    ProcessHashIDs();
    return 1;
}

void CLocManager2::FlushStringsData() {
    const int step = strings.growBy;
    strings.RemoveAll();
    strings.growBy = step;
}

void CLocManager2::ProcessHashIDs() {
    for (int i = 0; i < strings.count; ++i) {
        LocEntry* e = strings.data[i];
        e->hash = e->key.Length() > 0 ? GetHashCode(e->key.GetDataConst()) : 0;
    }
}

int CLocManager2::FindEntry(const char* key) const {
    if (key == nullptr) return -1;
    const unsigned int hash = GetHashCode(key);
    if (hash == 0) return -1;
    // From the end: a key that stands in two rows gives its later row.
    for (int i = strings.count - 1; i >= 0; --i)
        if (strings.data[i]->hash == hash && strings.data[i]->key.IsEqual(key)) return i;
    for (int i = strings.count - 1; i >= 0; --i)
        if (strings.data[i]->key.IsEqual(key)) return i;
    return -1;
}

CommonString CLocManager2::LoadString(const char* key) {
    const int i = FindEntry(key);
    return i < 0 ? CommonString() : strings.data[i]->text;
}

CommonString CLocManager2::LoadString(const char* key, int offset) {
    const int i = FindEntry(key);
    if (i < 0) return CommonString();
    const long long target = static_cast<long long>(i) + offset;
    if (target < 0 || target >= strings.count) return CommonString();
    return strings.data[target]->text;
}

CommonString CLocManager2::GetLangID(int index) {
    if (index < 0 || index >= languageIds.count || languageIds.data[index] == nullptr) return CommonString();
    return *languageIds.data[index];
}

CommonString CLocManager2::GetLangDisplayName(int index) {
    if (index < 0 || index >= displayNames.count || displayNames.data[index] == nullptr) return CommonString();
    return *displayNames.data[index];
}

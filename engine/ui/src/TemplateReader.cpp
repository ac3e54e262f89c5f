// Template files: the block structure, whole-file reads and the single-record and single-action
// reads. The lines inside blocks are applied in TemplateReader_Lines.cpp.
#include "ui/TemplateReader.h"

#include <cstdio>
#include <new>
#include <string>

#include "TemplateText.h"
#include "ui/ElementHost.h"

using namespace ui_text;

namespace {

// Finds the first line whose key passes opens and whose value is exactly name (quotes included),
// hands it to open, then every following line to line, up to the first "end". False for a null
// name, no such line, an open that fails or an input that ends before that "end".
template <class TOpens, class TOpen, class TLine>
bool ReadNamedBlock(std::span<const char> bytes, const char* name, TOpens opens, TOpen open, TLine line) {
    if (name == nullptr) return false;
    TParseInput input = ParseInputOf(bytes, name);
    Text text;
    Text key;
    Text value;
    bool inBlock = false;
    while (Parser::GetNextLine(input, text)) {
        if (inBlock && Is(text, "end")) return true;
        Parser::ReadPropertyFromString(text, key, value);
        if (inBlock) {
            line(key, value);
        } else if (opens(key) && value.IsEqual(name)) {
            if (!open(key, value)) return false;
            inBlock = true;
        }
    }
    return false;
}

}  // namespace

int WidgetKindOfTypeWord(const CommonStringRS<50>& word) {
    for (int kind = 0; kind < kWidgetKindCount; ++kind)
        if (word.IsEqual(g_WidgetTypeNamesForFile[kind])) return kind;
    return -1;
}

int CTemplateReader::IsAWidgetType(const CommonStringRS<50>& word) { return WidgetKindOfTypeWord(word) >= 0 ? 1 : 0; }

void CTemplateReader::Reset() {
    m_nState = kOutside;
    m_bInChildList = false;
    m_bInActionsList = false;
}

TTemplate* CTemplateReader::ReadTemplate(IElementHost* game, const CommonString& fileName) {
    if (game == nullptr) return nullptr;
    return ReadTemplateAbsolutePath(game, game->GetUIDirectory() + fileName);
}

TTemplate* CTemplateReader::ReadTemplateAbsolutePath(IFileHost* game, const CommonString& path) {
    const std::optional<std::vector<char>> bytes = ReadGameFile(game, path);
    if (!bytes) return nullptr;
    TTemplate* templ = ReadTemplateFromBytes(*bytes, path.GetData());
    if (templ == nullptr || m_nState == kOutside) return templ;
    const bool inWidget = m_nState == kInWidget;
    const TWidget* widget = inWidget ? templ->LastWidget() : nullptr;
    const TAction* action = inWidget ? nullptr : templ->LastAction();
    const CommonString open = widget != nullptr ? widget->name : action != nullptr ? action->name : CommonString();
    // The name comes from the damaged bytes: only its printable characters reach the terminal.
    std::string shown;
    for (int i = 0; i < open.Length(); ++i) {
        const unsigned char c = static_cast<unsigned char>(open.GetDataConst()[i]);
        shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    std::fprintf(stderr,
                 "ui: %s is damaged: the file ends inside the block of the %s %s (no \"end\"): it is cut short\n",
                 path.GetData() != nullptr ? path.GetData() : "", inWidget ? "widget" : "action",
                 shown.empty() ? "?" : shown.c_str());
    Reset();
    delete templ;
    return nullptr;
}

TWidget* CTemplateReader::ReadWidget(IElementHost* game, const char* fileName, const char* name) {
    if (game == nullptr || fileName == nullptr) return nullptr;
    const std::optional<std::vector<char>> bytes = ReadGameFile(game, game->GetUIDirectory() + fileName);
    return bytes ? ReadWidgetFromBytes(*bytes, name) : nullptr;
}

TAction* CTemplateReader::ReadAction(IElementHost* game, const CommonString& fileName, const char* name) {
    if (game == nullptr || name == nullptr) return nullptr;
    const std::optional<std::vector<char>> bytes = ReadGameFile(game, game->GetUIDirectory() + fileName);
    return bytes ? ReadActionFromBytes(*bytes, name) : nullptr;
}

TTemplate* CTemplateReader::ReadTemplateFromBytes(std::span<const char> bytes, const char* name) {
    Reset();
    m_pTemplate = new (std::nothrow) TTemplate();
    if (m_pTemplate == nullptr) return nullptr;
    TParseInput input = ParseInputOf(bytes, name);
    Text line;
    while (Parser::GetNextLine(input, line)) ReadTemplateLine(line);
    return m_pTemplate;
}

int CTemplateReader::ReadTemplate(IFile* file) {
    const std::vector<char> bytes = ReadWholeFile(file);
    Reset();
    TParseInput input = ParseInputOf(bytes, "template");
    Text line;
    while (Parser::GetNextLine(input, line)) ReadTemplateLine(line);
    return 1;
}

void CTemplateReader::ReadTemplateLine(const Text& line) {
    if (Is(line, "end")) {
        if (m_nState == kInWidget && m_bInChildList)
            m_bInChildList = false;
        else if (m_nState == kInWidget && m_bInActionsList)
            m_bInActionsList = false;
        else
            m_nState = kOutside;
        return;
    }
    Text key;
    Text value;
    Parser::ReadPropertyFromString(line, key, value);
    if (m_nState == kOutside) {
        if (Is(key, "action")) {
            m_nState = kInAction;
            if (m_pTemplate != nullptr && m_pTemplate->AddAction()) m_pTemplate->LastAction()->name = NameOf(value);
            return;
        }
        // Anything else opens a widget block; a key that is no type word gives a root record.
        m_nState = kInWidget;
        const int typeKind = WidgetKindOfTypeWord(key);
        const int kind = typeKind >= 0 ? typeKind : kWidgetRoot;
        if (m_pTemplate != nullptr && m_pTemplate->AddWidget(kind)) {
            TWidget* record = m_pTemplate->LastWidget();
            record->kind = static_cast<signed char>(kind);
            record->name = NameOf(value);
        }
        return;
    }
    if (m_pTemplate == nullptr) return;
    if (m_nState == kInWidget) {
        // A record that could not be added leaves the lines with nowhere to go.
        if (m_pTemplate->LastWidget() != nullptr) SetWidgetProperty(key, value, nullptr);
    } else {
        SetActionProperty(key, value, nullptr);
    }
}

TWidget* CTemplateReader::ReadWidget(IFile* file, const char* name) {
    if (name == nullptr) return nullptr;
    const std::vector<char> bytes = ReadWholeFile(file);
    return ReadWidgetFromBytes(bytes, name);
}

TWidget* CTemplateReader::ReadWidgetFromBytes(std::span<const char> bytes, const char* name) {
    Reset();
    TWidget* record = nullptr;
    const bool read = ReadNamedBlock(
        bytes, name, [](const Text& key) { return WidgetKindOfTypeWord(key) >= 0; },
        [&record](const Text& key, const Text& value) {
            const int kind = WidgetKindOfTypeWord(key);
            record = TTemplate::CreateWidget(kind);
            if (record == nullptr) return false;
            record->kind = static_cast<signed char>(kind);
            record->name = NameOf(value);
            return true;
        },
        [this, &record](Text& key, Text& value) { SetWidgetProperty(key, value, record); });
    // The first "end" ends the record even when it only closes a child or binding list.
    Reset();
    if (read) return record;
    delete record;
    return nullptr;
}

TAction* CTemplateReader::ReadAction(IFile* file, const char* name) {
    if (name == nullptr) return nullptr;
    const std::vector<char> bytes = ReadWholeFile(file);
    return ReadActionFromBytes(bytes, name);
}

TAction* CTemplateReader::ReadActionFromBytes(std::span<const char> bytes, const char* name) {
    TAction* action = nullptr;
    const bool read = ReadNamedBlock(
        bytes, name, [](const Text& key) { return Is(key, "action"); },
        [&action](const Text&, const Text& value) {
            action = new (std::nothrow) TAction();
            if (action == nullptr) return false;
            action->name = NameOf(value);
            return true;
        },
        [this, &action](Text& key, Text& value) { SetActionProperty(key, value, action); });
    if (read) return action;
    delete action;
    return nullptr;
}

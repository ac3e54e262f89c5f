// Template files: the block structure, whole-file reads and the single-record and single-action
// reads. The lines inside blocks are applied in TemplateReader_Lines.cpp.
#include "ui/TemplateReader.h"

#include <new>

#include "TemplateText.h"

using namespace ui_text;

namespace {

TParseInput InputOf(std::span<const char> bytes, const char* name) {
    TParseInput input;
    input.bytes = bytes.data();
    input.size = static_cast<int>(bytes.size());
    input.name = name != nullptr ? name : "";
    return input;
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

TTemplate* CTemplateReader::ReadTemplateFromBytes(std::span<const char> bytes, const char* name) {
    Reset();
    m_pTemplate = new (std::nothrow) TTemplate();
    if (m_pTemplate == nullptr) return nullptr;
    TParseInput input = InputOf(bytes, name);
    Text line;
    while (Parser::GetNextLine(input, line)) ReadTemplateLine(line);
    return m_pTemplate;
}

int CTemplateReader::ReadTemplate(IFile* file) {
    const std::vector<char> bytes = ReadWholeFile(file);
    Reset();
    TParseInput input = InputOf(bytes, "template");
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
    if (name == nullptr) return nullptr;
    Reset();
    TParseInput input = InputOf(bytes, name);
    Text line;
    Text key;
    Text value;
    TWidget* record = nullptr;
    while (Parser::GetNextLine(input, line)) {
        if (record == nullptr) {
            Parser::ReadPropertyFromString(line, key, value);
            const int kind = WidgetKindOfTypeWord(key);
            if (kind < 0 || !value.IsEqual(name)) continue;
            record = TTemplate::CreateWidget(kind);
            if (record == nullptr) return nullptr;
            record->kind = static_cast<signed char>(kind);
            record->name = NameOf(value);
            continue;
        }
        // The first "end" ends the record, even when it only closes a child or binding list.
        if (Is(line, "end")) {
            Reset();
            return record;
        }
        Parser::ReadPropertyFromString(line, key, value);
        SetWidgetProperty(key, value, record);
    }
    delete record;
    Reset();
    return nullptr;
}

TAction* CTemplateReader::ReadAction(IFile* file, const char* name) {
    if (name == nullptr) return nullptr;
    const std::vector<char> bytes = ReadWholeFile(file);
    return ReadActionFromBytes(bytes, name);
}

TAction* CTemplateReader::ReadActionFromBytes(std::span<const char> bytes, const char* name) {
    if (name == nullptr) return nullptr;
    TParseInput input = InputOf(bytes, name);
    Text line;
    Text key;
    Text value;
    TAction* action = nullptr;
    while (Parser::GetNextLine(input, line)) {
        if (action == nullptr) {
            Parser::ReadPropertyFromString(line, key, value);
            if (!Is(key, "action") || !value.IsEqual(name)) continue;
            action = new (std::nothrow) TAction();
            if (action == nullptr) return nullptr;
            action->name = NameOf(value);
            continue;
        }
        if (Is(line, "end")) return action;
        Parser::ReadPropertyFromString(line, key, value);
        SetActionProperty(key, value, action);
    }
    delete action;
    return nullptr;
}

#pragma once
// The reader of UI template files: turns the text of a template file into a TTemplate (one record
// per widget block, one action per action block), or reads one record or one action of a file.
//
// File format, on the data-file line syntax: a top-level line whose key is a type word ("root",
// "image", "text", "button", "dialog", "progress", "tiledBG", "tuner", "text_multi", "checkBox",
// "textInfo") opens a widget block named by its value; "action = <name>" opens an action block; a
// line "end" closes the innermost open list or block. Inside a widget block: property lines of the
// record; "child = <record>" starts a placement whose lines follow up to an "end"; a line whose
// value is "actions" starts the command bindings ("onCommand = <widget id>, <action>") up to an
// "end". Inside an action block: the steps "create", "createV2" and "destroy".
//
// The reader is tolerant: nothing in a template is an error. Unknown keys are ignored, an unknown
// top-level key opens a root record, malformed values leave fields as they were and a missing
// "end" only keeps later lines in the open block. It never reads past its input.
//
// Depends on: core (files, parser). Main thread only; one reader for one reading at a time.

#include <span>

#include "core/CommonString.h"
#include "ui/Template.h"

class IElementHost;
class IFile;
class IFileHost;

class CTemplateReader {
public:
    CTemplateReader() = default;
    CTemplateReader(const CTemplateReader&) = delete;
    CTemplateReader& operator=(const CTemplateReader&) = delete;
    // Forgets the template; never deletes it.
    ~CTemplateReader() { m_pTemplate = nullptr; }

    // The template file of that name in the game's UI directory: a new template (owned by the
    // caller), or null when the file cannot be opened.
    [[nodiscard]] TTemplate* ReadTemplate(IElementHost* game, const CommonString& fileName);
    // The same for a path as the paks name it. A file that ends inside a widget or action block
    // (no "end": a file cut short, whose later records are missing) is refused: null, with one
    // line on stderr naming the file and the open block.
    [[nodiscard]] TTemplate* ReadTemplateAbsolutePath(IFileHost* game, const CommonString& path);
    // One record or one action of the template file of that name in the game's UI directory (see the
    // byte forms below); null also when the file cannot be opened.
    [[nodiscard]] TWidget* ReadWidget(IElementHost* game, const char* fileName, const char* name);
    [[nodiscard]] TAction* ReadAction(IElementHost* game, const CommonString& fileName, const char* name);

    // The decoding entry shared by the file readers, the tests, the tools and the fuzz target: a
    // new template (owned by the caller) from the bytes of a template file; null only when memory
    // runs out. name is for messages.
    [[nodiscard]] TTemplate* ReadTemplateFromBytes(std::span<const char> bytes, const char* name);
    // Parses the whole file, from its start, into the reader's template; always 1.
    int ReadTemplate(IFile* file);

    // The first record whose opening line has a type word as key and exactly name as value (quotes
    // included), with the lines up to its first "end"; owned by the caller. Null for a null name,
    // no match, or an input that ends before that "end".
    [[nodiscard]] TWidget* ReadWidgetFromBytes(std::span<const char> bytes, const char* name);
    [[nodiscard]] TWidget* ReadWidget(IFile* file, const char* name);
    // The same for an action block ("action = name").
    [[nodiscard]] TAction* ReadActionFromBytes(std::span<const char> bytes, const char* name);
    [[nodiscard]] TAction* ReadAction(IFile* file, const char* name);

    // Routes one line of a widget block: binding list, child list or a property of the record; a
    // null record means the template's last record.
    void SetWidgetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value, TWidget* record);
    // One placement line, applied to the record's last child placement; nothing for null.
    void SetWidgetListEntryProperty(TDialog* record, CommonStringRS<50>& key, CommonStringRS<50>& value);
    // One binding line ("onCommand = <widget id>, <action>"); nothing for a null record.
    void SetActionListEntry(TDialog* record, CommonStringRS<50>& key, CommonStringRS<50>& value);
    // One step line of an action; a null action means the template's last action (nothing when
    // there is none).
    void SetActionProperty(CommonStringRS<50>& key, CommonStringRS<50>& value, TAction* action);
    // 1 when word is one of the 11 type words.
    static int IsAWidgetType(const CommonStringRS<50>& word);

    // The template being filled (not owned); set by ReadTemplateFromBytes, or by the caller before
    // ReadTemplate.
    void SetTemplate(TTemplate* templ) { m_pTemplate = templ; }
    TTemplate* GetTemplate() const { return m_pTemplate; }

private:
    // Block state: outside any block, in a widget block, in an action block.
    enum : int { kOutside = 0, kInWidget = 1, kInAction = 2 };

    // Clears the block state and both list flags.
    void Reset();
    // One line of a whole-file read.
    void ReadTemplateLine(const CommonStringRS<50>& line);

    TTemplate* m_pTemplate = nullptr;
    int m_nState = kOutside;
    bool m_bInChildList = false;
    bool m_bInActionsList = false;
};

// The kind of a type word, or -1 when the word is none of the 11.
int WidgetKindOfTypeWord(const CommonStringRS<50>& word);

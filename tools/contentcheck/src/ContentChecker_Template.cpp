// The UI template, read by the engine's template reader: the template rows of code_refs.txt (roots,
// the ids each screen needs, where the special dialogs may sit, format captions) and the names
// its records give the rest of the pak (sprite sets, styles, text keys, records, actions).
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <span>

#include "contentcheck/ContentChecker.h"
#include "core/LocManager2.h"
#include "ui/TemplateReader.h"
#include "ui/UILayout.h"

namespace contentcheck {
namespace {

const char* const kTemplate = "ui\\ui_iphone\\ui_main.txt";

bool IsTextKind(int kind) {
    return kind == kWidgetText || kind == kWidgetTextMulti || kind == kWidgetTextInfo || kind == kWidgetButton ||
           kind == kWidgetCheckBox;
}

const TextDesc* TextOfRecord(const TWidget* r) {
    switch (r->kind) {
        case kWidgetText:
        case kWidgetTextMulti:
        case kWidgetTextInfo:
            return &static_cast<const TWText*>(r)->text;
        case kWidgetButton:
        case kWidgetCheckBox:
            return &static_cast<const TButton*>(r)->text;
        default:
            return nullptr;
    }
}

}  // namespace

void CContentChecker::TTemplateDeleter::operator()(TTemplate* t) const { delete t; }

TWidget* CContentChecker::Record(const std::string& name) const {
    return m_Template != nullptr ? m_Template->GetWidget(name.c_str()) : nullptr;
}

TAction* CContentChecker::Action(const std::string& name) const {
    return m_Template != nullptr ? m_Template->GetAction(CommonString(name.c_str())) : nullptr;
}

void CContentChecker::LoadTemplate() {
    std::vector<std::uint8_t> bytes;
    if (!m_Pak.Read(kTemplate, bytes)) return;  // a path row's finding
    CTemplateReader reader;
    const std::span<const char> text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    m_Template.reset(reader.ReadTemplateFromBytes(text, kTemplate));
}

std::vector<std::string> CContentChecker::ActionsRunOn(const std::string& root) const {
    std::vector<std::string> names;
    for (const auto& [onRoot, action] : m_CodeRunActions)
        if (onRoot == root || onRoot == "*") names.push_back(action);
    return names;
}

std::set<std::string> CContentChecker::Reachable(const std::string& root) const {
    std::set<std::string> seen;
    std::vector<std::string> todo{root};
    std::vector<std::string> actions = ActionsRunOn(root);
    std::set<std::string> actionsDone;
    while (!todo.empty() || !actions.empty()) {
        while (!actions.empty()) {
            const std::string name = actions.back();
            actions.pop_back();
            const TAction* action = Action(name);
            if (action == nullptr || !actionsDone.insert(name).second) continue;
            for (int i = 0; i < action->steps.count; ++i)
                if (action->steps.data[i]->type == kStepCreate) todo.push_back(Str(action->steps.data[i]->name));
        }
        if (todo.empty()) break;
        const std::string name = todo.back();
        todo.pop_back();
        TWidget* record = Record(name);
        if (record == nullptr || !seen.insert(name).second) continue;
        const TDialog* dialog = AsDialogRecord(record);
        if (dialog == nullptr) continue;
        if (dialog->background.Length() > 0) todo.push_back(Str(dialog->background));
        for (int i = 0; i < dialog->group.children.count; ++i)
            todo.push_back(Str(dialog->group.children.data[i]->name));
        for (int i = 0; i < dialog->group.actions.count; ++i) {
            const std::string action = Str(dialog->group.actions.data[i]->action);
            if (action != gc_strBackActionId) actions.push_back(action);
        }
    }
    return seen;
}

std::set<std::string> CContentChecker::DirectChildren(const std::string& root) const {
    std::set<std::string> direct;
    const TDialog* dialog = AsDialogRecord(Record(root));
    // "*": whatever the actions the game runs on every root create.
    if (dialog == nullptr && root != "*") return direct;
    for (int i = 0; dialog != nullptr && i < dialog->group.children.count; ++i)
        direct.insert(Str(dialog->group.children.data[i]->name));
    // Every action runs on the root: what any action of this screen creates is the root's own child.
    for (const std::string& name : Reachable(root)) {
        const TDialog* d = AsDialogRecord(Record(name));
        for (int i = 0; d != nullptr && i < d->group.actions.count; ++i) {
            const TAction* action = Action(Str(d->group.actions.data[i]->action));
            for (int s = 0; action != nullptr && s < action->steps.count; ++s)
                if (action->steps.data[s]->type == kStepCreate) direct.insert(Str(action->steps.data[s]->name));
        }
    }
    for (const std::string& name : ActionsRunOn(root)) {
        const TAction* action = Action(name);
        for (int s = 0; action != nullptr && s < action->steps.count; ++s)
            if (action->steps.data[s]->type == kStepCreate) direct.insert(Str(action->steps.data[s]->name));
    }
    return direct;
}

bool CContentChecker::HasDescendant(const std::string& dialog, const std::string& id) const {
    std::set<std::string> seen;
    std::function<bool(const std::string&)> walk = [&](const std::string& name) {
        const TDialog* d = AsDialogRecord(Record(name));
        if (d == nullptr || !seen.insert(name).second) return false;
        for (int i = 0; i < d->group.children.count; ++i) {
            const std::string child = Str(d->group.children.data[i]->name);
            if (child == id || walk(child)) return true;
        }
        return false;
    };
    return walk(dialog);
}

void CContentChecker::CheckTemplateRow(const TCodeRef& row) {
    const std::vector<std::string>& a = row.args;
    const std::string where = "code_refs.txt:" + std::to_string(row.line) + " " + row.kind + " " + a[0];
    if (m_Template == nullptr) {
        m_Findings.Add(where, "the template %s cannot be read", kTemplate);
        return;
    }
    if (row.kind == "root") {
        const TWidget* r = Record(a[0]);
        if (r == nullptr || r->kind != kWidgetRoot) m_Findings.Add(where, "the template has no root %s", a[0].c_str());
    } else if (row.kind == "runs") {
        for (std::size_t i = 1; i < a.size(); ++i)
            if (Action(a[i]) == nullptr) m_Findings.Add(where, "the template has no action %s", a[i].c_str());
    } else if (row.kind == "reach") {
        const std::set<std::string> reach = Reachable(a[0]);
        for (std::size_t i = 1; i < a.size(); ++i)
            if (reach.count(a[i]) == 0)
                m_Findings.Add(where, "%s cannot be reached from %s (placed or created by its actions)", a[i].c_str(),
                               a[0].c_str());
    } else if (row.kind == "inside") {
        for (std::size_t i = 1; i < a.size(); ++i)
            if (!HasDescendant(a[0], a[i])) m_Findings.Add(where, "%s holds no child %s", a[0].c_str(), a[i].c_str());
    } else if (row.kind == "direct") {
        const std::set<std::string> direct = DirectChildren(a[0]);
        for (std::size_t i = 1; i < a.size(); ++i)
            if (direct.count(a[i]) == 0)
                m_Findings.Add(where, "%s is not a direct child of %s, placed or created by an action it runs",
                               a[i].c_str(), a[0].c_str());
    } else if (row.kind == "nested" || row.kind == "special") {
        // nested: made into game classes only inside a dialog; special: made only on a root.
        const bool nested = row.kind == "nested";
        for (int w = 0; w < m_Template->widgets.count; ++w) {
            const TDialog* d = AsDialogRecord(m_Template->widgets.data[w]);
            if (d == nullptr || (d->kind == kWidgetRoot) != nested) continue;
            for (int i = 0; i < d->group.children.count; ++i) {
                const std::string child = Str(d->group.children.data[i]->name);
                if (std::find(a.begin(), a.end(), child) != a.end())
                    m_Findings.Add(where,
                                   nested ? "%s is placed on the root %s; it must sit inside a dialog"
                                          : "%s is placed inside the dialog %s; only a root makes it",
                                   child.c_str(), Str(d->name).c_str());
            }
        }
        for (int k = 0; nested && k < m_Template->actions.count; ++k) {
            const TAction* action = m_Template->actions.data[k];
            for (int s = 0; s < action->steps.count; ++s) {
                const std::string made = Str(action->steps.data[s]->name);
                if (action->steps.data[s]->type == kStepCreate && std::find(a.begin(), a.end(), made) != a.end())
                    m_Findings.Add(where, "the action %s creates %s on the root; it must sit inside a dialog",
                                   Str(action->name).c_str(), made.c_str());
            }
        }
    } else if (row.kind == "caption") {
        const TWidget* r = Record(a[0]);
        const TextDesc* text = r != nullptr ? TextOfRecord(r) : nullptr;
        const std::string found = text != nullptr ? FormatSignature(Str(text->caption)) : "";
        if (text == nullptr)
            m_Findings.Add(where, "the template has no text record %s", a[0].c_str());
        else if (found != a[1])
            m_Findings.Add(where, "the caption \"%s\" has the conversions %s, the code supplies %s",
                           Str(text->caption).c_str(), found.c_str(), a[1].c_str());
    } else if (row.kind == "recthit") {
        // Hit-tested by its rectangle: without a size the rectangle shrinks to its content, and
        // the button answers on a few pixels only.
        for (const std::string& id : a) {
            const TWidget* r = Record(id);
            if (r != nullptr && (r->width < 2 || r->height < 2))
                m_Findings.Add(where, "%s is hit-tested by its rectangle but gives no size", id.c_str());
        }
    } else if (row.kind == "tabs") {
        // A tab control makes a tab of every button child, and the code has one tab per table.
        const TDialog* d = AsDialogRecord(Record(a[0]));
        int tabs = 0;
        for (int i = 0; d != nullptr && i < d->group.children.count; ++i) {
            const TWidget* child = Record(Str(d->group.children.data[i]->name));
            if (child != nullptr && child->kind == kWidgetButton) ++tabs;
        }
        if (d == nullptr)
            m_Findings.Add(where, "the template has no dialog %s", a[0].c_str());
        else if (std::to_string(tabs) != a[1])
            m_Findings.Add(where, "%s holds %d tab buttons, the code expects %s", a[0].c_str(), tabs, a[1].c_str());
    } else if (row.kind == "frames") {
        // Buttons whose frame the code picks by state need that many frames in their set.
        const TWidget* r = Record(a[0]);
        const TButton* button = r != nullptr && r->kind == kWidgetButton ? static_cast<const TButton*>(r) : nullptr;
        if (button == nullptr || !button->image.useSet || button->image.set.Length() == 0)
            m_Findings.Add(where, "the template has no button %s drawn from a sprite set", a[0].c_str());
        else
            CheckSet(where, Str(button->image.set), std::atoi(a[1].c_str()), {"ui"});
    } else if (row.kind == "fullbar") {
        const TWidget* r = Record(a[0]);
        const TProgress* bar = r != nullptr && r->kind == kWidgetProgress ? static_cast<const TProgress*>(r) : nullptr;
        const bool full = bar != nullptr && ((bar->fullImage.useSet && bar->fullImage.set.Length() > 0) ||
                                             bar->fullImage.file.Length() > 0);
        if (!full) m_Findings.Add(where, "%s is no progress bar with a full image; it would stay at 0", a[0].c_str());
    }
}

std::set<std::string> CContentChecker::FarmOnlyRecords() const {
    static const std::set<std::string> kFarmRoots = {"root_yard", "root_buy"};
    std::set<std::string> farm, elsewhere;
    for (int w = 0; w < m_Template->widgets.count; ++w) {
        const TWidget* r = m_Template->widgets.data[w];
        if (r->kind != kWidgetRoot) continue;
        const std::string root = Str(r->name);
        for (const std::string& name : Reachable(root)) (kFarmRoots.count(root) > 0 ? farm : elsewhere).insert(name);
    }
    std::set<std::string> only;
    for (const std::string& name : farm)
        if (elsewhere.count(name) == 0) only.insert(name);
    return only;
}

void CContentChecker::CheckTemplateReferences() {
    if (m_Template == nullptr) return;
    const std::set<std::string> farmOnly = FarmOnlyRecords();
    std::vector<std::string> groups{"ui"};
    auto set = [&](const std::string& where, const CommonString& name, int frames) {
        if (name.Length() > 0) CheckSet(where, Str(name), frames, groups);
    };
    auto image = [&](const std::string& where, const ImageDesc& d, int minFrames) {
        if (d.useSet)
            set(where + " set", d.set, std::max(minFrames, d.frame + 1));
        else if (d.file.Length() > 0)
            CheckImage(where + " file", Str(d.file), false);
    };
    auto record = [&](const std::string& where, const std::string& name, const char* what) {
        if (!name.empty() && Record(name) == nullptr)
            m_Findings.Add(where, "%s names %s, which is no record", what, name.c_str());
    };
    for (int w = 0; w < m_Template->widgets.count; ++w) {
        const TWidget* r = m_Template->widgets.data[w];
        const std::string where = std::string(kTemplate) + " " + Str(r->name);
        groups =
            farmOnly.count(Str(r->name)) > 0 ? std::vector<std::string>{"ui", "farm"} : std::vector<std::string>{"ui"};
        switch (r->kind) {
            case kWidgetImage:
                image(where, static_cast<const TImage*>(r)->image, 1);
                break;
            case kWidgetButton:
                // A game button shows frame 1 while it is pressed.
                image(where, static_cast<const TButton*>(r)->image, 2);
                break;
            case kWidgetCheckBox:
                image(where, static_cast<const TCheckBox*>(r)->image, 1);
                image(where + " checked", static_cast<const TCheckBox*>(r)->checkedImage, 1);
                break;
            case kWidgetProgress:
                image(where + " empty", static_cast<const TProgress*>(r)->emptyImage, 1);
                image(where + " full", static_cast<const TProgress*>(r)->fullImage, 1);
                break;
            case kWidgetTuner: {
                const auto* t = static_cast<const TTuner*>(r);
                set(where + " tunerId", t->tunerId, t->tunerFrame + 1);
                set(where + " fullId", t->fullId, t->fullFrame + 1);
                set(where + " handleId", t->handleId, 1);
                break;
            }
            case kWidgetTiledBG: {
                const auto* t = static_cast<const TTiledBG*>(r);
                // One set holding the nine tiles, or a set per tile.
                for (int i = 0; i < kTileCount; ++i)
                    set(where + " " + g_TileKeys[i], t->tiles[i], t->single_set && i == kTileCenter ? 9 : 1);
                break;
            }
            default:
                break;
        }
        if (const TextDesc* text = TextOfRecord(r)) {
            const std::string style = Str(text->style);
            if (!style.empty() && m_pStyles->GetStyleById(text->style) == nullptr)
                m_Findings.Add(where, "style %s is not in game_styles.txt", style.c_str());
        }
        if (r->txtid.Length() > 0) {
            const std::string key = Str(r->txtid), localised = TextOf(key);
            const TextDesc* text = TextOfRecord(r);
            if (localised.empty())
                m_Findings.Add(where, "Lang\\texts.csv has no text for its txtid %s", key.c_str());
            else if (text != nullptr && FormatSignature(localised) != FormatSignature(Str(text->caption)))
                m_Findings.Add(where, "the text of %s has the conversions %s, its caption %s", key.c_str(),
                               FormatSignature(localised).c_str(), FormatSignature(Str(text->caption)).c_str());
            if (IsTextKind(r->kind) && localised.find('%') != std::string::npos) m_FormatKeys.insert(key);
        }
        const TDialog* dialog = AsDialogRecord(const_cast<TWidget*>(r));
        if (dialog == nullptr) continue;
        record(where, Str(dialog->background), "background");
        for (int i = 0; i < dialog->group.children.count; ++i) {
            const WidgetContext* child = dialog->group.children.data[i];
            record(where, Str(child->name), "a child");
            // An out delay of 0 removes the widget as soon as it is made.
            if (child->outEffect)
                m_Findings.Add(where, "the placement of %s fades out; placements never do", Str(child->name).c_str());
        }
        for (int i = 0; i < dialog->group.actions.count; ++i) {
            const std::string action = Str(dialog->group.actions.data[i]->action);
            if (action != gc_strBackActionId && Action(action) == nullptr)
                m_Findings.Add(where, "onCommand runs %s, which is no action", action.c_str());
        }
    }
    for (int k = 0; k < m_Template->actions.count; ++k) {
        const TAction* action = m_Template->actions.data[k];
        const std::string where = std::string(kTemplate) + " action " + Str(action->name);
        for (int s = 0; s < action->steps.count; ++s)
            record(where, Str(action->steps.data[s]->name),
                   action->steps.data[s]->type == kStepCreate ? "a create step" : "a destroy step");
    }
}

}  // namespace contentcheck

// The lines inside template blocks: routing a widget block's lines, child placements, command
// bindings and action steps.
#include "TemplateLists.h"
#include "TemplateText.h"
#include "ui/TemplateReader.h"

using namespace ui_text;

namespace {

FIXED_FLOAT SecondsOf(const Text& text) { return Parser::AToF(text.GetData(), 0); }

bool EffectOn(const Text& text) { return IntOf(text) > 0; }

// A position pair: x (or, where the word is taken, "centered" on the parent), then y.
void ReadPosition(const Text& x, const Text& y, WidgetContext& context, bool centeredWord) {
    if (centeredWord && Is(x, "centered")) {
        context.x = 0;
        context.alignXInParent = 1;
    } else {
        context.x = static_cast<short>(IntOf(x));
    }
    context.y = static_cast<short>(IntOf(y));
}

}  // namespace

void CTemplateReader::SetWidgetProperty(Text& key, Text& value, TWidget* record) {
    if (record == nullptr && m_pTemplate != nullptr) record = m_pTemplate->LastWidget();
    if (record == nullptr) return;
    TDialog* dialog = AsDialogRecord(record);
    if (Is(value, "actions")) {
        m_bInActionsList = true;
        m_bInChildList = false;
        return;
    }
    if (Is(key, "child")) {
        m_bInChildList = true;
        m_bInActionsList = false;
        if (dialog != nullptr) {
            auto* placement = new WidgetContext();
            placement->name = NameOf(value);
            (void)AddToTemplateList(dialog->group.children, placement, 1);
        }
        return;
    }
    if (m_bInActionsList) {
        if (dialog != nullptr) SetActionListEntry(dialog, key, value);
        return;
    }
    if (!m_bInChildList) {
        record->SetProperty(key, value);
        return;
    }
    if (dialog != nullptr) SetWidgetListEntryProperty(dialog, key, value);
}

void CTemplateReader::SetWidgetListEntryProperty(TDialog* record, Text& key, Text& value) {
    if (record == nullptr || record->group.children.count == 0) return;
    WidgetContext& context = *record->group.children.data[record->group.children.count - 1];
    if (Is(value, "centered")) {
        context.x = 0;
        context.alignXInParent = 1;
        return;
    }
    Text parts[2];
    int count = 0;
    if (Is(key, "position")) {
        Parser::GetSubStringsArrayVar(value, 2, parts, count);
        if (count == 2) ReadPosition(parts[0], parts[1], context, true);
    } else if (Is(key, "align") || Is(key, "alignX")) {
        context.alignX = AlignWord(value, "right");
    } else if (Is(key, "alignY")) {
        context.alignY = AlignWord(value, "bottom");
    } else if (Is(key, "alignXInParent")) {
        context.alignXInParent = AlignWord(value, "right");
    } else if (Is(key, "alignYInParent")) {
        context.alignYInParent = AlignWord(value, "bottom");
    } else if (Is(key, "in") || Is(key, "out")) {
        Parser::GetSubStringsArrayVar(value, 2, parts, count);
        if (count < 1) return;
        const bool in = Is(key, "in");
        (in ? context.inEffect : context.outEffect) = true;
        (in ? context.inDelay : context.outDelay) = SecondsOf(parts[0]);
        if (count == 2) (in ? context.inDuration : context.outDuration) = SecondsOf(parts[1]);
    }
}

void CTemplateReader::SetActionListEntry(TDialog* record, Text& key, Text& value) {
    if (record == nullptr || !Is(key, "onCommand")) return;
    Text parts[2];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, 2, parts, count);
    if (count < 2) return;
    ChildAction* binding = new ChildAction();
    binding->widgetId = NameOf(parts[0]);
    binding->action = NameOf(parts[1]);
    binding->event = kBindingEventClick;
    (void)AddToTemplateList(record->group.actions, binding, 1);
}

void CTemplateReader::SetActionProperty(Text& key, Text& value, TAction* action) {
    if (action == nullptr && m_pTemplate != nullptr) action = m_pTemplate->LastAction();
    if (action == nullptr) return;
    const bool destroy = Is(key, "destroy");
    const bool create = Is(key, "create");
    const bool createV2 = Is(key, "createV2");
    if (!destroy && !create && !createV2) return;
    if (!action->AddStep(destroy ? kStepDestroy : kStepCreate)) return;
    ActionStep& step = *action->steps.data[action->steps.count - 1];
    WidgetContext& context = step.context;
    // Part i (1-based, as the file's columns are counted) exists only when the line has that many.
    Text parts[12];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, destroy ? 3 : create ? 9 : 12, parts, count);
    const auto has = [count](int column) { return count >= column; };
    const auto part = [&parts](int column) -> const Text& { return parts[column - 1]; };
    if (has(1)) step.name = NameOf(part(1));
    if (destroy) {
        if (has(2)) context.outEffect = EffectOn(part(2));
        if (has(3)) context.outDuration = SecondsOf(part(3));
        return;
    }
    // The position columns count only from three values on: a name and one number place at 0, 0.
    if (has(3)) ReadPosition(part(2), part(3), context, create);
    if (create) {
        if (has(4)) context.alignX = AlignWord(part(4), "right");
        if (has(5)) context.inEffect = EffectOn(part(5));
        if (has(6)) context.inDelay = SecondsOf(part(6));
        if (has(7)) context.inDuration = SecondsOf(part(7));
        if (has(8)) context.outEffect = EffectOn(part(8));
        if (has(9)) context.outDuration = SecondsOf(part(9));
        return;
    }
    if (has(4)) context.alignX = AlignWord(part(4), "right");
    if (has(5)) context.alignXInParent = AlignWord(part(5), "right");
    if (has(6)) context.alignY = AlignWord(part(6), "bottom");
    if (has(7)) context.alignYInParent = AlignWord(part(7), "bottom");
    if (has(8)) context.inEffect = EffectOn(part(8));
    if (has(9)) context.inDelay = SecondsOf(part(9));
    if (has(10)) context.inDuration = SecondsOf(part(10));
    if (has(11)) context.outEffect = EffectOn(part(11));
    if (has(12)) context.outDuration = SecondsOf(part(12));
}

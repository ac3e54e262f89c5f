// Feeds arbitrary bytes to the template reader as a whole file, then reads single records and
// actions of the same bytes by the names found, copies every record and checks what the model
// promises: kinds in range, dialog lists intact, lookups answering the first of a name.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "ui/Template.h"
#include "ui/TemplateReader.h"

namespace {

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

void CheckRecord(const TWidget* record) {
    FUZZ_CHECK(record != nullptr);
    FUZZ_CHECK(record->kind >= 0 && record->kind < kWidgetKindCount);
    if (const auto* dialog = dynamic_cast<const TDialog*>(record)) {
        for (int i = 0; i < dialog->group.children.count; ++i) FUZZ_CHECK(dialog->group.children.data[i] != nullptr);
        for (int i = 0; i < dialog->group.actions.count; ++i)
            FUZZ_CHECK(dialog->group.actions.data[i]->event == kBindingEventClick);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    CTemplateReader reader;
    std::unique_ptr<TTemplate> templ(reader.ReadTemplateFromBytes(bytes, "fuzz"));
    FUZZ_CHECK(templ != nullptr);
    for (int i = 0; i < templ->widgets.count; ++i) {
        TWidget* record = templ->widgets.data[i];
        CheckRecord(record);
        std::unique_ptr<TWidget> copy(TTemplate::CopyWidget(record));
        CheckRecord(copy.get());
        // The first record of a name is the one lookups find; an empty name is no name to look up.
        TWidget* found = templ->GetWidget(record->name.GetData());
        if (record->name.Length() == 0) {
            FUZZ_CHECK(found == nullptr);
            continue;
        }
        FUZZ_CHECK(found != nullptr && found->name == record->name);
        int at = 0;
        while (templ->widgets.data[at] != found) ++at;
        FUZZ_CHECK(at <= i);
    }
    for (int i = 0; i < templ->actions.count; ++i) {
        const TAction* action = templ->actions.data[i];
        for (int s = 0; s < action->steps.count; ++s) {
            const int type = action->steps.data[s]->type;
            FUZZ_CHECK(type == kStepCreate || type == kStepDestroy);
        }
        TAction copy(*action);
        FUZZ_CHECK(copy.steps.count == action->steps.count);
    }
    // Single reads by a name the file holds (quotes were removed, so they may find nothing).
    if (templ->widgets.count > 0) {
        const char* name = templ->widgets.data[templ->widgets.count - 1]->name.GetData();
        std::unique_ptr<TWidget> one(reader.ReadWidgetFromBytes(bytes, name != nullptr ? name : ""));
        if (one) CheckRecord(one.get());
    }
    if (templ->actions.count > 0) {
        const char* name = templ->actions.data[0]->name.GetData();
        std::unique_ptr<TAction> one(reader.ReadActionFromBytes(bytes, name != nullptr ? name : ""));
    }
    FUZZ_CHECK(templ->GetTotalBytes() == 40 + 32 * (templ->widgets.count + templ->actions.count));
    return 0;
}

// The template as text, and the references in it that lead nowhere.
#include "templatedump/TemplateDump.h"

#include <cstdarg>
#include <cstdio>
#include <set>
#include <string>

#include "ui/Template.h"
#include "ui/UILayout.h"

namespace templatedump {

namespace {

std::string Str(const CommonString& s) { return s.GetData() != nullptr ? s.GetData() : ""; }

// Built by appending: GCC's -O3 misreads the operator+ chain on a temporary as an overlapping copy.
std::string Quoted(const CommonString& s) {
    std::string out(1, '"');
    out += Str(s);
    out += '"';
    return out;
}

__attribute__((format(printf, 2, 3))) void Add(std::string& out, const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

double Seconds(FIXED_FLOAT value) { return value / 256.0; }

const char* HorizontalWord(int align) { return align == 0 ? "left" : align == 1 ? "center" : "right"; }
const char* VerticalWord(int align) { return align == 0 ? "top" : align == 1 ? "center" : "bottom"; }

// Position, alignments and fades of a placement or a create step.
void AddPlacement(std::string& out, const WidgetContext& c) {
    Add(out, " at %d %d, align %s/%s, from parent %s/%s", c.x, c.y, HorizontalWord(c.alignX), VerticalWord(c.alignY),
        HorizontalWord(c.alignXInParent), VerticalWord(c.alignYInParent));
    if (c.inEffect) Add(out, ", in after %.2f s over %.2f s", Seconds(c.inDelay), Seconds(c.inDuration));
    if (c.outEffect) Add(out, ", out after %.2f s over %.2f s", Seconds(c.outDelay), Seconds(c.outDuration));
}

void AddImage(std::string& out, const char* label, const ImageDesc& image) {
    if (image.useSet) {
        Add(out, "  %s set %s frame %d\n", label, Quoted(image.set).c_str(), image.frame);
        return;
    }
    if (image.file.Length() == 0 && image.afile.Length() == 0) return;
    Add(out, "  %s file %s afile %s frames %d per row %d", label, Quoted(image.file).c_str(),
        Quoted(image.afile).c_str(), image.frameCount, image.framesPerRow);
    if (image.textureFormat == 1) out += " force_8888_texture";
    if (image.textureFormat == 2) out += " force_4444_texture";
    out += "\n";
}

void AddText(std::string& out, const TextDesc& text) {
    Add(out, "  caption %s style %s", Quoted(text.caption).c_str(), Quoted(text.style).c_str());
    if (text.givenFlags & kTextColorGiven) Add(out, " color %d %d %d", text.color.r, text.color.g, text.color.b);
    if (text.givenFlags & kTextEffectGiven) Add(out, " effect %s", g_EffectNames[SanitizeTextEffect(text.effect)]);
    out += "\n";
}

void AddDialog(std::string& out, const TDialog& d) {
    static const char* const kModal[] = {"default", "position", "children"};
    Add(out, "  modal %s, background %s, bgCenterTiles %d %d, size_method %d", d.modal <= 2 ? kModal[d.modal] : "?",
        Quoted(d.background).c_str(), d.bgCenterTilesX, d.bgCenterTilesY, d.size_method);
    if (d.hasColor) Add(out, ", color %d %d %d", d.color.r, d.color.g, d.color.b);
    if (const auto* root = dynamic_cast<const TRoot*>(&d)) Add(out, ", alignBg %d %d", root->alignBg, root->alignBgV);
    out += "\n";
    for (int i = 0; i < d.group.children.count; ++i) {
        const WidgetContext& child = *d.group.children.data[i];
        Add(out, "  child %s", Quoted(child.name).c_str());
        AddPlacement(out, child);
        out += "\n";
    }
    for (int i = 0; i < d.group.actions.count; ++i) {
        const ChildAction& binding = *d.group.actions.data[i];
        Add(out, "  onCommand %s -> %s\n", Quoted(binding.widgetId).c_str(), Quoted(binding.action).c_str());
    }
}

// The fields of the record's own class and its bases, one facet a line.
void AddRecordFields(std::string& out, const TWidget& r) {
    if (r.txtid.Length() > 0) Add(out, "  txtid %s\n", Quoted(r.txtid).c_str());
    if (const auto* d = dynamic_cast<const TDialog*>(&r)) return AddDialog(out, *d);
    if (const auto* image = dynamic_cast<const TImage*>(&r)) AddImage(out, "image", image->image);
    if (const auto* button = dynamic_cast<const TButton*>(&r)) {
        AddText(out, button->text);
        if (button->shoulder != 0) Add(out, "  shoulder %s\n", button->shoulder == 1 ? "left" : "right");
    }
    if (const auto* check = dynamic_cast<const TCheckBox*>(&r)) {
        AddImage(out, "checked", check->checkedImage);
        Add(out, "  textAlign %d textOffset ", check->textAlign);
        out += check->textOffset == kNoTextOffset ? "auto\n" : std::to_string(check->textOffset) + "\n";
    }
    if (const auto* text = dynamic_cast<const TWText*>(&r)) AddText(out, text->text);
    if (const auto* multi = dynamic_cast<const TTextMulti*>(&r))
        Add(out, "  mt_align %d row_add_dy %d\n", multi->mt_align, multi->row_add_dy);
    if (const auto* info = dynamic_cast<const TTextInfo*>(&r)) Add(out, "  infoType %d\n", info->infoType);
    if (const auto* progress = dynamic_cast<const TProgress*>(&r)) {
        AddImage(out, "empty", progress->emptyImage);
        AddImage(out, "full", progress->fullImage);
    }
    if (const auto* tiles = dynamic_cast<const TTiledBG*>(&r)) {
        out += " ";
        for (int place = 0; place < kTileCount; ++place)
            if (tiles->tiles[place].Length() > 0)
                Add(out, " %s %s", g_TileKeys[place], Quoted(tiles->tiles[place]).c_str());
        if (tiles->single_set) out += " single_set";
        if (tiles->own_tiles) Add(out, " own_tiles %d %d", tiles->ownTilesX, tiles->ownTilesY);
        out += "\n";
    }
    if (const auto* tuner = dynamic_cast<const TTuner*>(&r)) {
        Add(out, "  tunerId %s frame %d, fullId %s frame %d, handleId %s\n", Quoted(tuner->tunerId).c_str(),
            tuner->tunerFrame, Quoted(tuner->fullId).c_str(), tuner->fullFrame, Quoted(tuner->handleId).c_str());
        Add(out, "  step %d max %d offsets %d %d%s\n", tuner->step, tuner->max, tuner->offsetLeft, tuner->offsetRight,
            tuner->vertical ? " vertical" : "");
    }
}

}  // namespace

std::string DumpTemplate(const TTemplate& templ) {
    std::string out;
    Add(out, "%d records, %d actions\n", templ.widgets.count, templ.actions.count);
    for (int i = 0; i < templ.widgets.count; ++i) {
        const TWidget& r = *templ.widgets.data[i];
        const char* word = WidgetTypeNameForFile(r.kind);
        Add(out, "record %s %s size %d %d\n", word != nullptr ? word : "?", Quoted(r.name).c_str(), r.width, r.height);
        AddRecordFields(out, r);
    }
    for (int i = 0; i < templ.actions.count; ++i) {
        const TAction& action = *templ.actions.data[i];
        Add(out, "action %s\n", Quoted(action.name).c_str());
        for (int s = 0; s < action.steps.count; ++s) {
            const ActionStep& step = *action.steps.data[s];
            if (step.type == kStepDestroy) {
                Add(out, "  destroy %s", Quoted(step.name).c_str());
                if (step.context.outEffect) Add(out, ", out over %.2f s", Seconds(step.context.outDuration));
            } else {
                Add(out, "  create %s", Quoted(step.name).c_str());
                AddPlacement(out, step.context);
            }
            out += "\n";
        }
    }
    return out;
}

std::vector<std::string> CheckTemplate(const TTemplate& templ) {
    std::vector<std::string> problems;
    auto& t = const_cast<TTemplate&>(templ);  // the lookups are not const, and change nothing
    const auto hasRecord = [&t](const CommonString& name) { return t.GetWidget(name.GetData()) != nullptr; };
    std::set<std::string> seen;
    for (int i = 0; i < templ.widgets.count; ++i) {
        const TWidget& r = *templ.widgets.data[i];
        const std::string where = "record " + Quoted(r.name);
        if (!seen.insert(Str(r.name)).second) problems.push_back(where + ": an earlier record has this name");
        const auto* d = dynamic_cast<const TDialog*>(&r);
        if (d == nullptr) continue;
        if (d->background.Length() > 0 && !hasRecord(d->background))
            problems.push_back(where + ": background " + Quoted(d->background) + " names no record");
        for (int c = 0; c < d->group.children.count; ++c) {
            const CommonString& name = d->group.children.data[c]->name;
            if (!hasRecord(name)) problems.push_back(where + ": child " + Quoted(name) + " names no record");
        }
        for (int b = 0; b < d->group.actions.count; ++b) {
            const ChildAction& binding = *d->group.actions.data[b];
            if (binding.action == gc_strBackActionId || t.GetAction(binding.action) != nullptr) continue;
            problems.push_back(where + ": onCommand " + Quoted(binding.widgetId) + " names no action " +
                               Quoted(binding.action));
        }
    }
    std::set<std::string> actionNames;
    for (int i = 0; i < templ.actions.count; ++i) {
        const TAction& action = *templ.actions.data[i];
        const std::string where = "action " + Quoted(action.name);
        if (!actionNames.insert(Str(action.name)).second)
            problems.push_back(where + ": an earlier action has this name");
        for (int s = 0; s < action.steps.count; ++s) {
            const ActionStep& step = *action.steps.data[s];
            if (step.type == kStepCreate && !hasRecord(step.name))
                problems.push_back(where + ": create " + Quoted(step.name) + " names no record");
        }
    }
    return problems;
}

}  // namespace templatedump

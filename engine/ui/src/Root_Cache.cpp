// The cached screen root: templates shared through the game-wide template cache.
#include <cstring>
#include <new>

#include "ui/ElementHost.h"
#include "ui/Root.h"
#include "ui/TemplateCache.h"
#include "ui/TemplateReader.h"

void DeleteCachedTemplate(TTemplate* templ) { delete templ; }

void FlushTemplateCache(CQuorvanArray<CachedTemplate*>& cache) {
    for (int i = cache.count - 1; i >= 0; --i) {
        CachedTemplate* entry = cache.data[i];
        if (entry == nullptr) continue;
        if (entry->pTemplate != nullptr && entry->pfnDeleteTemplate != nullptr)
            entry->pfnDeleteTemplate(entry->pTemplate);
        delete entry;
    }
    cache.count = 0;
}

XCachedTemplateRoot::XCachedTemplateRoot(CXElement* parent) : XRoot(parent) {}

XCachedTemplateRoot::~XCachedTemplateRoot() { m_pTemplate = nullptr; }

TTemplate* XCachedTemplateRoot::FindCachedTemplate(const char* file) {
    IElementHost* game = GetGamePtr();
    if (file == nullptr || game == nullptr) return nullptr;
    const CQuorvanArray<CachedTemplate*>& cache = game->TemplateCache();
    const int length = static_cast<int>(std::strlen(file));
    for (int i = cache.count - 1; i >= 0; --i) {
        const CachedTemplate* entry = cache.data[i];
        if (entry == nullptr || entry->name.Length() != length) continue;
        if (length == 0 || std::memcmp(entry->name.GetData(), file, static_cast<std::size_t>(length)) == 0)
            return entry->pTemplate;
    }
    return nullptr;
}

TTemplate* XCachedTemplateRoot::CacheTemplate(const char* file) {
    IElementHost* game = GetGamePtr();
    if (file == nullptr || game == nullptr) return nullptr;
    CTemplateReader reader;
    TTemplate* templ = reader.ReadTemplate(game, CommonString(file));
    if (templ == nullptr) return nullptr;
    auto* entry = new (std::nothrow) CachedTemplate();
    if (entry == nullptr) {
        delete templ;
        return nullptr;
    }
    entry->name = CommonStringRS<247>(file);
    entry->pTemplate = templ;
    entry->pfnDeleteTemplate = DeleteCachedTemplate;
    if (!game->TemplateCache().Add(entry)) {
        DeleteCachedTemplate(templ);
        delete entry;
        return nullptr;
    }
    return templ;
}

TTemplate* XCachedTemplateRoot::CachedTemplateOf(const char* file) {
    TTemplate* templ = FindCachedTemplate(file);
    return templ != nullptr ? templ : CacheTemplate(file);
}

int XCachedTemplateRoot::InitRoot(const CommonString& file, const char* rootName) {
    TTemplate* templ = CachedTemplateOf(file.GetData());
    if (templ == nullptr) return 0;
    // With the file remembered, XRoot::InitRoot reuses the shared template and never deletes it.
    m_pTemplate = templ;
    m_TemplateFile = file;
    return XRoot::InitRoot(file, rootName);
}

TWidget* XCachedTemplateRoot::GetTWidgetPtr(const CommonString& name) {
    if (m_pTemplate != nullptr) {
        if (TWidget* record = m_pTemplate->GetWidget(name.GetData())) return record;
    }
    IElementHost* game = GetGamePtr();
    if (game == nullptr) return nullptr;
    const CQuorvanArray<CachedTemplate*>& cache = game->TemplateCache();
    for (int i = 0; i < cache.count; ++i) {
        const CachedTemplate* entry = cache.data[i];
        if (entry == nullptr || entry->pTemplate == nullptr || entry->pTemplate == m_pTemplate) continue;
        if (TWidget* record = entry->pTemplate->GetWidget(name.GetData())) return record;
    }
    return nullptr;
}

int XCachedTemplateRoot::DoAction(const CommonString& file, const CommonString& name) {
    TTemplate* templ = CachedTemplateOf(file.GetData());
    TAction* action = templ != nullptr ? templ->GetAction(name) : nullptr;
    if (action == nullptr) return 0;
    const int result = XDialog::DoAction(action);
    SendMessage(this, XMSG_ACTION_DONE, XIdParam(action->name.GetData()), 0, false);
    return result;
}

XWidget* XCachedTemplateRoot::DisplayWidget(const char* file, const char* name, int x, int y, int alignX, int alignY,
                                            int alignXInParent, int alignYInParent, bool inEffect, FIXED_FLOAT inDelay,
                                            FIXED_FLOAT inDuration, bool outEffect, FIXED_FLOAT outDelay,
                                            FIXED_FLOAT outDuration) {
    TTemplate* templ = CachedTemplateOf(file);
    TWidget* record = templ != nullptr ? templ->GetWidget(name) : nullptr;
    if (record == nullptr) return nullptr;
    const WidgetContext placement = DisplayPlacement(x, y, alignX, alignY, alignXInParent, alignYInParent, inEffect,
                                                     inDelay, inDuration, outEffect, outDelay, outDuration);
    return DisplayWidgetWithParams(record, &placement);
}

#pragma once
// One entry of the game-wide UI template cache (IElementHost::TemplateCache): a template file name
// and the template parsed from it. Cached screen roots add entries and share their templates; only
// the game's flush removes them, deleting each template through the entry's deleter.

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

struct TTemplate;

struct CachedTemplate {
    CommonStringRS<247> name;
    TTemplate* pTemplate = nullptr;  // owned: freed by pfnDeleteTemplate
    void (*pfnDeleteTemplate)(TTemplate*) = nullptr;
};

// The deleter of a template read by CTemplateReader.
void DeleteCachedTemplate(TTemplate* templ);
// Deletes every entry with its template, from the last to the first, leaving the cache empty.
void FlushTemplateCache(CQuorvanArray<CachedTemplate*>& cache);

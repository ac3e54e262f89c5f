// CSpriteSetManager: the registry of named sprite sets, and the group unload.
#include "sprites/SpriteSetManager.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "sprites/SpriteHost.h"
#include "sprites/SpriteSet.h"

CSpriteSetManager::CSpriteSetManager(ISpriteHost* game, int growBy) : m_pGame(game) {
    m_Sets.growBy = growBy > 0 ? growBy : 1;
}

CSpriteSetManager::~CSpriteSetManager() { DestroySpriteSets(); }

int CSpriteSetManager::AddSpriteSet(CSpriteSet* set) {
    if (set == nullptr) {
        return 0;
    }
    return m_Sets.Add(set);
}

namespace {

using TDefine = void (CSpriteSet::*)(ISpriteHost*, const CommonString&, const CommonString&, int, int);

int AddDefined(CSpriteSetManager& manager, TDefine define, const CommonString& name, const CommonString& file,
               const CommonString& afile, int a, int b, bool removeRgbaIn3d, bool force8888) {
    auto* set = new (std::nothrow) CSpriteSet();
    if (set == nullptr) {
        return 0;
    }
    (set->*define)(manager.m_pGame, file, afile, a, b);
    set->SetName(name);
    if (removeRgbaIn3d) {
        set->m_remove_rgba_in3d = 1;
    }
    if (force8888) {
        set->m_force_8888_texture = 1;
    }
    if (manager.AddSpriteSet(set) == 0) {
        delete set;
        return 0;
    }
    return 1;
}

}  // namespace

int CSpriteSetManager::AddSpriteSetSingle(const CommonString& name, const CommonString& file, const CommonString& afile,
                                          int a, int b, bool removeRgbaIn3d, bool force8888) {
    return AddDefined(*this, &CSpriteSet::DefineSpriteSetSingle, name, file, afile, a, b, removeRgbaIn3d, force8888);
}

int CSpriteSetManager::AddSpriteSetMulti(const CommonString& name, const CommonString& file, const CommonString& afile,
                                         int a, int b, bool removeRgbaIn3d, bool force8888) {
    return AddDefined(*this, &CSpriteSet::DefineSpriteSetMulti, name, file, afile, a, b, removeRgbaIn3d, force8888);
}

int CSpriteSetManager::AddSpriteSetMultiOptional(const CommonString& name, const CommonString& file,
                                                 const CommonString& afile, int a, int b, bool removeRgbaIn3d,
                                                 bool force8888) {
    return AddDefined(*this, &CSpriteSet::DefineSpriteSetMultiOptional, name, file, afile, a, b, removeRgbaIn3d,
                      force8888);
}

int CSpriteSetManager::AddSpriteSetSingleCommonAlpha(const CommonString& name, const CommonString& file,
                                                     const CommonString& afile, int a, int b, bool removeRgbaIn3d,
                                                     bool force8888) {
    return AddDefined(*this, &CSpriteSet::DefineSpriteSetSingleCommonAlpha, name, file, afile, a, b, removeRgbaIn3d,
                      force8888);
}

CSpriteSet* CSpriteSetManager::GetSpriteSetAt(int i) const {
    if (i < 0 || i >= m_Sets.count) {
        return nullptr;
    }
    return m_Sets.data[i];
}

CSpriteSet* CSpriteSetManager::GetLastSpriteSet() const {
    return m_Sets.count > 0 ? m_Sets.data[m_Sets.count - 1] : nullptr;
}

int CSpriteSetManager::GetIdOfSpriteSetNamed(const char* name) const {
    if (name == nullptr) {
        return -1;
    }
    const unsigned int hash = CalculateSpriteSetNameHashCode(name);
    for (int i = 0; i < m_Sets.count; ++i) {
        const CSpriteSet* set = m_Sets.data[i];
        if (set != nullptr && set->m_uNameHash == hash && set->m_Name == name) {
            return i;
        }
    }
    return -1;
}

CSpriteSet* CSpriteSetManager::GetSpriteSetNamed(const char* name) const {
    return GetSpriteSetAt(GetIdOfSpriteSetNamed(name));
}

int CSpriteSetManager::AddSpriteSetRef(const char* name) {
    CSpriteSet* set = GetSpriteSetNamed(name);
    return set != nullptr ? set->AddReference() : 0;
}

void CSpriteSetManager::DeleteSpriteSet(int index) {
    if (index < 0 || index >= m_Sets.count) {
        return;
    }
    CSpriteSet* set = m_Sets.data[index];
    // Out of the list first: a sub-set's destructor looks its texture set up by name.
    m_Sets.RemoveAt(index);
    delete set;
}

void CSpriteSetManager::DeleteSpriteSet(CSpriteSet* set) {
    for (int i = 0; i < m_Sets.count; ++i) {
        if (m_Sets.data[i] == set) {
            DeleteSpriteSet(i);
            return;
        }
    }
}

void CSpriteSetManager::DeleteSpriteSet(const char* name) {
    if (name == nullptr) {
        return;
    }
    for (int i = 0; i < m_Sets.count; ++i) {
        if (m_Sets.data[i] != nullptr && m_Sets.data[i]->m_Name == name) {
            DeleteSpriteSet(i);
            return;
        }
    }
}

void CSpriteSetManager::DestroySpriteSets() {
    // Sub-sets give their texture sets a reference back when they go, so the sets without atlas
    // data (among them every sub-set) go first, while the texture sets can still be found.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = m_Sets.count - 1; i >= 0; --i) {
            CSpriteSet* set = m_Sets.data[i];
            const bool hasAtlasData = set != nullptr && set->m_bHasAtlasData;
            if (pass == 0 && hasAtlasData) {
                continue;
            }
            m_Sets.RemoveAt(i);
            delete set;
        }
    }
    std::free(m_Sets.data);
    m_Sets.data = nullptr;
    m_Sets.count = 0;
    m_Sets.capacity = 0;
}

void UnloadSritesSetsWithGroupName(ISpriteHost* game, const CommonString& group) {
    CSpriteSetManager* manager = game != nullptr ? game->GetSpriteSetManager() : nullptr;
    if (manager == nullptr || group.Length() == 0) {
        return;
    }
    const unsigned int hash = CalculateSpriteSetNameHashCode(group.GetDataConst());
    for (int i = 0; i < manager->GetNumSpriteSets(); ++i) {
        CSpriteSet* set = manager->GetSpriteSetAt(i);
        if (set == nullptr || set->m_GroupName.Length() == 0 || set->m_uGroupHash != hash ||
            !(set->m_GroupName == group)) {
            continue;
        }
        while (set->m_nRefCount > 0) {
            set->ReleaseReference();
        }
    }
}

// CSpriteSet: definition, references, freeing and the name helpers. Loading by kind is in
// SpriteSet_Load.cpp, the atlas data in SpriteSet_Atlas.cpp.
#include "sprites/SpriteSet.h"

#include <cstdio>
#include <string>

#include "render/DibBitmap.h"
#include "sprites/SpriteHost.h"
#include "sprites/SpriteSetManager.h"

unsigned int CalculateSpriteSetNameHashCode(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    unsigned int h = 0;
    for (const char* p = name; *p != '\0'; ++p) {
        // Characters count as signed, so names with bytes above 127 hash as the pak index does.
        h = (h << 4) + static_cast<unsigned int>(static_cast<int>(static_cast<signed char>(*p)));
        const unsigned int top = h & 0xF0000000u;
        if (top != 0) {
            h ^= top >> 24;
            h &= ~top;
        }
    }
    return h & 0x7FFFFFFFu;
}

CommonString FormatSpritePattern(const char* pattern, int index) {
    if (pattern == nullptr) {
        return CommonString();
    }
    std::string out;
    bool done = false;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (done || *p != '%') {
            out.push_back(*p);
            continue;
        }
        const char* q = p + 1;
        const bool zeroPad = *q == '0';
        if (zeroPad) {
            ++q;
        }
        int width = 0;
        int digits = 0;
        while (*q >= '0' && *q <= '9' && digits < 2) {
            width = width * 10 + (*q - '0');
            ++q;
            ++digits;
        }
        if (*q != 'd') {
            out.push_back('%');
            continue;
        }
        std::string number = std::to_string(index);
        std::string sign;
        if (!number.empty() && number[0] == '-') {
            sign = "-";
            number.erase(0, 1);
        }
        const int padding = width - static_cast<int>(sign.size() + number.size());
        if (padding > 0) {
            if (zeroPad) {
                number.insert(0, static_cast<std::size_t>(padding), '0');
                out += sign + number;
            } else {
                out.append(static_cast<std::size_t>(padding), ' ');
                out += sign + number;
            }
        } else {
            out += sign + number;
        }
        p = q;
        done = true;
    }
    return CommonString(out.c_str());
}

CSpriteSet::~CSpriteSet() {
    DestroyData();
    m_AtlasItems.RemoveAll();
}

void CSpriteSet::Define(int kind, ISpriteHost* game, const CommonString& file, const CommonString& afile, int a,
                        int b) {
    m_pGame = game;
    if (game == nullptr) {
        return;
    }
    m_nKind = kind;
    m_File = file;
    m_AFile = afile;
    m_a = a;
    m_b = b;
}

void CSpriteSet::DefineSpriteSetSingle(ISpriteHost* game, const CommonString& file, const CommonString& afile, int a,
                                       int b) {
    Define(kSpriteSetSingle, game, file, afile, a, b);
}

void CSpriteSet::DefineSpriteSetMulti(ISpriteHost* game, const CommonString& file, const CommonString& afile, int a,
                                      int b) {
    Define(kSpriteSetMulti, game, file, afile, a, b);
}

void CSpriteSet::DefineSpriteSetMultiOptional(ISpriteHost* game, const CommonString& file, const CommonString& afile,
                                              int a, int b) {
    Define(kSpriteSetMultiOptional, game, file, afile, a, b);
}

void CSpriteSet::DefineSpriteSetSingleCommonAlpha(ISpriteHost* game, const CommonString& file,
                                                  const CommonString& afile, int a, int b) {
    Define(kSpriteSetSingleCommonAlpha, game, file, afile, a, b);
}

void CSpriteSet::DefineTextureAtlasDataFileName(const CommonString& name) {
    m_AtlasDataFile = name;
    if (name.Length() > 0) {
        m_bHasAtlasData = 1;
    }
}

void CSpriteSet::DefineTextureAtlasSubSet(const CommonString& textureSet, const CommonString& itemPattern, int first,
                                          int count) {
    m_AtlasTextureSet = textureSet;
    m_AtlasItemPattern = itemPattern;
    m_nFirstItem = first;
    m_nItemCount = count;
    if (textureSet.Length() > 0 && itemPattern.Length() > 0 && count > 0) {
        m_bIsAtlasSubSet = 1;
    }
}

void CSpriteSet::SetName(const CommonString& name) {
    m_Name = name;
    m_uNameHash = CalculateSpriteSetNameHashCode(name.GetDataConst());
}

void CSpriteSet::SetGroupName(const CommonString& group) {
    m_GroupName = group;
    m_uGroupHash = CalculateSpriteSetNameHashCode(group.GetDataConst());
}

IDibBitmap* CSpriteSet::GetFrame(int i) const {
    if (m_Frames == nullptr || i < 0 || i >= m_nNumFrames) {
        return nullptr;
    }
    return m_Frames[i];
}

int CSpriteSet::AddReference() {
    if (m_nKind == kSpriteSetUndefined || m_pGame == nullptr) {
        return 0;
    }
    if (m_nRefCount > 0) {
        ++m_nRefCount;
        return 1;
    }
    if (m_bLoading) {
        return 0;  // reached again through a ring of atlas texture sets
    }
    m_bLoading = true;
    const int loaded = LoadFirstReference();
    m_bLoading = false;
    return loaded;
}

int CSpriteSet::LoadFirstReference() {
    const bool fromAtlas = m_pGame->SpriteSwitches().m_bTextureAtlasMode && m_bIsAtlasSubSet;
    // Every loader allocates its frame list before the images tell how many frames they hold.
    const int frames = fromAtlas ? m_nItemCount : m_a;
    if (frames > kSpriteSetMaxFrames) {
        std::fprintf(stderr, "sprites: set %s: %d frames, more than the %d a set may have\n",
                     m_Name.Length() > 0 ? m_Name.GetDataConst() : "(unnamed)", frames, kSpriteSetMaxFrames);
        return 0;
    }
    if (fromAtlas) {
        CSpriteSetManager* manager = m_pGame->GetSpriteSetManager();
        CSpriteSet* textureSet =
            manager != nullptr ? manager->GetSpriteSetNamed(m_AtlasTextureSet.GetDataConst()) : nullptr;
        if (textureSet == nullptr || textureSet == this) {
            return 0;
        }
        if (m_will_use_fill_alpha) {
            textureSet->m_will_use_fill_alpha = 1;
        }
        if (textureSet->m_will_use_fill_alpha) {
            m_will_use_fill_alpha = 1;
        }
        if (textureSet->AddReference() == 0) {
            return 0;
        }
        if (LoadSpriteSetFromTextureAtlas(textureSet) == 0) {
            textureSet->ReleaseReference();
            return 0;
        }
    } else if (LoadByKind() == 0) {
        return 0;
    }
    AfterLoad();
    if (m_bHasAtlasData && ReadTextureAtlasItems() == 0) {
        // A set whose atlas cannot be read is of no use to its sub-sets; keeping it loaded with
        // a reference its caller never gives back would hold its images until the group unloads.
        DestroyData();
        return 0;
    }
    return 1;
}

void CSpriteSet::AfterLoad() {
    if (!m_will_use_fill_alpha || m_Frames == nullptr) {
        return;
    }
    for (int i = 0; i < m_nNumFrames; ++i) {
        if (m_Frames[i] != nullptr) {
            m_Frames[i]->HWOptimizeForAlphaDrawing();
        }
    }
}

void CSpriteSet::ReleaseReference() {
    --m_nRefCount;
    if (m_nRefCount <= 0) {
        DestroyData();
    }
}

void CSpriteSet::DestroyData() {
    m_nRefCount = 0;
    if (m_Frames != nullptr) {
        for (int i = 0; i < m_nNumFrames; ++i) {
            if (m_Frames[i] != nullptr) {
                m_Frames[i]->Destroy();
                delete m_Frames[i];
                m_Frames[i] = nullptr;
            }
        }
        delete[] m_Frames;
        m_Frames = nullptr;
        if (m_pGame != nullptr && m_pGame->SpriteSwitches().m_bTextureAtlasMode && m_bIsAtlasSubSet) {
            CSpriteSetManager* manager = m_pGame->GetSpriteSetManager();
            CSpriteSet* textureSet =
                manager != nullptr ? manager->GetSpriteSetNamed(m_AtlasTextureSet.GetDataConst()) : nullptr;
            if (textureSet != nullptr && textureSet != this && textureSet->m_nRefCount > 0) {
                textureSet->ReleaseReference();
            }
        }
    }
    SafeDelete(m_pForcedAtlasSource);
    delete[] m_FrameCoords;
    m_FrameCoords = nullptr;
    m_nNumFrames = 0;
    SafeDelete(m_pCommonAlpha);
}

CSpriteSetTextureAtlasItem* CSpriteSet::FindAtlasItem(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const unsigned int hash = CalculateSpriteSetNameHashCode(name);
    for (int i = 0; i < m_AtlasItems.count; ++i) {
        CSpriteSetTextureAtlasItem* item = m_AtlasItems.data[i];
        if (item != nullptr && item->m_uNameHash == hash && item->m_Name == name) {
            return item;
        }
    }
    return nullptr;
}

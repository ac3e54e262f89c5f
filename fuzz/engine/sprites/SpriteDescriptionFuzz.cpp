// Fuzz target of the sprite-set description reader and the atlas data reader: the same bytes go
// through both, every defined set's patterns are expanded, and every small set is referenced and
// released (no images exist, so each load fails on the way, through sub-set and texture-set
// lookups by name).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "testsupport/FakeSpriteHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFakeSpriteHost game;
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    CSpriteSetManager manager(&game, 40);
    game.m_pSpriteSetManager = &manager;
    (void)AddSpriteSetsFromBytes(&manager, &game, bytes, "fuzz.txt");
    for (int i = 0; i < manager.GetNumSpriteSets(); ++i) {
        CSpriteSet* set = manager.GetSpriteSetAt(i);
        (void)FormatSpritePattern(set->m_File.GetDataConst(), set->m_b);
        (void)FormatSpritePattern(set->m_AtlasItemPattern.GetDataConst(), set->m_nFirstItem);
        (void)manager.GetSpriteSetNamed(set->m_Name.GetDataConst());
        // Frame counts are bounded before any set is referenced (a sub-set references its
        // texture set too), so that one input cannot ask for millions of bitmaps.
        set->m_a = std::clamp(set->m_a, -64, 64);
        set->m_nItemCount = std::clamp(set->m_nItemCount, -64, 64);
    }
    for (int i = 0; i < manager.GetNumSpriteSets(); ++i) {
        CSpriteSet* set = manager.GetSpriteSetAt(i);
        if (set->AddReference() == 1) set->ReleaseReference();
    }
    CSpriteSet atlas;
    if (atlas.ReadTextureAtlasItemsFromBytes(bytes, "fuzz_atlas.txt", size % 2 == 1) == 1 &&
        atlas.m_AtlasItems.count > 0)
        (void)atlas.FindAtlasItem(atlas.m_AtlasItems.data[0]->m_Name.GetDataConst());
    manager.DestroySpriteSets();
    game.m_pSpriteSetManager = nullptr;
    return 0;
}

#include "game/screens/SpriteLookups.h"

#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

CSpriteSet* SetWithFrames(CSpriteSetManager* sets, const char* name, int frames) {
    CSpriteSet* set = sets != nullptr && name != nullptr ? sets->GetSpriteSetNamed(name) : nullptr;
    return set != nullptr && set->GetNumFrames() >= frames ? set : nullptr;
}

IDibBitmap* FirstFrame(CSpriteSetManager* sets, const char* name) {
    CSpriteSet* set = SetWithFrames(sets, name, 1);
    return set != nullptr ? set->GetFrame(0) : nullptr;
}

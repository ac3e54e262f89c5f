// The one factory of yard objects: the definition id picks the class, the class's Init finds
// the definition in the player's current yard.
#include <cstdio>
#include <new>

#include "game/farm/Chicken.h"
#include "game/farm/ComicForeground.h"
#include "game/farm/Doghouse.h"
#include "game/farm/FarmDecorObject.h"
#include "game/farm/FarmManager.h"
#include "game/farm/Lawnmower.h"
#include "game/farm/Robot.h"

namespace {

// Makes an unopened object of one class: (game, definition id, variant).
using FarmObjectMaker = CFarmObject* (*)(CGameBase* game, const char* id, int variant);

template <class T>
CFarmObject* Make(CGameBase* game, const char* id, int) {
    return new (std::nothrow) T(game, id);
}
CFarmObject* MakeDoghouse(CGameBase* game, const char* id, int variant) {
    return new (std::nothrow) CDoghouse(game, id, variant);
}

// One maker per object kind (EFarmObjectKind).
constexpr FarmObjectMaker kMakers[] = {
    nullptr,                 // kFarmObjectBase: never made
    Make<CFarmDecorObject>,  // kFarmObjectDecor
    Make<CChicken>,          // kFarmObjectChicken
    Make<CLawnmower>,        // kFarmObjectLawnmower
    Make<CRobot>,            // kFarmObjectRobot
    Make<CComicForeground>,  // kFarmObjectPhotoStand
    MakeDoghouse,            // kFarmObjectDoghouse
};
static_assert(sizeof kMakers / sizeof kMakers[0] == kFarmObjectDoghouse + 1, "one maker per object kind");

constexpr int kBirdCount = 20;

}  // namespace

TFarmObjectClass ClassifyFarmObjectId(const char* id) {
    if (id == nullptr) return {kFarmObjectDecor, 0, 0};
    for (int bird = 1; bird <= kBirdCount; ++bird) {
        char name[16];
        std::snprintf(name, sizeof name, "bird%d", bird);
        if (CommonString(name).IsEqual(id)) return {kFarmObjectChicken, bird, 0};
    }
    const CommonString text(id);
    if (text.IsEqual("robot")) return {kFarmObjectRobot, 0, 0};
    if (text.IsEqual("lawn_mower")) return {kFarmObjectLawnmower, 0, 0};
    if (text.IsEqual("doghouse")) return {kFarmObjectDoghouse, 0, 1};
    if (text.IsEqual("doghouse2")) return {kFarmObjectDoghouse, 0, 2};
    if (text.IsEqual("photostand01") || text.IsEqual("photostand02")) return {kFarmObjectPhotoStand, 0, 0};
    return {kFarmObjectDecor, 0, 0};
}

CFarmObject* CFarmManager::CreateFarmObject(const char* id) {
    const TFarmObjectClass objectClass = ClassifyFarmObjectId(id);
    const FarmObjectMaker make = kMakers[objectClass.kind];
    if (make == nullptr) return nullptr;
    CFarmObject* object = make(m_pGame, id, objectClass.variant);
    if (object == nullptr) return nullptr;
    if (!object->Init(objectClass.initArgument)) {
        delete object;
        return nullptr;
    }
    return object;
}

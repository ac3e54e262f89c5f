// CFarmObject: the base of everything that stands in a yard (decor, photo stands, doghouses,
// birds, the robot and the mower). This file holds the base part that the farm manager relies on:
// identity, kind, flags, position and size, and the spot services a bird uses to visit an object.
// The classes themselves derive from it and give Draw, RunProcess and GetObjectRect their bodies.
// Objects are made only by CFarmManager::CreateFarmObject and owned by its object list.
// Main thread only.
#pragma once

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class CChicken;
class CSpriteSet;
struct FarmObjectDef;

// The kind numbers the classes set.
enum EFarmObjectKind : int {
    kFarmObjectBase = 0,
    kFarmObjectDecor = 1,
    kFarmObjectChicken = 2,
    kFarmObjectLawnmower = 3,
    kFarmObjectRobot = 4,
    kFarmObjectPhotoStand = 5,
    kFarmObjectDoghouse = 6,
};

// Birds that can hold the spots of one object at once.
inline constexpr int kMaxSpotOccupants = 3;

class CFarmObject {
public:
    // Kind 0, no definition, everything else zero.
    CFarmObject(CGameBase* game, const char* id);
    CFarmObject(const CFarmObject&) = delete;
    CFarmObject& operator=(const CFarmObject&) = delete;
    // Frees the sprite-set list (the references stay: the farm group releases them) and forgets
    // the occupants.
    virtual ~CFarmObject();

    // Second phase: finds the definition in the player's current yard and takes its flags and
    // spot type; false when the id is empty or the yard does not define it. The argument is the
    // class's own (the bird number); the base ignores it.
    [[nodiscard]] virtual bool Init(int argument);
    // Draws the passes asked for (bits: 1 shadow, 2 body, 4 selection marker).
    virtual void Draw(int passes) = 0;
    virtual void RunProcess() {}
    // The object's rectangle on the screen (24.8 pixels); empty in the base.
    virtual TRect2D GetObjectRect() { return TRect2D{}; }
    // Whether the object is drawn mirrored left-right.
    virtual bool IsRotated() { return false; }

    // The definition's spot-point count when its spot text is set, else 0.
    int GetNumSpotPoints() const;
    // A free spot among the first min(points, 3), picked with the game random table; -1 if none.
    int FindFreeSpot();
    // Whether a bird may head for this object: not dragged, a spot type and spot points, and,
    // without a given bird, a free spot.
    bool IsAvailailableSpotToVisit(bool withBird);

    // ==== State (record order) ==================================================================
    CGameBase* m_pGame;
    CommonString m_Id;                // the definition id given at construction
    int m_nKind = kFarmObjectBase;    // EFarmObjectKind of the class
    FarmObjectDef* m_pDef = nullptr;  // found by Init; not owned
    std::uint32_t m_uFlags = 0;
    CQuorvanArray<CSpriteSet*> m_SpriteSets;  // sets referenced by Init
    TVector2D m_Position;                     // world position of the anchor (bottom centre of the image)
    TVector2D m_Size;                         // image width and height in pixels, 24.8
    bool m_bDragging = false;
    std::uint32_t m_uSerialId = 0;                   // identity in a saved yard record
    CChicken* m_pOccupants[kMaxSpotOccupants] = {};  // the bird holding spot 0, 1 or 2; not owned
    int m_nSpotType = 0;  // SpotTypeFromName of the definition's spot, when it has spot points
};

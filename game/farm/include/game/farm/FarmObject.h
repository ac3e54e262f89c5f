// CFarmObject: the base of everything that stands in a yard: decor, photo stands and doghouses
// (game/farm/FarmDecorObject.h), birds, the robot and the mower (game/farm/Chicken.h). The base
// part is identity, kind, flags, position and size, the operations the yard screen calls on
// every object (run, draw, drag, tap, select, rotate, remove, save), and the spots of a decor
// object where visiting birds stand.
//
// Objects are made only by CFarmManager::CreateFarmObject and owned by its object list (or by
// the game's farm-object cache). They reach the game's services through the game pointer and the
// yard screen through the farm manager's IFarmYard (game/farm/FarmYard.h), which is null while
// no yard screen is open. Positions are world coordinates (game/farm/YardCamera.h).
// Main thread only.
#pragma once

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class CChicken;
class CFarmManager;
class CQuorvanParticleSystemManager2;
class CSpriteSet;
class IDibBitmap;
class IFarmYard;
class IFile;
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

// The spot types a definition's `spot` names (SpotTypeFromName); 0 is no spot.
enum ESpotType : int {
    kSpotNone = 0,
    kSpotEat = 1,
    kSpotDrink = 2,
    kSpotHeat = 3,
    kSpotSmile = 4,
    kSpotMusic = 5,
    kSpotQuestion = 6,
    kSpotPicture = 7,
    kSpotJumping = 8,
};

// Birds that can hold the spots of one object at once.
inline constexpr int kMaxSpotOccupants = 3;

// Draw passes the yard screen asks of an object (a bit set).
enum EFarmDrawPass : int { kDrawShadow = 1, kDrawBody = 2, kDrawSelection = 4 };

// The world's extent in 24.8: x 0..640, y (depth) 0..329.
inline constexpr FIXED_FLOAT kYardWidth = 640 * 256;
inline constexpr FIXED_FLOAT kYardDepth = 329 * 256;

class CFarmObject {
public:
    // Kind 0, no definition, everything else zero.
    CFarmObject(CGameBase* game, const char* id);
    CFarmObject(const CFarmObject&) = delete;
    CFarmObject& operator=(const CFarmObject&) = delete;
    // Frees the sprite-set list (the references stay: the farm group releases them) and forgets
    // the occupants. It touches no other object: a whole yard is deleted in list order.
    virtual ~CFarmObject();

    // Second phase: finds the definition in the player's current yard and takes its flags and
    // spot type; false when the id is empty or the yard does not define it. The argument is the
    // class's own (the bird number); the base ignores it.
    [[nodiscard]] virtual bool Init(int argument);
    // Draws the passes asked for (EFarmDrawPass bits).
    virtual void Draw(int passes) = 0;
    virtual void RunProcess() {}
    // This object's part of the yard record: the serial id, position and size, then the class's
    // fields. Writing stores m_uSerialId as it stands (the farm manager numbers the objects).
    // Reading refuses a position outside the yard (x 0..640, y 0..329); true only when every field
    // moved whole.
    [[nodiscard]] virtual bool Serialize(IFile* file, bool save);
    // The object's rectangle on the screen (24.8 pixels); empty in the base.
    virtual TRect2D GetObjectRect() { return TRect2D{}; }
    // The player starts or ends dragging the object: the dragging flag changes and every bird on
    // its spots is sent away to idle.
    virtual void OnBeginDragging();
    virtual void OnEndDragging();
    virtual void OnTap() {}
    // The object is about to be sold or removed: every bird on its spots is sent away.
    virtual void OnAboutToRemove();
    virtual void OnSelectStarted() {}
    virtual void OnSelectFinished() {}
    // Whether the object is drawn mirrored left-right; whether the player may mirror it.
    virtual bool IsRotated() { return false; }
    virtual bool CanRotate() { return false; }
    // Mirrors the object (decor only).
    virtual void Rotate() {}

    // ---- Spots where visiting birds stand -------------------------------------------------------
    // The definition's spot-point count when its spot text is set, else 0.
    int GetNumSpotPoints() const;
    // The world point where a bird visiting spot i stands (i must be below GetNumSpotPoints), and
    // the world point it then faces; both mirror with the object.
    TVector2D GetSpotPoint(int i);
    TVector2D GetSpotLookPoint();
    // A free spot among the first min(points, 3), picked with the game random table; -1 if none.
    int FindFreeSpot();
    // Whether a bird may head for this object: not dragged, a spot type and spot points, and,
    // without a given bird, a free spot.
    bool IsAvailailableSpotToVisit(bool withBird);
    // Empties every occupant slot that holds the bird.
    void MakeSportFreeFromBird(CChicken* bird);

    // The farm manager of the game (null in a game without one) and the yard screen it knows.
    CFarmManager* GetFarmManager() const;
    IFarmYard* GetYard() const;
    // The game's particle effects; null in a game without them.
    CQuorvanParticleSystemManager2* GetParticleManager() const;
    // Whether the object is a bird, the robot or the mower.
    bool IsCreature() const;

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

protected:
    // Sends every occupant to idle: its destination is cleared, the slot emptied, and the bird
    // told ChangeState(0, false, true).
    void SendOccupantsAway();
    // The screen position of the anchor (24.8 pixels).
    TVector2D ScreenPosition() const;
    // The game's back buffer, which every object draws on; null before there is one.
    IDibBitmap* BackBuffer() const;
};

// CMarble: one coloured marble of the play area. It rolls in a straight line and bounces off the
// walls of the play rectangle, or follows the path drawn for it (its own BezierCurve), and draws
// itself as a rolling, rotated sprite with a shadow, a trail, a turning glow ring and a danger
// halo. The gameplay screen owns the marbles in an owning array, creates them, steers them along
// their paths, tests collisions, scores and removes them; it reads and sets the fields below
// directly. CMarblePowerup (game/gameplay/MarblePowerup.h) derives from it.
//
// Also here: the name of a colour type (game/widgets/ColourTypes.h), and the marble list of the
// round record.
//
// Depends on: the game object (sprite sets, rotator, back buffer) and the play field
// (game/gameplay/PlayField.h). Units: positions, directions and speeds 16.16 pixels; angles
// FIXED_FLOAT degrees. Main thread only.
#pragma once

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/gameplay/BezierCurve.h"
#include "game/widgets/ColourTypes.h"

class CGameBase;
class CQuorvanImageRotatorScaler;
class CSpriteSet;
class IDibBitmap;
class IFile;
class IPlayField;

class CMarble {
public:
    // The activation countdown value that means "no countdown".
    static constexpr int kNoCountdown = 1024;

    // Every field 0, false or null but: countdown none, effective, scale 0.9, roll rate 2.0,
    // score factor 1; the path empty. Neither pointer is owned; the field may be null (then the
    // marble never counts as entered and draws neither glow nor danger).
    CMarble(CGameBase* game, IPlayField* field);
    CMarble(const CMarble&) = delete;
    CMarble& operator=(const CMarble&) = delete;
    virtual ~CMarble() = default;

    // ---- Virtual operations ----------------------------------------------------------------
    // The rolling sprite, its trail while on a path, and the glow ring while it has collected
    // marbles (which turns the glow by 5 degrees); nothing without a sprite.
    virtual void Draw();
    // The red danger halo while danger is above 0.
    virtual void DrawDanger();
    // Frame 0 of the shadow sprite, 3 pixels down and right, in black at half opacity.
    virtual void DrawMarbleShadow();
    // Free movement, only while the path is empty: moves by direction x speed, and once entered
    // the marble bounces off the walls 14 pixels inside the play rectangle.
    virtual void RunMovement();
    // Once a frame: the activation countdown, then the entry indicator.
    virtual void RunProcess();
    // The saved record, both directions: 1, or 0 when a value did not move whole (a failed path
    // ends it at once). Writing stores the saved identity as it stands.
    virtual int Serialize(IFile* file, bool writing);
    virtual void RestoreMissingPointers() {}
    // Flags the marble removed.
    virtual void Activate();
    // Moves the marble, its previous position and its path (16.16 pixels).
    virtual void Offset(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy);

    // ---- Plain operations --------------------------------------------------------------------
    // Stores the type; a marble colour takes its sprite set ("Ball1" .. "Ball4") and angle offset
    // 0, any other type keeps the sprite. With a sprite the shadow becomes "Ball1".
    void SetColorType(int type);
    // Activates after that many frames. Delays at or above the "no countdown" value are held just
    // below it, so a requested burst always comes.
    void ActivateWithDelay(int frames);
    // Writes the colour type as one int (what a round record stores before each marble): 1, or 0
    // when it did not write whole.
    int SerializeType(IFile* file);
    bool IsPowerUp() const { return m_nColorType >= kPowerUpTypeBase; }

    // The animation frame Draw shows: the roll distance times the roll rate, modulo the frames
    // the colour is made of (64 blue, 32 green and yellow, the set's own count otherwise) but
    // never beyond the set's count; -1 without a sprite or with an empty set.
    int GetAnimationFrame() const;
    // The frames the animation runs through (that modulus); 0 without a sprite.
    int GetAnimationFrameCount() const;
    // The drawn rotation: angle offset + 180 degrees + the direction's angle, wrapped.
    FIXED_FLOAT GetDrawAngle() const;

    // ---- The marble list of a round record ---------------------------------------------------
    // A marble of a saved type: a colour (0 .. 3) as a CMarble, a power-up (100 .. 103) as a
    // CMarblePowerup of that kind; null for any other type or when memory runs out.
    static CMarble* CreateForType(CGameBase* game, IPlayField* field, int type);
    // The list: its count, then per marble its type and its record. Writing first gives every
    // marble the saved identity index + 1 (unique in the save, never 0), so the round can store
    // the dragged marble by it. Reading deletes what the list holds, refuses a count the bytes
    // left cannot hold, and makes each marble by its type before reading its record. 1, or 0 at
    // the first failure (the marbles read so far stay in the list).
    static int SerializeList(IFile* file, bool writing, CQuorvanObjPtrArray<CMarble*>& marbles, CGameBase* game,
                             IPlayField* field);

    // ==== State (declaration order) ===========================================================
    CGameBase* m_pGame;
    IPlayField* m_pField;
    int m_nColorType = 0;
    std::uint32_t m_uSavedId = 0;  // the identity of the last save or load; 0 for none
    TVector2D_16 m_Position;
    TVector2D_16 m_PrevPosition;  // where the trail is drawn while on a path
    FIXED_FLOAT m_nGlowAngle = 0;
    TVector2D_16 m_Direction;  // movement per unit of speed
    CSpriteSet* m_pSprite = nullptr;
    CSpriteSet* m_pShadowSprite = nullptr;
    BezierCurve m_Path;
    FIXED_FLOAT_16 m_nPathDistance = 0;
    bool m_bEntered = false;
    int m_nCollected = 0;  // marbles of its colour joined on its current path
    bool m_bRemoved = false;
    int m_nDanger = 0;  // 0 .. 255
    FIXED_FLOAT_16 m_nSpeed = 0;
    float m_fRollDistance = 0;  // pixels rolled
    float m_fRollRate = 2.0f;   // animation frames per pixel rolled
    int m_nActivationCountdown = kNoCountdown;
    FIXED_FLOAT_16 m_nScale = 58982;  // 0.9
    bool m_bOnPath = false;
    bool m_bEffective = true;
    FIXED_FLOAT m_nAngleOffset = 0;
    FIXED_FLOAT m_nEntryIndicator = 0;  // 0 .. 255.0
    int m_nPathFrames = 0;
    int m_nScoreFactor = 1;

protected:
    // The round's back buffer and the game's rotator; null while the game has none.
    IDibBitmap* BackBuffer() const;
    CQuorvanImageRotatorScaler* Rotator() const;
    // Plays an effect of the sound table when the game has a sound manager.
    void PlaySound(const char* name) const;
};

// "Red", "Green", "Blue" or "Yellow" for 0 .. 3; other types leave out unchanged. The game
// pointer is not used.
void GetColorNameBasedOnType(int type, CGameBase* game, CommonString& out);

// The frame of a sprite strip of `count` frames for a rolled product (roll distance x frames per
// pixel): the product cut towards zero, modulo count, never negative; 0 when the product is not
// a finite number, -1 for count < 1.
int RollFrame(double product, int count);

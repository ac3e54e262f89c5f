// The creatures of a yard: the birds the player buys (CChicken), and on the same state machine
// the garden robot (CRobot, game/farm/Robot.h) and the lawn mower (CLawnmower,
// game/farm/Lawnmower.h). A bird idles, walks about, walks to the front of the yard, visits the
// spot of a decor object (to eat, drink, warm up, listen, pose for a photo, jump), spins or
// bounces when tapped, and flaps while dragged.
//
// Each kind draws from up to eight direction sets named by a base name and a suffix; a heading
// picks the set and whether it is drawn mirrored. Timers count frames of the 30-frame game cycle;
// randomness comes from CGameBase::RandomValue and g_GameRandomTable in a fixed order, so a
// seeded run repeats. Main thread only.
#pragma once

#include "game/farm/FarmObject.h"

class IDibBitmap;
struct TBirdSounds;

// The states of a creature.
enum EChickenState : int {
    kChickenIdle = 0,
    kChickenWalk = 1,
    kChickenWalkToFront = 2,
    kChickenVisit = 3,
    kChickenSpin = 4,
    kChickenDragged = 5,
};

// Direction sets 0..7 of a creature.
inline constexpr int kDirectionSetCount = 8;
// The bird numbers of the mower and the robot.
inline constexpr int kLawnmowerNumber = 100;
inline constexpr int kRobotNumber = 101;

class CChicken : public CFarmObject {
public:
    // Kind 2, idle, speed 1.0, the bob at a random phase (one random draw).
    CChicken(CGameBase* game, const char* id);
    // Gives back the direction sets' references. The spot it may hold is not touched: the
    // object it points to may be gone already when a whole yard is deleted.
    ~CChicken() override;

    // Bird number 1 to 20: its tuning, its five direction sets (each referenced; false at the
    // first missing), its sounds and its size; facing the viewer, idle for 30 frames.
    [[nodiscard]] bool Init(int birdNumber) override;
    void Draw(int passes) override;
    void RunProcess() override;
    // The base fields, then bird number, heading, state, timer, direction set, frame and mirror
    // flag. Reading refuses a state outside 0..5, a set outside 0..7, a frame beyond its set and
    // a heading of (0, 0); a bird read while visiting or dragged starts idle facing the viewer.
    [[nodiscard]] bool Serialize(IFile* file, bool save) override;
    TRect2D GetObjectRect() override;
    void OnBeginDragging() override;
    void OnEndDragging() override;
    void OnTap() override;
    void OnAboutToRemove() override;
    void OnSelectStarted() override;
    void OnSelectFinished() override;

    // Picks the direction set and the mirror flag for the heading.
    virtual void AdjustSpriteSetFromDir();
    // Turns the heading 45 degrees clockwise or anticlockwise on the screen, from its angle
    // snapped to a multiple of 45.
    virtual void RotateRight();
    virtual void RotateLeft();

    // The next state at random: a bird idles, walks, walks to the front or visits with equal
    // chances; a mower or robot walks one time in four and otherwise idles.
    void ChangeState();
    void ChangeState(int newState, bool randomTurns, bool forgetPrevious);
    // Sends the creature to a spot of that decor object (a drop near it); without a free spot it
    // idles.
    void ChangeStateToVisitSpot(CFarmObject* object);
    // Gives the spot it holds back and forgets its destination.
    void FreeDestinationObject();
    // Faces the point, snapped to a multiple of 45 degrees; kept when the point is less than one
    // unit ahead on both axes.
    void LookAt(TVector2D point);
    // The emotion icon for a visit of that spot type (no icon for some types).
    void PrepareEmotionSetForSpotType(int spotType);
    // The point to walk to for spot i of the object.
    TVector2D GetDestinationPoint(CFarmObject* object, int spot);

    // The frame drawn now, or null.
    IDibBitmap* GetCurrentFrame() const;
    // Whether the creature is the robot or the mower.
    bool IsMachine() const { return m_nKind == kFarmObjectRobot || m_nKind == kFarmObjectLawnmower; }

    // ==== State (record order) ==================================================================
    TVector2D_16 m_DrawOffsets[kDirectionSetCount] = {};  // shift of the sprite origin per set
    FIXED_FLOAT_16 m_DrawScale = kFixed16One;             // body size: 1.0 (the mower 0.8)
    TVector2D m_Direction;                                // unit heading (length 256)
    int m_nStandingFrame = 0;                             // shown when not walking
    FIXED_FLOAT m_AnimationSpeed = kFixedOne;             // frames per walk step
    FIXED_FLOAT m_ShadowHeight = 141;                     // shadow height as a part of the frame
    int m_nBirdNumber = 0;                                // 1..20, 100 mower, 101 robot
    int m_nState = kChickenIdle;
    int m_nTimer = 0;
    bool m_bTapBounce = false;
    bool m_bSelected = false;
    int m_nPreviousState = kChickenIdle;
    int m_nIdleLook = 1;  // 1 swaying, 0 squashing (after a visit or a tap)
    int m_nDirectionSet = 3;
    FIXED_FLOAT m_Frame = 0;
    bool m_bMirrored = false;
    FIXED_FLOAT_16 m_AnchorHeight = 0;  // how far above the frame's bottom edge the feet are
    FIXED_FLOAT_16 m_BouncePhase = 0;   // 0..1.0
    FIXED_FLOAT_16 m_BounceSpeed = 1966;
    CFarmObject* m_pDestination = nullptr;  // the object whose spot it holds; not owned
    TVector2D m_DestinationPoint;
    CSpriteSet* m_pEmotionSet = nullptr;  // looked up, not referenced
    FIXED_FLOAT m_EmotionFrame = 0;
    FIXED_FLOAT m_EmotionFrameSpeed = 0;
    int m_nEmotionAlpha = 0;
    bool m_bEmotionPingPong = false;
    bool m_bEmotionTrail = false;
    bool m_bEmotionPulseInPhase = true;
    FIXED_FLOAT m_Speed = kFixedOne;  // world units per walking frame
    bool m_bSkipLastFrame = false;
    TBirdSounds* m_pSounds = nullptr;  // the bird sound table's; not owned
    int m_nTurnSide = 0;               // 0 right, 1 left
    int m_nPendingTurns = 0;
    bool m_bJumping = false;
    FIXED_FLOAT_16 m_SelectionScale = kFixed16One;
    // Where the face is, pixels from the feet (24.8): a photo stand puts it in its face hole.
    TVector2D m_FaceOffset;

protected:
    // The base name of the direction sets and which sets the kind has.
    const char* m_pSetBaseName = "Chicken";
    const char* const* m_pSetSuffixes = nullptr;  // kDirectionSetCount entries, null where none

    // References the present direction sets (false at the first that cannot be had), takes the
    // size from set 0's first frame, and sets the start pose.
    bool InitDirectionSets(const char* baseName);
    // One frame of each state.
    void RunBounce();
    void RunWalk();
    void RunVisit();
    void RunWalkToFront();
    void RunDragged();
    void RunSpin();
    void RunIdle();
    void OnArrival();
    // Advances the walk cycle by step (24.8) frames times the animation speed.
    void ProcessWalkingAnimation(FIXED_FLOAT step);
    // One step along the heading, kept inside the yard and away from the screen's sides.
    void Move();
    // One step towards the point: diagonally first, then straight.
    void ProcessMovingToPosition(TVector2D target);
    void Turn(int side);
    void EndJump();
    void DrawShadowPass(IDibBitmap* frame, TVector2D screen, FIXED_FLOAT_16 k);
    void DrawBodyPass(IDibBitmap* frame, TVector2D screen, FIXED_FLOAT_16 k);
    void DrawEmotion(IDibBitmap* frame, TVector2D screen, FIXED_FLOAT_16 k);
    void DrawSelectionPass(TVector2D screen, FIXED_FLOAT_16 k);
    // Plays one name of the list at random (RandomValue); nothing for an empty list.
    void PlayRandomSound(const CQuorvanObjPtrArray<CommonString*>& list);
    // Whether a robot is healing a bird now (its green crosses rise).
    virtual bool IsHealing() const { return false; }
    // Emits one particle of the named game effect at the screen position raised by `raise` pixels.
    void EmitGameEffect(const char* name, FIXED_FLOAT raise);
};

// The direction set (0..7) and mirror flag of a heading angle (whole degrees, any value) for the
// birds and the mower, and for the robot, which has right-hand views of its own.
struct TDirectionView {
    int set;
    bool mirrored;
};
TDirectionView BirdViewOfAngle(int degrees);
TDirectionView RobotViewOfAngle(int degrees);
// The angle of a heading in whole degrees, 0..359 (0 right, 90 towards the viewer).
int HeadingAngle(TVector2D heading);
// The heading of an angle in degrees: (cos, sin) x 256 rounded.
TVector2D HeadingOfAngle(int degrees);
// The heading scaled to length 256; (0, 0) stays.
TVector2D NormalizeHeading(TVector2D heading);

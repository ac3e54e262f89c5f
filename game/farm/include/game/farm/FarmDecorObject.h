// The still and animated decor of a yard (CFarmDecorObject): plants, comfort equipment and
// ornaments drawn from a sprite set or an image, swaying in the wind or bobbing like a balloon,
// mirrored at the player's wish, some with a particle effect (a fountain's spray, a campfire's
// flames) and some with spots where birds come to eat, drink, warm up or play. The photo stand
// (CComicForeground, game/farm/ComicForeground.h) and the doghouse (CDoghouse,
// game/farm/Doghouse.h) build on it.
//
// Made by the farm manager's factory for every id that names no other class. The sprite-set
// references Init takes are the farm group's and are not given back by the object; an image the
// object loaded itself, its effect and its shapes are. Main thread only.
#pragma once

#include "game/farm/FarmObject.h"

class IDibBitmap;
class CQuorvanParticleSystem2;
class CQuorvanParticleSystemShape2;

// A value swinging between a minimum and a maximum: the sway of a plant in the wind and the
// squash of a balloon.
struct TSwingValue {
    // Told when the value turns at an end (1 at the top, 0 at the bottom); farm objects have none.
    class IListener {
    public:
        virtual void OnSwingTurned(TSwingValue& swing, int reachedTop) = 0;

    protected:
        ~IListener() = default;
    };

    bool active = false;
    IListener* listener = nullptr;
    float value = 0;
    float velocity = 0;
    float speed = 0;
    float minimum = 0;
    float maximum = 1;

    // Starts at value, moving up by speed per frame between minimum and maximum.
    void Start(float start, float step, float low, float high);
    // One frame: value += velocity, turning back at either end.
    void Advance();
    // The value eased with a sine: slow at both ends; the value itself for a range under 0.001.
    float Eased() const;
};

// How a decor object that moves in the wind is drawn this frame.
struct TDecorTransform {
    FIXED_FLOAT_16 angle = 0;   // degrees, clockwise on the screen
    FIXED_FLOAT_16 scaleX = 0;  // horizontal and vertical drawing scale
    FIXED_FLOAT_16 scaleY = 0;
    FIXED_FLOAT_16 pivotX = 0;  // the point of the image (pixels) drawn at the anchor plus offset
    FIXED_FLOAT_16 pivotY = 0;
    FIXED_FLOAT_16 offsetX = 0;  // screen pixels added to the anchor
    FIXED_FLOAT_16 offsetY = 0;
};

class CFarmDecorObject : public CFarmObject {
public:
    // Kind 1, flags 0x44; the sway and the bounce start at a random point (two random draws).
    CFarmDecorObject(CGameBase* game, const char* id);
    // Deletes an image it loaded, its effect (from the game's particle manager) and its shapes.
    ~CFarmDecorObject() override;

    // The definition, its image (a file below "farm\objects\" or the first frame of its sprite
    // set), its particle effect and its animation; false when any is missing (the factory then
    // deletes the object).
    [[nodiscard]] bool Init(int argument) override;
    void Draw(int passes) override;
    // Sway, bounce, effect emission and animation of one frame.
    void RunProcess() override;
    // The base fields, then the rotated value (a stored value above 1 reads as 0).
    [[nodiscard]] bool Serialize(IFile* file, bool save) override;
    TRect2D GetObjectRect() override;
    bool IsRotated() override { return m_nRotated == 1; }
    bool CanRotate() override;
    // Mirrors the object; the effect stops with its live particles and follows next frame.
    void Rotate() override;

    // The bird that holds the spot whose occupant stands farthest from it, evicted (its
    // destination freed) so that another bird can take the spot; null when a spot is free or the
    // object has none. The caller sends it walking.
    CChicken* ReleaseSpotForChicken();

    // How the body is drawn at depth scale times object scale ss (16.16), for an image of w x h
    // pixels: pivot at the bottom centre, scale ss; for a definition that moves on wind the sway
    // angle, and for a balloon or a jumper the squash (a balloon about its knot).
    TDecorTransform CalculateDrawTransformations(FIXED_FLOAT_16 ss, int imageWidth, int imageHeight) const;
    // The image drawn this frame: the animation frame, else the still image; null when none.
    IDibBitmap* GetCurrentImage() const;
    // The effect's position in the game's particle manager, or -1 when it holds none.
    int GetEffectIndex() const;

    // ==== State (record order) ==================================================================
    IDibBitmap* m_pImage = nullptr;  // the still image or the sprite set's first frame
    bool m_bOwnsImage = false;       // loaded from a file by Init and deleted with the object
    int m_nRotated = 0;              // 1 mirrored left-right
    TSwingValue m_Sway;              // wind sway
    TSwingValue m_Bounce;            // balloon squash
    CQuorvanParticleSystemShape2* m_pEffectSourceShape = nullptr;  // built from the definition; owned
    CQuorvanParticleSystemShape2* m_pEffectEmitShape = nullptr;    // rebuilt every frame; owned
    CQuorvanParticleSystem2* m_pEffect = nullptr;                  // held in the game's particle manager, or null
    TVector2D m_EffectCenter;                                      // the definition's effects_center, 24.8
    TVector2D m_EmitOrigin;                                        // the centre, mirrored when rotated
    FIXED_FLOAT m_EmitDebt = 0;                                    // particles owed between frames, 24.8
    FIXED_FLOAT m_ParticlesPerFrame = 0;
    bool m_bAnimated = false;
    float m_fAnimationFrame = 0;
    float m_fAnimationStep = 0;

protected:
    // The depth scale at the object times the definition's scale, 16.16.
    FIXED_FLOAT_16 ObjectScale() const;
    bool InitImage();
    bool InitEffect();
    void RunEffect();
    void DrawShadow(IDibBitmap* image);
    void DrawBody(IDibBitmap* image);
    void DrawSelectionCorners();
};

// Sets the effect's clip rectangle, which the particle system keeps in the effect's own picture
// coordinates, so that exactly what falls on a w x h screen is drawn under the effect's present
// drawing offset and zoom (zoom about the origin).
void ClipParticleSystemToScreen(CQuorvanParticleSystem2* system, int w, int h);

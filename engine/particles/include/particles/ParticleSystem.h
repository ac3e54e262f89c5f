#pragma once
// Particle systems: the game's sparkles, trails, explosions and bursts. One
// CQuorvanParticleSystem2 is one emitter configured from a text effect file (".pfd"), simulated
// in fixed steps in 16.16 fixed point and drawn through the image rotator-scaler. The named list
// of systems is CQuorvanParticleSystemManager2 (particles/ParticleSystemManager.h); emission
// shapes are CQuorvanParticleSystemShape2 (particles/ParticleSystemShape.h); randomness comes
// from the two tables of particles/RandomTables.h.
//
// Depends on: core (strings, parser, files), render (rotator, bitmaps, GL blend mode), sprites
// (the sprite strip); its owner is reached through ISpriteHost (files, module directory, renderer
// kind, the sprite-set manager of the shared storage).
// Threads: main thread only. Limits: particles/ParticlesConfig.h.
//
// Units: positions in pixels, velocities in pixels per step, times in seconds, angles in
// degrees, all FIXED_FLOAT_16 unless a comment says otherwise.

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/Parser.h"

class ISpriteHost;
class CQuorvanImageRotatorScaler;
class CQuorvanParticleSystemShape2;
class CSpriteSet;
class IDibBitmap;
class IFile;

// Hands out shared sprite sets so that effects naming the same strip load it once.
class IQuorvanParticleSystemSharedSpriteStorage2 {
public:
    virtual ~IQuorvanParticleSystemSharedSpriteStorage2() = default;
    // A Single set for the strip (kept by the storage; the caller takes its own reference), or
    // null when none can be made.
    virtual CSpriteSet* GetSpriteSet(CommonString& file, CommonString& alphaFile, int numSprites, int perRow) = 0;
};

// A caller-supplied emission point, asked once for each new particle.
class IQuorvanParticleSystemEmitFunc2 {
public:
    virtual ~IQuorvanParticleSystemEmitFunc2() = default;
    // Offset of the next birth point from the emitter, in 16.16 pixels.
    virtual TVector2D_16 GetNextEmitPoint() = 0;
};

// The settings of one effect: what the effect file's keys fill, with their defaults.
struct CQuorvanParticleSystemInfo2 {
    CSpriteSet* m_pSpriteSet = nullptr;
    IQuorvanParticleSystemSharedSpriteStorage2* m_pSpriteStorage = nullptr;  // not owned
    CQuorvanParticleSystemShape2* m_pEmitShape = nullptr;
    IQuorvanParticleSystemEmitFunc2* m_pEmitFunc = nullptr;  // not owned
    std::uint8_t m_bShapeIsExternal = 0;                     // 1: the shape stays the caller's

    std::uint8_t m_AdditiveBlend = 1;                // else drawn with colour multiplication
    std::uint8_t m_FastDraw = 0;                     // stored only
    std::int32_t m_EmissionSpeed = 150;              // particles per second (whole number)
    FIXED_FLOAT_16 m_SystemLifetime = -kFixed16One;  // negative: endless
    FIXED_FLOAT_16 m_ParticleLifeMin = kFixed16One;
    FIXED_FLOAT_16 m_ParticleLifeMax = kFixed16One;
    FIXED_FLOAT_16 m_Direction = 0;  // 0 = +x, 90 = +y (down the screen)
    FIXED_FLOAT_16 m_Spread = 360 * kFixed16One;
    std::int32_t m_DirectionIsRelative = 0;
    FIXED_FLOAT_16 m_ParticleSpeedMin = 40 * kFixed16One;  // pixels per second
    FIXED_FLOAT_16 m_ParticleSpeedMax = 50 * kFixed16One;
    FIXED_FLOAT_16 m_ParticleGravityMin = 0;
    FIXED_FLOAT_16 m_ParticleGravityMax = 0;
    FIXED_FLOAT_16 m_ParticleRadialAccMin = 0;
    FIXED_FLOAT_16 m_ParticleRadialAccMax = 0;
    FIXED_FLOAT_16 m_ParticleTangAccMin = 0;
    FIXED_FLOAT_16 m_ParticleTangAccMax = 0;
    FIXED_FLOAT_16 m_ParticleSizeStart = kFixed16One;
    FIXED_FLOAT_16 m_ParticleSizeEnd = kFixed16One;
    FIXED_FLOAT_16 m_ParticleSizeVar = 0;
    FIXED_FLOAT_16 m_ParticleSpinStart = 0;  // degrees per second
    FIXED_FLOAT_16 m_ParticleSpinEnd = 0;
    FIXED_FLOAT_16 m_ParticleSpinVar = 0;
    FIXED_FLOAT_16 m_ColorStart_A = 255 * kFixed16One;  // channels 0..255 in the integer part
    FIXED_FLOAT_16 m_ColorStart_R = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ColorStart_G = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ColorStart_B = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ColorEnd_A = 0;
    FIXED_FLOAT_16 m_ColorEnd_R = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ColorEnd_G = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ColorEnd_B = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ParticleColorVar = 0;
    FIXED_FLOAT_16 m_ParticleAlphaVar = 0;
    CommonString m_ParticleSprites;  // strip image, relative to the images directory
    std::int32_t m_ParticleNumSprites = 1;
    std::int32_t m_ParticleNumSpritesPerRow = 1;
    std::uint8_t m_GridEffect = 0;
    std::uint8_t m_AnimateEffect = 0;
    std::uint8_t m_AnimateLooped = 0;
    std::uint8_t m_AnimateRandom = 0;
    FIXED_FLOAT_16 m_AnimateSpeed = 19661;  // frames per step: three times the file's value
    std::int32_t m_DirectionalParticles = 0;
    FIXED_FLOAT_16 m_ColorMiddle_A = 255 * kFixed16One;
    FIXED_FLOAT_16 m_ColorMiddleAge = 0;  // fraction of the life; 0 = no middle point
    std::int32_t m_RandomPos = 4;         // birth jitter square, whole pixels
};

// One live particle.
struct CQuorvanParticle2 {
    FIXED_FLOAT_16 x, y;
    FIXED_FLOAT_16 vx, vy;  // pixels per step
    FIXED_FLOAT_16 gravity;
    FIXED_FLOAT_16 radialAcc;
    FIXED_FLOAT_16 tangAcc;
    FIXED_FLOAT_16 spin, spinDelta;
    FIXED_FLOAT_16 size, sizeDelta;
    FIXED_FLOAT_16 red, green, blue, alpha;
    FIXED_FLOAT_16 redDelta, greenDelta, blueDelta, alphaDelta;  // per second
    FIXED_FLOAT_16 age, life;
    FIXED_FLOAT_16 frame;      // frame index in the integer part
    FIXED_FLOAT_16 middleAge;  // seconds
    std::uint8_t middlePassed;
};

// System ages with a meaning of their own.
inline constexpr FIXED_FLOAT_16 kParticleAgeStopped = -2 * kFixed16One;
inline constexpr FIXED_FLOAT_16 kParticleAgeEndless = -kFixed16One;

class CQuorvanParticleSystem2 {
public:
    // Default settings, no sprites, stopped, 33 frames per second (step 1984), no name, no file.
    // Neither pointer is owned.
    CQuorvanParticleSystem2(ISpriteHost* game, CQuorvanImageRotatorScaler* rotator);
    CQuorvanParticleSystem2(const CQuorvanParticleSystem2&) = delete;
    CQuorvanParticleSystem2& operator=(const CQuorvanParticleSystem2&) = delete;
    // Frees the particles, releases (storage) or deletes (private) the sprite set and deletes an
    // owned emission shape.
    virtual ~CQuorvanParticleSystem2();

    // ---- Set-up (ParticleSystem_Settings.cpp) -------------------------------------------------
    // Stores the effect file name (relative to the module directory); 1.
    int DefineFile(const char* file);
    // Reads the effect file through a memory file of the game and runs Init(file, null, 0);
    // leaves the system stopped. 1, or 0 when no file is named, it cannot be opened, or Init
    // fails (the settings read so far are kept).
    [[nodiscard]] int InitFromFile();
    // Reads every line of the file as an effect key (other keys are ignored; unnamed settings
    // keep their values) and closes it; a non-zero fps sets the frame rate first. Without a
    // set the sprites are made from the settings (0 when that fails); a given set replaces the
    // current one and passes to the system. 0 also when the particle buffer cannot be had.
    [[nodiscard]] int Init(IFile* file, CSpriteSet* spriteSet, FIXED_FLOAT_16 fps);
    // Copies the whole record. A record without a sprite set gets sprites made from its
    // settings (0 on failure); one carrying a set has a reference taken on it, and without a
    // storage that set then belongs to the system (deleted with it).
    [[nodiscard]] int Init(const CQuorvanParticleSystemInfo2* info, FIXED_FLOAT_16 fps);
    // The decoding half of Init over a whole file's bytes: applies every key line, nothing else.
    // `name` is for messages only.
    void ReadEffectSettings(const char* bytes, int size, const char* name);
    // Applies one effect key; unknown names are ignored. MaxParticles is clamped to
    // 0..kParticleMaxParticlesLimit and takes effect at OnSettingsChanged.
    void SetEffectProperty(const char* name, const char* value);
    // Later sprite sets come from the storage (not owned); a private set is deleted now.
    void UseSpriteSetStorage(IQuorvanParticleSystemSharedSpriteStorage2* storage);
    // Frame rate (16.16 frames per second) and the step 1/fps in 16.16 seconds. A rate under
    // 1/256 frame per second would divide by zero and leaves both unchanged.
    void SetFPS(FIXED_FLOAT_16 fps);
    FIXED_FLOAT_16 GetFPS() const { return m_nFrameRate; }
    FIXED_FLOAT_16 GetFrameStep() const { return m_nFrameStep; }
    // Resizes the particle buffer to MaxParticles (keeping the first records) and sets the age
    // to stopped, or endless for a negative SystemLifetime. 1, or 0 when the buffer cannot be
    // had (the old one is kept).
    [[nodiscard]] int OnSettingsChanged();
    // Gives up the current sprite set, then takes one for ParticleSprites when it is named and
    // both frame counts are positive. The result of AddReference, or 0 without sprites.
    int OnSpritesChanged();

    // ---- Running (ParticleSystem.cpp) ------------------------------------------------------
    void Start();
    // No more emission; true also removes every live particle.
    void Stop(bool clear);
    bool IsStopped() const { return m_nSystemAge == kParticleAgeStopped; }
    // Stops, places the emitter at (x, y) without a trail from its old place, and starts.
    void StartAt(FIXED_FLOAT_16 x, FIXED_FLOAT_16 y);
    // Moves the emitter. moveParticles: live particles follow the change. Otherwise births of
    // the next step spread from the old position to the new one (none when stopped).
    void SetPosition(FIXED_FLOAT_16 x, FIXED_FLOAT_16 y, bool moveParticles);
    // Moves every live particle; the emitter stays.
    void OffsetPosition(TVector2D_16 offset);
    int GetNumActiveParticels() const { return m_nNumParticles; }
    // The shape stays the caller's; a shape the system owned is deleted. 1.
    int SetEmitShape(CQuorvanParticleSystemShape2* shape);
    // Not owned. 1.
    int SetEmitFunc(IQuorvanParticleSystemEmitFunc2* func);

    // ---- Simulation (ParticleSystem_Simulate.cpp) ---------------------------------------------
    // One frame step.
    void RunProcess();
    // Five frame steps at once (a cheap catch-up).
    void RunMinimalProcess();
    // Emits n particles now (grid mode: one batch of the strip) unless stopped or without
    // sprites; never beyond MaxParticles.
    void EmitNewParticles(int n);
    void _RunProcessTimed(FIXED_FLOAT_16 dt);

    // ---- Drawing (ParticleSystem_Draw.cpp) ---------------------------------------------------
    void Draw(IDibBitmap* dst);
    // One sprite as a particle is drawn: 16.16 position, angle and scale; nothing below alpha
    // offset -254.
    void DrawRotatedScaledBitmapWithAlpha(IDibBitmap* src, IDibBitmap* dst, FIXED_FLOAT_16 x, FIXED_FLOAT_16 y,
                                          FIXED_FLOAT_16 angle, FIXED_FLOAT_16 scale, int r, int g, int b,
                                          int alphaOffset);

    // ---- Access ----------------------------------------------------------------------------
    void SetName(const char* name) { m_Name = CommonStringRS<11>(name); }
    const CommonStringRS<11>& GetName() const { return m_Name; }
    const CommonString& GetFileName() const { return m_FileName; }
    CSpriteSet* GetSpriteSet() const { return m_Info.m_pSpriteSet; }
    const CQuorvanParticle2* GetParticles() const { return m_pParticles; }
    int GetMaxParticles() const { return m_nMaxParticles; }
    int GetBufferCapacity() const { return m_nBufferCapacity; }

    // ==== State =====================================================================
    CQuorvanImageRotatorScaler* m_pRotator;
    ISpriteHost* m_pGame;
    CQuorvanParticleSystemInfo2 m_Info;

    FIXED_FLOAT_16 m_nSystemAge = kParticleAgeStopped;  // >= 0: seconds since Start
    FIXED_FLOAT_16 m_nEmissionAccumulator = 0;          // particles owed, 16.16
    TVector2D_16 m_PrevPos;
    TVector2D_16 m_CurPos;
    // Public drawing settings, set by whoever places the effect.
    TVector2D_16 m_DrawOffset;  // added to every particle when drawn
    TVector2D_16 m_ZoomCenter;
    FIXED_FLOAT_16 m_nZoomScale = kFixed16One;
    bool m_bZoom = false;
    // Whole pixels of the picture before the drawing offset and the zoom, which move and scale
    // it with the particles.
    TCoordRect2D m_ClipRect;
    bool m_bClip = false;

protected:
    void SetupNewParticle(CQuorvanParticle2& p);
    // Random direction of the settings (one draw), 16.16 degrees.
    FIXED_FLOAT_16 RandomDirection();
    // Direction for a birth at offset (dx, dy) from the emitter, blended with Direction by Spread.
    FIXED_FLOAT_16 BlendDirection(FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy);
    // ((num x 16) / (den >> 8)) x 16, with a divisor shorter than 1/256 s taken as one frame step.
    FIXED_FLOAT_16 PerSecond(FIXED_FLOAT_16 num, FIXED_FLOAT_16 den) const;
    void GiveUpSprites();
    void ApplyEffectLine(const CommonStringRS<50>& line);
    int ResizeBuffer(int capacity);
    // A zeroed block of `count` particle records, released with std::free; null when memory
    // runs out. Virtual so that a test can make the allocation fail.
    virtual CQuorvanParticle2* AllocateParticles(int count);

    int m_nNumParticles = 0;
    CQuorvanParticle2* m_pParticles = nullptr;  // live ones first
    int m_nMaxParticles = 0;
    int m_nBufferCapacity = 0;
    FIXED_FLOAT_16 m_nFrameRate = 33 * kFixed16One;
    FIXED_FLOAT_16 m_nFrameStep = 1984;
    int m_nGridCounter = 0;
    CommonStringRS<11> m_Name;
    CommonString m_FileName;
};

#pragma once
// The game's named particle systems in one list, with one shared sprite storage. Screens that
// place effects between their own layers run and draw those with the *AndMark operations and
// then let the manager run and draw the rest, so every system is updated and drawn once per
// frame. Indexes stay valid while no earlier system is deleted. Main thread only.

#include "core/QuorvanArray.h"

class ISpriteHost;
class CQuorvanImageRotatorScaler;
class CQuorvanParticleSystem2;
class CQuorvanParticleSystemSharedSpriteStorage2;
class IDibBitmap;

class CQuorvanParticleSystemManager2 {
public:
    // Empty lists growing by growBy; creates the shared sprite storage. Pointers not owned.
    CQuorvanParticleSystemManager2(ISpriteHost* game, CQuorvanImageRotatorScaler* rotator, int growBy);
    CQuorvanParticleSystemManager2(const CQuorvanParticleSystemManager2&) = delete;
    CQuorvanParticleSystemManager2& operator=(const CQuorvanParticleSystemManager2&) = delete;
    // Deletes every system, then the shared storage.
    virtual ~CQuorvanParticleSystemManager2();

    // A new system named name, reading `file` later (InitFromFile), using the shared storage.
    // 1, or 0 when memory runs out (nothing is kept).
    [[nodiscard]] int AddParticleSystemDefenition(const char* name, const char* file);
    // Names the system and takes ownership. 1, or 0 when memory runs out (the caller keeps it).
    [[nodiscard]] int AddParticleSystem(const char* name, CQuorvanParticleSystem2* system);

    int GetNumParticleSystems() const { return m_Systems.count; }
    // Null out of range.
    CQuorvanParticleSystem2* GetParticleSystemAt(int i) const;
    // -1 when absent.
    int GetIdOfParticleSystem(const CQuorvanParticleSystem2* system) const;
    // The first system of exactly that name, -1 / null when none.
    int GetIdOfParticleSystemNamed(const char* name) const;
    CQuorvanParticleSystem2* GetParticleSystemNamed(const char* name) const;
    // Deletes the system and removes its entry and marks; later ones move down. Unknown: nothing.
    void DeleteParticleSystem(int i);
    void DeleteParticleSystem(CQuorvanParticleSystem2* system);
    void DeleteParticleSystem(const char* name);

    void StopAll(bool clear);
    // One frame step of every system.
    void RunProcess();
    void ResetRunProcessMarks();
    void ResetDrawMarks();
    void RunProcessAndMark(int i);
    void RunProcessTheRest();
    void DrawAndMark(IDibBitmap* dst, int i);
    void DrawTheRest(IDibBitmap* dst);
    void DestroyParticleSystems();

    int GetDrawMark(int i) const { return i >= 0 && i < m_DrawMarks.count ? m_DrawMarks[i] : 0; }
    int GetProcessMark(int i) const { return i >= 0 && i < m_ProcessMarks.count ? m_ProcessMarks[i] : 0; }
    CQuorvanParticleSystemSharedSpriteStorage2* GetSharedStorage() const { return m_pStorage; }

private:
    // Appends with both marks 0, all three lists or none. 1 or 0.
    int Append(CQuorvanParticleSystem2* system);

    ISpriteHost* m_pGame;
    CQuorvanImageRotatorScaler* m_pRotator;
    CQuorvanArray<CQuorvanParticleSystem2*> m_Systems;
    CQuorvanArray<int> m_DrawMarks;
    CQuorvanArray<int> m_ProcessMarks;
    CQuorvanParticleSystemSharedSpriteStorage2* m_pStorage = nullptr;  // owned
};

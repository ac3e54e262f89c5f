// What the yard's objects ask of the screen that shows the yard: the camera flash a posing bird
// starts and the photo stand it belongs to, how long that stand stays busy, and the two images
// the objects draw their selection with. The yard screen implements it and hands itself to the
// farm manager while it is open (CFarmManager::SetYard); with no yard screen open the manager
// gives null and the objects do without: no flash, no busy stand, no selection marks.
//
// Threads: main thread only, from the objects' RunProcess and Draw, which the screen calls.
#pragma once

class CFarmObject;
class CSpriteSet;
class IDibBitmap;

// Frames of the camera flash when a bird poses at a photo stand, and how long the stand stays
// busy after it (no other bird chooses it meanwhile).
inline constexpr int kCameraFlashFrames = 80;
inline constexpr int kPhotoStandBusyFrames = 2970;

class IFarmYard {
public:
    // Frames left of the camera flash: 0 when none runs, kCameraFlashFrames when it starts.
    virtual int GetCameraFlashCounter() = 0;
    // Starts the camera flash (its counter becomes kCameraFlashFrames).
    virtual void ShowCameraFlash() = 0;
    // Ends a running flash at once: its counter and its photo stand are cleared (a stand being
    // dragged away while its flash runs). The busy countdown is left alone.
    virtual void StopCameraFlash() = 0;
    // The photo stand the flash belongs to, or null; not owned.
    virtual CFarmObject* GetPhotoStand() = 0;
    // The stand a bird now poses at, and the frames it stays busy (counted down by the screen
    // once the flash is over).
    virtual void SetPhotoStand(CFarmObject* stand, int busyFrames) = 0;
    // Frames the photo stand stays busy; 0 when it is free.
    virtual int GetPhotoStandBusyCountdown() = 0;
    // The marker drawn under a selected creature ("farm\chicken-selection"), or null; not owned.
    virtual IDibBitmap* GetSelectionImage() = 0;
    // The four corner frames drawn round a selected decor object ("FarmDecorSelection"), or
    // null; not owned, no reference taken.
    virtual CSpriteSet* GetDecorSelectionSet() = 0;

protected:
    // The screen is never deleted through this interface.
    ~IFarmYard() = default;
};

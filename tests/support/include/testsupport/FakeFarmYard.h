#pragma once
// The yard screen as the farm's objects see it (IFarmYard), with plain fields a test sets and
// reads: the camera flash, the photo stand and its busy countdown, and the two selection images.
// It counts down nothing by itself; a test moves the counters as the screen would.

#include "game/farm/FarmYard.h"

class CFakeFarmYard final : public IFarmYard {
public:
    int GetCameraFlashCounter() override { return m_nFlashCounter; }
    void ShowCameraFlash() override {
        m_nFlashCounter = kCameraFlashFrames;
        ++m_nFlashesShown;
    }
    void StopCameraFlash() override {
        m_nFlashCounter = 0;
        m_pPhotoStand = nullptr;
    }
    CFarmObject* GetPhotoStand() override { return m_pPhotoStand; }
    void SetPhotoStand(CFarmObject* stand, int busyFrames) override {
        m_pPhotoStand = stand;
        m_nBusyCountdown = busyFrames;
    }
    int GetPhotoStandBusyCountdown() override { return m_nBusyCountdown; }
    IDibBitmap* GetSelectionImage() override { return m_pSelectionImage; }
    CSpriteSet* GetDecorSelectionSet() override { return m_pCorners; }

    int m_nFlashCounter = 0;
    int m_nFlashesShown = 0;
    CFarmObject* m_pPhotoStand = nullptr;
    int m_nBusyCountdown = 0;
    IDibBitmap* m_pSelectionImage = nullptr;
    CSpriteSet* m_pCorners = nullptr;
};

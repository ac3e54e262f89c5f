// CAdsEngine: a small banner for the publisher's other games. It keeps a built-in table of local
// ads, loads a random one's picture from the paks when a screen asks for a new ad, draws it at a
// set position and scale over the screens, highlights it while pressed and takes the link of a
// tap (nothing opens it on this platform). A network ad, when one is present, hides the local one;
// the network hooks are empty here. The game object owns the one engine, offers it every pointer
// event first, updates it each frame and draws it after the screens. Main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IDibBitmap;

// One local ad: image names below the images directory's "ads\" folder and store links, each
// for the smaller resolution and the larger one (resolution id 22).
struct LocalAd {
    CommonString bitmap;
    CommonString bitmap_hd;
    CommonString link;
    CommonString link_hd;
};

class CAdsEngine {
public:
    // Hidden, at (0, 0) and scale 1.0, with the built-in table; picks an ad at once.
    explicit CAdsEngine(CGameBase* game);
    CAdsEngine(const CAdsEngine&) = delete;
    CAdsEngine& operator=(const CAdsEngine&) = delete;
    virtual ~CAdsEngine();

    void ShowAd(bool show) { m_bVisible = show; }
    bool IsAdVisible() const { return m_bVisible; }
    // Top-left corner in pixels and a size factor.
    void SetAdPosition(int x, int y, float scale);
    // Picks a new ad.
    void RefreshAds() { RefreshLocalAd(); }
    // The network-ad callback: true while a network ad is present.
    void OnAdReceived(bool received) { m_bNetworkAdPresent = received; }
    // The per-frame update: only network-ad bookkeeping, none on this platform.
    void RunProcessAd() {}
    // 1 when the event (1 press, 3 move, 2 release) was the ad's.
    int NotifyPointerEvent(int x, int y, int type);
    void DrawAd();
    // The ad's rectangle on the screen (24.8 pixels).
    TRect2D GetAdRect() const;

    // Network-ad hooks; this platform has no ad network.
    void RequestAdmobAd() {}
    void SetAdmobAdPosition(int, int, float) {}
    void SetAdmobAdVisible(bool) {}

    // ==== State =================================================================================
    CQuorvanObjPtrArray<LocalAd*> m_Ads;  // the table; owned
    CGameBase* m_pGame;
    IDibBitmap* m_pPicture = nullptr;  // the current ad's image; owned
    CommonString m_Link;               // the current ad's store link
    bool m_bVisible = false;
    int m_nX = 0;
    int m_nY = 0;
    float m_fScale = 1.0f;
    bool m_bNetworkAdPresent = false;
    bool m_bPressed = false;        // a press started on the ad
    bool m_bPressedInside = false;  // that press's finger is over the ad
    CommonString m_TappedAddress;   // the link of the last tap; nothing opens it here

private:
    void RefreshLocalAd();
    void AddAd(const char* bitmap, const char* bitmapHd, const char* link, const char* linkHd);
    // The ad is drawn and takes touches only with a picture, shown, with no network ad and no
    // screen rotation running.
    bool IsActive();
};

// The award banner: one queued notice at a time (game/progress/AchievementsManager.h) on a banner
// that slides down from the top edge while it fades in over 16 frames, stays until frame 132 and
// slides back up over 16 more. It shows the message's icon (an achievement's own icon, else the
// frame of "AchAwarded" numbered by the message type) and one or two lines of text, and rests
// below the ad strip during a round that shows one. The game object runs and draws it above every
// screen while it is active.
//
// Depends on: sprites, text and render (the rotator) through CGameBase, and the game object
// through IProgressHost (the achievements, the running round, the small font), GC. Threads: main
// thread only.
#pragma once

#include "core/CommonString.h"

class CGameBase;
class IProgressHost;
class CSpriteSet;
class IDibBitmap;

inline constexpr int kAwardBannerHoldFrames = 132;
inline constexpr int kAwardBannerFadeStep = 16;

class CAwardManager {
public:
    // Idle, alpha 0, no icon, empty texts.
    explicit CAwardManager(CGameBase* game);
    CAwardManager(const CAwardManager&) = delete;
    CAwardManager& operator=(const CAwardManager&) = delete;
    ~CAwardManager() = default;

    // Finds the sprite sets "AchAwardedBg" and "AchAwarded": 1, or 0 when either is missing.
    int PostConstruct();
    // Starts a banner: active, hold 132, alpha 0; an achievement's type (1000 + index) takes its
    // icon when the icon's set is loaded.
    void ShowAwardMsg(int type, const CommonString& title, const CommonString& text);
    // Per frame while active: fading in by 16 a frame during the hold, then out by 16 until idle.
    void RunProcess();
    // Draws the banner into target when it is visible at all.
    void Draw(IDibBitmap* target);

    bool IsActive() const { return m_bActive; }
    int GetAlpha() const { return m_nAlpha; }
    int GetHold() const { return m_nHold; }
    int GetType() const { return m_nType; }
    IDibBitmap* GetIcon() const { return m_pIcon; }
    const CommonString& GetTitle() const { return m_Title; }
    const CommonString& GetText() const { return m_Text; }
    // The top the banner rests at: below the ad strip during a round that shows it and has no
    // modal dialog open, else the screen's top.
    int GetRestingTop() const;

private:
    // The icon drawn for the current message, or null.
    IDibBitmap* CurrentIcon() const;

    CGameBase* m_pGame;
    IProgressHost* m_pHost;  // the game object behind m_pGame, or null
    bool m_bActive = false;
    CSpriteSet* m_pBackground = nullptr;  // "AchAwardedBg": frame 0 is the banner
    CSpriteSet* m_pIcons = nullptr;       // "AchAwarded": frame n for message type n
    IDibBitmap* m_pIcon = nullptr;        // an achievement's icon, not owned
    int m_nHold = 0;
    int m_nAlpha = 0;
    int m_nType = 0;
    CommonString m_Title;
    CommonString m_Text;
};

#pragma once
// The round statistics ("dlg_level_failed2"): the dialog that closes a round of the marble game.
// After its fade-in it counts up, one section after the other, the round's score, the coins
// picked up, the score bonus, the round's coins and the player's new coin total, then shows the
// quests in progress (RoundStatsQuests.h) and fills an experience meter from the experience
// before the round to the experience after it, with applause and three rings of sparks for every
// rank gained and, once caught up, a badge of the unspent boost points. A press that no child
// takes ends the count-up at once. The buttons lead to the play screen, the farm and the
// leaderboards; a tap on a quest row offers the object still to buy, and the round screen carries
// the purchase on into the farm.
//
// The round's results are final when the dialog opens (the round screen has written them into
// the profile); the dialog changes nothing of them but the first-rank-up flag and achievement 17.
// Sharing is not offered: its buttons stay hidden and its hooks send nothing.
//
// Timeline, in frames of the dialog's own update: 33 frames of delay, then section 0 starts the
// round score; each count-up takes at least 22 frames (step = range / 22, at least 1), the
// sections after it wait 3 frames, the last (section 8, the quests) 1. Sections run
// 0, 1, 2, 3, 4, 5, 7, 8; 6 is never entered.
//
// Depends on: ui (game dialog, scroll list container), the round screen's results, the game
// object's profile, fonts, sprite sets, sounds, particles and achievements, DrawScoreValue, the
// tiled hint overlay. Main thread only.

#include <memory>

#include "core/Common.h"
#include "core/CommonString.h"
#include "game/gameplay/RoundStatsOffer.h"
#include "ui/GameDialog.h"
#include "ui/ScrollDialog.h"

class CBitmapFontText;
class CGameBase;
class CSpriteSet;
class CTiledBGTutorial;
class CXGameplaySurvival;
class CXRoundStatsQuestsScrollDialog;
class IDibBitmap;
class TUserProfile;

// Sharing is not offered on this platform: false.
bool CanTwit();

class CXRoundStatsDialog : public XGameDialog, public IScrollDialogContainer, public IRoundStatsOffer {
public:
    static constexpr int kFirstDelay = 33;
    static constexpr int kFramesPerSection = 22;
    static constexpr int kSectionDelay = 3;
    static constexpr int kQuestsDelay = 1;
    static constexpr int kRowAlphaStep = 10;
    static constexpr int kMeterAlphaStep = 32;
    static constexpr int kBurstInterval = 12;
    static constexpr int kBadgeAlphaStep = 10;
    static constexpr int kBadgeDelay = 16;
    static constexpr int kFirstBoostAchievement = 17;
    // The count-up values, in section order; the last (gift coins) is never counted.
    enum EValue { kRoundScore, kPickedUp, kScoreBonus, kRoundTotal, kCoinTotal, kGiftCoins, kValueCount };

    // round: the round screen whose results are shown (not owned; may be null in which case the
    // results read as 0). Stops the counting sound.
    CXRoundStatsDialog(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement,
                       CXGameplaySurvival* round);
    // Deletes the hint overlay.
    ~CXRoundStatsDialog() override;

    // The dialog, the music, the widgets (see the source for which are required), the
    // sharing buttons hidden, the meter's sets and geometry and the experience before the round:
    // 0 when a required widget or sprite set is missing.
    int OnInitWidget() override;
    // "dlg_roundstats_scroll" becomes the quest list (hidden until section 8); the rest as the
    // game dialog makes it.
    XWidget* CreateAndInitChild(TWidget* record, const WidgetContext* placement) override;
    // One frame: the children, the overlay, the fades, the delay, the section and the meter.
    void RunProcess() override;
    void Draw() override;
    // Always 1. An open overlay's close button closes it; otherwise the children, and a press
    // none of them takes ends the count-up (ShowAll).
    int NotifyPointerEvent(int x, int y, int type) override;
    // The buttons' clicks (continue, farm, leaderboards, sharing); the rest to the dialog base.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    // Ends the count-up: every row at its final value, the quests and the meter shown. Always
    // stops the counting sound.
    void ShowAll();
    // Shows the quest list and builds its rows.
    void DisplayCurrentQuestsDialog();
    // No rank-up burst runs and the meter has reached the profile's experience.
    bool IsXPMeterProgressDone() const;
    // The bar's width for the shown experience (FIXED_FLOAT pixels), its fraction of the shown
    // rank rounded to 1/256; 0 without a bar. The argument is not read.
    FIXED_FLOAT GetXPMeterProgressNeededWidth(unsigned int xp) const;
    // One step of the experience meter.
    void ProcessXPMeterProgressWidth();
    void DrawXPMeter();
    // 60 sparks of "StarBlinks" on a 20-pixel-high band from x1 to x2 centred on y, or on a ring
    // of radius r around (x, y). Virtual: a test hears where the sparks go.
    virtual void EmitParticles(int x1, int x2, int y);
    virtual void EmitParticlesCircle(int x, int y, int radius);

    // Sharing hooks: the text a share would carry; the two posts send nothing; their results
    // pay the high-score reward once each (nothing calls them on this platform).
    CommonString PrepareShareText();
    void DoScoreTwit();
    void DoScorePost();
    void OnPostToTwitterResult(bool ok);
    void OnPostToFacebookResult(bool ok);
    // The gift-coins hint, when no overlay is open.
    void RunGiftCoinsTutorial();

    // What the quest list chose to offer: the object and its yard.
    void SetChosenObject(const CommonString& yard, const CommonString& object);
    const CommonString& GetChosenObject() const override { return m_ChosenObject; }
    const CommonString& GetChosenYard() const override { return m_ChosenYard; }

    // ---- State, for the round screen and tests ---------------------------------------------
    CXGameplaySurvival* GetRound() const { return m_pRound; }
    CXRoundStatsQuestsScrollDialog* GetQuestList() const { return m_pQuestList; }
    CTiledBGTutorial* GetTutorial() const { return m_pTutorial.get(); }
    int GetSection() const { return m_nSection; }
    int GetDelay() const { return m_nDelay; }
    int GetSectionFrame() const { return m_nSectionFrame; }
    double GetShownValue(int i) const { return m_Shown[i]; }
    double GetStep() const { return m_dStep; }
    int GetSectionAlpha(int i) const { return m_SectionAlpha[i]; }
    bool IsMeterStarted() const { return m_bMeterStarted; }
    int GetMeterAlpha() const { return m_nMeterAlpha; }
    unsigned int GetShownXP() const { return m_uShownXP; }
    int GetXPStep() const { return m_nXPStep; }
    int GetShownRank() const { return m_nShownRank; }
    const CommonString& GetRankText() const { return m_RankText; }
    FIXED_FLOAT GetRankLeft() const { return m_nRankLeft; }
    FIXED_FLOAT GetRankTop() const { return m_nRankTop; }
    FIXED_FLOAT GetBarWidth() const { return m_nBarWidth; }
    int GetBurstsLeft() const { return m_nBurstsLeft; }
    int GetBurstTimer() const { return m_nBurstTimer; }
    FIXED_FLOAT GetBadgeAlpha() const { return m_nBadgeAlpha; }
    FIXED_FLOAT GetMeterCentreX() const { return m_nMeterX; }
    FIXED_FLOAT GetMeterCentreY() const { return m_nMeterY; }
    FIXED_FLOAT GetBarLeft() const { return m_nBarLeft; }
    FIXED_FLOAT GetBarTop() const { return m_nBarTop; }
    IDibBitmap* GetBarImage() const { return m_pMeterBar; }
    IDibBitmap* GetMeterImage() const { return m_pMeterBG; }
    int GetTweetCountdown() const { return m_nTweetCountdown; }

private:
    // The value a section counts to.
    double Target(int value) const;
    // A count-up section starts: its value from start, the step, the frame counter 0.
    void StartCounting(int value, double start);
    // One frame of a count-up section: true once it is complete.
    bool Count(int value);
    // A row fades in with its sound and a band of sparks at half the screen's width + a .. + b.
    void StartRow(int row, int a, int b, int y);
    // The section's action on this frame.
    void RunSection();
    // The meter starts once: sparks over its centre and the counting sound.
    void StartXPMeter();
    // The rank text and its left edge for the shown rank.
    void LayOutRankText();
    void DrawRows();
    // The particle system of the sparks, or null.
    class CQuorvanParticleSystem2* Sparkle() const;
    TUserProfile* Profile() const;
    // The game object behind the dialog when it serves the screens, else null.
    CGameBase* Game() const;
    void PlaySound(const char* name);
    void StopSound(const char* name);
    void Post(int code, int wparam);
    // Shows or hides a found widget (null: nothing).
    static void SetShown(XWidget* widget, bool shown);
    // Pays the sharing reward for a new high score once (paid: the flag of that kind).
    void PayShareReward(bool ok, bool& paid, const char* format);

    CXRoundStatsQuestsScrollDialog* m_pQuestList = nullptr;  // a child
    int m_nSparkleEffect = -1;
    int m_SectionAlpha[6] = {};
    CXGameplaySurvival* m_pRound;
    XWidget* m_pCaption = nullptr;  // template widgets, not owned
    XWidget* m_pQuestsCaption = nullptr;
    XWidget* m_pLine1 = nullptr;
    XWidget* m_pLine2 = nullptr;
    XWidget* m_pLine3 = nullptr;
    XWidget* m_pLeaderboards = nullptr;
    XWidget* m_pTweet = nullptr;
    XWidget* m_pContinue = nullptr;
    XWidget* m_pFacebook = nullptr;
    XWidget* m_pFacebookWhy = nullptr;
    XWidget* m_pExchange = nullptr;
    std::unique_ptr<CTiledBGTutorial> m_pTutorial;
    CSpriteSet* m_pCoinIcon = nullptr;  // "HudCoin"
    int m_nSection = 0;
    int m_nDelay = 0;
    double m_Shown[kValueCount] = {};
    double m_dStep = 0;
    int m_nFramesPerSection = kFramesPerSection;
    int m_nSectionFrame = 0;
    CommonString m_ChosenObject;
    CommonString m_ChosenYard;
    int m_nTweetCountdown = -1;
    bool m_bTweetRewardPaid = false;
    bool m_bPostRewardPaid = false;
    bool m_bMeterStarted = false;
    int m_nMeterAlpha = 0;
    IDibBitmap* m_pMeterBG = nullptr;  // first sprites of "XPMeterBG" and "XPMeterProg"
    IDibBitmap* m_pMeterBar = nullptr;
    FIXED_FLOAT m_nMeterX = 0;
    FIXED_FLOAT m_nMeterY = 0;
    FIXED_FLOAT m_nBarLeft = 0;
    FIXED_FLOAT m_nBarTop = 0;
    CommonString m_RankText;
    FIXED_FLOAT m_nRankLeft = 0;
    FIXED_FLOAT m_nRankTop = 0;
    CBitmapFontText* m_pRankFont = nullptr;  // "FontLifes"
    FIXED_FLOAT_16 m_nRankScale = 75366;     // 1.15
    unsigned int m_uShownXP = 0;
    int m_nXPStep = 1;
    int m_nShownRank = 1;
    FIXED_FLOAT m_nBarWidth = 0;
    FIXED_FLOAT m_nFramesForRank = 32 * 256;
    int m_nBurstsLeft = 0;
    int m_nBurstTimer = 0;
    int m_nBurstInterval = kBurstInterval;
    FIXED_FLOAT m_nBadgeAlpha = 0;
    int m_nBadgeDelay = 0;
};

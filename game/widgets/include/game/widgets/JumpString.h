// Floating texts: short texts that pop up over the play field (points, coins, level and stage
// announcements, a lost life, a new star), hold or settle for a moment and vanish. A CJumpString
// runs a small state machine (delay, appear, hold or settle, vanish) and moves at a constant
// velocity; CJumpStringManager owns them, makes them from a style name, runs and draws them and
// saves them with the round. The gameplay screen and the yard screen each own one manager; only
// the gameplay screen's has a play area, and only texts over a play area get coin decorations.
//
// Depends on: the game (its fonts through IProgressHost, the rotator's ease curve) and, for the
// coin decorations, the area the texts float over (IJumpStringArea, which the round's play field
// is). Units: positions, velocities and scales 16.16. Main thread only.
#pragma once

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CBitmapFontText;
class CGameBase;
class CSpriteSet;
class IDibBitmap;
class IFile;
struct SerializeHelper2;

// What floating texts ask of the area they float over (the round's play field): where it lies, for
// the texts that head for its middle, and the coin pictures some texts are decorated with.
class IJumpStringArea {
public:
    // The play rectangle in FIXED_FLOAT screen pixels.
    virtual TRect2D GetPlayRect() = 0;
    // "ui\gameplay\game_coins": the round's coin icon; null when missing.
    virtual IDibBitmap* GetCoinIconImage() = 0;
    // The arena's coin sprite set; null when missing.
    virtual CSpriteSet* GetArenaCoinSet() = 0;

protected:
    // Areas are never deleted through this interface.
    ~IJumpStringArea() = default;
};

// The style of one text.
struct TJumpStringParams {
    CommonString style;
    TVector2D_16 position;  // start centre
    TVector2D_16 velocity;  // pixels added to the position every frame
    FIXED_FLOAT_16 scale = 0;
    int peakAlpha = 0;
    int hold = 0;                     // frames to hold, or to settle
    int appearMode = 0;               // 0 at once, 1 zoom in from 16 times the scale, 2 grow from nothing
    int vanishMode = 0;               // 0 at once, 1 widen while fading, 2 fade only
    CBitmapFontText* font = nullptr;  // not owned; not saved
    int red = 0, green = 0, blue = 0;
    int effect = 0;  // handed to the font
    bool flag = false;
};

// States of a text.
enum : int { kJumpAppear = 0, kJumpHold = 1, kJumpVanish = 2, kJumpSettle = 3 };

class CJumpString {
public:
    // Takes ownership of params (which may be null: such a text never shows).
    CJumpString(CGameBase* game, const CommonString& text, TJumpStringParams* params, int delay);
    CJumpString(const CJumpString&) = delete;
    CJumpString& operator=(const CJumpString&) = delete;
    virtual ~CJumpString();

    // Prepares the appear animation from the params: 1, or 0 without params.
    int PostConstruct();
    // One frame: the delay, or the state steps in the order appear, hold, settle, vanish (a step
    // that changes the state lets the next one run in the same frame), then the move.
    void RunProcess();
    // Whether Draw would show anything: alive, with params, a font, text, both scales and alpha
    // above 0.
    bool IsShown() const;
    // The text centred on its position, scaled; coin decorations beside it when it has some and
    // a play area is given.
    void Draw(IDibBitmap* dst, IJumpStringArea* field);
    // The saved fields of the text and its params (not the font): 1, or 0 when a value did not
    // move whole, a text is longer than the bytes left, or a state or mode is out of range.
    int Serialize(SerializeHelper2& h);

    // ==== State (declaration order) ============================================================
    CGameBase* m_pGame;
    CommonString m_Text;
    TJumpStringParams* m_pParams;  // owned
    bool m_bAlive = false;
    int m_nState = kJumpAppear;
    TVector2D_16 m_Position;
    TVector2D_16 m_Velocity;
    FIXED_FLOAT_16 m_nScaleX = 0, m_nScaleY = 0;
    int m_nAlpha = 0;
    int m_nHoldCounter = 0;
    int m_nDelay = 0;
    FIXED_FLOAT_16 m_nAppearStart = 0, m_nAppearRange = 0, m_nAppearValue = 0, m_nAppearStep = 0;
    FIXED_FLOAT_16 m_nVanishStep = 0;
    FIXED_FLOAT_16 m_nSettleTarget = 0, m_nSettleStep = 0, m_nSettleValue = 0, m_nSettleRange = 0;
    // 0 none; 1 the round's coin icon; 2 and 3 the first frame of the arena's coin set.
    int m_nLeftDecoration = 0, m_nRightDecoration = 0;

private:
    void RunAppear();
    void RunSettle();
    void RunVanish();
    void StartVanish();
    void DrawDecoration(IDibBitmap* dst, IJumpStringArea* field, int which, FIXED_FLOAT_16 edgeX, bool left);
};

class CJumpStringManager {
public:
    // The area is the round's play field, or null (the yard): then texts get no coin decorations
    // and a "coin" text heads for the screen's centre.
    CJumpStringManager(CGameBase* game, IJumpStringArea* field);
    CJumpStringManager(const CJumpStringManager&) = delete;
    CJumpStringManager& operator=(const CJumpStringManager&) = delete;
    virtual ~CJumpStringManager() = default;

    int PostConstruct() { return 1; }
    // A text in a style of the style table at (x, y), starting after delay frames: 1 when a text
    // was added, 0 for an empty style or when the list cannot grow. An unknown style gives a text
    // that never shows and is gone at once. colourType picks the colour of the styles coloured
    // by it (GetRGBColorBasedOnType) and the decorations of "stage_desc".
    int ShowJumpString(const CommonString& text, const CommonString& style, int colourType, FIXED_FLOAT_16 x,
                       FIXED_FLOAT_16 y, int delay);
    // Runs every text from the last to the first and deletes those that are no longer alive.
    void RunProcess();
    // Draws every text from the last to the first; the offsets are not applied.
    void Draw(IDibBitmap* dst, FIXED_FLOAT_16 dx, FIXED_FLOAT_16 dy);
    // Deletes every text.
    void RemoveAll() { m_Texts.RemoveAll(); }
    // The count, then each text in list order. Reading deletes the texts held first, refuses a
    // count the bytes left cannot hold, and gives each text read the font its style is made with.
    // 1, or 0 at the first failure (the texts read so far stay).
    int Serialize(IFile* file, bool writing);

    // The font a style is shown in: "stage_desc" and "new_star" the small font, the other styles
    // of the table the button font; null for a style outside the table or before fonts load.
    CBitmapFontText* FontForStyle(const CommonString& style) const;

    CGameBase* m_pGame;
    IJumpStringArea* m_pField;
    CQuorvanObjPtrArray<CJumpString*> m_Texts;  // creation order; growth step 1
};

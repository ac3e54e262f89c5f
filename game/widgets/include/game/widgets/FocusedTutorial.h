// Hint overlays: the first time a player meets a screen, it is darkened, a text explains, an
// arrow points at the thing to touch and a close button dismisses the hint. CFocusedTutorial is
// the shared protocol and fade; CFullScreenTutorial (FullScreenTutorial.h) darkens everything but
// a round spot gliding onto the target, CTiledBGTutorial (TiledBGTutorial.h) shows the text on a
// tiled panel with an optional arrow towards a widget. Overlays are not widgets: the host screen
// (play screen, yard, round statistics, boosts screen) owns one and drives it:
//
//   construct; PostConstruct, deleting the overlay when it fails;
//   every frame RunProcess and Draw(back buffer);
//   while IsShown: a press inside the focus widget goes on to the screen as usual; a press for
//   which HitTestCloseButton is true calls FadeOut (the host may then note the hint as seen);
//   every other press is swallowed;
//   once IsFinished the host deletes the overlay.
//
// Depends on: render (rotator, fills, ease curve), text (the game's "FontSmall", line breaking),
// sprites ("tutorial_arrow", "tutorial_close" and the variants' sets, taken from the "ui" group
// the loader keeps loaded; no reference is held). Main thread only.
#pragma once

#include <memory>

#include "core/Common.h"
#include "core/CommonString.h"

class CBitmapFontText;
class CGameBase;
class CQuorvanTextFormat;
class IDibBitmap;
class XWidget;

// The darkest the overlay gets, the steps of its fade in and out (per frame), and the text's
// full alpha.
inline constexpr double kTutorialMaxAlpha = 220.0;
inline constexpr double kTutorialFadeInStep = 10.0;
inline constexpr double kTutorialFadeOutStep = 32.0;
// The close button takes presses up to this many pixels from its centre on both axes, and
// shrinks to 0.8 (16.16) while the hint fades out.
inline constexpr int kTutorialCloseReachPx = 40;
inline constexpr FIXED_FLOAT_16 kTutorialFadingCloseScale = 52429;

// value += speed; at max or above value := max and the speed turns; else at min or below
// value := min and the speed turns. Drives the overlays' bobbing.
void ProcessCyclicValue(double min, double& value, double& speed, double max);

class CFocusedTutorial {
public:
    // Keeps the arguments (the text copied; focus may be null and is not owned); alpha 0, not
    // shown. kind is the host's: 0..2 full-screen hints, 3..8 tiled ones.
    CFocusedTutorial(CGameBase* game, int kind, int x, int y, const char* text, XWidget* focus);
    CFocusedTutorial(const CFocusedTutorial&) = delete;
    CFocusedTutorial& operator=(const CFocusedTutorial&) = delete;
    virtual ~CFocusedTutorial();

    // Takes frame 0 of "tutorial_arrow" and "tutorial_close", then lets the variant lay itself
    // out (LayOut): shown and 1, or 0 (never shown) when a set is missing or the layout fails.
    [[nodiscard]] virtual int PostConstruct();
    // The fade: towards kTutorialMaxAlpha while shown, to 0 after FadeOut, then finished.
    virtual void RunProcess();
    // The base draws nothing.
    virtual void Draw(IDibBitmap* dst);
    // Whether a press at (x, y) closes the hint; the base has no button: false.
    virtual bool HitTestCloseButton(int x, int y);
    // Starts the fade-out: no longer shown.
    virtual void FadeOut();

    int GetKind() const { return m_nKind; }
    XWidget* GetFocusWidget() const { return m_pFocus; }
    bool IsShown() const { return m_bShown; }
    bool IsFading() const { return m_bFading; }
    bool IsFinished() const { return m_bFinished; }
    double GetAlpha() const { return m_dAlpha; }
    double GetCloseX() const { return m_dCloseX; }
    double GetCloseY() const { return m_dCloseY; }
    // The text's box in pixels (FIXED_FLOAT) as laid out.
    FIXED_FLOAT GetTextX() const { return m_TextX; }
    FIXED_FLOAT GetTextY() const { return m_TextY; }
    FIXED_FLOAT GetTextWidth() const { return m_TextW; }
    FIXED_FLOAT GetTextHeight() const { return m_TextH; }
    // Where the arrow's foot stands (pixels) and its turn (FIXED_FLOAT degrees; 0 points up).
    double GetArrowX() const { return m_dArrowX; }
    double GetArrowY() const { return m_dArrowY; }
    FIXED_FLOAT GetArrowAngle() const { return m_ArrowAngle; }

protected:
    // The variant's own sets and layout, once the base's sets are there: false when a set is
    // missing or the text cannot be laid out. The base has none: true.
    virtual bool LayOut();
    // The close button's press area around its unmoved centre, once the image is there.
    bool IsWithinCloseReach(int x, int y) const;
    // Breaks the text into centred lines of that width in the game's font and notes its box:
    // false without the font or when the text cannot be broken.
    bool FormatTextBox(int width);
    // Draws the text's lines from its box moved by (dx, dy), white, with alpha 0..255.
    void DrawText(IDibBitmap* dst, double dx, double dy, int alpha);
    // The arrow image with its foot on the arrow's point, turned by the arrow's angle and moved
    // `along` pixels the way it points.
    void DrawArrowFrom(IDibBitmap* dst, IDibBitmap* arrow, double along, int alphaOffset);
    // Frame 0 of a named sprite set of the game, or null.
    IDibBitmap* SpriteFrame(const char* set, int frame = 0) const;
    // The line height of the game's font.
    int LineHeight() const;
    // Pixels as FIXED_FLOAT, rounded.
    static FIXED_FLOAT ToFixed(double pixels);
    // Degrees (FIXED_FLOAT, 0..360) that turn an upward image to point from (fromX, fromY) to
    // (toX, toY).
    static FIXED_FLOAT AngleTowards(double fromX, double fromY, double toX, double toY);

    CGameBase* m_pGame;
    int m_nKind;
    int m_nTargetX;
    int m_nTargetY;
    XWidget* m_pFocus;  // not owned; may be null
    double m_dAlpha = 0;
    bool m_bShown = false;
    bool m_bFading = false;
    bool m_bFinished = false;
    CBitmapFontText* m_pFont = nullptr;  // the game's; not owned
    std::unique_ptr<CQuorvanTextFormat> m_pTextFormat;
    FIXED_FLOAT m_TextX = 0;
    FIXED_FLOAT m_TextY = 0;
    FIXED_FLOAT m_TextW = 0;
    FIXED_FLOAT m_TextH = 0;
    double m_dTextAlpha = 0;
    CommonString m_Text;
    IDibBitmap* m_pCloseImage = nullptr;  // frames of the sprite sets; not owned
    IDibBitmap* m_pArrowImage = nullptr;
    double m_dCloseX = 0;
    double m_dCloseY = 0;
    double m_dArrowX = 0;
    double m_dArrowY = 0;
    FIXED_FLOAT m_ArrowAngle = 0;
};

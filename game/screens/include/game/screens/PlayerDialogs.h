#pragma once
// The start menu's player dialogs: the name entry with its on-screen keyboard (CXEditName), the
// list of up to six players (CXPlayers), the delete confirmation (CXRemovePlayer), the language
// choice (CXLanguageDialog) and the welcome text that names the current player on the menu's
// player plate (CXPlayersButtonText). The screen root's factory makes the dialogs by record name;
// the game dialog's factory makes the text.
//
// Depends on: ui (game dialog, buttons, texts, check boxes), the player data, and IScreensHost for
// a new profile and for deleting a player's kept games. Main thread only.

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "ui/GameDialog.h"
#include "ui/Text.h"

class XButton;
class XCheckBox;
class CSpriteSet;

// Shows or hides the widget; nothing for null.
void SetWidgetShown(XWidget* widget, bool shown);

// A name has at most this many characters.
inline constexpr int kMaxPlayerNameLength = 10;
// The caption of the list row that makes a new player.
extern const char* const g_strNewPlayer;

class CXEditName : public XGameDialog {
public:
    CXEditName(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);

    // Finds the 26 letter keys, the space key, the name, backspace, OK and the duplicate warning
    // (all required), shows the current player's name and sets the shift: 0 when one is missing.
    int OnInitWidget() override;
    void RunProcess() override;
    // The dialog, then the blinking cursor after the name.
    void Draw() override;
    // Letter keys, space, backspace and shift edit the name; the rest goes to the dialog.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    // The name typed so far.
    CommonString GetText() const;
    // Hides the cancel button and centres OK on the screen.
    void HideCancel();
    // Re-lays out the name, then shows or hides OK and the warning.
    void TextChanged();
    // OK shows only for a name with a visible character that no other player has; the warning
    // for a taken name. While neither shows and there is no cancel button, the hint under the
    // keys (txt_name_hint, optional) fills the place where OK will be.
    void UpdateOKButtonAvailability();
    // The name equals another player's (byte for byte); an empty name never does.
    bool IsDuplicateName() const;
    static bool StringLengthOK(const CommonString& text) { return text.Length() <= kMaxPlayerNameLength; }
    // Capitals on or off: the letter keys' captions follow.
    void Shift(bool on);
    // Appends the key of that id: false when there is none.
    bool AddButtonToArray(const CommonString& id);

    bool IsShiftOn() const { return m_bShift; }
    bool IsCancelShown() const { return m_bCancelShown; }
    // Set by whoever opened the entry for a profile made for it.
    bool m_bNewProfile = false;

private:
    void SetName(const CommonString& text);
    void TypeCharacter(char c);

    CQuorvanArray<XButton*> m_Keys;  // A..Z, then space; children
    XButton* m_pSpace = nullptr;
    XButton* m_pBackspace = nullptr;
    XButton* m_pOk = nullptr;
    XText* m_pName = nullptr;
    XWidget* m_pDuplicate = nullptr;
    XWidget* m_pHint = nullptr;
    bool m_bShift = false;
    int m_nBlink = 0;
    bool m_bCancelShown = true;
};

class CXPlayers : public XGameDialog {
public:
    static constexpr int kRows = 6;

    CXPlayers(CXElement* parent, TTemplate* templ, TWidget* record, const WidgetContext* placement);
    ~CXPlayers() override;

    // Finds the 24 row widgets, the list background and the highlight's sprite set (all required).
    int OnInitWidget() override;
    // The children up to the list background, the background, the current row's highlight, the rest.
    void Draw() override;
    // A row picks, edits or deletes its player; the first free row makes a new one.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;

    void UpdatePlayersNamesAndVisibility();
    void HighlightCurrentUser();

private:
    XButton* m_Players[kRows] = {};
    XWidget* m_Edits[kRows] = {};
    XWidget* m_Deletes[kRows] = {};
    XWidget* m_Empties[kRows] = {};
    XWidget* m_pListBg = nullptr;
    CSpriteSet* m_pSelection = nullptr;  // referenced
};

class CXRemovePlayer : public XGameDialog {
public:
    using XGameDialog::XGameDialog;
    // Names the current player (txt_remove_user_name is required).
    int OnInitWidget() override;
    // OK deletes the player's kept games, then the player, then runs the template action.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
};

class CXLanguageDialog : public XGameDialog {
public:
    using XGameDialog::XGameDialog;
    // One check box per language (chk_lang_1, ...), the others hidden; the current one ticked.
    int OnInitWidget() override;
    // A box selects its language; OK posts the language change when the choice is a new one.
    int OnMessage(CXElement* sender, int code, XWPARAM wparam, int lparam) override;
    void UpdateTickBoxes();

    int GetSelection() const { return m_nSelection; }

private:
    int m_nSelection = -1;
    CQuorvanArray<XCheckBox*> m_Boxes;
};

class CXPlayersButtonText : public XText {
public:
    using XText::XText;
    // txt_Welcome names the current player in its template text; other ids keep theirs.
    int OnInitWidget() override;
    void RunProcess() override;
    // The text, moved by a pixel while the player plate under it is pressed.
    void Draw() override;

    // The template text as a format with the player's name (" " for an empty one).
    void ShowPlayerName(const CommonString& name);
    void SetupChooseButtonPtr();

private:
    CommonString m_Format;
    XButton* m_pChooseButton = nullptr;  // the sibling btn_change_player
};

// The dialog of that id among the element's widget children (depth first), as class T; null when
// missing or of another class.
template <class T>
T* FindDialogAs(XWidget* root, const char* id) {
    return root != nullptr ? dynamic_cast<T*>(root->FindChildWithWidgetId(id)) : nullptr;
}

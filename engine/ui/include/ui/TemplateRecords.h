#pragma once
// The widget records of a UI template: one plain description per widget block of a template
// file, by kind (root, image, text, button, dialog, progress bar, tiled background, tuner,
// multi-line text, check box, information text). Records draw and load nothing; the live widgets
// are built from them. Each record class applies the property lines of its block itself
// (SetProperty), offering a line to its base first. A dialog record also holds its child
// placements (WidgetContext) and command bindings (ChildAction); the template and its actions are in
// ui/Template.h.
//
// Depends on: core (strings, arrays, the data-file parser). Main thread only.

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

// Record kinds; a template file names them by type word (WidgetTypeNameForFile).
enum : int {
    kWidgetRoot = 0,
    kWidgetImage = 1,
    kWidgetText = 2,
    kWidgetButton = 3,
    kWidgetDialog = 4,
    kWidgetProgress = 5,
    kWidgetTiledBG = 6,
    kWidgetTuner = 7,
    kWidgetTextMulti = 8,
    kWidgetCheckBox = 9,
    kWidgetTextInfo = 10,
    kWidgetKindCount = 11,
};

// The 11 type words of the template files and the 11 display names, indexed by kind.
extern const char* const g_WidgetTypeNamesForFile[kWidgetKindCount];
extern const char* const g_WidgetTypeNames[kWidgetKindCount];
// Display name and type word of a kind; null outside 0..10.
const char* WidgetTypeName(int kind);
const char* WidgetTypeNameForFile(int kind);

// Bits of TextDesc::givenFlags.
enum : unsigned char { kTextColorGiven = 1, kTextEffectGiven = 2 };

// A colour as three bytes.
struct TRgb {
    unsigned char r = 0;
    unsigned char g = 0;
    unsigned char b = 0;
};

// The text part of text and button records.
struct TextDesc {
    CommonString caption;  // the text shown before localisation
    CommonString style;    // a style id of the style table; empty = the default style
    TRgb color;
    unsigned char effect = 0;      // 0..6, see WhichEffectName
    unsigned char givenFlags = 0;  // kTextColorGiven, kTextEffectGiven: what overrides the style

    // Applies the text keys (caption, style, color, effect); 1 when the key is one of them.
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value);
};

// The image part of image, button, check-box and progress records.
struct ImageDesc {
    bool useSet = false;   // a frame of the named sprite set instead of an image file
    CommonString file;     // image path in the paks
    CommonString afile;    // separate alpha image path
    short frameCount = 0;  // frames the file holds (0 counts as 1)
    short framesPerRow = 0;
    unsigned char textureFormat = 0;  // 0 default, 1 force RGBA 8888, 2 force RGBA 4444
    CommonString set;                 // sprite-set name when useSet
    short frame = 0;

    // The "file" and "afile" keys (under any key name the caller matched).
    void SetFile(CommonStringRS<50>& value);
    void SetAFile(CommonStringRS<50>& value);
    // "set": the set flag and the name.
    void SetSet(CommonStringRS<50>& value);
    // Applies file, afile, set, frame, force_8888_texture and force_4444_texture; 1 when taken.
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value);
};

// The base of every record. A record's name is the id of the widget built from it.
class TWidget {
public:
    TWidget() = default;
    TWidget(const TWidget&) = default;
    TWidget& operator=(const TWidget&) = delete;
    virtual ~TWidget() = default;

    // Applies one property line of the record's block: 1 when the key belongs to this class or a
    // base (even with a malformed value), 0 otherwise.
    virtual int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value);
    // A new deep copy made by the copy constructor of the record's own class.
    virtual TWidget* Clone() const { return new TWidget(*this); }

    CommonString name;
    CommonString txtid;    // localisation id of the caption
    signed char kind = 0;  // kWidget*
    short width = 0;       // "size"; below 2 lets the content decide
    short height = 0;
};

class TImage : public TWidget {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TImage(*this); }
    ImageDesc image;
};

class TButton : public TImage {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TButton(*this); }
    TextDesc text;
    short shoulder = 0;  // 0 none, 1 left, 2 right
};

// Stands for "no text offset given" in TCheckBox::textOffset.
inline constexpr short kNoTextOffset = -10000;

class TCheckBox : public TButton {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TCheckBox(*this); }
    ImageDesc checkedImage;       // the ticked state; frame and texture keys do not reach it
    unsigned char textAlign = 1;  // 1 = caption beside the box
    short textOffset = kNoTextOffset;
};

class TWText : public TWidget {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TWText(*this); }
    TextDesc text;
};

class TTextMulti : public TWText {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TTextMulti(*this); }
    int mt_align = 1;  // 0 left, 1 centre, 2 right
    int row_add_dy = 0;
};

// TTextInfo::infoType values.
enum : unsigned char { kInfoVersion = 0, kInfoBuildDate = 1, kInfoShopLink = 3, kInfoShopLink2 = 4 };

class TTextInfo : public TWText {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TTextInfo(*this); }
    unsigned char infoType = kInfoVersion;
};

class TProgress : public TWidget {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TProgress(*this); }
    ImageDesc emptyImage;
    ImageDesc fullImage;
    short fullOffsetX = 0;  // no key sets these three
    short fullOffsetY = 0;
    int clipEmpty = 0;
};

// Grid places of the tiled background's nine tiles, row by row.
enum : int {
    kTileLeftTop = 0,
    kTileTop,
    kTileRightTop,
    kTileLeft,
    kTileCenter,
    kTileRight,
    kTileLeftBottom,
    kTileBottom,
    kTileRightBottom,
    kTileCount,
};
// The key of each grid place ("left_top", "top", ...).
extern const char* const g_TileKeys[kTileCount];

class TTiledBG : public TWidget {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TTiledBG(*this); }
    CommonString tiles[kTileCount];  // sprite-set names, in grid order
    bool hasBorderTiles = false;     // some side or corner tile was given
    bool single_set = false;         // every tile is a frame of the "center" set
    bool own_tiles = false;
    signed char ownTilesX = 0;  // never negative
    signed char ownTilesY = 0;
};

class TTuner : public TWidget {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TTuner(*this); }
    CommonString tunerId;  // sprite sets of the track, the filled part and the handle
    CommonString fullId;
    CommonString handleId;
    short offsetLeft = 0;
    short offsetRight = 0;
    short step = 5;
    short max = 100;
    unsigned char tunerFrame = 0;
    unsigned char fullFrame = 0;
    bool vertical = false;
};

// The placement of one widget inside its parent, also the placement part of an action step.
struct WidgetContext {
    CommonString name;  // the record to place
    short x = 0;
    short y = 0;
    unsigned char alignX = 0;          // which point of the widget x means: 0 left, 1 centre, 2 right
    unsigned char alignY = 0;          // 0 top, 1 centre, 2 bottom
    unsigned char alignXInParent = 0;  // from which point of the parent x counts
    unsigned char alignYInParent = 0;
    bool inEffect = false;
    FIXED_FLOAT inDelay = 0;  // seconds
    FIXED_FLOAT inDuration = 0;
    bool outEffect = false;
    FIXED_FLOAT outDelay = 0;
    FIXED_FLOAT outDuration = 0;
};

// Click messages are the only event bindings name.
inline constexpr short kBindingEventClick = 600;

// One command binding of a dialog: a click of widgetId runs the action.
struct ChildAction {
    CommonString action;  // an action of the same template, or gc_strBackActionId
    CommonString widgetId;
    short event = 0;
};

// A dialog's child placements and command bindings. Copying appends copies of the source's
// entries to this group's own lists, keeping what was there.
struct Group {
    Group();
    Group(const Group& other);
    Group& operator=(const Group& other);

    // The first placement of that name, or null.
    WidgetContext* GetWidgetContext(const CommonString& name);
    // The first binding of that widget id and event, or null.
    ChildAction* GetChildAction(const CommonString& widgetId, short event);

    CQuorvanObjPtrArray<WidgetContext*> children;  // growth step 1, file order
    CQuorvanObjPtrArray<ChildAction*> actions;     // growth step 1, file order
};

// TDialog::modal values.
enum : unsigned char { kModalDefault = 0, kModalPosition = 1, kModalChildren = 2 };

class TDialog : public TWidget {
public:
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TDialog(*this); }
    Group group;
    CommonString background;  // record name of the background widget; empty for none
    unsigned char modal = kModalDefault;
    unsigned char bgCenterTilesX = 1;
    unsigned char bgCenterTilesY = 1;
    unsigned char size_method = 1;
    bool hasColor = false;
    TRgb color;

protected:
    // The dialog keys; a root does not take "modal".
    int SetDialogProperty(CommonStringRS<50>& key, CommonStringRS<50>& value, bool takesModal);
};

class TRoot : public TDialog {
public:
    TRoot() { size_method = 0; }
    int SetProperty(CommonStringRS<50>& key, CommonStringRS<50>& value) override;
    TWidget* Clone() const override { return new TRoot(*this); }
    unsigned char alignBg = 0;   // 0 left, 1 centre, 2 right
    unsigned char alignBgV = 0;  // 0 top, 1 centre, 2 bottom
};

// The record as a dialog (kinds 0 and 4), or null.
TDialog* AsDialogRecord(TWidget* record);

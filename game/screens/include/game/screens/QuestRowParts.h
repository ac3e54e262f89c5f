#pragma once
// What the quest rows of the quests screen and of the round statistics share: the clipping of
// rectangles, the pictures of a quest's two farm objects (fitted into 60 x 60 and kept loaded
// by a reference of their sprite sets) and a picture drawn scaled about a centre with only its
// part inside a clip rectangle.
//
// Depends on: the game's sprite sets, the farm definitions, the mini-quest
// records, render (stretched drawing). Main thread only.

#include "core/Common.h"

class CGameBase;
class CSpriteSet;
class IDibBitmap;
struct FarmObjectDef;
struct MiniQuest;
struct YardDef;

// The overlap of a and b (x, y, width, height in any one unit): left and top the larger of the
// two, right and bottom the smaller. An axis without overlap gets position and size 0 and makes
// the result false; rectangles that only touch overlap with a size of 0.
bool IntersectRects(const TRect2D& a, const TRect2D& b, TRect2D& out);

// The picture of one quest object.
struct TQuestObjectPicture {
    CSpriteSet* set = nullptr;    // referenced while held; ReleaseQuestObjectPictures gives it back
    IDibBitmap* image = nullptr;  // the set's first sprite; null when it has none
    FIXED_FLOAT_16 scale = kFixed16One;
};

// The scale that fits a w x h picture into 60 x 60, min(60 / w, 60 / h) rounded to 16.16 (it may
// enlarge), times questScale / 256 when questScale is not 256. 1.0 for an empty size.
FIXED_FLOAT_16 QuestPictureScale(int width, int height, FIXED_FLOAT questScale);

// The sprite set that pictures an object: its icon set when it names one, else its sprite set,
// else the set named by its id.
const char* QuestPictureSetName(const FarmObjectDef& def);

// Finds the quest's two objects (buy1 into pictures[0], buy2 into pictures[1]) in the yard,
// category 3 down to 0 and each list from its last entry, and takes their pictures. False
// without a yard (nothing is taken then); an object the yard does not define keeps an empty
// picture.
bool LoadQuestObjectPictures(CGameBase* game, YardDef* yard, const MiniQuest& quest,
                             TQuestObjectPicture (&pictures)[2]);
// Gives back the sets' references and empties the pictures.
void ReleaseQuestObjectPictures(TQuestObjectPicture (&pictures)[2]);

// The picture scaled (16.16) and centred on (cx, cy) (pixels), only its part inside the clip
// (the matching part of the source), at alpha 255 + alphaOffset. Nothing for a null picture.
void DrawCentredClipped(CGameBase* game, IDibBitmap* dst, IDibBitmap* picture, int cx, int cy, FIXED_FLOAT_16 scale,
                        int alphaOffset, const TCoordRect2D& clip);

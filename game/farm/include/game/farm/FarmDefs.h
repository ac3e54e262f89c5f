// The farm's definitions, read once at start-up by the farm manager and kept for the whole run:
// the yards of Data\yards.txt and, per yard, the buyable objects of its object file. Screens keep
// plain pointers to them. Main thread only.
#pragma once

#include <cstdint>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"

// Every buyable object, a yard's category points and star thresholds, the yard screen's bars and
// the shop's tabs use one numbering.
enum EFarmCategory : int { kCategoryBirds = 0, kCategoryPlants = 1, kCategoryComfort = 2, kCategoryDecor = 3 };
inline constexpr int kFarmCategoryCount = 4;

// Flag bits of a definition (and of the objects made from it).
inline constexpr std::uint32_t kFarmFlagDefault = 0x01;
inline constexpr std::uint32_t kFarmFlagMovable = 0x02;
inline constexpr std::uint32_t kFarmFlagSelectable = 0x04;
inline constexpr std::uint32_t kFarmFlagGround = 0x08;
inline constexpr std::uint32_t kFarmFlagDragBottom = 0x10;
inline constexpr std::uint32_t kFarmFlagRotatable = 0x40;
inline constexpr std::uint32_t kFarmFlagCreature = 0x80;

// "no drag bottom offset" in FarmObjectDef::dragBottomOffset.
inline constexpr int kNoDragBottomOffset = -1000;

// The spot type a definition's `spot` text names: 1 "eat" to 8 "jumping"; 0 for an empty or
// unknown text.
[[nodiscard]] int SpotTypeFromName(const CommonString& name);

// One buyable object of a yard.
struct FarmObjectDef {
    CommonString id;      // the block line's value: factory key, bought-object and quest key
    CommonString name;    // display name
    CommonString desc;    // description
    CommonString nameId;  // localisation id of the display name
    CommonString descId;  // localisation id of the description
    int category = -1;    // 0..3, set by the block keyword
    int price = 0;        // coins
    CommonString sprite;
    CommonString iconSprite;
    CommonString image;  // below "farm\objects\" in the images directory; wins over sprite
    std::uint32_t flags = 0;
    int faceOffset[2] = {0, 0};          // pixels
    FIXED_FLOAT_16 scale = kFixed16One;  // drawing scale
    FIXED_FLOAT shadowOffset = 154;      // part of the image height
    float animSpeed = 0.0f;              // animation frames per 33 game frames; 0 = still
    int movesOnWind = 0;                 // 0 or 1
    int isBalloon = 0;                   // 0 or 1
    int isJumper = 0;                    // 0 or 1
    int shadowAngle = 0;                 // degrees
    int shadowHorzShift = 0;             // pixels
    FIXED_FLOAT_16 windSpeed = 655;      // sway phase change per frame
    int dragBottomOffset = kNoDragBottomOffset;
    CQuorvanArray<TVector2D_16> effectShape;  // image pixels, 16.16
    bool effectShapeIsPoints = false;
    bool effectShapeClosed = false;
    TVector2D effectCenter;
    CommonString effectName;  // "Effects\" + name + ".pfd"
    FIXED_FLOAT particlesPerFrame = kFixedOne;
    CommonString spot;                    // the spot type's name
    CQuorvanArray<TVector2D> spotPoints;  // pixels from the anchor, 24.8
    TVector2D spotLook;
    bool canRotate = true;
};

// One yard of the yard table.
struct YardDef {
    CommonString id;
    CommonString name;
    CommonString file;       // the object file, below "Data\"
    CommonString showAfter;  // yard whose completion shows this one; empty: always shown
    int showStars = 0;
    CommonString unlockAfter;  // yard id or "all_previous"; empty: always unlocked
    int unlockStars = 1;
    CommonString icon;
    std::uint8_t skyTop[3] = {0, 0, 0};
    std::uint8_t skyBottom[3] = {0, 0, 0};
    // Category points needed for stars 1, 2 and 3, per category.
    int starThresholds[3][kFarmCategoryCount] = {{100, 100, 100, 100}, {200, 200, 200, 200}, {500, 500, 500, 500}};
    // The object definitions per category, in file order; owned.
    CQuorvanObjPtrArray<FarmObjectDef*> objects[kFarmCategoryCount];
};

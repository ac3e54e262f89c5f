// CFarmManager: everything the farm knows before a yard opens, and the objects of the open yard.
// It reads the yard table (Data\yards.txt) and each yard's object file, answers the look-ups of
// the screens that show yards and objects, decides whether a yard is shown and unlocked, is the
// one factory of yard objects, and finds places for bought objects and spots for birds.
//
// The game object creates one during loading (constructor, then PostConstruct) and deletes it at
// exit; definitions live until then, so screens keep plain pointers to them. The object list is
// the open yard's, filled and emptied by the yard screen. Main thread only.
#pragma once

#include <span>

#include "core/Common.h"
#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/farm/FarmDefs.h"

class CGameBase;
class CFarmObject;
class IFarmYard;
class IFile;
struct TParseInput;

// The "unlock_after" value that asks for every earlier yard.
inline constexpr const char* kUnlockAfterAllPrevious = "all_previous";

// The class the factory makes for a definition id, with the argument of its Init ("bird7": a
// bird, 7) and its variant (the doghouses: 1 or 2; else 0).
struct TFarmObjectClass {
    int kind;  // EFarmObjectKind
    int initArgument;
    int variant;
};
// "bird1" to "bird20", "robot", "lawn_mower", "doghouse", "doghouse2", "photostand01" and
// "photostand02" name their classes (exact match); every other id is a decor object.
[[nodiscard]] TFarmObjectClass ClassifyFarmObjectId(const char* id);

// One entry of a profile's completed-yard list, as the visibility and unlock rules read it.
struct TCompletedYard {
    const char* id = nullptr;
    int stars = 0;
};

class CFarmManager {
public:
    explicit CFarmManager(CGameBase* game);
    CFarmManager(const CFarmManager&) = delete;
    CFarmManager& operator=(const CFarmManager&) = delete;
    // Deletes the open yard's objects, then every yard with its definitions.
    virtual ~CFarmManager();

    // Reads the yard table, then every yard's object file in index order; false on the first
    // file that cannot be opened or read.
    [[nodiscard]] bool PostConstruct();
    // The yard table at a path in the paks (read mode); false when it cannot be opened or ends
    // inside a yard's block (a file cut short: one line on stderr names it).
    [[nodiscard]] bool ReadYardsDefFromFile(CommonString path);
    // Whether every yard's object file gave between 1 and 1,000 objects; else false with the
    // member and what is wrong with it in `failure`. The game refuses to start without it.
    [[nodiscard]] bool CheckYardObjectCounts(CommonString& failure) const;
    // The yard table from an open file, or from bytes in memory (the decoding entry the file
    // reader, the tests and the fuzz target share). False only when memory runs out.
    [[nodiscard]] bool ReadYardsDefFromFile(IFile* file);
    [[nodiscard]] bool ReadYardsDefFromInput(TParseInput& input);
    // "Data\" + the yard's file, read into that yard; false for a null yard, a missing file or
    // one that ends inside an object's block (cut short: one line on stderr names it).
    [[nodiscard]] bool ReadObjectDefsFromFile(YardDef* yard);
    // An object file into the yard being read (m_pYardBeingRead), from a file or from memory.
    // False only when memory runs out.
    [[nodiscard]] bool ReadObjectDefsFromFile(IFile* file);
    [[nodiscard]] bool ReadObjectDefsFromInput(TParseInput& input);

    int GetNumYards() const { return m_Yards.count; }
    // Null outside 0..count-1.
    YardDef* GetYardDef(int index);
    // The last yard with that id, or null.
    YardDef* GetYardDef(CommonString id);
    // Index of the last yard with that id, or -1.
    int GetYardIndex(CommonString id);
    // The yard's lists in category order, each from its last entry; null when absent.
    FarmObjectDef* GetFarmObjectDef(YardDef* yard, CommonString id);
    // The same over every yard in index order, the first hit winning.
    FarmObjectDef* GetFarmObjectDef(CommonString id);
    // The open yard's last object made from that definition id, or null.
    CFarmObject* GetFarmObject(const char* id);

    // The yard of the current profile's current yard id; null without a profile or such a yard.
    YardDef* GetCurrentYardDef();

    // The rules for the current player's profile (none: only the yards without a condition):
    // whether the yard is listed (its show_after yard completed with enough stars);
    bool IsYardVisible(YardDef* yard);
    // whether the yard may be opened (its unlock_after rule, "all_previous" included);
    bool IsYardUnlocked(YardDef* yard);
    // whether some unlocked yard sells a non-default object priced 1..coins.
    bool CanPurchaseAnyFarmObject(int coins);

    // The same rules over a profile's completed yards (its list, in list order):
    // whether the yard is listed (its show_after yard completed with enough stars);
    bool IsYardVisibleFor(const YardDef* yard, std::span<const TCompletedYard> completed);
    // whether the yard may be opened (its unlock_after rule, "all_previous" included);
    bool IsYardUnlockedFor(const YardDef* yard, std::span<const TCompletedYard> completed);
    // whether some unlocked yard sells a non-default object priced 1..coins.
    bool CanPurchaseAnyFarmObjectFor(int coins, std::span<const TCompletedYard> completed);
    // 70 % of the price to the nearest coin; 0 for null.
    static int CalcDiscountedSellPrice(const FarmObjectDef* def);

    // A new object of the class the id names, initialised for the player's current yard; null
    // when its class is not available or its Init fails. The caller owns the result.
    [[nodiscard]] CFarmObject* CreateFarmObject(const char* id);
    // Up to 46 random world points until one is on screen (30 pixels from either side) and at
    // least about 56.6 pixels from every object of the open yard; false after the last try,
    // with the out-arguments holding the last point tried.
    bool FindGoodSpawnSpotForNewObject(FIXED_FLOAT& x, FIXED_FLOAT& y);
    // Whether the two objects' screen rectangles lie within threshold (24.8, scaled by a's
    // depth) of each other; their distance goes to `distance`.
    bool AreFarmObjectsClose(CFarmObject* a, CFarmObject* b, FIXED_FLOAT threshold, FIXED_FLOAT& distance);
    // A decor object a bird may visit: with a bird, the nearest within 100 pixels of it; without
    // one, a random object with a free spot. Null when none.
    CFarmObject* FindAvailableSpotToVisit(CFarmObject* bird);

    // The open yard's record body (FarmManager_Record.cpp): stars, category points and every
    // object that is not a default one. Reading appends to the object list and refuses damaged
    // or hostile bytes (false; the objects read before the damaged entry stay in the list, and the
    // yard screen then opens the yard fresh). The version is the record header's and is not used
    // by the body.
    [[nodiscard]] bool SerializeCurrentYard(IFile* file, bool save, int version);

    // The yard screen while it is open (it sets itself and clears itself when it closes), for
    // the objects' camera flash and selection images; null when no yard screen is open.
    void SetYard(IFarmYard* yard) { m_pYard = yard; }
    IFarmYard* GetYard() const { return m_pYard; }

    // ==== State (record order) ==================================================================
    CGameBase* m_pGame;
    CQuorvanObjPtrArray<YardDef*> m_Yards;        // file order; owned
    YardDef* m_pYardBeingRead = nullptr;          // only while a file is read
    FarmObjectDef* m_pDefBeingRead = nullptr;     // only while an object file is read
    CommonString m_OpenAtEnd;                     // the yard or object whose block the last read's file ended inside
    CQuorvanObjPtrArray<CFarmObject*> m_Objects;  // the open yard's objects; owned
    int m_CategoryPoints[kFarmCategoryCount] = {};
    int m_nStars = 0;
    IFarmYard* m_pYard = nullptr;  // not owned

private:
    // When the last read ended inside a block: one line on stderr naming the file and the block
    // (`what` is "yard" or "object"), and true. False when the file was whole.
    bool RefuseCutShort(const CommonString& path, const char* what);
    bool ReadYardLine(const CommonStringRS<50>& line);
    bool ReadObjectLine(const CommonStringRS<50>& line);
    template <class Source>
    bool ReadYardLines(Source& source);
    template <class Source>
    bool ReadObjectLines(Source& source);
};

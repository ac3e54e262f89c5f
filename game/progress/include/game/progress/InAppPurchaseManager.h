// The coin shop's catalogue and its purchases. The products are not built in: they are the
// entries of "Data\addcoins.txt" (texts and picture of the shop row, price text, store product
// ids, coins given). The manager reads them once at start-up, finds them by entry name or by
// payment-service SKU, starts purchases and restores through the platform's payment glue
// (shell/PaymentGlue.h), and applies a purchase's outcome to the current profile with its banner.
//
// Entry names with a meaning: "inapp_upgrade_points" (40 boost points; the boosts screen offers
// it), "inapp_free_coins" (never listed or bought), "inapp_facebook" (never listed). Every other
// entry is a coin pack.
//
// Depends on: core (parser, memory files), the shell's payment glue, the player data and the
// achievements manager's award queue; the outcome goes up through IProgressHost. Threads: main thread only.
#pragma once

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class CGameBase;
class IProgressHost;
class IFile;
struct TParseInput;

// One catalogue entry.
struct InAppPurchaseDef {
    CommonString entryName;  // the word after "purchase": the key the program finds it by
    CommonString name;       // localisation key of the title
    CommonString desc;       // localisation keys of the two description lines
    CommonString desc2;
    CommonString price;          // shown on the buy button as it stands
    CommonString sprite_id;      // sprite set whose first frame is the product picture
    CommonString buttonText_id;  // localisation key of a text shown instead of the price
    CommonString apple_id;       // other stores' product ids, kept
    CommonString android_id;
    CommonString blackberry_id;  // the SKU in this platform's payment service
    int coins = 0;               // coins a completed purchase adds
    bool hide_from_list = false;
};

// What applying an outcome did to the current profile.
enum class EPurchaseCredit { kNothing, kCoins, kBoostPoints };

inline constexpr int kBoostPointsPerPurchase = 40;

class CInAppPurchaseManager {
public:
    explicit CInAppPurchaseManager(CGameBase* game);
    CInAppPurchaseManager(const CInAppPurchaseManager&) = delete;
    CInAppPurchaseManager& operator=(const CInAppPurchaseManager&) = delete;
    // Destroy_OS_Specific, then every entry.
    ~CInAppPurchaseManager();

    // Reads the module directory's "Data\addcoins.txt", then the platform set-up: 1 only when
    // both succeed.
    int PostConstruct();
    // Opens the path (from the paks) and reads it: 0 when it cannot be opened.
    int ReadInAppPurchaseDefsFromFile(CommonString path);
    // The reader over an open file: 1 at its end, 0 when the catalogue cannot grow. An entry
    // left open at the end stays with what was read.
    int ReadInAppPurchaseDefsFromFile(IFile* file);
    // The same over a whole file in memory (shared by the file reader, tests and fuzz target).
    int ReadInAppPurchaseDefsFromInput(TParseInput& input);

    // Whether the catalogue read is one the game can sell from: read to the end of its last entry
    // (not cut short inside one), 1 to 64 entries, each with a
    // name and a SKU and 0 to 1,000,000 coins, the listed ones with a title and a price, and the
    // boosts screen's "inapp_upgrade_points" entry among them. Else false with the member and
    // what is wrong with it in `failure`.
    [[nodiscard]] bool CheckTable(CommonString& failure) const;
    // The entry of that name, searching from the last; null when none.
    InAppPurchaseDef* GetInAppPurchaseDef(const char* entryName) const;
    // The first entry, in file order, whose SKU equals sku exactly; null when none or empty.
    InAppPurchaseDef* FindAppDefBasedOnId(const char* sku) const;
    // The boost-points entry (the last "inapp_upgrade_points"), or null.
    InAppPurchaseDef* GetUpgradePointsDef() const { return m_pUpgradePointsDef; }
    int GetNumDefs() const { return m_Defs.count; }
    InAppPurchaseDef* GetDef(int i) const { return i >= 0 && i < m_Defs.count ? m_Defs.data[i] : nullptr; }
    // Whether granting the entry uses it up: coin packs and the boost points. A restore never
    // grants such an entry again.
    bool IsConsumable(const InAppPurchaseDef* def) const;

    // ---- Platform half ---------------------------------------------------------------------------
    // Declares the catalogue's SKUs to the payment service (shell/PaymentGlue.h): true.
    bool PostConstruct_OS_Specific();
    // Asks the payment service for the entry's SKU; its answer arrives later as an event. When the
    // request cannot be made, the purchase finishes on the next frame with result 2 (error)
    // instead of waiting for an answer that never comes; false then.
    bool TryToPurchase(InAppPurchaseDef* def);
    // The same for the list of existing purchases; a request that cannot be made finishes with
    // result 3 (restore error).
    bool TryToRestorePurchases();
    // Per frame: hands the purchases that could not be requested to the game object as finished.
    void RunProcess();
    void Destroy_OS_Specific();

    // ---- Outcomes --------------------------------------------------------------------------------
    // Applies a purchase result to the current profile and queues its banner: 0 credits the
    // entry (boost points: achievement 17 when not yet awarded, 40 points, banner 10; a coin pack:
    // its coins, banner 4 "<coins> Coins added!"); 1 and 2 queue banner 9 "In-App Purchase
    // Cancelled!" or "In-App Purchase Error!". Without a current profile nothing is credited.
    // Other results are the game object's. Says what was credited.
    EPurchaseCredit ApplyPurchaseResult(InAppPurchaseDef* def, int result);
    // Adds the 40 boost points of the boost-points entry to the current profile with banner 10;
    // false without that entry or without a current profile.
    bool CreditUpgradePoints();

    bool m_bPaymentEventsRequested = false;

private:
    template <class Source>
    int ReadDefLines(Source& source);
    // One logical line; 0 when the catalogue cannot grow.
    int ReadDefLine(const CommonStringRS<50>& line);
    void ReadDefProperty(const CommonStringRS<50>& key, const CommonStringRS<50>& value);
    void QueueBanner(int type, const CommonString& title);

    // An exchange that finishes without an answer from the service.
    struct TPendingFinish {
        InAppPurchaseDef* def;
        int result;
    };

    CGameBase* m_pGame;
    IProgressHost* m_pHost;  // the game object behind m_pGame, or null
    CQuorvanObjPtrArray<InAppPurchaseDef*> m_Defs;
    InAppPurchaseDef* m_pUpgradePointsDef = nullptr;
    InAppPurchaseDef* m_pReadingDef = nullptr;
    CommonString m_OpenAtEnd;  // the entry whose record the last read ended inside
    CQuorvanArray<TPendingFinish> m_PendingFinishes;
};

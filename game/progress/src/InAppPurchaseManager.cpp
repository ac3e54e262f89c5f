// The catalogue: "Data\addcoins.txt" and its look-ups.
#include "game/progress/InAppPurchaseManager.h"

#include <new>

#include "app/GameBase.h"
#include "core/Parser.h"
#include "game/progress/DataFile.h"
#include "game/progress/ProgressHost.h"

namespace {

constexpr const char* kUpgradePointsEntry = "inapp_upgrade_points";

constexpr const char* kMember = "Data\\addcoins.txt";
// Generous bounds from the content's own needs: five products of up to 5,000 coins.
constexpr int kMaxDefs = 64;
constexpr int kMaxCoins = 1000000;

CommonString Text(const CommonStringRS<50>& value) { return CommonString(Parser::ExtractName(value).GetData()); }

}  // namespace

CInAppPurchaseManager::CInAppPurchaseManager(CGameBase* game) : m_pGame(game), m_pHost(ProgressHostOf(game)) {}

CInAppPurchaseManager::~CInAppPurchaseManager() { Destroy_OS_Specific(); }

int CInAppPurchaseManager::PostConstruct() {
    if (m_pGame == nullptr) return 0;
    if (!ReadInAppPurchaseDefsFromFile(m_pGame->GetModuleDirectory() + CommonString("Data\\addcoins.txt"))) return 0;
    return PostConstruct_OS_Specific() ? 1 : 0;
}

int CInAppPurchaseManager::ReadInAppPurchaseDefsFromFile(CommonString path) {
    const auto read = [this](IFile* file) { return ReadInAppPurchaseDefsFromFile(file) != 0; };
    return ReadPakDataFile(m_pGame, path, read) ? 1 : 0;
}

int CInAppPurchaseManager::ReadInAppPurchaseDefsFromFile(IFile* file) {
    return file != nullptr ? ReadDefLines(file) : 0;
}

int CInAppPurchaseManager::ReadInAppPurchaseDefsFromInput(TParseInput& input) { return ReadDefLines(input); }

template <class Source>
int CInAppPurchaseManager::ReadDefLines(Source& source) {
    m_pReadingDef = nullptr;
    CommonStringRS<50> line;
    int ok = 1;
    while (ok && Parser::GetNextLine(source, line)) ok = ReadDefLine(line);
    // An entry still open at the end: the file was cut short (CheckTable tells it).
    m_OpenAtEnd = ok && m_pReadingDef != nullptr
                      ? (m_pReadingDef->entryName.Length() > 0 ? m_pReadingDef->entryName : CommonString("?"))
                      : CommonString();
    m_pReadingDef = nullptr;
    return ok;
}

int CInAppPurchaseManager::ReadDefLine(const CommonStringRS<50>& line) {
    if (line.IsEqual("end")) {
        m_pReadingDef = nullptr;
        return 1;
    }
    CommonStringRS<50> key, value;
    Parser::ReadPropertyFromString(line, key, value);
    if (key.Length() == 0) return 1;
    if (m_pReadingDef != nullptr) {
        ReadDefProperty(key, value);
        return 1;
    }
    if (!key.IsEqual("purchase")) return 1;
    auto* def = new (std::nothrow) InAppPurchaseDef();
    if (def == nullptr) return 0;
    def->entryName = Text(value);
    if (!m_Defs.Add(def)) {
        delete def;
        return 0;
    }
    if (def->entryName.IsEqual(kUpgradePointsEntry)) m_pUpgradePointsDef = def;
    m_pReadingDef = def;
    return 1;
}

void CInAppPurchaseManager::ReadDefProperty(const CommonStringRS<50>& key, const CommonStringRS<50>& value) {
    InAppPurchaseDef& def = *m_pReadingDef;
    struct TTextKey {
        const char* key;
        CommonString InAppPurchaseDef::*field;
    };
    static constexpr TTextKey kTextKeys[] = {
        {"name", &InAppPurchaseDef::name},
        {"desc", &InAppPurchaseDef::desc},
        {"desc2", &InAppPurchaseDef::desc2},
        {"price", &InAppPurchaseDef::price},
        {"sprite_id", &InAppPurchaseDef::sprite_id},
        {"buttonText_id", &InAppPurchaseDef::buttonText_id},
        {"apple_id", &InAppPurchaseDef::apple_id},
        {"android_id", &InAppPurchaseDef::android_id},
        {"blackberry_id", &InAppPurchaseDef::blackberry_id},
    };
    for (const TTextKey& text : kTextKeys) {
        if (key.IsEqual(text.key)) {
            def.*text.field = Text(value);
            return;
        }
    }
    if (key.IsEqual("coins")) {
        def.coins = DataFileInt(value.GetData());
    } else if (key.IsEqual("hide_from_list")) {
        // Once set it stays set.
        if (Parser::AToI(value.GetData()) > 0) def.hide_from_list = true;
    }
}

bool CInAppPurchaseManager::CheckTable(CommonString& failure) const {
    if (m_OpenAtEnd.Length() > 0)
        return RefuseDataFile(failure, kMember,
                              "the file ends inside the record of the purchase %s (no \"end\"): it is cut short",
                              m_OpenAtEnd.GetDataConst());
    if (m_Defs.count < 1)
        return RefuseDataFile(failure, kMember, "no purchase record (\"purchase = name\" to \"end\")");
    if (m_Defs.count > kMaxDefs)
        return RefuseDataFile(failure, kMember, "%d purchase records, more than the %d a table may have", m_Defs.count,
                              kMaxDefs);
    for (int i = 0; i < m_Defs.count; ++i) {
        const InAppPurchaseDef& def = *m_Defs.data[i];
        if (def.entryName.Length() < 1)
            return RefuseDataFile(failure, kMember, "purchase record %d has no name", i + 1);
        const char* name = def.entryName.GetDataConst();
        if (def.blackberry_id.Length() < 1)
            return RefuseDataFile(failure, kMember, "the purchase %s has no product id (blackberry_id)", name);
        if (def.coins < 0 || def.coins > kMaxCoins)
            return RefuseDataFile(failure, kMember, "the purchase %s gives %d coins, outside 0 to %d", name, def.coins,
                                  kMaxCoins);
        if (def.hide_from_list) continue;
        if (def.name.Length() < 1 || def.price.Length() < 1)
            return RefuseDataFile(failure, kMember, "the listed purchase %s has no title (name) or no price", name);
    }
    if (m_pUpgradePointsDef == nullptr)
        return RefuseDataFile(failure, kMember, "no purchase %s, which the boosts screen sells", kUpgradePointsEntry);
    return true;
}

InAppPurchaseDef* CInAppPurchaseManager::GetInAppPurchaseDef(const char* entryName) const {
    if (entryName == nullptr) return nullptr;
    for (int i = m_Defs.count - 1; i >= 0; --i)
        if (m_Defs.data[i]->entryName == entryName) return m_Defs.data[i];
    return nullptr;
}

InAppPurchaseDef* CInAppPurchaseManager::FindAppDefBasedOnId(const char* sku) const {
    if (sku == nullptr || sku[0] == '\0') return nullptr;
    for (int i = 0; i < m_Defs.count; ++i)
        if (m_Defs.data[i]->blackberry_id.IsEqual(sku)) return m_Defs.data[i];
    return nullptr;
}

bool CInAppPurchaseManager::IsConsumable(const InAppPurchaseDef* def) const {
    return def != nullptr && (def->coins > 0 || def == m_pUpgradePointsDef);
}

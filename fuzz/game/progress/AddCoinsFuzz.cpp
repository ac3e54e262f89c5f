// "Data\addcoins.txt" from outside bytes, through the reader the game uses; every entry it keeps
// must be found again by its name and by its SKU, where it has them.
#include <cstddef>
#include <cstdint>

#include "core/Parser.h"
#include "game/progress/InAppPurchaseManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CInAppPurchaseManager manager(nullptr);
    TParseInput input = ParseInputOf({reinterpret_cast<const char*>(data), size}, "addcoins.txt");
    if (!manager.ReadInAppPurchaseDefsFromInput(input)) __builtin_trap();  // only memory can fail it
    for (int i = 0; i < manager.GetNumDefs(); ++i) {
        const InAppPurchaseDef* def = manager.GetDef(i);
        const char* name = def->entryName.GetDataConst();
        if (name != nullptr && manager.GetInAppPurchaseDef(name) == nullptr) __builtin_trap();
        const char* sku = def->blackberry_id.GetDataConst();
        if (sku != nullptr && manager.FindAppDefBasedOnId(sku) == nullptr) __builtin_trap();
    }
    return 0;
}

// Fuzz target of the localisation table reader: the language header rows and the texts of
// every language column, then look-ups of every key read.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/LocManager2.h"
#include "core/MemFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMemoryFile csv;
    void* block = std::malloc(size ? size : 1);
    if (size) std::memcpy(block, data, size);
    (void)csv.Attach(block, static_cast<int>(size));

    CLocManager2 loc(nullptr);
    if (!loc.ReadLanguageIDs(&csv)) return 0;
    for (int language = 0; language < loc.GetLanguageCount() && language < 4; ++language) {
        const CommonString id = loc.GetLangID(language);
        if (!loc.ReadCSVFile(&csv, id.GetDataConst() ? id.GetDataConst() : "")) std::abort();
    }
    (void)loc.LoadString("ID_Loading");
    (void)loc.LoadString("ID_Loading", -1);
    return 0;
}

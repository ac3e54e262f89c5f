// "global.opt" from outside bytes, through the reader the game loads it with. Whatever a read
// accepts must keep the player data's limits and write back into a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/MemFile.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/HighScoreTable.h"

namespace {

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

std::vector<std::uint8_t> Written(CApplicationData& data) {
    CMemoryFile out;
    FUZZ_CHECK(out.Create(1u << 22));
    FUZZ_CHECK(data.Serialize(&out, true) == 1);
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    return std::vector<std::uint8_t>(bytes, bytes + out.GetCurPos());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CApplicationData appData;
    appData.SetDefaultApplicationData();
    if (!appData.ReadAppDataFromBytes({data, size}, "global.opt")) {
        // What a failed read kept is whole: at most six profiles, each of them writable.
        FUZZ_CHECK(appData.m_Profiles.count <= kMaxUserProfiles);
        return 0;
    }
    FUZZ_CHECK(appData.m_Profiles.count <= kMaxUserProfiles);
    FUZZ_CHECK(appData.m_Profiles.count == 0
                   ? appData.m_nCurrentProfile == 0
                   : appData.m_nCurrentProfile >= 0 && appData.m_nCurrentProfile < appData.m_Profiles.count);
    FUZZ_CHECK(!appData.m_bSilence);
    for (int i = 0; i < appData.m_HighScoreTables.count; ++i)
        FUZZ_CHECK(appData.m_HighScoreTables.data[i]->GetCount() == kHighScoreEntries);

    const std::vector<std::uint8_t> once = Written(appData);
    CApplicationData again;
    FUZZ_CHECK(again.ReadAppDataFromBytes(once, "written") == 1);
    FUZZ_CHECK(Written(again) == once);
    return 0;
}

// The yard record's body from outside bytes, read by CFarmManager::SerializeCurrentYard into a
// small test yard whose every object class can be made (testsupport/FarmTestYard.h, its pak
// written once to a scratch file). What reads must stay inside the yard and write back to bytes
// that read again to the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/MemFile.h"
#include "game/farm/FarmManager.h"
#include "game/farm/FarmObject.h"
#include "testsupport/FarmTestYard.h"
#include "testsupport/MemoryFiles.h"
#include "testsupport/TestTheGame.h"

namespace {

std::string ScratchPak() {
    const std::filesystem::path dir = std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                          : std::filesystem::temp_directory_path();
    return (dir / ("cobble_yard_record_fuzz_" + std::to_string(::getpid()) + ".pak")).string();
}

CTestTheGame* Game() {
    static CTestTheGame* game = [] {
        auto* g = new CTestTheGame;
        const std::string pak = ScratchPak();
        const bool mounted = farmyard::MountFarmTestYard(*g, pak, 320, 480);
        std::filesystem::remove(pak);
        if (!mounted) {
            std::fprintf(stderr, "yard_record_fuzz: the test yard does not mount\n");
            __builtin_trap();
        }
        g->SeedRandoms(1);
        return g;
    }();
    return game;
}

std::vector<std::uint8_t> Write(CFarmManager* farm) {
    CMemoryFile file;
    if (file.Create(1 << 20) != 1 || !farm->SerializeCurrentYard(&file, true, 1)) __builtin_trap();
    const auto* data = static_cast<const std::uint8_t*>(file.GetBuffer());
    return std::vector<std::uint8_t>(data, data + file.GetCurPos());
}

// As the yard screen opens a yard: nothing in it, no points, no stars, then the record.
bool Read(CFarmManager* farm, const std::vector<std::uint8_t>& bytes) {
    farm->m_Objects.RemoveAll();
    for (int& points : farm->m_CategoryPoints) points = 0;
    farm->m_nStars = 0;
    std::unique_ptr<CMemoryFile> file(MemoryFileOver(bytes));
    return farm->SerializeCurrentYard(file.get(), false, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 16)) return 0;
    CFarmManager* farm = Game()->m_pFarmManager;
    const std::vector<std::uint8_t> input(data, data + size);
    const bool read = Read(farm, input);
    // Whatever was read, every object stands inside the yard's depth.
    for (int i = 0; i < farm->m_Objects.count; ++i) {
        const FIXED_FLOAT y = farm->m_Objects[i]->m_Position.y;
        if (y < 0 || y > kYardDepth) __builtin_trap();
    }
    if (read) {
        if (farm->m_nStars < 0 || farm->m_nStars > 3) __builtin_trap();
        const std::vector<std::uint8_t> first = Write(farm);
        if (!Read(farm, first) || Write(farm) != first) __builtin_trap();
    }
    farm->m_Objects.RemoveAll();
    return 0;
}

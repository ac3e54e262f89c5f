// A helper of `make run`'s headless stroll (scripts/run.sh), not part of the game: it gives the
// current player of the save folder named on its command line the first rank-up a round would
// give her (the experience points of the second rank, the boost point earned with it and the
// mark that the play screen unlocks the boosts on her next visit), so that the stroll, which
// plays no round, can go on to the boosts. The player data is written to a temporary file and
// renamed over global.opt. Status 0 when it was written, 1 with the reason on stderr.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/MemFile.h"
#include "game/app/TheGame.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <save folder>\n", argv[0]);
        return 1;
    }
    const fs::path file = fs::path(argv[1]) / "global.opt";
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CApplicationData data;
    if (bytes.empty() || data.ReadAppDataFromBytes(bytes, "global.opt") != 1) {
        std::fprintf(stderr, "%s: %s cannot be read\n", argv[0], file.c_str());
        return 1;
    }
    TUserProfile* player = data.GetCurrentProfile();
    if (player == nullptr) {
        std::fprintf(stderr, "%s: %s holds no current player\n", argv[0], file.c_str());
        return 1;
    }
    if (CTheGame::GetXP_Points2Rank(player->m_uExperiencePoints) == 1) {
        player->m_uExperiencePoints = static_cast<unsigned int>(CTheGame::GetXP_Rank2Points(2));
        player->m_nBoostPoints += 1;
        player->m_nBoostPointsEarned += 1;
        player->m_bFirstRankUpSeen = true;
    }
    CMemoryFile out;
    if (out.Create(1 << 16) != 1 || data.Serialize(&out, true) != 1) {
        std::fprintf(stderr, "%s: the player data cannot be written\n", argv[0]);
        return 1;
    }
    const fs::path temporary = fs::path(argv[1]) / "global.opt.tmp";
    {
        std::ofstream write(temporary, std::ios::binary | std::ios::trunc);
        write.write(static_cast<const char*>(out.GetBuffer()), out.GetCurPos());
        if (!write.flush()) {
            std::fprintf(stderr, "%s: %s cannot be written\n", argv[0], temporary.c_str());
            return 1;
        }
    }
    std::error_code error;
    fs::rename(temporary, file, error);
    if (error) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], file.c_str(), error.message().c_str());
        return 1;
    }
    return 0;
}

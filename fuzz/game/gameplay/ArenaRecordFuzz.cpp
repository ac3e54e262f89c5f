// A round's whole body from outside bytes, read through the round screen as a resume reads it.
// Whatever a read accepts must hold values a round can reach (boost levels within their table) and
// run the round's rules for a few frames without fault (no division by a level target it read, no
// pause that never ends) and write back into bytes that read the same.
#include <cstddef>
#include <cstdint>

#include "RecordFuzz.h"
#include "game/gameplay/GameplaySurvival.h"
#include "game/progress/UpgradeManager.h"
#include "game/widgets/JumpString.h"

using gameplayfuzz::Bytes;

namespace {

// A screen as the game object makes one to resume into, without a game behind it.
struct TRound {
    TRound() {
        screen.m_PlayRect = TRect2D{12 * 256, 66 * 256, 296 * 256, 403 * 256};
        screen.m_nFullFillWidth = 166;
        screen.m_pJumpStrings = new CJumpStringManager(nullptr, &screen);
    }
    CXGameplaySurvival screen{nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    TRound round;
    CXGameplaySurvival& s = round.screen;
    if (!gameplayfuzz::ReadOver(Bytes(data, data + size), [&](IFile* f) { return s.LoadResume(f, 1) ? 1 : 0; }))
        return 0;
    FUZZ_CHECK(s.m_nLevelTarget >= CXGameplaySurvival::kFirstLevelTarget);
    FUZZ_CHECK(s.m_nLevelTarget <= CXGameplaySurvival::kTopLevelTarget);
    FUZZ_CHECK(s.m_nCleared >= 0 && s.m_nCleared <= s.m_nLevelTarget);
    FUZZ_CHECK(s.m_nMarblesOnPath >= 0 && s.m_nMarblesOnPath <= s.m_Marbles.count);
    for (int i = 0; i < kUpgradeTypeCount; ++i) FUZZ_CHECK(s.m_BoostLevels[i] <= CUpgradeManager::TableTopLevel(i));
    bool dragged = s.m_pDraggedMarble == nullptr;
    for (int i = 0; i < s.m_Marbles.count; ++i) dragged = dragged || s.m_Marbles.data[i] == s.m_pDraggedMarble;
    FUZZ_CHECK(dragged);
    const Bytes once = gameplayfuzz::Written([&](IFile* f) { return s.SaveResume(f, 1) ? 1 : 0; });
    TRound again;
    FUZZ_CHECK(gameplayfuzz::ReadOver(once, [&](IFile* f) { return again.screen.LoadResume(f, 1) ? 1 : 0; }) == 1);
    FUZZ_CHECK(gameplayfuzz::Written([&](IFile* f) { return again.screen.SaveResume(f, 1) ? 1 : 0; }) == once);
    // A few frames of the round's own rules over what was read.
    for (int frame = 0; frame < 3; ++frame) {
        (void)s.Difficulty_GetBasicEnemySpeedOnCurrentLevel();
        (void)s.Difficulty_GetRollingSpeedOnCurrentLevel();
        s.RunProcessExplosions();
        s.RunProcessDeleteObjects();
        s.RunProcessLightRays();
        s.RunProcessBombs();
        if (s.IsInPlay()) s.RunProcessMovementAndCollisions();
        s.ProcessScore();
        s.ProcessVisibleLevelProgress();
    }
    return 0;
}

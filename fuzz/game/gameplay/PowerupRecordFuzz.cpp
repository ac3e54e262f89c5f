// One power-up's record from outside bytes, its kind chosen by the first byte. Whatever a read
// accepts must start a fresh life, keep a colour bomb's colours among the four, run its frames,
// hop and effects without fault, and write back into bytes that read the same.
#include <cstddef>
#include <cstdint>

#include "RecordFuzz.h"
#include "game/gameplay/MarblePowerup.h"
#include "testsupport/FakePlayField.h"

using gameplayfuzz::Bytes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const int kind = data[0] % kPowerUpKindCount;
    CFakePlayField field;
    field.boostLevels[kUpgradeRay] = data[0] / kPowerUpKindCount % 6;
    CMarblePowerup p(nullptr, &field);
    p.SetPowerUpType(kind);
    if (!gameplayfuzz::ReadOver(Bytes(data + 1, data + size), [&](IFile* f) { return p.Serialize(f, false); }))
        return 0;
    FUZZ_CHECK(p.m_nLife == CMarblePowerup::kLifeFrames);
    if (kind == kPowerUpColorBomb) FUZZ_CHECK(p.GetColorMask() > 0 && p.GetColorMask() < 16);
    const Bytes once = gameplayfuzz::Written([&](IFile* f) { return p.Serialize(f, true); });
    for (int frame = 0; frame < 40 && !p.m_bRemoved; ++frame) {
        p.RunProcess();
        p.RunMovement();
        (void)p.GetRadius();
    }
    p.Offset(65536, -65536);
    p.Activate();
    FUZZ_CHECK(p.m_bRemoved);
    CMarblePowerup again(nullptr, &field);
    again.SetPowerUpType(kind);
    FUZZ_CHECK(gameplayfuzz::ReadOver(once, [&](IFile* f) { return again.Serialize(f, false); }) == 1);
    FUZZ_CHECK(gameplayfuzz::Written([&](IFile* f) { return again.Serialize(f, true); }) == once);
    return 0;
}

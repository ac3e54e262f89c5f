// A round's floating texts from outside bytes. Whatever a read accepts must run every frame
// without fault (no division by a range it read) and write back into bytes that read the same.
#include <cstddef>
#include <cstdint>

#include "RecordFuzz.h"
#include "game/widgets/JumpString.h"

using gameplayfuzz::Bytes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CJumpStringManager texts(nullptr, nullptr);
    if (!gameplayfuzz::ReadOver(Bytes(data, data + size), [&](IFile* f) { return texts.Serialize(f, false); }))
        return 0;
    const Bytes once = gameplayfuzz::Written([&](IFile* f) { return texts.Serialize(f, true); });
    CJumpStringManager again(nullptr, nullptr);
    FUZZ_CHECK(gameplayfuzz::ReadOver(once, [&](IFile* f) { return again.Serialize(f, false); }) == 1);
    FUZZ_CHECK(gameplayfuzz::Written([&](IFile* f) { return again.Serialize(f, true); }) == once);
    for (int frame = 0; frame < 120 && texts.m_Texts.count > 0; ++frame) {
        texts.RunProcess();
        for (int i = 0; i < texts.m_Texts.count; ++i) (void)texts.m_Texts.data[i]->IsShown();
    }
    return 0;
}

// A round's marble list from outside bytes: each marble's type and record, plain marbles and
// power-ups. Whatever a read accepts must run, move and draw-prepare without fault and write back
// into bytes that read the same.
#include <cstddef>
#include <cstdint>

#include "RecordFuzz.h"
#include "game/gameplay/Marble.h"
#include "testsupport/FakePlayField.h"

using gameplayfuzz::Bytes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    CFakePlayField field;
    CQuorvanObjPtrArray<CMarble*>& marbles = field.marbles;
    const auto read = [&](IFile* f) { return CMarble::SerializeList(f, false, marbles, nullptr, &field); };
    if (!gameplayfuzz::ReadOver(Bytes(data, data + size), read)) return 0;
    const Bytes once =
        gameplayfuzz::Written([&](IFile* f) { return CMarble::SerializeList(f, true, marbles, nullptr, &field); });
    // A few frames of a resumed round's own work on each marble.
    for (int frame = 0; frame < 4; ++frame) {
        for (int i = 0; i < marbles.count; ++i) {
            CMarble* m = marbles.data[i];
            m->RunProcess();
            m->RunMovement();
            (void)m->GetAnimationFrame();
            (void)m->GetDrawAngle();
            m->Offset(-3 * 65536, 65536 / 2);
        }
    }
    CQuorvanObjPtrArray<CMarble*> again;
    FUZZ_CHECK(gameplayfuzz::ReadOver(
                   once, [&](IFile* f) { return CMarble::SerializeList(f, false, again, nullptr, &field); }) == 1);
    FUZZ_CHECK(gameplayfuzz::Written(
                   [&](IFile* f) { return CMarble::SerializeList(f, true, again, nullptr, &field); }) == once);
    return 0;
}

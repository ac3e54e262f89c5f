// A drawn path's record from outside bytes. Whatever a read accepts must answer every distance,
// move, and write back into bytes that read the same.
#include <cstddef>
#include <cstdint>

#include "RecordFuzz.h"
#include "game/gameplay/BezierCurve.h"

using gameplayfuzz::Bytes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    BezierCurve curve;
    if (!gameplayfuzz::ReadOver(Bytes(data, data + size), [&](IFile* f) { return curve.Serialize(f, false); }))
        return 0;
    FUZZ_CHECK(curve.GetNumSegments() == curve.m_Elements.count);
    const FIXED_FLOAT length = curve.Length();
    for (FIXED_FLOAT d : {FIXED_FLOAT{0}, FIXED_FLOAT{1}, length / 3, length / 2, length - 1, length}) {
        int segment = -2;
        (void)curve.GetPos(d, &segment);
        FUZZ_CHECK(segment >= -1 && segment < curve.GetNumSegments());
    }
    const Bytes once = gameplayfuzz::Written([&](IFile* f) { return curve.Serialize(f, true); });
    curve.Offset(INT32_MAX, -7);
    (void)curve.GetPos(length / 2, nullptr);
    BezierCurve again;
    FUZZ_CHECK(gameplayfuzz::ReadOver(once, [&](IFile* f) { return again.Serialize(f, false); }) == 1);
    FUZZ_CHECK(gameplayfuzz::Written([&](IFile* f) { return again.Serialize(f, true); }) == once);
    return 0;
}

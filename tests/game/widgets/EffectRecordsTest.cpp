// The saved effect records of a round: each moves its fields in the record's order, and a read
// explosion starts finished and white.
#include <gtest/gtest.h>

#include "../gameplay/RecordBytes.h"
#include "core/Serializer.h"
#include "game/widgets/EffectRecords.h"

namespace {

using gameplaytest::Bytes;
using gameplaytest::ReadFrom;
using gameplaytest::Vec;
using gameplaytest::WrittenBy;

template <class Record>
int Move(IFile* file, bool writing, Record& record) {
    SerializeHelper2 h{file, true, writing, 0};
    record.Serialize(h);
    return h.Succeeded();
}

TEST(EffectRecords, EachReadsFromItsLayoutAndWritesBackTheSameBytes) {
    CByteBuilder explosion;
    Vec(explosion, 120 * 256 + 3, -7 * 256).Int(28 * 256).Int(255).Int(0).Int(255).Int(300 * 256);
    CExplosion e = CExplosion::ForReading();
    ASSERT_EQ(ReadFrom(explosion.bytes, [&](IFile* f) { return Move(f, false, e); }), 1);
    EXPECT_EQ(e.position.x, 120 * 256 + 3);
    EXPECT_EQ(e.position.y, -7 * 256);
    EXPECT_EQ(e.clock, 28 * 256);
    EXPECT_EQ(e.red, 255);
    EXPECT_EQ(e.green, 0);
    EXPECT_EQ(e.blue, 255);
    EXPECT_EQ(e.angle, 300 * 256);
    EXPECT_EQ(WrittenBy([&](IFile* f) { return Move(f, true, e); }), explosion.bytes);

    CByteBuilder ray;
    Vec(ray, 150 * 65536, 200 * 65536);
    Vec(ray, -46341, 46341);
    CRay r;
    ASSERT_EQ(ReadFrom(ray.bytes, [&](IFile* f) { return Move(f, false, r); }), 1);
    EXPECT_EQ(r.position.y, 200 * 65536);
    EXPECT_EQ(r.step.x, -46341);
    EXPECT_EQ(r.step.y, 46341);
    EXPECT_EQ(WrittenBy([&](IFile* f) { return Move(f, true, r); }), ray.bytes);

    CByteBuilder bomb;
    Vec(bomb, 90 * 65536 + 5, 300 * 65536).Int(7).Int(15).Int(192 * 256);
    CBomb b;
    ASSERT_EQ(ReadFrom(bomb.bytes, [&](IFile* f) { return Move(f, false, b); }), 1);
    EXPECT_EQ(b.centre.x, 90 * 65536 + 5);
    EXPECT_EQ(b.counter, 7);
    EXPECT_EQ(b.duration, 15);
    EXPECT_EQ(b.radius, 192 * 256);
    EXPECT_EQ(WrittenBy([&](IFile* f) { return Move(f, true, b); }), bomb.bytes);

    CBomb cut;
    EXPECT_EQ(ReadFrom(Bytes(bomb.bytes.begin(), bomb.bytes.end() - 1), [&](IFile* f) { return Move(f, false, cut); }),
              0);
}

TEST(EffectRecords, AnExplosionReadFromASaveStartsFinishedAndWhite) {
    const CExplosion e = CExplosion::ForReading();
    EXPECT_EQ(e.clock, -256);
    EXPECT_EQ(e.red + e.green + e.blue, 3 * 255);
    EXPECT_EQ(e.position.x, 0);
    EXPECT_EQ(e.angle, 0);
}

}  // namespace

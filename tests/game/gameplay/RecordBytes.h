#pragma once
// Moving the gameplay objects' records through memory files: the bytes a writer produces, and a
// reader run over bytes a test built by hand, with how many of them it took.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/MemFile.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/MemoryFiles.h"

namespace gameplaytest {

using Bytes = std::vector<std::uint8_t>;

// What write(file) put into a fresh memory file; the writer must report success.
template <class Write>
Bytes WrittenBy(Write write) {
    CMemoryFile out;
    EXPECT_EQ(out.Create(1u << 20), 1);
    EXPECT_EQ(write(static_cast<IFile*>(&out)), 1);
    const auto* data = static_cast<const std::uint8_t*>(out.GetBuffer());
    return Bytes(data, data + out.GetCurPos());
}

// The result of read(file) over a memory file holding the bytes; *consumed, when given, receives
// the bytes the reader took.
template <class Read>
int ReadFrom(const Bytes& bytes, Read read, int* consumed = nullptr) {
    std::unique_ptr<CMemoryFile> in(MemoryFileOver(bytes));
    const int result = read(static_cast<IFile*>(in.get()));
    if (consumed != nullptr) *consumed = in->GetCurPos();
    return result;
}

// x and y of a point as two stored ints.
inline CByteBuilder& Vec(CByteBuilder& b, std::int64_t x, std::int64_t y) { return b.Int(x).Int(y); }
// A stored float: its four raw bytes.
inline CByteBuilder& Float(CByteBuilder& b, float value) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return b.Int(bits);
}

// The fields of a stored marble record, in the record's order, with a new marble's values.
struct TMarbleFields {
    std::uint32_t id = 0;
    std::int64_t x = 0, y = 0, prevX = 0, prevY = 0;
    std::int64_t glowAngle = 0;
    std::int64_t dirX = 0, dirY = 0;
    std::vector<std::array<std::int64_t, 8>> path;  // per segment P0 .. P3, x then y
    std::int64_t pathDistance = 0;
    bool entered = false;
    std::int64_t collected = 0;
    bool removed = false;
    std::int64_t danger = 0, speed = 0;
    float roll = 0, rollRate = 2.0f;
    std::int64_t countdown = 1024, scale = 58982;
    bool onPath = false, effective = true;
    std::int64_t angleOffset = 0, entry = 0, pathFrames = 0, scoreFactor = 1;
};

// The marble record written out by hand from its layout: identity (raw 4 bytes), position,
// previous position, glow angle, direction, the path (count, points), then the rest in order.
inline CByteBuilder& AppendMarble(CByteBuilder& b, const TMarbleFields& m) {
    b.Int(m.id);
    Vec(b, m.x, m.y);
    Vec(b, m.prevX, m.prevY);
    b.Int(m.glowAngle);
    Vec(b, m.dirX, m.dirY);
    b.Int(static_cast<std::int64_t>(m.path.size()));
    for (const auto& segment : m.path)
        for (std::int64_t v : segment) b.Int(v);
    b.Int(m.pathDistance).Bool(m.entered).Int(m.collected).Bool(m.removed).Int(m.danger).Int(m.speed);
    Float(b, m.roll);
    Float(b, m.rollRate);
    b.Int(m.countdown).Int(m.scale).Bool(m.onPath).Bool(m.effective);
    return b.Int(m.angleOffset).Int(m.entry).Int(m.pathFrames).Int(m.scoreFactor);
}

}  // namespace gameplaytest

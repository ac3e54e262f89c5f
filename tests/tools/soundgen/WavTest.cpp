// The effect files' bytes against a header written out by hand.
#include <gtest/gtest.h>

#include "soundgen/Wav.h"

namespace {

using namespace soundgen;

TEST(EncodeWav, WritesTheHeaderTheGameReadsThenLittleEndianSamples) {
    const std::vector<std::uint8_t> expected = {
        'R',  'I',  'F', 'F', 42,  0,   0,   0,                            // 36 + 6 data bytes
        'W',  'A',  'V', 'E', 'f', 'm', 't', ' ', 16,   0,    0, 0, 1, 0,  // PCM
        1,    0,                                                           // mono
        0x22, 0x56, 0,   0,                                                // 22050 Hz
        0x44, 0xAC, 0,   0,                                                // 44100 bytes a second
        2,    0,    16,  0,                                                // block align, bits
        'd',  'a',  't', 'a', 6,   0,   0,   0,   0x00, 0x00,              // 0
        0xFF, 0x7F,                                                        // +1 -> 32767
        0x01, 0x80,                                                        // -1 -> -32767
    };
    EXPECT_EQ(EncodeWav({0.0f, 1.0f, -1.0f}), expected);
}

TEST(ToPcm16, RoundsAndClamps) {
    struct TCase {
        float in;
        int out;
        const char* why;
    } cases[] = {{0.5f, 16384, "rounds half away from zero"},
                 {0.25f, 8192, "rounds to nearest"},
                 {2.0f, 32767, "clamps above"},
                 {-2.0f, -32768, "clamps below"},
                 {-1.0f, -32767, "symmetric full scale"},
                 {1e-6f, 0, "tiny is silence"}};
    for (const auto& c : cases) EXPECT_EQ(ToPcm16(c.in), c.out) << c.why;
}

}  // namespace

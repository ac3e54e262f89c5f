// One rule for both WAV readers: every file below goes through the effect loader (SoundFX) and
// the WAV stream, and each must accept or refuse it as the table says, finding the same samples.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/AudioConfig.h"
#include "audio/SoundFX.h"
#include "audio/StreamingProviderWAV.h"

using namespace audio_test;

namespace {

// The fmt extension of the extensible format: extra size 22, valid bits, channel mask and the
// sub-format GUID, whose first two bytes name the coding (1 PCM, 3 float) as the plain tag does.
Bytes ExtensibleExtra(int validBits, std::uint16_t subFormat) {
    Bytes extra;
    PutLe16(extra, 22);
    PutLe16(extra, static_cast<unsigned>(validBits));
    PutLe32(extra, 0x4);  // front centre
    PutLe16(extra, subFormat);
    const std::uint8_t rest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    extra.insert(extra.end(), rest, rest + 14);
    return extra;
}

// The MS-ADPCM fmt extension with the published coefficient pairs.
Bytes AdpcmExtra() {
    Bytes extra;
    PutLe16(extra, 32);
    PutLe16(extra, 500);  // samples per block
    PutLe16(extra, 7);
    const int pairs[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    for (const auto& p : pairs) {
        PutLe16(extra, static_cast<unsigned>(p[0] & 0xFFFF));
        PutLe16(extra, static_cast<unsigned>(p[1] & 0xFFFF));
    }
    return extra;
}

const std::vector<std::int16_t> kSamples = {1000, -2000, 3000, -4000, 5000, -6000};

struct TWavCase {
    const char* why;
    Bytes image;
    bool effect;  // the effect loader accepts it
    bool stream;  // the WAV stream accepts it
};

TWavSpec Pcm16() {
    TWavSpec s;
    s.data = Samples16(kSamples);
    return s;
}

std::vector<TWavCase> Cases() {
    std::vector<TWavCase> cases;
    auto add = [&](const char* why, TWavSpec spec, bool effect, bool stream) {
        cases.push_back({why, BuildWav(spec), effect, stream});
    };
    add("plain 16-bit PCM", Pcm16(), true, true);
    {
        TWavSpec s = Pcm16();
        s.formatTag = 0xFFFE;
        s.fmtExtra = ExtensibleExtra(16, 1);
        add("extensible PCM", s, true, true);
        s.fmtExtra = ExtensibleExtra(16, 3);
        add("extensible float", s, false, false);
        s.fmtExtra.resize(10);
        add("extensible without its sub-format", s, false, false);
    }
    for (const int tag : {6, 7}) {
        TWavSpec s = Pcm16();
        s.formatTag = tag;
        s.bits = 8;
        s.data = Bytes(6, 0xD5);
        add(tag == 6 ? "A-law" : "mu-law", s, false, false);
    }
    {
        TWavSpec s = Pcm16();
        s.formatTag = 2;
        s.bits = 4;
        s.blockAlign = 256;
        s.fmtExtra = AdpcmExtra();
        s.data = Bytes(256, 0);
        add("MS-ADPCM: an effect only, the stream has no decoder", s, true, false);
        s.bits = 8;
        add("MS-ADPCM tag with 8 bits", s, false, false);
    }
    {
        TWavSpec s = Pcm16();
        s.rate = audio_config::kMaxSourceRateHz;
        add("the highest rate", s, true, true);
        s.rate = audio_config::kMaxSourceRateHz + 1;
        add("a rate above the highest", s, false, false);
        s.rate = static_cast<int>(0xFFFFFFFFu);
        add("rate 0xFFFFFFFF", s, false, false);
    }
    {
        // RIFF pads a chunk of odd size with a byte its size does not count.
        TWavSpec s = Pcm16();
        s.between = Chunk("LIST", Bytes(9, 'x'));
        s.between.push_back(0);
        add("a chunk of odd size before data", s, true, true);
    }
    for (const char* magic : {"RIFX", "WAVF"}) {
        Bytes image = BuildWav(Pcm16());
        std::memcpy(image.data() + (magic[3] == 'X' ? 0 : 8), magic, 4);
        cases.push_back({magic[3] == 'X' ? "not RIFF" : "RIFF but not WAVE", image, false, false});
    }
    return cases;
}

TEST(WavFormat, EffectsAndStreamsAcceptTheSameFiles) {
    CTestGame game;
    for (const TWavCase& c : Cases()) {
        SCOPED_TRACE(c.why);
        SoundFX fx;
        EXPECT_EQ(fx.load(c.image.data(), c.image.size()), c.effect);
        CStreamingProviderWAV stream(&game);
        EXPECT_EQ(stream.LoadStreamFromFile(MemoryFileOver(c.image), "t.wav"), c.stream);
        if (c.effect && c.stream) {
            // Both find the samples: the last six 16-bit samples of the image, by construction.
            ASSERT_EQ(fx.length(), kSamples.size());
            ASSERT_FALSE(fx.is8Bit());
            const std::uint8_t* expected = c.image.data() + c.image.size() - 2 * kSamples.size();
            EXPECT_EQ(fx.data(), expected);
            EXPECT_EQ(std::memcmp(fx.data(), Samples16(kSamples).data(), 2 * kSamples.size()), 0);
            EXPECT_EQ(stream.DataStart(), expected - c.image.data());
            EXPECT_EQ(stream.DataBytes(), static_cast<long>(2 * kSamples.size()));
            EXPECT_FALSE(stream.Is8Bit());
        }
    }
    CStreamingProviderWAV::FreeSharedReadBlock();
}

}  // namespace

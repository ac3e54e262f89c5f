#include "audio/SoundFX.h"

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audio_test;

namespace {

Bytes Filled(std::size_t n, std::uint8_t v) { return Bytes(n, v); }

struct TLengthCase {
    int bits;
    int channels;
    std::size_t dataBytes;
    std::uint32_t frames;
    const char* why;
};

TEST(SoundFXLoad, LengthCountsFramesOfEachLayout) {
    const TLengthCase cases[] = {
        {8, 1, 1000, 1000, "8-bit mono: one byte a frame"},
        {16, 2, 4000, 1000, "16-bit stereo: four bytes a frame"},
        {16, 1, 4000, 2000, "16-bit mono"},
        {8, 2, 1000, 500, "8-bit stereo"},
        {16, 1, 0, 0, "empty data chunk"},
    };
    for (const auto& c : cases) {
        TWavSpec spec;
        spec.bits = c.bits;
        spec.channels = c.channels;
        spec.rate = 22050;
        spec.data = Filled(c.dataBytes, 0x40);
        const Bytes image = BuildWav(spec);
        SoundFX fx;
        ASSERT_TRUE(fx.load(image.data(), image.size())) << c.why;
        EXPECT_EQ(fx.length(), c.frames) << c.why;
        EXPECT_EQ(fx.channels(), c.channels) << c.why;
        EXPECT_EQ(fx.is8Bit(), c.bits == 8) << c.why;
        EXPECT_EQ(fx.rate(), 22050) << c.why;
        EXPECT_EQ(fx.frequency(), 22050) << c.why;
        if (c.dataBytes > 0) {
            // PCM plays in place: the effect points at the data chunk's first byte (12 + 24 + 8).
            EXPECT_EQ(fx.data(), image.data() + 44) << c.why;
        }
    }
}

TEST(SoundFXLoad, ChunksBetweenFmtAndDataAreSkipped) {
    TWavSpec spec;
    spec.fmtExtra = {0, 0};  // an 18-byte fmt chunk moves the search by 2 bytes
    spec.between = Chunk("LIST", Bytes(10, 'x'));
    const Bytes more = Chunk("fact", Bytes(4, 0));
    spec.between.insert(spec.between.end(), more.begin(), more.end());
    spec.data = Samples16({100, -200, 300});
    const Bytes image = BuildWav(spec);
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    EXPECT_EQ(fx.length(), 3u);
    EXPECT_EQ(fx.data(), image.data() + 12 + 26 + 18 + 12 + 8);
}

TEST(SoundFXLoad, DataSizeIsClampedToTheBytesPresent) {
    TWavSpec spec;
    spec.data = Samples16({1, 2, 3, 4});
    spec.dataSizeField = 1'000'000;  // claims far more than the image holds
    const Bytes image = BuildWav(spec);
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    EXPECT_EQ(fx.length(), 4u);
}

TEST(SoundFXLoad, ChunksBehindDataAreNotSamples) {
    TWavSpec spec;
    spec.data = Samples16({7, 8});
    spec.after = Chunk("LIST", Bytes(100, 'z'));
    const Bytes image = BuildWav(spec);
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    EXPECT_EQ(fx.length(), 2u);
}

struct TBrokenCase {
    Bytes image;
    const char* why;
};

TEST(SoundFXLoad, BrokenImagesFailAndLeaveNoData) {
    auto wav = [](auto change) {
        TWavSpec spec;
        spec.data = Samples16({1, 2, 3});
        change(spec);
        return BuildWav(spec);
    };
    Bytes good = wav([](TWavSpec&) {});
    Bytes notFmt = good;
    std::memcpy(notFmt.data() + 12, "junk", 4);
    Bytes noData = good;
    std::memcpy(noData.data() + 36, "dat4", 4);
    Bytes hugeChunk = wav([](TWavSpec& s) {
        // A chunk whose size walks far past the end before any "data".
        Bytes list;
        PutTag(list, "LIST");
        PutLe32(list, 0xFFFFFFF0u);
        s.between = list;
    });
    Bytes fmtTooBig = good;
    fmtTooBig[16] = 0xFF;
    fmtTooBig[17] = 0xFF;
    const TBrokenCase cases[] = {
        {Bytes(good.begin(), good.begin() + 30), "truncated inside the format fields"},
        {notFmt, "first chunk is not fmt"},
        {noData, "no data chunk"},
        {hugeChunk, "chunk walk would leave the image"},
        {fmtTooBig, "fmt chunk larger than the image"},
        {wav([](TWavSpec& s) { s.bits = 12; }), "12 bits"},
        {wav([](TWavSpec& s) { s.channels = 0; }), "no channels"},
        {wav([](TWavSpec& s) { s.channels = 3; }), "three channels"},
        {wav([](TWavSpec& s) { s.rate = 0; }), "rate 0"},
        {wav([](TWavSpec& s) {
             s.bits = 4;
             s.formatTag = 1;
         }),
         "4 bits that are not MS-ADPCM"},
        {Bytes(), "empty"},
    };
    for (const auto& c : cases) {
        SoundFX fx;
        EXPECT_FALSE(fx.load(c.image.data(), c.image.size())) << c.why;
        EXPECT_EQ(fx.data(), nullptr) << c.why;
    }
    SoundFX fx;
    EXPECT_FALSE(fx.load(nullptr, 100));
}

// --- MS-ADPCM ---

// The fmt extension of MS-ADPCM: extra size, samples per block, pair count, pairs.
Bytes AdpcmFmtExtra(int samplesPerBlock, int pairCount = 7) {
    static const int kPairs[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    Bytes b;
    PutLe16(b, 32);
    PutLe16(b, static_cast<unsigned>(samplesPerBlock));
    PutLe16(b, static_cast<unsigned>(pairCount));
    for (const auto& p : kPairs) {
        PutLe16(b, static_cast<std::uint16_t>(p[0]));
        PutLe16(b, static_cast<std::uint16_t>(p[1]));
    }
    return b;
}

// A mono block: predictor, delta, sample 1, sample 2, then the code bytes, padded to align.
Bytes MonoBlock(int predictor, int delta, int s1, int s2, const Bytes& codes, int align) {
    Bytes b;
    b.push_back(static_cast<std::uint8_t>(predictor));
    PutLe16(b, static_cast<std::uint16_t>(delta));
    PutLe16(b, static_cast<std::uint16_t>(s1));
    PutLe16(b, static_cast<std::uint16_t>(s2));
    b.insert(b.end(), codes.begin(), codes.end());
    b.resize(static_cast<std::size_t>(align), 0);
    return b;
}

TWavSpec AdpcmSpec(int samplesPerBlock, int align, const Bytes& data) {
    TWavSpec spec;
    spec.formatTag = 2;
    spec.bits = 4;
    spec.blockAlign = align;
    spec.fmtExtra = AdpcmFmtExtra(samplesPerBlock);
    spec.data = data;
    return spec;
}

std::int16_t SampleAt(const SoundFX& fx, std::size_t i) {
    const std::uint8_t* p = fx.data() + 2 * i;
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}

TEST(SoundFXAdpcm, DecodesHeaderSamplesThenNibbles) {
    // Pair 0 is (256, 0): the prediction is the last sample. Hand computation:
    //   out0 = sample 2 = 50, out1 = sample 1 = 100
    //   nibble 1:  100 + 16 * 1 = 116; delta = 230 * 16 / 256 = 14 -> held at 16
    //   nibble F: 116 + 16 * -1 = 100; delta 16
    //   nibble 7:  100 + 16 * 7 = 212; delta = 614 * 16 / 256 = 38
    //   nibble 2:  212 + 38 * 2 = 288; delta = 230 * 38 / 256 = 34
    const Bytes block = MonoBlock(0, 16, 100, 50, {0x1F, 0x72}, 16);
    const Bytes image = BuildWav(AdpcmSpec(6, 16, block));
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    ASSERT_EQ(fx.length(), 6u);
    const std::int16_t expected[] = {50, 100, 116, 100, 212, 288};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(SampleAt(fx, i), expected[i]) << i;
    EXPECT_FALSE(fx.is8Bit());
}

TEST(SoundFXAdpcm, BlockOf500SamplesGives500Outputs) {
    Bytes codes(249, 0x00);
    const Bytes block = MonoBlock(1, 20, 1000, -1000, codes, 256);
    const Bytes image = BuildWav(AdpcmSpec(500, 256, block));
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    EXPECT_EQ(fx.length(), 500u);
    EXPECT_EQ(SampleAt(fx, 0), -1000);
    EXPECT_EQ(SampleAt(fx, 1), 1000);
    // Pair 1 is (512, -256): prediction 2 x s1 - s2 = 3000 for the first nibble 0.
    EXPECT_EQ(SampleAt(fx, 2), 3000);
}

TEST(SoundFXAdpcm, NibbleArithmetic) {
    const int pair0[2] = {256, 0};
    struct TCase {
        int s1, s2, delta, nibble, sample, newDelta;
        const char* why;
    };
    const TCase cases[] = {
        {0, 0, 16, 0xF, -16, 16, "nibble F is -1"},
        {0, 0, 16, 0x8, -128, 48, "nibble 8 is -8; delta 768 * 16 / 256"},
        {0, 0, 16, 0x1, 16, 16, "delta 230 * 16 / 256 = 14 is held at 16"},
        {32000, 0, 1000, 0x7, 32767, 2398, "clamps high; delta 614*1000/256"},
        {-32000, 0, 1000, 0x9, -32768, 2398, "clamps low (nibble 9 is -7)"},
        {-7, 0, 16, 0x0, -7, 16, "prediction truncates toward zero"},
    };
    for (const auto& c : cases) {
        TMsAdpcmState st;
        st.sample1 = c.s1;
        st.sample2 = c.s2;
        st.delta = static_cast<std::uint16_t>(c.delta);
        EXPECT_EQ(SoundFX::nibble_MSADPCM(st, c.nibble, pair0), c.sample) << c.why;
        EXPECT_EQ(st.delta, c.newDelta) << c.why;
        EXPECT_EQ(st.sample1, c.sample) << c.why;
        EXPECT_EQ(st.sample2, c.s1) << c.why;
    }
    // (s1 * c1 + s2 * c2) / 256 truncates toward zero: (-3 * 256 + 1 * 128) / 256 = -640/256 = -2.
    const int pair[2] = {256, 128};
    TMsAdpcmState st;
    st.sample1 = -3;
    st.sample2 = 1;
    st.delta = 16;
    EXPECT_EQ(SoundFX::nibble_MSADPCM(st, 0, pair), -2);
}

TEST(SoundFXAdpcm, StereoInterleavesBothChannels) {
    // Stereo header: predictors L R, deltas L R, sample 1 L R, sample 2 L R.
    Bytes block = {0, 0};
    for (int v : {16, 32, 10, 20, 1, 2}) PutLe16(block, static_cast<std::uint16_t>(v));
    block.push_back(0x1F);  // L: +1 x 16, R: -1 x 32
    block.resize(16, 0);
    TWavSpec spec = AdpcmSpec(3, 16, block);
    spec.channels = 2;
    const Bytes image = BuildWav(spec);
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    EXPECT_EQ(fx.length(), 3u);  // frames
    const std::int16_t expected[] = {1, 2, 10, 20, 26, -12};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(SampleAt(fx, i), expected[i]) << i;
}

TEST(SoundFXAdpcm, RefusesWhatWouldReadOutsideItsTables) {
    struct TCase {
        TWavSpec spec;
        const char* why;
    };
    const Bytes codes(2, 0x11);
    TWavSpec predictor7 = AdpcmSpec(6, 16, MonoBlock(7, 16, 0, 0, codes, 16));
    TWavSpec alignZero = AdpcmSpec(6, 16, MonoBlock(0, 16, 0, 0, codes, 16));
    alignZero.blockAlign = 0;
    alignZero.channels = 1;
    TWavSpec tooMany = AdpcmSpec(40, 16, MonoBlock(0, 16, 0, 0, codes, 16));  // needs 7 + 19 bytes
    TWavSpec sixPairs = AdpcmSpec(6, 16, MonoBlock(0, 16, 0, 0, codes, 16));
    sixPairs.fmtExtra = AdpcmFmtExtra(6, 6);
    TWavSpec shortFmt = AdpcmSpec(6, 16, MonoBlock(0, 16, 0, 0, codes, 16));
    shortFmt.fmtExtra.resize(10);
    TWavSpec wrongTag = AdpcmSpec(6, 16, MonoBlock(0, 16, 0, 0, codes, 16));
    wrongTag.formatTag = 0x11;
    const TCase cases[] = {
        {predictor7, "predictor index 7"},
        {alignZero, "block align 0"},
        {tooMany, "samples per block the block cannot hold"},
        {sixPairs, "six coefficient pairs"},
        {shortFmt, "coefficient table cut short"},
        {wrongTag, "4 bits with a format tag other than 2"},
    };
    for (const auto& c : cases) {
        if (c.spec.blockAlign == 0) {
            // BuildWav would derive an align; write 0 into the image itself.
            Bytes image = BuildWav(c.spec);
            image[32] = image[33] = 0;
            SoundFX fx;
            EXPECT_FALSE(fx.load(image.data(), image.size())) << c.why;
            continue;
        }
        const Bytes image = BuildWav(c.spec);
        SoundFX fx;
        EXPECT_FALSE(fx.load(image.data(), image.size())) << c.why;
        EXPECT_EQ(fx.data(), nullptr) << c.why;
    }
}

TEST(SoundFXAdpcm, PartialTrailingBlockIsDropped) {
    Bytes data = MonoBlock(0, 16, 5, 6, {0x00, 0x00}, 16);
    data.resize(16 + 10, 0);  // a second block cut short
    const Bytes image = BuildWav(AdpcmSpec(6, 16, data));
    SoundFX fx;
    ASSERT_TRUE(fx.load(image.data(), image.size()));
    EXPECT_EQ(fx.length(), 6u);
}

TEST(SoundFXSettings, SettersClampLikeTheMixer) {
    SoundFX fx;
    EXPECT_EQ(fx.volume(), 64);
    EXPECT_EQ(fx.pan(), 128);
    EXPECT_EQ(fx.maxplaybacks(), -1);
    fx.volume(200);
    EXPECT_EQ(fx.volume(), 64);
    fx.volume(-1);
    EXPECT_EQ(fx.volume(), 64);
    fx.volume(63);
    EXPECT_EQ(fx.volume(), 63);
    fx.pan(300);
    EXPECT_EQ(fx.pan(), 255);
    fx.pan(254);
    EXPECT_EQ(fx.pan(), 254);
}

}  // namespace

// The music encoder, read back with the reference decoder (libvorbisfile): the stream's format
// and exact length, the sound surviving the codec, and byte-identical output for the same input.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "soundgen/Dsp.h"
#include "soundgen/OggEncoder.h"

namespace {

using namespace soundgen;
using Bytes = std::vector<std::uint8_t>;

struct TMemory {
    const Bytes* bytes;
    std::size_t at = 0;
};

struct TDecoded {
    bool opened = false;
    int channels = 0;
    long rate = 0;
    long long pcmTotal = 0;
    std::vector<float> samples;
};

TDecoded Decode(const Bytes& ogg) {
    TMemory memory{&ogg};
    ov_callbacks cb{};
    cb.read_func = [](void* to, std::size_t size, std::size_t count, void* source) -> std::size_t {
        auto* m = static_cast<TMemory*>(source);
        const std::size_t n = std::min(size * count, m->bytes->size() - m->at);
        std::memcpy(to, m->bytes->data() + m->at, n);
        m->at += n;
        return size ? n / size : 0;
    };
    cb.seek_func = [](void* source, ogg_int64_t offset, int whence) -> int {
        auto* m = static_cast<TMemory*>(source);
        const long long base = whence == SEEK_SET   ? 0
                               : whence == SEEK_CUR ? static_cast<long long>(m->at)
                                                    : static_cast<long long>(m->bytes->size());
        if (base + offset < 0 || base + offset > static_cast<long long>(m->bytes->size())) return -1;
        m->at = static_cast<std::size_t>(base + offset);
        return 0;
    };
    cb.tell_func = [](void* source) -> long { return static_cast<long>(static_cast<TMemory*>(source)->at); };
    TDecoded out;
    OggVorbis_File vf;
    if (ov_open_callbacks(&memory, &vf, nullptr, 0, cb) != 0) return out;
    out.opened = true;
    out.channels = ov_info(&vf, -1)->channels;
    out.rate = ov_info(&vf, -1)->rate;
    out.pcmTotal = ov_pcm_total(&vf, -1);
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long n = ov_read_float(&vf, &pcm, 1024, &section);
        if (n <= 0) break;
        out.samples.insert(out.samples.end(), pcm[0], pcm[0] + n);
    }
    ov_clear(&vf);
    return out;
}

Samples Sine(std::size_t n, double hz, double amplitude) {
    Samples s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<float>(amplitude * std::sin(2.0 * kPi * hz * i / kSampleRate));
    return s;
}

TEST(EncodeOgg, DecodesToMonoAtTheGamesRateWithExactlyTheFramesGiven) {
    // Lengths on and off the encoder's block and chunk sizes.
    for (std::size_t frames : {22050u, 3001u, 1024u, 1u}) {
        Bytes ogg;
        std::string error;
        ASSERT_TRUE(EncodeOgg(Sine(frames, 440.0, 0.5), 0.3f, ogg, error)) << error;
        const TDecoded d = Decode(ogg);
        ASSERT_TRUE(d.opened) << frames;
        EXPECT_EQ(d.channels, 1);
        EXPECT_EQ(d.rate, kSampleRate);
        EXPECT_EQ(d.pcmTotal, static_cast<long long>(frames));
        EXPECT_EQ(d.samples.size(), frames);
    }
}

TEST(EncodeOgg, TheSoundSurvivesTheCodec) {
    const Samples in = Sine(22050, 440.0, 0.5);
    Bytes ogg;
    std::string error;
    ASSERT_TRUE(EncodeOgg(in, 0.3f, ogg, error)) << error;
    const TDecoded d = Decode(ogg);
    ASSERT_EQ(d.samples.size(), in.size());
    double signal = 0.0, noise = 0.0;
    for (std::size_t i = 0; i < in.size(); ++i) {
        signal += in[i] * in[i];
        noise += std::pow(d.samples[i] - in[i], 2);
    }
    EXPECT_GT(10.0 * std::log10(signal / noise), 20.0) << "signal-to-error ratio in dB";
}

TEST(EncodeOgg, TheSameSamplesGiveTheSameBytes) {
    const Samples in = Sine(30000, 330.0, 0.4);
    Bytes a, b;
    std::string error;
    ASSERT_TRUE(EncodeOgg(in, 0.3f, a, error));
    ASSERT_TRUE(EncodeOgg(in, 0.3f, b, error));
    EXPECT_EQ(a, b);
}

TEST(EncodeOgg, RefusesQualitiesTheEncoderCannotDo) {
    Bytes ogg;
    std::string error;
    // Below -0.1 the encoder has no setup to offer (above 1 it clamps).
    EXPECT_FALSE(EncodeOgg(Sine(100, 440.0, 0.5), -0.5f, ogg, error));
    EXPECT_NE(error.find("quality"), std::string::npos);
}

}  // namespace

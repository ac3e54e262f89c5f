// Stream providers driven directly: WAV reading bounded by its data chunk, fades, and an Ogg
// Vorbis file encoded for the test, checked against Tremor's own decode of the same bytes.
#include <gtest/gtest.h>
#include <tremor/ivorbisfile.h>

#include <cstring>
#include <memory>

#include "AudioTestSupport.h"
#include "audio/StreamingProviderOGG.h"
#include "audio/StreamingProviderWAV.h"

using namespace audio_test;

namespace {

class StreamTest : public ::testing::Test {
protected:
    void SetUp() override { game.m_pSoundSystem = new CRecordingSoundSystem; }  // 48000 Hz
    void TearDown() override { CStreamingProviderWAV::FreeSharedReadBlock(); }

    std::unique_ptr<CStreamingProviderWAV> Wav(const TWavSpec& spec) {
        auto p = std::make_unique<CStreamingProviderWAV>(&game);
        EXPECT_TRUE(p->LoadStreamFromFile(MemoryFileOver(BuildWav(spec)), "m.wav"));
        return p;
    }
    // Mixes n samples into a zeroed buffer.
    static std::vector<short> Mix(CStreamingProvider& p, int n) {
        std::vector<short> out(static_cast<std::size_t>(n), 0);
        p.UpdateBufferAdd(out.data(), n);
        return out;
    }
    CTestGame game;
};

std::vector<std::int16_t> Ramp(int n, int from = 1) {
    std::vector<std::int16_t> r;
    for (int i = 0; i < n; ++i) r.push_back(static_cast<std::int16_t>(from + i));
    return r;
}

TEST_F(StreamTest, WavStepsFollowTheSourceRate) {
    struct TCase {
        int rate;
        int step;
    };
    for (const TCase c : {TCase{44100, 235}, TCase{22050, 117}, TCase{48000, 256}, TCase{96000, 512}}) {
        TWavSpec spec;
        spec.rate = c.rate;
        spec.data = Samples16(Ramp(10));
        EXPECT_EQ(Wav(spec)->GetStep(), c.step) << c.rate;
    }
    CTestGame silent;  // no sound system: the output rate is 22050
    CStreamingProviderWAV p(&silent);
    TWavSpec spec;
    spec.data = Samples16(Ramp(10));
    ASSERT_TRUE(p.LoadStreamFromFile(MemoryFileOver(BuildWav(spec)), "m.wav"));
    EXPECT_EQ(p.GetOutputRate(), 22050);
}

TEST_F(StreamTest, WavLoadRefusesWhatItCannotPlay) {
    struct TCase {
        TWavSpec spec;
        const char* why;
    };
    auto with = [](auto change) {
        TWavSpec s;
        s.data = Samples16(Ramp(8));
        change(s);
        return s;
    };
    const TCase cases[] = {
        {with([](TWavSpec& s) {
             s.formatTag = 2;
             s.bits = 4;
         }),
         "MS-ADPCM is not streamed"},
        {with([](TWavSpec& s) { s.bits = 4; }), "4-bit PCM has no reader"},
        {with([](TWavSpec& s) { s.formatTag = 3; }), "float samples"},
        {with([](TWavSpec& s) { s.channels = 3; }), "three channels"},
        {with([](TWavSpec& s) { s.rate = 0; }), "rate 0"},
        {with([](TWavSpec& s) { s.bits = 24; }), "24 bits"},
    };
    for (const auto& c : cases) {
        CStreamingProviderWAV p(&game);
        EXPECT_FALSE(p.LoadStreamFromFile(MemoryFileOver(BuildWav(c.spec)), "bad.wav")) << c.why;
    }
    Bytes noData = BuildWav(with([](TWavSpec&) {}));
    std::memcpy(noData.data() + 36, "xxxx", 4);
    CStreamingProviderWAV p(&game);
    EXPECT_FALSE(p.LoadStreamFromFile(MemoryFileOver(noData), "nodata.wav"));
    Bytes truncated = BuildWav(with([](TWavSpec&) {}));
    truncated.resize(30);
    EXPECT_FALSE(p.LoadStreamFromFile(MemoryFileOver(truncated), "short.wav"));
    EXPECT_FALSE(p.LoadStreamFromFile(nullptr, "none.wav"));
}

TEST_F(StreamTest, WavEndsAtItsDataChunkAndZeroFills) {
    TWavSpec spec;
    spec.data = Samples16(Ramp(100));
    spec.after = Chunk("LIST", Bytes(400, 0x7F));  // would play as loud samples if read
    auto p = Wav(spec);
    EXPECT_EQ(p->DataBytes(), 200);
    p->SetVolume(128);
    p->Start(false);
    const auto out = Mix(*p, 300);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], i + 1) << i;
    for (int i = 100; i < 300; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_FALSE(p->IsPlaying());
}

TEST_F(StreamTest, LoopingWavWrapsAtItsDataChunkWithoutAGap) {
    TWavSpec spec;
    spec.data = Samples16(Ramp(100));
    spec.after = Chunk("LIST", Bytes(400, 0x7F));
    auto p = Wav(spec);
    p->SetVolume(128);
    p->Start(true);
    const auto first = Mix(*p, 64);
    const auto second = Mix(*p, 64);  // crosses the end of the data at sample 100
    for (int i = 0; i < 128; ++i) {
        const short got = i < 64 ? first[static_cast<std::size_t>(i)] : second[static_cast<std::size_t>(i - 64)];
        ASSERT_EQ(got, (i % 100) + 1) << i;
    }
    EXPECT_TRUE(p->IsPlaying());
}

TEST_F(StreamTest, EightBitStereoWavReadsInterleavedBytes) {
    TWavSpec spec;
    spec.bits = 8;
    spec.channels = 2;
    spec.data = {128, 0, 255, 128, 64, 192};
    auto p = Wav(spec);
    p->SetVolume(128);
    p->Start(false);
    const auto out = Mix(*p, 3);
    // Step 256 in stereo reads element p >> 7: 0, 2, 4 - the left bytes.
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 127 * 256);
    EXPECT_EQ(out[2], -64 * 256);
}

TEST_F(StreamTest, EightBitWavEndsInSilenceNotAClick) {
    TWavSpec spec;
    spec.bits = 8;
    spec.data = {200, 56};
    auto p = Wav(spec);
    p->SetVolume(128);
    p->Start(false);
    const auto out = Mix(*p, 4);
    // The rest of the read is filled with the 8-bit silence value 128, which mixes as 0.
    EXPECT_EQ(out[0], 72 * 256);
    EXPECT_EQ(out[1], -72 * 256);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 0);
    EXPECT_FALSE(p->IsPlaying());
}

TEST_F(StreamTest, FadeOfZeroSecondsMutesAfterOneSample) {
    TWavSpec spec;
    spec.data = Samples16(std::vector<std::int16_t>(4000, 1000));
    auto p = Wav(spec);
    p->SetVolume(128);
    p->Start(false);
    p->StopWithFadeOut(0);
    const auto out = Mix(*p, 512);
    EXPECT_EQ(out[0], 1000);
    for (int i = 1; i < 512; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], 0) << i;
    Mix(*p, 512);
    EXPECT_FALSE(p->IsPlaying());
}

TEST_F(StreamTest, FadeInDuringAFadeOutStartsFromThePresentLoudness) {
    TWavSpec spec;
    spec.data = Samples16(std::vector<std::int16_t>(100000, 8000));
    auto p = Wav(spec);
    p->SetVolume(128);
    p->Start(true);
    p->StopWithFadeOut(256);  // 1 s = 48000 samples
    Mix(*p, 24000);           // halfway
    p->SetFadeIn(512);        // 2 s = 96000 samples
    EXPECT_FALSE(p->IsFadingOut());
    EXPECT_TRUE(p->IsFadingIn());
    EXPECT_EQ(p->FadeInRemaining(), 48000) << "one second of fade-in left";
    const auto out = Mix(*p, 2);
    EXPECT_EQ(out[0], (64 * 8000) >> 7) << "half loudness, no jump";
    EXPECT_EQ(out[1], ((128 * (96000 - 47999) / 96000) * 8000) >> 7);
}

TEST_F(StreamTest, RestartWithoutFadeInKeepsAFadeOutGoing) {
    TWavSpec spec;
    spec.data = Samples16(std::vector<std::int16_t>(100000, 8000));
    auto p = Wav(spec);
    p->SetVolume(128);
    p->Start(false);
    p->StopWithFadeOut(1);  // 1/256 s = 187 samples
    Mix(*p, 100);
    p->Start(false);
    EXPECT_TRUE(p->IsFadingOut());
    Mix(*p, 200);
    Mix(*p, 10);
    EXPECT_FALSE(p->IsPlaying());
}

TEST_F(StreamTest, FadesActOnlyWhilePlaying) {
    TWavSpec spec;
    spec.data = Samples16(Ramp(10));
    auto p = Wav(spec);
    p->StopWithFadeOut(256);
    p->SetFadeIn(256);
    EXPECT_FALSE(p->IsFadingOut());
    EXPECT_FALSE(p->IsFadingIn());
    p->Start(false);
    p->SetFadeIn(0);  // a fade of no length plays at full volume instead of dividing by zero
    p->SetVolume(128);
    EXPECT_EQ(Mix(*p, 1)[0], 1);
}

// --- Ogg Vorbis ---

// Tremor's own decode of the whole file: the reference the provider must reproduce.
std::vector<std::int16_t> DecodeWhole(const Bytes& ogg) {
    struct TSource {
        const Bytes* bytes;
        std::size_t at;
    } source{&ogg, 0};
    ov_callbacks cb{};
    cb.read_func = [](void* buf, size_t size, size_t n, void* src) -> size_t {
        auto* s = static_cast<TSource*>(src);
        const std::size_t left = s->bytes->size() - s->at;
        const std::size_t take = std::min(left, size * n);
        std::memcpy(buf, s->bytes->data() + s->at, take);
        s->at += take;
        return take;
    };
    cb.seek_func = [](void* src, ogg_int64_t off, int whence) -> int {
        auto* s = static_cast<TSource*>(src);
        const long long base = whence == SEEK_SET   ? 0
                               : whence == SEEK_CUR ? static_cast<long long>(s->at)
                                                    : static_cast<long long>(s->bytes->size());
        s->at = static_cast<std::size_t>(base + off);
        return 0;
    };
    cb.tell_func = [](void* src) -> long { return static_cast<long>(static_cast<TSource*>(src)->at); };
    OggVorbis_File vf;
    std::vector<std::int16_t> pcm;
    if (ov_open_callbacks(&source, &vf, nullptr, 0, cb) < 0) return pcm;
    char buf[4096];
    int bitstream = 0;
    long n;
    while ((n = ov_read(&vf, buf, sizeof buf, &bitstream)) != 0) {
        if (n < 0) continue;
        const auto* s = reinterpret_cast<const std::int16_t*>(buf);
        pcm.insert(pcm.end(), s, s + n / 2);
    }
    ov_clear(&vf);
    return pcm;
}

class OggStreamTest : public StreamTest {
protected:
    static void SetUpTestSuite() {
        s_ogg = new Bytes(EncodeOggSine(48000, 1, 10000, 440.0, 0.5));
        s_reference = new std::vector<std::int16_t>(DecodeWhole(*s_ogg));
    }
    static void TearDownTestSuite() {
        delete s_ogg;
        delete s_reference;
    }
    std::unique_ptr<CStreamingProviderOGG> Ogg(const Bytes& bytes) {
        auto p = std::make_unique<CStreamingProviderOGG>(&game);
        EXPECT_TRUE(p->LoadStreamFromFile(MemoryFileOver(bytes), "music.ogg"));
        return p;
    }
    static Bytes* s_ogg;
    static std::vector<std::int16_t>* s_reference;
};
Bytes* OggStreamTest::s_ogg = nullptr;
std::vector<std::int16_t>* OggStreamTest::s_reference = nullptr;

TEST_F(OggStreamTest, DecodesToItsStatedLength) {
    ASSERT_FALSE(s_ogg->empty()) << "the encoder tool did not run";
    ASSERT_EQ(s_reference->size(), 10000u);
    auto p = Ogg(*s_ogg);
    EXPECT_EQ(p->GetTotalFrames(), 10000);
    EXPECT_EQ(p->GetSourceRate(), 48000);
    EXPECT_EQ(p->GetChannels(), 1);
    EXPECT_EQ(p->GetStep(), 256);
    p->SetVolume(128);
    p->Start(false);
    std::vector<short> all;
    for (int fragment = 0; fragment < 12 && p->IsPlaying(); ++fragment) {
        const auto out = Mix(*p, 1024);
        all.insert(all.end(), out.begin(), out.end());
    }
    EXPECT_FALSE(p->IsPlaying());
    ASSERT_GE(all.size(), 10000u);
    for (std::size_t i = 0; i < 10000; ++i) ASSERT_EQ(all[i], (*s_reference)[i]) << i;
    for (std::size_t i = 10000; i < all.size(); ++i) ASSERT_EQ(all[i], 0) << i;
}

TEST_F(OggStreamTest, LoopsWithoutAGap) {
    auto p = Ogg(*s_ogg);
    p->SetVolume(128);
    p->Start(true);
    std::vector<short> all;
    for (int fragment = 0; fragment < 25; ++fragment) {
        const auto out = Mix(*p, 1024);
        all.insert(all.end(), out.begin(), out.end());
    }
    EXPECT_TRUE(p->IsPlaying());
    for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], (*s_reference)[i % 10000]) << i;
}

TEST_F(OggStreamTest, LoopsWhenAFillEndedExactlyAtTheEndOfTheStream) {
    const Bytes shortOgg = EncodeOggSine(48000, 1, 3000, 700.0, 0.5);
    const auto reference = DecodeWhole(shortOgg);
    ASSERT_EQ(reference.size(), 3000u);
    auto p = Ogg(shortOgg);
    p->SetVolume(128);
    p->Start(true);
    // 1500 samples ask for 6000 decoded bytes: the whole stream, so the first fill stops right
    // at its end and the third call meets the end before decoding anything.
    std::vector<short> all;
    for (int call = 0; call < 5; ++call) {
        const auto out = Mix(*p, 1500);
        all.insert(all.end(), out.begin(), out.end());
    }
    EXPECT_TRUE(p->IsPlaying());
    for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], reference[i % 3000]) << i;
}

TEST_F(OggStreamTest, DecodingAloneGoesThroughTheWholeStreamOnceAndPlaysNothing) {
    auto p = Ogg(*s_ogg);
    EXPECT_EQ(p->DecodeNextBlock(), 0u) << "not started: nothing";
    p->SetVolume(128);
    p->Start(false);
    std::size_t total = 0, blocks = 0;
    while (const std::size_t got = p->DecodeNextBlock()) {
        EXPECT_LE(got, p->DecodeBlockBytes());
        total += got;
        ++blocks;
        ASSERT_LT(blocks, 1000u) << "the end was never met";
    }
    // Every sample Tremor gives for the stream, once (mono 16-bit).
    EXPECT_EQ(total, s_reference->size() * 2);
    EXPECT_GT(blocks, 1u);
    EXPECT_EQ(p->DecodeNextBlock(), 0u) << "the end stays the end";
}

TEST_F(OggStreamTest, DecodeBlockHoldsTheLargestRequestPlusOneRead) {
    auto p = Ogg(*s_ogg);
    // 2048 samples x step 256 x 1 channel, four bytes each, plus one 4096-byte read.
    EXPECT_EQ(p->DecodeBlockBytes(), static_cast<std::size_t>(2048 * 4 + 4096));
    p->SetVolume(128);
    p->Start(true);
    // A request far beyond the block still writes inside it and fills what it can.
    std::vector<short> out(20000, 0);
    p->UpdateBufferAdd(out.data(), 20000);
    EXPECT_EQ(out[0], (*s_reference)[0]);
    EXPECT_EQ(out[100], (*s_reference)[100]);
}

TEST_F(OggStreamTest, FadeOutOfZeroStopsAtTheEndOfTheFragment) {
    auto p = Ogg(*s_ogg);
    p->SetVolume(128);
    p->Start(true);
    p->StopWithFadeOut(0);
    const auto out = Mix(*p, 1024);
    EXPECT_EQ(out[0], (*s_reference)[0]);
    for (std::size_t i = 1; i < out.size(); ++i) ASSERT_EQ(out[i], 0) << i;
    EXPECT_FALSE(p->IsPlaying());
}

TEST_F(OggStreamTest, StereoFilesAreMixedFromTheirLeftChannel) {
    const Bytes stereo = EncodeOggSine(44100, 2, 5000, 300.0, 0.4);
    const auto reference = DecodeWhole(stereo);
    auto p = Ogg(stereo);
    EXPECT_EQ(p->GetChannels(), 2);
    EXPECT_EQ(p->GetStep(), 235);
    p->SetVolume(128);
    p->Start(false);
    const auto out = Mix(*p, 1024);
    // Reference: source index (p >> 7) rounded down to the frame's left sample.
    for (int i = 0; i < 1024; ++i) {
        const long long index = ((static_cast<long long>(i) * 235) >> 7) & ~1LL;
        ASSERT_EQ(out[static_cast<std::size_t>(i)], reference[static_cast<std::size_t>(index)]) << i;
    }
}

struct TMixCase {
    int rate, channels, volume;
    const char* why;
};

// One fragment added into a mix that already holds loud sound: every output is the per-sample
// rule (source sample (i x step) >> 8, or its frame's left sample, times volume / 128, added
// with 16-bit saturation), whichever way the provider picks and adds its samples.
TEST_F(OggStreamTest, EachOutputIsTheSteppedSampleAddedWithSaturation) {
    const TMixCase cases[] = {
        {22050, 1, 191, "the game's tracks: mono 22,050 Hz at full music volume"},
        {11025, 1, 128, "a large up-sampling step"},
        {44100, 1, 255, "a step just below one sample"},
        {48000, 1, 200, "one sample per output"},
        {22050, 2, 191, "stereo takes the left channel"},
    };
    for (const TMixCase& c : cases) {
        const Bytes ogg = EncodeOggSine(c.rate, c.channels, 3000, 523.0, 0.95);
        const auto reference = DecodeWhole(ogg);
        auto p = Ogg(ogg);
        const int step = p->GetStep();
        ASSERT_EQ(step, c.rate * 256 / 48000) << c.why;
        p->SetVolume(static_cast<unsigned char>(c.volume));
        p->Start(false);
        std::vector<short> mix(1024);
        for (std::size_t i = 0; i < mix.size(); ++i) mix[i] = static_cast<short>(i % 3 == 0 ? 30000 : -20000 + 37 * i);
        const std::vector<short> before = mix;
        p->UpdateBufferAdd(mix.data(), static_cast<int>(mix.size()));
        for (int i = 0; i < 1024; ++i) {
            const long long position = static_cast<long long>(i) * step;
            const long long index = c.channels == 2 ? 2 * (position >> 8) : position >> 8;
            const int added =
                before[static_cast<std::size_t>(i)] + ((c.volume * reference[static_cast<std::size_t>(index)]) >> 7);
            const int want = added > 32767 ? 32767 : added < -32768 ? -32768 : added;
            ASSERT_EQ(mix[static_cast<std::size_t>(i)], want) << c.why << ": output " << i;
        }
    }
}

TEST_F(OggStreamTest, BrokenFilesFailToLoad) {
    struct TCase {
        Bytes bytes;
        const char* why;
    };
    Bytes cut(s_ogg->begin(), s_ogg->begin() + 200);
    Bytes garbage(5000, 0x55);
    Bytes flipped = *s_ogg;
    for (std::size_t i = 28; i < 120 && i < flipped.size(); ++i) flipped[i] ^= 0xA5;
    const TCase cases[] = {
        {cut, "cut inside the headers"}, {garbage, "not Ogg"}, {flipped, "headers damaged"}, {{}, "empty"}};
    for (const auto& c : cases) {
        CStreamingProviderOGG p(&game);
        EXPECT_FALSE(p.LoadStreamFromFile(MemoryFileOver(c.bytes), "bad.ogg")) << c.why;
        p.Start(false);
        EXPECT_FALSE(p.IsPlaying()) << c.why;
    }
}

}  // namespace

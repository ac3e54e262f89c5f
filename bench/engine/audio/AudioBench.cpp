// Mixing cost as a share of real time, and Ogg decoding speed as a multiple of real time.
//   mix_16_channels: "pct_of_realtime" is the time to mix 10 s of 48 kHz output with 16 effect
//   voices, as a percentage of those 10 s on one core (goal: below 0.5).
//   ogg_decode: "x_realtime" is seconds of 44.1 kHz stereo music decoded and mixed per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/Sound.h"
#include "audio/SoundFX.h"
#include "audio/SoundSystem.h"
#include "audio/StreamingProviderOGG.h"
#include "core/MemFile.h"
#include "platform/Pcm.h"
#include "testsupport/FakeSoundHost.h"
#include "testsupport/StubSoundSystem.h"

namespace {

constexpr int kOutputRate = 48000;
constexpr double kSeconds = 10.0;

// No directories or paks: the benchmark hands the streams their bytes itself.
class CBenchGame : public CFakeSoundHost {
public:
    CBenchGame() { m_SoundsDir.clear(); }
};

// Reports the device rate the streams resample to.
class CRateOnlySoundSystem : public CStubSoundSystem {
public:
    int GetSamplingRate() override { return kOutputRate; }
};

std::vector<std::uint8_t> WavImage(int rate, int frames, double hz) {
    std::vector<std::uint8_t> b(44 + 2 * static_cast<std::size_t>(frames));
    auto le32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); };
    auto le16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&b[at], &v, 2); };
    std::memcpy(&b[0], "RIFF", 4);
    le32(4, static_cast<std::uint32_t>(b.size() - 8));
    std::memcpy(&b[8], "WAVEfmt ", 8);
    le32(16, 16);
    le16(20, 1);
    le16(22, 1);
    le32(24, static_cast<std::uint32_t>(rate));
    le32(28, static_cast<std::uint32_t>(rate * 2));
    le16(32, 2);
    le16(34, 16);
    std::memcpy(&b[36], "data", 4);
    le32(40, static_cast<std::uint32_t>(2 * frames));
    for (int i = 0; i < frames; ++i) {
        const auto s = static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * hz * i / rate));
        std::memcpy(&b[44 + 2 * static_cast<std::size_t>(i)], &s, 2);
    }
    return b;
}

void MixSixteenChannels(benchmark::State& state) {
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    Sound mixer;
    mixer.SetAudioThreadEnabled(false);
    if (!mixer.open(kOutputRate, 16, false, 1, 16)) {
        state.SkipWithError("mixer did not open");
        return;
    }
    // Sixteen looping effects at the rates the game's files use.
    const int rates[] = {22050, 44100, 48000, 11025};
    std::vector<std::vector<std::uint8_t>> images;
    std::vector<std::unique_ptr<SoundFX>> effects;
    for (int i = 0; i < 16; ++i) {
        images.push_back(WavImage(rates[i % 4], rates[i % 4] / 2, 220.0 + 50 * i));
        effects.push_back(std::make_unique<SoundFX>());
        if (!effects.back()->load(images.back().data(), images.back().size())) {
            state.SkipWithError("effect did not load");
            return;
        }
        effects.back()->loop(true);
        mixer.playSFX(effects.back().get());
    }
    const int framesPerFragment = mixer.FragmentBytes() / 4;
    const int fragments = static_cast<int>(kSeconds * kOutputRate / framesPerFragment);
    double spent = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int f = 0; f < fragments; ++f) mixer.UpdateAudioBuffer();
        spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(mixer.OutputBlock()[0]);
    }
    if (mixer.playingChannelSFX() != 16) state.SkipWithError("voices stopped");
    const double played = static_cast<double>(fragments) * framesPerFragment / kOutputRate;
    state.counters["pct_of_realtime"] = 100.0 * spent / (played * static_cast<double>(state.iterations()));
}
BENCHMARK(MixSixteenChannels)->Name("mix_16_channels")->Unit(benchmark::kMillisecond);

std::vector<std::uint8_t> EncodedMusic() {
    static std::vector<std::uint8_t> bytes = [] {
        const std::string path = std::string(COBBLE_BINARY_DIR) + "/audio_bench_music.ogg";
        const std::string command =
            std::string(OGG_FIXTURE_TOOL) + " 44100 2 " + std::to_string(44100 * 10) + " 440 0.5 " + path;
        if (std::system(command.c_str()) != 0) return std::vector<std::uint8_t>();
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

void OggDecode(benchmark::State& state) {
    const std::vector<std::uint8_t> ogg = EncodedMusic();
    if (ogg.empty()) {
        state.SkipWithError("the Ogg encoder did not run");
        return;
    }
    CBenchGame game;
    game.m_pSoundSystem = new CRateOnlySoundSystem;
    std::vector<short> mix(1024);
    const int calls = static_cast<int>(kSeconds * kOutputRate / 1024);
    double spent = 0;
    long long samples = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        CStreamingProviderOGG provider(&game);
        auto* file = new CMemoryFile;
        void* copy = std::malloc(ogg.size());
        std::memcpy(copy, ogg.data(), ogg.size());
        file->Attach(copy, static_cast<int>(ogg.size()));
        if (!provider.LoadStreamFromFile(file, "music.ogg")) {
            state.SkipWithError("the Ogg file did not load");
            return;
        }
        provider.SetVolume(128);
        provider.Start(false);
        for (int i = 0; i < calls && provider.IsPlaying(); ++i, samples += 1024)
            provider.UpdateBufferAdd(mix.data(), 1024);
        spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(mix[0]);
    }
    // Seconds of output produced per second of work.
    state.counters["x_realtime"] = static_cast<double>(samples) / kOutputRate / spent;
}
BENCHMARK(OggDecode)->Name("ogg_decode")->Unit(benchmark::kMillisecond);

}  // namespace

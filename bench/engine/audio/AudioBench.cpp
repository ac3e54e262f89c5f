// Mixing cost as a share of real time and against SDL2_mixer, and Ogg music against the decoders
// alone.
//   mix_16_channels: "pct_of_realtime" is the time to mix 10 s of 48 kHz output with 16 effect
//   voices, as a percentage of those 10 s on one core (goal: below 0.5).
//   ogg_track_vs_*: one of the game's own music tracks (as the content build renders and encodes
//   it: mono, 22,050 Hz, about 40 kbit/s) played through our stream provider into the 48 kHz
//   mix, against Tremor alone decoding the same bytes to PCM (our decoder; the provider adds the
//   resampling and the mixing) and against stb_vorbis decoding them whole (see RatioTimer.h).
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <stb_vorbis.h>
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "RatioTimer.h"
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

// Opens the mixer (no device, no audio thread) with sixteen looping effects at the rates the game's
// files use playing: their WAV images and the effects (kept alive by the caller). False, with the
// benchmark marked, on failure.
struct TSixteenEffects {
    std::vector<std::vector<std::uint8_t>> images;
    std::vector<std::unique_ptr<SoundFX>> effects;
};

bool OpenWithSixteenEffects(benchmark::State& state, Sound& mixer, bool stereo, TSixteenEffects& out) {
    platform::PcmUseBackend(platform::PcmBackendKind::Null);
    mixer.SetAudioThreadEnabled(false);
    if (!mixer.open(kOutputRate, 16, stereo, 1, 16)) {
        state.SkipWithError("mixer did not open");
        return false;
    }
    const int rates[] = {22050, 44100, 48000, 11025};
    for (int i = 0; i < 16; ++i) {
        out.images.push_back(WavImage(rates[i % 4], rates[i % 4] / 2, 220.0 + 50 * i));
        out.effects.push_back(std::make_unique<SoundFX>());
        if (!out.effects.back()->load(out.images.back().data(), out.images.back().size())) {
            state.SkipWithError("effect did not load");
            return false;
        }
        out.effects.back()->loop(true);
        mixer.playSFX(out.effects.back().get());
    }
    return true;
}

void MixSixteenChannels(benchmark::State& state) {
    Sound mixer;
    TSixteenEffects voices;
    if (!OpenWithSixteenEffects(state, mixer, false, voices)) return;
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

}  // namespace

// SDL2_mixer mixes on SDL's audio thread, paced by a device. To time its mix on this thread, the
// benchmark stands in for SDL's audio device: opening one only keeps the mixer's callback, which
// the benchmark then calls for each fragment; locking and pausing do nothing. (These definitions
// take the place of libSDL2's for this program alone.)
namespace sdl_device {
SDL_AudioCallback callback = nullptr;
void* userdata = nullptr;
}  // namespace sdl_device

extern "C" SDL_AudioDeviceID SDL_OpenAudioDevice(const char*, int, const SDL_AudioSpec* desired,
                                                 SDL_AudioSpec* obtained, int) {
    sdl_device::callback = desired->callback;
    sdl_device::userdata = desired->userdata;
    if (obtained != nullptr) {
        *obtained = *desired;
        obtained->size = desired->samples * desired->channels * SDL_AUDIO_BITSIZE(desired->format) / 8;
    }
    return 1;
}
extern "C" void SDL_CloseAudioDevice(SDL_AudioDeviceID) { sdl_device::callback = nullptr; }
extern "C" void SDL_LockAudioDevice(SDL_AudioDeviceID) {}
extern "C" void SDL_UnlockAudioDevice(SDL_AudioDeviceID) {}
extern "C" void SDL_PauseAudioDevice(SDL_AudioDeviceID, int) {}

namespace {

// Sixteen looping effects at 48 kHz, mono or stereo, through our mixer and through SDL2_mixer, in
// fragments of the same length, 10 s of output per iteration. SDL2_mixer converts each chunk to
// the output rate when it loads it and only adds at play time (its best case); our mixer
// resamples the game's files (11,025 to 48,000 Hz) as it mixes.
void BM_Mix16Voices_vs_SDL2_mixer(benchmark::State& state) {
    const bool stereo = state.range(0) != 0;
    Sound mixer;
    TSixteenEffects voices;
    if (!OpenWithSixteenEffects(state, mixer, stereo, voices)) return;
    const int frames = mixer.FragmentBytes() / 4;
    const int fragments = static_cast<int>(kSeconds * kOutputRate / frames);
    const int channels = stereo ? 2 : 1;

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, channels, frames) != 0 || sdl_device::callback == nullptr) {
        state.SkipWithError("SDL2_mixer did not open");
        return;
    }
    Mix_AllocateChannels(16);
    std::vector<Mix_Chunk*> chunks;
    for (const auto& image : voices.images) {
        chunks.push_back(Mix_LoadWAV_RW(SDL_RWFromConstMem(image.data(), static_cast<int>(image.size())), 1));
        if (chunks.back() == nullptr || Mix_PlayChannel(-1, chunks.back(), -1) < 0) {
            state.SkipWithError("SDL2_mixer did not take an effect");
            return;
        }
    }
    std::vector<Uint8> out(static_cast<std::size_t>(frames) * channels * 2);
    bench::RunAgainst(
        state, 0.8,
        [&] {
            for (int f = 0; f < fragments; ++f) mixer.UpdateAudioBuffer();
            benchmark::DoNotOptimize(mixer.OutputBlock()[0]);
        },
        [&] {
            for (int f = 0; f < fragments; ++f)
                sdl_device::callback(sdl_device::userdata, out.data(), static_cast<int>(out.size()));
            benchmark::DoNotOptimize(out[0]);
        });
    if (mixer.playingChannelSFX() != 16 || Mix_Playing(-1) != 16) state.SkipWithError("voices stopped");
    Mix_HaltChannel(-1);
    for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
    Mix_CloseAudio();
}
BENCHMARK(BM_Mix16Voices_vs_SDL2_mixer)->ArgName("stereo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

const std::vector<std::uint8_t>& GameTrack() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::ifstream in(GAME_TRACK_PATH, std::ios::binary);
        return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

// Plays the whole track through the provider into a 48 kHz mix; false when it does not load.
bool PlayThroughProvider(CBenchGame& game, const std::vector<std::uint8_t>& ogg, std::vector<short>& mix) {
    CStreamingProviderOGG provider(&game);
    auto* file = new CMemoryFile;
    void* copy = std::malloc(ogg.size());
    std::memcpy(copy, ogg.data(), ogg.size());
    file->Attach(copy, static_cast<int>(ogg.size()));
    if (!provider.LoadStreamFromFile(file, "music.ogg")) return false;
    provider.SetVolume(128);
    provider.Start(false);
    while (provider.IsPlaying()) provider.UpdateBufferAdd(mix.data(), static_cast<int>(mix.size()));
    benchmark::DoNotOptimize(mix[0]);
    return true;
}

struct TMemorySource {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at = 0;
};

ov_callbacks MemoryCallbacks() {
    ov_callbacks c;
    c.read_func = [](void* out, size_t size, size_t count, void* source) -> size_t {
        auto* m = static_cast<TMemorySource*>(source);
        const std::size_t n = std::min(size * count, m->bytes->size() - m->at);
        std::memcpy(out, m->bytes->data() + m->at, n);
        m->at += n;
        return n;
    };
    c.seek_func = [](void* source, ogg_int64_t offset, int whence) -> int {
        auto* m = static_cast<TMemorySource*>(source);
        const long long base = whence == SEEK_SET   ? 0
                               : whence == SEEK_CUR ? static_cast<long long>(m->at)
                                                    : static_cast<long long>(m->bytes->size());
        const long long to = base + offset;
        if (to < 0 || to > static_cast<long long>(m->bytes->size())) return -1;
        m->at = static_cast<std::size_t>(to);
        return 0;
    };
    c.close_func = [](void*) { return 0; };
    c.tell_func = [](void* source) { return static_cast<long>(static_cast<TMemorySource*>(source)->at); };
    return c;
}

// Tremor alone: the same bytes opened the same way and decoded to 16-bit PCM, 4 KiB per call.
bool DecodeWithTremor(const std::vector<std::uint8_t>& ogg, std::vector<char>& pcm) {
    TMemorySource source{&ogg};
    OggVorbis_File vf;
    if (ov_open_callbacks(&source, &vf, nullptr, 0, MemoryCallbacks()) < 0) return false;
    int bitstream = 0;
    long got = 0;
    while ((got = ov_read(&vf, pcm.data(), static_cast<int>(pcm.size()), &bitstream)) > 0)
        benchmark::DoNotOptimize(pcm[0]);
    ov_clear(&vf);
    return got == 0;
}

// Decodes the whole track through the provider, block by block, without mixing; false when it
// does not load.
bool DecodeThroughProvider(CBenchGame& game, const std::vector<std::uint8_t>& ogg) {
    CStreamingProviderOGG provider(&game);
    auto* file = new CMemoryFile;
    void* copy = std::malloc(ogg.size());
    std::memcpy(copy, ogg.data(), ogg.size());
    file->Attach(copy, static_cast<int>(ogg.size()));
    if (!provider.LoadStreamFromFile(file, "music.ogg")) return false;
    provider.Start(false);
    std::size_t total = 0;
    while (const std::size_t got = provider.DecodeNextBlock()) total += got;
    benchmark::DoNotOptimize(total);
    return total > 0;
}

// Decoding alone on both sides: the provider's decoder (Tremor through our file callbacks into the
// play block) against Tremor alone on the same bytes.
void BM_OggDecode_vs_Tremor(benchmark::State& state) {
    const std::vector<std::uint8_t>& ogg = GameTrack();
    CBenchGame game;
    game.m_pSoundSystem = new CRateOnlySoundSystem;
    std::vector<char> pcm(4096);
    bool ok = !ogg.empty();
    bench::RunAgainst(
        state, 1.03, [&] { ok &= DecodeThroughProvider(game, ogg); }, [&] { ok &= DecodeWithTremor(ogg, pcm); });
    if (!ok) state.SkipWithError("the game's track did not play");
}
BENCHMARK(BM_OggDecode_vs_Tremor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The mix on a row of its own: playing the track into the 48 kHz mix (decoding, resampling,
// mixing) against Tremor decoding alone (goal: at most 1.05). Its excess over the decoding row
// above is what the play adds to the decode: resampling the 22,050 Hz track to 48 kHz and adding
// it into the mix at the music volume.
void BM_OggPlayIntoMix_vs_TremorDecode(benchmark::State& state) {
    const std::vector<std::uint8_t>& ogg = GameTrack();
    CBenchGame game;
    game.m_pSoundSystem = new CRateOnlySoundSystem;
    std::vector<short> mix(1024);
    std::vector<char> pcm(4096);
    bool ok = !ogg.empty();
    bench::RunAgainst(
        state, 1.05, [&] { ok &= PlayThroughProvider(game, ogg, mix); }, [&] { ok &= DecodeWithTremor(ogg, pcm); });
    if (!ok) state.SkipWithError("the game's track did not play");
}
BENCHMARK(BM_OggPlayIntoMix_vs_TremorDecode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OggTrack_vs_StbVorbis(benchmark::State& state) {
    const std::vector<std::uint8_t>& ogg = GameTrack();
    CBenchGame game;
    game.m_pSoundSystem = new CRateOnlySoundSystem;
    std::vector<short> mix(1024);
    bool ok = !ogg.empty();
    // No goal: stb_vorbis decodes in floating point, while the system's decoder is Tremor, the
    // fixed-point one; this row shows what that choice costs.
    bench::RunAgainst(
        state, 0.0, [&] { ok &= PlayThroughProvider(game, ogg, mix); },
        [&] {
            int channels = 0, rate = 0;
            short* pcm = nullptr;
            ok &= stb_vorbis_decode_memory(ogg.data(), static_cast<int>(ogg.size()), &channels, &rate, &pcm) > 0;
            benchmark::DoNotOptimize(pcm);
            std::free(pcm);
        });
    if (!ok) state.SkipWithError("the game's track did not play");
}
BENCHMARK(BM_OggTrack_vs_StbVorbis)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

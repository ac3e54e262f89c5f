// Fixtures shared by the audio tests: WAV images built byte by byte, memory files over bytes,
// a game object that reads files from the disk, a sound system that records what it is asked,
// and Ogg Vorbis files encoded on the spot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/SoundSystem.h"
#include "core/MemFile.h"
#include "testsupport/FakeSoundHost.h"
#include "testsupport/MemoryFiles.h"
#include "testsupport/StubSoundSystem.h"

namespace audio_test {

using Bytes = std::vector<std::uint8_t>;

void PutLe16(Bytes& b, unsigned v);
void PutLe32(Bytes& b, std::uint32_t v);
void PutTag(Bytes& b, const char* tag);

// A RIFF WAVE image: fmt chunk (16 bytes of fields plus `fmtExtra`), then `between` (whole
// chunks, already encoded), then a data chunk whose size field is dataSizeField (or the real
// size when negative), then `after`.
struct TWavSpec {
    int formatTag = 1;
    int channels = 1;
    int rate = 48000;
    int bits = 16;
    int blockAlign = 0;  // 0: channels x bits / 8
    Bytes fmtExtra;
    Bytes between;
    Bytes data;
    long long dataSizeField = -1;
    Bytes after;
};
Bytes BuildWav(const TWavSpec& spec);
// One whole chunk with its header.
Bytes Chunk(const char* tag, const Bytes& payload);
// 16-bit little-endian samples as bytes.
Bytes Samples16(const std::vector<std::int16_t>& samples);

// Writes bytes to a fresh file below the test's temporary directory; returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);

// An Ogg Vorbis file of `frames` frames of a sine (same in every channel) at `amplitude`
// (0..1), encoded with libvorbisenc.
Bytes EncodeOggSine(int rate, int channels, int frames, double hz, double amplitude);

// The sound host for tests: files come from the disk (paths as given, no directories or paks of
// its own unless a test sets them), the switches are plain fields.
class CTestGame : public CFakeSoundHost {
public:
    CTestGame();
    CommonString GetModuleDirectory() override { return CommonString(moduleDir.c_str()); }
    bool IsSoundOn() override { return soundOn; }
    bool IsMusicOn() override { return musicOn; }

    std::string moduleDir;
    bool soundOn = true;
    bool musicOn = true;
};

// Records every call; loads hand out ids from nextId, PlaySFX returns playResult.
class CRecordingSoundSystem : public CStubSoundSystem {
public:
    int LoadWAV(const char* name) override;
    int PlaySFX(int id, bool loop) override;
    void StopSFX(int id, int channel) override;
    void UnloadWAV(int id) override;
    int PlayStream(int id, bool asSound, bool loop) override;
    int StopStream(int id) override;
    int StopStreamWithFadeOut(int id, FIXED_FLOAT seconds) override;
    int PlayStreamWithFadeIn(int id, bool asSound, bool loop, FIXED_FLOAT seconds) override;
    int GetSamplingRate() override { return rate; }

    int rate = 48000;
    int nextId = 0;
    bool failLoads = false;
    int playResult = 3;
    std::vector<std::string> calls;  // e.g. "LoadWAV snd\\a.wav", "PlaySFX 2 0"
};

}  // namespace audio_test

// The rules both WAV readers follow, so that an effect and a stream accept the same files: the
// RIFF/WAVE magic, which codings are played, the rate's bounds, and RIFF's pad byte after a chunk
// of odd size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wav_format {

enum class ECoding { Pcm, MsAdpcm };

// What a "fmt " chunk says, once accepted.
struct TFormat {
    ECoding coding = ECoding::Pcm;
    int formatTag = 0;
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    int bits = 0;
};

// The first 12 bytes of the file are "RIFF", a size and "WAVE".
[[nodiscard]] bool IsRiffWave(const std::uint8_t* first12);

// Decodes the body of a "fmt " chunk (`size` bytes; at least 16 are needed, 40 for the extensible
// form). Accepted: 8- or 16-bit PCM (format 1, or the extensible format whose sub-format is PCM)
// and 4-bit MS-ADPCM (format 2), 1 or 2 channels, a rate from 1 to audio_config::kMaxSourceRateHz.
// Everything else (A-law, mu-law, float, other bit depths) is refused: false, out untouched.
[[nodiscard]] bool DecodeFormat(const std::uint8_t* fmt, std::size_t size, TFormat& out);

// Where the chunk after the one at `pos` with a size field of `size` starts: RIFF pads a chunk of
// odd size with one byte that its size does not count.
inline std::uint64_t NextChunk(std::uint64_t pos, std::uint32_t size) {
    return pos + 8 + static_cast<std::uint64_t>(size) + (size & 1u);
}

}  // namespace wav_format

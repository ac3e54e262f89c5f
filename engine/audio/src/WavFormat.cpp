#include "WavFormat.h"

#include <cstring>

#include "WavBytes.h"
#include "audio/AudioConfig.h"

namespace wav_format {
namespace {

constexpr int kTagPcm = 1;
constexpr int kTagMsAdpcm = 2;
constexpr int kTagExtensible = 0xFFFE;

// The extensible form names its coding by a GUID at byte 24 of the chunk; PCM's is
// 00000001-0000-0010-8000-00AA00389B71.
constexpr std::uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                            0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool IsExtensiblePcm(const std::uint8_t* fmt, std::size_t size) {
    return size >= 40 && wav_bytes::Le16(fmt + 16) >= 22 && std::memcmp(fmt + 24, kPcmSubFormat, 16) == 0;
}

}  // namespace

bool IsRiffWave(const std::uint8_t* first12) {
    return std::memcmp(first12, "RIFF", 4) == 0 && std::memcmp(first12 + 8, "WAVE", 4) == 0;
}

bool DecodeFormat(const std::uint8_t* fmt, std::size_t size, TFormat& out) {
    if (fmt == nullptr || size < 16) return false;
    TFormat f;
    f.formatTag = static_cast<int>(wav_bytes::Le16(fmt));
    f.channels = static_cast<int>(wav_bytes::Le16(fmt + 2));
    const std::uint32_t rate = wav_bytes::Le32(fmt + 4);
    f.blockAlign = static_cast<int>(wav_bytes::Le16(fmt + 12));
    f.bits = static_cast<int>(wav_bytes::Le16(fmt + 14));
    if (f.channels < 1 || f.channels > 2) return false;
    if (rate == 0 || rate > static_cast<std::uint32_t>(audio_config::kMaxSourceRateHz)) return false;
    f.rate = static_cast<int>(rate);
    if (f.formatTag == kTagPcm || (f.formatTag == kTagExtensible && IsExtensiblePcm(fmt, size))) {
        if (f.bits != 8 && f.bits != 16) return false;
        f.coding = ECoding::Pcm;
    } else if (f.formatTag == kTagMsAdpcm && f.bits == 4) {
        f.coding = ECoding::MsAdpcm;
    } else {
        return false;
    }
    out = f;
    return true;
}

}  // namespace wav_format

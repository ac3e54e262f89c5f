#include "audio/SoundFX.h"

#include <cstdlib>
#include <cstring>

#include "WavBytes.h"
#include "WavFormat.h"

bool ParseWavLayout(const std::uint8_t* image, std::size_t size, TWavLayout* out) {
    // RIFF header (12), fmt chunk header (8) and the 16 bytes of format fields.
    if (!image || size < 36 || !wav_format::IsRiffWave(image) || std::memcmp(image + 12, "fmt ", 4) != 0) return false;
    const std::uint64_t fmtSize = wav_bytes::Le32(image + 16);
    if (fmtSize < 16 || 20 + fmtSize > size) return false;
    wav_format::TFormat format;
    if (!wav_format::DecodeFormat(image + 20, static_cast<std::size_t>(fmtSize), format)) return false;
    TWavLayout layout;
    layout.formatTag = format.formatTag;
    layout.adpcm = format.coding == wav_format::ECoding::MsAdpcm;
    layout.channels = format.channels;
    layout.rate = format.rate;
    layout.blockAlign = format.blockAlign;
    layout.bits = format.bits;
    layout.fmtOffset = 20;
    layout.fmtSize = static_cast<std::size_t>(fmtSize);

    // Chunks behind fmt are skipped until "data"; the walk never leaves the image, and a data
    // chunk claiming more than is there is cut to what is there.
    std::uint64_t pos = wav_format::NextChunk(12, static_cast<std::uint32_t>(fmtSize));
    while (pos + 8 <= size) {
        const std::uint32_t chunkSize = wav_bytes::Le32(image + pos + 4);
        if (std::memcmp(image + pos, "data", 4) == 0) {
            layout.dataOffset = static_cast<std::size_t>(pos + 8);
            layout.dataSize =
                static_cast<std::size_t>(chunkSize < size - layout.dataOffset ? chunkSize : size - layout.dataOffset);
            *out = layout;
            return true;
        }
        pos = wav_format::NextChunk(pos, chunkSize);
    }
    return false;
}

SoundFX::~SoundFX() { destroy(); }

void SoundFX::destroy() {
    if (m_ownsData) std::free(const_cast<std::uint8_t*>(m_data));
    m_data = nullptr;
    m_ownsData = false;
    m_length = 0;
}

bool SoundFX::load(const void* image, std::size_t size) {
    destroy();
    TWavLayout layout;
    if (!ParseWavLayout(static_cast<const std::uint8_t*>(image), size, &layout)) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(image);
    const std::uint8_t* samples = bytes + layout.dataOffset;
    std::size_t dataSize = layout.dataSize;

    m_rate = layout.rate;
    if (layout.adpcm) {
        if (init_MSADPCM(bytes + layout.fmtOffset, layout.fmtSize) != 0) return false;
        if (decode_MSADPCM(&samples, &dataSize, false) != 0) return false;
        m_data = samples;
        m_ownsData = true;
        m_8bit = false;
        m_length = static_cast<std::uint32_t>(dataSize / 2);
    } else if (layout.bits == 8) {
        m_length = static_cast<std::uint32_t>(dataSize);
        m_8bit = true;
        m_data = samples;
    } else {
        m_length = static_cast<std::uint32_t>(dataSize / 2);
        m_8bit = false;
        m_data = samples;
    }
    m_channels = layout.channels;
    if (m_channels == 2) m_length /= 2;
    m_frequency = m_rate;
    return true;
}

void SoundFX::volume(int v) { m_volume = (v > 63 || v < 0) ? 64 : v; }

void SoundFX::pan(int p) { m_pan = p > 254 ? 255 : (p < 0 ? 0 : p); }

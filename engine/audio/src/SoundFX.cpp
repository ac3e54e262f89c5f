#include "audio/SoundFX.h"

#include <cstdlib>
#include <cstring>

#include "WavBytes.h"

bool ParseWavLayout(const std::uint8_t* image, std::size_t size, TWavLayout* out) {
    // RIFF header (12), fmt chunk header (8) and the 16 bytes of format fields.
    if (!image || size < 36 || std::memcmp(image + 12, "fmt ", 4) != 0) return false;
    const std::uint64_t fmtSize = wav_bytes::Le32(image + 16);
    if (fmtSize < 16 || 20 + fmtSize > size) return false;
    TWavLayout layout;
    layout.formatTag = wav_bytes::Le16(image + 20);
    layout.channels = wav_bytes::Le16(image + 22);
    layout.rate = static_cast<int>(wav_bytes::Le32(image + 24) & 0x7FFFFFFF);
    layout.blockAlign = wav_bytes::Le16(image + 32);
    layout.bits = wav_bytes::Le16(image + 34);
    layout.fmtOffset = 20;
    layout.fmtSize = static_cast<std::size_t>(fmtSize);
    if (layout.bits != 8 && layout.bits != 4 && layout.bits != 16) return false;
    if (layout.channels < 1 || layout.channels > 2 || layout.rate == 0) return false;

    // Chunks behind fmt are skipped until "data"; the walk never leaves the image, and a data
    // chunk claiming more than is there is cut to what is there.
    std::uint64_t pos = 20 + fmtSize;
    while (pos + 8 <= size) {
        const std::uint64_t chunkSize = wav_bytes::Le32(image + pos + 4);
        if (std::memcmp(image + pos, "data", 4) == 0) {
            layout.dataOffset = static_cast<std::size_t>(pos + 8);
            layout.dataSize =
                static_cast<std::size_t>(chunkSize < size - layout.dataOffset ? chunkSize : size - layout.dataOffset);
            *out = layout;
            return true;
        }
        pos += 8 + chunkSize;
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
    if (layout.bits == 8) {
        m_length = static_cast<std::uint32_t>(dataSize);
        m_8bit = true;
        m_data = samples;
    } else if (layout.bits == 16) {
        m_length = static_cast<std::uint32_t>(dataSize / 2);
        m_8bit = false;
        m_data = samples;
    } else {
        if (layout.formatTag != 2) return false;
        if (init_MSADPCM(bytes + layout.fmtOffset, layout.fmtSize) != 0) return false;
        if (decode_MSADPCM(&samples, &dataSize, false) != 0) return false;
        m_data = samples;
        m_ownsData = true;
        m_8bit = false;
        m_length = static_cast<std::uint32_t>(dataSize / 2);
    }
    m_channels = layout.channels;
    if (m_channels == 2) m_length /= 2;
    m_frequency = m_rate;
    return true;
}

void SoundFX::volume(int v) { m_volume = (v > 63 || v < 0) ? 64 : v; }

void SoundFX::pan(int p) { m_pan = p > 254 ? 255 : (p < 0 ? 0 : p); }

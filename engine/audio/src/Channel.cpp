#include "audio/Channel.h"

void Channel::volume(unsigned v) {
    m_volume = v > 63 ? 64 : v;
    m_effectiveVolume = (m_master * static_cast<int>(m_volume)) >> 6;
}

void Channel::pan(unsigned p) { m_pan = p > 254 ? 255 : p; }

void Channel::frequency(unsigned hz) {
    m_frequency = hz;
    m_recompute = true;
}

void Channel::speed(unsigned s) {
    m_speed = s > 255 ? 255 : s;
    const std::uint64_t base = m_baseFrequency;
    // 64-bit products: a 48 kHz base times 512 times the speed leaves 32 bits.
    if (m_speed > 128) {
        frequency(static_cast<unsigned>((m_speed * 512ULL * base) >> 16));
    } else if (m_speed < 128) {
        frequency(static_cast<unsigned>((base * 65536ULL) / ((256ULL - m_speed) * 512ULL)));
    } else {
        frequency(static_cast<unsigned>(base));
    }
}

ModChannel::ModChannel(const int& masterVolume) : Channel(masterVolume) {
    for (int& v : m_baseVolume) v = 64;
}

void ModChannel::volume(unsigned v) {
    Channel::volume(v);
    for (int i = 0; i < kVoices; ++i) m_scaledVolume[i] = (m_baseVolume[i] * m_effectiveVolume) >> 6;
}

void ModChannel::pan(unsigned p) {
    Channel::pan(p);
    const int q = static_cast<int>(255 - m_pan) >> 2;
    m_panMap[0] = q + 64;
    m_panMap[1] = 192 - q;
    m_panMap[2] = 192 - q;
    m_panMap[3] = q + 64;
}

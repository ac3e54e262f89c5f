#include "soundgen/Wav.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "soundgen/Dsp.h"

namespace soundgen {

namespace {

void Put16(std::uint8_t* at, unsigned v) {
    at[0] = static_cast<std::uint8_t>(v & 0xFF);
    at[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void Put32(std::uint8_t* at, std::uint32_t v) {
    Put16(at, v & 0xFFFF);
    Put16(at + 2, v >> 16);
}

}  // namespace

std::int16_t ToPcm16(float x) {
    const double v = std::round(static_cast<double>(x) * 32767.0);
    return static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
}

std::vector<std::uint8_t> EncodeWav(const Samples& s) {
    const auto dataBytes = static_cast<std::uint32_t>(s.size() * 2);
    std::vector<std::uint8_t> b(44 + static_cast<std::size_t>(dataBytes));
    std::uint8_t* h = b.data();
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + dataBytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1);  // PCM
    Put16(h + 22, 1);  // mono
    Put32(h + 24, kSampleRate);
    Put32(h + 28, kSampleRate * 2);  // bytes per second
    Put16(h + 32, 2);                // block align
    Put16(h + 34, 16);               // bits
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, dataBytes);
    for (std::size_t i = 0; i < s.size(); ++i) Put16(h + 44 + 2 * i, static_cast<std::uint16_t>(ToPcm16(s[i])));
    return b;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot create " + path;
        return false;
    }
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !wrote) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace soundgen

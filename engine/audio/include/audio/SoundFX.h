// A sound effect held whole in memory: 8-bit or 16-bit PCM read in place from a RIFF WAVE
// image, or MS-ADPCM decoded to 16-bit PCM when loaded. The mixer (Sound) plays it on its
// channels; the device sound system owns both the SoundFX and the image it points into.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the parts of a RIFF WAVE image lie, as found by ParseWavLayout.
struct TWavLayout {
    int formatTag = 0;
    bool adpcm = false;  // MS-ADPCM; otherwise PCM (plain or extensible)
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    int bits = 0;
    std::size_t fmtOffset = 0;   // first byte of the fmt chunk's data (20)
    std::size_t fmtSize = 0;     // its declared size, known to lie inside the image
    std::size_t dataOffset = 0;  // first sample byte
    std::size_t dataSize = 0;    // clamped to the bytes the image really holds
};

// Reads the header of a WAVE image of `size` bytes: "RIFF" and "WAVE", "fmt " at byte 12 with
// at least 16 bytes of a coding the engine plays (8- or 16-bit PCM, plain or extensible, or 4-bit
// MS-ADPCM), 1 or 2 channels, a rate from 1 to audio_config::kMaxSourceRateHz, and a "data"
// chunk found by walking the chunks behind fmt (with RIFF's pad byte after an odd size) without
// leaving the image. False (nothing else touched) otherwise.
[[nodiscard]] bool ParseWavLayout(const std::uint8_t* image, std::size_t size, TWavLayout* out);

// The per-channel state of the MS-ADPCM decoder.
struct TMsAdpcmState {
    int predictor = 0;
    std::uint16_t delta = 0;
    int sample1 = 0;
    int sample2 = 0;
};

class SoundFX {
public:
    static constexpr int kAdpcmCoefficientPairs = 7;

    SoundFX() = default;
    SoundFX(const SoundFX&) = delete;
    SoundFX& operator=(const SoundFX&) = delete;
    virtual ~SoundFX();

    // Parses a WAVE image of `size` bytes. PCM samples are used in place, so the image must
    // outlive this effect; MS-ADPCM is decoded into a block this effect owns. False leaves the
    // effect without data.
    [[nodiscard]] bool load(const void* image, std::size_t size);
    // Frees decoded data and forgets the samples.
    void destroy();

    // The MS-ADPCM steps of load. init reads the coefficient table from the fmt chunk's data
    // (fmtSize bytes); decode turns `size` bytes at `data` into 16-bit samples, replacing *data
    // and *size with a malloc'ed block this effect then owns. Both return 0 or -1.
    int init_MSADPCM(const std::uint8_t* fmt, std::size_t fmtSize);
    int decode_MSADPCM(const std::uint8_t** data, std::size_t* size, bool freeSource);
    // One nibble (0..15) through a channel's state; returns the new sample.
    static int nibble_MSADPCM(TMsAdpcmState& state, int nibble, const int coefficients[2]);

    // Setters clamp as the mixer expects: volume outside 0..63 becomes 64, pan above 254 255.
    void volume(int v);
    int volume() const { return m_volume; }
    void frequency(int hz) { m_frequency = hz; }
    int frequency() const { return m_frequency; }
    void loop(bool on) { m_loop = on; }
    bool loop() const { return m_loop; }
    void pan(int p);
    int pan() const { return m_pan; }
    void speed(int s) { m_speed = s < 0 ? 0 : (s > 255 ? 255 : s); }
    int speed() const { return m_speed; }
    void maxplaybacks(int n) { m_maxPlaybacks = n; }
    int maxplaybacks() const { return m_maxPlaybacks; }

    const std::uint8_t* data() const { return m_data; }
    bool is8Bit() const { return m_8bit; }
    int rate() const { return m_rate; }
    // Length in sample frames.
    std::uint32_t length() const { return m_length; }
    int channels() const { return m_channels; }

private:
    const std::uint8_t* m_data = nullptr;
    bool m_ownsData = false;
    bool m_8bit = false;
    int m_rate = 0;
    int m_frequency = 0;
    std::uint32_t m_length = 0;
    int m_channels = 1;
    int m_volume = 64;
    bool m_loop = false;
    int m_pan = 128;
    int m_speed = 128;
    int m_maxPlaybacks = -1;

    // MS-ADPCM format as read by init_MSADPCM.
    int m_adpcmChannels = 0;
    int m_adpcmBlockAlign = 0;
    int m_samplesPerBlock = 0;
    int m_coefficients[kAdpcmCoefficientPairs][2] = {};
    TMsAdpcmState m_state[2];
};

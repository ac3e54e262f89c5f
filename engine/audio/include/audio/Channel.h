// One voice of the mixer. The mixer (Sound) loads a voice from an effect in playSFX and steps
// it through the effect's samples in its fragment mix; the game thread starts, stops and
// pauses voices only through the mixer, under its lock.
#pragma once

#include <cstdint>

class Channel {
public:
    // masterVolume is the pool's master volume (0..64), owned by the mixer, read on every volume().
    explicit Channel(const int& masterVolume) : m_master(masterVolume) {}
    virtual ~Channel() = default;

    // v above 63 becomes 64; the effective volume follows the pool's master volume.
    virtual void volume(unsigned v);
    // p above 254 becomes 255; 128 is the centre, 0 all left.
    virtual void pan(unsigned p);

    unsigned volume() const { return m_volume; }
    unsigned pan() const { return m_pan; }
    int effectiveVolume() const { return m_effectiveVolume; }
    // Sets the playing frequency in Hz; the mixer derives a new step on its next pass.
    void frequency(unsigned hz);
    unsigned frequency() const { return m_frequency; }
    // 128 plays at the base frequency, 255 nearly doubles it, 0 halves it (values above 255: 255).
    void speed(unsigned s);
    unsigned speed() const { return m_speed; }
    void loop(bool on) { m_loop = on; }
    bool loop() const { return m_loop; }

    void play() { m_stopped = m_paused = false; }
    void stop() {
        m_stopped = true;
        m_paused = false;
    }
    void pause() {
        if (!m_stopped) m_paused = true;
    }
    void resume() {
        if (!m_stopped) m_paused = false;
    }
    bool playing() const { return !m_stopped && !m_paused; }
    bool stopped() const { return m_stopped; }
    bool paused() const { return m_paused; }

    // Voice data, loaded by the mixer. Positions and steps carry 8 fraction bits.
    const std::uint8_t* m_data = nullptr;
    int m_dataChannels = 1;
    bool m_8bit = false;
    unsigned m_baseFrequency = 0;
    bool m_recompute = true;
    std::uint32_t m_step = 0;
    std::uint64_t m_position = 0;
    std::uint64_t m_end = 0;  // length in frames x 256

protected:
    const int& m_master;
    unsigned m_volume = 0;
    int m_effectiveVolume = 0;
    unsigned m_pan = 128;
    unsigned m_frequency = 0;
    unsigned m_speed = 128;
    bool m_loop = false;
    bool m_paused = false;
    bool m_stopped = true;
};

// A voice of the effect pool.
class SFXChannel : public Channel {
public:
    explicit SFXChannel(const int& masterVolume) : Channel(masterVolume) {
        m_data = nullptr;
        m_dataChannels = 1;
    }
};

// A voice of the module pool: carries the state of eight tracker voices. No module playback
// exists, but the pool and its volume and pan rules are kept.
class ModChannel : public Channel {
public:
    static constexpr int kVoices = 8;
    explicit ModChannel(const int& masterVolume);

    using Channel::pan;
    using Channel::volume;
    void volume(unsigned v) override;
    void pan(unsigned p) override;

    int m_baseVolume[kVoices] = {};
    int m_scaledVolume[kVoices] = {};
    int m_panMap[4] = {};
};

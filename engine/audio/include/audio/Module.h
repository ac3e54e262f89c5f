// The holder of a tracker module image. Module playback does not exist in this system; the
// holder keeps the pointer and the settings a player would read.
#pragma once

#include <cstddef>

class Module {
public:
    Module() = default;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    virtual ~Module();

    // Keeps the pointer (not owned); false for null.
    bool load(void* data);
    void destroy();

    void volume(int v) { m_volume = (v > 63 || v < 0) ? 64 : v; }
    int volume() const { return m_volume; }
    void frequency(int hz) { m_frequency = hz; }
    int frequency() const { return m_frequency; }
    void loop(bool on) { m_loop = on; }
    bool loop() const { return m_loop; }
    void pan(int p) { m_pan = p > 254 ? 255 : p; }
    int pan() const { return m_pan; }
    void* data() const { return m_data; }

private:
    void* m_data = nullptr;
    bool m_ownsData = false;
    int m_volume = 64;
    bool m_loop = false;
    int m_pan = 255;
    int m_frequency = 44100;
};

// Number of patterns of a module image of `size` bytes: 1 + the largest of the first
// song-length entries of the order table (song length at byte 950, table at 952, at most 128
// entries), 1 for song length 0, 0 when the image is too short to hold the table.
int snd_getNumPattern(const unsigned char* header, std::size_t size);

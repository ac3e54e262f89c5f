// The WAV-file sink: paced like the null sink, and every accepted sample goes into a 16-bit PCM
// WAV file, so a run can be listened to or checked by a test. The RIFF sizes are patched when
// the device closes; until then the header carries zero sizes.
#include <cstdio>
#include <cstring>

#include "PcmBackend.h"
#include "PcmPacedQueue.h"

namespace platform {
namespace {

void PutLe32(unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutLe16(unsigned char* at, std::uint16_t v) {
    at[0] = static_cast<unsigned char>(v);
    at[1] = static_cast<unsigned char>(v >> 8);
}

class CPcmWav final : public IPcmBackend {
public:
    explicit CPcmWav(std::FILE* file) : m_file(file) {}
    ~CPcmWav() override {
        WriteHeader();
        std::fclose(m_file);
    }
    const char* Name() const override { return "wav"; }
    TPcmChannelInfo ChannelInfo() override {
        return {8000, kPcmPreferredRate, kPcmMaxFragmentBytes, kPcmMaxFragmentBytes, 2};
    }
    int Params(const TPcmChannelParams& params) override {
        m_queue.Configure(params);
        m_rate = params.rate;
        m_voices = params.voices;
        return WriteHeader() ? 0 : -kPcmErrIo;
    }
    int Prepare() override {
        m_queue.Prepare();
        return 0;
    }
    int Status(TPcmChannelStatus* status) override {
        m_queue.Status(status);
        return 0;
    }
    int Write(const void* data, int bytes) override {
        const int taken = m_queue.Write(bytes);
        if (taken <= 0) return taken;
        if (std::fwrite(data, 1, static_cast<std::size_t>(taken), m_file) != static_cast<std::size_t>(taken))
            return -kPcmErrIo;
        m_dataBytes += static_cast<std::uint32_t>(taken);
        return taken;
    }
    int Drain() override {
        m_queue.Drain();
        return std::fflush(m_file) == 0 ? 0 : -kPcmErrIo;
    }

private:
    bool WriteHeader() {
        unsigned char h[44] = {};
        std::memcpy(h, "RIFF", 4);
        PutLe32(h + 4, 36 + m_dataBytes);
        std::memcpy(h + 8, "WAVEfmt ", 8);
        PutLe32(h + 16, 16);
        PutLe16(h + 20, 1);
        PutLe16(h + 22, static_cast<std::uint16_t>(m_voices));
        PutLe32(h + 24, static_cast<std::uint32_t>(m_rate));
        PutLe32(h + 28, static_cast<std::uint32_t>(m_rate * m_voices * 2));
        PutLe16(h + 32, static_cast<std::uint16_t>(m_voices * 2));
        PutLe16(h + 34, 16);
        std::memcpy(h + 36, "data", 4);
        PutLe32(h + 40, m_dataBytes);
        const long end = std::ftell(m_file);
        if (std::fseek(m_file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, m_file) != sizeof h) return false;
        if (end > static_cast<long>(sizeof h)) std::fseek(m_file, end, SEEK_SET);
        return std::fflush(m_file) == 0;
    }

    std::FILE* m_file;
    CPcmPacedQueue m_queue;
    int m_rate = kPcmPreferredRate;
    int m_voices = 2;
    std::uint32_t m_dataBytes = 0;
};

}  // namespace

std::unique_ptr<IPcmBackend> CreatePcmWav(const std::string& path, int* error) {
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "pcm: cannot create WAV sink '%s'\n", path.c_str());
        *error = -kPcmErrNoDevice;
        return nullptr;
    }
    *error = 0;
    return std::make_unique<CPcmWav>(file);
}

}  // namespace platform

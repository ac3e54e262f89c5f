// The ALSA back end: the "default" playback device. The only file that includes ALSA.
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdio>

#include "PcmBackend.h"

namespace platform {
namespace {

// ALSA prints its own complaints to stderr; a missing card is expected (CI), and our open
// reports it once through the caller instead.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

class CPcmAlsa final : public IPcmBackend {
public:
    explicit CPcmAlsa(snd_pcm_t* pcm) : m_pcm(pcm) {}
    ~CPcmAlsa() override { snd_pcm_close(m_pcm); }

    const char* Name() const override { return "alsa"; }

    TPcmChannelInfo ChannelInfo() override {
        TPcmChannelInfo info{8000, kPcmPreferredRate, kPcmMaxFragmentBytes, kPcmMaxFragmentBytes, 2};
        snd_pcm_hw_params_t* hw = nullptr;
        snd_pcm_hw_params_alloca(&hw);
        if (snd_pcm_hw_params_any(m_pcm, hw) >= 0) {
            unsigned int lo = 0, hi = 0;
            int dir = 0;
            if (snd_pcm_hw_params_get_rate_min(hw, &lo, &dir) >= 0) info.minRate = static_cast<int>(lo);
            if (snd_pcm_hw_params_get_rate_max(hw, &hi, &dir) >= 0) info.maxRate = static_cast<int>(hi);
        }
        return info;
    }

    int Params(const TPcmChannelParams& params) override {
        snd_pcm_hw_params_t* hw = nullptr;
        snd_pcm_hw_params_alloca(&hw);
        m_frameBytes = 2 * params.voices;
        m_fragmentFrames = static_cast<snd_pcm_uframes_t>(params.fragmentBytes / m_frameBytes);
        m_rate = static_cast<unsigned int>(params.rate);
        snd_pcm_uframes_t period = m_fragmentFrames;
        // Four periods of buffer: ALSA wants at least two, and a little slack avoids underruns
        // when the audio thread is scheduled late.
        snd_pcm_uframes_t buffer = m_fragmentFrames * 4;
        int dir = 0;
        int err = snd_pcm_hw_params_any(m_pcm, hw);
        if (err >= 0) err = snd_pcm_hw_params_set_access(m_pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
        if (err >= 0) err = snd_pcm_hw_params_set_format(m_pcm, hw, SND_PCM_FORMAT_S16_LE);
        if (err >= 0) err = snd_pcm_hw_params_set_channels(m_pcm, hw, static_cast<unsigned>(params.voices));
        if (err >= 0) err = snd_pcm_hw_params_set_rate_near(m_pcm, hw, &m_rate, &dir);
        if (err >= 0) err = snd_pcm_hw_params_set_period_size_near(m_pcm, hw, &period, &dir);
        if (err >= 0) err = snd_pcm_hw_params_set_buffer_size_near(m_pcm, hw, &buffer);
        if (err >= 0) err = snd_pcm_hw_params(m_pcm, hw);
        return err < 0 ? err : 0;
    }

    int Prepare() override { return std::min(0, snd_pcm_prepare(m_pcm)); }

    int Status(TPcmChannelStatus* status) override {
        snd_pcm_sframes_t avail = snd_pcm_avail_update(m_pcm);
        if (avail >= 0 && static_cast<snd_pcm_uframes_t>(avail) < m_fragmentFrames &&
            snd_pcm_state(m_pcm) == SND_PCM_STATE_RUNNING) {
            const int halfFragmentMs =
                std::max(1, static_cast<int>(m_fragmentFrames * 1000 / std::max(1u, m_rate) / 2));
            snd_pcm_wait(m_pcm, halfFragmentMs);
            avail = snd_pcm_avail_update(m_pcm);
        }
        switch (snd_pcm_state(m_pcm)) {
            case SND_PCM_STATE_SETUP:
                status->state = PcmState::Ready;
                break;
            case SND_PCM_STATE_PREPARED:
                status->state = PcmState::Prepared;
                break;
            case SND_PCM_STATE_RUNNING:
                status->state = PcmState::Running;
                break;
            case SND_PCM_STATE_XRUN:
                status->state = PcmState::Underrun;
                break;
            case SND_PCM_STATE_OPEN:
                status->state = PcmState::NotReady;
                break;
            default:
                status->state = PcmState::Error;
                break;
        }
        status->freeBytes = avail > 0 ? static_cast<int>(avail) * m_frameBytes : 0;
        status->queuedBytes = 0;
        status->underruns = m_underruns;
        return 0;
    }

    int Write(const void* data, int bytes) override {
        const snd_pcm_sframes_t frames =
            snd_pcm_writei(m_pcm, data, static_cast<snd_pcm_uframes_t>(bytes / m_frameBytes));
        if (frames == -EPIPE) {
            ++m_underruns;  // the channel is now in XRUN; the status tells the writer to prepare
            return -kPcmErrIo;
        }
        if (frames < 0) return static_cast<int>(frames);
        return static_cast<int>(frames) * m_frameBytes;
    }

    int Drain() override { return std::min(0, snd_pcm_drain(m_pcm)); }

private:
    snd_pcm_t* m_pcm;
    int m_frameBytes = 4;
    snd_pcm_uframes_t m_fragmentFrames = 1024;
    unsigned int m_rate = kPcmPreferredRate;
    int m_underruns = 0;
};

}  // namespace

std::unique_ptr<IPcmBackend> CreatePcmAlsa(int* error) {
    snd_lib_error_set_handler(&QuietAlsaErrors);
    snd_pcm_t* pcm = nullptr;
    const int err = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0 || !pcm) {
        *error = err < 0 ? err : -kPcmErrNoDevice;
        return nullptr;
    }
    *error = 0;
    return std::make_unique<CPcmAlsa>(pcm);
}

}  // namespace platform

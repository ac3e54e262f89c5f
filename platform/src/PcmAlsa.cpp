// The ALSA back end: the "default" playback device. The only file that includes ALSA.
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdio>

#include "PcmBackend.h"
#include "platform/Clock.h"
#include "platform/PcmRecovery.h"

namespace platform {
namespace {

// ALSA prints its own complaints to stderr; a missing card is expected (CI), and our open
// reports it once through the caller instead.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

// The device "default" for playback; null and *error set when it does not open.
snd_pcm_t* OpenDefault(int* error) {
    snd_pcm_t* pcm = nullptr;
    const int err = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0 || !pcm) {
        *error = err < 0 ? err : -kPcmErrNoDevice;
        return nullptr;
    }
    *error = 0;
    return pcm;
}

class CPcmAlsa final : public IPcmBackend, private IPcmRecoveryDevice {
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
        m_params = params;
        m_hasParams = true;
        return ApplyParams(m_pcm);
    }

    // Also the recovery's way to restart a stream that cannot resume.
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
        snd_pcm_state_t state = snd_pcm_state(m_pcm);
        if (state == SND_PCM_STATE_SUSPENDED || state == SND_PCM_STATE_DISCONNECTED) {
            const PcmTrouble trouble =
                state == SND_PCM_STATE_SUSPENDED ? PcmTrouble::Suspended : PcmTrouble::Disconnected;
            if (!m_inTrouble) {
                std::fprintf(stderr, "pcm: alsa device %s; recovering\n",
                             trouble == PcmTrouble::Suspended ? "suspended" : "disconnected");
                m_inTrouble = true;
            }
            const PcmRecoveryResult result = m_recovery.Step(*this, trouble, ClockNowUs());
            if (result != PcmRecoveryResult::Recovered) {
                *status = TPcmChannelStatus{};
                status->state = result == PcmRecoveryResult::Waiting ? PcmState::NotReady : PcmState::Error;
                status->underruns = m_underruns;
                return 0;
            }
            state = snd_pcm_state(m_pcm);
            avail = snd_pcm_avail_update(m_pcm);
        }
        m_inTrouble = false;
        switch (state) {
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
    int ApplyParams(snd_pcm_t* pcm) {
        snd_pcm_hw_params_t* hw = nullptr;
        snd_pcm_hw_params_alloca(&hw);
        m_frameBytes = 2 * m_params.voices;
        m_fragmentFrames = static_cast<snd_pcm_uframes_t>(m_params.fragmentBytes / m_frameBytes);
        m_rate = static_cast<unsigned int>(m_params.rate);
        snd_pcm_uframes_t period = m_fragmentFrames;
        // Four periods of buffer: ALSA wants at least two, and a little slack avoids underruns
        // when the audio thread is scheduled late.
        snd_pcm_uframes_t buffer = m_fragmentFrames * 4;
        int dir = 0;
        int err = snd_pcm_hw_params_any(pcm, hw);
        if (err >= 0) err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
        if (err >= 0) err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE);
        if (err >= 0) err = snd_pcm_hw_params_set_channels(pcm, hw, static_cast<unsigned>(m_params.voices));
        if (err >= 0) err = snd_pcm_hw_params_set_rate_near(pcm, hw, &m_rate, &dir);
        if (err >= 0) err = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, &dir);
        if (err >= 0) err = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer);
        if (err >= 0) err = snd_pcm_hw_params(pcm, hw);
        return err < 0 ? err : 0;
    }

    // The recovery's calls into ALSA (its Prepare is the back end's own, above).
    int Resume() override { return snd_pcm_resume(m_pcm); }
    int Reopen() override {
        int err = 0;
        snd_pcm_t* fresh = OpenDefault(&err);
        if (!fresh) return err;
        if (m_hasParams) {
            err = ApplyParams(fresh);
            if (err >= 0) err = std::min(0, snd_pcm_prepare(fresh));
        }
        if (err < 0) {
            snd_pcm_close(fresh);
            return err;
        }
        snd_pcm_close(m_pcm);
        m_pcm = fresh;
        return 0;
    }

    snd_pcm_t* m_pcm;
    TPcmChannelParams m_params;
    bool m_hasParams = false;
    CPcmRecovery m_recovery;
    bool m_inTrouble = false;
    int m_frameBytes = 4;
    snd_pcm_uframes_t m_fragmentFrames = 1024;
    unsigned int m_rate = kPcmPreferredRate;
    int m_underruns = 0;
};

}  // namespace

std::unique_ptr<IPcmBackend> CreatePcmAlsa(int* error) {
    snd_lib_error_set_handler(&QuietAlsaErrors);
    snd_pcm_t* pcm = OpenDefault(error);
    if (!pcm) return nullptr;
    return std::make_unique<CPcmAlsa>(pcm);
}

}  // namespace platform

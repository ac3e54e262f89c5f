// The mixer's device side: set-up of the playback channel and the audio thread's write loop.
#include <cstdio>
#include <cstring>
#include <new>

#include "audio/AudioConfig.h"
#include "audio/Sound.h"
#include "platform/Clock.h"
#include "platform/Pcm.h"

namespace {

constexpr int kDeviceVoices = 2;  // the device always takes 16-bit stereo frames

}  // namespace

bool Sound::OpenDevice() {
    using namespace platform;
    int err = PcmOpenPreferred(&m_pcm);
    if (err < 0) {
        std::printf("snd_pcm_open_name failed: %s\n", PcmErrorText(err));
        m_pcm = nullptr;
        return false;
    }
    auto fail = [this](const char* format, int code) {
        std::printf(format, PcmErrorText(code));
        PcmClose(m_pcm);
        m_pcm = nullptr;
        return false;
    };

    TPcmInfo info;
    if ((err = PcmInfo(m_pcm, &info)) < 0) return fail("snd_pcm_info failed: %s\n", err);
    m_card = info.card;

    TPcmChannelInfo channelInfo;
    if ((err = PcmChannelInfo(m_pcm, &channelInfo)) < 0) return fail("snd_pcm_channel_info failed: %s\n", err);
    m_fragmentBytes = channelInfo.minFragmentBytes;
    m_deviceRate =
        channelInfo.minRate > audio_config::kOutputRate
            ? channelInfo.minRate
            : (channelInfo.maxRate < audio_config::kOutputRate ? channelInfo.maxRate : audio_config::kOutputRate);

    TPcmChannelParams params;
    params.rate = m_deviceRate;
    params.voices = kDeviceVoices;
    params.fragmentBytes = m_fragmentBytes;
    params.fragmentsMin = 1;
    params.fragmentsMax = 1;
    params.startOnData = true;
    params.stopOnUnderrun = true;
    std::snprintf(params.subchannelName, sizeof params.subchannelName, "Wave playback channel");
    if ((err = PcmChannelParams(m_pcm, &params)) < 0) return fail("snd_pcm_channel_params failed: %s\n", err);
    if ((err = PcmChannelPrepare(m_pcm)) < 0) return fail("snd_pcm_channel_prepare failed: %s\n", err);

    TPcmMixerGroup group;
    TPcmChannelSetup setup;
    setup.mixerGroup = &group;
    if ((err = PcmChannelSetup(m_pcm, &setup)) < 0) return fail("snd_pcm_channel_setup failed: %s\n", err);
    if (group.name[0] == '\0') {
        std::printf("Mixer Pcm Group [%s] Not Set \n", group.name);
        PcmClose(m_pcm);
        m_pcm = nullptr;
        return false;
    }
    if ((err = PcmMixerOpen(&m_mixer, m_card, setup.mixerDevice)) < 0) return fail("snd_mixer_open failed: %s\n", err);

    try {
        m_output.assign(static_cast<std::size_t>(m_fragmentBytes / 2), 0);
    } catch (const std::bad_alloc&) {
        PcmMixerClose(m_mixer);
        m_mixer = nullptr;
        PcmClose(m_pcm);
        m_pcm = nullptr;
        return false;
    }
    return true;
}

void Sound::CloseDevice() {
    if (m_mixer) platform::PcmMixerClose(m_mixer);
    m_mixer = nullptr;
    if (m_pcm) {
        platform::PcmPlaybackDrain(m_pcm);
        platform::PcmClose(m_pcm);
    }
    m_pcm = nullptr;
    m_output.clear();
}

// The audio thread. One fragment is always mixed ahead, so a write follows a status poll at
// once; the status call itself waits for room, so the loop does not spin a core.
void Sound::update() {
    using namespace platform;
    UpdateAudioBuffer();
    while (!m_stopRequested.load(std::memory_order_acquire)) {
        TPcmChannelStatus status;
        PcmChannelStatus(m_pcm, &status);
        switch (status.state) {
            case PcmState::Ready:
            case PcmState::Underrun:
            case PcmState::Overrun:
                PcmChannelPrepare(m_pcm);
                break;
            case PcmState::Prepared:
            case PcmState::Running:
                if (status.freeBytes >= m_fragmentBytes) {
                    PcmWrite(m_pcm, m_output.data(), m_fragmentBytes);
                    UpdateAudioBuffer();
                }
                break;
            default: {
                // A device in a state we cannot act on: wait half a fragment before asking again.
                const int frames = m_fragmentBytes / 4;
                ClockSleepUs(static_cast<std::int64_t>(frames) * 500'000 / (m_deviceRate > 0 ? m_deviceRate : 48000));
                break;
            }
        }
    }
}

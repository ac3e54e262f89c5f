// The public PCM calls: back-end choice, order-of-call checks, then the back end does the work.
#include "platform/Pcm.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "PcmBackend.h"

namespace platform {

struct TPcmHandle {
    std::unique_ptr<IPcmBackend> backend;
    TPcmChannelParams params;
    bool hasParams = false;
};

struct TPcmMixerHandle {
    int card = 0;
};

namespace {

// Guards the back-end choice, which the first open reads (maybe from another thread than the
// one that set it in a test).
std::mutex g_choiceLock;
bool g_choiceMade = false;
PcmBackendKind g_kind = PcmBackendKind::Auto;
std::string g_wavPath;

void ReadChoiceFromEnvironment() {
    g_choiceMade = true;
    const char* value = std::getenv("COBBLE_SOUND");
    if (!PcmParseBackendSetting(value, &g_kind, &g_wavPath))
        std::fprintf(stderr, "pcm: unknown COBBLE_SOUND '%s', using auto\n", value);
}

std::unique_ptr<IPcmBackend> OpenBackend(int* error) {
    PcmBackendKind kind;
    std::string wavPath;
    {
        std::lock_guard<std::mutex> lock(g_choiceLock);
        if (!g_choiceMade) ReadChoiceFromEnvironment();
        kind = g_kind;
        wavPath = g_wavPath;
    }
    switch (kind) {
        case PcmBackendKind::Alsa:
            return CreatePcmAlsa(error);
        case PcmBackendKind::Null:
            return CreatePcmNull(error);
        case PcmBackendKind::Wav:
            return CreatePcmWav(wavPath, error);
        case PcmBackendKind::None:
            *error = -kPcmErrNoDevice;
            return nullptr;
        case PcmBackendKind::Auto:
            break;
    }
    if (auto alsa = CreatePcmAlsa(error)) return alsa;
    return CreatePcmNull(error);
}

}  // namespace

bool PcmParseBackendSetting(const char* value, PcmBackendKind* kind, std::string* wavPath) {
    wavPath->clear();
    *kind = PcmBackendKind::Auto;
    if (!value || !*value || std::strcmp(value, "auto") == 0) return true;
    if (std::strcmp(value, "alsa") == 0) {
        *kind = PcmBackendKind::Alsa;
    } else if (std::strcmp(value, "null") == 0) {
        *kind = PcmBackendKind::Null;
    } else if (std::strcmp(value, "none") == 0) {
        *kind = PcmBackendKind::None;
    } else if (std::strncmp(value, "wav:", 4) == 0 && value[4] != '\0') {
        *kind = PcmBackendKind::Wav;
        *wavPath = value + 4;
    } else {
        return false;
    }
    return true;
}

void PcmUseBackend(PcmBackendKind kind, const std::string& wavPath) {
    std::lock_guard<std::mutex> lock(g_choiceLock);
    g_choiceMade = true;
    g_kind = kind;
    g_wavPath = wavPath;
}

PcmBackendKind PcmSelectedBackend() {
    std::lock_guard<std::mutex> lock(g_choiceLock);
    if (!g_choiceMade) ReadChoiceFromEnvironment();
    return g_kind;
}

int PcmOpenPreferred(TPcmHandle** out) {
    if (!out) return -kPcmErrInvalid;
    *out = nullptr;
    int error = 0;
    auto backend = OpenBackend(&error);
    if (!backend) return error < 0 ? error : -kPcmErrNoDevice;
    auto* handle = new (std::nothrow) TPcmHandle;
    if (!handle) return -kPcmErrNoMemory;
    handle->backend = std::move(backend);
    *out = handle;
    return 0;
}

int PcmInfo(TPcmHandle* pcm, TPcmInfo* info) {
    if (!pcm || !info) return -kPcmErrInvalid;
    *info = TPcmInfo{};
    std::snprintf(info->name, sizeof info->name, "%s", pcm->backend->Name());
    return 0;
}

int PcmChannelInfo(TPcmHandle* pcm, TPcmChannelInfo* info) {
    if (!pcm || !info) return -kPcmErrInvalid;
    *info = pcm->backend->ChannelInfo();
    return 0;
}

int PcmChannelParams(TPcmHandle* pcm, const TPcmChannelParams* params) {
    if (!pcm || !params) return -kPcmErrInvalid;
    const TPcmChannelInfo info = pcm->backend->ChannelInfo();
    const int frameBytes = 2 * params->voices;
    if (params->voices < 1 || params->voices > 2 || params->rate < info.minRate || params->rate > info.maxRate ||
        params->fragmentBytes < frameBytes || params->fragmentBytes > kPcmMaxFragmentBytes ||
        params->fragmentBytes % frameBytes != 0)
        return -kPcmErrInvalid;
    const int result = pcm->backend->Params(*params);
    if (result < 0) return result;
    pcm->params = *params;
    pcm->hasParams = true;
    return 0;
}

int PcmChannelPrepare(TPcmHandle* pcm) {
    if (!pcm || !pcm->hasParams) return -kPcmErrInvalid;
    return pcm->backend->Prepare();
}

int PcmChannelSetup(TPcmHandle* pcm, TPcmChannelSetup* setup) {
    if (!pcm || !setup || !pcm->hasParams) return -kPcmErrInvalid;
    setup->rate = pcm->params.rate;
    setup->voices = pcm->params.voices;
    setup->fragmentBytes = pcm->params.fragmentBytes;
    setup->fragments = pcm->params.fragmentsMax;
    setup->mixerDevice = 0;
    if (setup->mixerGroup) {
        // The sub-channel name names the volume group, as on the phone.
        std::snprintf(setup->mixerGroup->name, sizeof setup->mixerGroup->name, "%s",
                      pcm->params.subchannelName[0] ? pcm->params.subchannelName : "PCM");
    }
    return 0;
}

int PcmChannelStatus(TPcmHandle* pcm, TPcmChannelStatus* status) {
    if (!pcm || !status) return -kPcmErrInvalid;
    *status = TPcmChannelStatus{};
    if (!pcm->hasParams) return 0;
    return pcm->backend->Status(status);
}

int PcmWrite(TPcmHandle* pcm, const void* data, int bytes) {
    if (!pcm || !data || bytes < 0 || !pcm->hasParams) return -kPcmErrInvalid;
    if (bytes % (2 * pcm->params.voices) != 0) return -kPcmErrInvalid;
    return pcm->backend->Write(data, bytes);
}

int PcmPlaybackDrain(TPcmHandle* pcm) {
    if (!pcm) return -kPcmErrInvalid;
    if (!pcm->hasParams) return 0;
    return pcm->backend->Drain();
}

int PcmClose(TPcmHandle* pcm) {
    delete pcm;
    return 0;
}

int PcmMixerOpen(TPcmMixerHandle** out, int card, int) {
    if (!out) return -kPcmErrInvalid;
    *out = new (std::nothrow) TPcmMixerHandle{card};
    return *out ? 0 : -kPcmErrNoMemory;
}

int PcmMixerClose(TPcmMixerHandle* mixer) {
    delete mixer;
    return 0;
}

const char* PcmErrorText(int code) {
    switch (-code) {
        case 0:
            return "no error";
        case kPcmErrNoDevice:
            return "no sound device";
        case kPcmErrInvalid:
            return "invalid argument or state";
        case kPcmErrIo:
            return "device input/output error";
        case kPcmErrNoMemory:
            return "out of memory";
        default:
            return "sound device error";
    }
}

}  // namespace platform

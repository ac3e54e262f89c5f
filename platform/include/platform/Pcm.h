// The PCM playback seam: the sound calls the mixer makes, shaped after the phone's sound
// library (open the preferred device, ask for its channel limits, set parameters, prepare, read
// the status with the free space, write whole fragments, drain, close) but with names of our
// own, so that they never meet ALSA's namesakes.
//
// Back ends (one is chosen per process, when the first device is opened):
//   alsa  ALSA's "default" device;
//   null  a sink that swallows the samples, paced by platform/Clock.h as a real card would be;
//   wav   the null sink's pacing, writing every sample into a 16-bit stereo WAV file;
//   none  every open fails, so the game's silent path can be run.
// COBBLE_SOUND selects one ("alsa", "null", "wav:<path>", "none"); unset or "auto" means alsa
// when it opens, else null, so a machine without a sound card still has a working device.
// PcmUseBackend overrides the variable (tests).
//
// Threads: one device handle belongs to one thread at a time (the mixer's audio thread writes,
// the game thread opens, drains and closes while no audio thread runs).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct TPcmHandle;       // an open playback device
struct TPcmMixerHandle;  // the device's mixer (volume groups); carries nothing on Linux

enum class PcmBackendKind { Auto, Alsa, Null, Wav, None };

// Error codes returned (negated) by the calls below.
inline constexpr int kPcmErrNoDevice = 19;  // nothing to open ("none", or no card for "alsa")
inline constexpr int kPcmErrInvalid = 22;   // bad argument or call out of order
inline constexpr int kPcmErrIo = 5;         // the back end failed to write or drain
inline constexpr int kPcmErrNoMemory = 12;

// Channel states reported by PcmChannelStatus.
namespace PcmState {
inline constexpr int NotReady = 0;
inline constexpr int Ready = 1;     // parameters set, not prepared
inline constexpr int Prepared = 2;  // accepts data; starts when the first fragment arrives
inline constexpr int Running = 3;
inline constexpr int Underrun = 4;  // ran dry; prepare again to go on
inline constexpr int Overrun = 5;
inline constexpr int Error = 6;
}  // namespace PcmState

inline constexpr int kPcmMaxFragmentBytes = 4096;
inline constexpr int kPcmPreferredRate = 48000;

struct TPcmInfo {
    int card = 0;
    char name[64] = {};
};

// Limits of the playback channel. The fragment is the unit of every write.
struct TPcmChannelInfo {
    int minRate = 0;
    int maxRate = 0;
    int minFragmentBytes = 0;
    int maxFragmentBytes = 0;
    int maxVoices = 0;
};

// What the caller asks for. Only signed 16-bit little-endian interleaved samples are offered.
struct TPcmChannelParams {
    int rate = 0;
    int voices = 0;         // 1 or 2
    int fragmentBytes = 0;  // every write is one fragment of this size
    int fragmentsMin = 1;
    int fragmentsMax = 1;
    bool startOnData = true;  // start playing when the first fragment arrives
    bool stopOnUnderrun = true;
    char subchannelName[32] = {};  // shown as the mixer group name
};

struct TPcmMixerGroup {
    char name[32] = {};
};

// What PcmChannelSetup reports back.
struct TPcmChannelSetup {
    int rate = 0;
    int voices = 0;
    int fragmentBytes = 0;
    int fragments = 0;
    int mixerDevice = 0;
    TPcmMixerGroup* mixerGroup = nullptr;  // filled when given
};

struct TPcmChannelStatus {
    int state = PcmState::NotReady;
    int freeBytes = 0;    // room in the device queue
    int queuedBytes = 0;  // written, not yet played
    int underruns = 0;    // how often the channel ran dry since opening
};

// Chooses the back end for later opens; wavPath is used by Wav only. Any thread, before opening.
void PcmUseBackend(PcmBackendKind kind, const std::string& wavPath = {});
// The back end the next open will try first (after reading COBBLE_SOUND once).
PcmBackendKind PcmSelectedBackend();
// Reads a COBBLE_SOUND value: null, "" and "auto" give Auto; "wav:<path>" gives Wav and the
// path; false (and Auto) for anything else.
bool PcmParseBackendSetting(const char* value, PcmBackendKind* kind, std::string* wavPath);

// Opens the preferred playback device into *out: 0, or a negative error code and *out null.
[[nodiscard]] int PcmOpenPreferred(TPcmHandle** out);
int PcmInfo(TPcmHandle* pcm, TPcmInfo* info);
int PcmChannelInfo(TPcmHandle* pcm, TPcmChannelInfo* info);
// Takes the parameters; the channel then is Ready. Fragments above kPcmMaxFragmentBytes or
// rates outside the channel's limits are refused with -kPcmErrInvalid.
int PcmChannelParams(TPcmHandle* pcm, const TPcmChannelParams* params);
int PcmChannelPrepare(TPcmHandle* pcm);
int PcmChannelSetup(TPcmHandle* pcm, TPcmChannelSetup* setup);
// Fills the status. When less than one fragment is free it first waits for room, at most about
// half a fragment of playing time, so a polling thread does not spin a core.
int PcmChannelStatus(TPcmHandle* pcm, TPcmChannelStatus* status);
// Writes `bytes` (whole fragments): the bytes taken, or a negative error. A write into a channel
// that is not Prepared or Running takes nothing and returns -kPcmErrInvalid.
int PcmWrite(TPcmHandle* pcm, const void* data, int bytes);
// Waits until everything written has played; the channel is then Ready (prepare again to write).
int PcmPlaybackDrain(TPcmHandle* pcm);
// Closes and frees the handle; null is ignored.
int PcmClose(TPcmHandle* pcm);

int PcmMixerOpen(TPcmMixerHandle** out, int card, int device);
int PcmMixerClose(TPcmMixerHandle* mixer);

// Text for a (negative) error code of the calls above; never null.
const char* PcmErrorText(int code);

}  // namespace platform

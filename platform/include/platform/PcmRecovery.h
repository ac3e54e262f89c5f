// How a playback device that stopped for a reason outside the program is brought back, the way
// ALSA programs do it: a suspended device (the machine slept) is resumed, or prepared afresh when
// it cannot resume; a disconnected one (a card unplugged, a sound server restarted) is opened
// again, at most once a second so that a device that stays away costs nothing. The ALSA back end
// takes one step each time its status finds the device in trouble; the rule is kept apart from
// ALSA so that it can be run against a fake device.
//
// Threads: one recovery belongs to one device handle, used by the thread that polls its status.
#pragma once

#include <cstdint>
#include <limits>

namespace platform {

// The two states a device cannot leave by itself.
enum class PcmTrouble { Suspended, Disconnected };

// What one step achieved.
enum class PcmRecoveryResult {
    Recovered,  // the device works again: read its state anew
    Waiting,    // still waking from a suspend: ask again a little later
    Failed,     // not now; a later step tries again
};

// The device calls a recovery makes; negative results are errno values, as ALSA gives them.
class IPcmRecoveryDevice {
public:
    virtual ~IPcmRecoveryDevice() = default;
    // 0 resumed, -EAGAIN still waking, any other negative value: it cannot resume.
    virtual int Resume() = 0;
    // Makes the stream ready to take samples again: 0, or negative.
    virtual int Prepare() = 0;
    // Closes the device and opens it again with the same parameters, prepared: 0, or negative
    // (the old handle then stays).
    virtual int Reopen() = 0;
};

class CPcmRecovery {
public:
    // Time between two attempts to open a disconnected device again.
    static constexpr std::int64_t kReopenIntervalUs = 1'000'000;

    // One step against the trouble found at nowUs (microseconds of the platform clock).
    PcmRecoveryResult Step(IPcmRecoveryDevice& device, PcmTrouble trouble, std::int64_t nowUs);

private:
    std::int64_t m_nextReopenUs = std::numeric_limits<std::int64_t>::min();  // the first try is at once
};

}  // namespace platform

#include "platform/PcmRecovery.h"

#include <cerrno>

namespace platform {

PcmRecoveryResult CPcmRecovery::Step(IPcmRecoveryDevice& device, PcmTrouble trouble, std::int64_t nowUs) {
    if (trouble == PcmTrouble::Suspended) {
        const int resumed = device.Resume();
        if (resumed == 0) return PcmRecoveryResult::Recovered;
        // The driver is still waking up; waiting here would hold the audio thread, which must
        // stay free to be stopped, so the caller asks again on its next poll.
        if (resumed == -EAGAIN) return PcmRecoveryResult::Waiting;
        // Hardware that cannot resume restarts its stream from the start instead.
        return device.Prepare() == 0 ? PcmRecoveryResult::Recovered : PcmRecoveryResult::Failed;
    }
    if (nowUs < m_nextReopenUs) return PcmRecoveryResult::Failed;
    m_nextReopenUs = nowUs + kReopenIntervalUs;
    if (device.Reopen() != 0) return PcmRecoveryResult::Failed;
    m_nextReopenUs = std::numeric_limits<std::int64_t>::min();
    return PcmRecoveryResult::Recovered;
}

}  // namespace platform

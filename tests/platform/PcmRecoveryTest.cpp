// The recovery rule of the ALSA back end, against a fake device whose calls answer as a test
// says: resume, prepare when resuming cannot work, reopen a lost device at most once a second.
#include "platform/PcmRecovery.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace platform {
namespace {

class CFakeDevice : public IPcmRecoveryDevice {
public:
    int Resume() override {
        calls += "resume ";
        return resumeResult;
    }
    int Prepare() override {
        calls += "prepare ";
        return prepareResult;
    }
    int Reopen() override {
        calls += "reopen ";
        return reopenResult;
    }
    int resumeResult = 0;
    int prepareResult = 0;
    int reopenResult = 0;
    std::string calls;
};

TEST(PcmRecovery, SuspendedDeviceIsResumedOrPreparedAfresh) {
    struct TCase {
        int resume, prepare;
        PcmRecoveryResult expected;
        const char* calls;
        const char* why;
    } const cases[] = {
        {0, 0, PcmRecoveryResult::Recovered, "resume ", "the device resumes where it stopped"},
        {-EAGAIN, 0, PcmRecoveryResult::Waiting, "resume ", "still waking: ask again, prepare nothing yet"},
        {-ENOSYS, 0, PcmRecoveryResult::Recovered, "resume prepare ", "hardware that cannot resume restarts"},
        {-EIO, -EIO, PcmRecoveryResult::Failed, "resume prepare ", "neither works: a later step tries again"},
    };
    for (const TCase& c : cases) {
        CFakeDevice device;
        device.resumeResult = c.resume;
        device.prepareResult = c.prepare;
        CPcmRecovery recovery;
        EXPECT_EQ(recovery.Step(device, PcmTrouble::Suspended, 0), c.expected) << c.why;
        EXPECT_EQ(device.calls, c.calls) << c.why;
    }
}

TEST(PcmRecovery, LostDeviceIsOpenedAgainAtMostOnceASecond) {
    CFakeDevice device;
    device.reopenResult = -ENODEV;
    CPcmRecovery recovery;
    const std::int64_t t0 = 5'000'000;
    EXPECT_EQ(recovery.Step(device, PcmTrouble::Disconnected, t0), PcmRecoveryResult::Failed);
    EXPECT_EQ(device.calls, "reopen ") << "the first try is at once";
    EXPECT_EQ(recovery.Step(device, PcmTrouble::Disconnected, t0 + 999'999), PcmRecoveryResult::Failed);
    EXPECT_EQ(device.calls, "reopen ") << "not again within the second";
    device.reopenResult = 0;
    EXPECT_EQ(recovery.Step(device, PcmTrouble::Disconnected, t0 + CPcmRecovery::kReopenIntervalUs),
              PcmRecoveryResult::Recovered);
    EXPECT_EQ(device.calls, "reopen reopen ");
    // Lost again later: the first try after a recovery is at once too.
    EXPECT_EQ(recovery.Step(device, PcmTrouble::Disconnected, t0 + CPcmRecovery::kReopenIntervalUs + 10),
              PcmRecoveryResult::Recovered);
    EXPECT_EQ(device.calls, "reopen reopen reopen ");
}

}  // namespace
}  // namespace platform

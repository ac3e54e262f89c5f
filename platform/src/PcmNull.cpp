// The null sink: accepts every fragment and plays it into nothing at the rate of the clock.
#include "PcmBackend.h"
#include "PcmPacedQueue.h"

namespace platform {
namespace {

class CPcmNull final : public IPcmBackend {
public:
    const char* Name() const override { return "null"; }
    TPcmChannelInfo ChannelInfo() override {
        return {8000, kPcmPreferredRate, kPcmMaxFragmentBytes, kPcmMaxFragmentBytes, 2};
    }
    int Params(const TPcmChannelParams& params) override {
        m_queue.Configure(params);
        return 0;
    }
    int Prepare() override {
        m_queue.Prepare();
        return 0;
    }
    int Status(TPcmChannelStatus* status) override {
        m_queue.Status(status);
        return 0;
    }
    int Write(const void*, int bytes) override { return m_queue.Write(bytes); }
    int Drain() override {
        m_queue.Drain();
        return 0;
    }

private:
    CPcmPacedQueue m_queue;
};

}  // namespace

std::unique_ptr<IPcmBackend> CreatePcmNull(int* error) {
    *error = 0;
    return std::make_unique<CPcmNull>();
}

}  // namespace platform

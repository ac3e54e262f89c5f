// The device queue of the sinks without hardware: it plays at the channel rate by the clock
// (platform/Clock.h), so the writer is held back exactly as a sound card would hold it back.
// Under the virtual clock it plays as the game's sleeps move time, and never moves time itself.
#pragma once

#include <cstdint>

#include "platform/Pcm.h"

namespace platform {

class CPcmPacedQueue {
public:
    // Two fragments of queue: one playing, one waiting, like the phone's double buffering.
    static constexpr int kQueueFragments = 2;

    void Configure(const TPcmChannelParams& params);
    void Prepare();
    // Fills *status; waits at most half a fragment for one fragment of room.
    void Status(TPcmChannelStatus* status);
    // Accepts bytes into the queue, waiting for room first as a blocking device write would.
    // Returns the bytes taken or -kPcmErrInvalid when the channel is not prepared or running.
    int Write(int bytes);
    // Waits until the queue has played out (real clock); the channel is then Ready.
    void Drain();

    int State() const { return m_state; }

private:
    void Update();
    std::int64_t FramesToUs(std::int64_t frames) const;

    int m_rate = 0;
    int m_frameBytes = 4;
    int m_fragmentBytes = 0;
    bool m_stopOnUnderrun = true;
    int m_state = PcmState::NotReady;
    std::int64_t m_startUs = 0;        // clock time of the first frame of this run
    std::int64_t m_writtenFrames = 0;  // since the run started
    std::int64_t m_playedFrames = 0;
    int m_underruns = 0;
};

}  // namespace platform

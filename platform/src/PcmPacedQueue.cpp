#include "PcmPacedQueue.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/Clock.h"

namespace platform {

namespace {

// Under the virtual clock only the game's own sleeps move time, so that a scripted run stays
// exact: the sink then never sleeps on the clock itself, it naps briefly in real time (so the
// audio thread does not spin) and reads the clock again.
bool ClockIsVirtual() { return ClockCurrentKind() == ClockKind::Virtual; }

void Wait(std::int64_t us) {
    if (ClockIsVirtual()) {
        std::this_thread::sleep_for(std::chrono::microseconds(std::min<std::int64_t>(us, 1000)));
    } else {
        ClockSleepUs(us);
    }
}

}  // namespace

void CPcmPacedQueue::Configure(const TPcmChannelParams& params) {
    m_rate = params.rate;
    m_frameBytes = 2 * params.voices;
    m_fragmentBytes = params.fragmentBytes;
    m_stopOnUnderrun = params.stopOnUnderrun;
    m_state = PcmState::Ready;
    m_writtenFrames = m_playedFrames = 0;
}

void CPcmPacedQueue::Prepare() {
    if (m_state == PcmState::NotReady) return;
    m_state = PcmState::Prepared;
    m_writtenFrames = m_playedFrames = 0;
}

std::int64_t CPcmPacedQueue::FramesToUs(std::int64_t frames) const {
    return m_rate > 0 ? (frames * 1'000'000 + m_rate - 1) / m_rate : 0;
}

void CPcmPacedQueue::Update() {
    if (m_state != PcmState::Running) return;
    const std::int64_t elapsedUs = std::max<std::int64_t>(0, ClockNowUs() - m_startUs);
    m_playedFrames = std::min(elapsedUs * m_rate / 1'000'000, m_writtenFrames);
    if (m_playedFrames >= m_writtenFrames) {
        ++m_underruns;
        if (m_stopOnUnderrun) {
            m_state = PcmState::Underrun;
        } else {
            // Keeps running on silence: the next write starts a fresh timeline.
            m_state = PcmState::Prepared;
            m_writtenFrames = m_playedFrames = 0;
        }
    }
}

void CPcmPacedQueue::Status(TPcmChannelStatus* status) {
    const int capacity = kQueueFragments * m_fragmentBytes;
    Update();
    if (m_state == PcmState::Running) {
        const std::int64_t queued = (m_writtenFrames - m_playedFrames) * m_frameBytes;
        if (capacity - queued < m_fragmentBytes) {
            // Sleep until a fragment of room has played, but no longer than half a fragment.
            const std::int64_t needFrames = (m_fragmentBytes - (capacity - queued)) / m_frameBytes;
            const std::int64_t halfFragmentUs = FramesToUs(m_fragmentBytes / m_frameBytes) / 2;
            Wait(std::max<std::int64_t>(1, std::min(FramesToUs(needFrames), halfFragmentUs)));
            Update();
        }
    }
    const std::int64_t queued = m_state == PcmState::Running ? (m_writtenFrames - m_playedFrames) * m_frameBytes : 0;
    status->state = m_state;
    status->queuedBytes = static_cast<int>(queued);
    status->freeBytes =
        m_state == PcmState::Prepared || m_state == PcmState::Running ? static_cast<int>(capacity - queued) : 0;
    status->underruns = m_underruns;
}

int CPcmPacedQueue::Write(int bytes) {
    if (m_state != PcmState::Prepared && m_state != PcmState::Running) return -kPcmErrInvalid;
    const std::int64_t frames = bytes / m_frameBytes;
    if (m_state == PcmState::Prepared) {
        m_state = PcmState::Running;
        m_startUs = ClockNowUs();
        m_writtenFrames = m_playedFrames = 0;
    } else {
        const std::int64_t capacityFrames = kQueueFragments * m_fragmentBytes / m_frameBytes;
        const std::int64_t overFrames = m_writtenFrames - m_playedFrames + frames - capacityFrames;
        // A writer that ignores the free space waits as on a blocking device; under the virtual
        // clock nobody may be there to move time, so the queue simply takes the extra frames.
        if (overFrames > 0 && !ClockIsVirtual()) {
            ClockSleepUs(FramesToUs(overFrames));
            Update();
        }
        if (m_state == PcmState::Underrun) return -kPcmErrIo;
    }
    m_writtenFrames += frames;
    return bytes;
}

void CPcmPacedQueue::Drain() {
    Update();
    // Under the virtual clock the rest of the queue is dropped rather than waited for.
    if (m_state == PcmState::Running && !ClockIsVirtual()) ClockSleepUs(FramesToUs(m_writtenFrames - m_playedFrames));
    if (m_state != PcmState::NotReady) m_state = PcmState::Ready;
    m_writtenFrames = m_playedFrames = 0;
}

}  // namespace platform

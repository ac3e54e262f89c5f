// CNewsWorker: a worker thread of the news engine and the server time that its owner can wait
// for. Run executes on a new thread each time Launch is called; Join returns once the last run
// has returned, so an owner joins its workers before it lets them go. Launch and Join are for
// the owner's thread; Run reports back only through the owner's atomic flags.
#pragma once

#include <condition_variable>
#include <mutex>

#include "core/HollowfenThread.h"

class CNewsWorker : public ext::HollowfenThread {
public:
    CNewsWorker() = default;
    // Waits for a run still going; derived workers join in their own destructor already, since
    // a run may use their part of the object.
    ~CNewsWorker() override;

    // Waits for the previous run to return, then starts Run on a new thread: 0 when started,
    // else the thread creation's error and nothing runs.
    [[nodiscard]] int Launch();
    // Returns once no run is going (at once when none was started).
    void Join();

protected:
    // The work of one run, on the worker thread.
    virtual void Run() = 0;

private:
    void* Execute() final;

    std::mutex m_Mutex;  // guards m_bRunning
    std::condition_variable m_Finished;
    bool m_bRunning = false;  // a run was started and has not returned yet
};

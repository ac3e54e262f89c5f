// ext::HollowfenThread: the base of every worker thread (news downloads, server time).
//
// A derived class implements Execute, which Start runs on a new POSIX thread. The base offers
// nothing else: no join, no stop, no lock, no result. A worker reports back only by setting flags
// in its owner, which the main thread polls; the owner keeps the worker object alive until its
// Execute has returned. The thread is detached as it starts, so a finished worker leaves no
// thread resources behind and nobody ever joins it.
#pragma once

#include <pthread.h>

namespace ext {

class HollowfenThread {
public:
    HollowfenThread() = default;
    // Neither waits for nor stops a running thread: delete only after Execute has returned.
    virtual ~HollowfenThread() = default;
    HollowfenThread(const HollowfenThread&) = delete;
    HollowfenThread& operator=(const HollowfenThread&) = delete;

    // The body run on the new thread; its result becomes the thread's exit value.
    virtual void* Execute() = 0;

    // Starts one more detached thread running Execute on this object (each call starts another).
    // 0 when started, else pthread_create's error number and nothing runs.
    [[nodiscard]] int Start();

protected:
    pthread_t thread{};  // the handle of the last thread started; zero-initialised until then
};

// The thread entry given to pthread_create; `thread` is the HollowfenThread to run.
void* ThreadCallback(void* thread);

}  // namespace ext

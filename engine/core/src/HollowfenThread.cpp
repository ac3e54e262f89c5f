#include "core/HollowfenThread.h"

namespace ext {

int HollowfenThread::Start() {
    pthread_attr_t attributes;
    int result = pthread_attr_init(&attributes);
    if (result != 0) return result;
    // Created detached: nothing in the system joins a worker, and a joinable thread that is never
    // joined keeps its stack and descriptor until the process ends.
    result = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (result == 0) result = pthread_create(&thread, &attributes, &ThreadCallback, this);
    pthread_attr_destroy(&attributes);
    return result;
}

void* ThreadCallback(void* thread) {
    // Nothing cancels a worker; deferred cancellation keeps a stray cancel request at the
    // cancellation points instead of in the middle of Execute.
    pthread_setcanceltype(PTHREAD_CANCEL_DEFERRED, nullptr);
    return static_cast<HollowfenThread*>(thread)->Execute();
}

}  // namespace ext

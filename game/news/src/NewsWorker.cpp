#include "game/news/NewsWorker.h"

CNewsWorker::~CNewsWorker() { Join(); }

int CNewsWorker::Launch() {
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Finished.wait(lock, [this] { return !m_bRunning; });
        m_bRunning = true;
    }
    const int result = Start();
    if (result != 0) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bRunning = false;
        m_Finished.notify_all();
    }
    return result;
}

void CNewsWorker::Join() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Finished.wait(lock, [this] { return !m_bRunning; });
}

void* CNewsWorker::Execute() {
    Run();
    // The last touch of this object on the worker thread: once the lock is released the owner
    // may delete it, and the thread only returns.
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bRunning = false;
    m_Finished.notify_all();
    return nullptr;
}

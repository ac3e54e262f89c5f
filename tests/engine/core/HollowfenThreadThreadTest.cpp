#include "core/HollowfenThread.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Counts its runs and remembers whether each ran on a detached thread; the test waits on the
// counter the way an owner polls its worker's flags.
class CCountingWorker : public ext::HollowfenThread {
public:
    void* Execute() override {
        int detachState = -1;
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
            pthread_attr_getdetachstate(&attributes, &detachState);
            pthread_attr_destroy(&attributes);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ++runs_;
        if (detachState != PTHREAD_CREATE_DETACHED) ++joinableRuns_;
        changed_.notify_all();
        return nullptr;
    }

    // False when `expected` runs have not all finished within a generous bound.
    bool WaitForRuns(int expected) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return runs_ >= expected; });
    }

    int Runs() {
        std::lock_guard<std::mutex> lock(mutex_);
        return runs_;
    }
    int JoinableRuns() {
        std::lock_guard<std::mutex> lock(mutex_);
        return joinableRuns_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int runs_ = 0;
    int joinableRuns_ = 0;
};

TEST(HollowfenThread, StartRunsExecuteOnceOnADetachedThread) {
    CCountingWorker worker;
    ASSERT_EQ(worker.Start(), 0);
    ASSERT_TRUE(worker.WaitForRuns(1));
    EXPECT_EQ(worker.Runs(), 1);
    EXPECT_EQ(worker.JoinableRuns(), 0);
}

TEST(HollowfenThread, EachStartRunsOneMoreThreadOnTheSameObject) {
    CCountingWorker worker;
    constexpr int kStarts = 8;
    for (int i = 0; i < kStarts; ++i) ASSERT_EQ(worker.Start(), 0) << "start " << i;
    ASSERT_TRUE(worker.WaitForRuns(kStarts));
    EXPECT_EQ(worker.Runs(), kStarts);
    EXPECT_EQ(worker.JoinableRuns(), 0);
}

TEST(HollowfenThread, ManyShortLivedWorkersCanBeDeletedOnceFinished) {
    // Workers are deleted as soon as they report; with joinable threads this many unjoined
    // finished threads would each keep a stack alive until the process ends.
    std::vector<std::unique_ptr<CCountingWorker>> workers;
    for (int i = 0; i < 64; ++i) {
        workers.push_back(std::make_unique<CCountingWorker>());
        ASSERT_EQ(workers.back()->Start(), 0);
    }
    for (auto& worker : workers) {
        ASSERT_TRUE(worker->WaitForRuns(1));
        EXPECT_EQ(worker->Runs(), 1);
        worker.reset();
    }
}

TEST(HollowfenThread, DeletingANeverStartedWorkerIsSafe) {
    // Run under the sanitizers this also shows the destructor touches no thread handle.
    auto worker = std::make_unique<CCountingWorker>();
    EXPECT_EQ(worker->Runs(), 0);
    worker.reset();
    EXPECT_EQ(worker, nullptr);
}

}  // namespace

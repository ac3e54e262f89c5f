// CHollowfenTime: the publisher's clock, which the player cannot set. UpdateTime fetches it on a
// worker; the main thread reads the answer once the fetch has ended. Nothing in the game uses it
// yet; it stands ready beside the news engine. Main thread for the public operations.
#pragma once

#include <atomic>

#include "core/CommonString.h"
#include "game/news/NewsWorker.h"

class CGameBase;
class CHollowfenTime;

class CHollowfenTimeThread : public CNewsWorker {
public:
    ~CHollowfenTimeThread() override { Join(); }
    CHollowfenTime* m_pOwner = nullptr;

protected:
    void Run() override;
};

class CHollowfenTime {
public:
    explicit CHollowfenTime(CGameBase* game);
    CHollowfenTime(const CHollowfenTime&) = delete;
    CHollowfenTime& operator=(const CHollowfenTime&) = delete;
    // Waits for a fetch still running.
    virtual ~CHollowfenTime();

    // Forgets the last answer and starts a fetch: 0 when the worker started.
    int UpdateTime();
    bool IsUpdating() const { return m_bUpdating.load(); }
    bool IsValid() const { return m_bValid.load(); }
    // The fetched time (seconds since 1970, UTC) when the last fetch succeeded and none runs,
    // else 0.
    int GetTime() const;
    // Fetches the time from an address: nonzero with the time stored on success. The answer is
    // the decimal number of seconds, alone on its first line.
    int DownloadTime(CommonString address);

    // The address the worker asks.
    static const char* TimeAddress();

    // ==== State =================================================================================
    CGameBase* m_pGame;
    CHollowfenTimeThread m_Thread;
    std::atomic<bool> m_bUpdating{false};  // written by both sides, one at a time
    std::atomic<bool> m_bValid{false};     // written by the worker
    std::atomic<int> m_nTime{0};           // written by the worker before it reports success
};

#include "game/news/ServerTime.h"

#include <cctype>

#include "platform/WebDownload.h"

CHollowfenTime::CHollowfenTime(CGameBase* game) : m_pGame(game) { m_Thread.m_pOwner = this; }

CHollowfenTime::~CHollowfenTime() { m_Thread.Join(); }

const char* CHollowfenTime::TimeAddress() { return "http://www.hollowfen.example/cobblebrooks/time/time.php"; }

int CHollowfenTime::UpdateTime() {
    // A fetch still running would report its answer after the reset below, as if it were this one's.
    m_Thread.Join();
    m_bValid = false;
    m_nTime = 0;
    m_bUpdating = true;
    const int result = m_Thread.Launch();
    if (result != 0) m_bUpdating = false;
    return result;
}

int CHollowfenTime::GetTime() const { return m_bValid && !m_bUpdating ? m_nTime.load() : 0; }

int CHollowfenTime::DownloadTime(CommonString address) {
    constexpr int kCapacity = 64;
    unsigned char answer[kCapacity];
    int size = 0;
    if (!DownloadDataFromURL(address.GetData(), answer, kCapacity, &size) || size <= 0) return 0;
    // Digits, then the end of the answer or of its first line; anything else is no time.
    long long seconds = 0;
    int i = 0;
    for (; i < size && std::isdigit(answer[i]); ++i) {
        seconds = seconds * 10 + (answer[i] - '0');
        if (seconds > 0x7FFFFFFF) return 0;
    }
    if (i == 0 || (i < size && answer[i] != '\n' && answer[i] != '\r')) return 0;
    m_nTime = static_cast<int>(seconds);
    return 1;
}

void CHollowfenTimeThread::Run() {
    const bool ok = m_pOwner->DownloadTime(CommonString(CHollowfenTime::TimeAddress())) != 0;
    m_pOwner->m_bValid = ok;
    m_pOwner->m_bUpdating = false;
}

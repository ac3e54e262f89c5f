// The queue of award messages and its per-frame step.
#include <new>

#include "app/GameBase.h"
#include "audio/SoundManager.h"
#include "game/progress/AchievementsManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/AwardManager.h"
#include "game/progress/ProgressHost.h"

namespace {

// Makes room for one more element without changing the list: an element added and dropped again
// leaves its slot in the block.
template <class List, class T>
bool ReserveOne(List& list, T value) {
    if (!list.Add(value)) return false;
    --list.count;
    return true;
}

}  // namespace

void CAchievementsManager::PlaceAwardedMessageToQueue(int type, const CommonString& title) {
    PlaceAwardedMessageToQueue(type, title, CommonString());
}

void CAchievementsManager::PlaceAwardedMessageToQueue(int type, const CommonString& title, const CommonString& text) {
    auto* titleCopy = new (std::nothrow) CommonString(title);
    auto* textCopy = new (std::nothrow) CommonString(text);
    // The three lists take the message together or not at all.
    if (titleCopy == nullptr || textCopy == nullptr || !ReserveOne(m_QueueTypes, 0) ||
        !ReserveOne(m_QueueTitles, nullptr) || !ReserveOne(m_QueueTexts, nullptr)) {
        delete titleCopy;
        delete textCopy;
        return;
    }
    (void)m_QueueTypes.Add(type);
    (void)m_QueueTitles.Add(titleCopy);
    (void)m_QueueTexts.Add(textCopy);
    // Only a message that starts an empty queue waits; one placed behind others takes no delay.
    if (m_QueueTypes.count == 1) {
        if (type == 1 || type == kAwardQuestCompleted)
            m_nQueueDelay = kAwardDelayLong;
        else if (type == kAwardInfo || type == kAwardCoins)
            m_nQueueDelay = kAwardDelayShort;
    }
}

void CAchievementsManager::RemoveQueueHead() {
    m_QueueTypes.RemoveAt(0);
    delete m_QueueTitles.data[0];
    m_QueueTitles.RemoveAt(0);
    delete m_QueueTexts.data[0];
    m_QueueTexts.RemoveAt(0);
}

void CAchievementsManager::ProcessAwardedMessagesQueue() {
    // Messages wait while nobody plays: they belong to a profile.
    if (CurrentProfileOf(m_pGame) == nullptr) return;
    if (m_nQueueDelay > 0) {
        --m_nQueueDelay;
        return;
    }
    CAwardManager* banner = m_pHost != nullptr ? m_pHost->GetAwardManager() : nullptr;
    if (m_QueueTypes.count == 0 || banner == nullptr || banner->IsActive()) return;
    if (!m_pHost->IsCurrentScreenSettled()) {
        m_nQueueDelay = 0;
        return;
    }
    const int type = m_QueueTypes.data[0];
    banner->ShowAwardMsg(type, *m_QueueTitles.data[0], *m_QueueTexts.data[0]);
    RemoveQueueHead();
    if (CSoundManager* sounds = m_pGame->GetSoundManager(); sounds != nullptr)
        sounds->PlaySoundFX(type == kAwardPurchaseFailed ? "SFX_LIFELOST" : "SFX_ACH_GAINED");
    m_nQueueDelay = kAwardDelayBetween;
}

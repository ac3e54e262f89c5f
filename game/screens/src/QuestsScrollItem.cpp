// A row of the quests screen: its quest's state, reward texts and images, and its touch area.
#include "game/screens/QuestsScrollItem.h"

#include <algorithm>

#include "app/GameBase.h"
#include "core/LocManager2.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/ArenaManager.h"
#include "game/progress/MiniQuestManager.h"
#include "game/progress/UserProfile.h"
#include "game/screens/ScreensHost.h"
#include "game/screens/SpriteLookups.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

// The extra scores' order in a quest.
enum : int { kRed = 0, kGreen = 1, kBlue = 2, kYellow = 3 };
constexpr int kHighlightStep = 4;
constexpr int kHighlightTop = 64;

CommonString Localised(CGameBase* game, const char* key) {
    CLocManager2* loc = game != nullptr ? game->GetLocManager() : nullptr;
    return loc != nullptr ? loc->LoadString(key) : CommonString(key);
}

}  // namespace

CommonString QuestCoinRewardText(int decreaseScorePerCoin) {
    // Whole percent of a per-mille bonus, in integers: through a double, 290 came out as 28.
    const long long percent = static_cast<long long>(decreaseScorePerCoin) * 100 / 1000;
    CommonString text;
    text.Format("+%d%%", static_cast<int>(percent));
    return text;
}

int QuestColourType(const MiniQuest& quest) {
    if (quest.extraScore[kGreen] > 0) return kGreen;
    if (quest.extraScore[kBlue] > 0) return kBlue;
    if (quest.extraScore[kYellow] > 0) return kYellow;
    return kRed;
}

CXQuestsScrollItem::CXQuestsScrollItem(CXElement* parent, TTemplate* templ, TWidget* record,
                                       const WidgetContext* placement, MiniQuestsSet* set, MiniQuest* quest)
    : CXScrollItemBase(parent, templ, record, placement), m_pSet(set), m_pQuest(quest) {}

CXQuestsScrollItem::~CXQuestsScrollItem() { ReleaseQuestObjectPictures(m_Pictures); }

bool CXQuestsScrollItem::IsCoinQuest() const { return m_pQuest != nullptr && m_pQuest->decreaseScorePerCoin > 0; }

int CXQuestsScrollItem::OnInitWidget() {
    if (!XButton::OnInitWidget() || m_pSet == nullptr || m_pQuest == nullptr) return 0;
    CGameBase* game = ScreensGameOf(this);
    TUserProfile* profile = CurrentProfileOf(game);
    if (profile == nullptr) return 0;
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    CArenaManager* arenaTable = ArenaManagerOf(game);
    const CommonString& yard = m_pSet->yardId;
    m_nState = profile->GetMiniQuestState(yard, m_pQuest->id);
    if (m_nState == kQuestCompleted) {
        m_pMedal = FirstFrame(sets, "miniquest_medal");
        if (m_pMedal == nullptr) return 0;
    }
    if (m_nState != kQuestLocked) {
        if (!IsCoinQuest()) {
            m_nColourType = QuestColourType(*m_pQuest);
            if (const CSpriteSet* balls = sets != nullptr ? sets->GetSpriteSetNamed("miniquest_balls") : nullptr)
                m_pColourBall = balls->GetFrame(m_nColourType);
            m_ScoreReward.Format("+%d ", m_pQuest->extraScore[m_nColourType]);
            m_ScoreReward = m_ScoreReward + Localised(game, "id_quests_score");
        } else {
            m_pCoinIcon = FirstFrame(sets, "HudCoin");
            m_CoinReward = QuestCoinRewardText(m_pQuest->decreaseScorePerCoin);
            m_CoinRewardCaption = Localised(game, "id_quests_scorebonus");
        }
    }
    const int arenas = m_pSet->affectedArenas.count;
    if (arenas >= 2) {
        m_ArenaCaption = Localised(game, "id_quests_on_all_arenas");
    } else if (arenas == 1 && m_pSet->affectedArenas.data[0] != nullptr && arenaTable != nullptr) {
        const Arena* arena = arenaTable->GetArena(m_pSet->affectedArenas.data[0]->GetDataConst());
        if (arena != nullptr) m_ArenaCaption = Localised(game, "id_quests_on_arena") + CommonString(" ") + arena->name;
    }
    m_pTick = FirstFrame(sets, "miniquest_obj_tick");
    m_bFirstBought = profile->IsFarmObjectPurchased(yard, m_pQuest->buy1);
    m_bSecondBought = profile->IsFarmObjectPurchased(yard, m_pQuest->buy2);
    m_pFrames = SetWithFrames(sets, "miniquest_frames");
    m_pResultFrames = SetWithFrames(sets, "miniquest_frame_result");
    if (m_pTick == nullptr || m_pFrames == nullptr || m_pResultFrames == nullptr) return 0;
    if (m_pFrames->GetFrame(0) == nullptr || m_pResultFrames->GetFrame(0) == nullptr) return 0;
    if (auto* list = dynamic_cast<CXScrollDialogBase*>(m_pParent)) m_nRowGap = list->GetScrollItemBorderSize();
    return 1;
}

void CXQuestsScrollItem::LoadGraphics() {
    int position = 0;
    if (m_pParent != nullptr)
        for (int i = 0; i < m_pParent->GetChildCount(); ++i)
            if (m_pParent->GetChildPtrAt(i) == this) position = i;
    m_RowNumber.Format("%d.", position + 1);
    if (m_nState == kQuestLocked) {
        m_bGraphicsLoaded = true;
        return;
    }
    CGameBase* game = ScreensGameOf(this);
    CFarmManager* farm = FarmManagerOf(game);
    if (m_bGraphicsLoaded || farm == nullptr || m_pSet == nullptr || m_pQuest == nullptr) return;
    m_bGraphicsLoaded = LoadQuestObjectPictures(game, farm->GetYardDef(m_pSet->yardId), *m_pQuest, m_Pictures);
}

void CXQuestsScrollItem::RunProcess() {
    XWidget::RunProcess();
    m_nHighlightAlpha = std::min(m_nHighlightAlpha + kHighlightStep, kHighlightTop);
}

bool CXQuestsScrollItem::Contains(int x, int y) {
    return m_nState != kQuestLocked && x >= m_Rect.x && x <= m_Rect.x + m_Rect.width && y >= m_Rect.y &&
           y <= m_Rect.y + m_Rect.height;
}

// The group loader: counting a group's sets and a yard's objects, one loading step, the frame's
// steps within their time budget, and the message posted again when all are done.
#include "game/screens/GroupSetLoader.h"

#include "LoadingReport.h"
#include "core/SafeFormat.h"
#include "game/farm/FarmDefs.h"
#include "game/farm/FarmHost.h"
#include "game/farm/FarmManager.h"
#include "game/progress/ApplicationData.h"
#include "game/progress/UserProfile.h"
#include "game/screens/LoaderHost.h"
#include "game/screens/ScreensHost.h"
#include "game/widgets/GameMessages.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/Progress.h"
#include "ui/Text.h"

namespace {

constexpr unsigned int kFrameBudgetMs = 50;
constexpr int kListGrowth = 100;
constexpr int kAtlasTextureWeight = 5;

// Empties a list of pointers it does not own and sets its growth step.
template <class T>
void ResetList(CQuorvanArray<T*>& list) {
    list.count = 0;
    list.growBy = kListGrowth;
}

// The yard the player is about to open, or null when the profile or the yard is gone.
YardDef* CurrentYard(CGameBase* game) {
    const TUserProfile* profile = CurrentProfileOf(game);
    CFarmManager* farm = FarmHostOf(game)->GetFarmManager();
    if (profile == nullptr || farm == nullptr) return nullptr;
    return farm->GetYardDef(profile->m_CurrentYard);
}

// The failed step's description for the report.
CommonString DescribeStep(const CXGroupSetLoader& loader, int step) {
    if (step < loader.m_nSpriteSetSteps && step < loader.m_GroupSets.count) {
        const CSpriteSet* set = loader.m_GroupSets.data[step];
        return CommonString("the sprite set ") + set->m_Name + CommonString(" (") + set->m_File + CommonString(")");
    }
    const int index = step - loader.m_nSpriteSetSteps;
    if (index >= 0 && index < loader.m_ObjectDefs.count)
        return CommonString("the farm object ") + loader.m_ObjectDefs.data[index]->id;
    return SafeFormat("step %d of the group %s", {step, loader.m_GroupName});
}

}  // namespace

CXGroupSetLoader::CXGroupSetLoader(CXElement* parent) : XGameRoot(parent) {
    m_GroupSets.growBy = kListGrowth;
    m_ObjectDefs.growBy = kListGrowth;
}

int CXGroupSetLoader::OnInitElement() {
    if (!InitRoot(CommonString("ui_main.txt"), "root_screen_loader")) return 0;
    m_pProgressText = dynamic_cast<XText*>(FindChildWithWidgetId("txt_screen_loader_prog"));
    m_pProgressBar = dynamic_cast<XProgress*>(FindChildWithWidgetId("pb_loading"));
    if (m_pProgressText == nullptr || m_pProgressBar == nullptr) return 0;
    m_ProgressFormat = m_pProgressText->GetCaption();
    m_nWeightedProgress = 0;
    m_nWeightedTotal = 100;
    m_nCurrentStep = 0;
    m_nTotalSteps = 100;
    UpdateCurrentPercent();
    return 1;
}

void CXGroupSetLoader::Draw() { XGameRoot::Draw(); }

void CXGroupSetLoader::SetCaptionText(const char* text) {
    if (XText* caption = dynamic_cast<XText*>(FindChildWithWidgetId("txt_screen_loader"))) {
        caption->SetCaption(CommonString(text));
        caption->ReInitWidgetPosition();
    }
}

void CXGroupSetLoader::SetGroupName(const char* name) {
    m_GroupName = CommonString(name);
    CalcTotalFrames();
}

int CXGroupSetLoader::SpriteSetWeight(const CSpriteSet* set) {
    if (set->m_bIsAtlasSubSet) return 0;
    return set->m_bHasAtlasData ? kAtlasTextureWeight : 1;
}

void CXGroupSetLoader::UpdateCurrentPercent() {
    int percent = 100;
    if (m_nWeightedTotal >= 1) {
        percent = 100 * m_nWeightedProgress / m_nWeightedTotal;
        if (percent < 0) percent = 0;
        if (percent > 100) percent = 100;
    }
    m_nPercent = percent;
    if (m_pProgressText != nullptr) {
        // The template's text is a designer's format: filled in safely.
        m_pProgressText->SetCaption(SafeFormat(m_ProgressFormat.GetDataConst(), {percent}));
        m_pProgressText->ReInitWidgetPosition();
    }
    if (m_pProgressBar != nullptr) m_pProgressBar->SetPercent(percent);
}

void CXGroupSetLoader::CalcTotalFrames() {
    ResetList(m_GroupSets);
    ResetList(m_ObjectDefs);
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return;
    ILoaderHost* host = LoaderHostOf(this);
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    const bool farm = m_GroupName == "farm";
    int weights = 0;
    // Moving between yards keeps the farm's sets: only the objects change.
    if (!(farm && host->IsFarmGroupLoaded()) && sets != nullptr) {
        for (int i = 0; i < sets->GetNumSpriteSets(); ++i) {
            CSpriteSet* set = sets->GetSpriteSetAt(i);
            if (set == nullptr || set->m_GroupName.Length() == 0 || !(set->m_GroupName == m_GroupName)) continue;
            if (!m_GroupSets.Add(set)) break;
            weights += SpriteSetWeight(set);
        }
    }
    if (farm) {
        // The yard's objects already cached are kept; every other cached object goes.
        if (const YardDef* yard = CurrentYard(game)) host->KeepCachedObjectsOf(*yard, m_ObjectDefs);
    }
    m_nSpriteSetSteps = m_GroupSets.count;
    m_nTotalSteps = m_GroupSets.count + m_ObjectDefs.count;
    m_nWeightedTotal = weights + m_ObjectDefs.count;
}

bool CXGroupSetLoader::ProcessLoadingStep(int step) {
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return false;
    if (step < m_nSpriteSetSteps) {
        CSpriteSet* set = step < m_GroupSets.count ? m_GroupSets.data[step] : nullptr;
        if (set == nullptr) return false;
        if (m_GroupName.Length() == 0 || !(set->m_GroupName == m_GroupName)) return true;
        if (!set->AddReference()) return false;
        m_nWeightedProgress += SpriteSetWeight(set);
        return true;
    }
    if (!(m_GroupName == "farm") || step >= m_nTotalSteps) return true;
    if (CurrentYard(game) == nullptr) return true;
    const int index = step - m_nSpriteSetSteps;
    FarmObjectDef* def = index < m_ObjectDefs.count ? m_ObjectDefs.data[index] : nullptr;
    if (def == nullptr) return false;
    CFarmObject* object = FarmHostOf(game)->GetFarmManager()->CreateFarmObject(def->id.GetDataConst());
    if (object == nullptr) return false;
    // A cache that cannot grow loses the object; the yard then makes it itself.
    LoaderHostOf(this)->CacheFarmObject(object);
    ++m_nWeightedProgress;
    return true;
}

void CXGroupSetLoader::RunProcess() {
    XGameRoot::RunProcess();
    CGameBase* game = ScreensGameOf(this);
    if (game == nullptr) return;
    if (m_nCurrentStep < m_nTotalSteps) {
        const unsigned int t0 = CGameBase::GetTickCountMs();
        for (;;) {
            if (!ProcessLoadingStep(m_nCurrentStep)) {
                ReportFailedLoadingStep(game, "group loader", m_nCurrentStep, m_nTotalSteps,
                                        DescribeStep(*this, m_nCurrentStep), m_nReportedStep);
                return;
            }
            ++m_nCurrentStep;
            // The first step runs alone; a slow step still runs whole, and the budget ends the frame.
            if (CGameBase::GetTickCountMs() - t0 > kFrameBudgetMs || m_nCurrentStep < 2 ||
                m_nCurrentStep >= m_nTotalSteps)
                break;
        }
        UpdateCurrentPercent();
    }
    if (m_nCurrentStep < m_nTotalSteps) return;
    LoaderHostOf(this)->NoteGroupLoaded(m_GroupName);
    // Posted again every frame until the next screen replaces this one; the game drops the copies
    // that arrive while the curtain falls.
    const TSavedMessage& message = GetSavedMessage();
    if (message.code != 0)
        (void)game->SendMessage(message.target, message.code, message.wparam, message.lparam, true);
    else
        (void)game->SendMessage(game, MSG_RUN_START_MENU, 0, 0, true);
}

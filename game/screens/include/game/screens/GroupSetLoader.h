#pragma once
// The screen that loads one sprite-set group ("gameplay" before a round, "farm" before a yard) a
// few steps per frame behind a progress bar, and for the farm also makes in advance one object
// for each object definition of the yard about to open, kept in the game's farm-object cache.
// When it is done it marks the group loaded and posts again the screen message that caused it.
//
// The screen switch opens it (XGameRoot::CheckAndSendSavedMessage) and then gives it, in order,
// its caption, its group and the message to post.
//
// Depends on: the screen root, the game object, the sprite-set and farm managers. Main thread only.

#include "core/CommonString.h"
#include "core/QuorvanArray.h"
#include "game/widgets/GameRoot.h"

class CSpriteSet;
class XProgress;
class XText;
struct FarmObjectDef;

class CXGroupSetLoader : public XGameRoot {
public:
    explicit CXGroupSetLoader(CXElement* parent);

    // Builds "root_screen_loader" of "ui_main.txt": 1, or 0 without the template, the progress
    // text "txt_screen_loader_prog" or the bar "pb_loading".
    int OnInitElement() override;
    // Up to 50 ms of loading steps, then the group's flag and the message once all are done.
    void RunProcess() override;
    void Draw() override;

    // The caption of "txt_screen_loader" ("Loading Game", "Loading Farm"), when it has one.
    virtual void SetCaptionText(const char* text);
    // Stores the group and counts its steps (CalcTotalFrames).
    virtual void SetGroupName(const char* name);
    // percent = 100 x weighted progress / weighted total, clamped (100 without weight); the
    // progress text (its own template text as the format) and the bar follow it.
    void UpdateCurrentPercent();
    // One step: a sprite set of the group, or for the farm one object of the yard; false when it
    // fails.
    virtual bool ProcessLoadingStep(int step);
    // Lists the group's sets and the yard's objects still to make; deletes the cached objects of
    // other yards.
    void CalcTotalFrames();

    // The step weight of a set: 0 for an atlas sub-set, 5 for an atlas texture, 1 for any other.
    static int SpriteSetWeight(const CSpriteSet* set);

    // ==== State (public: the tests read the counters) ========================================
    int m_nTotalSteps = 100;
    int m_nSpriteSetSteps = 0;
    int m_nWeightedTotal = 100;
    int m_nWeightedProgress = 0;
    int m_nCurrentStep = 0;
    int m_nPercent = 0;
    XText* m_pProgressText = nullptr;
    XProgress* m_pProgressBar = nullptr;
    CommonString m_GroupName;
    CQuorvanArray<CSpriteSet*> m_GroupSets;      // not owned
    CQuorvanArray<FarmObjectDef*> m_ObjectDefs;  // not owned
    CommonString m_ProgressFormat;               // the progress text's template text

private:
    int m_nReportedStep = -1;  // the last failed step told on stderr
};

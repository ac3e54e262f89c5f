#pragma once
// The game object of the progression suites over a base game (the stand-in of
// ProgressFakeGame.h, or the real game object of ProgressTheGame.h for the suites of what the game
// object does with progression): its save folder, first yard, running round and screen state a test
// chooses, with helpers for player data and profiles. Include one of those two headers.

#include <string>

#include "game/progress/ApplicationData.h"
#include "game/progress/RunningRound.h"
#include "game/progress/UserProfile.h"

// A round of the marble game as progression reads it.
class CFakeRound : public IRunningRound {
public:
    int GetRoundScore() override { return score; }
    bool IsTutorialRound() override { return tutorial; }
    bool IsAdStripShown() override { return adStrip; }
    CXElement* GetRoundScreen() override { return screen; }

    int score = 0;
    bool tutorial = false;
    bool adStrip = false;
    CXElement* screen = nullptr;
};

template <class Base>
class TProgressTestGame : public Base {
public:
    CommonString GetSaveDirectory() override { return CommonString(saveDir.c_str()); }
    CommonString GetFirstYardName() override { return CommonString(firstYard.c_str()); }
    IRunningRound* GetRunningRound() override { return round; }
    bool IsCurrentScreenSettled() override { return screenSettled; }

    // The player data, made on first use.
    CApplicationData& Data() {
        if (this->GetAppData() == nullptr) (void)this->CreateApplicationData();
        return *this->GetAppData();
    }
    // A new profile of that name, made current; null when none can be added.
    TUserProfile* AddPlayer(const char* name) {
        const int i = Data().AddUserProfile();
        if (i < 0) return nullptr;
        Data().SetUserName(i, CommonString(name));
        Data().m_nCurrentProfile = i;
        return Data().m_Profiles.data[i];
    }

    std::string saveDir = "data/";
    std::string firstYard = "yard1";
    IRunningRound* round = nullptr;
    bool screenSettled = true;
};

inline std::string Str(const CommonString& s) { return s.GetDataConst() != nullptr ? s.GetDataConst() : ""; }

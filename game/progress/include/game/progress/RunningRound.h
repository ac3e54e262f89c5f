// What progression reads of a running round of the marble game: the achievements test the round
// score outside the tutorial, and the award banner rests below the round's ad strip. The gameplay
// screen implements it; the game object hands out the one running now (CTheGame::GetRunningRound).
//
// Threads: main thread only.
#pragma once

class CXElement;

class IRunningRound {
public:
    // The score of the round so far.
    virtual int GetRoundScore() = 0;
    // True while the round is the scripted tutorial.
    virtual bool IsTutorialRound() = 0;
    // True while the round shows its ad strip at the top of the screen.
    virtual bool IsAdStripShown() = 0;
    // The round's screen, whose open modal dialogs the banner makes way for.
    virtual CXElement* GetRoundScreen() = 0;

protected:
    ~IRunningRound() = default;
};

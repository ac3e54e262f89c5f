#pragma once
// The one report of a loading step that fails, shared by the two loader screens: a failing step is
// tried again every frame until the game ends, so it is told on stderr once, with what it missed,
// and the game is asked to finish as a failed run; the shell then ends it through its normal
// shut-down, with the failure status.

#include <cstdio>

#include "app/GameBase.h"
#include "core/CommonString.h"

// reportedStep keeps the last step told, so that its retries stay quiet.
inline void ReportFailedLoadingStep(CGameBase* game, const char* loader, int step, int total, const CommonString& what,
                                    int& reportedStep) {
    if (reportedStep != step) {
        reportedStep = step;
        std::fprintf(stderr, "game: %s: loading step %d of %d failed: %s\n", loader, step, total,
                     what.Length() > 0 ? what.GetDataConst() : "(no detail)");
    }
    if (game == nullptr) return;
    game->SetRunFailed();
    game->SetFinished(kFinishGameEnds);
}

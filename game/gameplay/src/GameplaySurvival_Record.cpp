// The round's body in its record of "saveresume.dat". The record's layout is not written yet, so
// the round keeps nothing: the save reports failure (no record is made, the previous one stays)
// and a resume reports failure (the game starts a new round instead).
#include "game/gameplay/GameplaySurvival.h"

bool CXGameplaySurvival::SaveResume(IFile* /*file*/, int /*version*/) { return false; }

bool CXGameplaySurvival::LoadResume(IFile* /*file*/, int /*version*/) { return false; }

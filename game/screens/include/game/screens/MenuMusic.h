// The music of the menu screens (the start menu and the play screen), and the file names of the
// game's music tracks. Main thread only.
#pragma once

#include "audio/SoundManager.h"

class CGameBase;

// The file names of music tracks 0 to 5, below the sounds directory.
extern const char* const g_cs_OGG_FileNames[kMusicTrackCount];

// Music track 3, looped, fading in over 4 s while the track before fades out over 2 s, when
// music is on; else the music stops at once. Nothing without a game or a sound manager.
void PlayMenuMusic(CGameBase* game);

// The music of the menu screens (the start menu and the play screen). Main thread only.
#pragma once

class CTheGame;

// Music track 3, looped, fading in over 4 s while the track before fades out over 2 s, when
// music is on; else the music stops at once. Nothing without a game or a sound manager.
void PlayMenuMusic(CTheGame* game);

#pragma once
// The sprite-set look-ups the game's screens make when they are built: a set that must have a
// number of frames, and the first frame of a set. Main thread only.

class CSpriteSet;
class CSpriteSetManager;
class IDibBitmap;

// The set of that name when it has at least `frames` frames, else null (also for a null manager
// or name).
CSpriteSet* SetWithFrames(CSpriteSetManager* sets, const char* name, int frames = 1);
// Frame 0 of the set of that name, or null when the set is missing, has no frame or is not
// loaded.
IDibBitmap* FirstFrame(CSpriteSetManager* sets, const char* name);

// Tremor reads through an IFile with these callbacks; the Ogg stream provider and the sound
// system's whole-file Ogg load share them.
#pragma once

#include <tremor/ivorbisfile.h>

class IFile;

// Callbacks whose data source is an IFile*. close leaves the file open: its owner closes it.
ov_callbacks OggFileCallbacks();

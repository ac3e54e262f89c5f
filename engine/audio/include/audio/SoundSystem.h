// Audio area: the sound-system interface (this file), the device sound system
// (CiPhoneSoundSystem), the software mixer with its audio thread (Sound), effects and voices
// (SoundFX, Channel), music streaming providers (CStreamingProvider*) and the game's sound
// manager with its named effect table (CSoundManager).
//
// Depends on: core (strings, arrays, files, parser), platform (Pcm.h, Clock.h), Tremor for Ogg
// Vorbis; the owner is reached through ISoundHost (audio/SoundHost.h).
// Threads: everything here runs on the game thread except the mixer's audio thread, which meets
// the game thread only under the mixer's one lock.
// Output back end: COBBLE_SOUND (see platform/Pcm.h and the README).
#pragma once

#include "core/Common.h"

// The one interface through which the game reaches audio. Ids returned by the loads are slot
// indexes; -1 means failure or refusal. Every operation refuses quietly.
class ISoundSystem {
public:
    virtual ~ISoundSystem() = default;

    // 1 when the mixer opened, 0 when not (the caller then deletes the sound system).
    virtual int Initialize() = 0;
    virtual void Shutdown() = 0;
    // Loads a WAV effect: effect id, or -1.
    virtual int LoadWAV(const char* fileName) = 0;
    // Plays an effect: the mixer channel number, or -1 when nothing plays.
    virtual int PlaySFX(int id, bool loop) = 0;
    // Stops the effect on `channel`, or on every channel when channel is negative.
    virtual void StopSFX(int id, int channel) = 0;
    virtual void UnloadWAV(int id) = 0;
    // Decodes a whole mono Ogg Vorbis file into an effect: effect id, or -1.
    virtual int LoadOGG(const char* fileName) = 0;
    virtual int GetLength(int id) = 0;
    // Stops every effect channel (streams keep playing); 0.
    virtual int StopAll() = 0;
    // Volumes are 0..100; values outside are clamped.
    virtual void SetVolume(int volume) {}
    virtual int GetVolume() { return 100; }
    virtual void SetMusicVolume(int volume) {}
    virtual int GetMusicVolume() { return 100; }
    virtual void SoundON(bool on) {}
    virtual void MusicON(bool on) {}
    virtual void SetPaused(bool paused) {}
    virtual int LoadS3M(const char*) { return 0; }
    virtual int PlayS3M(int, bool) { return 0; }
    virtual int StopS3M(int) { return 0; }
    virtual void UnloadS3M(int) {}
    // Loads a music stream (.ogg/.OGG or .wav/.WAV): stream id, or -1.
    virtual int LoadStream(const char* fileName) { return 0; }
    // 0 started, -1 refused. asSound plays at the effect volume and needs the sound switch.
    virtual int PlayStream(int id, bool asSound, bool loop) { return 0; }
    virtual int StopStream(int id) { return 0; }
    virtual void UnloadStream(int id) {}
    // Fade times in 24.8 fixed-point seconds.
    virtual int StopStreamWithFadeOut(int id, FIXED_FLOAT seconds) { return 0; }
    virtual int PlayStreamWithFadeIn(int id, bool asSound, bool loop, FIXED_FLOAT seconds) { return 0; }
    // Output rate in Hz.
    virtual int GetSamplingRate() { return 22050; }
    virtual void UpdateAudioTrackBuffer(void*, int) {}
};

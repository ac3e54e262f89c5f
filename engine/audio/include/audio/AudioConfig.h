// Limits of the audio area, in one place. The values are those the game's data and the device
// sound system were built around; changing them changes slot ids the game hands around.
#pragma once

namespace audio_config {

inline constexpr int kEffectSlots = 100;   // effect ids 0..99 of the device sound system
inline constexpr int kChannelTable = 100;  // mixer channel numbers tracked by the sound system
inline constexpr int kStreamSlots = 256;   // stream ids 0..255
inline constexpr int kOutputRate = 48000;  // the rate the sound system opens the mixer at
inline constexpr int kRateWithoutSound = 22050;

inline constexpr int kMinModuleChannels = 1;
inline constexpr int kMaxModuleChannels = 3;
inline constexpr int kMinEffectChannels = 8;
inline constexpr int kMaxEffectChannels = 64;

inline constexpr int kMaxVolume = 64;         // mixer volumes 0..64
inline constexpr int kStreamUnityGain = 128;  // stream volume that adds samples unchanged

// The most bytes one Ogg decode call may produce; decode blocks keep this much spare room.
inline constexpr int kOggReadBytes = 4096;

// The highest sample rate a WAV file may give (the highest in common use); a larger value is
// damage, not a recording.
inline constexpr int kMaxSourceRateHz = 384000;

// Loads of effects and whole decoded files above this are refused rather than attempted.
inline constexpr long long kMaxDecodedBytes = 256LL * 1024 * 1024;

}  // namespace audio_config

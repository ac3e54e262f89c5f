#pragma once
// The settings part at the head of "global.opt", written by hand from its layout table: version,
// sound, effects volume, music, music volume, silence, orientation, 32 x (control code, control
// flag), then the tag "BasicDataEnd". Shared by the engine's and the game's player-data tests.

#include <string>
#include <vector>

#include "testsupport/ByteBuilder.h"

struct TSettingsFixture {
    bool sound = false;
    int effectsVolume = 73;
    bool music = true;
    int musicVolume = 12;
    bool silence = true;
    int orientation = -2;
    // Control i holds code i * 3 - 7 and flag (i % 5 == 1): every value differs from the defaults.
};

inline CByteBuilder::Bytes SettingsPartBytes(const TSettingsFixture& f, const std::string& tag = "BasicDataEnd") {
    CByteBuilder b;
    b.Int(1).Bool(f.sound).Int(f.effectsVolume).Bool(f.music).Int(f.musicVolume).Bool(f.silence).Int(f.orientation);
    for (int i = 0; i < 32; ++i) b.Int(i * 3 - 7).Bool(i % 5 == 1);
    b.Str(tag);
    return b.bytes;
}

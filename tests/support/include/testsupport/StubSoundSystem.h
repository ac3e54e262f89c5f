#pragma once
// A sound system that plays nothing: it starts, loads nothing (every load gives the -1 of a
// failed load) and stops at once. Fixtures derive from it to record or report what their tests
// look at, and override only that.

#include <string>
#include <vector>

#include "audio/SoundSystem.h"

class CStubSoundSystem : public ISoundSystem {
public:
    int Initialize() override { return 1; }
    void Shutdown() override {}
    int LoadWAV(const char*) override { return -1; }
    int PlaySFX(int, bool) override { return -1; }
    void StopSFX(int, int) override {}
    void UnloadWAV(int) override {}
    int LoadOGG(const char*) override { return -1; }
    int GetLength(int) override { return 0; }
    int StopAll() override { return 0; }
};

// Loads every effect and records the files of those it plays.
class CEffectRecordingSoundSystem : public CStubSoundSystem {
public:
    int LoadWAV(const char* path) override {
        files.emplace_back(path);
        return static_cast<int>(files.size()) - 1;
    }
    int PlaySFX(int id, bool loop) override {
        played.push_back(files[static_cast<std::size_t>(id)]);
        if (loop) looped.push_back(files[static_cast<std::size_t>(id)]);
        return 0;
    }
    std::vector<std::string> files;
    std::vector<std::string> played;
    std::vector<std::string> looped;  // those of `played` started as loops
};

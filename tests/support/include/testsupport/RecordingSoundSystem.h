#pragma once
// A sound system that loads every effect and records, in order, the file of each effect it
// plays, so a test sees which sounds went out.

#include <cstddef>
#include <string>
#include <vector>

#include "testsupport/StubSoundSystem.h"

class CRecordingSoundSystem : public CStubSoundSystem {
public:
    int LoadWAV(const char* path) override {
        files.emplace_back(path);
        return static_cast<int>(files.size()) - 1;
    }
    int PlaySFX(int id, bool) override {
        played.push_back(files[static_cast<std::size_t>(id)]);
        return 0;
    }
    std::vector<std::string> files;   // by load, the effect's id is its index
    std::vector<std::string> played;  // the files of the effects played
};

#pragma once
// The rotator's hardware path for tests that look at what was asked to be drawn: it keeps every
// rotated draw and takes it, so nothing reaches a bitmap.

#include <vector>

#include "render/ImageRotatorScaler.h"

class CRecordingRotatorPath : public IRotatorHardwarePath {
public:
    bool Draw(const TRotatedDraw& draw) override {
        draws.push_back(draw);
        return true;
    }
    std::vector<TRotatedDraw> draws;
};

#pragma once
// The game's progress bar: the framework's, under the game's name; the farm's category bars
// derive from it.

#include "ui/Progress.h"

class XGameProgress : public XProgress {
public:
    using XProgress::XProgress;
};

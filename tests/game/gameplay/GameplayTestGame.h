#pragma once
// The gameplay objects' suites' fixture, now in GameplayFixture.h.
#include "GameplayFixture.h"

// The fixed-seed hook of the system generator.
#include <cstdlib>

#include "app/GameBase.h"

void CGameBase::SeedRandoms(unsigned int seed) {
    m_bRandomSeeded = true;
    std::srand(seed);
}

// What the round statistics offer to buy after a round: the farm object its quest list chose and
// the yard it goes to. The statistics dialog implements it; the round reads it when the player
// confirms or asks for the cannot-buy dialog, so it never names the dialog's class.
//
// Threads: main thread only.
#pragma once

#include "core/CommonString.h"

class IRoundStatsOffer {
public:
    // The definition id of the chosen farm object; empty before one is chosen.
    virtual const CommonString& GetChosenObject() const = 0;
    // The yard the chosen object belongs to; empty before one is chosen.
    virtual const CommonString& GetChosenYard() const = 0;

protected:
    ~IRoundStatsOffer() = default;
};

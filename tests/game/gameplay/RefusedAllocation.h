// A way for the round's tests to see what happens when memory runs out: while a refusal lives,
// the next nothrow allocation of its size in this test program gives back null, as the library's
// would then.
#pragma once

#include <cstddef>

namespace gameplaytest {

class CRefusedAllocation {
public:
    // Arms one refusal of a `new (std::nothrow)` of exactly `size` bytes (0: none).
    explicit CRefusedAllocation(std::size_t size);
    // Disarms a refusal that did not come, so it cannot hit a later test.
    ~CRefusedAllocation();
    CRefusedAllocation(const CRefusedAllocation&) = delete;
    CRefusedAllocation& operator=(const CRefusedAllocation&) = delete;

    // Whether the refusal is still waiting (no nothrow allocation of its size came since).
    bool Pending() const;
};

}  // namespace gameplaytest

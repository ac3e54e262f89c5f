// A way for the round's tests to see what happens when memory runs out: the next nothrow
// allocation of a given size in this test program gives back null, as the library's would then.
#pragma once

#include <cstddef>

namespace gameplaytest {

// Arms one refusal: the next `new (std::nothrow)` of exactly `size` bytes returns null.
void RefuseNextNothrowAllocation(std::size_t size);

// Whether the armed refusal is still waiting (no nothrow allocation of its size came since).
bool NothrowRefusalPending();

// Disarms a refusal that did not come (so it cannot hit a later test).
void ClearNothrowRefusal();

}  // namespace gameplaytest

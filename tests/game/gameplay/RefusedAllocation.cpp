// The test program's own nothrow allocation: the library's form (the ordinary allocation, null
// where it would throw), but for one armed refusal. It allocates through the ordinary operator new
// so that the ordinary delete, which frees every object, matches it.
#include "RefusedAllocation.h"

#include <new>

namespace {
// The size of the next nothrow allocation to refuse (0: none).
std::size_t g_RefuseSize = 0;
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (size != 0 && size == g_RefuseSize) {
        g_RefuseSize = 0;
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace gameplaytest {

CRefusedAllocation::CRefusedAllocation(std::size_t size) { g_RefuseSize = size; }

CRefusedAllocation::~CRefusedAllocation() { g_RefuseSize = 0; }

bool CRefusedAllocation::Pending() const { return g_RefuseSize != 0; }

}  // namespace gameplaytest

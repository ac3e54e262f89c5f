#include "platform/HeapReuse.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

std::uintptr_t ProgramBreak() { return reinterpret_cast<std::uintptr_t>(sbrk(0)); }

// A frame's worth of driver buffers: blocks of 48 KiB that together grow the heap by 8 MiB, then
// all freed. With the allocator's default the heap shrinks back right after; kept, the break
// stays where the blocks took it and the next frame's blocks fit without growing it again.
TEST(HeapReuse, FreedBlocksStayInTheHeapAndServeTheNextRound) {
    if (kOwnAllocator) GTEST_SKIP() << "the sanitizer's allocator has no heap break";
    KeepFreedHeapForReuse();
    constexpr std::size_t kBlock = 48 << 10, kBlocks = (8 << 20) / kBlock;
    auto round = [&] {
        std::vector<void*> blocks;
        for (std::size_t i = 0; i < kBlocks; ++i) {
            void* p = std::malloc(kBlock);
            std::memset(p, 1, kBlock);
            blocks.push_back(p);
        }
        const std::uintptr_t grown = ProgramBreak();
        for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) std::free(*it);
        return grown;
    };
    const std::uintptr_t before = ProgramBreak();
    const std::uintptr_t grown = round();
    ASSERT_GE(grown - before, kBlocks * kBlock / 2) << "the blocks did not come from the heap";
    EXPECT_EQ(ProgramBreak(), grown) << "the freed top of the heap went back to the kernel";
    EXPECT_EQ(round(), grown) << "the second round grew the heap instead of reusing it";
    EXPECT_EQ(ProgramBreak(), grown);
}

}  // namespace
}  // namespace platform

#pragma once
// The headless GL context of the GL benchmarks: llvmpipe held to one thread (set before any GL
// starts, so every renderer in the process rasterises alike), the allocator set as the program sets
// it, and a w x h pbuffer made current.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "platform/HeapReuse.h"
#include "testsupport/GlesTestContext.h"

namespace bench {

// The context, or null with the benchmark marked failed when none can be made.
inline std::unique_ptr<CGlesTestContext> StartHeadlessGl(benchmark::State& state, int w, int h) {
    setenv("LP_NUM_THREADS", "1", 1);
    platform::KeepFreedHeapForReuse();  // as the program does at start-up
    auto ctx = std::make_unique<CGlesTestContext>(w, h);
    if (!ctx->IsValid()) {
        state.SkipWithError("no headless EGL context");
        return nullptr;
    }
    return ctx;
}

}  // namespace bench

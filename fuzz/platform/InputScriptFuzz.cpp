// The headless input script is read from a file a user writes: any bytes must give either a
// decoded script or a clean failure.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/InputScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::TInputScript script =
        platform::ParseInputScript(std::span<const char>(reinterpret_cast<const char*>(data), size), "fuzz");
    if (script.ok == !script.error.empty()) std::abort();   // exactly one of the two outcomes
    if (!script.ok && !script.lines.empty()) std::abort();  // a failure never half-runs
    for (std::size_t i = 1; i < script.lines.size(); ++i) {
        if (script.lines[i - 1].frame > script.lines[i].frame) std::abort();
    }
    return 0;
}

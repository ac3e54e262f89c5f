// The second reading of a pak target's input: a list of byte patches (two offset bytes, one
// value) over a well-formed pak, so that the deeper paths of the readers are reached without
// committing binary seeds. An input whose length is not a multiple of 3 also cuts the pak short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> PatchPak(std::vector<std::uint8_t> pak, const std::uint8_t* data, std::size_t size) {
    if (pak.empty()) return pak;
    for (std::size_t i = 0; i + 2 < size; i += 3) {
        const std::size_t at = (data[i] | (data[i + 1] << 8)) % pak.size();
        pak[at] = data[i + 2];
    }
    if (size % 3 != 0 && size < pak.size()) pak.resize(pak.size() - size);
    return pak;
}

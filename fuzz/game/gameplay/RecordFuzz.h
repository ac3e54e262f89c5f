// What the gameplay record targets share: moving a record through memory files, and the rule
// every accepted record must keep, that what it writes reads back and writes the same bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/MemFile.h"
#include "testsupport/MemoryFiles.h"

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)

namespace gameplayfuzz {

using Bytes = std::vector<std::uint8_t>;

// The bytes write(file) puts into a fresh memory file; it must succeed.
template <class Write>
Bytes Written(Write write) {
    CMemoryFile out;
    FUZZ_CHECK(out.Create(1u << 22));
    FUZZ_CHECK(write(static_cast<IFile*>(&out)) == 1);
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    return Bytes(bytes, bytes + out.GetCurPos());
}

// The result of read(file) over a memory file holding the bytes.
template <class Read>
int ReadOver(const Bytes& bytes, Read read) {
    std::unique_ptr<CMemoryFile> in(MemoryFileOver(bytes));
    return read(static_cast<IFile*>(in.get()));
}

}  // namespace gameplayfuzz

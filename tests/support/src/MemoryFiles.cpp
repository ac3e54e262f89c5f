#include "testsupport/MemoryFiles.h"

#include <cstdlib>
#include <cstring>

CMemoryFile* MemoryFileOver(const std::vector<std::uint8_t>& bytes) {
    auto* file = new CMemoryFile;
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    file->Attach(copy, static_cast<int>(bytes.size()));
    return file;
}

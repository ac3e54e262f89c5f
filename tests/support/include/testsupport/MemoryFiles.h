// Memory files over bytes a test holds, for the readers that take an open file.
#pragma once

#include <cstdint>
#include <vector>

#include "core/MemFile.h"

// A memory file over a copy of the bytes, owned by the caller (or by the reader it is handed
// to, where that reader adopts its file).
CMemoryFile* MemoryFileOver(const std::vector<std::uint8_t>& bytes);

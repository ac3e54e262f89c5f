// The pak writer: builds zip resource paks as the engine's pak reader expects them (members
// stored or raw-deflated, backslash names, central directory right before the end record, no
// archive comment), and on request the awkward forms the reader must cope with or refuse:
// forward-slash names, an archive comment, data-descriptor entries, duplicate names, unknown
// compression methods and truncated files. Pure C++ over zlib; no engine dependency.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pakwriter {

// One member as it will be written. The name is written byte for byte as given: use ToPakName
// to turn a relative path into the backslash form the game looks up.
struct TPakMember {
    std::string name;
    std::vector<std::uint8_t> data;
    bool deflate = true;          // false: stored (method 0); streamed music must be stored
    bool dataDescriptor = false;  // local header carries zero CRC and sizes; a descriptor follows the data
    int methodOverride = -1;      // >= 0: write this method number over the stored bytes (for refusal tests)
};

struct TPakOptions {
    std::string comment;  // archive comment after the end record; the game's reader refuses such paks
};

// Builds the whole pak in memory. Members keep their order; duplicates are written as given.
[[nodiscard]] std::vector<std::uint8_t> BuildPak(const std::vector<TPakMember>& members,
                                                 const TPakOptions& options = {});

// Raw deflate (no zlib header) as the pak stores deflated members.
[[nodiscard]] std::vector<std::uint8_t> DeflateRaw(std::span<const std::uint8_t> data, int level = 9);

// "Data/sfx.txt" -> "Data\sfx.txt".
[[nodiscard]] std::string ToPakName(std::string_view relativePath);

// Writes bytes to path; false (with errno untouched) when the file cannot be written whole.
[[nodiscard]] bool WriteBytesToFile(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads a whole file; false when it cannot be opened or read.
[[nodiscard]] bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out);

}  // namespace pakwriter

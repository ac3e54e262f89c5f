// The pak writer: builds zip resource paks as the engine's pak reader expects them (members
// stored or raw-deflated, backslash names, central directory right before the end record, no
// archive comment), and on request the awkward forms the reader must cope with or refuse:
// forward-slash names, an archive comment, data-descriptor entries, duplicate names, unknown
// compression methods and truncated files. Pure C++ over zlib; no engine dependency.
//
// The game's own pak is written reproducibly: members sorted by name, every time stamp the same
// fixed value, and the compression method chosen by the name's extension (already compressed
// images and streamed music stored, the rest deflated), so two builds give identical bytes.
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

// What the format can hold: the end record counts members in 16 bits, and the game's reader keeps
// a name's length in a signed byte.
inline constexpr std::size_t kMaxPakMembers = 65535;
inline constexpr std::size_t kMaxPakNameBytes = 127;

// Extensions the game pak stores instead of deflating: PNG is compressed already, and an Ogg
// stream is decoded in place from its member, which only works on stored bytes.
inline const std::vector<std::string> kStoredExtensions = {".ogg", ".png"};

// Why a list of member names cannot be written as a game pak.
enum class EPakNames { Ok, Empty, TooManyMembers, NameTooLong };

// Checks the names against the format's limits. For NameTooLong, *offender (when given) is the
// index of the first name of kMaxPakNameBytes + 1 bytes or more.
[[nodiscard]] EPakNames CheckPakNames(const std::vector<std::string>& names, std::size_t* offender = nullptr);

// True when the name ends with one of the extensions, compared without regard to letter case.
[[nodiscard]] bool HasExtension(std::string_view name, const std::vector<std::string>& extensions);

// Orders members by name, byte by byte; members of the same name keep their relative order.
void SortByName(std::vector<TPakMember>& members);

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

// Private to engine/core: the hash table the pak reader builds over its name index at open, so a
// look-up by name costs a few probes instead of a scan of every entry.
#pragma once

#include <cstdint>
#include <memory>

struct MyMapPair;

class CZipNameTable {
public:
    // Indexes pairs[0 .. count) by their stored hashes; when two pairs share a name only the first
    // is kept, so a look-up finds the first in directory order. False (and an empty table) when
    // memory runs out.
    [[nodiscard]] bool Build(const MyMapPair* pairs, int count);
    // The position in pairs of the first pair named exactly name[0 .. length) (hash from
    // CBBZipFileReader::CalculateHashCodeLen), or -1.
    int Find(const MyMapPair* pairs, const char* name, int length, unsigned int hash) const;
    bool IsBuilt() const { return m_Slots != nullptr; }
    void Clear();

private:
    std::uint32_t Home(unsigned int hash) const;

    // Slot value: position in pairs plus one; 0 is an empty slot. Open addressing, linear probes,
    // a power-of-two size at least twice the pair count.
    std::unique_ptr<std::uint32_t[]> m_Slots;
    std::uint32_t m_Mask = 0;
    int m_Shift = 32;
};

#include "ZipNameTable.h"

#include <cstring>
#include <new>

#include "core/ZipFile.h"

namespace {

bool SameName(const MyMapPair& p, const char* name, int length, unsigned int hash) {
    return p.hash == hash && p.length == length && std::memcmp(p.name, name, static_cast<std::size_t>(length)) == 0;
}

}  // namespace

std::uint32_t CZipNameTable::Home(unsigned int hash) const {
    // The PJW hash keeps the last characters in its low bits (".png" alike for whole folders), so
    // the slot comes from the top bits of a multiplicative mix instead.
    return static_cast<std::uint32_t>(hash * 0x9E3779B1u) >> m_Shift;
}

bool CZipNameTable::Build(const MyMapPair* pairs, int count) {
    Clear();
    if (pairs == nullptr || count <= 0) return false;
    int bits = 1;
    while ((std::int64_t{1} << bits) < std::int64_t{2} * count) ++bits;
    const std::size_t size = std::size_t{1} << bits;
    m_Slots.reset(new (std::nothrow) std::uint32_t[size]());
    if (!m_Slots) return false;
    m_Mask = static_cast<std::uint32_t>(size - 1);
    m_Shift = 32 - bits;
    for (int i = 0; i < count; ++i) {
        const MyMapPair& p = pairs[i];
        std::uint32_t slot = Home(p.hash);
        bool duplicate = false;
        while (m_Slots[slot] != 0) {
            if (SameName(pairs[m_Slots[slot] - 1], p.name, p.length, p.hash)) {
                duplicate = true;
                break;
            }
            slot = (slot + 1) & m_Mask;
        }
        if (!duplicate) m_Slots[slot] = static_cast<std::uint32_t>(i) + 1;
    }
    return true;
}

int CZipNameTable::Find(const MyMapPair* pairs, const char* name, int length, unsigned int hash) const {
    if (!m_Slots) return -1;
    for (std::uint32_t slot = Home(hash); m_Slots[slot] != 0; slot = (slot + 1) & m_Mask) {
        const int position = static_cast<int>(m_Slots[slot]) - 1;
        if (SameName(pairs[position], name, length, hash)) return position;
    }
    return -1;
}

void CZipNameTable::Clear() {
    m_Slots.reset();
    m_Mask = 0;
    m_Shift = 32;
}

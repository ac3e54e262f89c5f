// Shared fixtures of the pak, memory-file, member-file and record-file tests: a scratch
// directory, a file host that owns the pak readers the tests install, and helpers
// that build paks with the pak writer.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/ZipFile.h"
#include "core/iPhoneFile.h"
#include "pakwriter/PakWriter.h"
#include "testsupport/FakeFileHost.h"
#include "testsupport/ScratchDir.h"

namespace paktest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Bytes no compressor shrinks much but that still vary from offset to offset.
inline Bytes Pattern(std::size_t size, std::uint32_t seed) {
    Bytes out(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : out) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
    }
    return out;
}

using ::CScratchDir;

inline bool WriteFile(const std::string& path, const Bytes& bytes) { return pakwriter::WriteBytesToFile(path, bytes); }

inline Bytes ReadFile(const std::string& path) {
    Bytes out;
    EXPECT_TRUE(pakwriter::ReadFileBytes(path, out)) << path;
    return out;
}

// The readers the tests install are deleted with the host.
class CPakTestGame : public CFakeFileHost {
public:
    // Writes a pak and opens a reader on it; null (with a test failure) when Init fails.
    CBBZipFileReader* OpenPak(const std::string& path, const std::vector<pakwriter::TPakMember>& members) {
        EXPECT_TRUE(WriteFile(path, pakwriter::BuildPak(members)));
        return OpenReader(path);
    }

    // Replaces the optional pak by a reader on the pak written at path, as the game does when it
    // opens one; the reader, or null (with a test failure) when Init fails.
    CBBZipFileReader* SetOptionalPak(const std::string& path) {
        delete m_Paks.m_pOptionalPak;
        m_Paks.m_pOptionalPak = OpenReader(path);
        return m_Paks.m_pOptionalPak;
    }

private:
    CBBZipFileReader* OpenReader(const std::string& path) {
        auto* reader = new CBBZipFileReader(this);
        const int rc = reader->Init(path.c_str());
        EXPECT_EQ(rc, ZipResult::Ok) << path;
        if (rc != ZipResult::Ok) {
            delete reader;
            return nullptr;
        }
        return reader;
    }
};

inline pakwriter::TPakMember Member(const std::string& name, const Bytes& data, bool deflate = true) {
    pakwriter::TPakMember m;
    m.name = name;
    m.data = data;
    m.deflate = deflate;
    return m;
}

inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// One member of a zip written byte by byte, for the forms the pak writer does not make: the data
// is given as it lies in the archive (already deflated, or not), with the CRC and length it claims.
struct THandMember {
    std::string name;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    Bytes packed;
    std::uint32_t crc = 0;
    std::uint32_t length = 0;
    Bytes centralExtra;  // the central header's extra field (the local header gets none)
};

inline void Append16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Append32(Bytes& b, std::uint32_t v) {
    Append16(b, v & 0xFFFF);
    Append16(b, v >> 16);
}

// A stored member whose CRC comes from zlib.
inline THandMember HandStored(const std::string& name, const Bytes& data) {
    THandMember m;
    m.name = name;
    m.packed = data;
    m.length = static_cast<std::uint32_t>(data.size());
    m.crc = static_cast<std::uint32_t>(crc32(0L, data.data(), static_cast<uInt>(data.size())));
    return m;
}

// The zip archive of the members as the format lays it out: each local header with its data, then
// the central directory and the end record, every offset counted from the first byte.
inline Bytes HandZip(const std::vector<THandMember>& members) {
    Bytes out, central;
    for (const THandMember& m : members) {
        const auto localOffset = static_cast<std::uint32_t>(out.size());
        Append32(out, 0x04034b50);
        for (std::uint32_t v : {20u, static_cast<std::uint32_t>(m.flags), static_cast<std::uint32_t>(m.method), 0u, 0u})
            Append16(out, v);
        Append32(out, m.crc);
        Append32(out, static_cast<std::uint32_t>(m.packed.size()));
        Append32(out, m.length);
        Append16(out, static_cast<std::uint32_t>(m.name.size()));
        Append16(out, 0);
        out.insert(out.end(), m.name.begin(), m.name.end());
        out.insert(out.end(), m.packed.begin(), m.packed.end());

        Append32(central, 0x02014b50);
        for (std::uint32_t v :
             {20u, 20u, static_cast<std::uint32_t>(m.flags), static_cast<std::uint32_t>(m.method), 0u, 0u})
            Append16(central, v);
        Append32(central, m.crc);
        Append32(central, static_cast<std::uint32_t>(m.packed.size()));
        Append32(central, m.length);
        for (std::size_t v : {m.name.size(), m.centralExtra.size(), std::size_t{0}, std::size_t{0}, std::size_t{0}})
            Append16(central, static_cast<std::uint32_t>(v));
        Append32(central, 0);
        Append32(central, localOffset);
        central.insert(central.end(), m.name.begin(), m.name.end());
        central.insert(central.end(), m.centralExtra.begin(), m.centralExtra.end());
    }
    const auto dirOffset = static_cast<std::uint32_t>(out.size());
    out.insert(out.end(), central.begin(), central.end());
    Append32(out, 0x06054b50);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, static_cast<std::uint32_t>(members.size()));
    Append16(out, static_cast<std::uint32_t>(members.size()));
    Append32(out, static_cast<std::uint32_t>(central.size()));
    Append32(out, dirOffset);
    Append16(out, 0);
    return out;
}

// Offset of the n-th (0-based) record with this 4-byte signature, or npos.
inline std::size_t FindSignature(const Bytes& b, std::uint32_t signature, int n = 0) {
    for (std::size_t i = 0; i + 4 <= b.size(); ++i)
        if (Get32(b, i) == signature && n-- == 0) return i;
    return std::string::npos;
}

// A disk file whose every byte arrives but whose close reports a failure, as a network or
// journalled file system reports a late write error only when the file is closed.
class CLateFailingCloseFile : public CiPhoneFile {
public:
    int Close() override {
        (void)CiPhoneFile::Close();
        return 0;
    }
};

// A disk file whose writes stop after `budget` bytes, as on a full disk. `silent` reports every
// write as complete, as a buffered stream does when the loss only shows at close.
class CShortWriteFile : public CiPhoneFile {
public:
    CShortWriteFile(long budget, bool silent) : budget(budget), silent(silent) {}
    int WriteData(const void* data, int count) override {
        const int allowed = static_cast<int>(count < budget ? count : budget);
        const int written = allowed > 0 ? CiPhoneFile::WriteData(data, allowed) : 0;
        if (written > 0) budget -= written;
        return silent ? count : written;
    }
    int WriteInt(int v) override { return WriteData(&v, 4); }
    int WriteUInt(unsigned int v) override { return WriteData(&v, 4); }
    int WriteWord(unsigned short v) override { return WriteData(&v, 2); }
    int WriteByte(unsigned char v) override { return WriteData(&v, 1); }

private:
    long budget;
    bool silent;
};

}  // namespace paktest

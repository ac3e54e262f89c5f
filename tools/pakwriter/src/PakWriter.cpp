#include "pakwriter/PakWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace pakwriter {
namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint16_t kVersion = 20;
constexpr std::uint16_t kFlagDataDescriptor = 1u << 3;
// 1980-01-01 00:00: a fixed stamp keeps paks byte-identical from build to build.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutBytes(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

struct TWritten {
    std::uint16_t flags;
    std::uint16_t method;
    std::uint32_t crc;
    std::uint32_t compressedSize;
    std::uint32_t size;
    std::uint32_t localOffset;
};

}  // namespace

std::vector<std::uint8_t> DeflateRaw(std::span<const std::uint8_t> data, int level) {
    z_stream zs{};
    // Window bits -15: raw deflate, the form the reader hands to inflateInit2(-15).
    if (deflateInit2(&zs, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::vector<std::uint8_t> out(deflateBound(&zs, static_cast<uLong>(data.size())) + 16);
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (rc != Z_STREAM_END) return {};
    return out;
}

std::vector<std::uint8_t> BuildPak(const std::vector<TPakMember>& members, const TPakOptions& options) {
    std::vector<std::uint8_t> pak;
    std::vector<TWritten> written;
    written.reserve(members.size());

    for (const TPakMember& m : members) {
        TWritten w{};
        w.localOffset = static_cast<std::uint32_t>(pak.size());
        w.size = static_cast<std::uint32_t>(m.data.size());
        w.crc = static_cast<std::uint32_t>(crc32(0L, m.data.data(), static_cast<uInt>(m.data.size())));
        w.flags = m.dataDescriptor ? kFlagDataDescriptor : 0;

        std::vector<std::uint8_t> deflated;
        const std::vector<std::uint8_t>* body = &m.data;
        if (m.methodOverride >= 0) {
            w.method = static_cast<std::uint16_t>(m.methodOverride);
        } else if (m.deflate) {
            deflated = DeflateRaw(m.data);
            body = &deflated;
            w.method = 8;
        } else {
            w.method = 0;
        }
        w.compressedSize = static_cast<std::uint32_t>(body->size());

        Put32(pak, kLocalSignature);
        Put16(pak, kVersion);
        Put16(pak, w.flags);
        Put16(pak, w.method);
        Put16(pak, kDosTime);
        Put16(pak, kDosDate);
        // With a data descriptor the local header leaves CRC and sizes at zero, as a streaming
        // writer that does not know them yet would.
        Put32(pak, m.dataDescriptor ? 0 : w.crc);
        Put32(pak, m.dataDescriptor ? 0 : w.compressedSize);
        Put32(pak, m.dataDescriptor ? 0 : w.size);
        Put16(pak, static_cast<std::uint32_t>(m.name.size()));
        Put16(pak, 0);
        PutBytes(pak, m.name.data(), m.name.size());
        PutBytes(pak, body->data(), body->size());
        if (m.dataDescriptor) {
            Put32(pak, kDescriptorSignature);
            Put32(pak, w.crc);
            Put32(pak, w.compressedSize);
            Put32(pak, w.size);
        }
        written.push_back(w);
    }

    const auto directoryOffset = static_cast<std::uint32_t>(pak.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const TPakMember& m = members[i];
        const TWritten& w = written[i];
        Put32(pak, kCentralSignature);
        Put16(pak, kVersion);
        Put16(pak, kVersion);
        Put16(pak, w.flags);
        Put16(pak, w.method);
        Put16(pak, kDosTime);
        Put16(pak, kDosDate);
        Put32(pak, w.crc);
        Put32(pak, w.compressedSize);
        Put32(pak, w.size);
        Put16(pak, static_cast<std::uint32_t>(m.name.size()));
        Put16(pak, 0);  // extra
        Put16(pak, 0);  // comment
        Put16(pak, 0);  // disk
        Put16(pak, 0);  // internal attributes
        Put32(pak, 0);  // external attributes
        Put32(pak, w.localOffset);
        PutBytes(pak, m.name.data(), m.name.size());
    }
    const auto directorySize = static_cast<std::uint32_t>(pak.size() - directoryOffset);

    Put32(pak, kEndSignature);
    Put16(pak, 0);
    Put16(pak, 0);
    Put16(pak, static_cast<std::uint32_t>(members.size()));
    Put16(pak, static_cast<std::uint32_t>(members.size()));
    Put32(pak, directorySize);
    Put32(pak, directoryOffset);
    Put16(pak, static_cast<std::uint32_t>(options.comment.size()));
    PutBytes(pak, options.comment.data(), options.comment.size());
    return pak;
}

EPakNames CheckPakNames(const std::vector<std::string>& names, std::size_t* offender) {
    if (names.empty()) return EPakNames::Empty;
    if (names.size() > kMaxPakMembers) return EPakNames::TooManyMembers;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].size() > kMaxPakNameBytes) {
            if (offender) *offender = i;
            return EPakNames::NameTooLong;
        }
    }
    return EPakNames::Ok;
}

bool HasExtension(std::string_view name, const std::vector<std::string>& extensions) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& ext) {
        return ext.size() <= name.size() && std::equal(ext.rbegin(), ext.rend(), name.rbegin(),
                                                       [&](char a, char b) { return lower(a) == lower(b); });
    });
}

void SortByName(std::vector<TPakMember>& members) {
    // std::string compares as unsigned bytes, so the order does not depend on the locale.
    std::stable_sort(members.begin(), members.end(),
                     [](const TPakMember& a, const TPakMember& b) { return a.name < b.name; });
}

std::string ToPakName(std::string_view relativePath) {
    std::string name(relativePath);
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

bool WriteBytesToFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool wrote = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    return wrote && closed;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out) {
    out.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::uint8_t chunk[65536];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace pakwriter

#include "core/ZipFile.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "ZipNameTable.h"
#include "core/File.h"
#include "core/FileHost.h"

namespace {

// Reads little-endian fields without alignment assumptions.
std::uint16_t Get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Get32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Get64(const unsigned char* p) { return Get32(p) | (static_cast<std::uint64_t>(Get32(p + 4)) << 32); }

// General-purpose flag bits 0 (traditional encryption) and 6 (strong encryption): the bytes are
// ciphertext, which no read may hand out as the member.
constexpr std::uint16_t kEncryptedFlags = 0x0041;
constexpr std::uint32_t kZip64Marker = 0xFFFFFFFFu;
constexpr std::uint16_t kZip64ExtraTag = 0x0001;

}  // namespace

int DecodeZipDirectory(unsigned char* block, std::size_t size, int count, unsigned char** entries,
                       const char* nameForLog) {
    (void)nameForLog;
    if (count < 0 || (count > 0 && (block == nullptr || entries == nullptr))) return ZipResult::BadFormat;
    std::size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        if (size - pos < sizeof(TZipDirFileHeader)) return ZipResult::BadFormat;
        unsigned char* header = block + pos;
        if (Get32(header) != kZipDirFileSignature) return ZipResult::BadFormat;
        const std::size_t nameLength = Get16(header + 28);
        const std::size_t extraLength = Get16(header + 30);
        const std::size_t commentLength = Get16(header + 32);
        if (nameLength > static_cast<std::size_t>(kZipMaxNameLength)) return ZipResult::BadFormat;
        const std::size_t total = sizeof(TZipDirFileHeader) + nameLength + extraLength + commentLength;
        if (size - pos < total) return ZipResult::BadFormat;
        char* name = reinterpret_cast<char*>(header + sizeof(TZipDirFileHeader));
        for (std::size_t c = 0; c < nameLength; ++c)
            if (name[c] == '/') name[c] = '\\';
        entries[i] = header;
        pos += total;
    }
    // Entries left over (or missing) mean the end record's count or size is wrong: reading only
    // some of the members as if they were the whole pak would hide the damage.
    return pos == size ? ZipResult::Ok : ZipResult::BadFormat;
}

CBBZipFileReader::CBBZipFileReader(IFileHost* game) : m_pGame(game) { index.growBy = 500; }

CBBZipFileReader::~CBBZipFileReader() {
    Close();
    delete pakFile;
}

unsigned int CBBZipFileReader::CalculateHashCode(const char* text) {
    return text ? CalculateHashCodeLen(text, static_cast<int>(std::strlen(text))) : 0;
}

unsigned int CBBZipFileReader::CalculateHashCodeLen(const char* text, int length) {
    std::uint32_t h = 0;
    for (int i = 0; i < length; ++i) {
        h = (h << 4) + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(text[i])));
        const std::uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
            h &= ~g;
        }
    }
    return h & 0x7FFFFFFFu;
}

void CBBZipFileReader::SetPath(const char* path) {
    pakPath = path;
    // Cut back to the directory; the first character always stays.
    std::size_t n = std::strlen(path);
    while (n > 1 && path[n - 1] != '\\' && path[n - 1] != '/') --n;
    char buffer[1024];
    if (n >= sizeof buffer) n = sizeof buffer - 1;
    std::memcpy(buffer, path, n);
    buffer[n] = '\0';
    zipDirectory = buffer;
}

int CBBZipFileReader::FailInit(int code, std::string reason) {
    initFailure = std::move(reason);
    return code;
}

int CBBZipFileReader::Init(const char* path) {
    Close();
    initFailure.clear();
    if (path == nullptr || path[0] == '\0') return FailInit(ZipResult::OpenFailed, "has no name");
    SetPath(path);
    if (m_pGame == nullptr) return FailInit(ZipResult::NoMemory, "cannot be opened without a file host");
    IFile* file = m_pGame->CreateFileObject();
    if (file == nullptr) return FailInit(ZipResult::NoMemory, "cannot be opened: out of memory");
    // A missing pak is told by its owner in words; the disk file need not say it too.
    if (!file->Open(m_pGame, path, FileMode::Read | FileMode::MayBeMissing)) {
        delete file;
        std::error_code error;
        const bool missing = std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found;
        return FailInit(ZipResult::OpenFailed, missing ? "is missing" : "cannot be opened");
    }
    return InitFromFile(file, path);
}

int CBBZipFileReader::InitFromFile(IFile* pak, const char* path) {
    Close();
    delete pakFile;
    pakFile = pak;
    pakSize = 0;
    archiveStart = 0;
    initFailure.clear();
    SetPath(path ? path : "");
    if (pakFile == nullptr) return FailInit(ZipResult::NoMemory, "cannot be opened: out of memory");

    // Positions are taken from the start: a memory file and a disk file read "from the end"
    // differently, and a pak may be either.
    const int size = pakFile->GetSize();
    if (size == 0) return FailInit(ZipResult::OpenFailed, "is empty");
    if (size < static_cast<int>(sizeof(TZipDirHeader)))
        return FailInit(ZipResult::OpenFailed, "is truncated: " + std::to_string(size) +
                                                   " bytes are too few for a zip end record");
    pakSize = size;
    const long recordPos = size - static_cast<long>(sizeof(TZipDirHeader));
    unsigned char raw[sizeof(TZipDirHeader)];
    if (!pakFile->Seek(recordPos, FileSeek::Start) ||
        pakFile->ReadData(raw, sizeof raw) != static_cast<int>(sizeof raw))
        return FailInit(ZipResult::OpenFailed, "cannot be read");
    if (Get32(raw) != kZipEndSignature)
        return FailInit(ZipResult::OpenFailed, "is truncated or no pak: its last 22 bytes are no zip end record");
    const std::uint32_t dirSize = Get32(raw + 12);
    const int count = Get16(raw + 8);
    // The directory must fit between the start of the pak and the end record.
    if (dirSize > static_cast<std::uint32_t>(recordPos) ||
        !pakFile->Seek(recordPos - static_cast<long>(dirSize), FileSeek::Start))
        return FailInit(ZipResult::OpenFailed, "is truncated: its directory of " + std::to_string(dirSize) +
                                                   " bytes would begin before the start of the file");
    if (static_cast<std::uint64_t>(count) * sizeof(TZipDirFileHeader) > dirSize)
        return FailInit(ZipResult::BadFormat, "is damaged: its end record counts " + std::to_string(count) +
                                                  " members in a directory of " + std::to_string(dirSize) + " bytes");

    const std::size_t alignedDir = (static_cast<std::size_t>(dirSize) + 7) & ~static_cast<std::size_t>(7);
    const std::size_t blockSize = alignedDir + sizeof(unsigned char*) * static_cast<std::size_t>(count);
    directory = static_cast<unsigned char*>(std::calloc(blockSize ? blockSize : 1, 1));
    if (directory == nullptr) return FailInit(ZipResult::NoMemory, "cannot be opened: out of memory");
    if (dirSize > 0 && pakFile->ReadData(directory, static_cast<int>(dirSize)) != static_cast<int>(dirSize)) {
        Close();
        return FailInit(ZipResult::BadFormat, "cannot be read: its directory did not arrive whole");
    }

    entries = reinterpret_cast<unsigned char**>(directory + alignedDir);
    if (DecodeZipDirectory(directory, dirSize, count, entries, pakPath.GetDataConst()) != ZipResult::Ok) {
        Close();
        return FailInit(ZipResult::BadFormat, "is damaged: its directory does not decode");
    }
    if (count == 0) return ZipResult::Ok;
    entryCount = count;
    damageTold.assign(static_cast<std::size_t>(count), false);
    archiveStart = FindArchiveStart(recordPos - static_cast<long>(dirSize), Get32(raw + 16));
    index.growBy = count;
    for (int i = 0; i < count; ++i) {
        const unsigned char* h = entries[i];
        MyMapPair pair;
        pair.name = reinterpret_cast<char*>(entries[i] + sizeof(TZipDirFileHeader));
        pair.length = static_cast<signed char>(Get16(h + 28));
        pair.hash = CalculateHashCodeLen(pair.name, pair.length);
        // An entry that cannot be indexed for lack of memory is only left out of look-ups.
        (void)index.Add(pair);
    }
    if (!nameTable) nameTable.reset(new (std::nothrow) CZipNameTable);
    // Without the table (no memory) look-ups scan the index instead.
    if (nameTable) (void)nameTable->Build(index.data, index.count);
    return ZipResult::Ok;
}

long CBBZipFileReader::FindArchiveStart(long dirPos, std::uint32_t statedDirOffset) {
    // Offsets that already count from the start of the file (the usual case, and archives whose
    // offsets were adjusted after a stub was put in front).
    if (static_cast<long>(statedDirOffset) >= dirPos) return 0;
    const long shift = dirPos - static_cast<long>(statedDirOffset);
    // A directory offset that is merely wrong must not move every member: the first local header
    // has to be where the shift puts it.
    const auto localHeaderAt = [this](long pos) {
        unsigned char signature[4];
        return pos >= 0 && pos <= pakSize - 4 && pakFile->Seek(pos, FileSeek::Start) &&
               pakFile->ReadData(signature, 4) == 4 && Get32(signature) == kZipLocalSignature;
    };
    const long first = static_cast<long>(Get32(entries[0] + 42));
    if (localHeaderAt(first + shift) || !localHeaderAt(first)) return shift;
    return 0;
}

int CBBZipFileReader::Close() {
    const bool held = entryCount > 0;
    entryCount = 0;
    entries = nullptr;
    std::free(directory);
    directory = nullptr;
    // The index points into the freed block; a later Init starts from an empty one.
    index.count = 0;
    if (nameTable) nameTable->Clear();
    damageTold.clear();
    return held ? ZipResult::Ok : ZipResult::BadFormat;
}

const TZipDirFileHeader* CBBZipFileReader::Entry(int i) const {
    return reinterpret_cast<const TZipDirFileHeader*>(entries[i]);
}

int CBBZipFileReader::EntryOfIndexPair(int i) const {
    const unsigned char* header = reinterpret_cast<unsigned char*>(index.data[i].name) - sizeof(TZipDirFileHeader);
    int entry = i < entryCount && entries[i] == header ? i : 0;
    while (entry < entryCount && entries[entry] != header) ++entry;
    return entry;
}

int CBBZipFileReader::IndexFromName(const char* name, int* indexOut) {
    if (name == nullptr || indexOut == nullptr) return ZipResult::NullArgument;
    if (entryCount == 0) return ZipResult::NoEntries;
    const std::size_t queryLength = std::strlen(name);
    // Names in the pak are at most kZipMaxNameLength bytes; a longer query names nothing.
    if (queryLength > static_cast<std::size_t>(kZipMaxNameLength)) return ZipResult::NotFound;
    const unsigned int hash = CalculateHashCode(name);
    int found = -1;
    if (nameTable && nameTable->IsBuilt()) {
        found = nameTable->Find(index.data, name, static_cast<int>(queryLength), hash);
    } else {
        for (int i = 0; i < index.count && found < 0; ++i) {
            const MyMapPair& p = index.data[i];
            if (p.hash == hash && static_cast<std::size_t>(p.length) == queryLength &&
                std::memcmp(p.name, name, queryLength) == 0)
                found = i;
        }
    }
    if (found < 0) return ZipResult::NotFound;
    *indexOut = EntryOfIndexPair(found);
    return ZipResult::Ok;
}

int CBBZipFileReader::get_FileLength(int i, long* length) {
    if (length == nullptr) return ZipResult::NullArgument;
    if (entryCount == 0) return ZipResult::NoEntries;
    if (i < 0 || i >= entryCount) return ZipResult::BadIndex;
    *length = static_cast<long>(Get32(entries[i] + 24));
    return ZipResult::Ok;
}

int CBBZipFileReader::get_FileName(int i, char* out) {
    if (out == nullptr) return ZipResult::NullArgument;
    if (entryCount == 0) return ZipResult::NoEntries;
    if (i < 0 || i >= entryCount) return ZipResult::BadIndex;
    const std::size_t n = Get16(entries[i] + 28);
    std::memcpy(out, entries[i] + sizeof(TZipDirFileHeader), n);
    out[n] = '\0';
    return ZipResult::Ok;
}

int CBBZipFileReader::get_FilesCount(long* count) {
    if (count == nullptr) return ZipResult::NullArgument;
    if (entryCount == 0) return ZipResult::NoFiles;
    *count = entryCount;
    return ZipResult::Ok;
}

int CBBZipFileReader::ReadLocalHeader(TZipLocalHeader& l) {
    unsigned char raw[30];
    if (pakFile->ReadData(raw, sizeof raw) != static_cast<int>(sizeof raw)) return ZipResult::BadFormat;
    l.signature = Get32(raw);
    l.versionNeeded = Get16(raw + 4);
    l.flags = Get16(raw + 6);
    l.compression = Get16(raw + 8);
    l.modTime = Get16(raw + 10);
    l.modDate = Get16(raw + 12);
    l.crc32 = Get32(raw + 14);
    l.compressedSize = Get32(raw + 18);
    l.uncompressedSize = Get32(raw + 22);
    l.nameLength = Get16(raw + 26);
    l.extraLength = Get16(raw + 28);
    return l.signature == kZipLocalSignature ? ZipResult::Ok : ZipResult::BadFormat;
}

bool CBBZipFileReader::ReadZip64LocalSizes(const TZipLocalHeader& local, std::uint64_t& compressedSize) {
    std::vector<unsigned char> extra(local.extraLength);
    if (extra.empty() || pakFile->ReadData(extra.data(), static_cast<int>(extra.size())) != local.extraLength)
        return false;
    for (std::size_t pos = 0; extra.size() - pos >= 4;) {
        const std::size_t size = Get16(&extra[pos + 2]);
        if (size > extra.size() - pos - 4) return false;
        if (Get16(&extra[pos]) == kZip64ExtraTag) {
            // The 64-bit sizes come in this order, each only where its 32-bit field is the marker.
            std::size_t at = pos + 4;
            const std::size_t end = at + size;
            if (local.uncompressedSize == kZip64Marker) {
                if (end - at < 8) return false;
                at += 8;
            }
            compressedSize = local.compressedSize;
            if (local.compressedSize == kZip64Marker) {
                if (end - at < 8) return false;
                compressedSize = Get64(&extra[at]);
            }
            return true;
        }
        pos += 4 + size;
    }
    return false;
}

int CBBZipFileReader::LocateData(int i, TEntryData& data) {
    if (entryCount == 0) return ZipResult::NoEntries;
    if (i < 0 || i >= entryCount) return ZipResult::BadIndex;
    const unsigned char* h = entries[i];
    if (Get16(h + 8) & kEncryptedFlags) return ZipResult::BadMethod;
    const long long localOffset = static_cast<long long>(Get32(h + 42)) + archiveStart;
    if (localOffset > pakSize - 30 || !pakFile->Seek(static_cast<long>(localOffset), FileSeek::Start))
        return ZipResult::BadFormat;
    TZipLocalHeader local;
    if (const int rc = ReadLocalHeader(local); rc != ZipResult::Ok) return rc;
    if (local.flags & kEncryptedFlags) return ZipResult::BadMethod;
    const long extraPos = static_cast<long>(localOffset) + 30 + local.nameLength;
    std::uint64_t compressedSize = local.compressedSize;
    if (local.compressedSize == kZip64Marker || local.uncompressedSize == kZip64Marker) {
        if (extraPos > pakSize || !pakFile->Seek(extraPos, FileSeek::Start) ||
            !ReadZip64LocalSizes(local, compressedSize))
            return ZipResult::BadFormat;
    }
    // Entries written with a data descriptor leave the local sizes at zero.
    if (compressedSize == 0) compressedSize = Get32(h + 20);
    data.method = local.compression;
    data.length = static_cast<long>(Get32(h + 24));
    data.dataPos = extraPos + local.extraLength;
    // Data that would run past the end of the pak cannot all arrive.
    if (data.dataPos > pakSize || compressedSize > static_cast<std::uint64_t>(pakSize - data.dataPos))
        return ZipResult::BadFormat;
    data.compressedSize = static_cast<long>(compressedSize);
    return pakFile->Seek(data.dataPos, FileSeek::Start) ? ZipResult::Ok : ZipResult::BadFormat;
}

int CBBZipFileReader::CheckCoding(const TEntryData& data) {
    if (data.method != 0 && data.method != 8) return ZipResult::BadMethod;
    if (data.length > kZipMaxMemberBytes) return ZipResult::BadFormat;
    // The caller's buffer holds `length` bytes: a stored entry whose sizes disagree is damaged.
    if (data.method == 0 && data.compressedSize != data.length) return ZipResult::BadFormat;
    if (data.method == 8 && data.length / kZipMaxDeflateRatio > data.compressedSize) return ZipResult::BadFormat;
    return ZipResult::Ok;
}

int CBBZipFileReader::ReportDamage(int i, int code, const std::string& reason) {
    if (i < 0 || i >= entryCount || static_cast<std::size_t>(i) >= damageTold.size() || damageTold[i]) return code;
    damageTold[i] = true;
    char name[kZipMaxNameLength + 1];
    if (get_FileName(i, name) != ZipResult::Ok) name[0] = '\0';
    std::fprintf(stderr, "pak: %s: %s: %s\n", pakPath.GetDataConst() ? pakPath.GetDataConst() : "", name,
                 reason.c_str());
    return code;
}

int CBBZipFileReader::ReportLocateFailure(int i, int code) {
    if (code == ZipResult::BadMethod) return ReportDamage(i, code, "is encrypted");
    if (code == ZipResult::BadFormat)
        return ReportDamage(i, code, "is damaged: its local header or the size of its data do not fit the pak");
    return code;
}

int CBBZipFileReader::ReportCodingFailure(int i, const TEntryData& data, int code) {
    if (code == ZipResult::Ok) return code;
    std::string reason;
    if (data.method != 0 && data.method != 8)
        reason = "compression method " + std::to_string(data.method) + " is not supported";
    else if (data.length > kZipMaxMemberBytes)
        reason = "claims " + std::to_string(data.length) + " bytes, more than the " +
                 std::to_string(kZipMaxMemberBytes) + " a member may have";
    else if (data.method == 0)
        reason = "size mismatch: stored " + std::to_string(data.compressedSize) + " bytes for " +
                 std::to_string(data.length);
    else
        reason = "size mismatch: " + std::to_string(data.length) + " bytes cannot inflate from " +
                 std::to_string(data.compressedSize);
    return ReportDamage(i, code, reason);
}

int CBBZipFileReader::ValidateEntry(int i) {
    TEntryData data;
    if (const int rc = LocateData(i, data); rc != ZipResult::Ok) return ReportLocateFailure(i, rc);
    return ReportCodingFailure(i, data, CheckCoding(data));
}

int CBBZipFileReader::ReadFileOffset(int i, long* offset) {
    if (offset == nullptr) return ZipResult::NullArgument;
    TEntryData data;
    if (const int rc = LocateData(i, data); rc != ZipResult::Ok) return rc;
    *offset = data.dataPos;
    return ZipResult::Ok;
}

int CBBZipFileReader::ReadFile(int i, unsigned char* out) {
    if (out == nullptr) return ZipResult::NullArgument;
    TEntryData data;
    if (const int rc = LocateData(i, data); rc != ZipResult::Ok) return ReportLocateFailure(i, rc);
    if (const int rc = CheckCoding(data); rc != ZipResult::Ok) return ReportCodingFailure(i, data, rc);
    const int rc = data.method == 0 ? ReadStored(data, out) : ReadDeflated(data, out);
    if (rc == ZipResult::NoMemory) return rc;
    if (rc != ZipResult::Ok)
        return ReportDamage(i, rc,
                            data.method == 0 ? "is truncated: its bytes did not arrive whole"
                                             : "is damaged: its deflated data does not inflate to its size");
    // Bytes that are not what was packed are damage, however they decoded.
    const uLong crc = crc32(0L, out, static_cast<uInt>(data.length));
    if (crc != Get32(entries[i] + 16)) return ReportDamage(i, ZipResult::BadFormat, "CRC-32 mismatch");
    return ZipResult::Ok;
}

int CBBZipFileReader::ReadStored(const TEntryData& data, unsigned char* out) {
    if (data.length == 0) return ZipResult::Ok;
    return pakFile->ReadData(out, static_cast<int>(data.length)) == data.length ? ZipResult::Ok : ZipResult::BadFormat;
}

int CBBZipFileReader::ReadDeflated(const TEntryData& data, unsigned char* out) {
    // Every byte of the block is read before use (the read count is checked), so no zeroing.
    const long compressedSize = data.compressedSize;
    auto* packed =
        static_cast<unsigned char*>(std::malloc(compressedSize ? static_cast<std::size_t>(compressedSize) : 1));
    if (packed == nullptr) return ZipResult::NoMemory;
    if (compressedSize > 0 && pakFile->ReadData(packed, static_cast<int>(compressedSize)) != compressedSize) {
        std::free(packed);
        return ZipResult::BadFormat;
    }
    z_stream zs{};
    if (inflateInit2(&zs, -15) != Z_OK) {
        std::free(packed);
        return ZipResult::BadFormat;
    }
    zs.next_in = packed;
    zs.avail_in = static_cast<uInt>(compressedSize);
    zs.next_out = out;
    zs.avail_out = static_cast<uInt>(data.length);
    const int rc = inflate(&zs, Z_FINISH);
    const uLong produced = zs.total_out;
    inflateEnd(&zs);
    std::free(packed);
    // Only a complete stream that fills the entry exactly is a good read: a truncated or
    // overlong stream is damage, not success.
    if (rc != Z_STREAM_END || produced != static_cast<uLong>(data.length)) return ZipResult::BadFormat;
    return ZipResult::Ok;
}

int CBBZipFileReader::GetEntryMethod(int i) const {
    if (i < 0 || i >= entryCount) return -1;
    return Get16(entries[i] + 10);
}

std::uint32_t CBBZipFileReader::GetEntryCrc(int i) const {
    if (i < 0 || i >= entryCount) return 0;
    return Get32(entries[i] + 16);
}

CommonString CBBZipFileReader::GetZipDirectory() { return zipDirectory; }

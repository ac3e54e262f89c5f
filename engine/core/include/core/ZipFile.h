#pragma once
// The zip resource pak reader. A pak is a zip archive without an archive comment whose central
// directory lies right before the end record, with stored (0) or raw-deflated (8) members and
// names below 128 bytes, looked up case-sensitively with backslash separators. The reader keeps
// the directory in one block with a name index pointing into it, and the pak file open for its
// whole life. Everything it reads from the pak is checked against the bytes that arrived, so a
// truncated or hostile pak gives an error code, never a read outside what was read; every
// member's bytes are checked against their CRC-32 before they count as read. A damaged member is
// told on stderr once, with the pak, the member and what is wrong ("pak: PATH: MEMBER: REASON");
// a pak that cannot be opened keeps the reason for its owner to tell (GetInitFailure).
// Archives as common zip tools write them also read: zip64 sizes in a local header, and bytes
// in front of the archive whose offsets were not adjusted (a self-extracting stub).
// Main thread only; no state outside the object.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CommonString.h"
#include "core/QuorvanArray.h"

class IFileHost;
class IFile;
class CZipNameTable;

// Results of every reader operation.
namespace ZipResult {
inline constexpr int Ok = 1;
inline constexpr int NotFound = 0;         // IndexFromName: no entry has this name
inline constexpr int NoFiles = -3;         // get_FilesCount: the pak has no entries
inline constexpr int OpenFailed = -4;      // Init: path, open, end record or directory position
inline constexpr int BadFormat = -5;       // bad directory or local header, short read, bad data; Close: nothing open
inline constexpr int NoEntries = -6;       // not initialised, closed, or an empty pak
inline constexpr int BadMethod = -7;       // compression other than stored or deflated, or an encrypted entry
inline constexpr int NoMemory = -100;      // allocation failed, or no disk file object
inline constexpr int NullArgument = -101;  // a required pointer argument is null
inline constexpr int BadIndex = -102;      // entry index outside 0 .. count - 1
}  // namespace ZipResult

#pragma pack(push, 1)
// End-of-central-directory record: the last 22 bytes of a pak.
struct TZipDirHeader {
    std::uint32_t signature;  // 0x06054b50
    std::uint16_t disk;
    std::uint16_t startDisk;
    std::uint16_t dirEntries;  // the entry count
    std::uint16_t totalDirEntries;
    std::uint32_t dirSize;    // bytes of the central directory, which ends where this record begins
    std::uint32_t dirOffset;  // ignored
    std::uint16_t commentLength;
};
static_assert(sizeof(TZipDirHeader) == 22);

// Central directory file header; the name, extra field and comment follow it.
struct TZipDirFileHeader {
    std::uint32_t signature;  // 0x02014b50
    std::uint16_t versionMade;
    std::uint16_t versionNeeded;
    std::uint16_t flags;
    std::uint16_t compression;
    std::uint16_t modTime;
    std::uint16_t modDate;
    std::uint32_t crc32;
    std::uint32_t compressedSize;
    std::uint32_t uncompressedSize;  // the entry's length
    std::uint16_t nameLength;
    std::uint16_t extraLength;
    std::uint16_t commentLength;
    std::uint16_t diskStart;
    std::uint16_t internalAttributes;
    std::uint32_t externalAttributes;
    std::uint32_t localHeaderOffset;
};
static_assert(sizeof(TZipDirFileHeader) == 46);
#pragma pack(pop)

// Local file header (30 bytes in the pak), read field by field.
struct TZipLocalHeader {
    std::uint32_t signature;  // 0x04034b50
    std::uint16_t versionNeeded;
    std::uint16_t flags;
    std::uint16_t compression;
    std::uint16_t modTime;
    std::uint16_t modDate;
    std::uint32_t crc32;
    std::uint32_t compressedSize;
    std::uint32_t uncompressedSize;
    std::uint16_t nameLength;
    std::uint16_t extraLength;
};

// One name-index entry; the name points into the reader's directory block (not terminated).
struct MyMapPair {
    char* name;
    unsigned int hash;
    signed char length;
};

inline constexpr std::uint32_t kZipEndSignature = 0x06054b50;
inline constexpr std::uint32_t kZipDirFileSignature = 0x02014b50;
inline constexpr std::uint32_t kZipLocalSignature = 0x04034b50;
// Index entries keep a name's length in a signed byte.
inline constexpr int kZipMaxNameLength = 127;
// The largest length a member may claim. The biggest resources are music tracks of a few MB;
// the limit is far above them and keeps a damaged or hostile size from becoming an allocation
// of gigabytes. Members claiming more are refused (BadFormat).
inline constexpr long kZipMaxMemberBytes = 64L * 1024 * 1024;
// Deflate turns each bit into at most 516 bytes (a 258-byte match for two one-bit codes), so a
// deflated member cannot be longer than this many times its compressed size.
inline constexpr long kZipMaxDeflateRatio = 1032;

// Decodes a central directory held in block[0 .. size): walks `count` headers back to back,
// stores each header's address in entries[0 .. count), and turns every '/' of each name into
// '\' in place. Checks that every header with its name, extra field and comment lies inside the
// block, its signature, that its name is at most kZipMaxNameLength bytes, and that the headers
// fill the block exactly (a count and a size that disagree mean a damaged end record). Ok or
// BadFormat; the entries are only meaningful on Ok. The reader's Init, the tests and the fuzz target share it.
[[nodiscard]] int DecodeZipDirectory(unsigned char* block, std::size_t size, int count, unsigned char** entries,
                                     const char* nameForLog);

class CBBZipFileReader {
public:
    explicit CBBZipFileReader(IFileHost* game);
    CBBZipFileReader(const CBBZipFileReader&) = delete;
    CBBZipFileReader& operator=(const CBBZipFileReader&) = delete;
    // Close, then releases the index and the pak file.
    virtual ~CBBZipFileReader();

    // 1 and *index of the first entry named exactly `name` (backslashes, case-sensitive);
    // 0 when absent, NullArgument, NoEntries.
    virtual int IndexFromName(const char* name, int* index);
    // Fills out (get_FileLength bytes) with the entry's content, inflating a deflated one. Ok only
    // when the bytes match the entry's CRC-32; out may hold damaged bytes after a failure.
    virtual int ReadFile(int index, unsigned char* out);
    // The entry's uncompressed size.
    virtual int get_FileLength(int index, long* length);
    // Copies the name and a terminating zero; out must hold length + 1 (at most 128) bytes.
    virtual int get_FileName(int index, char* out);
    // Ok and the entry count; NoFiles when there are none.
    virtual int get_FilesCount(long* count);
    // Where the entry's data begins in the pak file.
    virtual int ReadFileOffset(int index, long* offset);
    // Drops the entries and the index (Ok), or BadFormat when nothing was held. The pak stays open.
    virtual int Close();
    // Opens the pak at `path` through the game's disk-file factory and builds the index.
    virtual int Init(const char* path);
    // The directory part of the pak path, up to and including the last separator.
    virtual CommonString GetZipDirectory();

    // Init over an already opened file (a disk file, or a memory file in tests and fuzzing);
    // the reader takes ownership of `pak` whatever the result. `path` is kept for GetPakPath.
    int InitFromFile(IFile* pak, const char* path);
    // The entry's compression method from the directory (0 stored, 8 deflated), -1 for a bad index.
    int GetEntryMethod(int index) const;
    // The entry's CRC-32 from the directory (0 for a bad index), for readers that check in place.
    std::uint32_t GetEntryCrc(int index) const;
    // Checks what can be known of an entry before its bytes are read, so that a caller can refuse
    // it before allocating: its length against kZipMaxMemberBytes (and for a deflated entry
    // against kZipMaxDeflateRatio), method, encryption, local header, and that its data lies
    // inside the pak. Ok or the code ReadFile would give.
    int ValidateEntry(int index);
    // The path given to Init: member files open their own stream on it.
    const CommonString& GetPakPath() const { return pakPath; }
    // What was wrong when Init or InitFromFile last failed, as words that follow the pak's path
    // ("is missing", "is empty", "is truncated ..."); empty after a success.
    const std::string& GetInitFailure() const { return initFailure; }
    // Tells on stderr, once per entry for the reader's life, that the entry is damaged and why;
    // returns code. Readers that check a member's bytes in place (member files) report through it.
    int ReportDamage(int index, int code, const std::string& reason);

    // The engine's 31-bit PJW hash over signed characters; 0 for "" or a length of 0.
    static unsigned int CalculateHashCode(const char* text);
    static unsigned int CalculateHashCodeLen(const char* text, int length);

private:
    // Where an entry's data lies and how it is coded, from its local header and the directory.
    struct TEntryData {
        int method = 0;
        long compressedSize = 0;
        long length = 0;  // the directory's uncompressed size
        long dataPos = 0;
    };

    // Steps shared by ReadFile, ReadFileOffset and ValidateEntry: checks the index, refuses
    // encryption, reads the local header (with its zip64 sizes) and checks that the data lies
    // inside the pak; the pak file is left at the data.
    int LocateData(int index, TEntryData& data);
    // The method and the sizes against each other and the limits.
    static int CheckCoding(const TEntryData& data);
    // ReportDamage with the words for a failure of LocateData or of CheckCoding; code back.
    int ReportLocateFailure(int index, int code);
    int ReportCodingFailure(int index, const TEntryData& data, int code);
    // The entry's bytes into out, from the pak file standing at its data.
    int ReadStored(const TEntryData& data, unsigned char* out);
    int ReadDeflated(const TEntryData& data, unsigned char* out);
    int ReadLocalHeader(TZipLocalHeader& local);
    // The zip64 sizes of a local header whose 32-bit sizes are 0xFFFFFFFF, from its extra field
    // (the pak file stands at the extra field); false when they are missing or unreadable.
    bool ReadZip64LocalSizes(const TZipLocalHeader& local, std::uint64_t& compressedSize);
    // Bytes in front of the archive, from where the directory lies and where it says it lies.
    long FindArchiveStart(long dirPos, std::uint32_t statedDirOffset);
    const TZipDirFileHeader* Entry(int index) const;
    // The entry of the i-th name-index pair (the same i unless entries were left out of it).
    int EntryOfIndexPair(int i) const;
    void SetPath(const char* path);

    IFileHost* m_pGame;
    unsigned char* directory = nullptr;  // the central directory, then the entry pointer table
    int entryCount = 0;
    unsigned char** entries = nullptr;  // inside the directory block
    CQuorvanArray<MyMapPair> index;
    // A hash table over `index`, built at open, so that a look-up probes instead of scanning;
    // without it (no memory) look-ups scan the index.
    std::unique_ptr<CZipNameTable> nameTable;
    // Init's failure: the reason is kept, the code returned.
    int FailInit(int code, std::string reason);

    IFile* pakFile = nullptr;
    long pakSize = 0;
    std::string initFailure;
    std::vector<bool> damageTold;  // per entry: ReportDamage has spoken
    long archiveStart = 0;  // added to every offset the directory gives
    CommonString zipDirectory;
    CommonString pakPath;
};

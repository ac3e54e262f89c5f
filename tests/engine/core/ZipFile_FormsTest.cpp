// Zip forms that common tools write and the pak reader must read (zip64 sizes in a local header,
// bytes in front of the archive, extra fields in the directory), and the limit on what a member
// may claim before anything is allocated for it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "PakFixtures.h"
#include "core/MemFile.h"
#include "core/ZipFile.h"

using namespace paktest;

namespace {

class ZipFormsTest : public ::testing::Test {
protected:
    // Init on the bytes written to a file; the reader's code.
    int InitOn(CBBZipFileReader& r, const Bytes& pak, const char* leaf = "t.pak") {
        const std::string path = dir.Path(leaf);
        EXPECT_TRUE(WriteFile(path, pak));
        return r.Init(path.c_str());
    }

    Bytes Read(CBBZipFileReader& r, const char* name) {
        int index = -1;
        EXPECT_EQ(r.IndexFromName(name, &index), ZipResult::Ok) << name;
        long length = 0;
        if (index < 0 || r.get_FileLength(index, &length) != ZipResult::Ok) return {};
        Bytes out(static_cast<std::size_t>(length));
        EXPECT_EQ(r.ReadFile(index, out.data()), ZipResult::Ok) << name;
        return out;
    }

    CScratchDir dir;
    CPakTestGame game;
};

Bytes Alpha() {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "alpha " + std::to_string(i) + "\n";
    return ToBytes(text);
}

Bytes Ramp() {
    Bytes ramp;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 256; ++i) ramp.push_back(static_cast<std::uint8_t>(i));
    return ramp;
}

// Python's zipfile, an independent writer: zip64 local headers (seekable and streamed), and an
// extended-timestamp extra field in both headers, as Info-ZIP and most writers add one.
const char* const kPythonWriter = R"(import struct, sys, zipfile
class Unseekable:
    def __init__(self, f): self.f = f
    def write(self, b): return self.f.write(b)
    def flush(self): self.f.flush()
alpha = ''.join('alpha %d\n' % i for i in range(300)).encode()
ramp = bytes(range(256)) * 4
def fill(z):
    with z.open(zipfile.ZipInfo('Data/a.txt'), 'w', force_zip64=True) as f: f.write(alpha)
    info = zipfile.ZipInfo('Sound_BB/m.bin')
    info.extra = struct.pack('<HHBI', 0x5455, 5, 1, 1700000000)
    z.writestr(info, ramp, zipfile.ZIP_STORED)
    info = zipfile.ZipInfo('Lang/texts.csv')
    info.compress_type = zipfile.ZIP_DEFLATED
    with z.open(info, 'w', force_zip64=True) as f: f.write(b'id,enUS\n')
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z: fill(z)
with open(sys.argv[2], 'wb') as raw:
    with zipfile.ZipFile(Unseekable(raw), 'w', zipfile.ZIP_DEFLATED) as z: fill(z)
)";

TEST_F(ZipFormsTest, ArchivesOfCommonToolsRead) {
    const std::string script = dir.Path("mk.py");
    std::ofstream(script) << kPythonWriter;
    const std::string seekable = dir.Path("zip64.zip"), streamed = dir.Path("zip64_streamed.zip");
    ASSERT_EQ(std::system(("python3 " + script + " " + seekable + " " + streamed).c_str()), 0);
    const Bytes plain = ReadFile(seekable);
    ASSERT_EQ(Get32(plain, 0), kZipLocalSignature);
    ASSERT_EQ(Get32(plain, 18), 0xFFFFFFFFu) << "the fixture carries zip64 sizes in its first local header";

    // A stub in front whose offsets nobody adjusted, as when a loader is glued to an archive.
    Bytes prefixed = ToBytes("#!/bin/sh\necho 'a stub the archive was appended to'\nexit 0\n");
    prefixed.insert(prefixed.end(), plain.begin(), plain.end());

    struct TForm {
        const char* why;
        Bytes pak;
    };
    const TForm forms[] = {
        {"zip64 local headers", plain},
        {"zip64 local headers with data descriptors", ReadFile(streamed)},
        {"bytes in front, offsets not adjusted", prefixed},
    };
    for (const TForm& f : forms) {
        SCOPED_TRACE(f.why);
        CBBZipFileReader r(&game);
        ASSERT_EQ(InitOn(r, f.pak), ZipResult::Ok);
        EXPECT_EQ(Read(r, "Data\\a.txt"), Alpha());
        EXPECT_EQ(Read(r, "Sound_BB\\m.bin"), Ramp());
        EXPECT_EQ(Read(r, "Lang\\texts.csv"), ToBytes("id,enUS\n"));
        // The stored member's data is where the offset says, shift included.
        int index = -1;
        long offset = -1;
        ASSERT_EQ(r.IndexFromName("Sound_BB\\m.bin", &index), ZipResult::Ok);
        ASSERT_EQ(r.ReadFileOffset(index, &offset), ZipResult::Ok);
        ASSERT_LE(static_cast<std::size_t>(offset) + 1024, f.pak.size());
        EXPECT_EQ(Bytes(f.pak.begin() + offset, f.pak.begin() + offset + 1024), Ramp());
    }
}

TEST_F(ZipFormsTest, DirectoryExtraFieldsAreSteppedOver) {
    // Hand-made: extended timestamp (0x5455) and Unix owner (0x7875) fields as Info-ZIP writes them.
    const Bytes timestamp = {0x55, 0x54, 0x05, 0x00, 0x03, 0x00, 0xF1, 0x53, 0x65};
    const Bytes owner = {0x75, 0x78, 0x0B, 0x00, 0x01, 0x04, 0xE8, 0x03, 0x00, 0x00, 0x04, 0xE8, 0x03, 0x00, 0x00};
    THandMember first = HandStored("Data\\first.txt", ToBytes("first member"));
    first.centralExtra = timestamp;
    first.centralExtra.insert(first.centralExtra.end(), owner.begin(), owner.end());
    THandMember second = HandStored("Data\\second.txt", ToBytes("second"));
    second.centralExtra = timestamp;
    THandMember third = HandStored("third", Pattern(5000, 3));
    CBBZipFileReader r(&game);
    ASSERT_EQ(InitOn(r, HandZip({first, second, third})), ZipResult::Ok);
    long count = 0;
    ASSERT_EQ(r.get_FilesCount(&count), ZipResult::Ok);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Read(r, "Data\\first.txt"), ToBytes("first member"));
    EXPECT_EQ(Read(r, "Data\\second.txt"), ToBytes("second"));
    EXPECT_EQ(Read(r, "third"), Pattern(5000, 3));
}

// A raw deflate stream of `count` zero bytes, made a megabyte at a time.
Bytes DeflatedZeros(std::size_t count) {
    z_stream zs{};
    EXPECT_EQ(deflateInit2(&zs, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes out;
    std::uint8_t block[65536];
    for (std::size_t left = count;;) {
        const std::size_t n = left < zeros.size() ? left : zeros.size();
        zs.next_in = const_cast<Bytef*>(zeros.data());
        zs.avail_in = static_cast<uInt>(n);
        left -= n;
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        int rc = Z_OK;
        do {
            zs.next_out = block;
            zs.avail_out = sizeof block;
            rc = deflate(&zs, flush);
            out.insert(out.end(), block, block + (sizeof block - zs.avail_out));
        } while (zs.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        if (left == 0) break;
    }
    deflateEnd(&zs);
    return out;
}

std::uint32_t CrcOfZeros(std::size_t count) {
    const Bytes zeros(1 << 20, 0);
    uLong crc = crc32(0L, Z_NULL, 0);
    for (std::size_t left = count; left > 0;) {
        const std::size_t n = left < zeros.size() ? left : zeros.size();
        crc = crc32(crc, zeros.data(), static_cast<uInt>(n));
        left -= n;
    }
    return static_cast<std::uint32_t>(crc);
}

TEST_F(ZipFormsTest, AMemberLongerThanTheLimitIsRefusedBeforeAnythingIsAllocated) {
    // A genuine, well-formed member: 64 KB that inflate to one byte more than the limit.
    const std::size_t over = static_cast<std::size_t>(kZipMaxMemberBytes) + 1;
    THandMember huge;
    huge.name = "Data\\zeros.bin";
    huge.method = 8;
    huge.packed = DeflatedZeros(over);
    huge.length = static_cast<std::uint32_t>(over);
    huge.crc = CrcOfZeros(over);
    ASSERT_LT(huge.packed.size(), 100000u);
    // Claims checked without decoding: the limit itself is allowed.
    THandMember atLimit = huge;
    atLimit.name = "Data\\at_limit.bin";
    atLimit.length = static_cast<std::uint32_t>(kZipMaxMemberBytes);
    const std::string path = dir.Path("huge.pak");
    ASSERT_TRUE(WriteFile(path, HandZip({huge, atLimit})));

    CBBZipFileReader* reader = new CBBZipFileReader(&game);
    ASSERT_EQ(reader->Init(path.c_str()), ZipResult::Ok);
    game.m_Paks.m_pCommonPak = reader;
    EXPECT_EQ(reader->ValidateEntry(0), ZipResult::BadFormat);
    EXPECT_EQ(reader->ValidateEntry(1), ZipResult::Ok);
    Bytes guard(64, 0xA5);
    EXPECT_EQ(reader->ReadFile(0, guard.data()), ZipResult::BadFormat) << "refused before writing anything";
    EXPECT_EQ(guard, Bytes(64, 0xA5));

    CMemoryFile file;
    EXPECT_EQ(file.Open(&game, "Data\\zeros.bin", FileMode::Read), 0);
    EXPECT_EQ(file.IsOpened(), 0);
}

}  // namespace

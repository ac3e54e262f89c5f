// Pak reader speed, measured against references in the same run:
//  - opening a pak of 5,000 members and looking every member up by name;
//  - reading every member of a deflated pak through the reader, against inflating the same
//    raw streams with zlib directly from memory (the reader's floor). The combined benchmark
//    times both alternately and reports the ratio reader / zlib; since the reader checks each
//    member's CRC-32, it also reports the ratio to zlib's inflate followed by zlib's crc32.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/ZipFile.h"
#include "core/iPhoneFile.h"
#include "pakwriter/PakWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string TempPath(const char* leaf) {
    return (std::filesystem::temp_directory_path() / (std::string("cobble_pak_bench_") + leaf)).string();
}

// Text-like data from a small vocabulary: compresses about as well as the game's data files.
Bytes TextLike(std::size_t size, unsigned seed) {
    static const char* words[] = {"marble ", "yard ",     "bird ",   "coin ",        "= ", "end\n",
                                  "sprite ", "0, ",       "255 ",    "\"ID_Text\" ", "x ", "y ",
                                  "frame ",  "// note\n", "colour ", "bomb "};
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(size + 16);
    while (out.size() < size) {
        const char* w = words[rng() % 16];
        out.insert(out.end(), w, w + std::strlen(w));
    }
    out.resize(size);
    return out;
}

struct TManyMembers {
    std::string path;
    std::vector<std::string> names;
};

const TManyMembers& ManyMembersPak() {
    static TManyMembers pak = [] {
        TManyMembers p;
        p.path = TempPath("5000.pak");
        std::vector<pakwriter::TPakMember> members;
        for (int i = 0; i < 5000; ++i) {
            char name[96];
            std::snprintf(name, sizeof name, "i_vga\\set%02d\\sprite_frame_%04d.png", i % 50, i);
            p.names.push_back(name);
            members.push_back({name, TextLike(64, static_cast<unsigned>(i)), false, false, -1});
        }
        (void)pakwriter::WriteBytesToFile(p.path, pakwriter::BuildPak(members));
        return p;
    }();
    return pak;
}

int OpenReader(CBBZipFileReader& reader, const std::string& path) {
    auto* file = new CiPhoneFile();
    if (!file->Open(nullptr, path.c_str(), FileMode::Read)) {
        delete file;
        return ZipResult::OpenFailed;
    }
    return reader.InitFromFile(file, path.c_str());
}

void BM_Open5000AndLookUpEach(benchmark::State& state) {
    const TManyMembers& pak = ManyMembersPak();
    for (auto _ : state) {
        CBBZipFileReader reader(nullptr);
        if (OpenReader(reader, pak.path) != ZipResult::Ok) state.SkipWithError("open failed");
        int found = 0;
        for (const std::string& name : pak.names) {
            int index = -1;
            found += reader.IndexFromName(name.c_str(), &index) == ZipResult::Ok;
        }
        if (found != 5000) state.SkipWithError("look-up failed");
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_Open5000AndLookUpEach)->Unit(benchmark::kMillisecond);

struct TDeflatedPak {
    std::string path;
    std::vector<Bytes> streams;  // the raw deflate stream of each member
    std::vector<Bytes> contents;
    std::size_t totalBytes = 0;
};

const TDeflatedPak& DeflatedPak() {
    static TDeflatedPak pak = [] {
        TDeflatedPak p;
        p.path = TempPath("deflated.pak");
        std::vector<pakwriter::TPakMember> members;
        for (int i = 0; i < 64; ++i) {
            Bytes data = TextLike(static_cast<std::size_t>(16384 + 4096 * (i % 16)), 1000u + static_cast<unsigned>(i));
            p.totalBytes += data.size();
            p.streams.push_back(pakwriter::DeflateRaw(data));
            p.contents.push_back(data);
            members.push_back({"Data\\file" + std::to_string(i) + ".txt", data, true, false, -1});
        }
        (void)pakwriter::WriteBytesToFile(p.path, pakwriter::BuildPak(members));
        return p;
    }();
    return pak;
}

bool ReadAllThroughReader(CBBZipFileReader& reader, std::vector<Bytes>& out) {
    for (std::size_t i = 0; i < out.size(); ++i)
        if (reader.ReadFile(static_cast<int>(i), out[i].data()) != ZipResult::Ok) return false;
    return true;
}

// The CRC-32 of every member, as the reader checks it after inflating.
bool CrcAll(const std::vector<Bytes>& out, const std::vector<std::uint32_t>& expected) {
    bool same = true;
    for (std::size_t i = 0; i < out.size(); ++i)
        same = crc32(0L, out[i].data(), static_cast<uInt>(out[i].size())) == expected[i] && same;
    return same;
}

bool InflateAllWithZlib(const std::vector<Bytes>& streams, std::vector<Bytes>& out) {
    for (std::size_t i = 0; i < streams.size(); ++i) {
        z_stream zs{};
        if (inflateInit2(&zs, -15) != Z_OK) return false;
        zs.next_in = const_cast<Bytef*>(streams[i].data());
        zs.avail_in = static_cast<uInt>(streams[i].size());
        zs.next_out = out[i].data();
        zs.avail_out = static_cast<uInt>(out[i].size());
        const int rc = inflate(&zs, Z_FINISH);
        inflateEnd(&zs);
        if (rc != Z_STREAM_END) return false;
    }
    return true;
}

std::vector<Bytes> Buffers(const TDeflatedPak& pak) {
    std::vector<Bytes> out;
    for (const Bytes& c : pak.contents) out.emplace_back(c.size());
    return out;
}

void BM_ReadDeflatedPakThroughReader(benchmark::State& state) {
    const TDeflatedPak& pak = DeflatedPak();
    CBBZipFileReader reader(nullptr);
    if (OpenReader(reader, pak.path) != ZipResult::Ok) state.SkipWithError("open failed");
    std::vector<Bytes> out = Buffers(pak);
    for (auto _ : state)
        if (!ReadAllThroughReader(reader, out)) state.SkipWithError("read failed");
    if (out != pak.contents) state.SkipWithError("content differs");
    state.SetBytesProcessed(state.iterations() * static_cast<long>(pak.totalBytes));
}
BENCHMARK(BM_ReadDeflatedPakThroughReader)->Unit(benchmark::kMillisecond);

void BM_InflateSameStreamsWithZlib(benchmark::State& state) {
    const TDeflatedPak& pak = DeflatedPak();
    std::vector<Bytes> out = Buffers(pak);
    for (auto _ : state)
        if (!InflateAllWithZlib(pak.streams, out)) state.SkipWithError("inflate failed");
    if (out != pak.contents) state.SkipWithError("content differs");
    state.SetBytesProcessed(state.iterations() * static_cast<long>(pak.totalBytes));
}
BENCHMARK(BM_InflateSameStreamsWithZlib)->Unit(benchmark::kMillisecond);

// Both ways in turn within each iteration, so that drift in the machine's load hits both; the
// counters give each one's mean time and the ratio.
void BM_ReaderOverZlibRatio(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const TDeflatedPak& pak = DeflatedPak();
    CBBZipFileReader reader(nullptr);
    if (OpenReader(reader, pak.path) != ZipResult::Ok) state.SkipWithError("open failed");
    std::vector<Bytes> out = Buffers(pak);
    std::vector<std::uint32_t> crcs;
    for (const Bytes& c : pak.contents) crcs.push_back(crc32(0L, c.data(), static_cast<uInt>(c.size())));
    double readerSeconds = 0, zlibSeconds = 0, crcSeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool a = ReadAllThroughReader(reader, out);
        const auto t1 = Clock::now();
        const bool b = InflateAllWithZlib(pak.streams, out);
        const auto t2 = Clock::now();
        const bool c = CrcAll(out, crcs);
        const auto t3 = Clock::now();
        if (!a || !b || !c) state.SkipWithError("read failed");
        readerSeconds += std::chrono::duration<double>(t1 - t0).count();
        zlibSeconds += std::chrono::duration<double>(t2 - t1).count();
        crcSeconds += std::chrono::duration<double>(t3 - t2).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["reader_ms"] = readerSeconds / n * 1e3;
    state.counters["zlib_ms"] = zlibSeconds / n * 1e3;
    state.counters["reader_over_zlib"] = zlibSeconds > 0 ? readerSeconds / zlibSeconds : 0;
    const double checked = zlibSeconds + crcSeconds;
    state.counters["reader_over_zlib_crc"] = checked > 0 ? readerSeconds / checked : 0;
}
BENCHMARK(BM_ReaderOverZlibRatio)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

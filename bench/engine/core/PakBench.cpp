// The pak reader against libzip, PhysicsFS and minizip on the same archives, in the same run
// (see RatioTimer.h for the counters):
//  - opening a pak of 5,000 members and looking every member up by name;
//  - opening a pak and reading every member whole, for real files: the game's own pak (stored
//    music, deflated data) and paks made from files under /usr/share, stored and deflated. Every
//    side checks each member's CRC where it can (libzip and minizip always do; PhysicsFS does not).
//  - and, as the floor of the deflated case, zlib inflating the same raw streams from memory
//    and computing their CRC-32 (no goal: it is what any reader must at least do).
// The comparison paks name their members with forward slashes, which PhysicsFS requires; our
// reader turns them into the backslashes the game looks up.
#include <benchmark/benchmark.h>
#include <minizip/unzip.h>
#include <physfs.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "RatioTimer.h"
#include "core/ZipFile.h"
#include "core/iPhoneFile.h"
#include "pakwriter/PakWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

std::string TempPath(const std::string& leaf) {
    return (fs::temp_directory_path() / ("cobble_pak_bench_" + leaf)).string();
}

std::string Backslashed(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
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

struct TPak {
    std::string path;
    std::vector<std::string> names;  // as stored (forward slashes, or the game's backslashes)
    bool slashNames = true;
    std::size_t totalBytes = 0;
    // For the floor: each member's raw deflate stream, size and CRC-32 (deflated paks made here).
    std::vector<Bytes> streams;
    std::vector<std::size_t> sizes;
    std::vector<std::uint32_t> crcs;
};

TPak WritePak(const std::string& leaf, std::vector<pakwriter::TPakMember> members) {
    TPak pak;
    pak.path = TempPath(leaf);
    for (const auto& m : members) {
        pak.names.push_back(m.name);
        pak.totalBytes += m.data.size();
    }
    if (!pakwriter::WriteBytesToFile(pak.path, pakwriter::BuildPak(members))) pak.path.clear();
    return pak;
}

const TPak& ManyMembersPak() {
    static const TPak pak = [] {
        std::vector<pakwriter::TPakMember> members;
        for (int i = 0; i < 5000; ++i) {
            char name[96];
            std::snprintf(name, sizeof name, "i_vga/set%02d/sprite_frame_%04d.png", i % 50, i);
            members.push_back({name, TextLike(64, static_cast<unsigned>(i)), false, false, -1});
        }
        return WritePak("5000.pak", members);
    }();
    return pak;
}

// Regular files under /usr/share of 1 KiB to 256 KiB, in path order, up to 1,500 files or 24 MiB.
std::vector<pakwriter::TPakMember> UsrShareFiles(bool deflate) {
    std::vector<fs::path> paths;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator("/usr/share", fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator() && paths.size() < 20000; it.increment(ec)) {
        if (ec) break;
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<pakwriter::TPakMember> members;
    std::size_t total = 0;
    for (const fs::path& p : paths) {
        const auto size = fs::file_size(p, ec);
        if (ec || size < 1024 || size > 256 * 1024) continue;
        Bytes data;
        if (!pakwriter::ReadFileBytes(p.string(), data)) continue;
        std::string name = p.lexically_relative("/usr/share").generic_string();
        if (name.size() > 120) continue;  // the pak's name limit
        total += data.size();
        members.push_back({name, std::move(data), deflate, false, -1});
        if (members.size() >= 1500 || total >= 24u << 20) break;
    }
    return members;
}

const TPak& UsrSharePak(bool deflate) {
    static const TPak stored = WritePak("usr_share_stored.pak", UsrShareFiles(false));
    static const TPak deflated = [] {
        std::vector<pakwriter::TPakMember> members = UsrShareFiles(true);
        TPak pak = WritePak("usr_share_deflated.pak", members);
        for (const auto& m : members) {
            pak.streams.push_back(pakwriter::DeflateRaw(m.data));
            pak.sizes.push_back(m.data.size());
            pak.crcs.push_back(static_cast<std::uint32_t>(crc32(0L, m.data.data(), static_cast<uInt>(m.data.size()))));
        }
        return pak;
    }();
    return deflate ? deflated : stored;
}

// The game's own pak as the content build writes it (backslash names, so PhysicsFS cannot read it).
const TPak& GamePak() {
    static const TPak pak = [] {
        TPak p;
        p.path = GAME_PAK_PATH;
        p.slashNames = false;
        CBBZipFileReader reader(nullptr);
        auto* file = new CiPhoneFile();
        if (!file->Open(nullptr, p.path.c_str(), FileMode::Read) || reader.InitFromFile(file, p.path.c_str()) != 1) {
            p.path.clear();
            return p;
        }
        long count = 0;
        (void)reader.get_FilesCount(&count);
        for (int i = 0; i < count; ++i) {
            char name[kZipMaxNameLength + 1];
            long length = 0;
            if (reader.get_FileName(i, name) == 1 && reader.get_FileLength(i, &length) == 1) {
                p.names.push_back(name);
                p.totalBytes += static_cast<std::size_t>(length);
            }
        }
        return p;
    }();
    return pak;
}

bool OpenOurs(CBBZipFileReader& reader, const std::string& path) {
    auto* file = new CiPhoneFile();
    if (!file->Open(nullptr, path.c_str(), FileMode::Read)) {
        delete file;
        return false;
    }
    return reader.InitFromFile(file, path.c_str()) == ZipResult::Ok;
}

// --- Look-ups ---

bool LookUpAllOurs(const TPak& pak) {
    CBBZipFileReader reader(nullptr);
    if (!OpenOurs(reader, pak.path)) return false;
    int found = 0;
    for (const std::string& name : pak.names) {
        int index = -1;
        found += reader.IndexFromName(Backslashed(name).c_str(), &index) == ZipResult::Ok;
    }
    return found == static_cast<int>(pak.names.size());
}

bool LookUpAllLibzip(const TPak& pak) {
    int error = 0;
    zip_t* z = zip_open(pak.path.c_str(), ZIP_RDONLY, &error);
    if (!z) return false;
    std::size_t found = 0;
    for (const std::string& name : pak.names) found += zip_name_locate(z, name.c_str(), ZIP_FL_ENC_RAW) >= 0;
    zip_discard(z);
    return found == pak.names.size();
}

bool PhysFsReady() {
    static const bool ready = PHYSFS_init(nullptr) != 0;
    return ready;
}

bool LookUpAllPhysFs(const TPak& pak) {
    if (!PhysFsReady() || !PHYSFS_mount(pak.path.c_str(), "/", 0)) return false;
    std::size_t found = 0;
    for (const std::string& name : pak.names) found += PHYSFS_exists(name.c_str()) != 0;
    PHYSFS_unmount(pak.path.c_str());
    return found == pak.names.size();
}

bool LookUpAllMinizip(const TPak& pak) {
    unzFile z = unzOpen64(pak.path.c_str());
    if (!z) return false;
    std::size_t found = 0;
    for (const std::string& name : pak.names) found += unzLocateFile(z, name.c_str(), 1) == UNZ_OK;
    unzClose(z);
    return found == pak.names.size();
}

using TPakJob = bool (*)(const TPak&);

void Against(benchmark::State& state, const TPak& pak, double goal, TPakJob ours, TPakJob theirs) {
    if (pak.path.empty() || pak.names.empty()) {
        state.SkipWithError("the pak could not be made or opened");
        return;
    }
    bool ok = true;
    bench::RunAgainst(
        state, goal, [&] { ok &= ours(pak); }, [&] { ok &= theirs(pak); });
    if (!ok) state.SkipWithError("a side failed to find or read every member");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pak.names.size()));
}

void BM_Open5000AndLookUpEach_vs_libzip(benchmark::State& state) {
    Against(state, ManyMembersPak(), 0.2, LookUpAllOurs, LookUpAllLibzip);
}
BENCHMARK(BM_Open5000AndLookUpEach_vs_libzip)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Open5000AndLookUpEach_vs_PhysFS(benchmark::State& state) {
    Against(state, ManyMembersPak(), 1.0, LookUpAllOurs, LookUpAllPhysFs);
}
BENCHMARK(BM_Open5000AndLookUpEach_vs_PhysFS)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// minizip finds a name by walking the directory from the start, about 5 ms a name here: both
// sides look up every hundredth member, so that the row still has its rounds in a few seconds.
const TPak& EveryHundredthOfManyMembers() {
    static const TPak pak = [] {
        TPak p = ManyMembersPak();
        std::vector<std::string> names;
        for (std::size_t i = 0; i < p.names.size(); i += 100) names.push_back(p.names[i]);
        p.names = names;
        return p;
    }();
    return pak;
}

void BM_Open5000AndLookUpEveryHundredth_vs_minizip(benchmark::State& state) {
    Against(state, EveryHundredthOfManyMembers(), 1.0, LookUpAllOurs, LookUpAllMinizip);
}
BENCHMARK(BM_Open5000AndLookUpEveryHundredth_vs_minizip)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// --- Reading every member ---

// One buffer per call, sized for the largest member, as a loader reading members in turn would.
bool ReadAllOurs(const TPak& pak) {
    CBBZipFileReader reader(nullptr);
    if (!OpenOurs(reader, pak.path)) return false;
    Bytes buffer;
    for (int i = 0; i < static_cast<int>(pak.names.size()); ++i) {
        long length = 0;
        if (reader.get_FileLength(i, &length) != ZipResult::Ok) return false;
        if (buffer.size() < static_cast<std::size_t>(length) + 1) buffer.resize(static_cast<std::size_t>(length) + 1);
        if (reader.ReadFile(i, buffer.data()) != ZipResult::Ok) return false;
    }
    benchmark::DoNotOptimize(buffer.data());
    return true;
}

bool ReadAllLibzip(const TPak& pak) {
    int error = 0;
    zip_t* z = zip_open(pak.path.c_str(), ZIP_RDONLY, &error);
    if (!z) return false;
    Bytes buffer;
    bool ok = true;
    for (zip_uint64_t i = 0; ok && i < pak.names.size(); ++i) {
        zip_stat_t st;
        zip_file_t* f = zip_stat_index(z, i, 0, &st) == 0 ? zip_fopen_index(z, i, 0) : nullptr;
        if (!f) {
            ok = false;
            break;
        }
        if (buffer.size() < st.size + 1) buffer.resize(st.size + 1);
        // libzip checks the CRC when the read reaches the end of the member.
        ok = zip_fread(f, buffer.data(), st.size) == static_cast<zip_int64_t>(st.size) &&
             zip_fread(f, buffer.data(), 1) == 0;
        zip_fclose(f);
    }
    benchmark::DoNotOptimize(buffer.data());
    zip_discard(z);
    return ok;
}

bool ReadAllPhysFs(const TPak& pak) {
    if (!PhysFsReady() || !PHYSFS_mount(pak.path.c_str(), "/", 0)) return false;
    Bytes buffer;
    bool ok = true;
    for (const std::string& name : pak.names) {
        PHYSFS_File* f = PHYSFS_openRead(name.c_str());
        if (!f) {
            ok = false;
            break;
        }
        const PHYSFS_sint64 length = PHYSFS_fileLength(f);
        if (buffer.size() < static_cast<std::size_t>(length) + 1) buffer.resize(static_cast<std::size_t>(length) + 1);
        ok = PHYSFS_readBytes(f, buffer.data(), static_cast<PHYSFS_uint64>(length)) == length;
        PHYSFS_close(f);
        if (!ok) break;
    }
    benchmark::DoNotOptimize(buffer.data());
    PHYSFS_unmount(pak.path.c_str());
    return ok;
}

bool ReadAllMinizip(const TPak& pak) {
    unzFile z = unzOpen64(pak.path.c_str());
    if (!z) return false;
    Bytes buffer;
    bool ok = unzGoToFirstFile(z) == UNZ_OK;
    for (std::size_t i = 0; ok && i < pak.names.size(); ++i) {
        unz_file_info64 info;
        ok = unzGetCurrentFileInfo64(z, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK &&
             unzOpenCurrentFile(z) == UNZ_OK;
        if (!ok) break;
        if (buffer.size() < info.uncompressed_size + 1) buffer.resize(info.uncompressed_size + 1);
        const int got = unzReadCurrentFile(z, buffer.data(), static_cast<unsigned>(info.uncompressed_size));
        // unzCloseCurrentFile reports a CRC mismatch once the member was read whole.
        ok = got == static_cast<int>(info.uncompressed_size) && unzCloseCurrentFile(z) == UNZ_OK;
        if (ok && i + 1 < pak.names.size()) ok = unzGoToNextFile(z) == UNZ_OK;
    }
    benchmark::DoNotOptimize(buffer.data());
    unzClose(z);
    return ok;
}

// The floor: zlib inflating every raw stream from memory into one buffer and checking its CRC-32.
bool InflateAndCheckAll(const TPak& pak) {
    Bytes buffer;
    for (std::size_t i = 0; i < pak.streams.size(); ++i) {
        if (buffer.size() < pak.sizes[i] + 1) buffer.resize(pak.sizes[i] + 1);
        z_stream zs{};
        if (inflateInit2(&zs, -15) != Z_OK) return false;
        zs.next_in = const_cast<Bytef*>(pak.streams[i].data());
        zs.avail_in = static_cast<uInt>(pak.streams[i].size());
        zs.next_out = buffer.data();
        zs.avail_out = static_cast<uInt>(pak.sizes[i]);
        const int rc = inflate(&zs, Z_FINISH);
        inflateEnd(&zs);
        if (rc != Z_STREAM_END || crc32(0L, buffer.data(), static_cast<uInt>(pak.sizes[i])) != pak.crcs[i])
            return false;
    }
    benchmark::DoNotOptimize(buffer.data());
    return true;
}

// Arg: 0 the game's pak, 1 /usr/share stored, 2 /usr/share deflated.
const TPak& PakOfArg(benchmark::State& state) {
    switch (state.range(0)) {
        case 0:
            return GamePak();
        case 1:
            return UsrSharePak(false);
        default:
            return UsrSharePak(true);
    }
}

void ReadAgainst(benchmark::State& state, TPakJob theirs) {
    const TPak& pak = PakOfArg(state);
    state.SetLabel(state.range(0) == 0   ? "game pak"
                   : state.range(0) == 1 ? "/usr/share stored"
                                         : "/usr/share deflated");
    Against(state, pak, 1.0, ReadAllOurs, theirs);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pak.totalBytes));
}

void BM_ReadEveryMember_vs_InflateAndCrc(benchmark::State& state) {
    const TPak& pak = UsrSharePak(true);
    state.SetLabel("/usr/share deflated");
    Against(state, pak, 0.0, ReadAllOurs, InflateAndCheckAll);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pak.totalBytes));
}
BENCHMARK(BM_ReadEveryMember_vs_InflateAndCrc)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ReadEveryMember_vs_libzip(benchmark::State& state) { ReadAgainst(state, ReadAllLibzip); }
BENCHMARK(BM_ReadEveryMember_vs_libzip)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_ReadEveryMember_vs_minizip(benchmark::State& state) { ReadAgainst(state, ReadAllMinizip); }
BENCHMARK(BM_ReadEveryMember_vs_minizip)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// PhysicsFS refuses backslash names, so only the /usr/share paks.
void BM_ReadEveryMember_vs_PhysFS(benchmark::State& state) { ReadAgainst(state, ReadAllPhysFs); }
BENCHMARK(BM_ReadEveryMember_vs_PhysFS)->DenseRange(1, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

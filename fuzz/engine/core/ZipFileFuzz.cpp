// Fuzz target of the pak reader: the whole Init, then every member read, named and looked up.
// Each input is tried twice: as a pak of its own, and as a list of byte patches (two offset
// bytes, one value) over a well-formed pak made by the pak writer, so that the reader's
// deeper paths are reached without committing binary seeds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "PakPatches.h"
#include "core/MemFile.h"
#include "core/ZipFile.h"
#include "pakwriter/PakWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void ReadWholePak(const std::uint8_t* data, std::size_t size) {
    auto* mem = new CMemoryFile();
    void* block = std::malloc(size ? size : 1);
    if (size) std::memcpy(block, data, size);
    (void)mem->Attach(block, static_cast<int>(size));
    CBBZipFileReader reader(nullptr);
    if (reader.InitFromFile(mem, "fuzz.pak") != ZipResult::Ok) return;
    long count = 0;
    if (reader.get_FilesCount(&count) != ZipResult::Ok) return;
    // No deflate stream grows more than about 1032 times; longer claims cannot be met.
    const long limit = static_cast<long>(size) * 1032 + 1024;
    for (int i = 0; i < count; ++i) {
        char name[128];
        if (reader.get_FileName(i, name) == ZipResult::Ok) {
            // A look-up may only answer with an entry of exactly that name (a name holding a zero
            // byte is cut short as a query, so it need not find itself).
            int found = -1;
            char other[128];
            if (reader.IndexFromName(name, &found) == ZipResult::Ok &&
                (reader.get_FileName(found, other) != ZipResult::Ok || std::strcmp(other, name) != 0))
                std::abort();
        }
        long offset = 0;
        (void)reader.ReadFileOffset(i, &offset);
        long length = 0;
        if (reader.get_FileLength(i, &length) != ZipResult::Ok || length < 0 || length > limit) continue;
        Bytes out(static_cast<std::size_t>(length) + 1);
        (void)reader.ReadFile(i, out.data());
    }
}

Bytes BasePak() {
    std::vector<pakwriter::TPakMember> members(6);
    members[0] = {"Data\\sfx.txt", Bytes(300, 'a'), true, false, -1};
    members[1] = {"Sound_BB\\m.ogg", Bytes(64, 'm'), false, false, -1};
    members[2] = {"dd/deflated", Bytes(200, 'd'), true, true, -1};
    members[3] = {"dd\\stored", Bytes(20, 's'), false, true, -1};
    members[4] = {"Data\\sfx.txt", Bytes(), true, false, -1};
    members[5] = {"odd", Bytes(10, 'o'), true, false, 12};
    return pakwriter::BuildPak(members);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadWholePak(data, size);

    static const Bytes base = BasePak();
    const Bytes pak = PatchPak(base, data, size);
    ReadWholePak(pak.data(), pak.size());
    return 0;
}

// Loading members of a pak the way the engine does: every member through a memory file (read
// whole from the pak) and through a member file (read in place with its own stream), with reads
// and seeks that must stay inside the member. The input is the pak, and also a list of byte
// patches over a well-formed pak (PakPatches.h). The member file opens the pak by path, so each
// pak is written to a scratch file first.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "PakPatches.h"
#include "core/MemFile.h"
#include "core/ZipElementFile.h"
#include "core/ZipFile.h"
#include "pakwriter/PakWriter.h"
#include "testsupport/FakeFileHost.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ScratchPath() {
    const std::filesystem::path dir = std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                          : std::filesystem::temp_directory_path();
    return (dir / ("cobble_pak_member_fuzz_" + std::to_string(::getpid()) + ".pak")).string();
}

// Reads the member file to its end in steps, with seeks back and forth, checking that no read
// ever claims more than the member holds.
void Stream(CZipElementFile& f) {
    const int size = f.GetSize();
    std::uint8_t block[700];
    int total = 0;
    for (int got; (got = f.ReadData(block, sizeof block)) > 0;) {
        total += got;
        if (total > size) std::abort();
    }
    if (total != size || f.GetCurPos() != size) std::abort();
    (void)f.Seek(-5, FileSeek::End);
    if (f.ReadData(block, sizeof block) > 5) std::abort();
    (void)f.Seek(size / 2, FileSeek::Start);
    if (f.ReadData(block, sizeof block) > size - size / 2) std::abort();
    (void)f.Seek(1 << 30, FileSeek::Current);
    if (f.ReadData(block, 1) != 0) std::abort();
}

void LoadMembers(const Bytes& pak) {
    static const std::string path = ScratchPath();
    if (!pakwriter::WriteBytesToFile(path, pak)) return;
    CFakeFileHost host;
    auto* reader = new CBBZipFileReader(&host);
    host.m_Paks.m_pCommonPak = reader;  // deleted with the host
    if (reader->Init(path.c_str()) != ZipResult::Ok) return;
    long count = 0;
    if (reader->get_FilesCount(&count) != ZipResult::Ok) return;
    for (int i = 0; i < count && i < 64; ++i) {
        char name[128];
        if (reader->get_FileName(i, name) != ZipResult::Ok) continue;
        CMemoryFile memory;
        if (memory.Open(&host, name, FileMode::Read)) {
            long length = -1;
            int index = -1;
            // The file holds exactly the member's bytes (the first entry of that name).
            if (reader->IndexFromName(name, &index) != ZipResult::Ok ||
                reader->get_FileLength(index, &length) != ZipResult::Ok || memory.GetSize() != length)
                std::abort();
            if (length > 0) {
                volatile std::uint8_t last = static_cast<std::uint8_t*>(memory.GetBuffer())[length - 1];
                (void)last;
            }
        }
        CZipElementFile member;
        if (member.Open(&host, name, FileMode::Read)) Stream(member);
    }
}

Bytes BasePak() {
    std::vector<pakwriter::TPakMember> members(5);
    members[0] = {"Data\\sfx.txt", Bytes(300, 'a'), true, false, -1};
    members[1] = {"Sound_BB\\m.ogg", Bytes(2000, 'm'), false, false, -1};
    members[2] = {"dd\\deflated", Bytes(200, 'd'), true, true, -1};
    members[3] = {"dd\\stored", Bytes(20, 's'), false, true, -1};
    members[4] = {"empty", Bytes(), false, false, -1};
    for (std::size_t i = 0; i < members[1].data.size(); ++i) members[1].data[i] = static_cast<std::uint8_t>(i * 7);
    return pakwriter::BuildPak(members);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    LoadMembers(Bytes(data, data + size));

    static const Bytes base = BasePak();
    LoadMembers(PatchPak(base, data, size));
    return 0;
}

// Fuzz target of the multi-record file: open, read every record, replace one and save, then
// check the saved file reads back. Each input is tried as a record file of its own and as byte
// patches (two offset bytes, one value) over a well-formed file, as the pak target does.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/MemFile.h"
#include "core/MultiRecordFile.h"
#include "core/iPhoneFile.h"
#include "pakwriter/PakWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Disk files without an application object.
class CFuzzRecordFile : public CQuorvanMultiRecordFile {
public:
    CFuzzRecordFile() : CQuorvanMultiRecordFile(nullptr) {}
    IFile* CreateDiskFile() override { return new CiPhoneFile(); }
};

const std::string& ScratchPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("cobble_record_fuzz_" + std::to_string(std::random_device{}())))
            .string();
    return path;
}

void Add32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

Bytes BaseFile() {
    const char* names[] = {"Meadow", "", "Yard 1"};
    const int sizes[] = {12, 0, 40};
    Bytes b;
    Add32(b, 3);
    std::uint32_t offset = 4 + 8 * 3;
    for (int i = 0; i < 3; ++i) {
        Add32(b, static_cast<std::uint32_t>(sizes[i]));
        Add32(b, offset);
        offset += 8 + static_cast<std::uint32_t>(std::strlen(names[i]) + sizes[i]);
    }
    for (int i = 0; i < 3; ++i) {
        Add32(b, static_cast<std::uint32_t>(100 * i));
        Add32(b, static_cast<std::uint32_t>(std::strlen(names[i])));
        b.insert(b.end(), names[i], names[i] + std::strlen(names[i]));
        b.insert(b.end(), static_cast<std::size_t>(sizes[i]), static_cast<std::uint8_t>('a' + i));
    }
    return b;
}

void Exercise(const Bytes& bytes) {
    const std::string& path = ScratchPath();
    if (!pakwriter::WriteBytesToFile(path, bytes)) return;
    {
        CFuzzRecordFile file;
        if (!file.OpenMultiRecordFile(path.c_str(), nullptr)) std::abort();
        const int count = file.recordSet->count;
        for (int i = 0; i < count; ++i) {
            const int id = file.recordSet->records[i]->id;
            delete file.ReadRecord(id);
            (void)file.GetRecordName(id);
        }
        CMemoryFile source;
        if (!source.Create(16) || source.WriteData("fuzzed record!!", 16) != 16) std::abort();
        if (!file.WriteRecord(424242, &source, "fuzz") && count < kMaxRecords) std::abort();
        if (!file.CloseMultiRecordFile(nullptr)) return;
    }
    // A save that reported success must read back with the new record in it.
    CFuzzRecordFile again;
    if (!again.OpenMultiRecordFile(path.c_str(), nullptr)) std::abort();
    if (again.recordSet->count > 0 && again.IsRecordEmpty(424242)) std::abort();
    (void)again.CloseMultiRecordFile(nullptr);
    std::remove(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Exercise(Bytes(data, data + size));
    static const Bytes base = BaseFile();
    Bytes patched = base;
    for (std::size_t i = 0; i + 2 < size; i += 3)
        patched[(data[i] | (data[i + 1] << 8)) % patched.size()] = data[i + 2];
    if (size % 3 != 0 && size < patched.size()) patched.resize(patched.size() - size);
    Exercise(patched);
    return 0;
}

#include "game/progress/ResumeRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/File.h"
#include "core/MemFile.h"
#include "core/Serializer.h"

int ArenaResumeRecordId(int slot, int arenaIndex) { return arenaIndex < 0 ? -1 : 100 * slot + arenaIndex; }

int YardResumeRecordId(int slot, int yardIndex) { return yardIndex < 0 ? -1 : 10000 + 100 * slot + yardIndex; }

CommonString ArenaResumeRecordName(const CommonString& arena) { return CommonString("arena_") + arena; }

CommonString YardResumeRecordName(const CommonString& yard) { return CommonString("yard_") + yard; }

bool WriteResumeHeader(IFile* file, int kind, const CommonString& name) {
    if (file == nullptr || file->WriteInt(kind) != 4) return false;
    SerializeHelper2 helper{file, true, true, 0};
    int version = kResumeVersion;
    CommonString text = name;
    helper.Serialize(version);
    helper.Serialize(text);
    return helper.Succeeded() != 0;
}

bool IsResumeAvailable(IFile* record) {
    int kind = kResumeKindNone;
    return record != nullptr && record->ReadInt(&kind) == 4 && kind != kResumeKindNone;
}

bool ReadResumeHeader(IFile* file, TResumeHeader& header) {
    header = TResumeHeader();
    if (file == nullptr || file->ReadInt(&header.kind) != 4) return false;
    SerializeHelper2 helper{file, true, false, 0};
    helper.Serialize(header.version);
    helper.Serialize(header.name);
    return helper.Succeeded() != 0;
}

bool DecodeResumeHeader(std::span<const std::uint8_t> bytes, const char* name, TResumeHeader& header) {
    // A private copy: the memory file owns and frees its buffer.
    void* copy = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (copy == nullptr) return false;
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    CMemoryFile file;
    (void)file.Attach(copy, static_cast<int>(bytes.size()));
    const bool ok = ReadResumeHeader(&file, header);
    if (!ok) std::fprintf(stderr, "resume: %s: damaged record header\n", name != nullptr ? name : "");
    return ok;
}

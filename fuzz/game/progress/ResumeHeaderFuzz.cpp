// Fuzz target of the resume record header: any bytes either decode to a header or are refused,
// and a header that decodes survives being written and read again.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/MemFile.h"
#include "game/progress/ResumeRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TResumeHeader header;
    if (!DecodeResumeHeader(std::span<const std::uint8_t>(data, size), "fuzz", header)) return 0;
    CMemoryFile out;
    if (!out.Create(static_cast<unsigned>(size) + 16)) return 0;
    if (!WriteResumeHeader(&out, header.kind, header.name)) std::abort();
    TResumeHeader again;
    const auto* bytes = static_cast<const std::uint8_t*>(out.GetBuffer());
    if (!DecodeResumeHeader(std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(out.GetCurPos())), "again",
                            again))
        std::abort();
    if (again.kind != header.kind || again.version != kResumeVersion || !(again.name == header.name)) std::abort();
    return 0;
}

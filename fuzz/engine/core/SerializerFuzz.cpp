// Both serializer helpers reading a record whose field list comes from the input: the first byte
// gives the number of fields (up to 63), the next bytes their kinds, the rest is the saved file.
// Whatever a helper reads whole must write back and read back as the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "core/CommonString.h"
#include "core/MemFile.h"
#include "core/Serializer.h"

namespace {

// One field of every kind either helper knows; the fuzz input picks which are used.
struct TFields {
    int i = 0;
    unsigned int u = 0;
    unsigned long ul = 0;
    unsigned short us = 0;
    short sh = 0;
    char c = 0;
    unsigned char uc = 0;
    bool b = false;
    float f = 0;
    double d = 0;
    TVector2D v{};
    TVector2D_16 v16{};
    TCoord2D coord{};
    TRect2D rect{};
    std::uint8_t raw[13] = {};
    CommonString s;
    CommonString w;
};

constexpr int kKinds = 17;

// Moves field `kind` of `f` through either helper. The older one has no float, double, 16-bit
// vector or raw bytes (those kinds move nothing through it); only it has an unsigned short.
template <class Helper>
void Move(Helper& h, TFields& f, int kind) {
    constexpr bool kNewer = std::is_same_v<Helper, SerializeHelper2>;
    switch (kind) {
        case 0:
            h.Serialize(f.i);
            break;
        case 1:
            h.Serialize(f.u);
            break;
        case 2:
            h.Serialize(f.ul);
            break;
        case 3:
            if constexpr (kNewer)
                h.Serialize(f.sh);
            else
                h.Serialize(f.us);
            break;
        case 4:
            h.Serialize(f.sh);
            break;
        case 5:
            h.Serialize(f.c);
            break;
        case 6:
            h.Serialize(f.uc);
            break;
        case 7:
            h.Serialize(f.b);
            break;
        case 8:
            if constexpr (kNewer) h.Serialize(f.f);
            break;
        case 9:
            if constexpr (kNewer) h.Serialize(f.d);
            break;
        case 10:
            h.Serialize(f.v);
            break;
        case 11:
            if constexpr (kNewer) h.Serialize(f.v16);
            break;
        case 12:
            h.Serialize(f.coord);
            break;
        case 13:
            h.Serialize(f.rect);
            break;
        case 14:
            if constexpr (kNewer) h.Serialize(f.raw, sizeof f.raw);
            break;
        case 15:
            h.Serialize(f.s);
            break;
        default:
            h.SerializeW(f.w);
            break;
    }
}

std::unique_ptr<CMemoryFile> Over(const std::uint8_t* data, std::size_t size) {
    auto file = std::make_unique<CMemoryFile>();
    void* copy = std::malloc(size ? size : 1);
    if (size) std::memcpy(copy, data, size);
    (void)file->Attach(copy, static_cast<int>(size));
    return file;
}

bool Finished(const SerializeHelper2& h) { return h.Succeeded() == 1; }
bool Finished(const SerializeHelper& h) { return h.ok; }

template <class Helper>
Helper Make(IFile* file, bool writing) {
    Helper h{};
    h.file = file;
    h.ok = true;
    h.writing = writing;
    return h;
}

bool Same(const TFields& a, const TFields& b) {
    return std::memcmp(&a.i, &b.i, sizeof a.i) == 0 && a.u == b.u && a.ul == b.ul && a.us == b.us && a.sh == b.sh &&
           a.c == b.c && a.uc == b.uc && a.b == b.b && std::memcmp(&a.f, &b.f, sizeof a.f) == 0 &&
           std::memcmp(&a.d, &b.d, sizeof a.d) == 0 && a.v.x == b.v.x && a.v.y == b.v.y && a.v16.x == b.v16.x &&
           a.v16.y == b.v16.y && a.coord.x == b.coord.x && a.coord.y == b.coord.y &&
           std::memcmp(&a.rect, &b.rect, sizeof a.rect) == 0 && std::memcmp(a.raw, b.raw, sizeof a.raw) == 0 &&
           a.s == b.s && a.w == b.w;
}

// Reads the record (each field into a variable of its own); when it read whole, writes it back
// and reads that again.
template <class Helper>
void RoundTrip(const std::vector<int>& kinds, const std::uint8_t* file, std::size_t size) {
    auto in = Over(file, size);
    std::vector<TFields> first(kinds.size());
    Helper reader = Make<Helper>(in.get(), false);
    for (std::size_t k = 0; k < kinds.size(); ++k) Move(reader, first[k], kinds[k]);
    if (!Finished(reader)) return;
    const int used = in->GetCurPos();

    CMemoryFile out;
    if (!out.Create(static_cast<unsigned>(size) + 16)) return;
    Helper writer = Make<Helper>(&out, true);
    for (std::size_t k = 0; k < kinds.size(); ++k) Move(writer, first[k], kinds[k]);
    // Never longer than what was read. It may be shorter: text ends at its first zero byte, so a
    // stored string holding one comes back cut there.
    const int written = out.GetCurPos();
    if (!Finished(writer) || written > used) std::abort();

    auto again = Over(static_cast<const std::uint8_t*>(out.GetBuffer()), static_cast<std::size_t>(written));
    std::vector<TFields> second(kinds.size());
    Helper rereader = Make<Helper>(again.get(), false);
    for (std::size_t k = 0; k < kinds.size(); ++k) Move(rereader, second[k], kinds[k]);
    if (!Finished(rereader) || again->GetCurPos() != written) std::abort();
    for (std::size_t k = 0; k < kinds.size(); ++k)
        if (!Same(first[k], second[k])) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t count = data[0] % 64;
    if (size < 1 + count) return 0;
    std::vector<int> kinds;
    for (std::size_t k = 0; k < count; ++k) kinds.push_back(data[1 + k] % kKinds);
    const std::uint8_t* file = data + 1 + count;
    const std::size_t fileSize = size - 1 - count;
    RoundTrip<SerializeHelper2>(kinds, file, fileSize);
    RoundTrip<SerializeHelper>(kinds, file, fileSize);
    return 0;
}

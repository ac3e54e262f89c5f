#include "core/QuorvanUtils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const int AtanDegree[21] = {0, 3, 6, 8, 11, 14, 17, 19, 22, 24, 26, 29, 31, 33, 35, 37, 38, 40, 42, 43, 45};

const int AtanDegree2[42] = {0,  1,  3,  4,  6,  7,  8,  9,  11, 12, 14, 15, 17, 18, 19, 20, 22, 23, 24, 25, 26,
                             27, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 38, 39, 40, 41, 42, 42, 43, 44, 45, 45};

unsigned int GetHashCode(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    std::uint32_t h = 0;
    for (const char* p = name; *p != '\0'; ++p) {
        // Names were hashed as signed chars when the tables were built: keep that, so bytes
        // above 127 subtract instead of add.
        const std::int32_t c = static_cast<signed char>(*p);
        h = (h << 4) + static_cast<std::uint32_t>(c);
        const std::uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
            h &= ~g;
        }
    }
    return h & 0x7FFFFFFFu;
}

namespace {

// a <= p <= a + extent, in 64 bits so that large rectangles cannot wrap.
bool WithinClosed(long long p, long long a, long long extent) { return a <= p && p <= a + extent; }

// The shared quadrant logic of the two arctangents; index(s, l) picks the table entry.
template <typename IndexFn>
int TableAtan(int x, int y, const int* table, IndexFn index) {
    if (x == 0) {
        return y > 0 ? 90 : 270;
    }
    const long long a = std::llabs(static_cast<long long>(x));
    const long long b = std::llabs(static_cast<long long>(y));
    const bool steep = a < b;
    const long long s = steep ? a : b;
    const long long l = steep ? b : a;
    int base = 0;
    int sign = 1;
    if (x > 0 && y > 0) {
        base = steep ? 90 : 0;
        sign = steep ? -1 : 1;
    } else if (x < 0 && y > 0) {
        base = steep ? 90 : 180;
        sign = steep ? 1 : -1;
    } else if (x < 0) {
        base = steep ? 270 : 180;
        sign = steep ? -1 : 1;
    } else {
        base = steep ? 270 : 360;
        sign = steep ? 1 : -1;
    }
    return base + sign * table[index(s, l)];
}

FIXED_FLOAT WrapAngle(FIXED_FLOAT angle) {
    const FIXED_FLOAT wrapped = angle % kFixedFullTurn;
    return wrapped < 0 ? wrapped + kFixedFullTurn : wrapped;
}

}  // namespace

int PtInRect(int x, int y, const TRect2D* rect) {
    if (rect == nullptr) {
        return 0;
    }
    const long long px = static_cast<long long>(x) * 256;
    const long long py = static_cast<long long>(y) * 256;
    return WithinClosed(px, rect->x, rect->width) && WithinClosed(py, rect->y, rect->height);
}

int PtInRect(int x, int y, const TRect2D_16* rect) {
    if (rect == nullptr) {
        return 0;
    }
    const long long px = static_cast<long long>(x) * 65536;
    const long long py = static_cast<long long>(y) * 65536;
    return WithinClosed(px, rect->x, rect->width) && WithinClosed(py, rect->y, rect->height);
}

int PtInRect(int x, int y, const TCoordRect2D* rect) {
    if (rect == nullptr) {
        return 0;
    }
    return WithinClosed(x, rect->x, rect->width) && WithinClosed(y, rect->y, rect->height);
}

int PtInRect(TVector2D point, const TRect2D* rect) { return PtInRect(point.x >> 8, point.y >> 8, rect); }

int PtInRect(TVector2D point, const TCoordRect2D* rect) { return PtInRect(point.x >> 8, point.y >> 8, rect); }

int fast_atan2(int x, int y) {
    return TableAtan(x, y, AtanDegree2, [](long long s, long long l) { return static_cast<int>(s * 40 / l); });
}

int fast_atan(int x, int y) {
    return TableAtan(x, y, AtanDegree,
                     [](long long s, long long l) { return static_cast<int>(((s * 256 / l) * 5120) >> 16); });
}

FIXED_FLOAT ClosestRotationAngle(FIXED_FLOAT from, FIXED_FLOAT to) {
    from = WrapAngle(from);
    to = WrapAngle(to);
    if (from == to) {
        return 0;
    }
    if (from > to) {
        return -ClosestRotationAngle(to, from);
    }
    if (from + kFixedFullTurn / 2 >= to) {
        return to - from;
    }
    return to - from - kFixedFullTurn;
}

CommonString IntToCommonString(int n) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", n);
    return CommonString(digits);
}

int FindSubstr(const CommonString* needle, const CommonString* haystack) {
    if (needle == nullptr || haystack == nullptr) {
        return 0;
    }
    const int needleLength = needle->Length();
    const int haystackLength = haystack->Length();
    if (needleLength == 0 || needleLength > haystackLength) {
        return 0;
    }
    // Windows are compared in place, so a needle of any length is safe; a text holds no
    // zero byte before its end, so this matches a terminated-copy comparison exactly.
    const char* text = haystack->GetData();
    const char* pattern = needle->GetData();
    for (int start = 0; start + needleLength <= haystackLength; ++start) {
        if (std::memcmp(text + start, pattern, static_cast<std::size_t>(needleLength)) == 0) {
            return 1;
        }
    }
    return 0;
}

int IsDeviceOEMStringEqual(const char* /*oemName*/) { return 0; }

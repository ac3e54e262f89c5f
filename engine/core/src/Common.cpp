#include "core/Common.h"

#include <algorithm>

unsigned short calc_crc16(const char* data, unsigned short length) {
    if (length == 0 || data == nullptr) {
        return 0;
    }
    unsigned int crc = 0xFFFF;
    for (unsigned int i = 0; i < length; ++i) {
        unsigned int byte = static_cast<unsigned char>(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            if (((crc ^ byte) & 1u) != 0) {
                crc = (crc >> 1) ^ 0x8408u;
            } else {
                crc >>= 1;
            }
            byte >>= 1;
        }
    }
    crc = ~crc & 0xFFFFu;
    // Stored with the bytes exchanged: the record files keep it in this order.
    return static_cast<unsigned short>((crc >> 8) | ((crc & 0xFFu) << 8));
}

int IsPenSupported() { return 1; }

int GetPlatformType() { return 9; }

namespace {

long long Min(long long a, long long b) { return a < b ? a : b; }

long long Max(long long a, long long b) { return a > b ? a : b; }

bool Within(long long v, long long a, long long b) { return Min(a, b) <= v && v <= Max(a, b); }

// The 24.8 slope dy/dx of a non-vertical segment.
long long FixedSlope(long long dx, long long dy) { return (dy * 4096) / (dx * 16); }

// Hands a found crossing to the caller's outputs (either may be null); returns 1.
int StoreCrossing(long long x, long long y, int* outX, int* outY) {
    if (outX != nullptr) {
        *outX = static_cast<int>(x);
    }
    if (outY != nullptr) {
        *outY = static_cast<int>(y);
    }
    return 1;
}

}  // namespace

int LinesIntersectH(int x1, int y1, int x2, int y2, int xa, int y, int xb, int* outX, int* outY) {
    const long long dx = static_cast<long long>(x2) - x1;
    const long long dy = static_cast<long long>(y2) - y1;
    const long long yOffset = static_cast<long long>(y) - y1;
    long long xOffset = 0;
    if (dx != 0) {
        const long long s = FixedSlope(dx, dy);
        if (s < 0 || s >= 4096) {
            xOffset = ((yOffset * 4096) / (s >> 4)) >> 8;
        } else if (dy != 0) {
            // Shallow rising segments: the 24.8 slope is too coarse here, so solve exactly.
            xOffset = yOffset * dx / dy;
        } else {
            return 0;  // parallel to the horizontal segment
        }
    }
    if (!Within(xOffset, 0, dx) || !Within(yOffset, 0, dy) ||
        !Within(xOffset, static_cast<long long>(xa) - x1, static_cast<long long>(xb) - x1)) {
        return 0;
    }
    return StoreCrossing(x1 + xOffset, y1 + yOffset, outX, outY);
}

int LinesIntersectV(int x1, int y1, int x2, int y2, int x, int ya, int yb, int* outX, int* outY) {
    const long long dx = static_cast<long long>(x2) - x1;
    const long long dy = static_cast<long long>(y2) - y1;
    if (dx == 0) {
        return 0;  // parallel to the vertical segment: no single crossing point
    }
    const long long xOffset = static_cast<long long>(x) - x1;
    const long long s = FixedSlope(dx, dy);
    long long yOffset = 0;
    if ((s >> 12) != 0) {
        yOffset = (s * xOffset * 256) >> 16;
    } else {
        // Shallow rising segments: solve exactly instead of through the coarse slope.
        yOffset = xOffset * dy / dx;
    }
    if (!Within(xOffset, 0, dx) || !Within(yOffset, 0, dy) ||
        !Within(yOffset, static_cast<long long>(ya) - y1, static_cast<long long>(yb) - y1)) {
        return 0;
    }
    return StoreCrossing(x1 + xOffset, y1 + yOffset, outX, outY);
}

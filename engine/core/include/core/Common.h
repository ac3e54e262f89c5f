#pragma once
// Engine core: the shared fixed-point and geometry records, SafeDelete, the record-file
// check sum (CRC-16) and the few platform queries every area may ask.
// Depends on nothing; safe to call from any thread (no state).

#include <cstdint>

// Signed 24.8 fixed point: 256 is 1.0. UI, curves, play-area coordinates, times in seconds,
// and angles in degrees (a full turn is 92160).
typedef std::int32_t FIXED_FLOAT;
// Signed 16.16 fixed point: 65536 is 1.0. Marble motion, particles, fonts and drawing.
typedef std::int32_t FIXED_FLOAT_16;

constexpr FIXED_FLOAT kFixedOne = 256;
constexpr FIXED_FLOAT_16 kFixed16One = 65536;
// A full turn in FIXED_FLOAT degrees.
constexpr FIXED_FLOAT kFixedFullTurn = 360 * 256;

// A point in FIXED_FLOAT units.
struct TVector2D {
    FIXED_FLOAT x = 0;
    FIXED_FLOAT y = 0;
};

// A point in FIXED_FLOAT_16 units.
struct TVector2D_16 {
    FIXED_FLOAT_16 x = 0;
    FIXED_FLOAT_16 y = 0;
};

// A point in whole pixels.
struct TCoord2D {
    int x = 0;
    int y = 0;
};

// A rectangle in whole pixels; PtInRect counts all four edges as inside.
struct TCoordRect2D {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A rectangle in FIXED_FLOAT units.
struct TRect2D {
    FIXED_FLOAT x = 0;
    FIXED_FLOAT y = 0;
    FIXED_FLOAT width = 0;
    FIXED_FLOAT height = 0;
};

// A rectangle in FIXED_FLOAT_16 units.
struct TRect2D_16 {
    FIXED_FLOAT_16 x = 0;
    FIXED_FLOAT_16 y = 0;
    FIXED_FLOAT_16 width = 0;
    FIXED_FLOAT_16 height = 0;
};

// Deletes a non-null object (through its virtual destructor when it has one) and nulls the
// pointer; a null pointer is left alone.
template <typename T>
inline void SafeDelete(T*& object) {
    if (object != nullptr) {
        delete object;
        object = nullptr;
    }
}

// The record-file check sum: CRC-16/X-25 (reflected polynomial 0x8408, start 0xFFFF, result
// complemented) with the two bytes of the result exchanged. 0 for length 0, whatever data is.
[[nodiscard]] unsigned short calc_crc16(const char* data, unsigned short length);

// A touch screen is always present on this platform: 1.
[[nodiscard]] int IsPenSupported();
// The platform code of this system: always 9.
[[nodiscard]] int GetPlatformType();

// 1 and the crossing point in *outX, *outY when the segment (x1, y1)-(x2, y2) crosses the
// horizontal segment at height y from xa to xb; else 0 and the outputs untouched.
int LinesIntersectH(int x1, int y1, int x2, int y2, int xa, int y, int xb, int* outX, int* outY);
// The same for the vertical segment at x from ya to yb.
int LinesIntersectV(int x1, int y1, int x2, int y2, int x, int ya, int yb, int* outX, int* outY);

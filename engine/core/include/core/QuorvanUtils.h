#pragma once
// Engine utilities shared by many areas: the name hash every name table is searched by,
// point-in-rectangle tests, a table-driven integer arctangent, the shortest turn between two
// angles, and small integer/substring helpers. No state; callable from any thread.
// (The bitmap and sprite-sheet helpers live with the software bitmap in engine/render.)

#include "core/Common.h"
#include "core/CommonString.h"

// Whole degrees of the angle whose tangent is i/20, i = 0..20.
extern const int AtanDegree[21];
// Whole degrees of the angle whose tangent is i/40, i = 0..41 (entry 41 is never read).
extern const int AtanDegree2[42];

// The 31-bit PJW/ELF hash of a zero-terminated name over signed characters (bytes 128..255
// count as -128..-1). 0 for "" and for null.
[[nodiscard]] unsigned int GetHashCode(const char* name);

// 1 when the pixel point lies inside the rectangle, all four edges included; else 0.
// A null rectangle gives 0.
[[nodiscard]] int PtInRect(int x, int y, const TRect2D* rect);       // rect in 24.8
[[nodiscard]] int PtInRect(int x, int y, const TRect2D_16* rect);    // rect in 16.16
[[nodiscard]] int PtInRect(int x, int y, const TCoordRect2D* rect);  // rect in pixels
// The point's integer parts (arithmetic shift right by 8) against the rectangle.
[[nodiscard]] int PtInRect(TVector2D point, const TRect2D* rect);
[[nodiscard]] int PtInRect(TVector2D point, const TCoordRect2D* rect);

// Direction of (x, y) in whole degrees, counter-clockwise from +x with y pointing up:
// 0 < result <= 360 away from the x = 0 axis ((5, 0) gives 360), 90 or 270 on it, 270 at the
// origin. fast_atan2 reads the 42-entry table; fast_atan the coarser 21-entry one.
[[nodiscard]] int fast_atan2(int x, int y);
[[nodiscard]] int fast_atan(int x, int y);

// The signed shortest turn from one FIXED_FLOAT angle in degrees to another, in -180..+180
// degrees; an exact half turn is +180 when from < to (after wrapping) and -180 otherwise.
[[nodiscard]] FIXED_FLOAT ClosestRotationAngle(FIXED_FLOAT from, FIXED_FLOAT to);

// The decimal text of n, with a minus sign when negative; 0 gives "0".
[[nodiscard]] CommonString IntToCommonString(int n);

// 1 when needle occurs in haystack (byte for byte); an empty or null needle never matches.
[[nodiscard]] int FindSubstr(const CommonString* needle, const CommonString* haystack);

// Device OEM names are not known on this platform: always 0.
[[nodiscard]] int IsDeviceOEMStringEqual(const char* oemName);

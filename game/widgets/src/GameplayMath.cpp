#include "game/widgets/GameplayMath.h"

#include <cmath>
#include <cstdlib>

namespace gameplay {

namespace {

// 181 pixels in 24.8 and in 16.16: above this sum of the absolute components the squares of the
// game's 32-bit arithmetic would overflow, so it measures on coordinates divided by 128.
constexpr std::int64_t kPathTwoRangeLimit = 46337;
constexpr std::int64_t kTwoRangeLimit16 = 181LL * 65536;
constexpr std::int64_t kTwoRangeDivisor = 128;

}  // namespace

std::int32_t TruncToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

std::int32_t RoundToInt32(double v) {
    if (std::isnan(v)) return 0;
    return TruncToInt32(v < 0 ? v - 0.5 : v + 0.5);
}

double PathLengthPx(std::int64_t dx, std::int64_t dy) {
    const bool far = std::llabs(dx) + std::llabs(dy) >= kPathTwoRangeLimit;
    if (far) {
        dx /= kTwoRangeDivisor;
        dy /= kTwoRangeDivisor;
    }
    const double squares = static_cast<double>(((dx * dx) >> 8) + ((dy * dy) >> 8));
    const double length = std::sqrt(squares / 256.0);
    return far ? length * kTwoRangeDivisor : length;
}

double VectorLength16(std::int64_t dx, std::int64_t dy) {
    const bool far = std::llabs(dx) + std::llabs(dy) > kTwoRangeLimit16;
    if (far) {
        dx /= kTwoRangeDivisor;
        dy /= kTwoRangeDivisor;
    }
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    return far ? length * kTwoRangeDivisor : length;
}

TVector2D_16 UnitVector16(std::int64_t dx, std::int64_t dy) {
    if (std::llabs(dx) + std::llabs(dy) > kTwoRangeLimit16) {
        dx /= kTwoRangeDivisor;
        dy /= kTwoRangeDivisor;
    }
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    if (length == 0.0) return TVector2D_16{Clamp32(dx), Clamp32(dy)};
    return TVector2D_16{TruncToInt32(static_cast<double>(dx) * 65536.0 / length),
                        TruncToInt32(static_cast<double>(dy) * 65536.0 / length)};
}

FIXED_FLOAT WrapDegrees(std::int64_t angle) {
    angle %= kFixedFullTurn;
    if (angle < 0) angle += kFixedFullTurn;
    return static_cast<FIXED_FLOAT>(angle);
}

}  // namespace gameplay

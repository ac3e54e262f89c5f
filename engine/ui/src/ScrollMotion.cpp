// Finger-driven scrolling: the drag step, the per-tick motion and the scroll bar.
#include "ui/ScrollMotion.h"

#include <algorithm>

#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "ui/ElementHost.h"

namespace {

constexpr FIXED_FLOAT kPixel = 256;
constexpr FIXED_FLOAT kMaxSpringSpeed = 15 * kPixel;
constexpr int kBarInset = 8;  // pixels from the area's right edge to the bar's left edge
constexpr int kBarWidth = 6;
constexpr int kBarFadePerTick = 32;
constexpr double kBarMaxAlpha = 95;

}  // namespace

int DampedDragStep(int dy, FIXED_FLOAT position, FIXED_FLOAT minimum, FIXED_FLOAT maximum) {
    if ((position < minimum && dy > 0) || (position > maximum && dy < 0)) return dy >> 1;
    return dy;
}

void StepScrollMotion(FIXED_FLOAT& position, FIXED_FLOAT& speed, FIXED_FLOAT minimum, FIXED_FLOAT maximum) {
    FIXED_FLOAT p = position;
    FIXED_FLOAT v = speed;
    if (p < minimum) {
        if (v >= 0) {
            v = std::clamp((minimum - p) / 6, kPixel, kMaxSpringSpeed);
        } else {
            // Still moving outwards: the speed halves until it is gone.
            v = v < -kPixel ? v >> 1 : 0;
        }
        p += v;
        if (p >= minimum) {
            p = minimum;
            v = 0;
        }
    } else if (p > maximum) {
        if (v > 0) {
            v = v > kPixel ? v >> 1 : 0;
        } else {
            v = std::clamp((maximum - p) / 6, -kMaxSpringSpeed, -kPixel);
        }
        p += v;
        if (p <= maximum) {
            p = maximum;
            v = 0;
        }
    } else {
        p += v;
        // A fling's speed is whole pixels; a part of one left over stops it as well.
        if (v > 0)
            v = std::max(v - kPixel, 0);
        else if (v < 0)
            v = std::min(v + kPixel, 0);
    }
    position = p;
    speed = v;
}

void TScrollBar::Update(FIXED_FLOAT position, FIXED_FLOAT minimum, FIXED_FLOAT maximum, int areaWidth, int areaHeight,
                        bool shown, double minRatio, double maxRatio) {
    const int range = (maximum - minimum) >> 8;
    x = areaWidth - kBarInset;
    width = kBarWidth;
    if (range > 0) {
        const double ratio = std::clamp(static_cast<double>(areaHeight) / range, minRatio, maxRatio);
        height = static_cast<int>(areaHeight * ratio);
        y = static_cast<int>((position / 256.0 - minimum / 256.0) * (areaHeight - height) / range);
    } else {
        y = 0;
        height = areaHeight;
    }
    // Past an end the bar shrinks by half the overshoot and sticks to that end.
    if (position < minimum) {
        height = std::max(1, height - (minimum - position) / (2 * kPixel));
        y = 0;
    } else if (position > maximum) {
        height = std::max(1, height - (position - maximum) / (2 * kPixel));
        y = areaHeight - height;
    }
    alpha = shown ? 255 : std::max(0, alpha - kBarFadePerTick);
}

void TScrollBar::Draw(IElementHost* game, IDibBitmap* target, IDibBitmap* topCap, IDibBitmap* bottomCap, int areaX,
                      int areaY) const {
    if (alpha <= 0 || topCap == nullptr || bottomCap == nullptr || target == nullptr) return;
    const double a = alpha / 255.0 * kBarMaxAlpha;
    if (a < 1 || height <= 1) return;
    const int left = areaX + x - 1;
    const int yTop = areaY + y;
    const int yBottom = yTop + height;
    const int shade = static_cast<int>(a);
    const int alphaOffset = shade - 255;
    const int bottomHeight = bottomCap->m_Height;
    if (height >= 6) {
        topCap->Draw(target, left, yTop - 1, topCap->m_Width, topCap->m_Height, 0, alphaOffset);
        bottomCap->Draw(target, left, yBottom + 1 - bottomHeight, bottomCap->m_Width, bottomHeight, 0, alphaOffset);
        if (height > 6) FillRectangle_Transparent(game, target, areaX + x, yTop + 3, width, height - 6, 0, 0, 0, shade);
        return;
    }
    // Too short for both caps: the top half of one and the bottom half of the other.
    const int topRows = (height >> 1) + 1;
    const int bottomRows = height + 2 - topRows;
    topCap->BitBlt(target, left, yTop - 1, topCap->m_Width, topRows, 0, 0, alphaOffset);
    bottomCap->BitBlt(target, left, yBottom + 1 - bottomRows, bottomCap->m_Width, bottomRows, 0,
                      bottomHeight - bottomRows, alphaOffset);
}

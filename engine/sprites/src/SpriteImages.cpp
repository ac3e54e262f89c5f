#include "SpriteImages.h"

#include <utility>

#include "render/DibBitmap.h"
#include "render/WinDibBitmap.h"

namespace sprites_detail {

bool HasPixels(IDibBitmap* bitmap) {
    if (bitmap == nullptr) {
        return false;
    }
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap)) {
        return soft->GetBits() != nullptr;
    }
    return bitmap->GetBits() != nullptr;
}

bool HasAlpha(IDibBitmap* bitmap) { return bitmap != nullptr && bitmap->GetAlphaBits() != nullptr; }

void StoredSize(IDibBitmap* bitmap, int& w, int& h) {
    w = h = 0;
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap)) {
        w = soft->GetStoredWidth();
        h = soft->GetStoredHeight();
    }
}

void StoredSizeAsSeen(IDibBitmap* bitmap, int& w, int& h) {
    StoredSize(bitmap, w, h);
    const int mode = bitmap != nullptr ? bitmap->GetOrientationMode() : kOrientationNormal;
    if (mode == kOrientationTurned1 || mode == kOrientationTurned2) std::swap(w, h);
}

bool Is2xImage(IDibBitmap* bitmap) {
    auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap);
    return soft != nullptr && soft->Is2xImage();
}

}  // namespace sprites_detail

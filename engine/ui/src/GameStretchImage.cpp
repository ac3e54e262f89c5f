// The stretched full-screen background image.
#include "ui/GameStretchImage.h"

#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "ui/ElementHost.h"

void XGameStretchImage::Draw() {
    IDibBitmap* bitmap = m_Image.CurrentBitmap();
    IDibBitmap* back = GetBackBuffer();
    if (GetOpacity() <= 0 || bitmap == nullptr || back == nullptr) return;
    const int bw = bitmap->m_Width;
    const int bh = bitmap->m_Height;
    const int w = back->m_Width;
    const int h = back->m_Height;
    if (bw <= 0 || bh <= 0 || (h <= bh && w <= bw)) {
        XImage::Draw();
        return;
    }
    // The widget's own position does not matter: the image covers the whole screen. A screen
    // taller than the image takes its height and crops both sides alike; one wider than that
    // (a square phone's 480 x 480, say) takes its width and crops top and bottom alike, so no
    // strip of the screen is left without a background.
    int stretchedWidth = h * bw / bh;
    int stretchedHeight = h;
    if (stretchedWidth < w) {
        stretchedWidth = w;
        stretchedHeight = w * bh / bw;
    }
    const int x = -((stretchedWidth - w) >> 1);
    const int y = -((stretchedHeight - h) >> 1);
    Bitmap_StretchDrawF16_Transparent(GetGamePtr(), back, bitmap, x * kFixed16One, y * kFixed16One,
                                      stretchedWidth * kFixed16One, stretchedHeight * kFixed16One, 0, 0,
                                      bw * kFixed16One, bh * kFixed16One, OpacityToAlphaOffset(GetOpacity()), 0);
}

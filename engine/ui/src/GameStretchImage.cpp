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
    if (h <= bh || bh <= 0) {
        XImage::Draw();
        return;
    }
    // The widget's own position does not matter: the image is laid over the whole screen height.
    const int stretchedWidth = h * bw / bh;
    const int x = -((stretchedWidth - w) >> 1);
    Bitmap_StretchDrawF16_Transparent(GetGamePtr(), back, bitmap, x * kFixed16One, 0, stretchedWidth * kFixed16One,
                                      h * kFixed16One, 0, 0, bw * kFixed16One, bh * kFixed16One,
                                      OpacityToAlphaOffset(GetOpacity()), 0);
}

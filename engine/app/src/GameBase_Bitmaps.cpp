// CGameBase's bitmap factory and the list of created bitmaps that orientation flips walk.
#include <new>

#include "app/GameBase.h"
#include "render/GlesGlobals.h"
#include "render/WinDibBitmap.h"

IDibBitmap* CGameBase::CreateBitmapObject() {
    IDibBitmap* bitmap = nullptr;
    // The GL ES renderer's bitmap for renderer kind 5; when it cannot be made, the software
    // bitmap below stands in.
    if (m_nRendererKind == kRendererGLES) {
        bitmap = OGLES_CreateBitmap(this);
    }
    if (bitmap == nullptr) {
        bitmap = new (std::nothrow) CWinDibBitmap(this);
        if (bitmap == nullptr) {
            return nullptr;
        }
    }
    if (m_bTrackBitmaps && m_CreatedBitmaps.Add(bitmap) == 0) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

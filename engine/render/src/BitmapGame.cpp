// The software bitmap's reads from the game object.
#include "BitmapGame.h"

#include <new>

#include "app/GameBase.h"
#include "render/WinDibBitmap.h"

namespace render_detail {

int GameBitsPerPixel(CGameBase* game) {
    if (game == nullptr) {
        return 16;
    }
    DisplayProperties props{};
    game->GetDeviceScreenProperties(&props);
    return props.bitsPerPixel;
}

int GameOrientationMode(CGameBase* game) { return game != nullptr ? game->m_nOrientationMode : 0; }

bool GameUsesDoubleResolution(CGameBase* game) { return game != nullptr && game->m_bDoubleResolution; }

bool IsGameBackBuffer(CGameBase* game, IDibBitmap* bitmap) {
    return game != nullptr && bitmap != nullptr && game->m_pBackBuffer == bitmap;
}

int GameAlphaThreshold(CGameBase* game) { return game != nullptr ? game->m_nAlphaThreshold : 128; }

void GameTransparentColor(CGameBase* game, int& r, int& g, int& b) {
    if (game == nullptr) {
        r = 255;
        g = 0;
        b = 255;
        return;
    }
    r = game->m_nTransparentR;
    g = game->m_nTransparentG;
    b = game->m_nTransparentB;
}

void GameForgetBitmap(CGameBase* game, IDibBitmap* bitmap) {
    if (game == nullptr || !game->m_bTrackBitmaps) {
        return;
    }
    CQuorvanArray<IDibBitmap*>& list = game->m_CreatedBitmaps;
    for (int i = 0; i < list.count; ++i) {
        if (list.data[i] == bitmap) {
            list.RemoveAt(i);
            return;
        }
    }
}

bool GameRendererIsGL(CGameBase* game) { return game != nullptr && game->m_nRendererKind == kRendererGLES; }

IDibBitmap* GameBackBuffer(CGameBase* game) { return game != nullptr ? game->m_pBackBuffer : nullptr; }

IDibBitmap* GameCreateBitmap(CGameBase* game) {
    if (game != nullptr) {
        return game->CreateBitmapObject();
    }
    return new (std::nothrow) CWinDibBitmap(nullptr);
}

}  // namespace render_detail

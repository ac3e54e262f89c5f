// The photo stand (CComicForeground): a painted board with a face hole. A bird that visits it
// stands behind the board with its face in the hole, the yard screen's camera flashes and a
// flare blinks on the board; the stand then stays busy for a while. Made by the farm manager's
// factory for "photostand01" and "photostand02"; never mirrored. Main thread only.
#pragma once

#include "game/farm/FarmDecorObject.h"

class CComicForeground : public CFarmDecorObject {
public:
    // Kind 5.
    CComicForeground(CGameBase* game, const char* id);

    // The decor part, then the face hole and the "PhotoFlare" set (false without it); the
    // rotatable flag is cleared.
    [[nodiscard]] bool Init(int argument) override;
    // The decor, then in the body pass the flare while this stand's camera flash blinks.
    void Draw(int passes) override;
    // A stand dragged away while its own flash runs ends the flash.
    void OnBeginDragging() override;

    // Where a bird stands so that its face shows in the hole: behind the board (at least 20 units
    // farther back), never beyond the far edge.
    TVector2D GetSpotPointForChicken(CChicken* bird);

    // ==== State =================================================================================
    TVector2D m_FaceHole;            // the definition's face_offset, 24.8 pixels from the anchor
    CSpriteSet* m_pFlare = nullptr;  // "PhotoFlare", looked up without a reference
    bool m_bFirstStand = false;      // "photostand01": the flare sits left of the face
};

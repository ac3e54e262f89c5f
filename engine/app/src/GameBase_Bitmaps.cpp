// CGameBase's bitmap factory; the list of created bitmaps that orientation flips walk lives in
// the screen record.
#include "app/GameBase.h"
#include "render/RenderHost.h"

IDibBitmap* CGameBase::CreateBitmapObject() { return CreateRendererBitmap(this); }

// What the quest rows share: rectangle clipping, the objects' pictures and their clipped drawing.
#include "game/screens/QuestRowParts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/GameBase.h"
#include "game/farm/FarmDefs.h"
#include "game/progress/MiniQuestManager.h"
#include "render/DibBitmap.h"
#include "render/DrawingUtils.h"
#include "render/GlesGlobals.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"

namespace {

// The side of the square a quest object's picture is fitted into, pixels.
constexpr double kPictureSide = 60.0;
constexpr FIXED_FLOAT kUnitQuestScale = 256;

// One axis of IntersectRects: false (and position and size 0) without overlap.
bool IntersectAxis(FIXED_FLOAT a, FIXED_FLOAT aSize, FIXED_FLOAT b, FIXED_FLOAT bSize, FIXED_FLOAT& from,
                   FIXED_FLOAT& size) {
    // 64 bits: a far edge of two large values must not wrap.
    const std::int64_t low = std::max(a, b);
    const std::int64_t high = std::min(static_cast<std::int64_t>(a) + aSize, static_cast<std::int64_t>(b) + bSize);
    if (low > high) {
        from = 0;
        size = 0;
        return false;
    }
    from = static_cast<FIXED_FLOAT>(low);
    size = static_cast<FIXED_FLOAT>(high - low);
    return true;
}

FarmObjectDef* FindLastInList(YardDef& yard, int category, const CommonString& id) {
    const auto& list = yard.objects[category];
    for (int i = list.count - 1; i >= 0; --i)
        if (list.data[i] != nullptr && list.data[i]->id == id) return list.data[i];
    return nullptr;
}

void TakePicture(CGameBase* game, const FarmObjectDef* def, FIXED_FLOAT questScale, TQuestObjectPicture& picture) {
    if (game == nullptr || def == nullptr) return;
    CSpriteSetManager* sets = game->GetSpriteSetManager();
    picture.set = sets != nullptr ? sets->GetSpriteSetNamed(QuestPictureSetName(*def)) : nullptr;
    if (picture.set == nullptr || picture.set->AddReference() != 1) {
        // A set that did not load keeps no reference to give back.
        picture.set = nullptr;
        return;
    }
    picture.image = picture.set->GetFrame(0);
    if (picture.image != nullptr)
        picture.scale = QuestPictureScale(picture.image->m_Width, picture.image->m_Height, questScale);
}

}  // namespace

bool IntersectRects(const TRect2D& a, const TRect2D& b, TRect2D& out) {
    const bool across = IntersectAxis(a.x, a.width, b.x, b.width, out.x, out.width);
    const bool down = IntersectAxis(a.y, a.height, b.y, b.height, out.y, out.height);
    return across && down;
}

FIXED_FLOAT_16 QuestPictureScale(int width, int height, FIXED_FLOAT questScale) {
    if (width <= 0 || height <= 0) return kFixed16One;
    const double fit = std::min(kPictureSide / width, kPictureSide / height);
    auto scale = static_cast<std::int64_t>(std::lround(fit * 65536.0));
    if (questScale != kUnitQuestScale) scale = scale * questScale / kUnitQuestScale;
    return static_cast<FIXED_FLOAT_16>(scale);
}

const char* QuestPictureSetName(const FarmObjectDef& def) {
    if (def.iconSprite.Length() > 0) return def.iconSprite.GetDataConst();
    if (def.sprite.Length() > 0) return def.sprite.GetDataConst();
    return def.id.GetDataConst();
}

bool LoadQuestObjectPictures(CGameBase* game, YardDef* yard, const MiniQuest& quest,
                             TQuestObjectPicture (&pictures)[2]) {
    if (yard == nullptr) return false;
    const FarmObjectDef* found[2] = {nullptr, nullptr};
    const CommonString* ids[2] = {&quest.buy1, &quest.buy2};
    for (int category = kFarmCategoryCount - 1; category >= 0 && (found[0] == nullptr || found[1] == nullptr);
         --category)
        for (int k = 0; k < 2; ++k)
            if (found[k] == nullptr) found[k] = FindLastInList(*yard, category, *ids[k]);
    TakePicture(game, found[0], quest.scale1, pictures[0]);
    TakePicture(game, found[1], quest.scale2, pictures[1]);
    return true;
}

void ReleaseQuestObjectPictures(TQuestObjectPicture (&pictures)[2]) {
    for (TQuestObjectPicture& picture : pictures) {
        if (picture.set != nullptr) picture.set->ReleaseReference();
        picture = TQuestObjectPicture();
    }
}

void DrawCentredClipped(CGameBase* game, IDibBitmap* dst, IDibBitmap* picture, int cx, int cy, FIXED_FLOAT_16 scale,
                        int alphaOffset, const TCoordRect2D& clip) {
    if (game == nullptr || dst == nullptr || picture == nullptr || scale <= 0 || alphaOffset <= -255) return;
    // Everything in 24.8 pixels: the drawn rectangle, the clip and their overlap.
    const std::int64_t w = static_cast<std::int64_t>(picture->m_Width) * scale >> 8;
    const std::int64_t h = static_cast<std::int64_t>(picture->m_Height) * scale >> 8;
    const TRect2D drawn{static_cast<FIXED_FLOAT>(cx * 256 - w / 2), static_cast<FIXED_FLOAT>(cy * 256 - h / 2),
                        static_cast<FIXED_FLOAT>(w), static_cast<FIXED_FLOAT>(h)};
    const TRect2D area{clip.x * 256, clip.y * 256, clip.width * 256, clip.height * 256};
    TRect2D part;
    if (!IntersectRects(drawn, area, part) || part.width == 0 || part.height == 0) return;
    // The source rectangle that lands on the part: the offsets and sizes divided by the scale.
    const auto toSource = [&](std::int64_t pixels) {
        return static_cast<FIXED_FLOAT>((pixels << 16) / scale);
    };
    Bitmap_StretchDrawF_Transparent(game, dst, picture, part.x, part.y, part.width, part.height,
                                    toSource(part.x - drawn.x), toSource(part.y - drawn.y), toSource(part.width),
                                    toSource(part.height), alphaOffset, Renderer_BlendMode_Normal);
}

// The image holder and the loading of widget images.
#include "ui/ContainedSpriteSet.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "render/DibBitmap.h"
#include "sprites/SpriteSet.h"
#include "sprites/SpriteSetManager.h"
#include "ui/ElementHost.h"

ContainedSpriteSet::~ContainedSpriteSet() { Release(); }

void ContainedSpriteSet::Release() {
    if (owned) {
        delete set;
    } else if (referenced && set != nullptr) {
        set->ReleaseReference();
    }
    set = nullptr;
    owned = referenced = false;
}

int ContainedSpriteSet::LoadedFrameCount() const { return set != nullptr && set->IsLoaded() ? set->GetNumFrames() : 0; }

IDibBitmap* ContainedSpriteSet::FrameBitmap(int frameIndex) const {
    if (frameIndex < 0 || frameIndex >= LoadedFrameCount()) return nullptr;
    return set->GetFrame(frameIndex);
}

TElementSize ContainedSpriteSet::Size(int frameIndex) const {
    const int count = LoadedFrameCount();
    if (frameIndex < 0 || frameIndex >= count) return {0, 0};
    IDibBitmap* bitmap = set->GetFrame(frameIndex);
    // A set whose files may leave frames empty measures a missing one by the first.
    if (bitmap == nullptr && frameIndex != 0) bitmap = set->GetFrame(0);
    if (bitmap == nullptr) return {0, 0};
    return {bitmap->m_Width, bitmap->m_Height};
}

namespace {

// Drops an exact ".jpg" or ".png" ending from a path longer than 3 characters.
void DropImageExtension(CommonString& path) {
    const int length = path.Length();
    if (length <= 3) return;
    const char* tail = path.GetData() + length - 4;
    if (std::strcmp(tail, ".jpg") != 0 && std::strcmp(tail, ".png") != 0) return;
    char* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) - 3));
    if (copy == nullptr) return;
    std::memcpy(copy, path.GetData(), static_cast<std::size_t>(length) - 4);
    copy[length - 4] = '\0';
    path.Attach(copy);
}

}  // namespace

int PrepareFileAFilePaths(CommonString& file, CommonString& afile) {
    CommonString image = file;
    CommonString alpha = afile;
    file = CommonString();
    afile = CommonString();
    if (image.Length() == 0 && alpha.Length() == 0) return 0;
    if (alpha.Length() == 0) alpha = image;
    if (image.Length() == 0) image = alpha;
    DropImageExtension(image);
    DropImageExtension(alpha);
    file = image;
    afile = alpha;
    return 1;
}

int LoadSpriteSetFromImageData(IElementHost* game, ContainedSpriteSet* holder, const ImageDesc* desc) {
    if (holder == nullptr || desc == nullptr) return 0;
    holder->Release();
    if (desc->useSet) {
        CSpriteSetManager* manager = game != nullptr ? game->GetSpriteSetManager() : nullptr;
        if (manager == nullptr) return 0;
        CSpriteSet* shared = manager->GetSpriteSetNamed(desc->set.GetData());
        if (shared != nullptr) {
            if (!shared->AddReference()) return 0;
            holder->set = shared;
            holder->referenced = true;
        }
        holder->frame = desc->frame;
        return 1;
    }
    CommonString file = desc->file;
    CommonString afile = desc->afile;
    if (!PrepareFileAFilePaths(file, afile)) return 1;
    CSpriteSet* own = new (std::nothrow) CSpriteSet();
    if (own == nullptr) return 0;
    const int frames = desc->frameCount < 1 ? 1 : desc->frameCount;
    const int perRow = desc->framesPerRow < 1 ? 1 : desc->framesPerRow;
    if (frames == 1)
        own->DefineSpriteSetMulti(game, file, afile, 1, perRow);
    else
        own->DefineSpriteSetSingle(game, file, afile, frames, perRow);
    if (desc->textureFormat == 1) own->m_force_8888_texture = 1;
    if (!own->AddReference()) {
        delete own;
        return 0;
    }
    holder->set = own;
    holder->owned = true;
    holder->frame = desc->frame;
    return 1;
}

int LoadNamedSpriteSet(IElementHost* game, ContainedSpriteSet& holder, const CommonString& name, int frame) {
    ImageDesc desc;
    desc.useSet = true;
    desc.set = name;
    const int result = LoadSpriteSetFromImageData(game, &holder, &desc);
    holder.frame = static_cast<short>(frame);
    return result;
}

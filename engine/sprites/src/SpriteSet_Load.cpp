// CSpriteSet: loading the frames by kind, forced atlases and atlas sub-sets.
#include <new>

#include "SpriteImages.h"
#include "render/BitmapUtils.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "sprites/SpriteHost.h"
#include "sprites/SpriteSet.h"

using namespace sprites_detail;

namespace {

// The texels a set's frames go up as: 32-bit when the set forces it, else as the host's switch says.
TexelDepth UploadDepth(const CSpriteSet& set) {
    return set.m_force_8888_texture ? TexelDepth::kForce8888 : TexelDepth::kBySwitches;
}

}  // namespace

int CSpriteSet::FailLoad() {
    if (m_Frames != nullptr) {
        for (int i = 0; i < m_nNumFrames; ++i) {
            delete m_Frames[i];
        }
        delete[] m_Frames;
        m_Frames = nullptr;
    }
    delete[] m_FrameCoords;
    m_FrameCoords = nullptr;
    SafeDelete(m_pForcedAtlasSource);
    SafeDelete(m_pCommonAlpha);
    m_nNumFrames = 0;
    if (m_nRefCount > 0) {
        --m_nRefCount;
    }
    return 0;
}

int CSpriteSet::LoadByKind() {
    int loaded = 0;
    switch (m_nKind) {
        case kSpriteSetSingle:
            loaded = LoadSingle();
            break;
        case kSpriteSetMulti:
            loaded = LoadMulti(false);
            break;
        case kSpriteSetMultiOptional:
            loaded = LoadMulti(true);
            break;
        case kSpriteSetSingleCommonAlpha:
            loaded = LoadSingleCommonAlpha();
            break;
        default:
            return 0;
    }
    if (loaded == 0) {
        return 0;
    }
    const bool gl = IsGlesRenderer(m_pGame);
    if (gl && (m_remove_rgba_in3d || m_pGame->SpriteSwitches().m_bGlobalRemoveRGBA) && m_Frames != nullptr) {
        for (int i = 0; i < m_nNumFrames; ++i) {
            if (m_Frames[i] != nullptr) {
                m_Frames[i]->HWReleasePixelDataInRAM();
            }
        }
    }
    return 1;
}

int CSpriteSet::LoadSingle() {
    if (m_a == 0 || m_b == 0 || (m_File.Length() == 0 && m_AFile.Length() == 0)) {
        return 0;
    }
    // Views of one texture exist only on the GL renderer; the software bitmap would make every
    // forced-atlas frame an empty picture, so there the strip is cut as usual.
    if (m_pGame->SpriteSwitches().m_bTextureAtlasMode && IsGlesRenderer(m_pGame) && m_a >= 2 && m_force_atlas) {
        return LoadForcedAtlas();
    }
    return VisibleObjectWithSpritesLoad(m_a, m_b, m_File.GetData(), m_AFile.GetData(), 0, m_nRefCount, m_nNumFrames,
                                        m_Frames, m_FrameCoords, true, m_pGame, true, TextureUpload::kBySwitches,
                                        UploadDepth(*this));
}

int CSpriteSet::LoadForcedAtlas() {
    ++m_nRefCount;
    if (m_Frames != nullptr) {
        return 1;
    }
    const int columns = m_b;
    // Rounded up, as the strip cutter does, so a last row that is not full still gets its frames.
    // (a - 1) / b + 1 is the rounded-up quotient without the overflow of a + b - 1 when a
    // description file gives a huge row length.
    const int rows = columns >= 1 && m_a >= 1 ? (m_a - 1) / columns + 1 : 0;
    if (columns < 1 || rows < 1) {
        return FailLoad();
    }
    auto* strip = new (std::nothrow) CSpriteSet();
    if (strip == nullptr) {
        return FailLoad();
    }
    m_pForcedAtlasSource = strip;
    strip->DefineSpriteSetMulti(m_pGame, m_File, m_AFile, 1, 1);
    strip->m_remove_rgba_in3d = (m_remove_rgba_in3d || m_pGame->SpriteSwitches().m_bGlobalRemoveRGBA) ? 1 : 0;
    strip->m_force_8888_texture = m_force_8888_texture;
    if (strip->AddReference() == 0 || strip->GetFrame(0) == nullptr) {
        return FailLoad();
    }
    IDibBitmap* image = strip->GetFrame(0);
    // The views are cut in the strip's stored texels, the units of its texture: a 2x strip has
    // twice as many as it stands tall and wide in the layout, and each view halves them again.
    int stripW = 0, stripH = 0;
    StoredSizeAsSeen(image, stripW, stripH);
    const int frameW = stripW / columns;
    const int frameH = stripH / rows;
    if (frameW < 1 || frameH < 1) {
        return FailLoad();  // more frames per row or rows than the strip has pixels
    }
    m_Frames = new (std::nothrow) IDibBitmap*[m_a]();
    if (m_Frames == nullptr) {
        return FailLoad();
    }
    m_nNumFrames = m_a;
    for (int i = 0; i < m_a; ++i) {
        IDibBitmap* frame = m_pGame->CreateBitmapObject();
        m_Frames[i] = frame;
        if (frame == nullptr ||
            frame->HWInitFromTextureAtlas(image, (i % columns) * frameW, (i / columns) * frameH, frameW, frameH) == 0) {
            return FailLoad();
        }
    }
    return 1;
}

int CSpriteSet::LoadMulti(bool optional) {
    if (m_a <= 0 || m_b < 0 || (m_File.Length() == 0 && m_AFile.Length() == 0)) {
        return 0;
    }
    ++m_nRefCount;
    if (m_Frames != nullptr) {
        return 1;
    }
    m_Frames = new (std::nothrow) IDibBitmap*[m_a]();
    if (m_Frames == nullptr) {
        return FailLoad();
    }
    m_nNumFrames = m_a;
    const CommonString directory = m_pGame->GetImagesDirectory();
    const bool separateAlpha = m_AFile.Length() > 0 && !(m_AFile == m_File);
    for (int i = 0; i < m_a; ++i) {
        IDibBitmap* frame = m_pGame->CreateBitmapObject();
        if (frame == nullptr) {
            return FailLoad();
        }
        m_Frames[i] = frame;
        // Both images go in before the one upload: once uploaded, the game's configuration
        // releases the pixels and an alpha image arriving later could no longer reach the texture.
        bool ok = true;
        if (m_File.Length() > 0) {
            const CommonString path = directory + FormatSpritePattern(m_File.GetDataConst(), m_b + i);
            ok = ImageLoad(m_pGame, path.GetDataConst(), frame, TextureUpload::kKeepInRam) != nullptr;
        }
        if (ok && !HasAlpha(frame) && separateAlpha) {
            const CommonString path = directory + FormatSpritePattern(m_AFile.GetDataConst(), m_b + i);
            ok = ImageLoad_Alpha(m_pGame, path.GetDataConst(), frame, TextureUpload::kKeepInRam) != nullptr;
        }
        if (ok && !HasPixels(frame) && !HasAlpha(frame)) {
            ok = false;
        }
        if (ok) {
            ok = frame->HWUpdateTexture(UploadDepth(*this)) != 0;
        }
        if (!ok) {
            if (!optional) {
                return FailLoad();
            }
            delete frame;
            m_Frames[i] = nullptr;
        }
    }
    return 1;
}

int CSpriteSet::LoadSingleCommonAlpha() {
    if (m_a == 0 || m_b == 0 || (m_File.Length() == 0 && m_AFile.Length() == 0)) {
        return 0;
    }
    // The frames wait in RAM for the common alpha: uploaded first, their pixels would be released
    // (in the game's configuration) before the alpha could join them in the texture.
    if (VisibleObjectWithSpritesLoad(m_a, m_b, m_File.GetData(), nullptr, 0, m_nRefCount, m_nNumFrames, m_Frames,
                                     m_FrameCoords, true, m_pGame, true, TextureUpload::kKeepInRam) == 0) {
        return 0;
    }
    if (m_pCommonAlpha != nullptr) {
        return 1;  // a second reference on a loaded set
    }
    IDibBitmap* alpha = m_pGame->CreateBitmapObject();
    if (alpha == nullptr) {
        return FailLoad();
    }
    m_pCommonAlpha = alpha;
    // The plane stays in RAM for the set's life: every frame reads it as its own.
    const CommonString path = m_pGame->GetImagesDirectory() + m_AFile;
    if (ImageLoad_Alpha(m_pGame, path.GetDataConst(), alpha, TextureUpload::kKeepInRam) == nullptr ||
        alpha->GetAlphaBits() == nullptr) {
        return FailLoad();
    }
    int alphaW = 0, alphaH = 0;
    StoredSize(alpha, alphaW, alphaH);
    for (int i = 0; i < m_nNumFrames; ++i) {
        IDibBitmap* frame = m_Frames[i];
        if (frame == nullptr) {
            continue;
        }
        // The shared plane is read with each frame's own stride and height: one of another size
        // would be read past its end.
        int frameW = 0, frameH = 0;
        StoredSize(frame, frameW, frameH);
        if (frameW != alphaW || frameH != alphaH) {
            return FailLoad();
        }
        frame->SetExternalAlpha(alpha->GetAlphaBits());
        (void)frame->HWUpdateTexture(UploadDepth(*this));
    }
    return 1;
}

int CSpriteSet::LoadSpriteSetFromTextureAtlas(CSpriteSet* textureSet) {
    if (m_AtlasItemPattern.Length() == 0 || m_nItemCount <= 0 || m_nFirstItem < 0 || textureSet == nullptr ||
        textureSet->GetFrame(0) == nullptr) {
        return 0;
    }
    ++m_nRefCount;
    if (m_Frames != nullptr) {
        return 1;
    }
    m_Frames = new (std::nothrow) IDibBitmap*[m_nItemCount]();
    if (m_Frames == nullptr) {
        return FailLoad();
    }
    m_nNumFrames = m_nItemCount;
    IDibBitmap* atlas = textureSet->GetFrame(0);
    for (int i = 0; i < m_nItemCount; ++i) {
        const CommonString itemName = FormatSpritePattern(m_AtlasItemPattern.GetDataConst(), m_nFirstItem + i);
        CSpriteSetTextureAtlasItem* item = textureSet->FindAtlasItem(itemName.GetDataConst());
        if (item == nullptr) {
            return FailLoad();
        }
        IDibBitmap* frame = m_pGame->CreateBitmapObject();
        m_Frames[i] = frame;
        if (frame == nullptr ||
            frame->HWInitFromTextureAtlas(atlas, item->m_x, item->m_y, item->m_Width, item->m_Height) == 0) {
            return FailLoad();
        }
    }
    return 1;
}

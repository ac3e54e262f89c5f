// Cutting a single sprite-sheet image (and an optional separate alpha image) into frame bitmaps.
#include <algorithm>
#include <new>

#include "core/CommonString.h"
#include "render/BitmapUtils.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"
#include "render/RenderHost.h"
#include "render/WinDibBitmap.h"

namespace {

int DefaultLoadImage(IRenderHost* game, char* path, IDibBitmap* bitmap) {
    return ImageLoad(game, path, bitmap, TextureUpload::kKeepInRam) != nullptr ? 1 : 0;
}

int DefaultLoadAlpha(IRenderHost* game, char* path, IDibBitmap* bitmap) {
    return ImageLoad_Alpha(game, path, bitmap, TextureUpload::kKeepInRam) != nullptr ? 1 : 0;
}

TSheetImageLoaders g_SheetLoaders{&DefaultLoadImage, &DefaultLoadAlpha};

// Loads one image into RAM only: the sheet itself never becomes a texture; only its frames do.
bool LoadSheet(IRenderHost* game, IDibBitmap* bitmap, const CommonString& directory, const char* name, bool alphaOnly) {
    auto load = alphaOnly ? g_SheetLoaders.loadAlpha : g_SheetLoaders.loadImage;
    if (load == nullptr) {
        return false;
    }
    CommonString path = directory + CommonString(name);
    return load(game, path.GetData(), bitmap) == 1;
}

// Clears the sheet's 2x flag so its public sizes are the stored ones; returns the old flag.
bool TakeDoubleResolutionFlag(IDibBitmap* sheet) {
    auto* soft = dynamic_cast<CWinDibBitmap*>(sheet);
    if (soft == nullptr) {
        return false;
    }
    const bool was = soft->Is2xImage();
    soft->Set2xImage(false);
    soft->UpdateWidthAndHeight();
    return was;
}

struct TCellLayout {
    int frameW = 0;  // frame size as seen
    int frameH = 0;
    int createdW = 0;  // frame size as created (turned in modes 1 and 2)
    int createdH = 0;
};

TCellLayout LayoutOf(IRenderHost* game, IDibBitmap* sheet, int frames, int columns) {
    TCellLayout l;
    // (frames - 1) / columns + 1 rounds up without overflowing for a huge row length.
    const int rows = std::max((frames - 1) / columns + 1, 1);
    l.frameW = sheet->m_Width / columns;
    l.frameH = sheet->m_Height / rows;
    const int mode = game->Screen().m_nOrientationMode;
    const bool turned = mode == kOrientationTurned1 || mode == kOrientationTurned2;
    l.createdW = turned ? l.frameH : l.frameW;
    l.createdH = turned ? l.frameW : l.frameH;
    return l;
}

// Where the whole sheet goes in a frame's stored coordinates so that the frame holds its cell.
void CellOffset(int mode, const TCellLayout& l, IDibBitmap* sheet, int i, int columns, int& x, int& y) {
    const int column = i % columns, row = i / columns;
    if (mode == kOrientationTurned1) {
        x = -row * l.createdW;
        y = (column + 1) * l.createdH - sheet->m_BufferHeight;
    } else if (mode == kOrientationTurned2) {
        x = (row + 1) * l.createdW - sheet->m_BufferWidth;
        y = -column * l.createdH;
    } else {
        x = -column * l.frameW;
        y = -row * l.frameH;
    }
}

}  // namespace

void SetSheetImageLoaders(const TSheetImageLoaders& loaders) {
    g_SheetLoaders = loaders;
    if (g_SheetLoaders.loadImage == nullptr) {
        g_SheetLoaders.loadImage = &DefaultLoadImage;
    }
    if (g_SheetLoaders.loadAlpha == nullptr) {
        g_SheetLoaders.loadAlpha = &DefaultLoadAlpha;
    }
}

int VisibleObjectWithSpritesLoad(int frames, int columns, char* imageName, char* alphaName, FIXED_FLOAT /*scale*/,
                                 int& refCount, int& frameCount, IDibBitmap**& frameBitmaps, TCoord2D*& frameOffsets,
                                 bool keepAlpha, IRenderHost* game, bool withOffsets, TextureUpload upload,
                                 TexelDepth depth) {
    if (columns < 1 || game == nullptr) {
        return 0;
    }
    const CommonString directory = game->GetImagesDirectory();
    ++refCount;
    if (frameCount != 0) {
        return 1;
    }
    if (frames < 1) {
        --refCount;
        return 0;
    }
    IDibBitmap* sheet = nullptr;
    auto fail = [&]() {
        delete sheet;
        if (frameBitmaps != nullptr) {
            for (int i = 0; i < frames; ++i) {
                delete frameBitmaps[i];
            }
        }
        delete[] frameBitmaps;
        frameBitmaps = nullptr;
        if (withOffsets) {
            delete[] frameOffsets;
            frameOffsets = nullptr;
        }
        frameCount = 0;
        --refCount;
        return 0;
    };

    frameCount = frames;
    frameBitmaps = new (std::nothrow) IDibBitmap*[frames]();
    if (frameBitmaps == nullptr) {
        return fail();
    }
    if (withOffsets) {
        frameOffsets = new (std::nothrow) TCoord2D[frames]();
        if (frameOffsets == nullptr) {
            return fail();
        }
    }
    const bool alphaFromImage =
        alphaName == nullptr || (imageName != nullptr && CommonString(imageName).IsEqual(alphaName));
    const int mode = game->Screen().m_nOrientationMode;
    bool doubleResolution = false;

    if (imageName != nullptr) {
        sheet = game->CreateBitmapObject();
        if (sheet == nullptr || !LoadSheet(game, sheet, directory, imageName, false)) {
            return fail();
        }
        doubleResolution = TakeDoubleResolutionFlag(sheet);
        const TCellLayout l = LayoutOf(game, sheet, frames, columns);
        const bool sheetHasAlpha = sheet->GetAlphaBits() != nullptr;
        for (int i = 0; i < frames; ++i) {
            IDibBitmap* frame = game->CreateBitmapObject();
            frameBitmaps[i] = frame;
            if (frame == nullptr || frame->Create(l.createdW, l.createdH) == 0) {
                return fail();
            }
            int x = 0, y = 0;
            CellOffset(mode, l, sheet, i, columns, x, y);
            sheet->CopyBitmap(frame, x, y, 0, 0);
            // A sheet that carries its own alpha gives it to the frames even when no separate
            // alpha image is named; dropping it would draw every frame as an opaque box.
            if (alphaFromImage && sheetHasAlpha) {
                sheet->CopyAlpha(frame, x, y, 0, 0);
            } else if (alphaFromImage) {
                frame->DestroyAlpha();
            }
        }
        delete sheet;
        sheet = nullptr;
    }

    if (alphaName != nullptr && !alphaFromImage) {
        sheet = game->CreateBitmapObject();
        if (sheet == nullptr || !LoadSheet(game, sheet, directory, alphaName, true)) {
            return fail();
        }
        doubleResolution = TakeDoubleResolutionFlag(sheet);
        const TCellLayout l = LayoutOf(game, sheet, frames, columns);
        for (int i = 0; i < frames; ++i) {
            if (frameBitmaps[i] == nullptr) {
                IDibBitmap* frame = game->CreateBitmapObject();
                frameBitmaps[i] = frame;
                if (frame == nullptr || frame->Create(l.createdW, l.createdH) == 0) {
                    return fail();
                }
                frame->DestroyBits();
            }
            int x = 0, y = 0;
            CellOffset(mode, l, sheet, i, columns, x, y);
            sheet->CopyAlpha(frameBitmaps[i], x, y, 0, 0);
            (void)frameBitmaps[i]->GetHWResource();
        }
        delete sheet;
        sheet = nullptr;
    }

    for (int i = 0; i < frames; ++i) {
        IDibBitmap* frame = frameBitmaps[i];
        if (frame == nullptr) {
            continue;
        }
        if (auto* soft = dynamic_cast<CWinDibBitmap*>(frame)) {
            soft->Set2xImage(doubleResolution);
            soft->UpdateWidthAndHeight();
        }
        if (upload == TextureUpload::kBySwitches) (void)frame->HWUpdateTexture(depth);
        if (!keepAlpha) {
            frame->ReplaceAlphaWithTransparentColor();
        }
    }
    return 1;
}

// Bitmap helpers of the engine utilities: keeping bitmaps right when the game's orientation mode
// turns, copies that honour the orientation, sized creation, and cutting a sprite sheet into the
// frame bitmaps of a sprite set. Main thread only.
#pragma once

#include "core/Common.h"
#include "render/DibBitmap.h"
#include "render/ImageLoaders.h"

class IRenderHost;

// True when the game's orientation mode is 1 or 2 (the two turned modes).
bool CanFlipGameOrientation(IRenderHost* game);
// Switches between the turned modes and turns the screen target, the blend buffer and every
// tracked bitmap by 180 degrees. Does nothing when the game cannot flip or is already in mode.
void FlipGameOrientation(IRenderHost* game, int mode);
// Turns one bitmap's stored pixels (and its own alpha plane) by 180 degrees and gives it mode;
// a bitmap in mode 0 or already in mode is left alone.
void FlipBitmapOrientation(IDibBitmap* bitmap, int mode);
// CopyBitmap / CopyAlpha from src into dst at (x, y) as seen in the game's orientation mode;
// w, h of 0 mean src's width and height.
void CopyBitmapData(IRenderHost* game, IDibBitmap* src, IDibBitmap* dst, int x, int y, int w, int h);
void CopyAlphaData(IRenderHost* game, IDibBitmap* src, IDibBitmap* dst, int x, int y, int w, int h);
// Create on bitmap with the size turned in modes 1 and 2; 0 for a null game or bitmap or when
// Create fails, else 1.
[[nodiscard]] int CreateBitmap(IRenderHost* game, IDibBitmap* bitmap, int w, int h);
// A new bitmap of that size from the game's factory (alpha plane dropped unless withAlpha), or
// null when it cannot be made.
[[nodiscard]] IDibBitmap* CreateBitmap(IRenderHost* game, int w, int h, bool withAlpha);

// The image loaders the sheet cutter uses: by default ImageLoad for the colour image and the
// ".jpg" then ".png" alpha loaders for the alpha image, both keeping the sheet in RAM (it never
// becomes a texture); tests install their own. A null entry restores its default. Each returns 1
// on success.
struct TSheetImageLoaders {
    int (*loadImage)(IRenderHost* game, char* path, IDibBitmap* bitmap) = nullptr;
    int (*loadAlpha)(IRenderHost* game, char* path, IDibBitmap* bitmap) = nullptr;
};
void SetSheetImageLoaders(const TSheetImageLoaders& loaders);

// Loads the frames of a single-image sprite set: frames in a sheet of `columns` per row, from
// imageName (colour, may be null) and alphaName (separate alpha image, may be null). refCount,
// frameCount, frameBitmaps and frameOffsets are the set's own fields. A second call on a loaded
// set only raises refCount. Returns 1, or 0 with everything made so far released, frameCount 0,
// frameBitmaps null and refCount as before. The scale argument is not used. With kKeepInRam the
// frames are not uploaded: a caller that still adds to them (a common alpha plane) uploads each
// frame itself once it is complete, before the game's switches release its RAM planes. The
// frames that are uploaded go up as depth asks.
[[nodiscard]] int VisibleObjectWithSpritesLoad(int frames, int columns, char* imageName, char* alphaName,
                                               FIXED_FLOAT scale, int& refCount, int& frameCount,
                                               IDibBitmap**& frameBitmaps, TCoord2D*& frameOffsets, bool keepAlpha,
                                               IRenderHost* game, bool withOffsets,
                                               TextureUpload upload = TextureUpload::kBySwitches,
                                               TexelDepth depth = TexelDepth::kBySwitches);

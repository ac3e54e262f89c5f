#pragma once
// Image access of the sprite sets: the alpha-only loader, the sheet loaders of the strip cutter,
// and the small questions sets ask of a bitmap. Private to engine/sprites.

class CGameBase;
class IDibBitmap;

namespace sprites_detail {

// Loads only an alpha plane into bitmap: a trailing ".jpg" or ".png" of path is cut, then
// base + ".jpg" is tried as a greyscale JPEG, else base + ".png" for its alpha channel. The
// plane is not uploaded. True on success.
bool LoadAlphaImage(CGameBase* game, const char* path, IDibBitmap* bitmap);

// Installs ImageLoad and LoadAlphaImage as the strip cutter's loaders, once per process, unless
// something installed loaders before the first sprite set loaded.
void EnsureSheetLoaders();

// True when the bitmap holds pixels or an alpha plane that can be drawn or uploaded.
bool HasPixels(IDibBitmap* bitmap);
bool HasAlpha(IDibBitmap* bitmap);
// The stored (unturned, unhalved) size; 0 for bitmaps that are not the engine's own.
void StoredSize(IDibBitmap* bitmap, int& w, int& h);
// The image loader marked the bitmap as coming from the double-resolution directory.
bool Is2xImage(IDibBitmap* bitmap);

}  // namespace sprites_detail

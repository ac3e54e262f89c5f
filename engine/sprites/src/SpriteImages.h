#pragma once
// The small questions sprite sets ask of a bitmap. Private to engine/sprites.

class IDibBitmap;

namespace sprites_detail {

// True when the bitmap holds pixels or an alpha plane that can be drawn or uploaded.
bool HasPixels(IDibBitmap* bitmap);
bool HasAlpha(IDibBitmap* bitmap);
// The stored (unturned, unhalved) size; 0 for bitmaps that are not the engine's own.
void StoredSize(IDibBitmap* bitmap, int& w, int& h);
// The same turned back as the bitmap is seen (width and height swap in orientation modes 1, 2).
void StoredSizeAsSeen(IDibBitmap* bitmap, int& w, int& h);
// The image loader marked the bitmap as coming from the double-resolution directory.
bool Is2xImage(IDibBitmap* bitmap);

}  // namespace sprites_detail

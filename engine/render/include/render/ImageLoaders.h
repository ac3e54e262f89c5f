#pragma once
// The image loaders: find an image file by its base name (".jpg" with its "_a.jpg" alpha image,
// ".png", 1x and 2x directories), decode it (render/ImageDecode.h) and hand the planes to a
// bitmap, which uploads them on OpenGL ES.
//
// Every loader takes the game for its switches, its bitmap factory and its paths. `bitmap` may
// be null: the loader then creates one with IRenderHost::CreateBitmapObject and deletes it again
// when it fails; a bitmap passed in is never deleted (its earlier planes may be gone). A colour
// image without an alpha of its own keeps the bitmap's alpha plane only when that plane has the
// new image's size and is not a placeholder left after an upload. Results are the loaded bitmap
// or null. Main thread only, except ImageLoad_JPG_FromStream.
//
// Stored layout by the bitmap's orientation mode, for pixel (x, y) of a W x H image (after any
// halving): mode 0 at y * W + x; mode 1 at (W - 1 - x) * H + y; mode 2 at x * H + (H - 1 - y).

class IRenderHost;
class CMemoryFile;
class IDibBitmap;
class IFile;

// Whether a loader may put what it loads into the bitmap's GL textures. kKeepInRam is for images
// that only feed other bitmaps or that their owner uploads later (a sprite sheet cut into frames,
// a font's glyph image): the planes stay in RAM whatever the host's switches say, and the
// switches themselves are never touched, so other bitmaps keep uploading as usual.
enum class TextureUpload { kBySwitches, kKeepInRam };

// The general entry point: tries, outside double-resolution mode, 1x ".jpg", 2x ".jpg" (halved),
// 1x ".png", 2x ".png" (halved); in double-resolution mode 2x ".png", 2x ".jpg", 1x ".jpg",
// 1x ".png". A trailing ".jpg" or ".png" of the path is ignored. An alpha image "_a.jpg" of a
// size other than the colour image's is refused; the colour image then loads without it.
IDibBitmap* ImageLoad(IRenderHost* game, const char* path, IDibBitmap* bitmap,
                      TextureUpload upload = TextureUpload::kBySwitches);
// Only an alpha plane, by base name as in ImageLoad: ".jpg" (its first channel), else the alpha
// channel of ".png". Refused (null, bitmap unchanged) like the two loaders it calls.
IDibBitmap* ImageLoad_Alpha(IRenderHost* game, const char* path, IDibBitmap* bitmap,
                            TextureUpload upload = TextureUpload::kBySwitches);
// Decodes a PNG (pixels and, when some alpha is not 255, the alpha plane) and uploads it.
IDibBitmap* ImageLoad_PNG(IRenderHost* game, const char* path, IDibBitmap* bitmap,
                          TextureUpload upload = TextureUpload::kBySwitches);
// Only the PNG's alpha channel into the bitmap's alpha plane; no upload. Refused (null, bitmap
// unchanged) when the bitmap already holds pixels of another size.
IDibBitmap* ImageLoad_PNG_Alpha(IRenderHost* game, const char* path, IDibBitmap* bitmap,
                                TextureUpload upload = TextureUpload::kBySwitches);
// A JPEG into the pixel plane; no upload.
IDibBitmap* ImageLoad_JPG(IRenderHost* game, const char* path, IDibBitmap* bitmap,
                          TextureUpload upload = TextureUpload::kBySwitches);
// A JPEG's first channel into the alpha plane; no upload. Refused (null, bitmap unchanged) when
// the bitmap already holds pixels of another size.
IDibBitmap* ImageLoad_JPG_Alpha(IRenderHost* game, const char* path, IDibBitmap* bitmap,
                                TextureUpload upload = TextureUpload::kBySwitches);
// A JPEG from an open stream into RGB565 pixels; no 2x handling, no upload, no engine switch
// touched. Safe on a worker thread: a null bitmap gives a plain software bitmap.
IDibBitmap* ImageLoad_JPG_FromStream(IRenderHost* game, IFile* stream, IDibBitmap* bitmap);
// A JPEG decoded into an existing bitmap at (x, y), clipped, then uploaded; null when the bitmap
// has no size or no pixels.
IDibBitmap* ImageLoadCropped_JPG(IRenderHost* game, const char* path, IDibBitmap* bitmap, int x, int y);
// A bitmap whose texture is built from a PVR tile set (descriptor path).
IDibBitmap* ImageLoad_PVR(IRenderHost* game, const char* path);
// The engine is in double-resolution mode and the 2x twin of the path exists.
bool CanOpenImageFile2x(IRenderHost* game, const char* path);
// Opens the image into the memory file, 1x or 2x (preferring 2x in double-resolution mode), and
// flags the bitmap as a 2x image when the 2x file was taken. On failure deletes the bitmap when
// asked to and returns false.
bool DidLoadOpenImageFile1x_2x(IRenderHost* game, CMemoryFile& file, IDibBitmap* bitmap, const char* path,
                               bool deleteOnFailure);

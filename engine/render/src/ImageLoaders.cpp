// The file-level image loaders: the search order over 1x and 2x, ".jpg" and ".png", and the
// hand-over of decoded planes to bitmaps.
#include "render/ImageLoaders.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <string>

#include "core/MemFile.h"
#include "render/ImageDecode.h"
#include "render/RenderHost.h"
#include "render/TextureData.h"
#include "render/WinDibBitmap.h"

namespace {

std::span<const std::uint8_t> Bytes(CMemoryFile& file) {
    const int size = file.GetSize();
    auto* data = static_cast<const std::uint8_t*>(file.GetBuffer());
    if (!data || size <= 0) return {};
    return {data, static_cast<std::size_t>(size)};
}

CWinDibBitmap* AsSoftware(IDibBitmap* bitmap) { return dynamic_cast<CWinDibBitmap*>(bitmap); }

// The 2x twin of an image path as the host names it; empty without a host or a twin.
std::string TwinPath(IRenderHost* game, const char* path) {
    if (!game) return std::string();
    CommonString twin = game->GetImagePathFor2XImage(CommonString(path));
    return twin.Length() == 0 ? std::string() : std::string(twin.GetDataConst());
}

bool Is2x(IDibBitmap* bitmap) {
    CWinDibBitmap* b = AsSoftware(bitmap);
    return b && b->Is2xImage();
}

void Set2x(IDibBitmap* bitmap, bool on) {
    if (CWinDibBitmap* b = AsSoftware(bitmap)) {
        b->Set2xImage(on);
        b->UpdateWidthAndHeight();
    }
}

// The halving decision: a file from the 2x directory outside double-resolution mode is halved
// while decoding and loses its 2x flag.
bool TakeHalving(IRenderHost* game, IDibBitmap* bitmap) {
    if (RenderSwitchesOf(game).m_bDoubleResolution || !Is2x(bitmap)) return false;
    Set2x(bitmap, false);
    return true;
}

// The bitmap the caller gave, or a new one that the guard deletes unless kept.
struct TBitmapGuard {
    IDibBitmap* bitmap = nullptr;
    bool created = false;
    IDibBitmap* Keep() {
        created = false;
        return bitmap;
    }
    ~TBitmapGuard() {
        if (created) delete bitmap;
    }
};

bool Acquire(IRenderHost* game, IDibBitmap* given, TBitmapGuard& guard) {
    guard.bitmap = given ? given : (game ? game->CreateBitmapObject() : nullptr);
    guard.created = given == nullptr;
    return guard.bitmap != nullptr;
}

bool OpenImage(IRenderHost* game, CMemoryFile& file, TBitmapGuard& guard, const char* path) {
    // The guard deletes a bitmap made here; the opening step must not delete it a second time.
    return DidLoadOpenImageFile1x_2x(game, file, guard.bitmap, path, false);
}

// A colour image decides the bitmap's 2x flag: a bitmap used before for a 2x image and now
// given a 1x file must not keep reporting half its size. (Alpha images leave the flag to the
// colour image, so they open with OpenImage.) The flag before is kept for a failed decode.
bool OpenColourImage(IRenderHost* game, CMemoryFile& file, TBitmapGuard& guard, const char* path, bool* flagBefore) {
    *flagBefore = Is2x(guard.bitmap);
    Set2x(guard.bitmap, false);
    if (OpenImage(game, file, guard, path)) return true;
    Set2x(guard.bitmap, *flagBefore);
    return false;
}

// Whether a plane of a w x h image (before any turning) has the bitmap's stored size.
bool FitsStoredSize(CWinDibBitmap* b, int w, int h) {
    const bool turned = b->GetOrientationMode() == 1 || b->GetOrientationMode() == 2;
    return (turned ? h : w) == b->GetStoredWidth() && (turned ? w : h) == b->GetStoredHeight();
}

// An alpha plane left from the bitmap's earlier image stays with new pixels only when it can
// describe them: one of another size would be read past its end, and the placeholder left after
// an upload would keep the new pixels from ever reaching the texture.
void DropAlphaThatCannotFit(IDibBitmap* bitmap, const CDecodedImage& image) {
    CWinDibBitmap* b = AsSoftware(bitmap);
    if (!b || !b->GetAlphaBits()) return;
    if (!b->IsAlphaValid() || !FitsStoredSize(b, image.width, image.height)) b->DestroyAlpha();
}

// Gives decoded pixels to the bitmap; false (the buffer freed) when it refuses them. Without
// uploadNow a GL bitmap takes the plane the way the software bitmap does, so nothing reaches its
// textures here: the loader makes its one upload once every plane is in, or none at all.
bool GivePixels(IDibBitmap* bitmap, CDecodedImage& image, bool uploadNow) {
    DropAlphaThatCannotFit(bitmap, image);
    if (image.bytesPerPixel == 3) bitmap->SetBitsPerPixel(24);
    unsigned char* pixels = image.ReleasePixels();
    CWinDibBitmap* soft = AsSoftware(bitmap);
    const int taken = !uploadNow && soft ? soft->CWinDibBitmap::SetBits(pixels, image.width, image.height)
                                         : bitmap->SetBits(pixels, image.width, image.height);
    if (!taken) {
        // The bitmap dropped its pointer: the plane is still ours.
        std::free(pixels);
        return false;
    }
    return true;
}

bool GiveAlpha(IDibBitmap* bitmap, CDecodedImage& image, bool uploadNow) {
    unsigned char* alpha = image.ReleaseAlpha();
    CWinDibBitmap* soft = AsSoftware(bitmap);
    const int taken = !uploadNow && soft ? soft->CWinDibBitmap::SetAlphaBits(alpha, image.width, image.height)
                                         : bitmap->SetAlphaBits(alpha, image.width, image.height);
    if (!taken) {
        std::free(alpha);
        return false;
    }
    return true;
}

// Whether an alpha plane of the decoded size fits the pixels the bitmap already holds.
bool AlphaFitsPixels(IDibBitmap* bitmap, const CDecodedImage& alpha) {
    CWinDibBitmap* b = AsSoftware(bitmap);
    if (!b || !b->GetBits() || !b->ArePixelsValid()) return true;
    return FitsStoredSize(b, alpha.width, alpha.height);
}

using TDecoder = bool (*)(std::span<const std::uint8_t>, const char*, const TDecodeOptions&, CDecodedImage*);

// Opens and decodes the colour image of a loader. On failure the bitmap keeps the 2x flag it had.
bool DecodeColourImage(IRenderHost* game, const char* path, TBitmapGuard& guard, TDecoder decode, bool wantAlpha,
                       CDecodedImage& image) {
    CMemoryFile file;
    bool flagBefore = false;
    if (!OpenColourImage(game, file, guard, path, &flagBefore)) return false;
    IDibBitmap* b = guard.bitmap;
    TDecodeOptions options;
    options.orientation = b->GetOrientationMode();
    options.trueColor = RenderSwitchesOf(game).m_bTrueColorImages;
    options.wantAlpha = wantAlpha;
    options.halve = TakeHalving(game, b);
    if (!decode(Bytes(file), path, options, &image)) {
        Set2x(b, flagBefore);
        return false;
    }
    return true;
}

// The alpha loaders: the alpha plane of a separate image joins the pixels the bitmap holds.
// `halve`: whether a 2x alpha image is halved outside double-resolution mode (the JPEG loader
// halves it, the PNG loader does not).
IDibBitmap* LoadAlphaImage(IRenderHost* game, const char* path, IDibBitmap* bitmap, TDecoder decode, bool halve,
                           TextureUpload upload) {
    if (!game) return nullptr;
    TBitmapGuard guard;
    if (!Acquire(game, bitmap, guard)) return nullptr;
    IDibBitmap* b = guard.bitmap;
    // Opening may set the 2x flag for the alpha file; a refused alpha must not leave it changed.
    const bool flagBefore = Is2x(b);
    CMemoryFile file;
    if (!OpenImage(game, file, guard, path)) return nullptr;
    TDecodeOptions options;
    options.orientation = b->GetOrientationMode();
    options.wantPixels = false;
    if (halve) options.halve = TakeHalving(game, b);
    CDecodedImage image;
    if (!decode(Bytes(file), path, options, &image) || !AlphaFitsPixels(b, image)) {
        if (image.alpha) std::fprintf(stderr, "image: %s: alpha image size differs from the colour image\n", path);
        Set2x(b, flagBefore);
        return nullptr;
    }
    b->DestroyAlpha();
    if (!GiveAlpha(b, image, upload == TextureUpload::kBySwitches)) return nullptr;
    return guard.Keep();
}

std::string WithoutImageExtension(const char* path) {
    std::string base(path ? path : "");
    if (base.size() > 4) {
        const std::string tail = base.substr(base.size() - 4);
        if (tail == ".jpg" || tail == ".png") base.resize(base.size() - 4);
    }
    return base;
}

}  // namespace

bool CanOpenImageFile2x(IRenderHost* game, const char* path) {
    if (!RenderSwitchesOf(game).m_bDoubleResolution || !path) return false;
    const std::string twin = TwinPath(game, path);
    if (twin.empty()) return false;
    CMemoryFile probe;
    if (!probe.Open(game, twin.c_str(), FileMode::Read | FileMode::Exist)) return false;
    probe.Close();
    return true;
}

bool DidLoadOpenImageFile1x_2x(IRenderHost* game, CMemoryFile& file, IDibBitmap* bitmap, const char* path,
                               bool deleteOnFailure) {
    if (path) {
        const std::string twin = TwinPath(game, path);
        auto openTwin = [&] {
            if (twin.empty() || !file.Open(game, twin.c_str(), FileMode::Read)) return false;
            Set2x(bitmap, true);
            return true;
        };
        if (RenderSwitchesOf(game).m_bDoubleResolution) {
            if (openTwin() || file.Open(game, path, FileMode::Read)) return true;
        } else {
            if (file.Open(game, path, FileMode::Read) || openTwin()) return true;
        }
    }
    if (deleteOnFailure) delete bitmap;
    return false;
}

IDibBitmap* ImageLoad_PNG(IRenderHost* game, const char* path, IDibBitmap* bitmap, TextureUpload upload) {
    if (!game) return nullptr;
    TBitmapGuard guard;
    if (!Acquire(game, bitmap, guard)) return nullptr;
    CDecodedImage image;
    if (!DecodeColourImage(game, path, guard, DecodePng, true, image)) return nullptr;
    IDibBitmap* b = guard.bitmap;
    b->DestroyBits();
    // Both planes go in before the one upload.
    const bool ok =
        GivePixels(b, image, false) && (!image.alphaNotOpaque || (b->DestroyAlpha(), GiveAlpha(b, image, false)));
    if (!ok || (upload == TextureUpload::kBySwitches && !b->HWUpdateTexture())) return nullptr;
    return guard.Keep();
}

IDibBitmap* ImageLoad_PNG_Alpha(IRenderHost* game, const char* path, IDibBitmap* bitmap, TextureUpload upload) {
    return LoadAlphaImage(game, path, bitmap, DecodePng, false, upload);
}

IDibBitmap* ImageLoad_JPG(IRenderHost* game, const char* path, IDibBitmap* bitmap, TextureUpload upload) {
    if (!game) return nullptr;
    TBitmapGuard guard;
    if (!Acquire(game, bitmap, guard)) return nullptr;
    CDecodedImage image;
    if (!DecodeColourImage(game, path, guard, DecodeJpeg, false, image)) return nullptr;
    IDibBitmap* b = guard.bitmap;
    b->DestroyBits();
    if (!GivePixels(b, image, upload == TextureUpload::kBySwitches)) return nullptr;
    return guard.Keep();
}

IDibBitmap* ImageLoad_JPG_Alpha(IRenderHost* game, const char* path, IDibBitmap* bitmap, TextureUpload upload) {
    return LoadAlphaImage(game, path, bitmap, DecodeJpeg, true, upload);
}

IDibBitmap* ImageLoad_Alpha(IRenderHost* game, const char* path, IDibBitmap* bitmap, TextureUpload upload) {
    if (!game || !path) return nullptr;
    const std::string base = WithoutImageExtension(path);
    if (IDibBitmap* loaded = ImageLoad_JPG_Alpha(game, (base + ".jpg").c_str(), bitmap, upload)) return loaded;
    return ImageLoad_PNG_Alpha(game, (base + ".png").c_str(), bitmap, upload);
}

IDibBitmap* ImageLoad(IRenderHost* game, const char* path, IDibBitmap* bitmap, TextureUpload upload) {
    if (!game || !path) return nullptr;
    const std::string base = WithoutImageExtension(path);
    const std::string png = base + ".png";
    if (!(RenderSwitchesOf(game).m_bDoubleResolution && CanOpenImageFile2x(game, png.c_str()))) {
        // The colour and the alpha image both go in before the one upload.
        IDibBitmap* loaded = ImageLoad_JPG(game, (base + ".jpg").c_str(), bitmap, TextureUpload::kKeepInRam);
        if (loaded) {
            TBitmapGuard guard;
            guard.bitmap = loaded;
            guard.created = bitmap == nullptr;
            ImageLoad_JPG_Alpha(game, (base + "_a.jpg").c_str(), loaded, TextureUpload::kKeepInRam);
            if (upload == TextureUpload::kBySwitches && !loaded->HWUpdateTexture()) return nullptr;
            return guard.Keep();
        }
    }
    return ImageLoad_PNG(game, png.c_str(), bitmap, upload);
}

IDibBitmap* ImageLoad_JPG_FromStream(IRenderHost* game, IFile* stream, IDibBitmap* bitmap) {
    if (!game || !stream) return nullptr;
    // A worker may call this: no game factory (it may make a GL bitmap), no switch, no upload.
    TBitmapGuard guard;
    guard.bitmap = bitmap ? bitmap : new (std::nothrow) CWinDibBitmap(game);
    guard.created = bitmap == nullptr;
    CWinDibBitmap* b = AsSoftware(guard.bitmap);
    if (!b) return nullptr;
    TDecodeOptions options;
    options.orientation = b->GetOrientationMode();
    options.wantAlpha = false;
    CDecodedImage image;
    if (!DecodeJpegStream(stream, "stream", options, &image)) return nullptr;
    b->DestroyBits();
    // The software bitmap's own SetBits: a GL bitmap's would upload from this thread.
    b->CWinDibBitmap::SetBits(image.ReleasePixels(), image.width, image.height);
    return guard.Keep();
}

IDibBitmap* ImageLoadCropped_JPG(IRenderHost* game, const char* path, IDibBitmap* bitmap, int x, int y) {
    CWinDibBitmap* b = AsSoftware(bitmap);
    if (!game || !b || b->m_Width <= 0 || b->m_Height <= 0 || !b->GetBits() || !b->ArePixelsValid() ||
        b->GetBytesPerPixel() != 2)
        return nullptr;
    CMemoryFile file;
    if (!path || !file.Open(game, path, FileMode::Read)) return nullptr;
    TDecodeOptions options;
    options.wantAlpha = false;
    CDecodedImage image;
    if (!DecodeJpeg(Bytes(file), path, options, &image)) return nullptr;
    // Written through the bitmap's own layout: (sx, sy) of the image lands at (sx + x, sy + y).
    // The seen size comes from the stored plane, so a 2x bitmap's halved sizes cannot overrun it.
    const bool turned = b->GetOrientationMode() == 1 || b->GetOrientationMode() == 2;
    const int W = turned ? b->GetStoredHeight() : b->GetStoredWidth();
    const int H = turned ? b->GetStoredWidth() : b->GetStoredHeight();
    const int planeW = turned ? H : W;
    for (int sy = 0; sy < image.height; ++sy) {
        const int ty = sy + y;
        if (ty < 0 || ty >= H) continue;
        for (int sx = 0; sx < image.width; ++sx) {
            const int tx = sx + x;
            if (tx < 0 || tx >= W) continue;
            std::size_t index;
            switch (b->GetOrientationMode()) {
                case 1:
                    index = static_cast<std::size_t>(W - 1 - tx) * planeW + ty;
                    break;
                case 2:
                    index = static_cast<std::size_t>(tx) * planeW + (H - 1 - ty);
                    break;
                default:
                    index = static_cast<std::size_t>(ty) * W + tx;
                    break;
            }
            std::memcpy(b->GetBits() + index * 2, image.pixels + (static_cast<std::size_t>(sy) * image.width + sx) * 2,
                        2);
        }
    }
    if (!b->HWUpdateTexture()) return nullptr;
    return bitmap;
}

IDibBitmap* ImageLoad_PVR(IRenderHost* game, const char* path) {
    if (!game || !path) return nullptr;
    TBitmapGuard guard;
    if (!Acquire(game, nullptr, guard)) return nullptr;
    IDibBitmap* b = guard.bitmap;
    auto* data = static_cast<QuorvanTextureData*>(b->GetHWResource());
    if (!data || !data->PVR_CreateTexture(b, path)) return nullptr;
    // Placeholder planes give the bitmap its size; they never reach the textures (which hold the
    // tiles), are released at once and marked so that no software path reads them as a full image.
    CWinDibBitmap* soft = AsSoftware(b);
    if (!soft) return nullptr;
    const int w = data->Width(), h = data->Height();
    auto* pixels = static_cast<unsigned char*>(std::calloc(2, 1));
    bool ok = pixels && soft->CWinDibBitmap::SetBits(pixels, w, h);
    if (ok && data->HasPvrAlpha()) {
        auto* alpha = static_cast<unsigned char*>(std::malloc(1));
        if (alpha) *alpha = 255;
        ok = alpha && soft->CWinDibBitmap::SetAlphaBits(alpha, w, h);
    }
    if (ok) b->HWReleasePixelDataInRAM();
    if (!ok) return nullptr;
    return guard.Keep();
}

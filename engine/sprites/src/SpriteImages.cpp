#include "SpriteImages.h"

#include <string>

#include "render/BitmapUtils.h"
#include "render/ImageLoaders.h"
#include "render/WinDibBitmap.h"

namespace sprites_detail {

namespace {

std::string WithoutExtension(const char* path)
{
    std::string base(path != nullptr ? path : "");
    if (base.size() > 4) {
        const std::string tail = base.substr(base.size() - 4);
        if (tail == ".jpg" || tail == ".png") {
            base.resize(base.size() - 4);
        }
    }
    return base;
}

int SheetImage(CGameBase* game, char* path, IDibBitmap* bitmap)
{
    return ImageLoad(game, path, bitmap) != nullptr ? 1 : 0;
}

int SheetAlpha(CGameBase* game, char* path, IDibBitmap* bitmap)
{
    return LoadAlphaImage(game, path, bitmap) ? 1 : 0;
}

}  // namespace

bool LoadAlphaImage(CGameBase* game, const char* path, IDibBitmap* bitmap)
{
    if (game == nullptr || path == nullptr || bitmap == nullptr) {
        return false;
    }
    const std::string base = WithoutExtension(path);
    if (ImageLoad_JPG_Alpha(game, (base + ".jpg").c_str(), bitmap) != nullptr) {
        return true;
    }
    return ImageLoad_PNG_Alpha(game, (base + ".png").c_str(), bitmap) != nullptr;
}

void EnsureSheetLoaders()
{
    // The render area offers no way to ask which loaders are installed; the sets install theirs
    // once, before the first strip is cut.
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    TSheetImageLoaders loaders;
    loaders.loadImage = SheetImage;
    loaders.loadAlpha = SheetAlpha;
    SetSheetImageLoaders(loaders);
}

bool HasPixels(IDibBitmap* bitmap)
{
    if (bitmap == nullptr) {
        return false;
    }
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap)) {
        return soft->GetBits() != nullptr;
    }
    return bitmap->GetBits() != nullptr;
}

bool HasAlpha(IDibBitmap* bitmap)
{
    return bitmap != nullptr && bitmap->GetAlphaBits() != nullptr;
}

void StoredSize(IDibBitmap* bitmap, int& w, int& h)
{
    w = h = 0;
    if (auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap)) {
        w = soft->GetStoredWidth();
        h = soft->GetStoredHeight();
    }
}

bool Is2xImage(IDibBitmap* bitmap)
{
    auto* soft = dynamic_cast<CWinDibBitmap*>(bitmap);
    return soft != nullptr && soft->Is2xImage();
}

}  // namespace sprites_detail

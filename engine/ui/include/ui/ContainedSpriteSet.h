#pragma once
// The image holder of image-bearing widgets: a shared named sprite set on which it holds a
// reference, or a set of its own made from an image file (and its alpha file) that it deletes,
// plus the frame shown. A frame number outside the set (a template error) shows nothing and
// measures 0 x 0.

#include "core/CommonString.h"
#include "ui/TemplateRecords.h"
#include "ui/XElement.h"

class CSpriteSet;
class IDibBitmap;
class IElementHost;

class ContainedSpriteSet {
public:
    ContainedSpriteSet() = default;
    ContainedSpriteSet(const ContainedSpriteSet&) = delete;
    ContainedSpriteSet& operator=(const ContainedSpriteSet&) = delete;
    // Release.
    ~ContainedSpriteSet();

    // Deletes an owned set, or gives back the reference on a shared one; the holder ends empty.
    void Release();
    // Width and height of a frame: 0 x 0 without a set, without loaded frames or for a frame
    // outside the set; a frame in the set without a bitmap measures as frame 0.
    TElementSize Size(int frameIndex) const;
    // The bitmap of the held frame; null without a set, loaded frames or such a frame.
    IDibBitmap* CurrentBitmap() const { return FrameBitmap(frame); }
    // The bitmap of any frame; null as above.
    IDibBitmap* FrameBitmap(int frameIndex) const;
    // Frames of the held set; 0 without a set or while it is not loaded.
    int LoadedFrameCount() const;

    bool owned = false;       // the set was made here and is deleted here
    bool referenced = false;  // a reference is held on a shared set
    CSpriteSet* set = nullptr;
    short frame = 0;
};

// Fills the holder from an image description: a named set of the game's sprite-set manager (a
// name not found leaves the holder empty and still succeeds), or a set made from the image file
// and its alpha file with the description's frame counts. 1, or 0 when there is no manager for a
// set, the reference fails or the file images cannot be loaded.
[[nodiscard]] int LoadSpriteSetFromImageData(IElementHost* game, ContainedSpriteSet* holder, const ImageDesc* desc);

// Fills the holder with the game's sprite set of that name (as a "set" line with frame 0 does),
// then makes it show frame. 1, or 0 as LoadSpriteSetFromImageData.
[[nodiscard]] int LoadNamedSpriteSet(IElementHost* game, ContainedSpriteSet& holder, const CommonString& name,
                                     int frame);

// Normalises an image path and its alpha path in place: an empty one takes the other, and a
// ".jpg" or ".png" ending (exact case) is dropped from each. 0 when both are empty, else 1.
int PrepareFileAFilePaths(CommonString& file, CommonString& afile);

#pragma once
// The full-screen background image of the game's screens and dialogs: on a screen taller than the
// image it fills the height and is centred horizontally, cropping both sides alike; otherwise it
// draws as a plain image.

#include "ui/Image.h"

class XGameStretchImage : public XImage {
public:
    using XImage::XImage;
    void Draw() override;
};

#pragma once
// The full-screen background image of the game's screens and dialogs: on a screen taller than the
// image it fills the height and is centred horizontally, cropping both sides alike; on a screen
// wider than that it fills the width and is centred vertically instead; on a screen no larger
// than the image it draws as a plain image.

#include "ui/Image.h"

class XGameStretchImage : public XImage {
public:
    using XImage::XImage;
    void Draw() override;
};

// The property keys of the widget records: every class offers a line to its base first and looks
// at its own keys only when the base did not take it. Nothing here is an error: a malformed value
// leaves what it cannot fill as it was, and a key no class takes is ignored by the reader.
#include "TemplateText.h"
#include "ui/TemplateRecords.h"

namespace {

using namespace ui_text;

bool ReadColor(const Text& value, TRgb& color) { return ui_text::ReadColor(value, color.r, color.g, color.b); }

// The two texture-forcing words: the bare word, or the key with an integer of 1 or more.
bool TextureWord(const Text& key, const Text& value, const char* word, bool& taken) {
    if (key.Length() == 0 && Is(value, word)) {
        taken = true;
        return true;
    }
    if (Is(key, word)) {
        taken = true;
        return IntOf(value) >= 1;
    }
    return false;
}

}  // namespace

int TextDesc::SetProperty(Text& key, Text& value) {
    if (Is(key, "caption")) {
        caption = NameOf(value);
    } else if (Is(key, "style")) {
        style = NameOf(value);
    } else if (Is(key, "color")) {
        if (ReadColor(value, color)) givenFlags |= kTextColorGiven;
    } else if (Is(key, "effect")) {
        bool given = false;
        effect = static_cast<unsigned char>(ReadEffect(value, given));
        if (given) givenFlags |= kTextEffectGiven;
    } else {
        return 0;
    }
    return 1;
}

void ImageDesc::SetFile(Text& value) {
    Text parts[3];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, 3, parts, count);
    if (frameCount == 0) frameCount = 1;
    if (framesPerRow == 0) framesPerRow = 1;
    file = NameOf(parts[0]);
    if (count == 2) {
        frameCount = framesPerRow = static_cast<short>(IntOf(parts[1]));
    } else if (count >= 3) {
        frameCount = static_cast<short>(IntOf(parts[1]));
        framesPerRow = static_cast<short>(IntOf(parts[2]));
    }
}

void ImageDesc::SetAFile(Text& value) {
    Text parts[3];
    int count = 0;
    Parser::GetSubStringsArrayVar(value, 3, parts, count);
    afile = NameOf(parts[0]);
    // Numbers already set (by a "file" line) are never changed here.
    if (count >= 2) {
        const short n = static_cast<short>(IntOf(parts[1]));
        if (n != 0 && frameCount == 0) frameCount = n;
        if (count == 2 && framesPerRow == 0) framesPerRow = frameCount;
    }
    if (count >= 3) {
        const short m = static_cast<short>(IntOf(parts[2]));
        if (m != 0 && framesPerRow == 0) framesPerRow = m;
    }
}

void ImageDesc::SetSet(Text& value) {
    useSet = true;
    set = NameOf(value);
}

int ImageDesc::SetProperty(Text& key, Text& value) {
    bool taken = false;
    if (Is(key, "file")) {
        SetFile(value);
    } else if (Is(key, "afile")) {
        SetAFile(value);
    } else if (Is(key, "set")) {
        SetSet(value);
    } else if (Is(key, "frame")) {
        frame = static_cast<short>(IntOf(value));
    } else if (TextureWord(key, value, "force_8888_texture", taken)) {
        textureFormat = 1;
    } else if (!taken && TextureWord(key, value, "force_4444_texture", taken)) {
        textureFormat = 2;
    } else {
        return taken ? 1 : 0;
    }
    return 1;
}

int TWidget::SetProperty(Text& key, Text& value) {
    if (Is(key, "txtid")) {
        txtid = NameOf(value);
        return 1;
    }
    if (Is(key, "size")) {
        Text parts[2];
        Parser::GetSubStringsArray(value, 2, parts);
        width = static_cast<short>(IntOf(parts[0]));
        height = static_cast<short>(IntOf(parts[1]));
        return 1;
    }
    return 0;
}

int TImage::SetProperty(Text& key, Text& value) {
    if (TWidget::SetProperty(key, value)) return 1;
    return image.SetProperty(key, value);
}

int TButton::SetProperty(Text& key, Text& value) {
    if (TImage::SetProperty(key, value)) return 1;
    if (text.SetProperty(key, value)) return 1;
    if (!Is(key, "shoulder")) return 0;
    shoulder = Is(value, "left") ? 1 : Is(value, "right") ? 2 : 0;
    return 1;
}

int TCheckBox::SetProperty(Text& key, Text& value) {
    if (TButton::SetProperty(key, value)) return 1;
    if (Is(key, "textAlign")) {
        textAlign = (Is(value, "1") || Is(value, "side") || Is(value, "Side")) ? 1 : 0;
    } else if (Is(key, "textOffset")) {
        // 0 is a real offset only when written as "0"; any other text reading 0 is not a number.
        const int offset = IntOf(value);
        textOffset = Is(value, "0") ? 0 : offset == 0 ? kNoTextOffset : static_cast<short>(offset);
    } else if (Is(key, "file_checked")) {
        checkedImage.SetFile(value);
    } else if (Is(key, "afile_checked")) {
        checkedImage.SetAFile(value);
    } else if (Is(key, "set_checked")) {
        checkedImage.SetSet(value);
    } else {
        return 0;
    }
    return 1;
}

int TWText::SetProperty(Text& key, Text& value) {
    if (TWidget::SetProperty(key, value)) return 1;
    return text.SetProperty(key, value);
}

int TTextMulti::SetProperty(Text& key, Text& value) {
    if (TWText::SetProperty(key, value)) return 1;
    if (Is(key, "mt_align")) {
        if (Is(value, "left"))
            mt_align = 0;
        else if (Is(value, "center"))
            mt_align = 1;
        else if (Is(value, "right"))
            mt_align = 2;
        else
            mt_align = static_cast<signed char>(IntOf(value));
        return 1;
    }
    if (Is(key, "row_add_dy")) {
        row_add_dy = IntOf(value);
        return 1;
    }
    return 0;
}

int TTextInfo::SetProperty(Text& key, Text& value) {
    if (TWText::SetProperty(key, value)) return 1;
    if (!Is(key, "infoType")) return 0;
    const Text name = Parser::ExtractName(value);
    if (Is(name, "1") || Is(name, "buildDate"))
        infoType = kInfoBuildDate;
    else if (Is(name, "3") || Is(name, "shopLink"))
        infoType = kInfoShopLink;
    else if (Is(name, "4") || Is(name, "shopLink2"))
        infoType = kInfoShopLink2;
    else
        infoType = kInfoVersion;
    return 1;
}

int TProgress::SetProperty(Text& key, Text& value) {
    if (TWidget::SetProperty(key, value)) return 1;
    if (Is(key, "file_empty")) {
        emptyImage.SetFile(value);
    } else if (Is(key, "file_full")) {
        fullImage.SetFile(value);
    } else if (Is(key, "afile_empty")) {
        emptyImage.SetAFile(value);
    } else if (Is(key, "afile_full")) {
        fullImage.SetAFile(value);
    } else if (Is(key, "set_empty")) {
        emptyImage.SetSet(value);
    } else if (Is(key, "set_full")) {
        fullImage.SetSet(value);
    } else if (Is(key, "frame_empty")) {
        emptyImage.frame = static_cast<short>(IntOf(value));
    } else if (Is(key, "frame_full")) {
        fullImage.frame = static_cast<short>(IntOf(value));
    } else {
        return 0;
    }
    return 1;
}

int TTiledBG::SetProperty(Text& key, Text& value) {
    if (TWidget::SetProperty(key, value)) return 1;
    for (int place = 0; place < kTileCount; ++place) {
        if (!Is(key, g_TileKeys[place])) continue;
        tiles[place] = NameOf(value);
        // Only the side columns count as border tiles; top, bottom and center do not.
        const bool middleColumn = place == kTileTop || place == kTileCenter || place == kTileBottom;
        if (!middleColumn) hasBorderTiles = true;
        return 1;
    }
    if (Is(key, "single_set")) {
        hasBorderTiles = true;
        single_set = true;
        return 1;
    }
    if (Is(key, "own_tiles")) {
        own_tiles = true;
        Text parts[2];
        int count = 0;
        Parser::GetSubStringsArrayVar(value, 2, parts, count);
        if (count == 2) {
            const signed char x = static_cast<signed char>(IntOf(parts[0]));
            const signed char y = static_cast<signed char>(IntOf(parts[1]));
            ownTilesX = x < 0 ? 0 : x;
            ownTilesY = y < 0 ? 0 : y;
        }
        return 1;
    }
    return 0;
}

int TTuner::SetProperty(Text& key, Text& value) {
    if (TWidget::SetProperty(key, value)) return 1;
    if (Is(value, "vertical")) {
        vertical = true;
    } else if (Is(key, "tunerId")) {
        tunerId = NameOf(value);
    } else if (Is(key, "tunerFrame")) {
        tunerFrame = static_cast<unsigned char>(IntOf(value));
    } else if (Is(key, "fullId")) {
        fullId = NameOf(value);
    } else if (Is(key, "fullFrame")) {
        fullFrame = static_cast<unsigned char>(IntOf(value));
    } else if (Is(key, "handleId")) {
        handleId = NameOf(value);
    } else if (Is(key, "step")) {
        step = static_cast<short>(IntOf(value));
    } else if (Is(key, "max")) {
        max = static_cast<short>(IntOf(value));
    } else if (Is(key, "offsetLeft")) {
        offsetLeft = static_cast<short>(IntOf(value));
    } else if (Is(key, "offsetRight")) {
        offsetRight = static_cast<short>(IntOf(value));
    } else {
        return 0;
    }
    return 1;
}

int TDialog::SetDialogProperty(Text& key, Text& value, bool takesModal) {
    if (TWidget::SetProperty(key, value)) return 1;
    if (Is(key, "bgCenterTilesX")) {
        bgCenterTilesX = static_cast<unsigned char>(IntOf(value));
    } else if (Is(key, "bgCenterTilesY")) {
        bgCenterTilesY = static_cast<unsigned char>(IntOf(value));
    } else if (Is(key, "background")) {
        background = NameOf(value);
    } else if (Is(key, "color")) {
        if (ReadColor(value, color)) hasColor = true;
    } else if (Is(key, "size_method")) {
        size_method = static_cast<unsigned char>(IntOf(value));
    } else if (takesModal && Is(key, "modal")) {
        modal = Is(value, "children") ? kModalChildren : Is(value, "position") ? kModalPosition : kModalDefault;
    } else {
        return 0;
    }
    return 1;
}

int TDialog::SetProperty(Text& key, Text& value) { return SetDialogProperty(key, value, true); }

int TRoot::SetProperty(Text& key, Text& value) {
    if (SetDialogProperty(key, value, false)) return 1;
    if (Is(key, "alignBg")) {
        const unsigned char word = AlignWord(value, "right");
        alignBg = word != 0 ? word : static_cast<unsigned char>(IntOf(value));
    } else if (Is(key, "alignBgV")) {
        const unsigned char word = AlignWord(value, "bottom");
        alignBgV = word != 0 ? word : static_cast<unsigned char>(IntOf(value));
    } else {
        return 0;
    }
    return 1;
}

// The image table: one line per generated image or sheet, naming where it goes, its frame size
// and layout, the PNG form it must have and the recipe that draws it.
//
//   # comment (a word starting with '#' ends the line; colour=#RRGGBB is not a comment)
//   <path under i_vga, '\' separated>  <W>x<H>  <frames>/<per row>  <kind>  <recipe>  [key=value ...]
//
// kind: rgba (with alpha), rgb (opaque; written without an alpha channel), neutral (rgba whose
// colour is white or grey, for images the game tints). A value with blanks is written in double
// quotes.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "imagegen/Image.h"

namespace imagegen {

enum class EImageKind { Rgba, Rgb, Neutral };

struct TImageSpec {
    std::string path;  // as in the pak below i_vga, '\' separated, without ".png"
    TSheetLayout layout;
    EImageKind kind = EImageKind::Rgba;
    std::string recipe;
    std::map<std::string, std::string> args;
    int line = 0;  // in the table, for messages
};

// False with "name:line: why" on the first malformed line, a duplicate path or a recipe that
// does not exist (when knownRecipe is given).
[[nodiscard]] bool ParseImageTable(std::string_view text, const std::string& name, std::vector<TImageSpec>& out,
                                   std::string& error, bool (*knownRecipe)(std::string_view) = nullptr);

// The path with '\' turned into '/', plus ".png": the file below the images folder.
std::string ImageFileName(const TImageSpec& spec);
// '/' turned into '\' and ".png" dropped: the form in which two names of one image compare equal
// (names are case-sensitive, as in the pak).
std::string NormalisedImagePath(std::string_view path);

}  // namespace imagegen

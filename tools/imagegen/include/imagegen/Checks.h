// Cross-checks between the image table and the text files that name its images: every sprite
// set of a description file and every particle strip of an effect file must name an image of
// the table with the same frame count and frames per row, so the game cuts each sheet into
// exactly the frames that were drawn.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "imagegen/ImageTable.h"

namespace imagegen {

struct TSetUse {
    std::string name;   // the set's name
    std::string file;   // its image, as written
    int frames = 1;     // a of the file line
    int perRow = 1;     // b of the file line (a when not given)
    std::string where;  // "file:line" of the set line
};

struct TStripUse {
    std::string file;  // ParticleSprites
    int frames = 0, perRow = 0;
    std::string where;
};

// Reads the set blocks of a sprite-set description file (the data-file syntax: "//" comments,
// key = value, blocks closed by "end"). False with a message for a set without a file line or a
// kind this generator does not produce (only one-sheet sets are drawn).
[[nodiscard]] bool ReadSpriteSets(std::string_view text, const std::string& name, std::vector<TSetUse>& out,
                                  std::string& error);
// Reads the particle strip an effect file names; false when a key is missing.
[[nodiscard]] bool ReadEffectStrip(std::string_view text, const std::string& name, TStripUse& out, std::string& error);

// False with one line per problem: a set or strip naming an image the table lacks, a frame
// count or row length that differs, a strip of more than one row, a set name declared twice.
[[nodiscard]] bool CheckUses(const std::vector<TImageSpec>& table, const std::vector<TSetUse>& sets,
                             const std::vector<TStripUse>& strips, std::string& error);

}  // namespace imagegen

// Rendering the whole image table into a folder, several images at a time.
#pragma once

#include <string>
#include <vector>

#include "imagegen/ImageTable.h"

namespace imagegen {

struct TGenerateOptions {
    std::string outDir;             // the images folder (i_vga of the pak stage)
    int jobs = 1;                   // images rendered at once
    std::vector<std::string> only;  // when not empty, only these paths (as in the table)
};

// Renders every image and writes its PNG below outDir (parent folders made, each file written
// to a temporary name and renamed). Output does not depend on the number of jobs. False with
// the messages of every image that failed.
[[nodiscard]] bool GenerateImages(const std::vector<TImageSpec>& specs, const TGenerateOptions& options,
                                  std::string& error);

// Writes bytes to path through a temporary file and a rename; false when that fails.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
// The whole file, or false.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace imagegen

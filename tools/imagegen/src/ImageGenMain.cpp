// imagegen: draws the game's images from the image table. See Usage().
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "imagegen/Checks.h"
#include "imagegen/ContactSheet.h"
#include "imagegen/Generate.h"
#include "imagegen/Recipe.h"

namespace {

void Usage() {
    std::fputs(
        "usage: imagegen --table FILE --out DIR [--jobs N] [--only PATH]...\n"
        "                [--check-sets FILE]... [--check-effects FILE]...\n"
        "       imagegen --contact-sheet OUT.png --table FILE --images DIR [--styles FILE] [--zoom N]\n"
        "\n"
        "The first form draws every image of the table (or the --only ones) as PNG files below DIR,\n"
        "after checking that the sprite-set description files and effect files given name images of\n"
        "the table with the same frame layout. The second lays out every image of the table, read back\n"
        "from DIR, and the fonts of a style file (with its font folder below DIR) on one picture.\n"
        "Exit 0 on success, 1 on a usage error, 2 when a check, a drawing or a file fails.\n",
        stderr);
}

bool LoadTable(const std::string& path, std::vector<imagegen::TImageSpec>& specs) {
    std::string text, error;
    if (!imagegen::ReadWholeFile(path, text)) {
        std::fprintf(stderr, "imagegen: cannot read %s\n", path.c_str());
        return false;
    }
    if (!imagegen::ParseImageTable(text, path, specs, error, imagegen::IsRecipe)) {
        std::fprintf(stderr, "imagegen: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool RunChecks(const std::vector<imagegen::TImageSpec>& specs, const std::vector<std::string>& setFiles,
               const std::vector<std::string>& effectFiles) {
    std::vector<imagegen::TSetUse> sets;
    std::vector<imagegen::TStripUse> strips;
    std::string text, error;
    for (const std::string& file : setFiles) {
        std::vector<imagegen::TSetUse> fileSets;
        if (!imagegen::ReadWholeFile(file, text) || !imagegen::ReadSpriteSets(text, file, fileSets, error)) {
            std::fprintf(stderr, "imagegen: %s\n", error.empty() ? ("cannot read " + file).c_str() : error.c_str());
            return false;
        }
        sets.insert(sets.end(), fileSets.begin(), fileSets.end());
    }
    for (const std::string& file : effectFiles) {
        imagegen::TStripUse strip;
        if (!imagegen::ReadWholeFile(file, text) || !imagegen::ReadEffectStrip(text, file, strip, error)) {
            std::fprintf(stderr, "imagegen: %s\n", error.empty() ? ("cannot read " + file).c_str() : error.c_str());
            return false;
        }
        strips.push_back(strip);
    }
    if (!imagegen::CheckUses(specs, sets, strips, error)) {
        std::fprintf(stderr, "imagegen: %s\n", error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string table, out, contact, images, styles;
    std::vector<std::string> only, setFiles, effectFiles;
    int jobs = static_cast<int>(std::thread::hardware_concurrency());
    int zoom = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            Usage();
            return 1;
        }
        const std::string value = argv[++i];
        if (arg == "--table") {
            table = value;
        } else if (arg == "--out") {
            out = value;
        } else if (arg == "--jobs") {
            jobs = std::atoi(value.c_str());
        } else if (arg == "--only") {
            only.push_back(value);
        } else if (arg == "--check-sets") {
            setFiles.push_back(value);
        } else if (arg == "--check-effects") {
            effectFiles.push_back(value);
        } else if (arg == "--contact-sheet") {
            contact = value;
        } else if (arg == "--images") {
            images = value;
        } else if (arg == "--styles") {
            styles = value;
        } else if (arg == "--zoom") {
            zoom = std::atoi(value.c_str());
        } else {
            std::fprintf(stderr, "imagegen: unknown option %s\n", arg.c_str());
            Usage();
            return 1;
        }
    }
    if (table.empty() || (out.empty() == contact.empty()) || (!contact.empty() && images.empty()) || jobs < 1 ||
        zoom < 1 || zoom > 8) {
        Usage();
        return 1;
    }
    std::vector<imagegen::TImageSpec> specs;
    if (!LoadTable(table, specs)) return 2;
    std::string error;
    if (!contact.empty()) {
        imagegen::CImage sheet;
        if (!imagegen::BuildContactSheet(specs, images, styles, zoom, sheet, error) ||
            !imagegen::WriteFileAtomically(contact, imagegen::EncodePng(sheet, imagegen::EPngForm::Rgb))) {
            std::fprintf(stderr, "imagegen: %s\n", error.empty() ? ("cannot write " + contact).c_str() : error.c_str());
            return 2;
        }
        return 0;
    }
    if (!RunChecks(specs, setFiles, effectFiles)) return 2;
    imagegen::TGenerateOptions options;
    options.outDir = out;
    options.jobs = jobs;
    options.only = only;
    if (!imagegen::GenerateImages(specs, options, error)) {
        std::fprintf(stderr, "imagegen: %s\n", error.c_str());
        return 2;
    }
    return 0;
}

// fontbaker: bakes a TrueType font into the engine's bitmap-font files.
//
//   fontbaker --font F.ttf --size PX --out DIR/BASE [--colour R,G,B] [--effect none|outline|shadow]
//             [--form rgba-png|rgba-jpg|alpha-jpg|alpha-jpg-eff] [--glyphs TEXT] [--inset Q]
//             [--quality 1..100] [--charmap latin1|cp1252] [--margin-y PX] [--names-relative-to DIR]
//
// Writes BASE's files (see fontbaker/FontBaker.h) and prints their names, relative to DIR when
// they lie below it (a build prints them relative to its folder). Exit 0 on success, 1 on a
// usage error, 2 when baking or writing fails.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "fontbaker/FontBaker.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: fontbaker --font F.ttf --size PX --out BASE [--colour R,G,B]\n"
                 "                 [--effect none|outline|shadow] [--form rgba-png|rgba-jpg|alpha-jpg|alpha-jpg-eff]\n"
                 "                 [--glyphs TEXT] [--inset QUARTER_PIXELS] [--quality 1..100]\n"
                 "                 [--charmap latin1|cp1252] [--margin-y 0..16] [--names-relative-to DIR]\n");
}

// The name as printed: relative to base when it lies below it, else as it was written.
std::string ShownName(const std::string& name, const std::string& base) {
    if (base.empty()) return name;
    namespace fs = std::filesystem;
    const fs::path relative = fs::path(name).lexically_normal().lexically_relative(fs::path(base).lexically_normal());
    if (relative.empty() || *relative.begin() == "..") return name;
    return relative.string();
}

bool ParseInt(const char* text, int lo, int hi, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseColour(const char* text, fontbaker::TBakeOptions& o) {
    int r = 0, g = 0, b = 0;
    char tail = 0;
    if (std::sscanf(text, "%d,%d,%d%c", &r, &g, &b, &tail) != 3) return false;
    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return false;
    o.r = static_cast<std::uint8_t>(r);
    o.g = static_cast<std::uint8_t>(g);
    o.b = static_cast<std::uint8_t>(b);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    fontbaker::TBakeOptions options;
    fontbaker::EForm form = fontbaker::EForm::RgbaPng;
    std::string out;
    std::string namesBase;
    int quality = 95;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) {
            Usage();
            return 1;
        }
        ++i;
        bool ok = true;
        if (arg == "--font") {
            options.fontPath = value;
        } else if (arg == "--size") {
            ok = ParseInt(value, 4, 200, options.pixelSize);
        } else if (arg == "--out") {
            out = value;
        } else if (arg == "--colour" || arg == "--color") {
            ok = ParseColour(value, options);
        } else if (arg == "--effect") {
            const std::string v = value;
            if (v == "none")
                options.effect = fontbaker::EEffect::None;
            else if (v == "outline")
                options.effect = fontbaker::EEffect::Outline;
            else if (v == "shadow")
                options.effect = fontbaker::EEffect::Shadow;
            else
                ok = false;
        } else if (arg == "--form") {
            const std::string v = value;
            if (v == "rgba-png")
                form = fontbaker::EForm::RgbaPng;
            else if (v == "rgba-jpg")
                form = fontbaker::EForm::RgbaJpeg;
            else if (v == "alpha-jpg")
                form = fontbaker::EForm::AlphaJpeg;
            else if (v == "alpha-jpg-eff")
                form = fontbaker::EForm::AlphaJpegWithColour;
            else
                ok = false;
        } else if (arg == "--glyphs") {
            options.glyphs.assign(value, value + std::strlen(value));
        } else if (arg == "--inset") {
            ok = ParseInt(value, -100000, 100000, options.verticalInset);
        } else if (arg == "--quality") {
            ok = ParseInt(value, 1, 100, quality);
        } else if (arg == "--charmap") {
            const std::string v = value;
            if (v == "latin1")
                options.charMap = fontbaker::ECharMap::Latin1;
            else if (v == "cp1252")
                options.charMap = fontbaker::ECharMap::Cp1252;
            else
                ok = false;
        } else if (arg == "--names-relative-to") {
            namesBase = value;
        } else if (arg == "--margin-y") {
            ok = ParseInt(value, 0, 16, options.cellMarginY);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "fontbaker: bad option %s %s\n", arg.c_str(), value);
            Usage();
            return 1;
        }
    }
    if (options.fontPath.empty() || out.empty()) {
        Usage();
        return 1;
    }
    fontbaker::TBakedFont font;
    std::string error;
    if (!fontbaker::BakeFont(options, font, error)) {
        std::fprintf(stderr, "fontbaker: %s\n", error.c_str());
        return 2;
    }
    for (const auto& [name, bytes] : fontbaker::EncodeFiles(font, out, form, quality)) {
        // Written to a temporary name and renamed, so a failed run leaves no half file behind.
        const std::string temp = name + ".tmp";
        std::FILE* f = std::fopen(temp.c_str(), "wb");
        const bool written =
            f != nullptr && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const bool closed = f != nullptr && std::fclose(f) == 0;
        if (!written || !closed || std::rename(temp.c_str(), name.c_str()) != 0) {
            std::remove(temp.c_str());
            std::fprintf(stderr, "fontbaker: cannot write %s\n", name.c_str());
            return 2;
        }
        std::printf("%s\n", ShownName(name, namesBase).c_str());
    }
    return 0;
}

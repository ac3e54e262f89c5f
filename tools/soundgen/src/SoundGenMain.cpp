// The sound generator's command line, run by the content build:
//   soundgen effects <out-dir> <effect-table> <bird-table>
//       writes every WAV the two tables name (bird sounds below "Birds/")
//   soundgen music <out-dir> <quality> <score.txt>...
//       renders each score to <out-dir>/<score name>.ogg, one thread per score
// Exits non-zero with a message on the first failure (a table names a sound without a recipe,
// a score does not parse, a file cannot be written).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "soundgen/Effects.h"
#include "soundgen/OggEncoder.h"
#include "soundgen/Score.h"
#include "soundgen/Sequencer.h"
#include "soundgen/SoundTables.h"
#include "soundgen/Wav.h"

namespace {

namespace fs = std::filesystem;

bool ReadText(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

bool WriteInto(const fs::path& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return soundgen::WriteBytes(path.string(), bytes, error);
}

int Effects(const fs::path& outDir, const std::string& sfxTable, const std::string& birdTable) {
    std::string sfx, birds, error;
    if (!ReadText(sfxTable, sfx, error) || !ReadText(birdTable, birds, error)) {
        std::fprintf(stderr, "soundgen: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> files = soundgen::SoundFilesOfTable(sfx, {"file"}, "");
    for (std::string& f : soundgen::SoundFilesOfTable(birds, {"eat", "drink", "question", "tap", "tap_spin"}, "Birds/"))
        files.push_back(std::move(f));
    for (const std::string& file : files) {
        soundgen::Samples s;
        if (!soundgen::MakeEffect(fs::path(file).filename().string(), s)) {
            std::fprintf(stderr, "soundgen: no recipe makes %s\n", file.c_str());
            return 1;
        }
        if (!WriteInto(outDir / file, soundgen::EncodeWav(s), error)) {
            std::fprintf(stderr, "soundgen: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}

// One score to one Ogg file; the message is left in `error` on failure.
bool RenderTrack(const fs::path& outDir, float quality, const std::string& scorePath, std::string& error) {
    std::string text;
    if (!ReadText(scorePath, text, error)) return false;
    soundgen::TScore score;
    const std::string name = fs::path(scorePath).filename().string();
    if (!soundgen::ParseScore(text, name, score, error)) return false;
    std::vector<std::uint8_t> ogg;
    if (!soundgen::EncodeOgg(soundgen::RenderScore(score), quality, ogg, error)) return false;
    return WriteInto(outDir / (fs::path(scorePath).stem().string() + ".ogg"), ogg, error);
}

int Music(const fs::path& outDir, float quality, const std::vector<std::string>& scores) {
    std::vector<std::string> errors(scores.size());
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < scores.size(); ++i)
        workers.emplace_back([&, i] {
            std::string error;
            if (!RenderTrack(outDir, quality, scores[i], error)) errors[i] = error.empty() ? "failed" : error;
        });
    for (std::thread& w : workers) w.join();
    int status = 0;
    for (const std::string& e : errors)
        if (!e.empty()) {
            std::fprintf(stderr, "soundgen: %s\n", e.c_str());
            status = 1;
        }
    return status;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: soundgen effects <out-dir> <effect-table> <bird-table>\n"
                 "       soundgen music <out-dir> <quality> <score.txt>...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "effects") return Effects(args[1], args[2], args[3]);
    if (args.size() >= 4 && args[0] == "music") {
        char* end = nullptr;
        const float quality = std::strtof(args[2].c_str(), &end);
        if (!end || *end != '\0') return Usage();
        return Music(args[1], quality, std::vector<std::string>(args.begin() + 3, args.end()));
    }
    return Usage();
}

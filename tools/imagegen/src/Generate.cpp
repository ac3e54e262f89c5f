// Rendering the table on worker threads and writing the files.
#include "imagegen/Generate.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "imagegen/Recipe.h"

namespace imagegen {

namespace fs = std::filesystem;

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code ec;
    const fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

bool GenerateImages(const std::vector<TImageSpec>& specs, const TGenerateOptions& options, std::string& error) {
    std::vector<const TImageSpec*> work;
    for (const TImageSpec& spec : specs) {
        if (options.only.empty() ||
            std::find(options.only.begin(), options.only.end(), spec.path) != options.only.end())
            work.push_back(&spec);
    }
    if (work.size() < options.only.size()) {
        error = "some --only paths are not in the table";
        return false;
    }
    // Each worker takes the next image; results land in a slot per image, so the messages come
    // out in table order whatever the scheduling.
    std::vector<std::string> messages(work.size());
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < work.size(); i = next++) {
            const TImageSpec& spec = *work[i];
            CImage image;
            std::string why;
            if (!RenderImage(spec, image, why)) {
                messages[i] = why;
                continue;
            }
            const std::vector<std::uint8_t> png = EncodeForKind(image, spec.kind);
            const std::string file = (fs::path(options.outDir) / ImageFileName(spec)).string();
            if (png.empty() || !WriteFileAtomically(file, png)) messages[i] = "cannot write " + file;
        }
    };
    const int jobs = std::clamp(options.jobs, 1, 64);
    std::vector<std::thread> threads;
    for (int i = 1; i < jobs; ++i) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    error.clear();
    for (const std::string& m : messages) {
        if (m.empty()) continue;
        if (!error.empty()) error += "\n";
        error += m;
    }
    return error.empty();
}

}  // namespace imagegen

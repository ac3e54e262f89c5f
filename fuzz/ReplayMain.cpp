// Stand-in for libFuzzer's driver in ordinary builds: feeds each file named on the command line
// (directories are walked) to the fuzz target, then a few fixed edge inputs, so the target runs
// under the normal test suite and under the sanitizers without clang.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    // A heap copy of exactly the file's size lets ASan see any read past the input.
    auto* buffer = new std::uint8_t[copy.size() ? copy.size() : 1];
    std::copy(copy.begin(), copy.end(), buffer);
    LLVMFuzzerTestOneInput(buffer, copy.size());
    delete[] buffer;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec))
                if (entry.is_regular_file()) runs += RunFile(entry.path());
        } else if (std::filesystem::is_regular_file(arg, ec)) {
            runs += RunFile(arg);
        }
    }
    const std::vector<std::vector<std::uint8_t>> fixed = {
        {}, {0}, {'\n'}, {'\r'}, {0xFF, 0xFF, 0xFF, 0xFF}, std::vector<std::uint8_t>(4096, 'A')};
    for (const auto& input : fixed) {
        auto* buffer = new std::uint8_t[input.size() ? input.size() : 1];
        std::copy(input.begin(), input.end(), buffer);
        LLVMFuzzerTestOneInput(buffer, input.size());
        delete[] buffer;
        ++runs;
    }
    std::printf("replayed %d inputs\n", runs);
    return 0;
}

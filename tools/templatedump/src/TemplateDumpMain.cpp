// Command-line front of the template dump; see Usage().
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "templatedump/TemplateDump.h"
#include "ui/TemplateReader.h"

namespace {

void Usage(std::FILE* out) {
    std::fputs(
        "Usage: templatedump [--check] TEMPLATE\n"
        "Prints a UI template file (such as content's ui/ui_iphone/ui_main.txt) as the game reads\n"
        "it: every widget record with its kind and the fields its lines set, each dialog's child\n"
        "placements (position, alignments, fades) and command bindings, then every action with its\n"
        "create and destroy steps. Times are in seconds.\n"
        "\n"
        "The reader never rejects a template, so a typo shows up here as a field left at its\n"
        "default or a line read into the wrong block.\n"
        "\n"
        "Options:\n"
        "      --check  after the dump, list references that lead nowhere (a child, background or\n"
        "               create step naming no record, a binding naming no action, a repeated record\n"
        "               or action name) and exit with 1 when there is any\n"
        "  -h, --help   show this text\n"
        "\n"
        "Exit status: 0 when read (and, with --check, clean), 1 for problems found, 2 for a bad\n"
        "command line or a file that cannot be read.\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    bool check = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            Usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--check") == 0) {
            check = true;
        } else if (argv[i][0] == '-' || path != nullptr) {
            std::fprintf(stderr, "templatedump: unexpected argument '%s'\n", argv[i]);
            Usage(stderr);
            return 2;
        } else {
            path = argv[i];
        }
    }
    if (path == nullptr) {
        Usage(stderr);
        return 2;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "templatedump: %s: cannot open\n", path);
        return 2;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CTemplateReader reader;
    std::unique_ptr<TTemplate> templ(reader.ReadTemplateFromBytes(bytes, path));
    if (!templ) {
        std::fprintf(stderr, "templatedump: %s: out of memory\n", path);
        return 2;
    }
    std::fputs(templatedump::DumpTemplate(*templ).c_str(), stdout);
    if (!check) return 0;
    const std::vector<std::string> problems = templatedump::CheckTemplate(*templ);
    for (const std::string& line : problems) std::printf("problem: %s\n", line.c_str());
    std::printf("%zu problem(s)\n", problems.size());
    return problems.empty() ? 0 : 1;
}

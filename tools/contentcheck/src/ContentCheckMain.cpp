// Command line of the content checker; see Usage().
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "contentcheck/ContentChecker.h"

namespace {

void Usage(std::FILE* out) {
    std::fputs(
        "Usage: contentcheck --pak PAK --refs CODE_REFS [--phase A|B|C|D]\n"
        "Checks that the game's resource pak holds every name the code looks up (the rows of\n"
        "CODE_REFS up to the phase, A by default), that the content files' references to each\n"
        "other resolve, and that the pak keeps the rules of the game's readers. Prints one line\n"
        "per fault.\n"
        "Exit status: 0 no fault, 1 faults found, 2 bad command line or unreadable input.\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    std::string pakPath, refsPath;
    contentcheck::TCheckOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "-h" || a == "--help") {
            Usage(stdout);
            return 0;
        } else if (a == "--pak" && hasValue) {
            pakPath = argv[++i];
        } else if (a == "--refs" && hasValue) {
            refsPath = argv[++i];
        } else if (a == "--phase" && hasValue && std::strlen(argv[i + 1]) == 1 && argv[i + 1][0] >= 'A' &&
                   argv[i + 1][0] <= 'D') {
            options.phase = argv[++i][0];
        } else {
            std::fprintf(stderr, "contentcheck: bad argument %s (see --help)\n", a.c_str());
            return 2;
        }
    }
    if (pakPath.empty() || refsPath.empty()) {
        Usage(stderr);
        return 2;
    }
    std::ifstream refsFile(refsPath, std::ios::binary);
    if (!refsFile) {
        std::fprintf(stderr, "contentcheck: cannot read %s\n", refsPath.c_str());
        return 2;
    }
    std::stringstream refsText;
    refsText << refsFile.rdbuf();
    std::vector<std::string> findings;
    std::string error;
    if (!contentcheck::CheckPakFile(pakPath, refsText.str(), options, findings, error)) {
        std::fprintf(stderr, "contentcheck: %s\n", error.c_str());
        return 2;
    }
    for (const std::string& line : findings) std::printf("%s\n", line.c_str());
    std::printf("contentcheck: %zu fault(s) in %s (phase %c)\n", findings.size(), pakPath.c_str(), options.phase);
    return findings.empty() ? 0 : 1;
}

// Command-line front of the pak writer; see Usage() for the command line.
#include "pakwriter/PakWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Usage(std::FILE* out) {
    std::fputs(
        "Usage: pakwriter -o OUT.pak [options] INPUT...\n"
        "Writes a zip resource pak for the game from files.\n"
        "\n"
        "INPUT is FILE, FILE=NAME, or a directory (all its files, recursively). A member is named\n"
        "NAME when given, else by its path relative to the -C root (or as given on the command\n"
        "line), with every '/' written as '\\' as the game looks names up. Members are written in\n"
        "the byte order of their names, all with the same time stamp, so the same inputs always\n"
        "give the same pak. Names ending in .ogg or .png are stored, the rest raw-deflated.\n"
        "\n"
        "Options:\n"
        "  -o, --output FILE      the pak to write (required)\n"
        "  -C, --root DIR         read inputs relative to DIR; names are relative to DIR\n"
        "  -l, --list FILE        more inputs from FILE, one per line ('#' lines and blank lines\n"
        "                         skipped)\n"
        "      --store            store every member uncompressed\n"
        "      --store-ext EXT    also store members whose name ends with EXT (case-insensitive);\n"
        "                         may be repeated\n"
        "      --forward-slashes  keep '/' in member names\n"
        "      --comment TEXT     append an archive comment\n"
        "      --data-descriptor  write every member with a data descriptor (zero CRC and sizes\n"
        "                         in the local headers)\n"
        "      --truncate N       write only the first N bytes of the pak\n"
        "  -v, --verbose          list every member written\n"
        "  -h, --help             this text\n"
        "\n"
        "The last four options make damaged or unusual paks for tests. The same NAME given twice\n"
        "writes two members with that name.\n"
        "The pak is refused when it would hold no member, more than 65535 members, or a name of\n"
        "128 bytes or more: the game's reader cannot hold those.\n"
        "Exit status: 0 written, 1 an input or the output could not be read or written, or the\n"
        "pak would break the format's limits, 2 bad command line.\n",
        out);
}

struct TInput {
    fs::path file;
    std::string name;
};

// Expands one command-line input into members; false when it names nothing readable.
bool Expand(const std::string& arg, const fs::path& root, std::vector<TInput>& out) {
    std::string path = arg;
    std::string name;
    if (const auto eq = arg.find('='); eq != std::string::npos) {
        path = arg.substr(0, eq);
        name = arg.substr(eq + 1);
    }
    const fs::path full = root.empty() ? fs::path(path) : root / path;
    std::error_code ec;
    if (fs::is_directory(full, ec)) {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(full, ec))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) {
            const fs::path rel = fs::relative(f, root.empty() ? fs::current_path() : root, ec);
            std::string member = rel.generic_string();
            if (!name.empty()) member = name + "/" + fs::relative(f, full, ec).generic_string();
            out.push_back({f, member});
        }
        return true;
    }
    if (!fs::is_regular_file(full, ec)) {
        std::fprintf(stderr, "pakwriter: %s: no such file\n", full.string().c_str());
        return false;
    }
    out.push_back({full, name.empty() ? fs::path(path).generic_string() : name});
    return true;
}

bool ReadList(const std::string& listFile, std::vector<std::string>& args) {
    std::ifstream in(listFile);
    if (!in) {
        std::fprintf(stderr, "pakwriter: cannot read list %s\n", listFile.c_str());
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        args.push_back(line);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string output, comment;
    fs::path root;
    std::vector<std::string> inputs, storeExts;
    bool storeAll = false, forwardSlashes = false, dataDescriptor = false, verbose = false;
    long truncateTo = -1;

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "pakwriter: %s needs %s\n", a.c_str(), what);
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "-h" || a == "--help") {
            Usage(stdout);
            return 0;
        } else if (a == "-o" || a == "--output") {
            output = value("a file");
        } else if (a == "-C" || a == "--root") {
            root = value("a directory");
        } else if (a == "-l" || a == "--list") {
            if (!ReadList(value("a file"), inputs)) return 1;
        } else if (a == "--store") {
            storeAll = true;
        } else if (a == "--store-ext") {
            storeExts.push_back(value("an extension"));
        } else if (a == "--forward-slashes") {
            forwardSlashes = true;
        } else if (a == "--comment") {
            comment = value("a text");
        } else if (a == "--data-descriptor") {
            dataDescriptor = true;
        } else if (a == "--truncate") {
            char* end = nullptr;
            const char* v = value("a byte count");
            truncateTo = std::strtol(v, &end, 10);
            if (*v == '\0' || *end != '\0' || truncateTo < 0) {
                std::fprintf(stderr, "pakwriter: bad byte count %s\n", v);
                return 2;
            }
        } else if (a == "-v" || a == "--verbose") {
            verbose = true;
        } else if (a == "--") {
            for (++i; i < argc; ++i) inputs.push_back(argv[i]);
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "pakwriter: unknown option %s (see --help)\n", a.c_str());
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    if (output.empty()) {
        std::fputs("pakwriter: no output pak (-o); see --help\n", stderr);
        return 2;
    }

    std::vector<TInput> files;
    for (const std::string& in : inputs)
        if (!Expand(in, root, files)) return 1;

    // The limits are checked on the names alone, before any input is read.
    std::vector<std::string> names;
    names.reserve(files.size());
    for (const TInput& f : files) names.push_back(forwardSlashes ? f.name : pakwriter::ToPakName(f.name));
    std::size_t offender = 0;
    switch (pakwriter::CheckPakNames(names, &offender)) {
        case pakwriter::EPakNames::Ok:
            break;
        case pakwriter::EPakNames::Empty:
            std::fputs("pakwriter: no input files: a pak needs at least one member\n", stderr);
            return 1;
        case pakwriter::EPakNames::TooManyMembers:
            std::fprintf(stderr, "pakwriter: %zu members: a pak holds at most %zu\n", names.size(),
                         pakwriter::kMaxPakMembers);
            return 1;
        case pakwriter::EPakNames::NameTooLong:
            std::fprintf(stderr, "pakwriter: member name of %zu bytes (at most %zu): %s\n", names[offender].size(),
                         pakwriter::kMaxPakNameBytes, names[offender].c_str());
            return 1;
    }

    std::vector<std::string> stored = pakwriter::kStoredExtensions;
    stored.insert(stored.end(), storeExts.begin(), storeExts.end());
    std::vector<pakwriter::TPakMember> members;
    members.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        pakwriter::TPakMember m;
        m.name = names[i];
        if (!pakwriter::ReadFileBytes(files[i].file.string(), m.data)) {
            std::fprintf(stderr, "pakwriter: cannot read %s\n", files[i].file.string().c_str());
            return 1;
        }
        m.deflate = !storeAll && !pakwriter::HasExtension(m.name, stored);
        m.dataDescriptor = dataDescriptor;
        members.push_back(std::move(m));
    }
    pakwriter::SortByName(members);
    if (verbose)
        for (const pakwriter::TPakMember& m : members)
            std::printf("%-8s %10zu  %s\n", m.deflate ? "deflate" : "store", m.data.size(), m.name.c_str());

    pakwriter::TPakOptions options;
    options.comment = comment;
    std::vector<std::uint8_t> pak = pakwriter::BuildPak(members, options);
    if (truncateTo >= 0 && static_cast<std::size_t>(truncateTo) < pak.size()) pak.resize(truncateTo);
    if (!pakwriter::WriteBytesToFile(output, pak)) {
        std::fprintf(stderr, "pakwriter: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

// The real program on hostile input, as a player's machine could give it: paks that are damaged,
// cut short or missing, and save folders whose player data cannot be read, is damaged twice in a
// row, or cannot be kept aside. Each run is a child process, headless, under the virtual clock;
// its peak memory comes from the kernel's accounting of the child (wait4).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "game/progress/ApplicationData.h"
#include "testsupport/RunCommand.h"
#include "testsupport/ScratchDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// The peak a hostile run may reach. The sanitizer builds keep shadow memory and a quarantine of
// freed blocks, so the bound holds for the program as players run it.
constexpr long kPeakLimitKb = 200 * 1024;
#ifdef COBBLE_SANITIZED_BUILD
constexpr bool kPeakIsMeaningful = false;
#else
constexpr bool kPeakIsMeaningful = true;
#endif

struct TRun {
    int status = -1;  // exit status, or -1 when it did not exit (killed, timed out)
    std::string output;
    long peakKb = 0;
};

Bytes ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

int Occurrences(const std::string& text, const std::string& needle) {
    int n = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
    return n;
}

// Runs argv (prefix, then the program) headless with the game's test settings and `extra`
// NAME=value pairs, its output into `log`; at most two minutes.
TRun RunGame(const std::vector<std::string>& argv, const fs::path& saves, int frames,
             const std::vector<std::string>& extra, const fs::path& log) {
    std::vector<std::string> env = {"COBBLE_DISPLAY=headless",
                                    "COBBLE_DISPLAY_SIZE=768x1280",
                                    "COBBLE_CLOCK=virtual",
                                    "COBBLE_SOUND=null",
                                    "COBBLE_FRAMES=" + std::to_string(frames),
                                    "COBBLE_SAVE_DIR=" + saves.string()};
    env.insert(env.end(), extra.begin(), extra.end());
    const auto named = [&env](const char* entry) {
        const std::string text(entry);
        const std::string key = text.substr(0, text.find('='));
        if (key == "DISPLAY") return true;
        for (const std::string& mine : env)
            if (mine.compare(0, key.size() + 1, key + "=") == 0) return true;
        return false;
    };
    for (char** e = environ; *e != nullptr; ++e)
        if (!named(*e)) env.emplace_back(*e);
    std::vector<char*> envp, args;
    for (std::string& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvCopy = argv;
    for (std::string& s : argvCopy) args.push_back(s.data());
    args.push_back(nullptr);

    TRun run;
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) return run;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    ::close(out);
    if (child < 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = ::wait4(child, &status, WNOHANG, &usage);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            (void)::wait4(child, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKb = usage.ru_maxrss;
    std::ifstream in(log);
    run.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

// What a root run needs in front of the program so that file permissions hold for it: without
// the capabilities that override them, root meets "permission denied" as a player does.
std::vector<std::string> WithoutPermissionOverride() {
    if (::geteuid() != 0) return {};
    return {"/usr/bin/setpriv", "--inh-caps=-dac_override,-dac_read_search",
            "--bounding-set=-dac_override,-dac_read_search", "--"};
}

class HostilePak : public ::testing::Test {
protected:
    // The program beside a pak made by the script in `mode` ("" for no pak at all).
    void Prepare(const std::string& mode) {
        fs::create_directories(assets);
        fs::copy_file(COBBLE_GAME_PATH, program);
        if (mode.empty()) return;
        int status = -1;
        const std::string made = RunCommand(
            "python3 '" COBBLE_HOSTILE_PAK_SCRIPT "' '" COBBLE_BUILT_PAK "' '" + pak.string() + "' " + mode + " 2>&1",
            &status);
        ASSERT_EQ(status, 0) << made;
    }
    TRun Run() { return RunGame({program.string()}, dir.root / "saves", 2000, {}, dir.root / "run.log"); }

    CScratchDir dir;
    fs::path program = dir.root / "cobblebrooks";
    fs::path assets = dir.root / "app" / "native" / "assets";
    fs::path pak = assets / "_game_bb.pak";
};

TEST_F(HostilePak, EachEndsWithStatusOneAndNamesTheMemberOrThePakAndWhy) {
    struct TCase {
        const char* mode;
        std::vector<std::string> told;  // each once
        const char* why;
    };
    const std::string pakPath = pak.string();
    const TCase cases[] = {
        {"frames",
         {"sprites: set AchAwarded: 2000000000 frames, more than the 4096 a set may have",
          // The step count runs over every declared sprite set, so it grows with the content.
          "game: start-up loader: loading step 49 of ",
          " failed: the sprite set AchAwarded (sprites\\ui\\ach_awarded)"},
         "a sprite set claims 2,000,000,000 frames"},
        {"crc",
         {"pak: " + pakPath + ": i_vga\\fonts\\sans_b13_rgba.png: CRC-32 mismatch", "failed: the font FontSmall"},
         "a font's glyph image has a bad CRC"},
        {"truncate",
         {"game: start-up failed: the resource pak " + pakPath +
          " is truncated or no pak: its last 22 bytes are no zip end record; `make build` makes it"},
         "the pak is cut in half"},
        {"",
         {"game: start-up failed: the resource pak " + pakPath + " is missing; `make build` makes it"},
         "there is no pak"},
        // The step numbers of the loader grow with the content: the member and its fault are what count.
        {"garble 'Data\\bird_sounds.txt'",
         {"game: start-up failed: Data\\bird_sounds.txt: no bird record (a line \"bird = name\", its calls, \"end\")"},
         "the bird sounds are garbage"},
        {"cut 'Data\\arenas.txt'",
         {" failed: Data\\arenas.txt: the file ends inside the record of the arena arena1 (no \"end\"): it is cut "
          "short"},
         "the arena table is cut in half"},
        {"garble 'Data\\miniquests.txt'",
         {" failed: Data\\miniquests.txt: set 1 is not the quests of the yard yard1 (quests_for_yard = yard1)"},
         "the quest table is garbage"},
        {"cut 'Data\\addcoins.txt'",
         {" failed: Data\\addcoins.txt: the file ends inside the record of the purchase coins_sack (no \"end\"): it is "
          "cut short"},
         "the coin table is cut in half"},
        // Where a member is cut depends on the content: the member, the fault and the kind of
        // block the cut fell in are what count.
        {"remove 'Data\\sfx.txt'",
         {"game: start-up failed: the sound table: Data\\sfx.txt: cannot be opened or read in the paks"},
         "the sound table is missing"},
        {"garble 'Data\\sfx.txt'",
         {"game: start-up failed: the sound table: Data\\sfx.txt is damaged: no effect (\"sfx = NAME\" up to \"end\"): "
          "the file is empty or not a sound table"},
         "the sound table is garbage"},
        {"cut 'Data\\sfx.txt'",
         {"game: start-up failed: the sound table: Data\\sfx.txt is damaged: the file ends inside the block of the "
          "effect "},
         "the sound table is cut in half"},
        {"remove 'Lang\\texts.csv'",
         {"game: start-up failed: Lang\\texts.csv: the text table cannot be opened or read in the paks"},
         "the text table is missing"},
        {"garble 'Lang\\texts.csv'",
         {"game: start-up failed: Lang\\texts.csv is damaged: no language id in its first row: the file is empty or "
          "not a text table"},
         "the text table is garbage"},
        {"cut 'Lang\\texts.csv'",
         {"game: start-up failed: Lang\\texts.csv is damaged: its last row ends without a line break: the file is cut "
          "short"},
         "the text table is cut in half"},
        {"cut 'ui\\ui_iphone\\ui_main.txt'",
         {"ui: ui\\ui_iphone\\ui_main.txt is damaged: the file ends inside the block of the widget ",
          "the screen root_START_MENU could not be opened: ui_main.txt cannot be read"},
         "the template file is cut in half"},
        {"garble 'ui\\ui_iphone\\game_styles.txt'",
         {"game: start-up failed: ui\\ui_iphone\\game_styles.txt is damaged: no font record (\"font = ID\" up to "
          "\"end\"): the file is empty or not a style table"},
         "the style table is garbage"},
        {"cut 'ui\\ui_iphone\\game_styles.txt'",
         {"game: start-up failed: ui\\ui_iphone\\game_styles.txt is damaged: the file ends inside the block of the "
          "font "},
         "the style table is cut in half"},
        {"garble 'ui\\ui_sprites.txt'",
         {"sprites: ui\\ui_sprites.txt is damaged: not a sprite-set description: none of its ",
          "game: start-up failed: the UI sprite sets: ui\\ui_sprites.txt"},
         "the UI sprite sets are garbage"},
        {"cut 'ui\\ui_sprites.txt'",
         {"sprites: ui\\ui_sprites.txt is damaged: the file ends inside the block of set ",
          "game: start-up failed: the UI sprite sets: ui\\ui_sprites.txt"},
         "the UI sprite sets are cut in half"},
        {"garble 'ui\\farm_obj_sprites.txt'",
         {"sprites: ui\\farm_obj_sprites.txt is damaged: not a sprite-set description: none of its ",
          " failed: the sprite-set file ui\\farm_obj_sprites.txt"},
         "the yard objects' sprite sets are garbage"},
        {"cut 'ui\\farm_obj_sprites.txt'",
         {"sprites: ui\\farm_obj_sprites.txt is damaged: the file ends inside the block of set ",
          " failed: the sprite-set file ui\\farm_obj_sprites.txt"},
         "the yard objects' sprite sets are cut in half"},
        {"cut 'Data\\yard1_objects.txt'",
         {"farm: Data\\yard1_objects.txt is damaged: the file ends inside the block of the object ",
          "farm: Data\\yard1_objects.txt: the object file of yard yard1 could not be read"},
         "the first yard's objects are cut in half"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        fs::remove_all(dir.root);
        Prepare(c.mode);
        const TRun run = Run();
        EXPECT_EQ(run.status, 1) << run.output;
        for (const std::string& line : c.told) {
            EXPECT_EQ(Occurrences(run.output, line), 1) << line << "\n" << run.output;
        }
        std::printf("[ hostile  ] %-36s status %d, peak %ld KB\n", c.why, run.status, run.peakKb);
        if (kPeakIsMeaningful) {
            EXPECT_LT(run.peakKb, kPeakLimitKb);
        }
    }
}

class DamagedSaves : public ::testing::Test {
protected:
    TRun Run(const std::vector<std::string>& prefix = {}, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> argv = prefix;
        argv.emplace_back(COBBLE_GAME_PATH);
        return RunGame(argv, saves, 5, extra, dir.root / "run.log");
    }
    // Names in the save folder that belong to the player data.
    std::vector<std::string> PlayerDataFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(saves)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("global.opt")) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static bool Decodes(const Bytes& bytes) {
        CApplicationData data;
        return data.ReadAppDataFromBytes(bytes, "global.opt") == 1;
    }

    CScratchDir dir;
    fs::path saves = dir.root / "saves";
    fs::path opt = saves / "global.opt";
};

TEST_F(DamagedSaves, PlayerDataThatCannotBeReadIsLeftByteForByte) {
    ASSERT_EQ(Run().status, 0);
    const Bytes saved = ReadBytes(opt);
    ASSERT_TRUE(Decodes(saved));
    struct TCase {
        const char* why;
        const char* reason;
        bool denied;  // else a read error
    } const cases[] = {{"permission denied", "Permission denied", true}, {"a read error", "Input/output error", false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TRun run;
        if (c.denied) {
            fs::permissions(opt, fs::perms::none);
            run = Run(WithoutPermissionOverride());
            fs::permissions(opt, fs::perms::owner_read | fs::perms::owner_write);
        } else {
            run = Run({}, {"LD_PRELOAD=" COBBLE_READ_FAULT_SHIM, "COBBLE_FAULT_EIO_PATH=" + opt.string(),
                           std::string("ASAN_OPTIONS=verify_asan_link_order=0:") +
                               (std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "")});
        }
        EXPECT_EQ(run.status, 0) << "the run goes on with the defaults\n" << run.output;
        EXPECT_NE(run.output.find("appdata: " + opt.string() + ": cannot be read (" + c.reason + ")"),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(ReadBytes(opt), saved);
        EXPECT_EQ(PlayerDataFiles(), std::vector<std::string>{"global.opt"}) << "nothing kept aside or left behind";
    }
}

TEST_F(DamagedSaves, TwoDamagedFilesInARowAreBothKept) {
    const Bytes first = ToBytes("the first damaged player data");
    const Bytes second = ToBytes("the second damaged player data, a little longer");
    fs::create_directories(saves);
    WriteBytes(opt, first);
    TRun run = Run();
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("it is kept as " + opt.string() + ".damaged.1"), std::string::npos) << run.output;
    WriteBytes(opt, second);
    run = Run();
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("it is kept as " + opt.string() + ".damaged.2"), std::string::npos) << run.output;
    EXPECT_EQ(ReadBytes(saves / "global.opt.damaged.1"), first);
    EXPECT_EQ(ReadBytes(saves / "global.opt.damaged.2"), second);
    EXPECT_TRUE(Decodes(ReadBytes(opt))) << "the exit saved fresh player data";
    EXPECT_EQ(PlayerDataFiles(),
              (std::vector<std::string>{"global.opt", "global.opt.damaged.1", "global.opt.damaged.2"}));
}

TEST_F(DamagedSaves, ADamagedFileThatCannotBeKeptAsideIsNotWrittenOver) {
    const Bytes damaged = ToBytes("damaged player data in a folder that cannot be changed");
    fs::create_directories(saves);
    WriteBytes(opt, damaged);
    fs::permissions(saves, fs::perms::owner_read | fs::perms::owner_exec);
    const TRun run = Run(WithoutPermissionOverride());
    fs::permissions(saves, fs::perms::owner_all);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("could not be kept as " + opt.string() + ".damaged.1"), std::string::npos) << run.output;
    EXPECT_EQ(ReadBytes(opt), damaged);
    EXPECT_EQ(PlayerDataFiles(), std::vector<std::string>{"global.opt"});
}

}  // namespace

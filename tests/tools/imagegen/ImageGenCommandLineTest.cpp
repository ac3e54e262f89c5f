// The imagegen program run from the build tree on a small table in a scratch folder.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

class ImageGenCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("cobble_imagegen_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
        Write("table.txt",
              "sprites\\ui\\btn   40x20 2/2 rgba    pill colour=green\n"
              "particles\\p_dot   16x16 1/1 neutral particle shape=dot\n"
              "ui\\bg             16x24 1/1 rgb     dialog_background\n");
        Write("sets.txt", "set = Btn\n    file = \"sprites\\ui\\btn\", 2, 2\n    group = ui\nend\n");
        Write("dot.pfd", "ParticleSprites = particles\\p_dot\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; }
    int Run(const std::string& args) {
        const int status = std::system((std::string(IMAGEGEN_EXE) + " " + args + " > /dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string P(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
};

// Width, height and libpng's format of a PNG file; width 0 when it cannot be read.
struct TPngHead {
    unsigned width = 0, height = 0, format = 0;
};
TPngHead Head(const fs::path& file) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    TPngHead head;
    if (png_image_begin_read_from_file(&image, file.c_str()) != 0) {
        head = {image.width, image.height, image.format};
        png_image_free(&image);
    }
    return head;
}

}  // namespace

TEST_F(ImageGenCommandLine, DrawsTheTableAfterCheckingTheFilesThatCutIt) {
    ASSERT_EQ(Run("--table " + P("table.txt") + " --out " + P("out") + " --jobs 2 --check-sets " + P("sets.txt") +
                  " --check-effects " + P("dot.pfd")),
              0);
    const TPngHead btn = Head(dir / "out/sprites/ui/btn.png");
    EXPECT_EQ(btn.width, 80u);
    EXPECT_EQ(btn.height, 20u);
    EXPECT_NE(btn.format & PNG_FORMAT_FLAG_ALPHA, 0u);
    const TPngHead bg = Head(dir / "out/ui/bg.png");
    EXPECT_EQ(bg.width, 16u);
    EXPECT_EQ(bg.format & PNG_FORMAT_FLAG_ALPHA, 0u) << "opaque images have no alpha channel";
    EXPECT_FALSE(fs::exists(dir / "out/ui/bg.png.tmp"));

    ASSERT_EQ(Run("--contact-sheet " + P("sheet.png") + " --table " + P("table.txt") + " --images " + P("out")), 0);
    EXPECT_GT(Head(dir / "sheet.png").width, 0u);
}

TEST_F(ImageGenCommandLine, AMismatchStopsBeforeAnythingIsDrawn) {
    Write("bad_sets.txt", "set = Btn\n    file = \"sprites\\ui\\btn\", 3, 3\nend\n");
    EXPECT_EQ(Run("--table " + P("table.txt") + " --out " + P("out") + " --check-sets " + P("bad_sets.txt")), 2);
    EXPECT_FALSE(fs::exists(dir / "out"));
    Write("bad.pfd", "ParticleSprites = particles\\p_gone\nParticleNumSprites = 1\nParticleNumSpritesPerRow = 1\n");
    EXPECT_EQ(Run("--table " + P("table.txt") + " --out " + P("out") + " --check-effects " + P("bad.pfd")), 2);
}

TEST_F(ImageGenCommandLine, UsageAndInputErrors) {
    EXPECT_EQ(Run(""), 1);
    EXPECT_EQ(Run("--table " + P("table.txt")), 1) << "neither --out nor --contact-sheet";
    EXPECT_EQ(Run("--table " + P("table.txt") + " --out " + P("o") + " --frobnicate 1"), 1);
    EXPECT_EQ(Run("--table " + P("missing.txt") + " --out " + P("o")), 2);
    Write("broken.txt", "sprites\\x 10x10 1/1 rgba no_such_recipe\n");
    EXPECT_EQ(Run("--table " + P("broken.txt") + " --out " + P("o")), 2);
    EXPECT_EQ(Run("--contact-sheet " + P("s.png") + " --table " + P("table.txt") + " --images " + P("nothing")), 2)
        << "the images were never drawn";
}

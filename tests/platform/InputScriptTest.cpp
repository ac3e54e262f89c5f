#include "platform/InputScript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Navigator.h"
#include "platform/Screen.h"
#include "platform/Settings.h"

namespace platform {
namespace {

TInputScript Parse(const std::string& text) {
    return ParseInputScript(std::span<const char>(text.data(), text.size()), "t.script");
}

struct TGoodCase {
    const char* line;
    ScriptAction action;
    int frame, touchType, x, y, touchId, value, errorId;
    const char* text;
};

TEST(InputScript, EachActionDecodesItsFields) {
    const TGoodCase cases[] = {
        {"0 touch down 10 20", ScriptAction::Touch, 0, SCREEN_EVENT_MTOUCH_TOUCH, 10, 20, 0, 0, 0, ""},
        {"5 touch move -3 7 1", ScriptAction::Touch, 5, SCREEN_EVENT_MTOUCH_MOVE, -3, 7, 1, 0, 0, ""},
        {"6 touch up 1279 767", ScriptAction::Touch, 6, SCREEN_EVENT_MTOUCH_RELEASE, 1279, 767, 0, 0, 0, ""},
        {"9 nav exit", ScriptAction::NavExit, 9, 0, 0, 0, 0, 0, 0, ""},
        {"9 nav swipe", ScriptAction::NavSwipe, 9, 0, 0, 0, 0, 0, 0, ""},
        {"2 nav window thumbnail", ScriptAction::NavWindow, 2, 0, 0, 0, 0, NAVIGATOR_WINDOW_THUMBNAIL, 0, ""},
        {"2 nav window invisible", ScriptAction::NavWindow, 2, 0, 0, 0, 0, NAVIGATOR_WINDOW_INVISIBLE, 0, ""},
        {"3 nav window full", ScriptAction::NavWindow, 3, 0, 0, 0, 0, NAVIGATOR_WINDOW_FULLSCREEN, 0, ""},
        {"4 nav orientation 270", ScriptAction::NavOrientation, 4, 0, 0, 0, 0, 270, 0, ""},
        {"1 pay next accept", ScriptAction::PayNext, 1, 0, 0, 0, 0, static_cast<int>(PayOutcome::Accept), 0, ""},
        {"1 pay next cancel", ScriptAction::PayNext, 1, 0, 0, 0, 0, static_cast<int>(PayOutcome::Cancel), 0, ""},
        {"1 pay next fail 3 Server  is down", ScriptAction::PayNext, 1, 0, 0, 0, 0, static_cast<int>(PayOutcome::Fail),
         3, "Server is down"},
        {"7 dump shot.png", ScriptAction::Dump, 7, 0, 0, 0, 0, 0, 0, "shot.png"},
        {"\t8   dump  a.png  ", ScriptAction::Dump, 8, 0, 0, 0, 0, 0, 0, "a.png"},
    };
    for (const TGoodCase& c : cases) {
        SCOPED_TRACE(c.line);
        const TInputScript script = Parse(c.line);
        ASSERT_TRUE(script.ok) << script.error;
        ASSERT_EQ(script.lines.size(), 1u);
        const TScriptLine& l = script.lines[0];
        EXPECT_EQ(l.action, c.action);
        EXPECT_EQ(l.frame, c.frame);
        if (c.action == ScriptAction::Touch) {
            EXPECT_EQ(l.touchType, c.touchType);
            EXPECT_EQ(l.x, c.x);
            EXPECT_EQ(l.y, c.y);
            EXPECT_EQ(l.touchId, c.touchId);
        }
        EXPECT_EQ(l.value, c.value);
        EXPECT_EQ(l.errorId, c.errorId);
        EXPECT_EQ(l.text, c.text);
    }
}

struct TBadCase {
    const char* text;
    const char* where;  // "name:line:" expected in the error
    const char* why;    // part of the reason
};

TEST(InputScript, AnyBadLineRejectsTheWholeScriptWithItsLineNumber) {
    const TBadCase cases[] = {
        {"0 nav exit\nx touch down 1 2\n", "t.script:2:", "frame"},
        {"-1 nav exit\n", "t.script:1:", "frame"},
        {"0\n", "t.script:1:", "action"},
        {"0 jump\n", "t.script:1:", "unknown action"},
        {"0 touch press 1 2\n", "t.script:1:", "down, move or up"},
        {"0 touch down 1\n", "t.script:1:", "touch needs"},
        {"0 touch down 1 2 3 4\n", "t.script:1:", "touch needs"},
        {"0 touch down 1 y\n", "t.script:1:", "two whole numbers"},
        {"0 touch down 1 2 10\n", "t.script:1:", "touch id"},
        {"0 touch down 99999999999 2\n", "t.script:1:", "two whole numbers"},
        {"0 nav window sideways\n", "t.script:1:", "full, thumbnail or invisible"},
        {"0 nav orientation\n", "t.script:1:", "nav needs"},
        {"0 nav exit now\n", "t.script:1:", "nav needs"},
        {"0 pay later accept\n", "t.script:1:", "pay needs"},
        {"0 pay next fail\n", "t.script:1:", "pay next needs"},
        {"0 pay next fail x\n", "t.script:1:", "error id"},
        {"0 dump\n", "t.script:1:", "dump needs"},
    };
    for (const TBadCase& c : cases) {
        SCOPED_TRACE(c.text);
        const TInputScript script = Parse(c.text);
        EXPECT_FALSE(script.ok);
        EXPECT_TRUE(script.lines.empty());
        EXPECT_NE(script.error.find(c.where), std::string::npos) << script.error;
        EXPECT_NE(script.error.find(c.why), std::string::npos) << script.error;
    }
}

TEST(InputScript, NulByteInsideALineIsRejected) {
    const std::string text("0 nav exit\n0 dump a\0b\n", 22);
    const TInputScript script = Parse(text);
    EXPECT_FALSE(script.ok);
    EXPECT_NE(script.error.find("t.script:2: a NUL byte"), std::string::npos) << script.error;
}

TEST(InputScript, SkipsCommentsBlanksAndCarriageReturnsAndSortsStablyByFrame) {
    const TInputScript script =
        Parse("# a comment\r\n\r\n5 nav swipe\r\n   \n2 touch down 1 1\n5 nav exit\n0 dump first.png");
    ASSERT_TRUE(script.ok) << script.error;
    ASSERT_EQ(script.lines.size(), 4u);
    EXPECT_EQ(script.lines[0].action, ScriptAction::Dump);
    EXPECT_EQ(script.lines[0].text, "first.png");
    EXPECT_EQ(script.lines[1].action, ScriptAction::Touch);
    // Two lines of frame 5 keep their file order: swipe before exit.
    EXPECT_EQ(script.lines[2].action, ScriptAction::NavSwipe);
    EXPECT_EQ(script.lines[3].action, ScriptAction::NavExit);
}

TEST(InputScript, MissingFileFailsWithItsName) {
    const TInputScript script = LoadInputScript("/nonexistent/dir/input.script");
    EXPECT_FALSE(script.ok);
    EXPECT_NE(script.error.find("/nonexistent/dir/input.script"), std::string::npos);
}

TEST(InputScript, LoadsFromAFile) {
    const std::string path = std::string(COBBLE_BINARY_DIR) + "/input_script_test.script";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("3 nav orientation 90\n", f);
    std::fclose(f);
    const TInputScript script = LoadInputScript(path);
    std::remove(path.c_str());
    ASSERT_TRUE(script.ok) << script.error;
    ASSERT_EQ(script.lines.size(), 1u);
    EXPECT_EQ(script.lines[0].value, 90);
}

}  // namespace
}  // namespace platform

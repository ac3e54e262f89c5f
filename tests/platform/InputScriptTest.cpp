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
        {"1 pay next fail -2", ScriptAction::PayNext, 1, 0, 0, 0, 0, static_cast<int>(PayOutcome::Fail), -2, ""},
        {"3 key back", ScriptAction::Key, 3, 0, 0, 0, 0, KEYCODE_BACK, 0, ""},
        // Typed keys: letters of either case and the blank as their characters.
        {"3 key backspace", ScriptAction::Key, 3, 0, 0, 0, 0, KEYCODE_BACKSPACE, 0, ""},
        {"3 key return", ScriptAction::Key, 3, 0, 0, 0, 0, KEYCODE_RETURN, 0, ""},
        {"3 key space", ScriptAction::Key, 3, 0, 0, 0, 0, ' ', 0, ""},
        {"3 key a", ScriptAction::Key, 3, 0, 0, 0, 0, 'a', 0, ""},
        {"3 key z", ScriptAction::Key, 3, 0, 0, 0, 0, 'z', 0, ""},
        {"3 key A", ScriptAction::Key, 3, 0, 0, 0, 0, 'A', 0, ""},
        {"3 key Z", ScriptAction::Key, 3, 0, 0, 0, 0, 'Z', 0, ""},
        {"7 dump shot.png", ScriptAction::Dump, 7, 0, 0, 0, 0, 0, 0, "shot.png"},
        {"7 dump runs/a..b/shot.png", ScriptAction::Dump, 7, 0, 0, 0, 0, 0, 0, "runs/a..b/shot.png"},
        {"\t8   dump  a.png  ", ScriptAction::Dump, 8, 0, 0, 0, 0, 0, 0, "a.png"},
        // TAB separates words as a blank does, alone or mixed with blanks.
        {"4\ttouch\tup\t7\t9\t2", ScriptAction::Touch, 4, SCREEN_EVENT_MTOUCH_RELEASE, 7, 9, 2, 0, 0, ""},
        {"4 \t pay\tnext fail 5\tno\tnet", ScriptAction::PayNext, 4, 0, 0, 0, 0, static_cast<int>(PayOutcome::Fail), 5,
         "no net"},
        // The coordinate limits themselves are allowed.
        {"0 touch move -1000000 1000000", ScriptAction::Touch, 0, SCREEN_EVENT_MTOUCH_MOVE, -1000000, 1000000, 0, 0, 0,
         ""},
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
        {"0 key\n", "t.script:1:", "key needs back"},
        {"0 key escape\n", "t.script:1:", "key needs back"},
        {"0 key back twice\n", "t.script:1:", "key needs back"},
        {"0 key ab\n", "t.script:1:", "one letter"},
        {"0 key 1\n", "t.script:1:", "one letter"},
        {"0 key @\n", "t.script:1:", "one letter"},
        {"0 key [\n", "t.script:1:", "one letter"},
        {"0 key {\n", "t.script:1:", "one letter"},
        // A comment cuts the line short: what stands before it must be a whole line.
        {"0 touch down 5 # 6\n", "t.script:1:", "touch needs"},
        {"0 touch down 1000001 0\n", "t.script:1:", "two whole numbers"},
        {"0 touch down 0 -1000001\n", "t.script:1:", "two whole numbers"},
        {"0 touch\tdown 1 2\v\n", "t.script:1:", "two whole numbers"},
        {"0 dump /tmp/shot.png\n", "t.script:1:", "inside the dump folder"},
        {"0 dump ../shot.png\n", "t.script:1:", "inside the dump folder"},
        {"0 dump shots/../../shot.png\n", "t.script:1:", "inside the dump folder"},
        {"0 dump shots/..\n", "t.script:1:", "inside the dump folder"},
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

TEST(InputScript, ACommentRunsFromItsHashToTheEndOfTheLine) {
    const TInputScript script = Parse(
        "10 touch down 5 6   # the Play button\n"
        "12 touch up 5 6#no blank before it\n"
        "   # an indented comment\n"
        "14 key back\t# leave the dialog\n"
        "16 dump menu.png # a name is the word before the comment\n");
    ASSERT_TRUE(script.ok) << script.error;
    ASSERT_EQ(script.lines.size(), 4u);
    EXPECT_EQ(script.lines[0].touchType, SCREEN_EVENT_MTOUCH_TOUCH);
    EXPECT_EQ(script.lines[0].y, 6);
    EXPECT_EQ(script.lines[0].touchId, 0) << "the comment gives no touch id";
    EXPECT_EQ(script.lines[1].touchType, SCREEN_EVENT_MTOUCH_RELEASE);
    EXPECT_EQ(script.lines[1].y, 6);
    EXPECT_EQ(script.lines[2].action, ScriptAction::Key);
    EXPECT_EQ(script.lines[2].frame, 14);
    EXPECT_EQ(script.lines[3].text, "menu.png");
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

struct TUnreadableCase {
    const char* path;
    const char* why;
};

TEST(InputScript, UnreadableOrEndlessSourcesFailWithTheNameAndTheReason) {
    const TUnreadableCase cases[] = {
        {"/", "cannot read the input script: Is a directory"},
        {"/dev/zero", "larger than 1048576 bytes"},
        {"/nonexistent/dir/input.script", "cannot open the input script: No such file or directory"},
    };
    for (const TUnreadableCase& c : cases) {
        SCOPED_TRACE(c.path);
        const TInputScript script = LoadInputScript(c.path);
        EXPECT_FALSE(script.ok);
        EXPECT_EQ(script.error.rfind(std::string(c.path) + ": ", 0), 0u) << script.error;
        EXPECT_NE(script.error.find(c.why), std::string::npos) << script.error;
    }
}

TEST(InputScript, ScriptOfExactlyTheCapIsReadAndOneByteMoreIsNot) {
    const std::string path = std::string(COBBLE_BINARY_DIR) + "/input_script_cap.script";
    // Comment lines fill the file up to the size wanted; the last line is a real action.
    const std::string action = "0 nav exit\n";
    std::string text(kMaxInputScriptBytes - action.size(), 'x');
    text[0] = '#';
    text.back() = '\n';
    text += action;
    ASSERT_EQ(text.size(), kMaxInputScriptBytes);
    for (const std::size_t extra : {std::size_t{0}, std::size_t{1}}) {
        SCOPED_TRACE(extra);
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        if (extra) std::fputc('\n', f);
        std::fclose(f);
        const TInputScript script = LoadInputScript(path);
        EXPECT_EQ(script.ok, extra == 0) << script.error;
        if (extra == 0) {
            EXPECT_EQ(script.lines.size(), 1u);
        }
    }
    std::remove(path.c_str());
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

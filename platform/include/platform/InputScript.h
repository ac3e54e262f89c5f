// The headless input script: one event per line, "<frame> <what> ...", run when that many
// frames have been presented (frame 0 = before the first frame). Lines:
//   <frame> touch down|move|up <x> <y> [<touch id>]
//   <frame> nav exit | nav swipe | nav window full|thumbnail|invisible | nav orientation <angle>
//   <frame> pay next accept | pay next cancel | pay next fail <error id> [<text>...]
//   <frame> key back               (the back key: Esc in the window)
//   <frame> key backspace|return|space|<letter>   (a typed key; a letter a..z or A..Z)
//   <frame> dump <file.png>        (relative to the dump folder; "/" first or ".." is refused)
// '#' starts a comment that runs to the end of the line; blank lines are skipped.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class ScriptAction { Touch, NavExit, NavSwipe, NavWindow, NavOrientation, PayNext, Key, Dump };

struct TScriptLine {
    int frame = 0;
    ScriptAction action = ScriptAction::NavExit;
    int touchType = 0;  // Touch: SCREEN_EVENT_MTOUCH_TOUCH / _MOVE / _RELEASE
    int x = 0, y = 0;
    int touchId = 0;
    int value = 0;     // NavWindow: window state; NavOrientation: angle; PayNext: outcome; Key: key code
    int errorId = 0;   // PayNext fail
    std::string text;  // Dump: file name; PayNext fail: error text
};

// A line for a navigator or payment action that carries at most one value.
inline TScriptLine MakeScriptLine(ScriptAction action, int value = 0) {
    TScriptLine line;
    line.action = action;
    line.value = value;
    return line;
}

struct TInputScript {
    bool ok = false;
    std::vector<TScriptLine> lines;  // in frame order (stable for equal frames)
    std::string error;               // "name:line: why" when !ok
};

// Decodes a script. Any malformed line fails the whole script (nothing is half-run).
[[nodiscard]] TInputScript ParseInputScript(std::span<const char> bytes, std::string_view nameForLog);

// The largest script read: about fifty thousand lines, far beyond any hand-written run, and
// small enough that an endless source (a device, a runaway generator) fails fast.
inline constexpr std::size_t kMaxInputScriptBytes = 1 << 20;

// Reads the file and decodes it. A file that cannot be opened or read, or that is larger than
// kMaxInputScriptBytes, fails with "path: why" in the error.
[[nodiscard]] TInputScript LoadInputScript(const std::string& path);

}  // namespace platform

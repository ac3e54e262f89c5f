#include "platform/InputScript.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "WholeNumber.h"
#include "platform/Navigator.h"
#include "platform/Screen.h"
#include "platform/Settings.h"

namespace platform {
namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A script word is a number of at most 11 characters ("-2147483648").
bool ParseInt(std::string_view text, long lo, long hi, int& out) { return ParseWholeNumber(text, 11, lo, hi, out); }

constexpr long kMaxCoord = 1000000;

// A relative name none of whose parts climbs out: the dump folder is the only place a script
// may write to.
bool StaysInsideFolder(std::string_view name) {
    if (name.empty() || name.front() == '/') return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t slash = std::min(name.find('/', start), name.size());
        if (name.substr(start, slash - start) == "..") return false;
        start = slash + 1;
    }
    return true;
}

// Fills line from the words after the frame number; returns the reason on failure.
const char* ParseAction(const std::vector<std::string_view>& w, TScriptLine& line) {
    const std::string_view what = w[1];
    const std::size_t n = w.size();
    if (what == "touch") {
        if (n != 5 && n != 6) return "touch needs down|move|up, x, y and an optional touch id";
        if (w[2] == "down")
            line.touchType = SCREEN_EVENT_MTOUCH_TOUCH;
        else if (w[2] == "move")
            line.touchType = SCREEN_EVENT_MTOUCH_MOVE;
        else if (w[2] == "up")
            line.touchType = SCREEN_EVENT_MTOUCH_RELEASE;
        else
            return "touch kind must be down, move or up";
        if (!ParseInt(w[3], -kMaxCoord, kMaxCoord, line.x) || !ParseInt(w[4], -kMaxCoord, kMaxCoord, line.y))
            return "touch position must be two whole numbers";
        if (n == 6 && !ParseInt(w[5], 0, 9, line.touchId)) return "touch id must be 0 to 9";
        line.action = ScriptAction::Touch;
        return nullptr;
    }
    if (what == "nav") {
        if (n < 3) return "nav needs exit, swipe, window or orientation";
        if (w[2] == "exit" && n == 3) {
            line.action = ScriptAction::NavExit;
            return nullptr;
        }
        if (w[2] == "swipe" && n == 3) {
            line.action = ScriptAction::NavSwipe;
            return nullptr;
        }
        if (w[2] == "window" && n == 4) {
            line.action = ScriptAction::NavWindow;
            if (w[3] == "full")
                line.value = NAVIGATOR_WINDOW_FULLSCREEN;
            else if (w[3] == "thumbnail")
                line.value = NAVIGATOR_WINDOW_THUMBNAIL;
            else if (w[3] == "invisible")
                line.value = NAVIGATOR_WINDOW_INVISIBLE;
            else
                return "window state must be full, thumbnail or invisible";
            return nullptr;
        }
        if (w[2] == "orientation" && n == 4) {
            line.action = ScriptAction::NavOrientation;
            if (!ParseInt(w[3], -3600, 3600, line.value)) return "orientation needs an angle";
            return nullptr;
        }
        return "nav needs exit, swipe, window <state> or orientation <angle>";
    }
    if (what == "pay") {
        if (n < 4 || w[2] != "next") return "pay needs next accept|cancel|fail";
        line.action = ScriptAction::PayNext;
        if (w[3] == "accept" && n == 4) {
            line.value = static_cast<int>(PayOutcome::Accept);
            return nullptr;
        }
        if (w[3] == "cancel" && n == 4) {
            line.value = static_cast<int>(PayOutcome::Cancel);
            return nullptr;
        }
        if (w[3] == "fail" && n >= 5) {
            line.value = static_cast<int>(PayOutcome::Fail);
            if (!ParseInt(w[4], -1000000, 1000000, line.errorId)) return "pay fail needs an error id";
            for (std::size_t i = 5; i < n; ++i) {
                if (i > 5) line.text += ' ';
                line.text += w[i];
            }
            return nullptr;
        }
        return "pay next needs accept, cancel or fail <error id> [text]";
    }
    if (what == "key") {
        if (n != 3) return "key needs back, backspace, return, space or one letter";
        line.action = ScriptAction::Key;
        const std::string_view key = w[2];
        if (key == "back") {
            line.value = KEYCODE_BACK;
        } else if (key == "backspace") {
            line.value = KEYCODE_BACKSPACE;
        } else if (key == "return") {
            line.value = KEYCODE_RETURN;
        } else if (key == "space") {
            line.value = ' ';
        } else if (key.size() == 1 && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= 'A' && key[0] <= 'Z'))) {
            line.value = key[0];
        } else {
            return "key needs back, backspace, return, space or one letter";
        }
        return nullptr;
    }
    if (what == "dump") {
        if (n != 3) return "dump needs one file name";
        if (!StaysInsideFolder(w[2])) return "dump name must stay inside the dump folder (no '/' first, no '..')";
        line.action = ScriptAction::Dump;
        line.text = std::string(w[2]);
        return nullptr;
    }
    return "unknown action (touch, nav, pay, key or dump)";
}

}  // namespace

TInputScript ParseInputScript(std::span<const char> bytes, std::string_view nameForLog) {
    TInputScript out;
    const std::string_view all(bytes.data(), bytes.size());
    std::size_t pos = 0;
    int lineNo = 0;
    while (pos < all.size()) {
        std::size_t end = all.find('\n', pos);
        if (end == std::string_view::npos) end = all.size();
        std::string_view text = all.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.find('\0') != std::string_view::npos) {
            out.error = std::string(nameForLog) + ":" + std::to_string(lineNo) + ": a NUL byte";
            out.lines.clear();
            return out;
        }
        // A comment runs from '#' to the end of the line, wherever it starts.
        if (const std::size_t hash = text.find('#'); hash != std::string_view::npos) text = text.substr(0, hash);
        const std::vector<std::string_view> words = SplitWords(text);
        if (words.empty()) continue;
        TScriptLine line;
        const char* why = nullptr;
        if (words.size() < 2)
            why = "a frame number and an action are needed";
        else if (!ParseInt(words[0], 0, 100000000, line.frame))
            why = "the frame must be a whole number from 0";
        else
            why = ParseAction(words, line);
        if (why) {
            out.error = std::string(nameForLog) + ":" + std::to_string(lineNo) + ": " + why;
            out.lines.clear();
            return out;
        }
        out.lines.push_back(std::move(line));
    }
    std::stable_sort(out.lines.begin(), out.lines.end(),
                     [](const TScriptLine& a, const TScriptLine& b) { return a.frame < b.frame; });
    out.ok = true;
    return out;
}

TInputScript LoadInputScript(const std::string& path) {
    TInputScript out;
    const auto fail = [&](const std::string& why) {
        out.error = path + ": " + why;
        return out;
    };
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return fail(std::string("cannot open the input script: ") + std::strerror(errno));
    // One byte past the cap tells an over-long script (or an endless device) from one that fits.
    std::string bytes;
    char chunk[4096];
    bool readError = false;
    while (bytes.size() <= kMaxInputScriptBytes) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.append(chunk, got);
        if (got < sizeof chunk) {
            readError = std::ferror(file) != 0;
            break;
        }
    }
    const int readErrno = errno;
    std::fclose(file);
    if (readError) return fail(std::string("cannot read the input script: ") + std::strerror(readErrno));
    if (bytes.size() > kMaxInputScriptBytes)
        return fail("the input script is larger than " + std::to_string(kMaxInputScriptBytes) + " bytes");
    return ParseInputScript(std::span<const char>(bytes.data(), bytes.size()), path);
}

}  // namespace platform

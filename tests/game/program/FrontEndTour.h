#pragma once
// A player's first visit, as an input script for the real program on the default 768 x 1280
// display: the intro and the loading, the name entry of the first profile, the options with both
// sliders moved, the players dialog, the statistics, the credits scrolled and left, and the quit
// confirmed. Frames are those of the virtual clock; touches are in display pixels.
//
// The run's screenshots are written to a folder the test names, so they can be looked at.

#include <string>
#include <vector>

namespace tour {

struct TStep {
    int frame;
    std::string line;  // the script line after the frame number
};

// The script: every line with its frame, in order.
inline std::vector<TStep> Steps() {
    std::vector<TStep> s;
    auto tap = [&](int frame, int x, int y) {
        const std::string at = std::to_string(x) + " " + std::to_string(y);
        s.push_back({frame, "touch down " + at});
        s.push_back({frame + 2, "touch up " + at});
    };
    // A drag from (x0, y) to (x1, y), or with x fixed from y0 to y1, over eight frames.
    auto drag = [&](int frame, int x0, int y0, int x1, int y1) {
        s.push_back({frame, "touch down " + std::to_string(x0) + " " + std::to_string(y0)});
        for (int i = 1; i <= 4; ++i) {
            const int x = x0 + (x1 - x0) * i / 4;
            const int y = y0 + (y1 - y0) * i / 4;
            s.push_back({frame + 2 * i, "touch move " + std::to_string(x) + " " + std::to_string(y)});
        }
        s.push_back({frame + 10, "touch up " + std::to_string(x1) + " " + std::to_string(y1)});
    };
    auto dump = [&](int frame, const char* name) { s.push_back({frame, std::string("dump ") + name}); };

    dump(70, "01_intro.png");
    dump(120, "02_loading.png");
    dump(175, "03_name_entry.png");  // no profile yet: the start menu asks for a name at once
    tap(180, 103, 643);              // A
    tap(188, 243, 643);              // d
    tap(196, 103, 643);              // a
    dump(206, "04_name_typed.png");
    tap(210, 384, 936);  // OK
    dump(250, "05_start_menu.png");
    tap(255, 703, 55);  // options
    dump(290, "06_options.png");
    drag(295, 229, 410, 400, 410);  // the music slider to the right
    drag(308, 303, 535, 120, 535);  // the sound slider to the left
    dump(325, "07_sliders_moved.png");
    tap(330, 384, 978);   // OK
    tap(370, 384, 1225);  // "Welcome, Ada! tap to change player"
    dump(405, "08_players.png");
    tap(410, 384, 930);   // OK
    tap(445, 133, 1128);  // Stats
    dump(480, "09_stats.png");
    tap(485, 384, 978);  // Close
    tap(520, 703, 55);   // options
    tap(555, 551, 752);  // Credits
    dump(700, "10_about.png");
    drag(710, 384, 900, 384, 500);  // the credits dragged up
    dump(760, "11_about_scrolled.png");
    tap(765, 384, 1205);  // Close
    tap(820, 60, 55);     // quit
    dump(850, "12_quit_confirmation.png");
    tap(855, 543, 723);              // Yes
    dump(900, "13_after_quit.png");  // never written: the game has ended
    return s;
}

// The script as the program reads it.
inline std::string Script() {
    std::string text = "# a player's first visit, from the intro to the quit confirmation\n";
    for (const TStep& step : Steps()) text += std::to_string(step.frame) + " " + step.line + "\n";
    return text;
}

}  // namespace tour

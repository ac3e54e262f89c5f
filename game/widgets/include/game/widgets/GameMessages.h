// The game's own messages: sent to the game object to switch screens (1017 goes from the
// game object to the current screen when a purchase of boost points went through). Screens, the
// round and the yard post them; the game object answers them. No state; any thread.
#pragma once

enum : int {
    MSG_RUN_START_MENU = 1001,
    MSG_RUN_NEW_GAME = 1002,
    MSG_RUN_LOADER = 1003,
    MSG_RUN_ABOUT = 1004,
    MSG_RUN_TUTORIAL = 1005,
    MSG_RESUME_ARENA = 1006,
    MSG_LANGUAGE_CHANGED = 1007,  // wparam the old language index, lparam the new one
    MSG_RUN_PLAY_SCREEN = 1008,
    MSG_RUN_FARM = 1009,
    MSG_RUN_FARM_SHOP = 1010,  // lparam the shop tab
    MSG_RUN_ACHIEVEMENTS = 1013,
    MSG_RUN_LEADERBOARDS = 1014,   // wparam the message its OK button posts
    MSG_RUN_QUESTS = 1016,         // wparam the first tab, lparam the return message
    MSG_PURCHASES_CHANGED = 1017,  // wparam the catalogue entry's name (XIdParam)
    MSG_RUN_UPGRADES = 1018,
};

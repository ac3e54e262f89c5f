// The program shell: the whole life of the process (start-up, the event loop, shut-down) and
// the handlers that turn platform events into calls on the game object.
//
// Depends on: app (CGameBase), platform (events, screen, navigator, payment, dialog, EGL seam).
// Threads: main thread only. The program that links the shell supplies CreateGameObject and a
// main() that calls RunProgram.
#pragma once

#include "platform/Screen.h"

class CGameBase;
struct bps_event_t;

// Process-wide values of the shell. The game object itself is g_pGame (app/GameBase.h); the
// texture filter that start-up switches to GL_LINEAR is g_prefer_GL_NEAREST (render/GlesGlobals.h).
extern bool g_exit_application;    // set by the navigator's exit event; ends the loop
extern bool g_bGameRunsInPortait;  // decides which orientation angles are accepted
extern float g_PixelScale;         // logical game pixels per physical screen pixel
extern screen_context_t screen_cxt;

// Supplied by the program that links the shell: a new game object, or null when it cannot be
// made. The caller owns it.
CGameBase* CreateGameObject();

// The whole program: start-up, the loop until the navigator's exit (or the game declaring
// itself finished), then shut-down with the game's saves. 0 after that normal end; 1 after a
// failed start-up (whose reason is printed on stderr), and after a run that the failed event
// service or a lost display ended (still through the shut-down with saves). Resets the shell's
// globals first, so tests may run it several times in one process.
int RunProgram();

// Screen touch event to a pointer event (first finger) or a multi-touch pointer event; a
// keyboard event with the back key to handleBackKey, with any other key to handleTypedKey.
void handleScreenEvent(bps_event_t* event);
// The back key (Esc in the window): the game's back-key handler; when that says the key leaves
// the game, the run ends as on the navigator's exit.
void handleBackKey();
// What the program does with a key a keyboard typed: a letter ('a'..'z', 'A'..'Z'), ' ', '\b'
// (Backspace) or '\r' (Return). The game program sets it before RunProgram (the device sends
// no such keys, so the game's own key entry never sees them); RunProgram keeps it. Null: typed
// keys are dropped.
using TypedKeyHandler = void (*)(int character);
void SetTypedKeyHandler(TypedKeyHandler handler);
// A typed key (a letter, the blank, Backspace, Return) to the typed-key handler as the character
// it types; other keys are dropped.
void handleTypedKey(int key);
// Exit, window state, swipe down, orientation check and orientation.
void handleNavigatorEvent(bps_event_t* event);
void onEnterForeground();
void onEnterBackground();

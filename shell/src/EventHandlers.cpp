// The three small handlers that turn touches and navigator events into calls on the game.
#include <cmath>

#include "app/GameBase.h"
#include "audio/SoundSystem.h"
#include "platform/Bps.h"
#include "platform/Navigator.h"
#include "platform/Screen.h"
#include "shell/BbUtil.h"
#include "shell/Program.h"

namespace {

int PointerTypeOf(int screenType) {
    switch (screenType) {
        case SCREEN_EVENT_MTOUCH_TOUCH:
            return XPOINTER_PRESS;
        case SCREEN_EVENT_MTOUCH_MOVE:
            return XPOINTER_MOVE;
        case SCREEN_EVENT_MTOUCH_RELEASE:
            return XPOINTER_RELEASE;
        default:
            return 0;
    }
}

// In portrait only the quarter turns keep the game upright on the device; otherwise the half turns.
bool AcceptsAngle(int angle) {
    if (g_bGameRunsInPortait) return angle == 90 || angle == 270;
    return angle == 0 || angle == 180;
}

}  // namespace

void handleScreenEvent(bps_event_t* event) {
    screen_event_t screenEvent = screen_event_get_event(event);
    int screenType = SCREEN_EVENT_NONE;
    if (screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_TYPE, &screenType) != 0) return;
    if (screenType == SCREEN_EVENT_KEYBOARD) {
        int key = 0;
        if (screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_KEY_SYM, &key) != 0) return;
        if (key == KEYCODE_BACK)
            handleBackKey();
        else
            handleTypedKey(key);
        return;
    }
    const int type = PointerTypeOf(screenType);
    if (type == 0) return;
    int position[2] = {0, 0};
    if (screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_SOURCE_POSITION, position) != 0 || !g_pGame) return;
    // float products truncated toward zero, as the device build computes them
    const int x = static_cast<int>(static_cast<float>(position[0]) * g_PixelScale);
    const int y = static_cast<int>(static_cast<float>(position[1]) * g_PixelScale);
    int touchId = 0;
    if (screen_get_event_property_iv(screenEvent, SCREEN_PROPERTY_TOUCH_ID, &touchId) != 0) touchId = 0;
    if (touchId == 0) {
        g_pGame->NotifyPointerEvent(x, y, type);
    } else {
        g_pGame->NotifyMultiTouchPointerEvent(x, y, type, touchId);
    }
}

void handleBackKey() {
    // The game's back-key table: 1 when it acted, 0 when the back key leaves the game (a second
    // back on the quit question), which ends the run as the navigator's exit does.
    if (g_pGame && g_pGame->OnGraffitiChar(kBackKey) == 0) g_exit_application = true;
}

namespace {
TypedKeyHandler g_typedKeyHandler = nullptr;
}  // namespace

void SetTypedKeyHandler(TypedKeyHandler handler) { g_typedKeyHandler = handler; }

void handleTypedKey(int key) {
    int typed = 0;
    if (key == KEYCODE_BACKSPACE)
        typed = '\b';
    else if (key == KEYCODE_RETURN)
        typed = '\r';
    else if ((key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z') || key == ' ')
        typed = key;
    if (typed != 0 && g_pGame && g_typedKeyHandler) g_typedKeyHandler(typed);
}

void handleNavigatorEvent(bps_event_t* event) {
    switch (bps_event_get_code(event)) {
        case NAVIGATOR_EXIT:
            g_exit_application = true;
            break;
        case NAVIGATOR_WINDOW_STATE:
            switch (navigator_event_get_window_state(event)) {
                case NAVIGATOR_WINDOW_FULLSCREEN:
                    onEnterForeground();
                    break;
                case NAVIGATOR_WINDOW_THUMBNAIL:
                case NAVIGATOR_WINDOW_INVISIBLE:
                    onEnterBackground();
                    break;
                default:
                    break;
            }
            break;
        case NAVIGATOR_SWIPE_DOWN:
            if (g_pGame) g_pGame->Pause();
            break;
        case NAVIGATOR_ORIENTATION_CHECK: {
            const int angle = navigator_event_get_orientation_angle(event);
            navigator_orientation_check_response(event, AcceptsAngle(angle));
            break;
        }
        case NAVIGATOR_ORIENTATION: {
            const int angle = navigator_event_get_orientation_angle(event);
            if (AcceptsAngle(angle)) bbutil_rotate_screen_surface(angle);
            navigator_done_orientation(event);
            break;
        }
        default:
            break;
    }
}

void onEnterForeground() {
    // Only the sound comes back: a paused round waits for the player.
    if (g_pGame && g_pGame->m_pSoundSystem) g_pGame->m_pSoundSystem->SetPaused(false);
}

void onEnterBackground() {
    if (!g_pGame) return;
    g_pGame->Pause();
    if (g_pGame->m_pSoundSystem) g_pGame->m_pSoundSystem->SetPaused(true);
}

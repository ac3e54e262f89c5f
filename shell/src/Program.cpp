// main's life: start-up in a fixed order, the event loop, shut-down.
#include "shell/Program.h"

#include <GLES/gl.h>

#include <algorithm>
#include <cstdio>

#include "app/GameBase.h"
#include "platform/Bps.h"
#include "platform/EglSurface.h"
#include "platform/HeapReuse.h"
#include "platform/Navigator.h"
#include "platform/PaymentService.h"
#include "platform/Settings.h"
#include "render/GlesGlobals.h"
#include "shell/BbUtil.h"
#include "shell/PaymentGlue.h"

bool g_exit_application = false;
bool g_bGameRunsInPortait = false;
float g_PixelScale = 1.0f;
screen_context_t screen_cxt = nullptr;

namespace {

void ResetShellGlobals() {
    g_exit_application = false;
    g_bGameRunsInPortait = false;
    g_PixelScale = 1.0f;
    g_prefer_GL_NEAREST = GL_NEAREST;
    screen_cxt = nullptr;
    g_screen_resolution[0] = g_screen_resolution[1] = 0;
}

constexpr int kExitFailed = 1;

// The start-up failure exit: the window and EGL first, then the screen context. The process
// status says the program did not run, so a script or a service manager can tell.
int FailStartUp() {
    bbutil_terminate();
    screen_destroy_context(screen_cxt);
    screen_cxt = nullptr;
    return kExitFailed;
}

// Runs every pending event; false when the event service itself failed.
bool DrainEvents() {
    for (;;) {
        bps_event_t* event = nullptr;
        if (bps_get_event(&event, 0) != BPS_SUCCESS) {
            std::fprintf(stderr, "main: rc == BPS_SUCCESS failed\n");
            return false;
        }
        if (!event) return true;
        const int domain = bps_event_get_domain(event);
        if (domain == screen_get_domain()) {
            handleScreenEvent(event);
        } else if (domain == navigator_get_domain()) {
            handleNavigatorEvent(event);
        } else if (domain == paymentservice_get_domain()) {
            handlePaymentEvent(event);
        }
    }
}

}  // namespace

int RunProgram() {
    ResetShellGlobals();
    platform::KeepFreedHeapForReuse();

    screen_create_context(&screen_cxt, 0);
    if (bps_initialize() != BPS_SUCCESS) {
        std::fprintf(stderr, "bps_initialize failed\n");
        return FailStartUp();
    }

    if (!g_pGame) g_pGame = CreateGameObject();
    if (!g_pGame) return FailStartUp();
    g_pGame->SetGamePtr(g_pGame);
    // A scripted run repeats exactly, so its seed is fixed; any other run draws from the time.
    if (unsigned int seed = 0; platform::FixedRandomSeed(seed))
        g_pGame->SeedRandoms(seed);
    else
        g_pGame->InitRandoms();
    g_bGameRunsInPortait = g_pGame->m_Screen.m_nOrientationMode == 0;

    if (bbutil_init_egl(screen_cxt) != 0) {
        std::fprintf(stderr, "bbutil_init_egl failed\n");
        return FailStartUp();
    }
    if (screen_request_events(screen_cxt) != 0) {
        std::fprintf(stderr, "screen_request_events failed\n");
        return FailStartUp();
    }
    if (navigator_request_events(0) != NAVIGATOR_SUCCESS) {
        std::fprintf(stderr, "navigator_request_events failed\n");
        return FailStartUp();
    }
    // Unlocked: the navigator asks about every turn and handleNavigatorEvent answers.
    if (navigator_rotation_lock(false) != NAVIGATOR_SUCCESS) {
        std::fprintf(stderr, "navigator_rotation_lock failed\n");
        return FailStartUp();
    }

    const int longSide = std::max(g_screen_resolution[0], g_screen_resolution[1]);
    const int shortSide = std::min(g_screen_resolution[0], g_screen_resolution[1]);
    int gameW = 0, gameH = 0;
    if (!g_pGame->SelectAndroidInGameResolution(g_screen_resolution[0], g_screen_resolution[1], gameW, gameH)) {
        return FailStartUp();
    }
    g_pGame->m_RenderSwitches.m_bDoubleResolution = true;
    if (g_bGameRunsInPortait) {
        g_pGame->m_Screen.m_nDeviceWidth = shortSide;
        g_pGame->m_Screen.m_nDeviceHeight = longSide;
        g_PixelScale = static_cast<float>(gameH) / static_cast<float>(longSide);
    } else {
        g_pGame->m_Screen.m_nDeviceWidth = longSide;
        g_pGame->m_Screen.m_nDeviceHeight = shortSide;
        g_PixelScale = static_cast<float>(gameW) / static_cast<float>(longSide);
    }
    g_prefer_GL_NEAREST = GL_LINEAR;
    g_pGame->m_RenderSwitches.m_bWiden4444Uploads = platform::GlDrawsOnCpu();

    if (!g_pGame->Init(gameW, gameH)) {
        // The game goes before the window: its destructor may still touch GL objects.
        delete g_pGame;
        g_pGame = nullptr;
        return FailStartUp();
    }

    bool failed = false;
    while (!g_exit_application) {
        // A failed event service cannot deliver the exit any more; leaving through the normal
        // shut-down keeps the player's data.
        if (!DrainEvents()) {
            failed = true;
            break;
        }
        if (g_pGame) {
            g_pGame->RunGameCycle();
            // The game declared itself over (e.g. its quit button): leave as on the exit event.
            if (g_pGame->IsFinished()) g_exit_application = true;
        }
    }

    // A display that went away ended the run as an exit would, but not because anyone asked; a
    // game whose loading failed asked to end, but did not run.
    failed = failed || platform::DisplayLost() || (g_pGame != nullptr && g_pGame->HasRunFailed());
    screen_stop_events(screen_cxt);
    delete g_pGame;  // saves the game in progress and the player data
    g_pGame = nullptr;
    bps_shutdown();
    bbutil_terminate();
    screen_destroy_context(screen_cxt);
    screen_cxt = nullptr;
    return failed ? kExitFailed : 0;
}

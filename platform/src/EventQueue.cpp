// bps_*: the event queue, the pump that feeds it from the window, the script, the payment
// answers and the signals, and the per-frame hook.
#include <EGL/egl.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "PlatformState.h"
#include "platform/Bps.h"
#include "platform/EglSurface.h"
#include "platform/FrameDump.h"
#include "platform/Navigator.h"

namespace platform {
namespace {

volatile std::sig_atomic_t g_signalled = 0;
volatile std::sig_atomic_t g_signalCount = 0;  // since the handlers were installed
int g_wakePipe[2] = {-1, -1};
struct sigaction g_oldInt {
}, g_oldTerm{};

void OnSignal(int sig) {
    // The first signal asks for the normal shut-down with its saves. When that hangs (a driver
    // waiting on a display that is gone), a second one must still end the process.
    const bool second = g_signalCount > 0;
    g_signalCount = g_signalCount + 1;
    if (second) {
        static const char kLine[] = "platform: second termination signal; ending at once\n";
        [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        ::sigaction(sig, &dfl, nullptr);
        ::raise(sig);
        return;
    }
    g_signalled = 1;
    if (g_wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(g_wakePipe[1], &byte, 1);
    }
}

void InstallSignalHandlers() {
    if (g_wakePipe[0] < 0 && ::pipe(g_wakePipe) == 0) {
        ::fcntl(g_wakePipe[0], F_SETFL, O_NONBLOCK);
        ::fcntl(g_wakePipe[1], F_SETFL, O_NONBLOCK);
    }
    g_signalCount = 0;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, &g_oldInt);
    ::sigaction(SIGTERM, &sa, &g_oldTerm);
}

void RestoreSignalHandlers() {
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
}

void DrainWakePipe() {
    char buf[64];
    while (g_wakePipe[0] >= 0 && ::read(g_wakePipe[0], buf, sizeof buf) > 0) {}
}

// Moves everything that is due into the queue.
void Pump() {
    TPlatformState& s = State();
    if (g_signalled) {
        g_signalled = 0;
        DrainWakePipe();
        // The program saves on exit as it would on the device.
        ApplyInput(MakeScriptLine(ScriptAction::NavExit));
    }
    if (s.backend) {
        std::vector<TScriptLine> native;
        s.backend->PollInput(native);
        for (const TScriptLine& line : native) ApplyInput(line);
    }
    while (s.scriptNext < s.script.size() && s.script[s.scriptNext].frame <= s.presented) {
        ApplyInput(s.script[s.scriptNext++]);
    }
    for (auto it = s.pending.begin(); it != s.pending.end();) {
        if (it->dueFrame <= s.presented) {
            Enqueue(std::move(it->event));
            it = s.pending.erase(it);
        } else {
            ++it;
        }
    }
}

// Script names were checked to stay inside the folder when the script was read.
std::string DumpPath(const std::string& name) {
    const std::string& dir = State().settings.dumpDir;
    return dir.empty() ? name : dir + "/" + name;
}

}  // namespace

void FramePresenting() {
    TPlatformState& s = State();
    const int frame = s.presented;
    std::vector<std::string> names = std::move(s.pendingDumps);
    s.pendingDumps.clear();
    if (s.settings.dumpEveryFrames > 0 && frame % s.settings.dumpEveryFrames == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.png", frame);
        names.emplace_back(name);
    }
    if (!names.empty()) {
        EGLDisplay display = eglGetCurrentDisplay();
        EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
        // The frame as the game drew it, whatever size and turn the window shows it at.
        EGLint w = 0, h = 0;
        const bool sized = s.window ? (w = s.window->frameSize[0], h = s.window->frameSize[1], true)
                                    : eglQuerySurface(display, surface, EGL_WIDTH, &w) &&
                                          eglQuerySurface(display, surface, EGL_HEIGHT, &h);
        if (display != EGL_NO_DISPLAY && surface != EGL_NO_SURFACE && sized) {
            for (const std::string& name : names) {
                if (DumpGlFramePng(DumpPath(name), w, h)) LogCall("dump " + name);
            }
        } else {
            std::fprintf(stderr, "platform: frame %d: no current surface to dump\n", frame);
        }
    }
    if (s.backend && !s.backend->BeforeSwap() && !s.displayLost) {
        s.displayLost = true;
        std::fprintf(stderr, "platform: the X display went away; ending the run\n");
        ApplyInput(MakeScriptLine(ScriptAction::NavExit));
    }
    s.presented = frame + 1;
    if (s.settings.frameLimit > 0 && s.presented == s.settings.frameLimit) {
        ApplyInput(MakeScriptLine(ScriptAction::NavExit));
    }
}

int PresentedFrameCount() { return State().presented; }

bool DisplayLost() { return State().displayLost; }

int QueuedEventCount() { return static_cast<int>(State().queue.size()); }

}  // namespace platform

using platform::State;

int bps_initialize() {
    platform::LogCall("bps_initialize");
    if (platform::ConsumePlannedFailure("bps_initialize")) return BPS_FAILURE;
    platform::TPlatformState& s = State();
    const std::string& path = s.settings.scriptPath;
    if (!path.empty()) {
        platform::TInputScript script = platform::LoadInputScript(path);
        if (!script.ok) {
            std::fprintf(stderr, "platform: %s\n", script.error.c_str());
            return BPS_FAILURE;
        }
        s.script = std::move(script.lines);
        s.scriptNext = 0;
    }
    platform::InstallSignalHandlers();
    s.bpsReady = true;
    return BPS_SUCCESS;
}

void bps_shutdown() {
    platform::LogCall("bps_shutdown");
    platform::TPlatformState& s = State();
    if (!s.bpsReady) return;
    platform::RestoreSignalHandlers();
    s.queue.clear();
    s.current.reset();
    s.pending.clear();
    s.bpsReady = false;
}

int bps_get_event(bps_event_t** event, int timeoutMs) {
    if (!event) return BPS_FAILURE;
    *event = nullptr;
    platform::TPlatformState& s = State();
    if (!s.bpsReady || platform::ConsumePlannedFailure("bps_get_event")) return BPS_FAILURE;
    s.current.reset();
    platform::Pump();
    if (s.queue.empty() && timeoutMs != 0 && s.backend && s.backend->WaitForInput(timeoutMs, platform::g_wakePipe[0])) {
        platform::Pump();
    }
    if (s.queue.empty()) return BPS_SUCCESS;
    s.current = std::move(s.queue.front());
    s.queue.pop_front();
    *event = s.current.get();
    return BPS_SUCCESS;
}

int bps_event_get_domain(bps_event_t* event) { return event ? event->domain : -1; }

unsigned int bps_event_get_code(bps_event_t* event) { return event ? event->code : 0u; }

bps_event_t* bps_event_copy(const bps_event_t* event) { return event ? new bps_event_t(*event) : nullptr; }

void bps_event_destroy(bps_event_t* event) { delete event; }

void bps_requeue_events(bps_event_t* const* events, int count) {
    auto& queue = State().queue;
    for (int i = count - 1; i >= 0; --i) {
        if (events[i]) queue.emplace_front(events[i]);
    }
}

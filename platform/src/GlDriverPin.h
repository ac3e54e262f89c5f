// Keeps the GL drivers that Mesa has loaded in the process until it ends.
#pragma once

namespace platform {

// Mesa unloads its driver at eglTerminate, and the driver's process-lifetime allocations then
// show up in leak checkers as leaks from an unknown module that no suppression can name. Pinned,
// they keep their library's name (scripts/sanitizer.supp lists it). Cheap after the first call.
void PinLoadedGlDrivers();

}  // namespace platform

// What every PCM back end implements; Pcm.cpp turns the public calls into these after checking
// the order of calls. One file pair per back end: PcmAlsa, PcmNull (PcmPacedQueue), PcmWav.
#pragma once

#include <memory>
#include <string>

#include "platform/Pcm.h"

namespace platform {

class IPcmBackend {
public:
    virtual ~IPcmBackend() = default;
    virtual const char* Name() const = 0;
    virtual TPcmChannelInfo ChannelInfo() = 0;
    // Called once the common checks passed (rate within limits, fragment within limits).
    virtual int Params(const TPcmChannelParams& params) = 0;
    virtual int Prepare() = 0;
    virtual int Status(TPcmChannelStatus* status) = 0;
    virtual int Write(const void* data, int bytes) = 0;
    virtual int Drain() = 0;
};

// Each returns null and sets *error (negative) when the back end cannot open.
std::unique_ptr<IPcmBackend> CreatePcmAlsa(int* error);
std::unique_ptr<IPcmBackend> CreatePcmNull(int* error);
std::unique_ptr<IPcmBackend> CreatePcmWav(const std::string& path, int* error);

}  // namespace platform

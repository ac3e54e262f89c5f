// Music files: mono Ogg Vorbis at kSampleRate, variable bit rate, written with libvorbisenc.
// The stream serial number is fixed and nothing time-dependent goes into the headers, so the
// same samples always give the same bytes. (A program using this must not also link Tremor:
// the two libraries export the same symbol names.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "soundgen/Signal.h"

namespace soundgen {

// Encodes the samples at VBR `quality` (-0.1..1). The decoded stream holds exactly
// samples.size() frames. False with a message when the encoder refuses the settings.
[[nodiscard]] bool EncodeOgg(const Samples& samples, float quality, std::vector<std::uint8_t>& out, std::string& error);

}  // namespace soundgen

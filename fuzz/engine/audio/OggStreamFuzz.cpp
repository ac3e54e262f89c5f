// The Ogg Vorbis stream provider over outside bytes: load (Tremor's open, length, seek and info),
// then play a few fragments looping, so that decoding, rewinding and mixing all see the stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/StreamingProviderOGG.h"
#include "core/MemFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 18)) return 0;
    auto* file = new CMemoryFile;
    void* copy = std::malloc(size ? size : 1);
    if (size) std::memcpy(copy, data, size);
    (void)file->Attach(copy, static_cast<int>(size));
    CStreamingProviderOGG stream(nullptr);  // no host: the output rate without a sound system
    if (!stream.LoadStreamFromFile(file, "fuzz.ogg")) return 0;
    if (stream.GetChannels() < 1 || stream.GetChannels() > 2 || stream.GetSourceRate() <= 0) std::abort();
    stream.SetVolume(191);
    stream.Start(true);
    std::vector<short> mix(2048, 0);
    for (int i = 0; i < 6 && stream.IsPlaying(); ++i) stream.UpdateBufferAdd(mix.data(), static_cast<int>(mix.size()));
    stream.Stop();
    stream.Start(false);
    stream.UpdateBufferAdd(mix.data(), 100);
    return 0;
}

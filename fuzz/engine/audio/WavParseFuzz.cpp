// WAV images from outside: the effect parser (PCM and MS-ADPCM), then the stream reader over
// the same bytes, mixing a few fragments so every sample read is checked against the image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/SoundFX.h"
#include "audio/StreamingProviderWAV.h"
#include "core/MemFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        SoundFX fx;
        if (fx.load(data, size) && fx.data() && fx.length() > 0) {
            // Touch the last sample frame the mixer could read.
            const std::size_t bytes = static_cast<std::size_t>(fx.length()) * fx.channels() * (fx.is8Bit() ? 1 : 2);
            volatile std::uint8_t last = fx.data()[bytes - 1];
            (void)last;
        }
    }
    if (size > (1u << 20)) return 0;
    auto* file = new CMemoryFile;
    void* copy = std::malloc(size ? size : 1);
    if (size) std::memcpy(copy, data, size);
    file->Attach(copy, static_cast<int>(size));
    CStreamingProviderWAV stream(nullptr);
    if (stream.LoadStreamFromFile(file, "fuzz.wav")) {
        stream.SetVolume(191);
        stream.Start(true);
        std::vector<short> mix(1024, 0);
        for (int i = 0; i < 4 && stream.IsPlaying(); ++i)
            stream.UpdateBufferAdd(mix.data(), static_cast<int>(mix.size()));
    }
    CStreamingProviderWAV::FreeSharedReadBlock();
    return 0;
}

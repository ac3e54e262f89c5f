// Effect loads: a WAV file image parsed in place, or a whole mono Ogg Vorbis file decoded into
// a WAV image of its own. Either way the slot's memory file ends up owning the bytes.
#include <tremor/ivorbisfile.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "OggFileCallbacks.h"
#include "audio/SoundFX.h"
#include "audio/SoundHost.h"
#include "audio/iPhoneSoundSystem.h"
#include "core/File.h"
#include "core/MemFile.h"

namespace {

constexpr int kWavHeaderBytes = 44;
constexpr int kMaxFruitlessReads = 64;

void PutLe16(std::uint8_t* at, unsigned v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutLe32(std::uint8_t* at, std::uint32_t v) {
    PutLe16(at, v & 0xFFFF);
    PutLe16(at + 2, v >> 16);
}

void DeleteFile(CMemoryFile* file) {
    if (!file) return;
    file->Close();
    delete file;
}

}  // namespace

int CiPhoneSoundSystem::FirstFreeEffectSlot() const {
    for (int i = 0; i < audio_config::kEffectSlots; ++i)
        if (!m_effects[i]) return i;
    return -1;
}

CMemoryFile* CiPhoneSoundSystem::OpenEffectFile(int slot, const char* fileName) {
    DropEffectFile(slot);
    CMemoryFile* file = m_pGame->CreateMemoryFileObject();
    if (!file) return nullptr;
    if (!file->Open(m_pGame, fileName, FileMode::Read)) {
        DeleteFile(file);
        return nullptr;
    }
    return file;
}

int CiPhoneSoundSystem::AdoptEffectImage(int slot, CMemoryFile* file, void* image, int size) {
    auto* sfx = new (std::nothrow) SoundFX;
    if (!sfx || !sfx->load(image, static_cast<std::size_t>(size))) {
        delete sfx;
        std::free(image);
        DeleteFile(file);
        return -1;
    }
    // The memory file now owns the image the effect plays from.
    file->Close();
    file->Attach(image, size);
    m_effects[slot] = sfx;
    m_effectFiles[slot] = file;
    return slot;
}

int CiPhoneSoundSystem::LoadWAV(const char* fileName) {
    const int slot = FirstFreeEffectSlot();
    if (slot < 0 || !fileName || !m_pGame) return -1;
    CMemoryFile* file = OpenEffectFile(slot, fileName);
    if (!file) return -1;
    const int size = file->GetSize();
    void* image = size > 0 ? std::malloc(static_cast<std::size_t>(size)) : nullptr;
    if (!image || file->Seek(0, FileSeek::Start) != 1 || file->ReadData(image, size) != size) {
        std::free(image);
        DeleteFile(file);
        return -1;
    }
    return AdoptEffectImage(slot, file, image, size);
}

int CiPhoneSoundSystem::LoadOGG(const char* fileName) {
    const int slot = FirstFreeEffectSlot();
    if (slot < 0 || !fileName || !m_pGame) return -1;
    CMemoryFile* file = OpenEffectFile(slot, fileName);
    if (!file) return -1;
    OggVorbis_File vf;
    if (ov_open_callbacks(file, &vf, nullptr, 0, OggFileCallbacks()) < 0) {
        DeleteFile(file);
        return -1;
    }
    const ogg_int64_t total = ov_pcm_total(&vf, -1);
    vorbis_info* info = total > 0 && ov_raw_seek(&vf, 0) == 0 ? ov_info(&vf, -1) : nullptr;
    const long long pcmBytes = 2LL * total;
    if (!info || info->rate <= 0 || pcmBytes > audio_config::kMaxDecodedBytes) {
        ov_clear(&vf);
        DeleteFile(file);
        return -1;
    }
    // ov_info points into the decoder, which ov_clear frees: keep the rate.
    const long rate = info->rate;
    const int imageBytes = kWavHeaderBytes + static_cast<int>(pcmBytes);
    auto* image = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(imageBytes), 1));
    if (!image) {
        ov_clear(&vf);
        DeleteFile(file);
        return -1;
    }
    // Decode exactly 2 x total bytes: a file that yields more (stereo) or less fails.
    long long got = 0;
    bool overflow = false;
    int fruitless = 0;
    while (true) {
        const long long room = pcmBytes - got;
        char spare[4096];
        char* to = room > 0 ? reinterpret_cast<char*>(image + kWavHeaderBytes + got) : spare;
        const int length = room > 0 ? static_cast<int>(room < 4096 ? room : 4096) : 4096;
        int bitstream = 0;
        const long n = ov_read(&vf, to, length, &bitstream);
        if (n == 0) break;
        if (n < 0) {
            if (++fruitless >= kMaxFruitlessReads) break;
            continue;
        }
        fruitless = 0;
        if (room <= 0) {
            overflow = true;
            break;
        }
        got += n;
    }
    ov_clear(&vf);
    if (overflow || got != pcmBytes) {
        std::free(image);
        DeleteFile(file);
        return -1;
    }
    std::memcpy(image, "RIFF", 4);
    PutLe32(image + 4, static_cast<std::uint32_t>(imageBytes - 8));
    std::memcpy(image + 8, "WAVEfmt ", 8);
    PutLe32(image + 16, 16);
    PutLe16(image + 20, 1);
    PutLe16(image + 22, 1);
    PutLe32(image + 24, static_cast<std::uint32_t>(rate));
    PutLe32(image + 28, static_cast<std::uint32_t>(rate * 2));
    PutLe16(image + 32, 2);
    PutLe16(image + 34, 16);
    std::memcpy(image + 36, "data", 4);
    PutLe32(image + 40, static_cast<std::uint32_t>(pcmBytes));
    return AdoptEffectImage(slot, file, image, imageBytes);
}

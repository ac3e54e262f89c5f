#include "AudioTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace audio_test {

void PutLe16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutLe32(Bytes& b, std::uint32_t v) {
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}
void PutTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(tag[i]));
}

Bytes Chunk(const char* tag, const Bytes& payload) {
    Bytes b;
    PutTag(b, tag);
    PutLe32(b, static_cast<std::uint32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

Bytes Samples16(const std::vector<std::int16_t>& samples) {
    Bytes b;
    for (std::int16_t s : samples) PutLe16(b, static_cast<std::uint16_t>(s));
    return b;
}

Bytes BuildWav(const TWavSpec& spec) {
    Bytes fmt;
    PutLe16(fmt, static_cast<unsigned>(spec.formatTag));
    PutLe16(fmt, static_cast<unsigned>(spec.channels));
    PutLe32(fmt, static_cast<std::uint32_t>(spec.rate));
    const int align = spec.blockAlign ? spec.blockAlign : spec.channels * spec.bits / 8;
    PutLe32(fmt, static_cast<std::uint32_t>(spec.rate * (align > 0 ? align : 1)));
    PutLe16(fmt, static_cast<unsigned>(align));
    PutLe16(fmt, static_cast<unsigned>(spec.bits));
    fmt.insert(fmt.end(), spec.fmtExtra.begin(), spec.fmtExtra.end());

    Bytes body;
    PutTag(body, "WAVE");
    const Bytes fmtChunk = Chunk("fmt ", fmt);
    body.insert(body.end(), fmtChunk.begin(), fmtChunk.end());
    body.insert(body.end(), spec.between.begin(), spec.between.end());
    PutTag(body, "data");
    PutLe32(body, static_cast<std::uint32_t>(spec.dataSizeField < 0 ? spec.data.size() : spec.dataSizeField));
    body.insert(body.end(), spec.data.begin(), spec.data.end());
    body.insert(body.end(), spec.after.begin(), spec.after.end());

    Bytes out;
    PutTag(out, "RIFF");
    PutLe32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

namespace {

// One directory per test process: CTest runs test cases as parallel processes, and several
// of them write files of the same name. Removed when the process ends.
class CTempDir {
public:
    CTempDir()
        : m_path(std::filesystem::path(COBBLE_BINARY_DIR) / "audio_test_files" /
                 ("p" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(m_path);
    }
    ~CTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

const std::filesystem::path& TempDir() {
    static CTempDir dir;
    return dir.Path();
}

}  // namespace

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    const auto path = TempDir() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

Bytes EncodeOggSine(int rate, int channels, int frames, double hz, double amplitude) {
    // The encoder runs in a process of its own: libvorbis and Tremor export the same symbol
    // names, so one process cannot hold both.
    const std::string path = WriteTempFile(
        "sine_" + std::to_string(rate) + "_" + std::to_string(channels) + "_" + std::to_string(frames) + ".ogg", {});
    const std::string command = std::string(OGG_FIXTURE_TOOL) + " " + std::to_string(rate) + " " +
                                std::to_string(channels) + " " + std::to_string(frames) + " " + std::to_string(hz) +
                                " " + std::to_string(amplitude) + " " + path;
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

CTestGame::CTestGame() {
    m_Paks.m_bPakMode = false;
    m_SoundsDir.clear();
}

int CRecordingSoundSystem::LoadWAV(const char* name) {
    calls.push_back(std::string("LoadWAV ") + name);
    return failLoads ? -1 : nextId++;
}
int CRecordingSoundSystem::PlaySFX(int id, bool loop) {
    calls.push_back("PlaySFX " + std::to_string(id) + " " + std::to_string(loop));
    return playResult;
}
void CRecordingSoundSystem::StopSFX(int id, int channel) {
    calls.push_back("StopSFX " + std::to_string(id) + " " + std::to_string(channel));
}
void CRecordingSoundSystem::UnloadWAV(int id) { calls.push_back("UnloadWAV " + std::to_string(id)); }
int CRecordingSoundSystem::PlayStream(int id, bool asSound, bool loop) {
    calls.push_back("PlayStream " + std::to_string(id) + " " + std::to_string(asSound) + " " + std::to_string(loop));
    return 0;
}
int CRecordingSoundSystem::StopStream(int id) {
    calls.push_back("StopStream " + std::to_string(id));
    return id < 0 ? -1 : 0;
}
int CRecordingSoundSystem::StopStreamWithFadeOut(int id, FIXED_FLOAT seconds) {
    calls.push_back("StopStreamWithFadeOut " + std::to_string(id) + " " + std::to_string(seconds));
    return id < 0 ? -1 : 0;
}
int CRecordingSoundSystem::PlayStreamWithFadeIn(int id, bool asSound, bool loop, FIXED_FLOAT seconds) {
    calls.push_back("PlayStreamWithFadeIn " + std::to_string(id) + " " + std::to_string(asSound) + " " +
                    std::to_string(loop) + " " + std::to_string(seconds));
    return 0;
}

}  // namespace audio_test

#include "soundgen/OggEncoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

#include "soundgen/Dsp.h"

namespace soundgen {

namespace {

constexpr int kStreamSerial = 0x436F6262;  // fixed, for byte-identical builds
constexpr int kChunkFrames = 1024;

void AppendPage(std::vector<std::uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// The encoder's state, set up and torn down in one place.
struct TVorbisEncoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool ready = false;

    TVorbisEncoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~TVorbisEncoder() {
        if (ready) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    TVorbisEncoder(const TVorbisEncoder&) = delete;
    TVorbisEncoder& operator=(const TVorbisEncoder&) = delete;

    bool Start(float quality) {
        if (vorbis_encode_init_vbr(&info, 1, kSampleRate, quality) != 0) return false;
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, kStreamSerial);
        ready = true;
        return true;
    }

    // Moves every finished packet into pages on `out`.
    void Drain(std::vector<std::uint8_t>& out) {
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) AppendPage(out, page);
            }
        }
    }
};

}  // namespace

bool EncodeOgg(const Samples& samples, float quality, std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    TVorbisEncoder enc;
    if (!enc.Start(quality)) {
        error = "the Vorbis encoder refuses quality " + std::to_string(quality);
        return false;
    }
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &comments, &codebooks);
    ogg_stream_packetin(&enc.stream, &header);
    ogg_stream_packetin(&enc.stream, &comments);
    ogg_stream_packetin(&enc.stream, &codebooks);
    ogg_page page;
    // The audio starts on a page of its own, as decoders expect.
    while (ogg_stream_flush(&enc.stream, &page)) AppendPage(out, page);

    for (std::size_t done = 0; done < samples.size();) {
        const int n = static_cast<int>(std::min<std::size_t>(kChunkFrames, samples.size() - done));
        float** buffer = vorbis_analysis_buffer(&enc.dsp, n);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(done), n, buffer[0]);
        vorbis_analysis_wrote(&enc.dsp, n);
        done += static_cast<std::size_t>(n);
        enc.Drain(out);
    }
    vorbis_analysis_wrote(&enc.dsp, 0);  // end of stream: the last page carries the final length
    enc.Drain(out);
    while (ogg_stream_flush(&enc.stream, &page)) AppendPage(out, page);
    return true;
}

}  // namespace soundgen

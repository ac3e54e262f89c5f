// Writes an Ogg Vorbis file of a sine for the audio tests:
//   ogg_fixture_maker <rate> <channels> <frames> <hz> <amplitude> <out.ogg>
// A separate program because libvorbis and Tremor share symbol names.
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s rate channels frames hz amplitude out.ogg\n", argv[0]);
        return 2;
    }
    const int rate = std::atoi(argv[1]);
    const int channels = std::atoi(argv[2]);
    const int frames = std::atoi(argv[3]);
    const double hz = std::atof(argv[4]);
    const double amplitude = std::atof(argv[5]);
    std::FILE* out = std::fopen(argv[6], "wb");
    if (!out || rate <= 0 || channels < 1 || frames < 0) return 1;

    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) return 1;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 12345);
    ogg_page page;
    auto put = [out](const ogg_page& p) {
        std::fwrite(p.header, 1, static_cast<std::size_t>(p.header_len), out);
        std::fwrite(p.body, 1, static_cast<std::size_t>(p.body_len), out);
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    while (ogg_stream_flush(&os, &page)) put(page);

    const int chunk = 1024;
    bool finished = false;
    for (int done = 0; !finished;) {
        const int n = frames - done < chunk ? frames - done : chunk;
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i) {
                const float v = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * (done + i) / rate));
                for (int c = 0; c < channels; ++c) buffer[c][i] = v;
            }
            vorbis_analysis_wrote(&vd, n);
            done += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);  // end of stream: the last packet carries the eos mark
            finished = true;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) put(page);
            }
        }
    }
    while (ogg_stream_flush(&os, &page)) put(page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(out) == 0 ? 0 : 1;
}

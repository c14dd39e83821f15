#include "tests/support/VideoFixtures.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

#include <stdexcept>
#include <vector>

namespace {

void AppendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), static_cast<std::size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
}

} // namespace

TheoraFileBytes TheoraFile(const TheoraClip& clip) {
    th_info info;
    th_info_init(&info);
    info.frame_width = static_cast<ogg_uint32_t>(clip.frameWidth);
    info.frame_height = static_cast<ogg_uint32_t>(clip.frameHeight);
    info.pic_width = static_cast<ogg_uint32_t>(clip.pictureWidth);
    info.pic_height = static_cast<ogg_uint32_t>(clip.pictureHeight);
    info.pic_x = static_cast<ogg_uint32_t>(clip.pictureX);
    info.pic_y = static_cast<ogg_uint32_t>(clip.pictureY);
    info.fps_numerator = static_cast<ogg_uint32_t>(clip.framesPerSecond);
    info.fps_denominator = 1;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = TH_PF_420;
    info.target_bitrate = 0;
    info.quality = clip.quality;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    th_info_clear(&info);
    if (encoder == nullptr) {
        throw std::runtime_error("the Theora encoder refused the clip's settings");
    }

    ogg_stream_state stream;
    ogg_stream_init(&stream, static_cast<int>(clip.serial));
    TheoraFileBytes out;
    ogg_page page;
    ogg_packet packet;
    th_comment comment;
    th_comment_init(&comment);
    // Each header on a page of its own, the way players expect them.
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_flush(&stream, &page) != 0) {
            AppendPage(out.bytes, page);
        }
    }
    th_comment_clear(&comment);
    out.headerBytes = out.bytes.size();

    const int chromaWidth = clip.frameWidth / 2;
    const int chromaHeight = clip.frameHeight / 2;
    std::vector<uint8_t> luma(static_cast<std::size_t>(clip.frameWidth * clip.frameHeight));
    std::vector<uint8_t> blue(static_cast<std::size_t>(chromaWidth * chromaHeight));
    std::vector<uint8_t> red(blue.size());
    for (int frame = 0; frame < clip.frames; ++frame) {
        for (int y = 0; y < clip.frameHeight; ++y) {
            for (int x = 0; x < clip.frameWidth; ++x) {
                const YCbCr colour = clip.pixel(frame, x, y);
                luma[static_cast<std::size_t>(y * clip.frameWidth + x)] = colour[0];
                if (x % 2 == 0 && y % 2 == 0) {
                    const auto chroma = static_cast<std::size_t>(y / 2 * chromaWidth + x / 2);
                    blue[chroma] = colour[1];
                    red[chroma] = colour[2];
                }
            }
        }
        th_ycbcr_buffer planes;
        planes[0] = {clip.frameWidth, clip.frameHeight, clip.frameWidth, luma.data()};
        planes[1] = {chromaWidth, chromaHeight, chromaWidth, blue.data()};
        planes[2] = {chromaWidth, chromaHeight, chromaWidth, red.data()};
        if (th_encode_ycbcr_in(encoder, planes) != 0) {
            th_encode_free(encoder);
            ogg_stream_clear(&stream);
            throw std::runtime_error("the Theora encoder refused a frame");
        }
        const bool last = frame + 1 == clip.frames;
        while (th_encode_packetout(encoder, last ? 1 : 0, &packet) > 0) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page) != 0) {
                AppendPage(out.bytes, page);
            }
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        AppendPage(out.bytes, page);
    }
    th_encode_free(encoder);
    ogg_stream_clear(&stream);
    return out;
}

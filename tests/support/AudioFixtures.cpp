#include "tests/support/AudioFixtures.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

std::string WavHeader(std::size_t dataBytes, int channels, int rate, int bitsPerSample) {
    const int blockAlign = channels * bitsPerSample / 8;
    std::string out = "RIFF";
    PutLe(out, static_cast<uint32_t>(36 + dataBytes), 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, static_cast<uint32_t>(channels), 2);
    PutLe(out, static_cast<uint32_t>(rate), 4);
    PutLe(out, static_cast<uint32_t>(rate * blockAlign), 4);
    PutLe(out, static_cast<uint32_t>(blockAlign), 2);
    PutLe(out, static_cast<uint32_t>(bitsPerSample), 2);
    out += "data";
    PutLe(out, static_cast<uint32_t>(dataBytes), 4);
    return out;
}

} // namespace

std::vector<float> SineWave(double frequency, double amplitude, std::size_t frames, int channels,
                            int rate) {
    std::vector<float> values;
    values.reserve(frames * static_cast<std::size_t>(channels));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double phase = 2.0 * std::numbers::pi * frequency * static_cast<double>(frame) / rate;
        for (int channel = 0; channel < channels; ++channel) {
            values.push_back(static_cast<float>(amplitude * std::sin(phase)));
        }
    }
    return values;
}

std::vector<int16_t> ToPcm16(std::span<const float> values) {
    std::vector<int16_t> pcm;
    pcm.reserve(values.size());
    for (const float value : values) {
        pcm.push_back(
            static_cast<int16_t>(std::clamp(std::lrint(value * 32768.0f), -32768L, 32767L)));
    }
    return pcm;
}

std::string WavFile(std::span<const float> values, int channels, int rate, int bitsPerSample) {
    if (bitsPerSample == 16) {
        const std::vector<int16_t> pcm = ToPcm16(values);
        return WavFile16(pcm, channels, rate);
    }
    if (bitsPerSample != 8) {
        throw std::invalid_argument("WavFile makes 8 or 16-bit files");
    }
    std::string out = WavHeader(values.size(), channels, rate, 8);
    for (const float value : values) {
        out += static_cast<char>(std::lrint(std::clamp(value, -1.0f, 1.0f) * 127.0f) + 128);
    }
    return out;
}

std::string WavFile16(std::span<const int16_t> values, int channels, int rate) {
    std::string out = WavHeader(values.size() * 2, channels, rate, 16);
    for (const int16_t value : values) {
        PutLe(out, static_cast<uint16_t>(value), 2);
    }
    return out;
}

std::string VorbisFile(std::span<const float> values, int channels, int rate) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("vorbis_encode_init_vbr failed");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1104);

    std::string out;
    ogg_page page;
    const auto writePage = [&out](const ogg_page& p) {
        out.append(reinterpret_cast<const char*>(p.header), static_cast<std::size_t>(p.header_len));
        out.append(reinterpret_cast<const char*>(p.body), static_cast<std::size_t>(p.body_len));
    };

    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    while (ogg_stream_flush(&stream, &page) != 0) {
        writePage(page);
    }

    const std::size_t frames = values.size() / static_cast<std::size_t>(channels);
    constexpr std::size_t kPiece = 1024;
    for (std::size_t done = 0; done <= frames;) {
        const std::size_t count = std::min(kPiece, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0); // the end of the sound
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (std::size_t frame = 0; frame < count; ++frame) {
                for (int channel = 0; channel < channels; ++channel) {
                    buffer[channel][frame] =
                        values[(done + frame) * static_cast<std::size_t>(channels) + channel];
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    writePage(page);
                }
            }
        }
        if (count == 0) {
            break;
        }
        done += count;
    }
    while (ogg_stream_flush(&stream, &page) != 0) {
        writePage(page);
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<uint8_t> AsBytes(const std::string& file) {
    return std::vector<uint8_t>(file.begin(), file.end());
}

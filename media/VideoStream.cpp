#include "media/VideoStream.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"

#include <theora/theora.h>

#include <algorithm>
#include <cstring>
#include <istream>

struct VideoStream::Decoder {
    std::istream* file = nullptr; // from the file layer, given back at the end
    ogg_sync_state sync{};
    ogg_stream_state stream{};
    bool streamInUse = false; // the one slot holds the Theora stream
    ogg_page page{};
    ogg_packet packet{};
    theora_info info{};
    theora_comment comment{};
    theora_state state{};
    bool decoding = false; // theora_decode_init has run
    yuv_buffer picture{};
};

namespace {

constexpr int kTheoraHeaders = 3;

// The first header of a Theora stream: 0x80 followed by "theora".
bool IsTheoraHeader(const ogg_packet& packet) {
    return packet.bytes >= 7 && packet.packet[0] == 0x80 &&
           std::memcmp(packet.packet + 1, "theora", 6) == 0;
}

uint8_t Clamped(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// The integer conversion of one pixel to ARGB.
uint32_t ArgbOf(int luma, int blueDifference, int redDifference) {
    const int c = luma - 16;
    const int d = blueDifference - 128;
    const int e = redDifference - 128;
    const int t = 298 * c + 128;
    const uint32_t red = Clamped((t + 409 * e) >> 8);
    const uint32_t green = Clamped((t - 100 * d - 208 * e) >> 8);
    const uint32_t blue = Clamped((t + 516 * d) >> 8);
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

} // namespace

VideoStream::VideoStream(const std::string& fileName)
    : fileName(fileName), decoder(std::make_unique<Decoder>()) {
    if (!Files.Exists(fileName)) {
        throw Exception("Can't find file %s", fileName.c_str());
    }
    ogg_sync_init(&decoder->sync);
    theora_comment_init(&decoder->comment);
    theora_info_init(&decoder->info);
    // One lookup: the open finds the file where Exists did, in the data folder or the pack.
    decoder->file = Files.Open(fileName);
    if (decoder->file == nullptr) {
        EndAtOnce("Can't open video");
        return;
    }
    int headers = 0;
    while (headers < kTheoraHeaders) {
        if (!FetchPacket()) {
            EndAtOnce("not a Theora video");
            return;
        }
        if (theora_decode_header(&decoder->info, &decoder->comment, &decoder->packet) < 0) {
            DebugLog("Theora header refused in %s\n", fileName.c_str());
            continue;
        }
        ++headers;
    }
    if (theora_decode_init(&decoder->state, &decoder->info) != 0) {
        EndAtOnce("Theora decoder refused");
        return;
    }
    decoder->decoding = true;
    Step();
}

VideoStream::~VideoStream() {
    ogg_sync_clear(&decoder->sync);
    theora_info_clear(&decoder->info);
    theora_comment_clear(&decoder->comment);
    if (decoder->decoding) {
        theora_clear(&decoder->state);
    }
    if (decoder->streamInUse) {
        ogg_stream_clear(&decoder->stream);
    }
    if (decoder->file != nullptr) {
        Files.Close(decoder->file);
    }
}

void VideoStream::EndAtOnce(const char* why) {
    DebugLog("%s: %s\n", why, fileName.c_str());
    atEnd = true;
}

bool VideoStream::ReadPiece() {
    char* buffer = ogg_sync_buffer(&decoder->sync, static_cast<long>(kReadSize));
    if (buffer == nullptr) {
        return false;
    }
    decoder->file->read(buffer, static_cast<std::streamsize>(kReadSize));
    const std::streamsize read = decoder->file->gcount();
    if (read <= 0) {
        return false;
    }
    ogg_sync_wrote(&decoder->sync, static_cast<long>(read));
    return true;
}

bool VideoStream::FetchPacket() {
    Decoder& d = *decoder;
    if (atEnd || d.file == nullptr) {
        return false;
    }
    for (;;) {
        if (d.streamInUse && ogg_stream_packetout(&d.stream, &d.packet) > 0) {
            return true;
        }
        while (ogg_sync_pageout(&d.sync, &d.page) != 1) {
            if (!ReadPiece()) {
                return false;
            }
        }
        if (!d.streamInUse) {
            // Only the beginning of a Theora stream claims the slot; any other stream's pages,
            // and pages before one, are passed over.
            if (!ogg_page_bos(&d.page)) {
                continue;
            }
            if (ogg_stream_init(&d.stream, ogg_page_serialno(&d.page)) != 0) {
                return false;
            }
            ogg_stream_pagein(&d.stream, &d.page);
            ogg_packet first{};
            if (ogg_stream_packetpeek(&d.stream, &first) == 1 && IsTheoraHeader(first)) {
                d.streamInUse = true;
            } else {
                ogg_stream_clear(&d.stream);
            }
            continue;
        }
        if (ogg_page_serialno(&d.page) == d.stream.serialno) {
            ogg_stream_pagein(&d.stream, &d.page);
        }
    }
}

bool VideoStream::Step() {
    if (atEnd || !decoder->decoding) {
        return false;
    }
    if (!FetchPacket()) {
        atEnd = true;
        return false;
    }
    if (theora_decode_packetin(&decoder->state, &decoder->packet) == 0 &&
        theora_decode_YUVout(&decoder->state, &decoder->picture) == 0) {
        frameOut = true;
    }
    return true;
}

int64_t VideoStream::GranulePos() const {
    return decoder->decoding ? decoder->state.granulepos : 0;
}

double VideoStream::GranuleTime() const {
    if (!decoder->decoding) {
        return 0.0;
    }
    return theora_granule_time(&decoder->state, decoder->state.granulepos);
}

bool VideoStream::CopyPicture(uint8_t* target, int32_t pitch, int width, int height) const {
    const theora_info& info = decoder->info;
    if (!frameOut || info.pixelformat != OC_PF_420) {
        return false;
    }
    const yuv_buffer& picture = decoder->picture;
    const int offsetX = static_cast<int>(info.offset_x);
    const int offsetY = static_cast<int>(info.offset_y);
    const int shownWidth = std::min(width, kPictureWidth);
    const int shownHeight = std::min(height, kPictureHeight);
    // A picture smaller than the shown part, or a frame whose planes do not reach past the
    // offset, gives fewer pixels: only what lies inside every plane is read.
    const int columns =
        std::clamp(std::min({picture.y_width - offsetX, 2 * (picture.uv_width - offsetX / 2)}), 0,
                   shownWidth);
    const int rows =
        std::clamp(std::min({picture.y_height - offsetY, 2 * (picture.uv_height - offsetY / 2)}),
                   0, shownHeight);
    for (int row = 0; row < shownHeight; ++row) {
        auto* out = reinterpret_cast<uint32_t*>(target + static_cast<std::ptrdiff_t>(row) * pitch);
        int column = 0;
        if (row < rows) {
            // Strides may be negative (a picture stored bottom-up): rows are reached by signed
            // offsets from the top row.
            const uint8_t* luma =
                picture.y + static_cast<std::ptrdiff_t>(offsetY + row) * picture.y_stride + offsetX;
            const std::ptrdiff_t chromaRow =
                static_cast<std::ptrdiff_t>(offsetY / 2 + row / 2) * picture.uv_stride + offsetX / 2;
            const uint8_t* blue = picture.u + chromaRow;
            const uint8_t* red = picture.v + chromaRow;
            for (; column < columns; ++column) {
                out[column] = ArgbOf(luma[column], blue[column / 2], red[column / 2]);
            }
        }
        for (; column < shownWidth; ++column) {
            out[column] = 0xFF000000u;
        }
    }
    return true;
}

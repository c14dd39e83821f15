#include "platform/gfx/ImageCodec.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsPng(const uint8_t* data, std::size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= sizeof(signature) && std::memcmp(data, signature, sizeof(signature)) == 0;
}

bool IsJpeg(const uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool SizeAllowed(uint32_t width, uint32_t height, uint32_t maxSide, std::string& error) {
    if (width == 0 || height == 0 || width > maxSide || height > maxSide) {
        error = "image size " + std::to_string(width) + "x" + std::to_string(height) +
                " is empty or larger than " + std::to_string(maxSide);
        return false;
    }
    return true;
}

bool DecodePng(const uint8_t* data, std::size_t size, uint32_t maxSide,
               const PixelTargetFor& target, std::string& error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, data, size) == 0) {
        error = png.message;
        return false;
    }
    if (!SizeAllowed(png.width, png.height, maxSide, error)) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_BGRA; // in memory: B, G, R, A = one little-endian ARGB word
    const PixelTarget pixels = target(png.width, png.height, false, error);
    if (pixels.bits == nullptr) {
        png_image_free(&png);
        return false;
    }
    // The row stride counts components, four to a pixel.
    if (png_image_finish_read(&png, nullptr, pixels.bits, static_cast<png_int_32>(pixels.pitch * 4),
                              nullptr) == 0) {
        error = png.message;
        return false;
    }
    return true;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFail(j_common_ptr info) {
    auto* const failure = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, failure->message);
    std::longjmp(failure->jump, 1);
}

// Warnings mean damaged or cut-short data (the decoder would fill in grey): refuse the image.
void JpegMessage(j_common_ptr info, int level) {
    if (level < 0) {
        JpegFail(info);
    }
}

// Only plain data lives here, so that a jump out of the decoder skips no destructor: the target's
// answer is kept in the caller's pixels.
bool DecodeJpegInto(const uint8_t* data, std::size_t size, uint32_t maxSide,
                    const PixelTargetFor& target, PixelTarget& pixels, std::string& targetError,
                    JpegError& failure) {
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JpegFail;
    failure.manager.emit_message = JpegMessage;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > maxSide ||
        info.image_height > maxSide) {
        std::snprintf(failure.message, sizeof(failure.message),
                      "image size %ux%u is empty or larger than %u", info.image_width,
                      info.image_height, maxSide);
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    pixels = target(info.output_width, info.output_height, true, targetError);
    if (pixels.bits == nullptr && !pixels.row) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        uint32_t* const bits =
            pixels.row
                ? pixels.row(info.output_scanline)
                : pixels.bits + static_cast<std::size_t>(info.output_scanline) * pixels.pitch;
        if (bits == nullptr) {
            jpeg_destroy_decompress(&info);
            return false;
        }
        JSAMPROW row = reinterpret_cast<JSAMPROW>(bits);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool DecodeImageInto(const uint8_t* data, std::size_t size, uint32_t maxSide,
                     const PixelTargetFor& target, std::string& error) {
    if (data == nullptr) {
        error = "no data";
        return false;
    }
    if (IsPng(data, size)) {
        return DecodePng(data, size, maxSide, target, error);
    }
    if (IsJpeg(data, size)) {
        JpegError failure{};
        std::string targetError;
        PixelTarget pixels;
        if (!DecodeJpegInto(data, size, maxSide, target, pixels, targetError, failure)) {
            error = targetError.empty() ? std::string(failure.message) : targetError;
            return false;
        }
        return true;
    }
    error = "not a PNG or JPEG image";
    return false;
}

bool DecodeImage(const uint8_t* data, std::size_t size, uint32_t maxSide, Image& image,
                 std::string& error) {
    image = Image();
    const auto intoImage = [&image](uint32_t width, uint32_t height, bool, std::string&) {
        image.width = width;
        image.height = height;
        image.pixels.assign(static_cast<std::size_t>(width) * height, 0);
        return PixelTarget{image.pixels.data(), width, {}};
    };
    if (!DecodeImageInto(data, size, maxSide, intoImage, error)) {
        image = Image();
        return false;
    }
    return true;
}

std::vector<uint8_t> EncodePng(const Image& image) {
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return {};
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width;
    png.height = image.height;
    png.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, image.pixels.data(), 0, nullptr) == 0) {
        return {};
    }
    std::vector<uint8_t> bytes(size);
    if (png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr) ==
        0) {
        return {};
    }
    bytes.resize(size);
    return bytes;
}

namespace {

// The encoder wants rows it may write to: each row is copied into rowBuffer first.
bool EncodeJpegInto(const Image& image, int quality, std::vector<uint32_t>& rowBuffer,
                    unsigned char*& buffer, unsigned long& size, JpegError& failure) {
    jpeg_compress_struct info{};
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = JpegFail;
    if (setjmp(failure.jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = image.width;
    info.image_height = image.height;
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const uint32_t* source =
            image.pixels.data() + static_cast<std::size_t>(info.next_scanline) * image.width;
        std::copy(source, source + image.width, rowBuffer.begin());
        JSAMPROW row = reinterpret_cast<JSAMPROW>(rowBuffer.data());
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality) {
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return {};
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    JpegError failure{};
    std::vector<uint32_t> rowBuffer(image.width);
    const bool encoded = EncodeJpegInto(image, quality, rowBuffer, buffer, size, failure);
    std::vector<uint8_t> bytes;
    if (encoded) {
        bytes.assign(buffer, buffer + size);
    }
    std::free(buffer);
    return bytes;
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The decoder of a cut-scene: an Ogg file read through the file layer in small pieces, whose one
// Theora stream gives a frame per step. Pages of any other logical stream (a muxed sound track)
// are skipped: the sound of a cut-scene is a sound set of its own.
class VideoStream {
public:
    // The part of each frame that is shown, from the stream's picture offset.
    static constexpr int kPictureWidth = 640;
    static constexpr int kPictureHeight = 360;
    static constexpr std::size_t kReadSize = 1024;

    // Opens the file, reads the three Theora headers and decodes the first frame. A name the
    // file layer does not know throws "Can't find file %s". A file that cannot be opened, or
    // ends before three headers (not Theora, cut short, garbage), is logged and the stream is at
    // its end at once.
    explicit VideoStream(const std::string& fileName);
    ~VideoStream();
    VideoStream(const VideoStream&) = delete;
    VideoStream& operator=(const VideoStream&) = delete;

    // Decodes the next frame; false (nothing decoded) once the file has ended.
    bool Step();
    bool AtEnd() const { return atEnd; }
    // The granule position of the last frame decoded, and its time in seconds.
    int64_t GranulePos() const;
    double GranuleTime() const;

    // Converts the shown part of the last frame into 32-bit ARGB pixels (alpha 255) at the
    // top-left of the target: pitch bytes a row, width x height pixels in all. Only what the
    // frame's planes hold is copied; the rest of the shown part is black. False, and the target
    // untouched, before any frame came out or for a frame that is not 4:2:0.
    bool CopyPicture(uint8_t* target, int32_t pitch, int width, int height) const;

private:
    // The Theora and Ogg state, kept out of this header so that its users see neither library.
    struct Decoder;

    // The next packet of the Theora stream into the decoder's packet; false at the end.
    bool FetchPacket();
    // Reads a piece of the file into the page reader; false at its end.
    bool ReadPiece();
    // Logs why with the file's name and ends the stream.
    void EndAtOnce(const char* why);

    std::string fileName;
    std::unique_ptr<Decoder> decoder;
    bool atEnd = false;
    bool frameOut = false;
};

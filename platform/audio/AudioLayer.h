#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// Names a loaded sample, or one playback (a channel: a playing sample or a stream). 0 is none.
// Ids are never handed out twice while the program runs, so an old id is safe to ask about: it
// simply names nothing any more.
using AudioId = uint32_t;

// A file that a stream reads from. The layer reads, seeks and asks its length from whatever
// thread it decodes on, and calls Close once when the stream is freed, so an implementation
// must touch nothing but its own bytes.
class StreamFile {
public:
    virtual ~StreamFile() = default;

    // Copies up to size bytes from the current position; the count copied (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // Moves to an absolute offset; false when the file cannot go there.
    virtual bool Seek(uint64_t offset) = 0;
    virtual uint64_t Length() const = 0;
    virtual void Close() = 0;
};

// Which global volume scales a channel.
enum class VolumeGroup { Samples, Streams };

// What a volume slide does when it has reached its value.
enum class SlideEnd { Keep, Stop };

// The sound output of the game: samples played from memory with a limit on simultaneous
// playbacks, streams decoded as they play, per-channel volumes that can slide over time, and two
// global volumes. Everything is mixed into one 44100 Hz stereo output. Every call is made from
// the game thread; calls with ids that name nothing do nothing.
class AudioLayer {
public:
    // What Version() reports: the game refuses to start on any other.
    static constexpr int kVersion = 2;
    // Volumes, channel and global alike, run from 0 (silent) to this.
    static constexpr int kFullVolume = 100;
    // The output: frames of two 16-bit channels at this rate.
    static constexpr int kOutputRate = 44100;
    static constexpr int kBytesPerFrame = 4;

    virtual ~AudioLayer() = default;

    virtual int Version() const = 0;
    // Opens the output device, playing; false when no output can be had.
    virtual bool Open() = 0;
    // Frees every sample and stream and closes the device.
    virtual void Close() = 0;
    // Whether the output device is open (Open succeeded and no Close since).
    virtual bool IsOpen() const = 0;

    // Output runs (again) after Pause or Stop.
    virtual void Start() = 0;
    // Ends every playback and stream; output is silent until Start.
    virtual void Stop() = 0;
    // Freezes all output where it is; Start goes on from there.
    virtual void Pause() = 0;

    // Global volume of a group, 0..kFullVolume (clamped).
    virtual void SetGroupVolume(VolumeGroup group, int volume) = 0;

    // Decodes a whole file (PCM WAV or Ogg Vorbis) held in memory into a sample that at most
    // maxPlaybacks playbacks may play at once. 0 when the bytes cannot be decoded or the layer is
    // not open; the layer keeps its own copy of the sound.
    virtual AudioId LoadSample(std::span<const uint8_t> bytes, int maxPlaybacks) = 0;
    // Ends the sample's playbacks and frees it.
    virtual void FreeSample(AudioId sample) = 0;
    // Starts a playback from the beginning at full volume: looping until stopped, or once. When
    // the sample already plays maxPlaybacks times, the playback that has played longest gives
    // its place to the new one. The new channel, or 0.
    virtual AudioId PlaySample(AudioId sample, bool loop) = 0;
    // Ends every playback of the sample.
    virtual void StopSample(AudioId sample) = 0;

    // A stream over a file (PCM WAV or Ogg Vorbis), stopped, at full volume; 0 when the file
    // cannot be decoded (it is then closed at once). The stream frees itself, closing its file,
    // when it ends or is stopped.
    virtual AudioId CreateStream(std::unique_ptr<StreamFile> file) = 0;
    // Starts (or goes on with) a stream, looping from its end to its beginning or once.
    virtual void PlayStream(AudioId stream, bool loop) = 0;

    // True while the channel plays (also while all output is paused); false once it has ended,
    // been stopped or replaced, and for ids that never named a channel.
    virtual bool IsActive(AudioId channel) const = 0;
    // Channel volume 0..kFullVolume (clamped); ends any slide.
    virtual void SetVolume(AudioId channel, int volume) = 0;
    // Moves the channel's volume in a straight line to volume over the time given, measured in
    // output played; then keeps it there or stops the channel.
    virtual void SlideVolume(AudioId channel, int volume, uint32_t milliseconds, SlideEnd end) = 0;
    // How far the channel has played from the beginning of its sound, in bytes of 16-bit stereo
    // output (a looping channel starts again from 0); 0 for a channel that is not active.
    virtual uint64_t Position(AudioId channel) const = 0;
    // Bytes of output as seconds.
    static double BytesToSeconds(uint64_t bytes);
};

// The layer the game talks to: the SDL output unless SetAudioLayer gave another.
AudioLayer& Audio();

// Replaces the layer; null restores the SDL output. The caller keeps ownership and must restore
// the SDL output before the replacement is destroyed.
void SetAudioLayer(AudioLayer* layer);

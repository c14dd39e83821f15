#include "platform/audio/AudioDecoder.h"

#include "platform/audio/MemoryStreamFile.h"
#include "platform/audio/Resampler.h"

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr int kOutputChannels = 2;
// Source rates outside this range are refused: a tiny rate would blow a few bytes up into
// gigabytes of output.
constexpr long kMinSourceRate = 8000;
constexpr long kMaxSourceRate = 192000;
// Frames asked of the Vorbis decoder at a time.
constexpr int kVorbisChunkFrames = 1024;
// A WAV stream is read whole into memory; this is as much as it may hold.
constexpr uint64_t kMaxWavStreamBytes = uint64_t{512} << 20;

bool SourceRateFits(long rate) {
    return rate >= kMinSourceRate && rate <= kMaxSourceRate;
}

int16_t ToPcm16(float value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    return static_cast<int16_t>(std::lrint(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
}

// One value of SDL's sample formats (any size up to 32 bits, either byte order) as a float.
float ValueAt(const uint8_t* bytes, SDL_AudioFormat format) {
    const int size = SDL_AUDIO_BITSIZE(format) / 8;
    uint32_t raw = 0;
    for (int i = 0; i < size; ++i) {
        const int shift = SDL_AUDIO_ISBIGENDIAN(format) ? 8 * (size - 1 - i) : 8 * i;
        raw |= uint32_t{bytes[i]} << shift;
    }
    if (SDL_AUDIO_ISFLOAT(format)) {
        float value = 0.0f;
        std::memcpy(&value, &raw, sizeof(value));
        return std::isfinite(value) ? value : 0.0f;
    }
    const int bits = 8 * size;
    const double full = static_cast<double>(uint64_t{1} << (bits - 1));
    if (!SDL_AUDIO_ISSIGNED(format)) {
        return static_cast<float>((static_cast<double>(raw) - full) / full);
    }
    // Sign-extend from the value's own width.
    const auto value = static_cast<int64_t>(uint64_t{raw} << (64 - bits)) >> (64 - bits);
    return static_cast<float>(static_cast<double>(value) / full);
}

uint32_t ReadLe32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

bool LooksLikeWav(std::span<const uint8_t> bytes) {
    return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
           std::memcmp(bytes.data() + 8, "WAVE", 4) == 0;
}

bool LooksLikeOgg(std::span<const uint8_t> bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0;
}

// Every chunk of the RIFF file lies inside the bytes. Checked before SDL sees the file, so that
// a chunk size that lies can never make it allocate more than the file holds.
bool RiffChunksFit(std::span<const uint8_t> bytes) {
    std::size_t at = 12;
    while (bytes.size() - at >= 8) {
        const uint32_t size = ReadLe32(bytes.data() + at + 4);
        if (size > bytes.size() - at - 8) {
            return false;
        }
        at += 8 + std::size_t{size} + (size & 1);
        if (at >= bytes.size()) {
            break;
        }
    }
    return true;
}

// Owns a stream's file and closes it exactly once, when it goes.
class OwnedFile {
public:
    explicit OwnedFile(std::unique_ptr<StreamFile> file) : file(std::move(file)) {}
    ~OwnedFile() {
        if (file != nullptr) {
            file->Close();
        }
    }
    OwnedFile(const OwnedFile&) = delete;
    OwnedFile& operator=(const OwnedFile&) = delete;

    StreamFile& operator*() const { return *file; }
    StreamFile* operator->() const { return file.get(); }
    // Hands the file on, still open.
    std::unique_ptr<StreamFile> Release() { return std::move(file); }

private:
    std::unique_ptr<StreamFile> file;
};

// Reads as many bytes as the file gives, up to size.
std::size_t ReadFully(StreamFile& file, uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const std::size_t got = file.Read(buffer + done, size - done);
        if (got == 0) {
            break;
        }
        done += std::min(got, size - done);
    }
    return done;
}

std::optional<std::vector<int16_t>> DecodeWav(std::span<const uint8_t> bytes) {
    if (!RiffChunksFit(bytes)) {
        return std::nullopt;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr) {
        return std::nullopt;
    }
    SDL_AudioSpec spec{};
    Uint8* pcm = nullptr;
    Uint32 size = 0;
    if (SDL_LoadWAV_RW(source, 1, &spec, &pcm, &size) == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<Uint8, void (*)(Uint8*)> owned(pcm, SDL_FreeWAV);

    const std::size_t valueBytes = SDL_AUDIO_BITSIZE(spec.format) / 8;
    const std::size_t frameBytes = valueBytes * spec.channels;
    if (valueBytes == 0 || valueBytes > 4 || spec.channels < 1 || spec.channels > kOutputChannels ||
        !SourceRateFits(spec.freq)) {
        return std::nullopt;
    }
    const uint64_t sourceFrames = size / frameBytes;
    if (sourceFrames == 0 ||
        sourceFrames * AudioLayer::kOutputRate / static_cast<uint64_t>(spec.freq) >
            kMaxSampleFrames) {
        return std::nullopt;
    }
    Resampler resampler(spec.channels, spec.freq);
    std::vector<int16_t> frames;
    std::vector<float> values;
    const auto take = [&resampler, &frames, &values] {
        values.resize(resampler.Available() * kOutputChannels);
        resampler.Get(values.data(), resampler.Available());
        for (const float value : values) {
            frames.push_back(ToPcm16(value));
        }
    };
    constexpr std::size_t kPiece = 4096;
    for (uint64_t done = 0; done < sourceFrames; done += kPiece) {
        const auto count =
            static_cast<std::size_t>(std::min<uint64_t>(kPiece, sourceFrames - done));
        values.resize(count * spec.channels);
        const uint8_t* from = pcm + done * frameBytes;
        for (std::size_t i = 0; i < values.size(); ++i) {
            values[i] = ValueAt(from + i * valueBytes, spec.format);
        }
        resampler.Put(values.data(), count);
        take();
    }
    resampler.Flush();
    take();
    return frames;
}

// The read position that vorbisfile keeps asking about, beside the file it reads.
struct VorbisSource {
    StreamFile* file = nullptr;
    uint64_t position = 0;
};

std::size_t VorbisRead(void* buffer, std::size_t size, std::size_t count, void* data) {
    auto* const source = static_cast<VorbisSource*>(data);
    if (size == 0 || count > std::numeric_limits<std::size_t>::max() / size) {
        return 0;
    }
    const std::size_t got = source->file->Read(buffer, size * count);
    source->position += got;
    return got / size;
}

int VorbisSeek(void* data, ogg_int64_t offset, int whence) {
    auto* const source = static_cast<VorbisSource*>(data);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = static_cast<ogg_int64_t>(source->position);
    } else if (whence == SEEK_END) {
        base = static_cast<ogg_int64_t>(source->file->Length());
    } else if (whence != SEEK_SET) {
        return -1;
    }
    if (offset < -base || offset > std::numeric_limits<ogg_int64_t>::max() - base) {
        return -1;
    }
    const auto target = static_cast<uint64_t>(base + offset);
    if (!source->file->Seek(target)) {
        return -1;
    }
    source->position = target;
    return 0;
}

long VorbisTell(void* data) {
    const auto position = static_cast<VorbisSource*>(data)->position;
    return static_cast<long>(std::min<uint64_t>(position, std::numeric_limits<long>::max()));
}

// Decodes Ogg Vorbis as it is read, mono or stereo.
class VorbisDecoder final : public StreamDecoder {
public:
    // Null when the file holds no Vorbis sound it can play.
    static std::unique_ptr<VorbisDecoder> Open(std::unique_ptr<StreamFile> file) {
        std::unique_ptr<VorbisDecoder> decoder(new VorbisDecoder(std::move(file)));
        return decoder->Start() ? std::move(decoder) : nullptr;
    }

    ~VorbisDecoder() override {
        if (opened) {
            ov_clear(&vorbis);
        }
    }

    std::size_t Read(float* frames, std::size_t count) override {
        std::size_t done = 0;
        while (done < count) {
            if (resampler->Available() > 0) {
                done += resampler->Get(frames + done * kOutputChannels, count - done);
            } else if (drained) {
                break;
            } else if (!DecodeMore()) {
                resampler->Flush();
                drained = true;
            }
        }
        return done;
    }

    bool Rewind() override {
        if (ov_pcm_seek(&vorbis, 0) != 0) {
            return false;
        }
        resampler->Clear();
        drained = false;
        return true;
    }

private:
    explicit VorbisDecoder(std::unique_ptr<StreamFile> streamFile) : file(std::move(streamFile)) {
        source.file = &*file;
    }

    bool Start() {
        const ov_callbacks callbacks = {VorbisRead, VorbisSeek, nullptr, VorbisTell};
        if (ov_open_callbacks(&source, &vorbis, nullptr, 0, callbacks) != 0) {
            return false;
        }
        opened = true;
        const vorbis_info* const info = ov_info(&vorbis, -1);
        if (info == nullptr || info->channels < 1 || info->channels > kOutputChannels ||
            !SourceRateFits(info->rate)) {
            return false;
        }
        channels = info->channels;
        rate = info->rate;
        resampler.emplace(channels, rate);
        return true;
    }

    // Hands the next piece of sound to the resampler; false at the end of the sound. A chained
    // file whose later part changes format ends there.
    bool DecodeMore() {
        // A damaged stretch reports a hole; a few in a row are skipped, more end the sound.
        for (int holes = 0; holes < 64; ++holes) {
            float** pcm = nullptr;
            int link = 0;
            const long count = ov_read_float(&vorbis, &pcm, kVorbisChunkFrames, &link);
            if (count == OV_HOLE) {
                continue;
            }
            if (count <= 0) {
                return false;
            }
            const vorbis_info* const info = ov_info(&vorbis, link);
            if (info == nullptr || info->channels != channels || info->rate != rate) {
                return false;
            }
            interleaved.resize(static_cast<std::size_t>(count) * channels);
            for (long frame = 0; frame < count; ++frame) {
                for (int channel = 0; channel < channels; ++channel) {
                    interleaved[frame * channels + channel] = pcm[channel][frame];
                }
            }
            resampler->Put(interleaved.data(), static_cast<std::size_t>(count));
            return true;
        }
        return false;
    }

    OwnedFile file;
    VorbisSource source;
    OggVorbis_File vorbis{};
    bool opened = false;
    int channels = 0;
    long rate = 0;
    std::optional<Resampler> resampler;
    bool drained = false;
    std::vector<float> interleaved;
};

// Sound already decoded whole, played from memory.
class PcmDecoder final : public StreamDecoder {
public:
    PcmDecoder(std::vector<int16_t> pcm, std::unique_ptr<StreamFile> streamFile)
        : file(std::move(streamFile)), pcm(std::move(pcm)) {}

    std::size_t Read(float* frames, std::size_t count) override {
        const std::size_t values = std::min(count * kOutputChannels, pcm.size() - position);
        for (std::size_t i = 0; i < values; ++i) {
            frames[i] = static_cast<float>(pcm[position + i]) * (1.0f / 32768.0f);
        }
        position += values;
        return values / kOutputChannels;
    }

    bool Rewind() override {
        position = 0;
        return true;
    }

private:
    OwnedFile file;
    std::vector<int16_t> pcm;
    std::size_t position = 0;
};

std::optional<std::vector<int16_t>> DecodeVorbisSample(std::span<const uint8_t> bytes) {
    std::unique_ptr<VorbisDecoder> decoder =
        VorbisDecoder::Open(std::make_unique<MemoryStreamFile>(bytes));
    if (decoder == nullptr) {
        return std::nullopt;
    }
    std::vector<int16_t> frames;
    std::vector<float> piece(4096 * kOutputChannels);
    for (;;) {
        const std::size_t got = decoder->Read(piece.data(), piece.size() / kOutputChannels);
        if (got == 0) {
            break;
        }
        if (frames.size() / kOutputChannels + got > kMaxSampleFrames) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < got * kOutputChannels; ++i) {
            frames.push_back(ToPcm16(piece[i]));
        }
    }
    if (frames.empty()) {
        return std::nullopt;
    }
    return frames;
}

} // namespace

std::optional<std::vector<int16_t>> DecodeSample(std::span<const uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    if (LooksLikeWav(bytes)) {
        return DecodeWav(bytes);
    }
    if (LooksLikeOgg(bytes)) {
        return DecodeVorbisSample(bytes);
    }
    return std::nullopt;
}

std::unique_ptr<StreamDecoder> OpenStreamDecoder(std::unique_ptr<StreamFile> streamFile) {
    if (streamFile == nullptr) {
        return nullptr;
    }
    OwnedFile file(std::move(streamFile));
    uint8_t head[12];
    const std::size_t headSize = ReadFully(*file, head, sizeof(head));
    if (!file->Seek(0)) {
        return nullptr;
    }
    const std::span<const uint8_t> start(head, headSize);
    if (LooksLikeOgg(start)) {
        return VorbisDecoder::Open(file.Release());
    }
    if (!LooksLikeWav(start)) {
        return nullptr;
    }
    const uint64_t length = file->Length();
    if (length > kMaxWavStreamBytes) {
        return nullptr;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(length));
    bytes.resize(ReadFully(*file, bytes.data(), bytes.size()));
    std::optional<std::vector<int16_t>> pcm = DecodeWav(bytes);
    if (!pcm) {
        return nullptr;
    }
    return std::make_unique<PcmDecoder>(std::move(*pcm), file.Release());
}

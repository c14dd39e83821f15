#include "engine/bzip2_stream.h"

#include <bzlib.h>

#include <algorithm>
#include <cstring>

namespace bzip2_stream {

template <class CharT, class Traits>
struct basic_unbzip2_streambuf<CharT, Traits>::State {
    bz_stream stream{};
    bool started = false;
};

template <class CharT, class Traits>
basic_unbzip2_streambuf<CharT, Traits>::basic_unbzip2_streambuf(std::istream& source, int verbosity,
                                                                bool small,
                                                                std::size_t outputBufferSize,
                                                                std::size_t inputBufferSize)
    : source(source), state(std::make_unique<State>()),
      outputBuffer(std::max(outputBufferSize, kPutBackSize + 1)),
      inputBuffer(std::max<std::size_t>(inputBufferSize, 1)) {
    lastResult = BZ2_bzDecompressInit(&state->stream, std::clamp(verbosity, 0, 4), small ? 1 : 0);
    state->started = lastResult == BZ_OK;
    CharT* const start = outputBuffer.data() + kPutBackSize;
    this->setg(start, start, start);
}

template <class CharT, class Traits>
basic_unbzip2_streambuf<CharT, Traits>::~basic_unbzip2_streambuf() {
    if (state->started) {
        BZ2_bzDecompressEnd(&state->stream);
    }
}

template <class CharT, class Traits>
bool basic_unbzip2_streambuf<CharT, Traits>::ended() const {
    return lastResult == BZ_STREAM_END;
}

template <class CharT, class Traits>
typename basic_unbzip2_streambuf<CharT, Traits>::int_type
basic_unbzip2_streambuf<CharT, Traits>::underflow() {
    if (this->gptr() < this->egptr()) {
        return Traits::to_int_type(*this->gptr());
    }
    // Keep the last few characters in front so that they can still be put back.
    const std::size_t putBack = std::min<std::size_t>(this->gptr() - this->eback(), kPutBackSize);
    CharT* const start = outputBuffer.data() + kPutBackSize;
    std::memmove(start - putBack, this->gptr() - putBack, putBack * sizeof(CharT));
    const std::size_t produced = Fill(start, outputBuffer.size() - kPutBackSize);
    this->setg(start - putBack, start, start + produced);
    return produced > 0 ? Traits::to_int_type(*start) : Traits::eof();
}

template <class CharT, class Traits>
std::size_t basic_unbzip2_streambuf<CharT, Traits>::Fill(CharT* start, std::size_t room) {
    bz_stream& stream = state->stream;
    stream.next_out = reinterpret_cast<char*>(start);
    stream.avail_out = static_cast<unsigned>(room);
    while (lastResult == BZ_OK && stream.avail_out == room) {
        if (stream.avail_in == 0) {
            source.read(inputBuffer.data(), static_cast<std::streamsize>(inputBuffer.size()));
            stream.next_in = inputBuffer.data();
            stream.avail_in = static_cast<unsigned>(source.gcount());
            if (stream.avail_in == 0) {
                break; // the compressed data is cut short: end here
            }
        }
        lastResult = BZ2_bzDecompress(&stream);
    }
    if (lastResult == BZ_STREAM_END && stream.avail_in > 0) {
        // Give back what was read past the compressed data.
        source.clear();
        source.seekg(-static_cast<std::streamoff>(stream.avail_in), std::ios::cur);
        stream.avail_in = 0;
    }
    return room - stream.avail_out;
}

template class basic_unbzip2_streambuf<char>;

} // namespace bzip2_stream

#pragma once

#include <cstddef>
#include <istream>
#include <memory>
#include <streambuf>
#include <vector>

namespace bzip2_stream {

// Decompressing stream buffer over another input stream. When the compressed stream ends, the
// underlying stream is left standing right behind the compressed data. A corrupt or cut stream
// simply ends early; last_result() tells why.
template <class CharT, class Traits = std::char_traits<CharT>>
class basic_unbzip2_streambuf : public std::basic_streambuf<CharT, Traits> {
    static_assert(sizeof(CharT) == 1, "libbz2 produces bytes");

public:
    using int_type = typename Traits::int_type;

    // Characters kept in front of each refill so that unget works across refills.
    static constexpr std::size_t kPutBackSize = 4;

    basic_unbzip2_streambuf(std::istream& source, int verbosity, bool small,
                            std::size_t outputBufferSize, std::size_t inputBufferSize);
    ~basic_unbzip2_streambuf() override;
    basic_unbzip2_streambuf(const basic_unbzip2_streambuf&) = delete;
    basic_unbzip2_streambuf& operator=(const basic_unbzip2_streambuf&) = delete;

    // The last result of libbz2 (BZ_OK, BZ_STREAM_END or an error).
    int last_result() const { return lastResult; }
    // True once the compressed stream has ended whole. Damage inside a block shows only at the
    // block's end, after its characters went out: a reader that must not take damaged data
    // checks this once it has read to the end.
    bool ended() const;

protected:
    int_type underflow() override;

private:
    struct State;
    // Decompresses into [start, start + room); the number of characters produced.
    std::size_t Fill(CharT* start, std::size_t room);

    std::istream& source;
    std::unique_ptr<State> state;
    std::vector<CharT> outputBuffer;
    std::vector<char> inputBuffer;
    int lastResult = 0;
};

template <class CharT, class Traits = std::char_traits<CharT>>
class basic_bzip2_istreambase : virtual public std::basic_ios<CharT, Traits> {
public:
    basic_bzip2_istreambase(std::istream& source, int verbosity, bool small,
                            std::size_t outputBufferSize, std::size_t inputBufferSize)
        : buffer(source, verbosity, small, outputBufferSize, inputBufferSize) {
        this->init(&buffer);
    }

    basic_unbzip2_streambuf<CharT, Traits>* rdbuf() { return &buffer; }

private:
    basic_unbzip2_streambuf<CharT, Traits> buffer;
};

template <class CharT, class Traits = std::char_traits<CharT>>
class basic_bzip2_istream : public basic_bzip2_istreambase<CharT, Traits>,
                            public std::basic_istream<CharT, Traits> {
public:
    static constexpr std::size_t kDefaultBufferSize = 1024;

    explicit basic_bzip2_istream(std::istream& source, int verbosity = 0, bool small = false,
                                 std::size_t outputBufferSize = kDefaultBufferSize,
                                 std::size_t inputBufferSize = kDefaultBufferSize)
        : basic_bzip2_istreambase<CharT, Traits>(source, verbosity, small, outputBufferSize,
                                                 inputBufferSize),
          std::basic_istream<CharT, Traits>(this->rdbuf()) {}
};

using bzip2_istream = basic_bzip2_istream<char>;

extern template class basic_unbzip2_streambuf<char>;

} // namespace bzip2_stream

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The AES block cipher (FIPS-197) with a 128-bit key, one 16-byte block at a time. Modes,
// padding and text encodings are the caller's.
class Aes128 {
public:
    static constexpr std::size_t kKeySize = 16;
    static constexpr std::size_t kBlockSize = 16;

    Aes128();
    ~Aes128();
    Aes128(const Aes128&) = delete;
    Aes128& operator=(const Aes128&) = delete;

    // False when the cipher cannot be set up (memory); the blocks then fail too.
    bool SetKey(const uint8_t (&key)[kKeySize]);

    bool EncryptBlock(const uint8_t* in, uint8_t* out);
    bool DecryptBlock(const uint8_t* in, uint8_t* out);

private:
    struct Contexts;
    std::unique_ptr<Contexts> contexts;
};

#include "platform/net/Aes128.h"

#include <openssl/evp.h>

struct Aes128::Contexts {
    EVP_CIPHER_CTX* encrypt = nullptr;
    EVP_CIPHER_CTX* decrypt = nullptr;
    bool keyed = false;

    ~Contexts() {
        EVP_CIPHER_CTX_free(encrypt);
        EVP_CIPHER_CTX_free(decrypt);
    }
};

Aes128::Aes128() : contexts(std::make_unique<Contexts>()) {}

Aes128::~Aes128() = default;

bool Aes128::SetKey(const uint8_t (&key)[kKeySize]) {
    contexts->keyed = false;
    if (contexts->encrypt == nullptr) {
        contexts->encrypt = EVP_CIPHER_CTX_new();
    }
    if (contexts->decrypt == nullptr) {
        contexts->decrypt = EVP_CIPHER_CTX_new();
    }
    if (contexts->encrypt == nullptr || contexts->decrypt == nullptr) {
        return false;
    }
    // The electronic-codebook mode of the library is the bare block cipher once padding is
    // off: each update of one block gives that block back enciphered.
    contexts->keyed =
        EVP_EncryptInit_ex(contexts->encrypt, EVP_aes_128_ecb(), nullptr, key, nullptr) == 1 &&
        EVP_CIPHER_CTX_set_padding(contexts->encrypt, 0) == 1 &&
        EVP_DecryptInit_ex(contexts->decrypt, EVP_aes_128_ecb(), nullptr, key, nullptr) == 1 &&
        EVP_CIPHER_CTX_set_padding(contexts->decrypt, 0) == 1;
    return contexts->keyed;
}

bool Aes128::EncryptBlock(const uint8_t* in, uint8_t* out) {
    int length = 0;
    return contexts->keyed &&
           EVP_EncryptUpdate(contexts->encrypt, out, &length, in, kBlockSize) == 1 &&
           length == static_cast<int>(kBlockSize);
}

bool Aes128::DecryptBlock(const uint8_t* in, uint8_t* out) {
    int length = 0;
    return contexts->keyed &&
           EVP_DecryptUpdate(contexts->decrypt, out, &length, in, kBlockSize) == 1 &&
           length == static_cast<int>(kBlockSize);
}

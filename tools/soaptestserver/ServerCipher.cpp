#include "tools/soaptestserver/ServerCipher.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::size_t kBlock = 16;

std::string RunCipher(bool encrypt, std::string_view key, std::string_view input) {
    if (key.size() != 16 || input.size() % kBlock != 0) {
        throw std::invalid_argument("the server cipher needs a 16-byte key and whole blocks");
    }
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(
        EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.data());
    if (!context ||
        EVP_CipherInit_ex(context.get(), EVP_aes_128_ecb(), nullptr, keyBytes, nullptr,
                          encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1) {
        throw std::runtime_error("the server cipher cannot start");
    }
    std::vector<unsigned char> output(input.size() + kBlock);
    int length = 0;
    int last = 0;
    if (EVP_CipherUpdate(context.get(), output.data(), &length,
                         reinterpret_cast<const unsigned char*>(input.data()),
                         static_cast<int>(input.size())) != 1 ||
        EVP_CipherFinal_ex(context.get(), output.data() + length, &last) != 1) {
        throw std::runtime_error("the server cipher failed");
    }
    return std::string(reinterpret_cast<const char*>(output.data()),
                       static_cast<std::size_t>(length + last));
}

} // namespace

std::string ServerEncrypt(std::string_view key, std::string_view text) {
    std::string padded(text);
    padded.resize((text.size() + kBlock - 1) / kBlock * kBlock, '\0');
    return RunCipher(true, key, padded);
}

std::string ServerDecrypt(std::string_view key, std::string_view cipherText) {
    return RunCipher(false, key, cipherText);
}

std::string ServerHex(std::string_view bytes, bool lowerCase) {
    const char* digits = lowerCase ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += digits[byte / 16];
        hex += digits[byte % 16];
    }
    return hex;
}

std::optional<std::string> ServerUnhex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto value = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = value(hex[i]);
        const int low = value(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::string ServerEncryptToHex(std::string_view key, std::string_view text, bool lowerCase) {
    return ServerHex(ServerEncrypt(key, text), lowerCase);
}

std::optional<std::string> ServerDecryptHex(std::string_view key, std::string_view hex) {
    const std::optional<std::string> bytes = ServerUnhex(hex);
    if (!bytes || bytes->empty() || bytes->size() % kBlock != 0 || key.size() != 16) {
        return std::nullopt;
    }
    std::string plain = ServerDecrypt(key, *bytes);
    plain.resize(plain.find('\0') == std::string::npos ? plain.size() : plain.find('\0'));
    return plain;
}

#pragma once

#include <optional>
#include <string>
#include <string_view>

// The test server's own AES-128-ECB with zero padding and hex, written apart from the library's
// codec (one call of the cipher over the whole buffer, its own hex), so that a fault shared by
// both ends cannot pass unseen.

// The cipher text of the text zero-padded to whole blocks; the key must be 16 bytes.
std::string ServerEncrypt(std::string_view key, std::string_view text);
// The plain bytes of whole blocks of cipher text (no padding removed).
std::string ServerDecrypt(std::string_view key, std::string_view cipherText);

std::string ServerHex(std::string_view bytes, bool lowerCase = false);
// Strict: upper-case digits in pairs only.
std::optional<std::string> ServerUnhex(std::string_view hex);

// The hex of the encrypted text, as the services send payloads.
std::string ServerEncryptToHex(std::string_view key, std::string_view text, bool lowerCase = false);
// The text of an upper-case hex payload of whole blocks, up to its first zero byte; nothing
// when the hex is not that.
std::optional<std::string> ServerDecryptHex(std::string_view key, std::string_view hex);

#pragma once

#include "platform/com/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

// Builds the request documents and encrypts and decrypts payloads: AES-128 in ECB mode keyed by
// the 16 bytes of the certificate, zero padding, the cipher text as upper-case hex. The codec
// keeps no key: every call is given its own.
class RequestCodec {
public:
    // E_INVALIDARG (`out` left alone) when the key is not 16 bytes or the text is empty; E_FAIL
    // when the cipher fails. The text is padded with zero bytes to whole blocks (a text of whole
    // blocks gets no extra block).
    HRESULT EncryptPayload(std::string_view key, std::string_view text, std::string& out) const;

    // E_INVALIDARG (`out` left alone) when the key is not 16 bytes or the hex is empty. The hex
    // is read leniently, two characters a byte: a character other than "0"-"9" and "A"-"F"
    // (lower-case letters too) ends its byte with the value read so far, an odd last character
    // is a byte of its own, and missing bytes of the last block count as zero. The plain text
    // ends at its first zero byte.
    HRESULT DecryptPayload(std::string_view key, std::string_view hex, std::string& out) const;

    // The outer documents; an encryption failure leaves their "data" empty.
    std::string BuildGetListRequest(std::string_view certificate, int32_t game, int32_t count,
                                    std::string_view login, std::string_view password) const;
    std::string BuildReportRequest(std::string_view certificate, int32_t game, int32_t gameMode,
                                   std::string_view name, int64_t score,
                                   std::string_view scoreDescription, std::string_view login,
                                   std::string_view password) const;
    std::string BuildDownloadRequest(std::string_view certificate, int32_t game, int32_t number,
                                     std::string_view login, std::string_view password) const;

private:
    std::string Envelope(std::string_view certificate, int32_t game,
                         const std::string& inner) const;
};

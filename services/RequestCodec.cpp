#include "services/RequestCodec.h"

#include "platform/net/Aes128.h"
#include "services/Guarded.h"
#include "services/RequestDocuments.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kBlock = Aes128::kBlockSize;

bool SetKey(Aes128& cipher, std::string_view key) {
    uint8_t bytes[Aes128::kKeySize];
    std::memcpy(bytes, key.data(), sizeof bytes);
    return cipher.SetKey(bytes);
}

// The value of an upper-case hex digit; -1 for anything else.
int UpperHexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

HRESULT RequestCodec::EncryptPayload(std::string_view key, std::string_view text,
                                     std::string& out) const {
    if (key.size() != Aes128::kKeySize || text.empty()) {
        return E_INVALIDARG;
    }
    return Guarded(E_FAIL, [&] {
        Aes128 cipher;
        if (!SetKey(cipher, key)) {
            return E_FAIL;
        }
        const std::size_t length = (text.size() + kBlock - 1) / kBlock * kBlock;
        std::vector<uint8_t> plain(length, 0);
        std::copy(text.begin(), text.end(), plain.begin());
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        hex.reserve(length * 2);
        uint8_t block[kBlock];
        for (std::size_t offset = 0; offset < length; offset += kBlock) {
            if (!cipher.EncryptBlock(plain.data() + offset, block)) {
                return E_FAIL;
            }
            for (const uint8_t byte : block) {
                hex += digits[byte >> 4];
                hex += digits[byte & 15];
            }
        }
        out = std::move(hex);
        return S_OK;
    });
}

HRESULT RequestCodec::DecryptPayload(std::string_view key, std::string_view hex,
                                     std::string& out) const {
    if (key.size() != Aes128::kKeySize || hex.empty()) {
        return E_INVALIDARG;
    }
    return Guarded(E_FAIL, [&] {
        const std::size_t count = (hex.size() + 1) / 2;
        const std::size_t length = (count + kBlock - 1) / kBlock * kBlock;
        std::vector<uint8_t> cipherText(length, 0);
        for (std::size_t i = 0; i < count; ++i) {
            int value = 0;
            for (std::size_t k = 2 * i; k < 2 * i + 2 && k < hex.size(); ++k) {
                const int digit = UpperHexDigit(hex[k]);
                if (digit < 0) {
                    break;
                }
                value = value * 16 + digit;
            }
            cipherText[i] = static_cast<uint8_t>(value);
        }
        Aes128 cipher;
        if (!SetKey(cipher, key)) {
            return E_FAIL;
        }
        // One byte more than the blocks, and zero: the text always ends.
        std::vector<uint8_t> plain(length + 1, 0);
        for (std::size_t offset = 0; offset < length; offset += kBlock) {
            if (!cipher.DecryptBlock(cipherText.data() + offset, plain.data() + offset)) {
                return E_FAIL;
            }
        }
        out.assign(reinterpret_cast<const char*>(plain.data()));
        return S_OK;
    });
}

std::string RequestCodec::Envelope(std::string_view certificate, int32_t game,
                                   const std::string& inner) const {
    RequestEnvelope envelope;
    envelope.game = game;
    if (EncryptPayload(certificate, inner, envelope.data) != S_OK) {
        envelope.data.clear();
    }
    return envelope.Text();
}

std::string RequestCodec::BuildGetListRequest(std::string_view certificate, int32_t game,
                                              int32_t count, std::string_view login,
                                              std::string_view password) const {
    const GetListRequest request{game, count, std::string(login), std::string(password)};
    return Envelope(certificate, game, request.Text());
}

std::string RequestCodec::BuildReportRequest(std::string_view certificate, int32_t game,
                                             int32_t gameMode, std::string_view name, int64_t score,
                                             std::string_view scoreDescription,
                                             std::string_view login,
                                             std::string_view password) const {
    const ReportRequest request{game,
                                gameMode,
                                std::string(name),
                                score,
                                std::string(scoreDescription),
                                std::string(login),
                                std::string(password)};
    return Envelope(certificate, game, request.Text());
}

std::string RequestCodec::BuildDownloadRequest(std::string_view certificate, int32_t game,
                                               int32_t number, std::string_view login,
                                               std::string_view password) const {
    const DownloadRequest request{game, number, std::string(login), std::string(password)};
    return Envelope(certificate, game, request.Text());
}

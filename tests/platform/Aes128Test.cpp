#include "platform/net/Aes128.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

struct KnownAnswer {
    const char* source;
    const char* key;
    const char* plain;
    const char* cipher;
};

// FIPS-197 (appendix B and C.1) and SP 800-38A (F.1.1, ECB-AES128, its four blocks).
const KnownAnswer kKnownAnswers[] = {
    {"FIPS-197 B", "2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
     "3925841d02dc09fbdc118597196a0b32"},
    {"FIPS-197 C.1", "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
     "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"SP 800-38A block 1", "2b7e151628aed2a6abf7158809cf4f3c", "6bc1bee22e409f96e93d7e117393172a",
     "3ad77bb40d7a3660a89ecaf32466ef97"},
    {"SP 800-38A block 2", "2b7e151628aed2a6abf7158809cf4f3c", "ae2d8a571e03ac9c9eb76fac45af8e51",
     "f5d3d58503b9699de785895a96fdbaaf"},
    {"SP 800-38A block 3", "2b7e151628aed2a6abf7158809cf4f3c", "30c81c46a35ce411e5fbc1191a0a52ef",
     "43b1cd7f598ece23881b00e3ed030688"},
    {"SP 800-38A block 4", "2b7e151628aed2a6abf7158809cf4f3c", "f69f2445df4f9b17ad2b417be66c3710",
     "7b0c785e27e8ad3f8223207104725dd4"},
};

TEST(Aes128Test, EnciphersTheKnownAnswers) {
    for (const KnownAnswer& known : kKnownAnswers) {
        Aes128 cipher;
        uint8_t key[Aes128::kKeySize];
        const std::vector<uint8_t> keyBytes = Bytes(known.key);
        std::copy(keyBytes.begin(), keyBytes.end(), key);
        ASSERT_TRUE(cipher.SetKey(key));
        uint8_t out[Aes128::kBlockSize];
        ASSERT_TRUE(cipher.EncryptBlock(Bytes(known.plain).data(), out));
        EXPECT_EQ(std::vector<uint8_t>(out, out + 16), Bytes(known.cipher)) << known.source;
        ASSERT_TRUE(cipher.DecryptBlock(Bytes(known.cipher).data(), out));
        EXPECT_EQ(std::vector<uint8_t>(out, out + 16), Bytes(known.plain)) << known.source;
    }
}

TEST(Aes128Test, EveryBlockStandsAloneWhateverCameBefore) {
    // The four blocks of the ECB vector enciphered in another order still give their answers.
    Aes128 cipher;
    uint8_t key[Aes128::kKeySize];
    const std::vector<uint8_t> keyBytes = Bytes("2b7e151628aed2a6abf7158809cf4f3c");
    std::copy(keyBytes.begin(), keyBytes.end(), key);
    ASSERT_TRUE(cipher.SetKey(key));
    for (int i : {3, 1, 2, 1, 0, 3}) {
        const KnownAnswer& known = kKnownAnswers[2 + i];
        uint8_t out[16];
        ASSERT_TRUE(cipher.EncryptBlock(Bytes(known.plain).data(), out));
        EXPECT_EQ(std::vector<uint8_t>(out, out + 16), Bytes(known.cipher)) << known.source;
    }
}

TEST(Aes128Test, RefusesToWorkWithoutAKey) {
    Aes128 cipher;
    uint8_t block[16] = {};
    uint8_t out[16];
    EXPECT_FALSE(cipher.EncryptBlock(block, out));
    EXPECT_FALSE(cipher.DecryptBlock(block, out));
}

} // namespace

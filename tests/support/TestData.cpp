#include "tests/support/TestData.h"

#include <random>

std::string Words(std::size_t size, uint32_t seed) {
    static const char* const words[] = {"lantern", "key",  "map",     "owl", "chest",
                                        "scroll",  "moss", "feather", "cog", "bell"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) {
        text += words[random() % 10];
        text += random() % 8 == 0 ? '\n' : ' ';
    }
    text.resize(size);
    return text;
}

std::string RandomBytes(std::size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

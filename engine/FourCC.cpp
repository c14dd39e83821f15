#include "engine/FourCC.h"

std::string FourCCText(uint32_t id) {
    unsigned char bytes[4];
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(id >> (24 - 8 * i));
    }
    int length = 4;
    while (length > 0 && bytes[length - 1] == 0) {
        --length;
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = bytes[i];
        if (c >= 0x20 && c < 0x7f) {
            text += static_cast<char>(c);
        } else {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
    }
    return text;
}

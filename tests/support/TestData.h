#pragma once

#include "engine/Exception.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Text of pseudo-random words: compresses, but not to nothing.
std::string Words(std::size_t size, uint32_t seed);

// Bytes of a seeded pseudo-random sequence.
std::string RandomBytes(std::size_t size, uint32_t seed);

// The text of the Exception that the call throws; fails the test when it throws none.
template <typename Call>
std::string ErrorOf(Call call) {
    try {
        call();
    } catch (const Exception& error) {
        return error.Text();
    }
    ADD_FAILURE() << "no error";
    return {};
}

#pragma once

#include "tests/game/ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// A picture the program took against its reference picture in the tests' reference folder, at
// the program runs' one tolerance. A missing reference gets the picture beside the test binary,
// as "new_<reference>", to be looked at and added.
inline void ExpectLooksLikeReference(const std::string& taken, const std::string& reference) {
    namespace fs = std::filesystem;
    const std::string path = std::string(ORVEX_TEST_REFERENCES) + "/" + reference;
    if (!fs::exists(path)) {
        fs::copy_file(taken, "new_" + reference, fs::copy_options::overwrite_existing);
        ADD_FAILURE() << reference << " has no reference picture yet: see new_" << reference;
        return;
    }
    const PictureDifference difference = ComparePictures(ReadPicture(taken), ReadPicture(path));
    ASSERT_TRUE(difference.sameSize) << reference;
    EXPECT_LT(difference.meanChannelDifference, 2.0) << reference;
    EXPECT_LT(difference.shareOfDifferentPixels, 0.005) << reference;
}

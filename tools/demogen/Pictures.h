#pragma once

#include "tools/demogen/FontPages.h"

#include <string>

// The fonts that the pictures take their titles from.
struct TitleFonts {
    FontStyle title;
    FontStyle subtitle;
};

// Every picture of the demo, written under the game-data folder out.
void WriteMenuPictures(const std::string& out, const TitleFonts& fonts);
void WriteInterfacePictures(const std::string& out, const TitleFonts& fonts);
void WriteLocationPictures(const std::string& out);
void WriteObjectPictures(const std::string& out);

#include "platform/os/Letterbox.h"

#include <algorithm>
#include <cmath>

PixelRect LetterboxRect(int outerWidth, int outerHeight, int pictureWidth, int pictureHeight) {
    if (outerWidth <= 0 || outerHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return {};
    }
    const double scale = std::min(static_cast<double>(outerWidth) / pictureWidth,
                                  static_cast<double>(outerHeight) / pictureHeight);
    const int width = std::min(outerWidth, static_cast<int>(std::lround(pictureWidth * scale)));
    const int height = std::min(outerHeight, static_cast<int>(std::lround(pictureHeight * scale)));
    return {(outerWidth - width) / 2, (outerHeight - height) / 2, width, height};
}

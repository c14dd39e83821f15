#pragma once

// A rectangle of whole pixels, x and y its top-left corner.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

// Where a picture of the given size goes inside an outer area: as large as fits with its shape
// kept, centred, the rest left as bars. An empty area or picture gives an empty rectangle.
PixelRect LetterboxRect(int outerWidth, int outerHeight, int pictureWidth, int pictureHeight);

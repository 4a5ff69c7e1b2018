#pragma once
// What the picture browser shows about a file before decoding it, read from the few header
// bytes that hold it.
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace tavrin {

struct PictureFacts {
    bool valid = false;
    std::string type;         // "Bitmap (True Color)", "JPEG file (Greyscale)", ...
    std::uintmax_t size = 0;  // bytes
    std::time_t modified = 0;
    int bits = 0;             // bits per pixel (BMP) or components x 8 (JPEG)
    int width = 0, height = 0;
    int largerSide = 0;       // JPEG: picks the decoding scale for the preview
};

// By the upper-cased extension: .BMP, .JPG and .JPEG, .PNG; anything else is not valid.
PictureFacts readPictureFacts(const std::filesystem::path& path);
PictureFacts readBmpFacts(const std::filesystem::path& path);
PictureFacts readJpegFacts(const std::filesystem::path& path);
// Bits are the sample depth times the channels (alpha counted).
PictureFacts readPngFacts(const std::filesystem::path& path);

// Where the browser shows a picture of w x h in a preview area of areaWidth x areaHeight:
// a picture larger than the area in either direction is scaled so that its longer side
// fills the area's matching side (only that side is fitted), a smaller one keeps its size;
// either way it is centred (left and top may be negative).
struct PreviewPlacement {
    int left = 0, top = 0, width = 0, height = 0;
    bool scaled = false;
};
PreviewPlacement placePreview(int width, int height, int areaWidth, int areaHeight);

// The JPEG decoding scale (1, 2, 4 or 8) for a picture whose larger side is largerSide,
// shown in a preview area previewWidth pixels wide.
int previewScaleDenominator(int largerSide, int previewWidth);

}  // namespace tavrin

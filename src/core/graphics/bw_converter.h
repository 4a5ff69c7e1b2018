#pragma once
// The colour to black and white conversion: the colour preview at the target size (scaled,
// turned, channel-weighted) and its reduction to black and white dots by threshold or by
// serpentine error diffusion.
#include <array>
#include <cstdint>

#include "common/result.h"
#include "graphics/source_picture.h"
#include "render/bitmap.h"

namespace tavrin {

// Pictures of this many render pixels or more are converted only on request.
inline constexpr long kLargePicturePixels = 250000;
inline constexpr int kMinRenderSide = 4;
inline constexpr int kMaxTargetSide = 9999;

// The controls of the converter; these values are what a freshly loaded picture gets
// (the window resets the contrast to 128 on load).
struct ConvertSettings {
    int width = 0, height = 0;  // target size in printer dots
    int rotation = 0;           // 0 none, 1 90, 2 180, 3 270 degrees clockwise
    int brightness = 0;         // -100..100
    int contrast = 128;         // 0..250, hundredths of the curve
    int red = 16, green = 16, blue = 16;  // 0..32, sixteenths
    bool threshold = false;     // plain 50 % threshold instead of error diffusion
    bool smooth = false;        // shrinking averages the source pixels each dot covers
};

// Offsets by grey level: darker below the middle, lighter above.
extern const std::array<std::int8_t, 256> kContrastCurve;

int renderWidth(const ConvertSettings& s);
int renderHeight(const ConvertSettings& s);
bool isLargePicture(const ConvertSettings& s);

// The source turned 90 degrees clockwise: pixel (x, y) goes to (height - 1 - y, x).
SourcePicture MakeRotatedSource(const SourcePicture& source);

// The colour preview: the picture (rotated as asked) stretched to the render size, then the
// channel weights applied. Nearest neighbour: target column t takes the picture's column
// t x picture width div render width (rows alike). With smooth, a shrunk side instead
// averages the picture's columns from that one up to where the next target's begin.
SourcePicture RenderPreview(const SourcePicture& source, const SourcePicture& rotated, const ConvertSettings& s);

// The grey level of one preview pixel after brightness and contrast.
int greyLevel(std::uint32_t pixel, int brightness, int contrast);

// The black and white image of the preview (a 0 bit, ink, is a black dot).
Bitmap ConvertToBW(const SourcePicture& preview, const ConvertSettings& s);

// Cuts a rectangle given by two corners in either order out of the preview; clamped to it.
// Nothing when it is narrower or lower than 4 pixels ("Too small selected area").
std::optional<SourcePicture> CutPicture(const SourcePicture& preview, int x0, int y0, int x1, int y1);

// W and H after choosing a rotation: switching between an even and an odd index swaps them.
void applyRotation(ConvertSettings& s, int rotation);
// The other side kept in proportion to the picture (the rotated one for 90 and 270 degrees).
int heightForWidth(const SourcePicture& picture, int width);
int widthForHeight(const SourcePicture& picture, int height);

// A monochrome BMP (palette black, then white) of the image, and the file written so that a
// failed save leaves the old file (or none) in place.
std::vector<std::uint8_t> encodeMonochromeBmp(const Bitmap& image);
Result saveMonochromeBmp(const std::filesystem::path& path, const Bitmap& image);

}  // namespace tavrin

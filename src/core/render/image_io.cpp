#include "render/image_io.h"

#include <png.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "document/safe_file.h"

namespace tavrin {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Result failure(std::string message, FailureKind kind = FailureKind::CannotRead) {
    return Result::failure(kind, std::move(message));
}

// libpng reports errors by longjmp; everything it touches below is plain data, so leaving
// a function that way is safe as long as no C++ object with a destructor is created between
// setjmp and the last libpng call.
void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarning(png_structp, png_const_charp) {}

Result cannotEncode(const std::filesystem::path& path) {
    return Result::failure(FailureKind::CannotWrite, "cannot make the PNG image for " + path.string());
}

// libpng's output: appended to the vector it was given. Running out of memory ends the
// encoding the way libpng's own errors do.
void appendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bool grown = true;
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        grown = false;  // the jump is taken outside the handler, which must end first
    }
    if (!grown) png_error(png, "out of memory");
}
void flushNothing(png_structp) {}

Result writePngRows(const std::filesystem::path& path, int width, int height, int bitDepth, int colourType,
                           const std::vector<png_bytep>& rows) {
    std::vector<std::uint8_t> encoded;  // before setjmp: a longjmp must skip no destructor
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr) return cannotEncode(path);
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return cannotEncode(path);
    }
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &encoded, appendPngBytes, flushNothing);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth,
                     colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, const_cast<png_bytepp>(rows.data()));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    if (!ok) return cannotEncode(path);
    // Made in memory, then the file is replaced whole, as every file is written.
    return replaceFileContents(path, encoded);
}

Result writeBytes(const std::filesystem::path& path, const std::string& header,
                         const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return replaceFileContents(path, bytes);
}

}  // namespace

Result writePng(const std::filesystem::path& path, const Bitmap& image) {
    if (image.width() <= 0 || image.height() <= 0) return failure("empty image", FailureKind::Invalid);
    // PNG's 1-bit greyscale has 0 black and 1 white, MSB first: the bitmap's own rows.
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.row(y));
    return writePngRows(path, image.width(), image.height(), 1, PNG_COLOR_TYPE_GRAY, rows);
}

Result writePng(const std::filesystem::path& path, const ScreenImage& image) {
    if (image.width() <= 0 || image.height() <= 0) return failure("empty image", FailureKind::Invalid);
    const auto w = static_cast<std::size_t>(image.width());
    std::vector<std::uint8_t> rgb(w * 3 * static_cast<std::size_t>(image.height()));
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    for (std::size_t i = 0; i < image.pixels().size(); ++i) {
        const std::uint32_t p = image.pixels()[i];
        rgb[i * 3] = static_cast<std::uint8_t>(p >> 16);
        rgb[i * 3 + 1] = static_cast<std::uint8_t>(p >> 8);
        rgb[i * 3 + 2] = static_cast<std::uint8_t>(p);
    }
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = rgb.data() + y * w * 3;
    return writePngRows(path, image.width(), image.height(), 8, PNG_COLOR_TYPE_RGB, rows);
}

Result writePbm(const std::filesystem::path& path, const Bitmap& image) {
    // A label of width or length 0 has nothing to show; the formats allow 0 x 0, but a viewer
    // would show nothing and the caller would believe the render worked.
    if (image.width() <= 0 || image.height() <= 0) return failure("empty image", FailureKind::Invalid);
    const auto rowBytes = static_cast<std::size_t>((image.width() + 7) / 8);
    std::vector<std::uint8_t> body(rowBytes * static_cast<std::size_t>(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* r = image.row(y);
        for (std::size_t b = 0; b < rowBytes; ++b)
            body[static_cast<std::size_t>(y) * rowBytes + b] = static_cast<std::uint8_t>(~r[b]);
        // Padding bits after the last dot are written as 0, as the format asks.
        if (const int rest = image.width() % 8; rest != 0)
            body[static_cast<std::size_t>(y) * rowBytes + rowBytes - 1] &= static_cast<std::uint8_t>(0xFF << (8 - rest));
    }
    return writeBytes(path, "P4\n" + std::to_string(image.width()) + " " + std::to_string(image.height()) + "\n",
                      body);
}

Result writePpm(const std::filesystem::path& path, const ScreenImage& image) {
    if (image.width() <= 0 || image.height() <= 0) return failure("empty image", FailureKind::Invalid);
    std::vector<std::uint8_t> body(image.pixels().size() * 3);
    for (std::size_t i = 0; i < image.pixels().size(); ++i) {
        const std::uint32_t p = image.pixels()[i];
        body[i * 3] = static_cast<std::uint8_t>(p >> 16);
        body[i * 3 + 1] = static_cast<std::uint8_t>(p >> 8);
        body[i * 3 + 2] = static_cast<std::uint8_t>(p);
    }
    return writeBytes(path,
                      "P6\n" + std::to_string(image.width()) + " " + std::to_string(image.height()) + "\n255\n",
                      body);
}

Result readPng(const std::filesystem::path& path, ScreenImage& image) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) return failure("cannot read " + path.string());
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr) return failure("cannot read " + path.string());
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return failure("cannot read " + path.string());
    }
    // Allocated before setjmp so that a longjmp never skips a destructor.
    std::vector<std::uint8_t> rgb;
    std::vector<png_bytep> rows;
    // Set between setjmp and a possible longjmp, so volatile (as the C standard asks).
    volatile png_uint_32 width = 0, height = 0;
    volatile bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file.get());
        png_read_info(png, info);
        width = png_get_image_width(png, info);
        height = png_get_image_height(png, info);
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_strip_alpha(png);
        png_set_gray_to_rgb(png);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) == static_cast<std::size_t>(width) * 3 && width <= 1u << 14 &&
            height <= 1u << 14) {
            rgb.resize(static_cast<std::size_t>(width) * 3 * height);
            rows.resize(height);
            for (png_uint_32 y = 0; y < height; ++y) rows[y] = rgb.data() + static_cast<std::size_t>(y) * width * 3;
            png_read_image(png, rows.data());
            png_read_end(png, nullptr);
            ok = true;
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return failure("not a readable PNG: " + path.string(), FailureKind::Damaged);
    image = ScreenImage(static_cast<int>(width), static_cast<int>(height));
    for (png_uint_32 y = 0; y < height; ++y)
        for (png_uint_32 x = 0; x < width; ++x) {
            const std::uint8_t* p = rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            image.setPixel(static_cast<int>(x), static_cast<int>(y),
                           (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2]);
        }
    return Result::success();
}

Result readPbm(const std::filesystem::path& path, Bitmap& image) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return failure("cannot read " + path.string());
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t pos = 0;
    const auto skipSpace = [&] {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
            } else if (std::isspace(static_cast<unsigned char>(bytes[pos]))) {
                ++pos;
            } else {
                break;
            }
        }
    };
    const auto number = [&]() -> long {
        skipSpace();
        long value = -1;
        while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos])) && value < 100000)
            value = (value < 0 ? 0 : value * 10) + (bytes[pos++] - '0');
        return value;
    };
    const auto bad = failure("not a readable PBM: " + path.string(), FailureKind::Damaged);
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '1' && bytes[1] != '4')) return bad;
    const bool raw = bytes[1] == '4';
    pos = 2;
    const long width = number(), height = number();
    if (width <= 0 || height <= 0 || width > 1 << 14 || height > 1 << 14) return bad;
    Bitmap result(static_cast<int>(width), static_cast<int>(height));
    if (raw) {
        ++pos;  // the single white-space character after the height
        const auto rowBytes = static_cast<std::size_t>((width + 7) / 8);
        if (bytes.size() < pos + rowBytes * static_cast<std::size_t>(height)) return bad;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto byte = static_cast<std::uint8_t>(bytes[pos + static_cast<std::size_t>(y) * rowBytes +
                                                                  static_cast<std::size_t>(x / 8)]);
                result.setDot(x, y, (byte & (0x80 >> (x % 8))) != 0);
            }
    } else {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                skipSpace();
                if (pos >= bytes.size() || (bytes[pos] != '0' && bytes[pos] != '1')) return bad;
                result.setDot(x, y, bytes[pos++] == '1');
            }
    }
    image = std::move(result);
    return Result::success();
}

Bitmap toOneBit(const ScreenImage& image) {
    Bitmap result(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.pixel(x, y);
            const unsigned luminance = (299 * ((p >> 16) & 0xFF) + 587 * ((p >> 8) & 0xFF) + 114 * (p & 0xFF)) / 1000;
            if (luminance < 128) result.setDot(x, y, true);
        }
    return result;
}

}  // namespace tavrin

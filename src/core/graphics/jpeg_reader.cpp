// JPEG pictures through libjpeg(-turbo): baseline and progressive, colour and greyscale,
// and CMYK/YCCK as Adobe writes them (inverted). A damaged or cut stream is refused.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "graphics/source_picture.h"

namespace tavrin {
namespace {

struct ErrorTrap {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

// A warning about data that ran out means the picture is incomplete: refuse it rather than
// convert a half-grey picture. Other warnings (stray bytes between markers) are harmless.
void onMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) onError(info);
}

// Everything that touches libjpeg, with only plain locals, so the jump back on an error
// passes no destructor.
bool decode(std::span<const std::uint8_t> file, SourcePicture& picture, int scaleDenominator) {
    jpeg_decompress_struct info{};
    ErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = onError;
    trap.manager.emit_message = onMessage;
    JSAMPROW row = nullptr;
    if (setjmp(trap.jump)) {
        delete[] row;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    if (!pictureSizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    if (cmyk) {
        info.out_color_space = JCS_CMYK;
    } else if (info.num_components == 1) {
        info.out_color_space = JCS_GRAYSCALE;
    } else {
        info.out_color_space = JCS_EXT_BGRX;
    }
    if (scaleDenominator > 1) {
        info.scale_num = 1;
        info.scale_denom = static_cast<unsigned>(scaleDenominator);
        info.dct_method = JDCT_IFAST;
    }
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
    picture.resize(width, height);
    row = new JSAMPLE[static_cast<std::size_t>(width) * 4];
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        std::uint32_t* out = picture.row(y);
        if (info.out_color_space == JCS_EXT_BGRX) {
            JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(out)};
            jpeg_read_scanlines(&info, rows, 1);
            for (int x = 0; x < width; ++x) out[x] &= 0xFFFFFF;
            continue;
        }
        jpeg_read_scanlines(&info, &row, 1);
        if (!cmyk) {
            for (int x = 0; x < width; ++x) out[x] = rgb(row[x], row[x], row[x]);
            continue;
        }
        // Adobe stores the inks inverted (0 = full ink); others store them plainly.
        const bool inverted = info.saw_Adobe_marker;
        for (int x = 0; x < width; ++x) {
            unsigned c = row[4 * x], m = row[4 * x + 1], ye = row[4 * x + 2], k = row[4 * x + 3];
            if (!inverted) c = 255 - c, m = 255 - m, ye = 255 - ye, k = 255 - k;
            out[x] = rgb((c * k + 127) / 255, (m * k + 127) / 255, (ye * k + 127) / 255);
        }
    }
    jpeg_finish_decompress(&info);
    delete[] row;
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

Result readJpegPicture(std::span<const std::uint8_t> file, SourcePicture& picture, int scaleDenominator) {
    picture = {};
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) return unreadablePicture();
    if (!decode(file, picture, scaleDenominator) || picture.empty()) {
        picture = {};
        return unreadablePicture();
    }
    return Result::success();
}

}  // namespace tavrin

#include "render/barcode_check.h"

#include <algorithm>
#include <cctype>

#include "document/figure_records.h"
#include "document/label_document.h"
#include "render/barcode/barcode.h"
#include "render/barcode_figure.h"
#include "render/text_data.h"

#ifdef TAVRIN_HAVE_ZXING
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#endif

namespace tavrin {

namespace {

using Family = barcode::BarcodeFamily;
using barcode::familyOf;

bool isMatrix(Family family) { return family == Family::QrCode || family == Family::DataMatrix || family == Family::Pdf417; }

// Plessey and Postnet have no reader here.
bool readable(Family family) { return family != Family::None && family != Family::Plessey && family != Family::Postnet; }

// The quiet zones the symbology's standard asks for, in narrow elements: before, after.
[[maybe_unused]] std::pair<int, int> quietZones(Family family, bool addOn) {
    int before = 10, after = 10;
    switch (family) {
        case Family::Ean13: before = 11, after = 7; break;
        case Family::UpcA: before = 9, after = 9; break;
        case Family::UpcE: before = 9, after = 7; break;
        case Family::Ean8: before = 7, after = 7; break;
        default: break;
    }
    if (addOn) after = 5;
    return {before, after};
}

constexpr std::string_view kCode39Set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// The standard full ASCII pair of a byte outside Code 39's own characters.
std::string code39Pair(unsigned char c) {
    if (kCode39Set.find(static_cast<char>(c)) != std::string_view::npos) return std::string(1, static_cast<char>(c));
    const auto pair = [](char shift, int letter) { return std::string{shift, static_cast<char>('A' + letter)}; };
    if (c == 0) return "%U";
    if (c <= 26) return pair('$', c - 1);
    if (c <= 31) return pair('%', c - 27);
    if (c >= '!' && c <= ',') return pair('/', c - '!');
    if (c == ':') return "/Z";
    if (c >= ';' && c <= '?') return pair('%', 5 + c - ';');
    if (c == '@') return "%V";
    if (c >= '[' && c <= '_') return pair('%', 10 + c - '[');
    if (c == '`') return "%W";
    if (c >= 'a' && c <= 'z') return pair('+', c - 'a');
    if (c >= '{' && c <= 127) return pair('%', 15 + c - '{');
    return {};
}

// Code 93's shift pairs (typed \ ] ^ _ for ($) (%) (/) (+)) as a reader decodes them.
std::string code93Reading(const std::string& data) {
    std::string out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        const std::size_t shift = std::string_view("\\]^_").find(c);
        if (shift == std::string_view::npos || i + 1 >= data.size()) {
            out += c;
            continue;
        }
        const char n = data[++i];
        switch (shift) {
            case 0: out += static_cast<char>(n - 64); break;
            case 1:
                if (n >= 'A' && n <= 'E') out += static_cast<char>(n - 38);
                else if (n >= 'F' && n <= 'J') out += static_cast<char>(n - 11);
                else if (n >= 'K' && n <= 'O') out += static_cast<char>(n + 16);
                else if (n >= 'P' && n <= 'T') out += static_cast<char>(n + 43);
                else if (n == 'U') out += '\0';
                else if (n == 'V') out += '@';
                else if (n == 'W') out += '`';
                else out += '\x7f';
                break;
            case 2: out += n == 'Z' ? ':' : static_cast<char>(n - 32); break;
            default: out += static_cast<char>(n + 32); break;
        }
    }
    return out;
}

// Modulo 10 with weights 3 and 1 from the right (GTIN, ITF).
char mod10Check(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i)
        sum += (digits[digits.size() - 1 - i] - '0') * (i % 2 == 0 ? 3 : 1);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// Weights 4 and 9 from the left (the German post's Leitcode and Identcode).
char germanPostCheck(std::string_view digits) {
    int sum = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 == 0 ? 4 : 9);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string digitsOf(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9') out += c;
    return out;
}

#ifdef TAVRIN_HAVE_ZXING
bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

ZXing::BarcodeFormats formatsOf(Family family) {
    using F = ZXing::BarcodeFormat;
    switch (family) {
        case Family::Code39: return F::Code39;
        case Family::Code93: return F::Code93;
        case Family::Code128: case Family::Gs1_128: case Family::Sscc: return F::Code128;
        case Family::Codabar: return F::Codabar;
        case Family::Ean8: return F::EAN8;
        case Family::Ean13: case Family::UpcA: return F::EAN13 | F::UPCA;
        case Family::UpcE: return F::UPCE;
        case Family::Interleaved: return F::ITF;
        case Family::QrCode: return F::QRCode;
        case Family::DataMatrix: return F::DataMatrix;
        case Family::Pdf417: return F::PDF417;
        default: return F::None;
    }
}

// The reading with a UPC-A result seen as the EAN-13 it also is.
std::string normalisedReading(std::string read, const std::string& expected) {
    const std::size_t mainEnd = read.find(' ');
    const std::size_t mainLength = mainEnd == std::string::npos ? read.size() : mainEnd;
    const std::size_t expectedEnd = expected.find(' ');
    const std::size_t expectedLength = expectedEnd == std::string::npos ? expected.size() : expectedEnd;
    if (mainLength == 12 && expectedLength == 13 && expected[0] == '0' && allDigits(read.substr(0, 12)))
        read.insert(0, "0");
    return read;
}
#endif

}  // namespace

std::string expectedBarcodeReading(int type, const std::string& data) {
    const Family family = familyOf(type);
    if (!readable(family)) return {};
    switch (family) {
        case Family::Code39: {
            std::string symbols;
            for (unsigned char c : data) symbols += code39Pair(c);
            if (type == barcode::kCode39WithCheck) {
                int sum = 0;
                for (char c : symbols) sum += static_cast<int>(kCode39Set.find(c));
                symbols += kCode39Set[static_cast<std::size_t>(sum % 43)];
            }
            return symbols;
        }
        case Family::Code93: return code93Reading(data);
        case Family::Code128: {
            // Bytes 0x80..0x9F stand for the control characters the data field cannot hold.
            std::string out = data;
            for (char& c : out)
                if (static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x9F)
                    c = static_cast<char>(static_cast<unsigned char>(c) - 0x80);
            return out;
        }
        case Family::Gs1_128: return data;
        case Family::QrCode: case Family::DataMatrix: case Family::Pdf417: {
            // A GS1 element string in brackets reads back as its digits and letters (PDF417
            // carries the brackets as they stand).
            if (data.empty() || data[0] != '[' || family == Family::Pdf417) return data;
            std::string out;
            for (char c : data)
                if (c != '[' && c != ']') out += c;
            return out;
        }
        case Family::Codabar: {
            std::string out = data;
            for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return out;
        }
        case Family::Interleaved: {
            std::string digits = digitsOf(data);
            if (type == barcode::kGermanPostalCode) digits += germanPostCheck(digits);
            else if (type != barcode::kInterleaved2of5) digits += mod10Check(digits);
            if (digits.size() % 2 != 0) digits.insert(0, "0");
            return digits;
        }
        default: break;
    }
    // EAN, UPC and SSCC: the digits as the printer lays them out from the data (padding,
    // an internal check digit), with the check digit worked out here.
    const barcode::BarcodeResult r = barcode::encodeBarcode({type, data, 2, 6});
    std::string digits = digitsOf(r.text);
    if (family == Family::Sscc || family == Family::Ean8 || family == Family::Ean13 || family == Family::UpcA) {
        if (!digits.empty()) digits.back() = mod10Check(std::string_view(digits).substr(0, digits.size() - 1));
    }
    // UPC-E is shown without its number system digit 0, which a scanner reports.
    if (family == Family::UpcE && digits.size() == 7) digits.insert(0, "0");
    if (r.addOnDigits > 0) digits += " " + r.addOnText;
    return digits;
}

bool barcodeCheckAvailable() {
#ifdef TAVRIN_HAVE_ZXING
    return true;
#else
    return false;
#endif
}

const char* barcodeStatusText(BarcodeReadStatus status) {
    switch (status) {
        case BarcodeReadStatus::ReadBack: return "read back";
        case BarcodeReadStatus::Wrong: return "wrong";
        case BarcodeReadStatus::Unreadable: return "unreadable";
        default: return "not checked";
    }
}

std::vector<BarcodeCheckResult> checkBarcodes(const LabelDocument& document, const RenderContext& context,
                                              const Bitmap& printImage) {
    std::vector<BarcodeCheckResult> results;
    [[maybe_unused]] const Bitmap& image = printImage;  // unread without a reader
    int index = -1;
    int barcodes = 0;
    for (const Figure& figure : document.figures) {
        ++index;
        if (figure.kind != FigureKind::Barcode) continue;
        const BarcodeRecord b = BarcodeRecord::decode(figure.record);
        BarcodeCheckResult result;
        result.figure = index;
        result.barcode = ++barcodes;
        result.type = b.type;
        result.symbology = barcode::symbology(b.type).name;
        std::string data;
        ExpandTextData(b.data, context, data);
        const barcode::BarcodeResult encoded = barcode::encodeBarcode({b.type, data, b.narrow, b.wide});

        // The area: the symbol with its quiet zones at each end (ink there is ink a scanner
        // sees), across the bars' height; turned with the figure.
        const int rotation = b.rotation >= 0 && b.rotation <= 3 ? b.rotation : 0;
        const Family family = familyOf(b.type);
        const int quiet = 12 * std::max(b.narrow, 1);
        int alongStart = -quiet;
        int alongEnd = encoded.totalLength + 16 * std::max(b.narrow, 1) + quiet;
        int acrossStart = 0;
        int acrossEnd = encoded.fixedHeight > 0 ? encoded.fixedHeight : std::max(b.height, 0);
        if (isMatrix(family)) {
            // The symbol and its own quiet zone, and a little more on every side.
            const int margin = 4 * std::max(b.narrow, 1);
            alongStart = acrossStart = -margin;
            alongEnd = encoded.barLength + margin;
            acrossEnd = encoded.acrossLength + margin;
        }
        const int anchorX = b.x + document.setup.leftMargin, anchorY = b.y + document.setup.topMargin;
        const auto point = [&](int along, int acrossAt, int& px, int& py) {
            switch (rotation) {
                case 1: px = anchorX - acrossAt; py = anchorY + along; break;
                case 2: px = anchorX - along; py = anchorY - acrossAt; break;
                case 3: px = anchorX + acrossAt; py = anchorY - along; break;
                default: px = anchorX + along; py = anchorY + acrossAt; break;
            }
        };
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        point(alongStart, acrossStart, x1, y1);
        point(alongEnd - 1, std::max(acrossEnd - 1, acrossStart), x2, y2);
        result.x = std::min(x1, x2), result.y = std::min(y1, y2);
        result.width = std::abs(x2 - x1) + 1, result.height = std::abs(y2 - y1) + 1;

        result.expected = expectedBarcodeReading(b.type, data);
        if (!barcodeCheckAvailable()) {
            result.note = "no barcode reader in this build";
            results.push_back(result);
            continue;
        }
        if (!readable(family)) {
            result.note = "the reader does not know " + result.symbology;
            results.push_back(result);
            continue;
        }
        if (family == Family::Interleaved && result.expected.size() < 6) {
            result.note = "too short for the reader to trust";
            results.push_back(result);
            continue;
        }
#ifdef TAVRIN_HAVE_ZXING
        const int width = alongEnd - alongStart, height = acrossEnd - acrossStart;
        if (width > 0 && height > 0) {
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 255);
            const int imageWidth = printImage.width(), imageHeight = printImage.height();
            for (int c = 0; c < height; ++c) {
                std::uint8_t* out = pixels.data() + static_cast<std::size_t>(c) * static_cast<std::size_t>(width);
                for (int a = 0; a < width; ++a) {
                    int px = 0, py = 0;
                    point(alongStart + a, acrossStart + c, px, py);
                    // Past the label's edge there is nothing printed.
                    if (px < 0 || py < 0 || px >= imageWidth || py >= imageHeight) continue;
                    const std::uint8_t byte = printImage.row(py)[px >> 3];
                    if ((byte & (0x80 >> (px & 7))) == 0) out[a] = 0;
                }
            }
            const auto hints = ZXing::DecodeHints()
                                   .setFormats(formatsOf(family))
                                   .setTryHarder(true)
                                   .setTryRotate(false)
                                   .setTryCode39ExtendedMode(false)
                                   .setReturnCodabarStartEnd(true)
                                   .setEanAddOnSymbol(encoded.addOnDigits > 0 ? ZXing::EanAddOnSymbol::Require
                                                                             : ZXing::EanAddOnSymbol::Ignore);
            const ZXing::Result read = ZXing::ReadBarcode({pixels.data(), width, height, ZXing::ImageFormat::Lum}, hints);
            // Ink where the symbol needs blank space on either side (a line or text too close):
            // a scanner does not find the symbol's ends, whatever this reader managed.
            int symbolStart = 0, bandTop = 0, bandBottom = height;
            if (encoded.layout != barcode::kLayoutNone && b.humanReadable != 0) {
                const barcode::EanCaption caption = barcode::layoutEanCaption(encoded, b.narrow, b.height);
                symbolStart = caption.symbolShift;
                bandBottom = std::min(height, caption.guardTop);
            }
            const auto [quietBefore, quietAfter] = quietZones(family, encoded.addOnDigits > 0);
            const int narrow = std::max(b.narrow, 1);
            const auto inkIn = [&](int from, int to, int top) {
                for (int c = top; c < bandBottom; ++c)
                    for (int a = std::max(from, alongStart); a < std::min(to, alongEnd); ++a)
                        if (pixels[static_cast<std::size_t>(c) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(a - alongStart)] == 0)
                            return true;
                return false;
            };
            const int symbolEnd = symbolStart + encoded.totalLength;
            const int afterTop = encoded.addOnDigits > 0 && b.humanReadable != 0
                                     ? std::min(bandBottom, barcode::layoutEanCaption(encoded, b.narrow, b.height).addOnBarDrop)
                                     : bandTop;
            const bool crowded = !isMatrix(family) && encoded.totalLength > 0 &&
                                 (inkIn(symbolStart - quietBefore * narrow, symbolStart, bandTop) ||
                                  inkIn(symbolEnd, symbolEnd + quietAfter * narrow, afterTop));
            // 2D symbols carry bytes; their text would be a guess at the character set.
            if (read.isValid() && isMatrix(family)) {
                // Group separators between GS1 fields are not part of what the data says.
                for (const auto byte : read.bytes())
                    if (byte != 0x1d) result.read += static_cast<char>(byte);
            } else if (read.isValid()) {
                result.read = normalisedReading(read.text(), result.expected);
            }
            if (!read.isValid() || crowded) result.status = BarcodeReadStatus::Unreadable;
            else if (result.read == result.expected && !encoded.invalid) result.status = BarcodeReadStatus::ReadBack;
            else result.status = BarcodeReadStatus::Wrong;
            if (crowded) result.note = "ink in the quiet zone";
            // Characters beyond ASCII in a 2D symbol go through a character set this check
            // does not know: a reading that differs there proves nothing either way.
            const bool plain = std::all_of(result.expected.begin(), result.expected.end(),
                                           [](char c) { return (c & 0x80) == 0; });
            if (isMatrix(family) && !plain && result.status == BarcodeReadStatus::Wrong) {
                result.status = BarcodeReadStatus::NotChecked;
                result.note = "characters beyond ASCII are not compared";
            }
        } else {
            result.status = BarcodeReadStatus::Unreadable;
        }
        if (data.empty()) result.note = "no data";
        else if (encoded.invalid) result.note = "the data cannot be encoded";
        else if (result.status == BarcodeReadStatus::Wrong) result.note = "reads \"" + result.read + "\"";
        // A symbol the reader managed on two lines of dots is still no symbol a hand
        // scanner's line can cross.
        if (!isMatrix(family) && encoded.fixedHeight == 0 && b.height < kMinCheckedBarHeight &&
            result.status == BarcodeReadStatus::ReadBack) {
            result.status = BarcodeReadStatus::Unreadable;
            result.note = "bars " + std::to_string(b.height) + " dots tall, at least " +
                          std::to_string(kMinCheckedBarHeight) + " needed";
        }
#endif
        results.push_back(result);
    }
    return results;
}

bool anyBarcodeFailed(const std::vector<BarcodeCheckResult>& results) {
    return std::any_of(results.begin(), results.end(),
                       [](const BarcodeCheckResult& r) { return isBarcodeFailure(r.status); });
}

std::string failedBarcodesText(const std::vector<BarcodeCheckResult>& results) {
    std::string text;
    for (const BarcodeCheckResult& r : results) {
        if (!isBarcodeFailure(r.status)) continue;
        text += text.empty() ? "Barcode " : ", barcode ";
        text += std::to_string(r.barcode) + " (" + r.symbology + ") " + barcodeStatusText(r.status);
    }
    return text;
}

}  // namespace tavrin
